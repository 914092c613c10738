#include "export/ICalExport.h"

#include "export/ByteCursor.h"
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

void PutHex(TCursor &c, quint64 value)
{
    static const char kDigits[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4)
        c.put(kDigits[(value >> shift) & 0xF]);
}

void PutDigits(TCursor &c, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        c.p[i] = char('0' + value % 10);
    c.p += width;
}

void PutNumber(TCursor &c, int value)
{
    char digits[12];
    int i = int(sizeof digits);
    do {
        digits[--i] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    c.put(QByteArrayView(digits + i, qsizetype(sizeof digits) - i));
}

void PutDate(TCursor &c, const QDate &date)
{
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    PutDigits(c, year, 4);
    PutDigits(c, month, 2);
    PutDigits(c, day, 2);
}

void PutDateTime(TCursor &c, const QDate &date, int hour)
{
    PutDate(c, date);
    c.put('T');
    PutDigits(c, hour, 2);
    c.put("0000");
}

// Mixes two hashes into one key for TOccurrences.
quint64 Combine(quint64 a, quint64 b)
{
    return a ^ (b * 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2));
}

bool StartsWithDigits(QByteArrayView text, qsizetype &digitsEnd)
{
    digitsEnd = 0;
    while (digitsEnd < text.size() && digitsEnd < 2 && text[digitsEnd] >= '0'
           && text[digitsEnd] <= '9')
        ++digitsEnd;
    return digitsEnd > 0;
}

bool IsTextControl(unsigned char b)
{
    return (b < 0x20 && b != '\t') || b == 0x7F;
}

// Text (Windows-1252) as an iCalendar TEXT value in UTF-8: backslash, semicolon and comma
// escaped, each line break (CR LF, CR or LF) written as \n. Other control characters, which
// the format does not allow, are left out; tabs stay. At most three bytes for each byte.
void PutICalText(TCursor &c, QByteArrayView ansi)
{
    const qsizetype n = ansi.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(ansi[i]);
        if (b >= 0x80) {
            c.put(Utf8OfAnsiByte(b));
        } else if (b == '\\' || b == ';' || b == ',') {
            c.put('\\');
            c.put(char(b));
        } else if (b == '\r' || b == '\n') {
            c.put("\\n");
            if (b == '\r' && i + 1 < n && ansi[i + 1] == '\n')
                ++i;
        } else if (!IsTextControl(b)) {
            c.put(char(b));
        }
    }
}

// The line, folded so that no line exceeds 75 octets without its CR LF (a continuation begins
// with one blank) and no UTF-8 character is split, then CR LF: at most line.size() / 24 + 8
// bytes more than the line.
void PutFolded(TCursor &c, QByteArrayView line)
{
    qsizetype at = 0;
    qsizetype room = kLineOctets;
    while (line.size() - at > room) {
        qsizetype cut = at + room;
        while (cut > at && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut; // never inside a UTF-8 character
        c.put(line.sliced(at, cut - at));
        c.put("\r\n ");
        at = cut;
        room = kLineOctets - 1; // the blank that begins the continuation counts
    }
    c.put(line.sliced(at));
    c.put("\r\n");
}

// Ends the content line that begins at lineStart: most are short and only get their CR LF; a
// long one is folded (scratch holds it meanwhile).
void EndLine(TCursor &c, char *lineStart, QByteArray &scratch)
{
    if (c.p - lineStart <= kLineOctets) {
        c.put("\r\n");
        return;
    }
    scratch.resize(0); // keeps its capacity
    scratch.append(lineStart, c.p - lineStart);
    c.p = lineStart;
    PutFolded(c, scratch);
}

void PutTextLine(TCursor &c, const char *name, QByteArrayView ansi, QByteArray &scratch)
{
    char *const start = c.p;
    c.put(QByteArrayView(name));
    c.put(':');
    PutICalText(c, ansi);
    EndLine(c, start, scratch);
}

// A DATE value when date is given, else the text as typed.
void PutDateLine(TCursor &c, const char *dateName, const char *textName, QByteArrayView ansi,
                 const std::optional<QDate> &date, QByteArray &scratch)
{
    if (ansi.isEmpty())
        return;
    if (!date) {
        PutTextLine(c, textName, ansi, scratch); // not a calendar date: kept as typed
        return;
    }
    c.put(QByteArrayView(dateName));
    c.put(";VALUE=DATE:");
    PutDate(c, *date);
    c.put("\r\n");
}

// "UID:" kind-scope-key-use "@projectzelvo".
void PutUid(TCursor &c, const char *kind, quint64 scope, quint64 keyHash, int use)
{
    c.put("UID:");
    c.put(QByteArrayView(kind));
    c.put('-');
    PutHex(c, scope);
    c.put('-');
    PutHex(c, keyHash);
    c.put('-');
    PutNumber(c, use);
    c.put("@projectzelvo\r\n");
}

// Room for a record: its fixed lines, and its texts at their longest once escaped and folded.
qsizetype RecordRoom(qsizetype fixed, qsizetype textBytes)
{
    const qsizetype text = 3 * textBytes;
    return 512 + fixed + text + text / 24;
}

} // namespace

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
    TRoom room(m_categoriesLine, RecordRoom(0, project.category.size() + project.name.size()));
    TCursor &c = room.cursor;
    char *const start = c.p;
    c.put("CATEGORIES:");
    PutICalText(c, project.category);
    if (!project.category.isEmpty() && !project.name.isEmpty())
        c.put(',');
    PutICalText(c, project.name);
    EndLine(c, start, m_line);
}

void TICalExport::task(QByteArray &out, const TExportTask &task)
{
    const std::optional<QDate> start = ParseShortDate(task.startDate);
    std::optional<QDate> due = ParseShortDate(task.endDate);
    if (start && due && *due < *start)
        due.reset(); // a to-do due before it starts is invalid: its due text is kept instead
    const quint64 descriptionHash = StableHash(task.description);
    const int use = m_taskUses.next(Combine(m_projectScope, descriptionHash));

    TRoom room(out, RecordRoom(m_stampLine.size() + m_categoriesLine.size(),
                               task.description.size() + task.notes.size()
                                   + task.startDate.size() + task.endDate.size()));
    TCursor &c = room.cursor;
    c.put("BEGIN:VTODO\r\n");
    PutUid(c, "task", m_projectScope, descriptionHash, use);
    c.put(m_stampLine);
    PutTextLine(c, "SUMMARY", task.description, m_line);
    if (!task.notes.isEmpty())
        PutTextLine(c, "DESCRIPTION", task.notes, m_line);
    PutDateLine(c, "DTSTART", "X-ZELVO-START-TEXT", task.startDate, start, m_line);
    PutDateLine(c, "DUE", "X-ZELVO-DUE-TEXT", task.endDate, due, m_line);
    c.put(task.done ? QByteArrayView("STATUS:COMPLETED\r\n") : QByteArrayView("STATUS:NEEDS-ACTION\r\n"));
    c.put(m_categoriesLine);
    c.put("END:VTODO\r\n");
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
    // Repeats are counted per hour of the calendar: neighbouring hours are neighbours in the
    // count's table, so a planner kept in order of days stays in the cache.
    const int use = m_hourUses.next(quint64(startDay.toJulianDay()) * 32 + quint64(start));

    TRoom room(out, RecordRoom(m_stampLine.size(), hour.action.size()));
    TCursor &c = room.cursor;
    c.put("BEGIN:VEVENT\r\n");
    PutUid(c, "hour", StableHash(hour.day), StableHash(hour.hour), use);
    c.put(m_stampLine);
    c.put("DTSTART:");
    PutDateTime(c, startDay, start);
    c.put("\r\nDTEND:");
    PutDateTime(c, endDay, (start + 1) % 24);
    c.put("\r\n");
    PutTextLine(c, "SUMMARY", hour.action, m_line);
    c.put("END:VEVENT\r\n");
    return true;
}

void TICalExport::end(QByteArray &out)
{
    out += "END:VCALENDAR\r\n";
}
