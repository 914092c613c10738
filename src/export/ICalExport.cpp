#include "export/ICalExport.h"

#include "util/CodePage.h"
#include "util/ShortDate.h"

namespace {

constexpr qsizetype kLineOctets = 75;

// 64-bit FNV-1a: a hash that is the same on every machine and in every run.
quint64 StableHash(QByteArrayView bytes, quint64 hash = 14695981039346656037ull)
{
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

void AppendHex(QByteArray &out, quint64 value)
{
    static const char kDigits[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

void AppendDigits(QByteArray &out, int value, int width)
{
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = char('0' + value % 10);
    out.append(digits, width);
}

void AppendNumber(QByteArray &out, int value)
{
    char digits[12];
    int i = int(sizeof digits);
    do {
        digits[--i] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    out.append(digits + i, qsizetype(sizeof digits) - i);
}

void AppendDate(QByteArray &out, const QDate &date)
{
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    AppendDigits(out, year, 4);
    AppendDigits(out, month, 2);
    AppendDigits(out, day, 2);
}

// Mixes two hashes into one key for TOccurrences.
quint64 Combine(quint64 a, quint64 b)
{
    return a ^ (b * 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2));
}

void AppendDateTime(QByteArray &out, const QDate &date, int hour)
{
    AppendDate(out, date);
    out += 'T';
    AppendDigits(out, hour, 2);
    out += "0000";
}

bool IsTextControl(unsigned char b)
{
    return (b < 0x20 && b != '\t') || b == 0x7F;
}

bool StartsWithDigits(QByteArrayView text, qsizetype &digitsEnd)
{
    digitsEnd = 0;
    while (digitsEnd < text.size() && digitsEnd < 2 && text[digitsEnd] >= '0'
           && text[digitsEnd] <= '9')
        ++digitsEnd;
    return digitsEnd > 0;
}

} // namespace

void AppendICalText(QByteArray &out, QByteArrayView ansi)
{
    const qsizetype n = ansi.size();
    qsizetype from = 0; // start of the run not yet copied
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(ansi[i]);
        if (b != '\\' && b != ';' && b != ',' && !IsTextControl(b))
            continue;
        AppendUtf8OfAnsi(out, ansi.sliced(from, i - from));
        from = i + 1;
        if (b == '\r' || b == '\n') {
            out += "\\n";
            if (b == '\r' && i + 1 < n && ansi[i + 1] == '\n')
                from = ++i + 1;
        } else if (!IsTextControl(b)) {
            out += '\\';
            out += char(b);
        }
    }
    AppendUtf8OfAnsi(out, ansi.sliced(from));
}

void AppendFoldedLine(QByteArray &out, QByteArrayView line)
{
    qsizetype at = 0;
    qsizetype room = kLineOctets;
    while (line.size() - at > room) {
        qsizetype cut = at + room;
        while (cut > at && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut; // never inside a UTF-8 character
        out.append(line.sliced(at, cut - at));
        out += "\r\n ";
        at = cut;
        room = kLineOctets - 1; // the blank that begins the continuation counts
    }
    out.append(line.sliced(at));
    out += "\r\n";
}

std::optional<int> HourOfLabel(QByteArrayView label)
{
    qsizetype end = 0;
    if (!StartsWithDigits(label, end) || !label.sliced(end).startsWith(":00 "))
        return std::nullopt;
    const int n = label.first(end).toInt();
    const QByteArrayView half = label.sliced(end + 4);
    const auto is = [half](const char *word) {
        return half.compare(QByteArrayView(word), Qt::CaseInsensitive) == 0;
    };
    if (is("AM") && n >= 1 && n <= 11)
        return n;
    if (is("M") && n == 12)
        return 12;
    if (is("PM") && n >= 1 && n <= 12)
        return n + 12;
    return std::nullopt;
}

int TOccurrences::next(quint64 key)
{
    if ((m_used + 1) * 2 > m_slots.size())
        grow();
    const qsizetype mask = m_slots.size() - 1;
    for (qsizetype i = qsizetype(key & quint64(mask));; i = (i + 1) & mask) {
        TSlot &slot = m_slots[i];
        if (slot.seen == 0) {
            slot = {key, 1};
            ++m_used;
            return 0;
        }
        if (slot.key == key)
            return slot.seen++;
    }
}

void TOccurrences::clear()
{
    constexpr qsizetype kKept = 4096;
    if (m_slots.size() > kKept)
        m_slots = QList<TSlot>(kKept);
    else
        m_slots.fill(TSlot());
    m_used = 0;
}

void TOccurrences::grow()
{
    QList<TSlot> old = std::exchange(m_slots, QList<TSlot>(qMax<qsizetype>(1024, m_slots.size() * 2)));
    m_used = 0;
    const qsizetype mask = m_slots.size() - 1;
    for (const TSlot &slot : std::as_const(old)) {
        if (slot.seen == 0)
            continue;
        qsizetype i = qsizetype(slot.key & quint64(mask));
        while (m_slots[i].seen != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
        ++m_used;
    }
}

TICalExport::TICalExport(const QDateTime &stamp)
{
    m_stampLine = "DTSTAMP:" + stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1()
                + "\r\n";
    m_line.reserve(1024);
}

void TICalExport::begin(QByteArray &out)
{
    out += "BEGIN:VCALENDAR\r\n"
           "VERSION:2.0\r\n"
           "PRODID:-//Project Zelvo//Project Zelvo 2.0//EN\r\n"
           "CALSCALE:GREGORIAN\r\n";
}

void TICalExport::project(QByteArray &, const TExportProject &project, int)
{
    const quint64 nameHash = StableHash(project.name);
    const int before = m_projectNames.next(nameHash);
    m_projectScope = before == 0 ? nameHash : Combine(nameHash, quint64(before));
    m_taskUses.clear();
    m_categoriesLine.resize(0);
    m_categoriesLine += "CATEGORIES:";
    AppendICalText(m_categoriesLine, project.category);
    if (!project.category.isEmpty() && !project.name.isEmpty())
        m_categoriesLine += ',';
    AppendICalText(m_categoriesLine, project.name);
    endLine(m_categoriesLine, 0);
}

// The content line from lineStart to the end of out is complete: most are short and only
// get their CR LF; a long one is folded.
void TICalExport::endLine(QByteArray &out, qsizetype lineStart)
{
    if (out.size() - lineStart <= kLineOctets) {
        out += "\r\n";
        return;
    }
    m_line.resize(0); // keeps its capacity
    m_line.append(out.constData() + lineStart, out.size() - lineStart);
    out.truncate(lineStart);
    AppendFoldedLine(out, m_line);
}

void TICalExport::textLine(QByteArray &out, const char *name, QByteArrayView ansi)
{
    const qsizetype start = out.size();
    out += name;
    out += ':';
    AppendICalText(out, ansi);
    endLine(out, start);
}

void TICalExport::dateLine(QByteArray &out, const char *dateName, const char *textName,
                           QByteArrayView ansi, const std::optional<QDate> &date)
{
    if (ansi.isEmpty())
        return;
    if (date) {
        out += dateName;
        out += ";VALUE=DATE:";
        AppendDate(out, *date);
        out += "\r\n";
    } else {
        textLine(out, textName, ansi); // not a calendar date: kept as typed
    }
}

void TICalExport::uidLine(QByteArray &out, const char *kind, quint64 scope, quint64 keyHash,
                          int use)
{
    out += "UID:";
    out += kind;
    out += '-';
    AppendHex(out, scope);
    out += '-';
    AppendHex(out, keyHash);
    out += '-';
    AppendNumber(out, use);
    out += "@projectzelvo\r\n";
}

void TICalExport::task(QByteArray &out, const TExportTask &task)
{
    out += "BEGIN:VTODO\r\n";
    const quint64 descriptionHash = StableHash(task.description);
    uidLine(out, "task", m_projectScope, descriptionHash,
            m_taskUses.next(Combine(m_projectScope, descriptionHash)));
    out += m_stampLine;
    textLine(out, "SUMMARY", task.description);
    if (!task.notes.isEmpty())
        textLine(out, "DESCRIPTION", task.notes);
    const std::optional<QDate> start = ParseShortDate(task.startDate);
    std::optional<QDate> due = ParseShortDate(task.endDate);
    if (start && due && *due < *start)
        due.reset(); // a to-do due before it starts is invalid: its due text is kept instead
    dateLine(out, "DTSTART", "X-ZELVO-START-TEXT", task.startDate, start);
    dateLine(out, "DUE", "X-ZELVO-DUE-TEXT", task.endDate, due);
    out += task.done ? "STATUS:COMPLETED\r\n" : "STATUS:NEEDS-ACTION\r\n";
    out += m_categoriesLine;
    out += "END:VTODO\r\n";
}

bool TICalExport::hour(QByteArray &out, const TExportHour &hour)
{
    const std::optional<QDate> day = ParseShortDate(hour.day);
    const std::optional<int> hourOfDay = HourOfLabel(hour.hour);
    if (!day || !hourOfDay)
        return false;
    // Row 24 ("12:00 PM") is the hour that begins at midnight, at the end of the day.
    const QDate startDay = *hourOfDay == 24 ? day->addDays(1) : *day;
    const int start = *hourOfDay % 24;
    const QDate endDay = start == 23 ? startDay.addDays(1) : startDay;
    out += "BEGIN:VEVENT\r\n";
    // Repeats are counted per hour of the calendar: neighbouring hours are neighbours in the
    // count's table, so a planner kept in order of days stays in the cache.
    const quint64 slot = quint64(startDay.toJulianDay()) * 32 + quint64(start);
    uidLine(out, "hour", StableHash(hour.day), StableHash(hour.hour), m_hourUses.next(slot));
    out += m_stampLine;
    out += "DTSTART:";
    AppendDateTime(out, startDay, start);
    out += "\r\nDTEND:";
    AppendDateTime(out, endDay, (start + 1) % 24);
    out += "\r\n";
    textLine(out, "SUMMARY", hour.action);
    out += "END:VEVENT\r\n";
    return true;
}

void TICalExport::end(QByteArray &out)
{
    out += "END:VCALENDAR\r\n";
}
