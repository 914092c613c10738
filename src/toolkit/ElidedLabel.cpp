#include "toolkit/ElidedLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

TElidedLabel::TElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TElidedLabel::setText(const QString &text)
{
    QLabel::setText(text);
    updateToolTip();
}

QSize TElidedLabel::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(QStringLiteral("Xx...")) + 2 * margin(),
            metrics.height() + 2 * margin()};
}

QSize TElidedLabel::sizeHint() const
{
    return minimumSizeHint();
}

bool TElidedLabel::isElided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width() - 2 * margin();
}

void TElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void TElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

void TElidedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateToolTip();
}

void TElidedLabel::updateToolTip()
{
    setToolTip(isElided() ? text() : QString());
}
