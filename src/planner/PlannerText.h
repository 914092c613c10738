#pragma once

#include <QByteArray>
#include <QString>

// Removes every character with a code of 32 or below from both ends.
QString TrimControls(const QString &text);

// Text of a widget as Windows-1252 bytes. Every text shown by the planner came from the
// files or from entry fields that refuse what Windows-1252 cannot hold, so this never loses
// a character that was typed.
QByteArray AnsiOf(const QString &text);
