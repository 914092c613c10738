#pragma once

#include <QList>
#include <QString>

// A part of a damaged data file that loading had to leave out, and where it was.
struct TLoadDrop {
    int line = 0;     // the line it began on, from 1
    int lastLine = 0; // the line it ended on (the same for one line)
    QString what;     // what was left out, in plain words
};

// What loading found out about one data file, for saving it safely afterwards.
struct TDataFileState {
    // The file exists but could not be read: it is never written in this run, since its
    // content is not held and a save would overwrite it.
    bool loadFailed = false;
    // What loading left out of a damaged file. Before the first save replaces such a file,
    // the file is kept as it is beside it (backupPath), once per run.
    QList<TLoadDrop> drops;
    QString backupPath;
    bool backupKept = false;

    bool needsBackup() const { return !drops.isEmpty() && !backupKept; }
};

// The first of path + ".bak", path + ".bak2", ... that does not exist yet, so that an older
// backup is never overwritten.
QString FreeBackupPath(const QString &path);

// The lines of the start-up report for one damaged file: "line 7: ..." for each drop, at
// most maxLines of them and then how many more there were.
QStringList DescribeDrops(const TDataFileState &state, int maxLines);
