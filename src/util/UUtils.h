#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Small text and shell routines. All text is Windows-1252 bytes.

// Starts the default web browser on url. When the platform reports a registered browser
// command (Windows), that command is reduced to its program (BrowserProgramFromCommand) and
// started with the url, double-quoted, as its parameter; otherwise the desktop's handler for
// web addresses opens it. Only an openable address (OpenableAddress) or an empty one is
// handed over. True when it was opened: false for an address that is not openable, when no
// browser is known, and when it could not be started.
bool OpenInBrowser(const QByteArray &url);

// Opens an openable address (OpenableAddress) with the desktop's own handler for it; false
// when it is not openable or no handler is known.
bool OpenAddress(const QString &address);

// The program of a registered browser command: lower-cased (A-Z only), cut after the first
// ".exe", double quotes removed. "\"C:\\B\\X.EXE\" -a %1" gives "c:\\b\\x.exe"; a command
// without ".exe" gives ".exe".
QByteArray BrowserProgramFromCommand(const QByteArray &command);

// Every delimiter ends a field (empty ones kept); a trailing empty field is not produced.
QList<QByteArray> SplitString(char delimiter, const QByteArray &text);

// "$41$62c" -> "Abc"; a malformed escape anywhere gives an empty result.
QByteArray DecodeDollarHex(const QByteArray &text);

// CR -> 0xA5 0xA5, then LF -> 0xA7 0xA7, and back (pairs found left to right).
QByteArray EscapeLineBreaks(const QByteArray &text);
QByteArray UnescapeLineBreaks(const QByteArray &text);
// UnescapeLineBreaks into out, reusing its room: a loader that unescapes line after line
// allocates only for the longest.
void UnescapeLineBreaks(QByteArrayView text, QByteArray &out);
// True when UnescapeLineBreaks would change text (it holds a 0xA5 or 0xA7 pair).
bool HasEscapedLineBreaks(QByteArrayView text);

// CR and LF each become one blank, for one-line displays.
QByteArray FlattenLineBreaks(const QByteArray &text);
