#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
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

// What a save-file dialog asks.
struct TSaveFileRequest {
    QWidget *parent = nullptr;
    QString caption;
    QString suggestedPath; // folder and name offered
    // The file types offered, e.g. "iCalendar (*.ics)"; the first is preselected.
    QStringList filters;
};

// What a test does instead of showing a save-file dialog: returns the path the user would
// have chosen, or an empty text for Cancel.
using TSaveFileScript = std::function<QString(const TSaveFileRequest &)>;

// Shows a save-file dialog and returns the chosen path (a name typed without a type gets the
// chosen filter's), or an empty text when the user cancelled. The dialog asks before an
// existing file is replaced. With a script installed, the script answers instead.
QString RunSaveFileDialog(const TSaveFileRequest &request);

// Installs a save-file script for its lifetime, as TDialogScriptGuard does for dialogs.
class TSaveFileScriptGuard
{
public:
    explicit TSaveFileScriptGuard(TSaveFileScript script);
    ~TSaveFileScriptGuard();
    TSaveFileScriptGuard(const TSaveFileScriptGuard &) = delete;
    TSaveFileScriptGuard &operator=(const TSaveFileScriptGuard &) = delete;

private:
    TSaveFileScript m_previous;
};
