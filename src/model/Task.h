#pragma once

#include <QByteArray>

// One task as a plain value: how a task is passed into and out of a project's task list.
// All strings are Windows-1252 bytes, kept as the user typed or picked them.
class TTask {
public:
    TTask() = default;
    TTask(bool done, QByteArray description, QByteArray notes, QByteArray startDate,
          QByteArray endDate);

    bool Done = false;
    QByteArray Description;
    QByteArray Notes; // may hold CR and LF
    QByteArray StartDate;
    QByteArray EndDate;
};
