#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QSpacerItem>

namespace {

// Room beside the caption for the window manager's icon and buttons.
constexpr int kCaptionRoom = 140;

// A box is as wide as its text, and the window manager elides a caption that does not fit
// ("Zelvo De...ner v2.0"): a spacer across the box's grid keeps it wide enough for the caption.
void WidenForCaption(QMessageBox &box, const QString &caption)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true); // most window managers draw captions in a bold face
    int width = QFontMetrics(titleFont).horizontalAdvance(caption) + kCaptionRoom;
    if (const QScreen *screen = box.screen())
        width = qMin(width, screen->availableGeometry().width() * 3 / 4);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

TMessageBox::TMessageBox(QWidget *window)
    : QObject(window), m_window(window)
{
    setObjectName(QStringLiteral("msgMain"));
}

QMessageBox::StandardButton TMessageBox::show(const QString &text, QMessageBox::Icon kind,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return record({text, kind, buttons, defaultButton, QString()});
}

QMessageBox::StandardButton TMessageBox::record(const Shown &shown)
{
    if (m_scripted) {
        m_log.append(shown);
        return scriptedAnswer(shown);
    }
    return showBox(shown);
}

void TMessageBox::notice(const QString &text, const QString &detail)
{
    record({text, QMessageBox::Information, QMessageBox::Ok, QMessageBox::NoButton, detail});
}

void TMessageBox::information(const QString &text)
{
    show(text, QMessageBox::Information, QMessageBox::Ok);
}

bool TMessageBox::question(const QString &text)
{
    return show(text, QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel)
           == QMessageBox::Ok;
}

void TMessageBox::setScripted(bool scripted)
{
    m_scripted = scripted;
}

void TMessageBox::scriptAnswers(const QList<QMessageBox::StandardButton> &answers)
{
    m_answers.append(answers);
}

QMessageBox::StandardButton TMessageBox::scriptedAnswer(const Shown &shown)
{
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (shown.defaultButton != QMessageBox::NoButton)
        return shown.defaultButton;
    if (shown.buttons.testFlag(QMessageBox::Ok))
        return QMessageBox::Ok;
    // The lowest flag is the first button offered.
    for (uint bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1)
        if (shown.buttons.testFlag(QMessageBox::StandardButton(bit)))
            return QMessageBox::StandardButton(bit);
    return QMessageBox::NoButton;
}

QMessageBox::StandardButton TMessageBox::showBox(const Shown &shown)
{
    // The box belongs over whatever modal dialog is open, else over the main window, so that
    // it is never hidden behind the dialog that asked for it.
    QWidget *over = QApplication::activeModalWidget();
    if (!over)
        over = m_window;
    const QString caption = m_window ? m_window->window()->windowTitle()
                                     : QGuiApplication::applicationDisplayName();
    QMessageBox box(shown.kind, caption, shown.text, shown.buttons, over);
    if (shown.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(shown.defaultButton);
    if (!shown.detail.isEmpty()) {
        box.setInformativeText(shown.detail);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    WidenForCaption(box, caption);
    return QMessageBox::StandardButton(box.exec());
}
