#pragma once

#include <QString>

// Which paths a release may name. A release replaces program files only: its paths are
// relative, '/'-separated, stay inside the application directory on every system, and never
// name one of the user's files or the updater's work files.

// True for the user's files, compared without regard to letter case: categories.dat,
// Projects.dat, Hours.dat, dbsettings.dat and its plain copy dbsettings.sim,
// mainappupdate.inf, mainskin.dat, main.ico and banner pictures ("banner" + N + ".dat").
bool IsUsersFileName(const QString &name);

// Empty when path is a path a release may name; otherwise what is wrong with it, to follow
// the path in a sentence: "is absolute", "holds \"..\"", "names the user's file Projects.dat".
QString ReleasePathProblem(const QString &path);
