#pragma once

#include <QStringList>
#include <QTextStream>

// The commands of zelvo-release. Each returns the tool's exit code.
enum TExitCode {
    ExitOk = 0,
    ExitRefused = 1,   // not a valid release, or a folder that cannot be one
    ExitUsage = 2,     // wrong command line
    ExitFileError = 3, // a key or a file could not be read or written
};

QString ReleaseToolUsage();

// arguments without the program's name; messages go to out (results) and err (problems).
int RunReleaseTool(const QStringList &arguments, QTextStream &out, QTextStream &err);
