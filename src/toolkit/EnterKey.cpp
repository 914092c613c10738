#include "toolkit/EnterKey.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

namespace {

bool IsEnter(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// The modifiers of a key press, without the one that tells the keypad's Enter apart.
Qt::KeyboardModifiers Chord(const QKeyEvent &key)
{
    return key.modifiers() & ~Qt::KeypadModifier;
}

class TEnterClicksButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!IsEnter(*key) || Chord(*key) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->isEnabled() || !button->hasFocus())
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

class TEnterAccepts : public QObject
{
public:
    TEnterAccepts(QAbstractButton &ok, QObject *parent) : QObject(parent), m_ok(&ok) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !m_ok || !m_ok->isEnabled())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!IsEnter(*key))
            return false;
        const bool multiLine = qobject_cast<QPlainTextEdit *>(watched)
                               || qobject_cast<QTextEdit *>(watched);
        if (Chord(*key) != (multiLine ? Qt::ControlModifier : Qt::NoModifier))
            return false;
        // Held down, the key would press Ok again in whatever comes next.
        if (!key->isAutoRepeat())
            m_ok->click();
        return true;
    }

private:
    QPointer<QAbstractButton> m_ok;
};

} // namespace

void ClickButtonsOnEnter(QWidget &root)
{
    auto *filter = new TEnterClicksButton(&root);
    for (QPushButton *button : root.findChildren<QPushButton *>())
        button->installEventFilter(filter);
}

void AcceptOnEnter(QWidget &root, QAbstractButton &ok)
{
    auto *filter = new TEnterAccepts(ok, &root);
    for (QLineEdit *edit : root.findChildren<QLineEdit *>())
        edit->installEventFilter(filter);
    // A drop-down list whose list is open gets no keys: the list itself takes Enter.
    for (QComboBox *list : root.findChildren<QComboBox *>())
        list->installEventFilter(filter);
    for (QCheckBox *box : root.findChildren<QCheckBox *>())
        box->installEventFilter(filter);
    for (QPlainTextEdit *memo : root.findChildren<QPlainTextEdit *>())
        memo->installEventFilter(filter);
    for (QTextEdit *memo : root.findChildren<QTextEdit *>())
        memo->installEventFilter(filter);
}
