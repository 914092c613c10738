#pragma once

#include <QString>
#include <optional>

// Which addresses from the settings file or the news service the program hands to the
// browser or the desktop: web pages and mail, nothing that could start a program or open a
// file (a path, a "\\host\share" name, "file:", a custom scheme).

// The text to open for address, or nothing when it is not an http or https address with a
// host, or a mailto address with a recipient. The text is the trimmed address with every
// blank, control character, double quote and backslash percent-encoded, so that it stays one
// argument, also inside double quotes on a command line. A mailto address keeps only its
// subject, body, cc and bcc fields (no attach, no headers of its own).
std::optional<QString> OpenableAddress(const QString &address);
