#pragma once

class QAbstractButton;
class QWidget;

// Enter (either key) on a focused push button clicks it, as Space does. Qt does this only for
// a dialog's default buttons, and a default button would also take Enter from the fields.
// Applies to the push buttons below root that exist when it is called.
void ClickButtonsOnEnter(QWidget &root);

// Enter in any one-line field below root (line edits, date fields, drop-down lists whose list
// is closed) or on a check box clicks ok; in a multi-line field Enter adds a line and Ctrl+Enter clicks ok.
// Applies to the fields that exist when it is called.
void AcceptOnEnter(QWidget &root, QAbstractButton &ok);
