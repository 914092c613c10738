#include "toolkit/EnterKey.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

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
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->isEnabled() || !button->hasFocus())
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

void ClickButtonsOnEnter(QWidget &root)
{
    auto *filter = new TEnterClicksButton(&root);
    for (QPushButton *button : root.findChildren<QPushButton *>())
        button->installEventFilter(filter);
}
