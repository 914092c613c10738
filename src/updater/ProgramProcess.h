#pragma once

#include <QStringList>

// The program the updater replaces: is it still running, and starting it again.

// True while a process runs the executable file at executablePath. Where the system offers
// no way to tell, false.
bool IsProgramRunning(const QString &executablePath);

// Starts the program in appDir, with appDir as its working folder and arguments (what it
// is to tell the user, UpdateNotice.h); false when it did not start.
bool StartProgram(const QString &appDir, const QStringList &arguments = {});
