#pragma once

#include <QString>

// The program's first step at start-up: an install that a crash or a kill cut off (the
// updater's journal in the application directory) is completed or rolled back before the
// program reads any other file, so that it never runs on half of one version and half of
// another. An updater that is at work on the folder (it holds the lock) is left alone.
struct TInstallRepair {
    QString notice;              // what was done, for the user; empty when nothing was
    bool programChanged = false; // the program file itself was put back: start it anew
    bool unrepaired = false;     // the files could not be put in order: do not run on them
};

// programPath is the running program's file in appDir.
TInstallRepair RepairInterruptedInstall(const QString &appDir, const QString &programPath);
