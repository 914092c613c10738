#pragma once
// Contract only.
// void ReportError(const QString &text);  The general error report: a dialog showing the text
//   with a "Copy to clipboard" button; the program goes on afterwards. Tests install a sink:
//   SetErrorReportSink(std::function<void(const QString &)>); an empty one restores the dialog.
