#pragma once

#include "export/ExportRecords.h"

#include <QByteArray>

// CSV after RFC 4180, in UTF-8 with a byte order mark (spreadsheet programs then read the
// accents): a header row, then one row per task with the columns Category, Project,
// Project start, Project end, Done, Task description, Task notes, Task start, Task end.
// A project without tasks gets one row with its own columns only (Done empty), so that it is
// not lost. Fields holding a comma, a quote or a line break are quoted; line breaks in
// notes stay inside the quotes as they are. Rows end with CR LF.
class TCsvExport : public TExportSink {
public:
    void begin(QByteArray &out) override;
    void project(QByteArray &out, const TExportProject &project, int taskCount) override;
    void task(QByteArray &out, const TExportTask &task) override;
    bool hour(QByteArray &, const TExportHour &) override { return false; }
    void end(QByteArray &) override {}

private:
    QByteArray m_projectColumns; // the current project's four columns, written once
};
