#include "toolkit/LinkLabel.h"

#include "util/UUtils.h"

#include <QKeyEvent>
#include <QMouseEvent>

TLinkLabel::TLinkLabel(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setTextFormat(Qt::PlainText);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    // The link colour of the palette, so that a skin can set it through the palette too.
    setForegroundRole(QPalette::Link);
}

void TLinkLabel::setAddress(const QString &address)
{
    m_address = address;
    setToolTip(address);
}

void TLinkLabel::setLink(const QString &caption, const QString &address)
{
    setText(caption);
    setAccessibleName(caption);
    setAddress(address);
}

bool TLinkLabel::open()
{
    if (m_address.isEmpty())
        return true; // nothing to open, nothing failed
    if (OpenAddress(m_address))
        return true;
    emit openFailed(m_address);
    return false;
}

void TLinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// A click is a press and a release of the left button over the label.
void TLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        open();
}

void TLinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        open();
        return;
    }
    QLabel::keyPressEvent(event);
}
