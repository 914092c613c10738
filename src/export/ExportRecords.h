#pragma once

#include <QByteArrayView>

// What an export writes, as views of the book's Windows-1252 bytes: valid while the book is
// not changed, which holds while an export runs.

struct TExportProject {
    QByteArrayView category;
    QByteArrayView name;
    QByteArrayView startDate;
    QByteArrayView endDate;
};

struct TExportTask {
    bool done = false;
    QByteArrayView description;
    QByteArrayView notes; // may hold CR and LF
    QByteArrayView startDate;
    QByteArrayView endDate;
};

struct TExportHour {
    QByteArrayView day;  // short-date text
    QByteArrayView hour; // the hour row's label, e.g. "9:00 AM"
    QByteArrayView action;
};

// One format's way of turning records into bytes. Each call appends to out.
class TExportSink {
public:
    virtual ~TExportSink() = default;
    virtual void begin(QByteArray &out) = 0;
    // Called once per project, before its tasks; the tasks that follow are the project's.
    virtual void project(QByteArray &out, const TExportProject &project, int taskCount) = 0;
    virtual void task(QByteArray &out, const TExportTask &task) = 0;
    // False when the format cannot place this hour (its day or hour is no calendar time).
    virtual bool hour(QByteArray &out, const TExportHour &hour) = 0;
    virtual void end(QByteArray &out) = 0;
};
