#pragma once

class QWidget;

// Enter (either key) on a focused push button clicks it, as Space does. Qt does this only for
// a dialog's default buttons, and a default button would also take Enter from the fields.
// Applies to the push buttons below root that exist when it is called.
void ClickButtonsOnEnter(QWidget &root);
