#pragma once

#include <QDialog>
#include <functional>

// Every modal dialog of the program is shown through RunModal, so that tests can stand in
// for the user.

// What a test does instead of showing the dialog: fill the fields (findChild), end it, and
// return QDialog::Accepted or QDialog::Rejected, typically by clicking the dialog's own Ok
// button and returning dialog.result().
using TDialogScript = std::function<int(QDialog &)>;

// Shows dialog modally and returns its result. With a script installed, the script runs
// instead and its answer becomes the dialog's result.
int RunModal(QDialog &dialog);

// Installs a script; an empty function restores exec().
void SetDialogScript(TDialogScript script);

// Installs a script for its lifetime; on destruction the script installed before it (exec()
// when there was none) comes back.
class TDialogScriptGuard
{
public:
    explicit TDialogScriptGuard(TDialogScript script);
    ~TDialogScriptGuard();
    TDialogScriptGuard(const TDialogScriptGuard &) = delete;
    TDialogScriptGuard &operator=(const TDialogScriptGuard &) = delete;

private:
    TDialogScript m_previous;
};
