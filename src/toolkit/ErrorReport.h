#pragma once

#include <QString>
#include <functional>

// The general error report: a modal dialog (shown through RunModal) with the text, a
// "Copy to clipboard" button and OK; the program goes on afterwards.
void ReportError(const QString &text);

// Tests install a sink that receives the text instead of the dialog; an empty function
// restores the dialog.
void SetErrorReportSink(std::function<void(const QString &)> sink);
