#pragma once

#include <QByteArray>
#include <QString>

class TMessageBox;

// Opening an address in the browser, and saying so when it cannot be opened (no browser, no
// handler for it, or the start failed), with the address shown as text to copy.

// OpenInBrowser with url; a failure with a non-empty address is reported in msg. An empty
// address is still handed on and never reported: it opens nothing either way.
void OpenInBrowserOrSay(TMessageBox &msg, const QByteArray &url);

// The notice that address could not be opened.
void ReportUnopenedAddress(TMessageBox &msg, const QString &address);
