#include "toolkit/DialogFocus.h"

#include <QDialog>
#include <QEvent>
#include <QLineEdit>

namespace {

class TFocusFirstField : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            focusFirst(*static_cast<QWidget *>(watched));
        return false;
    }

private:
    static void focusFirst(QWidget &dialog)
    {
        for (QWidget *w = dialog.nextInFocusChain(); w && w != &dialog; w = w->nextInFocusChain()) {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dialog) && w->isEnabled()) {
                w->setFocus(Qt::TabFocusReason);
                // The window may take its activation only later, with a focus reason that
                // selects nothing.
                if (auto *edit = qobject_cast<QLineEdit *>(w))
                    edit->selectAll();
                return;
            }
        }
    }
};

} // namespace

void FocusFirstFieldOnOpen(QDialog &dialog)
{
    dialog.installEventFilter(new TFocusFirstField(&dialog));
}
