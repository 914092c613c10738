#pragma once

#include "model/FirstKeyIndex.h"
#include "model/Task.h"
#include "model/TaskEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// A project's to-do list: tasks in insertion order, each keyed by the description it was added
// with (look-ups ignore letter case as the book's do, first match; duplicates allowed).
//
// The tasks lie in one byte block, each as a TTaskEntry (its fields' bytes behind a few bytes
// of lengths), found through a list of offsets in list order: a task costs its bytes plus
// about nine, and no allocation of its own. An edit writes the task anew at the end of the
// block; when the bytes no task uses come to outweigh the rest, the block is rewritten without
// them. The look-up index is built by the first look-up and kept up to date from then on.
class TTasks {
public:
    int count() const { return int(m_offsets.size()); }
    bool isEmpty() const { return m_offsets.isEmpty(); }
    bool done(int i) const { return byteAt(i) & TaskEntry::kDone; }
    // Views into the list's own storage: valid until the list next changes.
    QByteArrayView description(int i) const { return entry(i).description; }
    QByteArrayView notes(int i) const { return entry(i).notes; } // may hold CR and LF
    QByteArrayView startDate(int i) const { return entry(i).startDate; }
    QByteArrayView endDate(int i) const { return entry(i).endDate; }
    QByteArrayView key(int i) const { return entry(i).key; }
    // Every field of task i at once, with the same validity.
    TTaskEntry entry(int i) const { return TaskEntry::Decode(m_block.constData() + m_offsets[i]); }
    TTask at(int i) const; // an owning copy of task i
    void append(const QByteArray &key, const TTask &task);
    // A task keyed by its description, from views (which must not point into this list).
    void append(bool done, QByteArrayView description, QByteArrayView notes,
                QByteArrayView startDate, QByteArrayView endDate);
    void insert(int i, const QByteArray &key, const TTask &task); // before position i (count() appends)
    void replace(int i, const TTask &task); // the fields; the key stays
    void setDone(int i, bool done);
    void removeAt(int i);
    void clear();
    void reserve(int n) { m_offsets.reserve(n); }
    // Gives back the room kept for tasks still to come.
    void squeeze();
    int indexOf(QByteArrayView key) const; // ignoring case, first match, or -1
    int doneCount() const { return m_doneCount; } // kept up to date, no walk over the tasks

    // The bytes the tasks take (block and offsets, room for more included), and those of the
    // block that no task uses any longer.
    qsizetype storageBytes() const;
    qsizetype garbageBytes() const { return m_garbage; }

private:
    char byteAt(int i) const { return m_block.at(m_offsets[i]); }
    // Writes a task at the end of the block; returns its offset.
    quint32 put(const TTaskEntry &fields);
    void insertPut(int i, const TTaskEntry &fields);
    void addGarbage(int i);
    void compact();
    QByteArrayView keyAt(int i) const { return key(i); }

    QByteArray m_block;       // the tasks' entries, edited ones in the order of their edits
    QList<quint32> m_offsets; // where each task's entry begins, in list order
    qsizetype m_garbage = 0;  // bytes of the block that no task uses
    int m_doneCount = 0;
    mutable TFirstKeyIndex m_index;
};
