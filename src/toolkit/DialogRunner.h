#pragma once
// Contract only; the implementation fills this header.
//
// int RunModal(QDialog &dialog);  Every modal dialog is shown through it. Production: exec().
// Tests: SetDialogScript(std::function<int(QDialog &)>) installs a script that fills the
// fields (findChild) and returns QDialog::Accepted or Rejected, typically by clicking the
// dialog's own Ok button and returning dialog.result(); an empty function restores exec().
// class TDialogScriptGuard { explicit TDialogScriptGuard(script); ~ restores exec() }.
