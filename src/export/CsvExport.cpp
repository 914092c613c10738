#include "export/CsvExport.h"

#include "util/CodePage.h"

namespace {

bool NeedsQuotes(QByteArrayView ansi)
{
    for (const char c : ansi)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

void AppendProjectColumns(QByteArray &out, const TExportProject &project)
{
    AppendCsvField(out, project.category);
    out += ',';
    AppendCsvField(out, project.name);
    out += ',';
    AppendCsvField(out, project.startDate);
    out += ',';
    AppendCsvField(out, project.endDate);
}

} // namespace

void AppendCsvField(QByteArray &out, QByteArrayView ansi)
{
    if (!NeedsQuotes(ansi)) {
        AppendUtf8OfAnsi(out, ansi);
        return;
    }
    out += '"';
    qsizetype from = 0;
    for (qsizetype i = 0; i < ansi.size(); ++i) {
        if (ansi[i] != '"')
            continue;
        AppendUtf8OfAnsi(out, ansi.sliced(from, i + 1 - from));
        out += '"'; // a quote inside is written twice
        from = i + 1;
    }
    AppendUtf8OfAnsi(out, ansi.sliced(from));
    out += '"';
}

void TCsvExport::begin(QByteArray &out)
{
    out += "\xEF\xBB\xBF"
           "Category,Project,Project start,Project end,Done,Task description,Task notes,"
           "Task start,Task end\r\n";
}

void TCsvExport::project(QByteArray &out, const TExportProject &project, int taskCount)
{
    if (taskCount > 0)
        return;
    AppendProjectColumns(out, project);
    out += ",,,,,\r\n";
}

void TCsvExport::task(QByteArray &out, const TExportProject &project, const TExportTask &task)
{
    AppendProjectColumns(out, project);
    out += task.done ? ",Yes," : ",No,";
    AppendCsvField(out, task.description);
    out += ',';
    AppendCsvField(out, task.notes);
    out += ',';
    AppendCsvField(out, task.startDate);
    out += ',';
    AppendCsvField(out, task.endDate);
    out += "\r\n";
}
