#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

// The main window's message component `msgMain`: every message box of the program goes
// through it. Shown for real it is a modal QMessageBox; scripted (in tests) nothing is
// displayed, the answers come from a queue and every box is written to a log.
class TMessageBox : public QObject
{
    Q_OBJECT

public:
    // One box as it would have been shown.
    struct Shown
    {
        QString text;
        QMessageBox::Icon kind = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QString detail; // shown below the text, selectable for copying
    };

    // window: the main window; its title is the boxes' caption.
    explicit TMessageBox(QWidget *window = nullptr);

    // Shows text with the icon of kind and the buttons offered, and returns the button the
    // user chose (closing the box answers its escape button, as QMessageBox does).
    QMessageBox::StandardButton show(const QString &text, QMessageBox::Icon kind,
                                     QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // A notice: information box with one OK button.
    void information(const QString &text);
    // A notice with a detail the user may want to copy (an address): the box's text can be
    // selected with the mouse and the keyboard.
    void notice(const QString &text, const QString &detail);
    // A question: information box with OK and Cancel; true when OK was chosen.
    bool question(const QString &text);

    // Scripted mode: no box is displayed. Each show() takes the next queued answer; with the
    // queue empty it answers the default button, else OK when offered, else the first button
    // offered.
    void setScripted(bool scripted);
    bool isScripted() const { return m_scripted; }
    // Appends answers to the queue.
    void scriptAnswers(const QList<QMessageBox::StandardButton> &answers);
    // The boxes shown while scripted, oldest first.
    const QList<Shown> &log() const { return m_log; }
    void clearLog() { m_log.clear(); }

private:
    QMessageBox::StandardButton scriptedAnswer(const Shown &shown);
    QMessageBox::StandardButton showBox(const Shown &shown);
    QMessageBox::StandardButton record(const Shown &shown);

    QPointer<QWidget> m_window;
    bool m_scripted = false;
    QList<QMessageBox::StandardButton> m_answers;
    QList<Shown> m_log;
};
