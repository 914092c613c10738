#include "export/CsvExport.h"

#include "util/CodePage.h"

#include <initializer_list>

namespace {

bool NeedsQuotes(QByteArrayView ansi)
{
    for (const char c : ansi)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

// Fields, each followed by a comma.
void AppendFields(QByteArray &out, std::initializer_list<QByteArrayView> fields)
{
    for (const QByteArrayView field : fields) {
        AppendCsvField(out, field);
        out += ',';
    }
}

// One row: the fields separated by commas, then CR LF.
void AppendRow(QByteArray &out, std::initializer_list<QByteArrayView> fields)
{
    AppendFields(out, fields);
    out.chop(1);
    out += "\r\n";
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
    out += "\xEF\xBB\xBF"; // the byte order mark
    AppendRow(out, {"Category", "Project", "Project start", "Project end", "Done",
                    "Task description", "Task notes", "Task start", "Task end"});
}

void TCsvExport::project(QByteArray &out, const TExportProject &project, int taskCount)
{
    m_projectColumns.resize(0);
    AppendFields(m_projectColumns, {project.category, project.name, project.startDate,
                                    project.endDate});
    if (taskCount == 0) {
        out += m_projectColumns;
        out += ",,,,\r\n";
    }
}

void TCsvExport::task(QByteArray &out, const TExportTask &task)
{
    out += m_projectColumns;
    AppendRow(out, {task.done ? "Yes" : "No", task.description, task.notes, task.startDate,
                    task.endDate});
}
