#include "export/CsvExport.h"

#include "export/ByteCursor.h"
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

// At most three bytes for each byte of ansi, and two quotes.
void PutCsvField(TCursor &c, QByteArrayView ansi)
{
    const bool quoted = NeedsQuotes(ansi);
    if (quoted)
        c.put('"');
    for (const char ch : ansi) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80)
            c.put(Utf8OfAnsiByte(b));
        else if (b == '"')
            c.put("\"\""); // a quote inside is written twice
        else
            c.put(ch);
    }
    if (quoted)
        c.put('"');
}

// Fields, each followed by a comma.
void AppendFields(QByteArray &out, std::initializer_list<QByteArrayView> fields)
{
    qsizetype room = 0;
    for (const QByteArrayView field : fields)
        room += 3 * field.size() + 3;
    TRoom space(out, room);
    for (const QByteArrayView field : fields) {
        PutCsvField(space.cursor, field);
        space.cursor.put(',');
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
