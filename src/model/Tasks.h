#pragma once

#include "model/KeyedList.h"
#include "model/Task.h"

#include <QByteArray>
#include <QByteArrayView>

// A project's to-do list: tasks in insertion order, each keyed by the description it was added
// with (look-ups ignore letter case as the book's do, first match; duplicates allowed).
class TTasks {
public:
    int count() const { return m_tasks.count(); }
    bool isEmpty() const { return m_tasks.isEmpty(); }
    bool done(int i) const { return m_tasks.object(i)->Done; }
    // Views into the list's own storage: valid until the list next changes.
    QByteArrayView description(int i) const { return m_tasks.object(i)->Description; }
    QByteArrayView notes(int i) const { return m_tasks.object(i)->Notes; } // may hold CR and LF
    QByteArrayView startDate(int i) const { return m_tasks.object(i)->StartDate; }
    QByteArrayView endDate(int i) const { return m_tasks.object(i)->EndDate; }
    QByteArrayView key(int i) const { return m_tasks.key(i); }
    TTask at(int i) const { return *m_tasks.object(i); } // an owning copy of task i
    void append(const QByteArray &key, const TTask &task);
    void insert(int i, const QByteArray &key, const TTask &task); // before position i (count() appends)
    void replace(int i, const TTask &task); // the fields; the key stays
    void setDone(int i, bool done);
    void removeAt(int i);
    void clear();
    void reserve(int n) { m_tasks.reserve(n); }
    int indexOf(QByteArrayView key) const; // ignoring case, first match, or -1
    int doneCount() const { return m_doneCount; } // kept up to date, no walk over the tasks

private:
    TKeyedList<TTask> m_tasks;
    int m_doneCount = 0;
};
