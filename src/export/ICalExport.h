#pragma once

#include "export/ExportRecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <optional>

// Counts how often each 64-bit key was seen: an open-addressing table, since an export of a
// large book asks it for every one of its million tasks and hours. A key is its own hash, so
// neighbouring keys share cache lines.
class TOccurrences {
public:
    // How many times key was seen before this call.
    int next(quint64 key);
    // Forgets every key; a table that grew large is given back.
    void clear();

private:
    struct TSlot {
        quint64 key = 0;
        int seen = 0; // 0: empty slot
    };
    void grow();
    QList<TSlot> m_slots;
    qsizetype m_used = 0;
};

// iCalendar after RFC 5545, in UTF-8 with CR LF line ends, lines folded at 75 octets.
// Each task is a VTODO: SUMMARY from the description, DESCRIPTION from the notes, DTSTART and
// DUE as DATE values when the dates are calendar dates in the short date format (any other
// date text, and a due date before the start, is kept in X-ZELVO-START-TEXT or
// X-ZELVO-DUE-TEXT), STATUS COMPLETED or
// NEEDS-ACTION, CATEGORIES with the category and the project's name. Each planned hour is a
// VEVENT of one hour whose SUMMARY is the action. UIDs are the same in every export of the
// same book: a task's comes from its project's name (and how many projects of that name came
// before), its description and how many tasks of the project had that description before it;
// an hour's from its day and hour.
class TICalExport : public TExportSink {
public:
    // stamp: when the export was made (DTSTAMP), in UTC.
    explicit TICalExport(const QDateTime &stamp);

    void begin(QByteArray &out) override;
    void project(QByteArray &out, const TExportProject &project, int taskCount) override;
    void task(QByteArray &out, const TExportTask &task) override;
    bool hour(QByteArray &out, const TExportHour &hour) override;
    void end(QByteArray &out) override;

private:
    QByteArray m_stampLine;
    QByteArray m_line; // a long line while it is folded
    // The current project's UID scope: its name's hash, mixed with how many projects of that
    // name came before it.
    quint64 m_projectScope = 0;
    QByteArray m_categoriesLine; // the current project's, folded, made once
    // How often each key was given a UID, so repeated texts still get distinct ones: project
    // names; the current project's task descriptions (kept small, so it stays in the cache);
    // the hours of the calendar.
    TOccurrences m_projectNames;
    TOccurrences m_taskUses;
    TOccurrences m_hourUses;
};

// The hour of the day (1..24) that an hour row's label stands for: "1:00 AM".."11:00 AM",
// "12:00 M", "1:00 PM".."12:00 PM", letter case ignored; none for any other text.
std::optional<int> HourOfLabel(QByteArrayView label);
