#include "toolkit/DialogFrame.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

void SetFixedDialogFrame(QDialog &dialog)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(dialog.size());
    dialog.setSizeGripEnabled(false);

    QScreen *screen = dialog.parentWidget() ? dialog.parentWidget()->screen() : dialog.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Placing it here also keeps QDialog from centring it over its parent when shown.
    QRect frame(QPoint(), dialog.size());
    frame.moveCenter(screen->availableGeometry().center());
    dialog.move(frame.topLeft());
}
