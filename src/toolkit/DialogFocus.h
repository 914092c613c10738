#pragma once

class QDialog;

// Each time dialog opens, the first control of its tab order gets the focus as if the user
// had tabbed there: a text field's text is selected, so that typing replaces it. Buttons come
// last in the entry dialogs' tab order, so the focus never starts on one.
void FocusFirstFieldOnOpen(QDialog &dialog);
