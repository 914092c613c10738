#pragma once

#include "model/UProjects.h"

#include <QStringList>

// The book as readable lines, CR and LF shown as \r and \n:
// "P name|category|start|end" for each project, then "T done|description|notes|start|end"
// for each of its tasks (done is 1 or 0); an entry whose key differs from its name or
// description says so with " (key ...)".
QStringList Dump(const TProjects &book);
// Bytes shown with CR and LF made visible; other bytes as Latin-1.
QString Show(const QByteArray &bytes);
