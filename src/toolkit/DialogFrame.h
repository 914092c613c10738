#pragma once

#include <QDialog>

// Gives a dialog the frame of the program's fixed dialogs: it keeps the size its form gave
// it, its caption bar offers closing but no minimising or maximising, and it opens centred
// on the screen (of its parent window when it has one).
void SetFixedDialogFrame(QDialog &dialog);
