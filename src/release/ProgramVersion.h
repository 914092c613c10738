#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Which version a built program is, read from the marker the build writes into it
// (util/AppVersion.h), without starting it.

// The version marked in the file at path; nothing when the file cannot be read or holds no
// marker.
std::optional<QByteArray> ProgramVersionOfFile(const QString &path);

// Empty when folder holds the program (ProjectZelvo or ProjectZelvo.exe) built as version;
// otherwise a sentence saying what is wrong.
QString ReleaseProgramProblem(const QString &folder, const QByteArray &version);
