#pragma once

#include <QString>

// Files live in the application directory and are matched without regard to letter case.
// Returns appDir + name when that entry exists; otherwise the path of the first entry of
// appDir whose name equals name ignoring case; otherwise appDir + name. Readers and writers
// both use it, so a save followed by a load meets the same file.
QString ResolveFileName(const QString &appDir, const QString &name);
