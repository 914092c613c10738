#pragma once

#include "model/DataFileState.h"
#include "model/TextFile.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// Saves several data files all or nothing. Every file is written whole to a temporary file
// beside it, and the old files are replaced only once all of them were written; when any
// write fails, none is replaced. A damaged file (one whose load left something out) is kept
// beside it as it is, before the first save replaces it.
//
// A file that could not be read at start-up, and a file that the user made read-only, are
// not written; the others are, and run() says which were left untouched and why.
class TSaveTransaction {
public:
    using TWrite = std::function<void(TTextFileWriter &)>;

    // A file to save: its path, what its load found out (updated when a backup is kept), and
    // what writes its content.
    void add(const QString &path, TDataFileState &state, TWrite write);

    // A file that was left untouched.
    struct TSkipped {
        QString path;
        QString text;     // why, in a plain sentence
        bool readOnly;    // the user's changes to it are not saved (else: none are held)
    };

    // Runs the save; may run on a worker thread while nothing else touches the files' data.
    // progress, when given, counts the bytes written. Throws TFileError for the first
    // failure: then no file was replaced.
    void run(std::atomic<qint64> *progress = nullptr);

    const QList<TSkipped> &skipped() const { return m_skipped; }
    // What the old files add up to: a fair guess of what the save writes.
    qint64 expectedBytes() const;

private:
    struct TEntry {
        QString path;
        TDataFileState *state;
        TWrite write;
    };
    QList<TEntry> m_entries;
    QList<TSkipped> m_skipped;
};

class TProjects;
class THours;

// The files of "Save Changes", in their order: categories, projects, day planner.
void AddDataFiles(TSaveTransaction &transaction, TProjects &projects, THours &hours);

// Whether the user made the file read-only (the owner may not write it). A missing file is
// not read-only.
bool IsReadOnlyFile(const QString &path);
