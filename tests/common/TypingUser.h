#pragma once
// A person at the keyboard: every key goes to whatever has the focus when it is pressed, and
// a dialog runs its real modal loop from the focus it opened with.

#include "toolkit/DialogRunner.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>

namespace TypingUser {

inline QWidget *Focus()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : QApplication::activeWindow();
}

// One key, to the focus.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(Focus(), key, modifiers);
}

// Text, one key press per character, each to the focus of that moment.
inline void Type(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClicks(Focus(), QString(c));
}

// The next dialog shown through RunModal runs its real modal loop while keys() is the user.
// A dialog still open after the keys is cancelled and *stillOpen set, so that a test fails
// instead of waiting for ever. opened gets the name of the widget that had the focus when the
// dialog came up, and the text selected there.
struct TOpened
{
    QString focus;
    QString selected;
    bool stillOpen = false;
};

inline QString SelectedTextOf(QWidget *widget)
{
    const auto *edit = qobject_cast<QLineEdit *>(widget);
    return edit ? edit->selectedText() : QString();
}

inline void NextDialog(TOpened *opened, std::function<void(QDialog &)> keys)
{
    SetDialogScript([opened, keys](QDialog &dialog) {
        // Uninstalling the script destroys this closure: keep what it needs first.
        const auto keysThis = keys;
        TOpened *const openedThis = opened;
        SetDialogScript({});
        QTimer::singleShot(0, &dialog, [&dialog, openedThis, keysThis] {
            // A dialog shares its activation with its parent window: wait until it is the
            // application's active window itself, where the keys go.
            dialog.activateWindow();
            if (QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; })) {
                QWidget *focus = QApplication::focusWidget();
                openedThis->focus = focus ? focus->objectName() : QString();
                openedThis->selected = SelectedTextOf(focus);
                keysThis(dialog);
            }
            if (dialog.isVisible()) {
                openedThis->stillOpen = true;
                dialog.reject();
            }
        });
        return dialog.exec();
    });
}

} // namespace TypingUser
