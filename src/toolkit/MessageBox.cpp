#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QGuiApplication>

TMessageBox::TMessageBox(QWidget *window)
    : QObject(window), m_window(window)
{
    setObjectName(QStringLiteral("msgMain"));
}

QMessageBox::StandardButton TMessageBox::show(const QString &text, QMessageBox::Icon kind,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    const Shown shown{text, kind, buttons, defaultButton};
    if (m_scripted) {
        m_log.append(shown);
        return scriptedAnswer(shown);
    }
    return showBox(shown);
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
    return QMessageBox::StandardButton(box.exec());
}
