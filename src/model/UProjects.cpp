#include "model/UProjects.h"

#include "model/OrderedPieces.h"
#include "model/SaveTransaction.h"
#include "model/TextFile.h"
#include "util/CodePage.h"
#include "util/AppFiles.h"
#include "util/FileError.h"
#include "util/UUtils.h"

#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const char *const kDefaultTasks[] = {
    "Purchase Domain Name",
    "Purchase Web Hosting",
    "Develop Info Product",
    "Write Web Sales Copy",
    "Header & Box Graphics",
    "Setup Web Sites Pages",
    "Gather Testimonial",
    "New Click Bank Account",
    "Solo & Affiliate Ads",
    "Send Mailing To Lists",
    "Sell one",
};

// How far ahead of the record being written its objects, then their fields, are asked for:
// records lie all over memory, and each waits on memory twice (the object, then its fields).
constexpr int kTaskAhead = 16;
constexpr int kFieldsAhead = 8;

const QString kCategoriesFile = QStringLiteral("categories.dat");
const QString kProjectsFile = QStringLiteral("Projects.dat");
const QString kHoursFile = QStringLiteral("Hours.dat");

// Codes 1..32; the text never holds a NUL (it ends there).
bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32 && c != '\0';
}

// The line less leading and trailing characters with codes 0..32.
QByteArrayView Trimmed(QByteArrayView line)
{
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && static_cast<unsigned char>(line[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32)
        --e;
    return line.sliced(b, e - b);
}

// Every line of the data files has its line breaks restored before it is split. Most lines
// hold none, and are then used where they lie.
QByteArrayView Unescaped(QByteArrayView line, QByteArray &storage)
{
    if (!HasEscapedLineBreaks(line))
        return line;
    storage = UnescapeLineBreaks(line.toByteArray());
    return storage;
}

// The pieces of a line split at "^" as SplitString does, without copying: calls piece(k,
// view) for pieces 0..last, stopping after piece `last`.
template <typename Piece>
void ForEachCaretPiece(QByteArrayView line, int last, Piece &&piece)
{
    const char *p = line.data();
    const char *end = p + line.size();
    for (int k = 0; k <= last && p < end; ++k) {
        const void *hit = std::memchr(p, '^', size_t(end - p));
        const char *stop = hit ? static_cast<const char *>(hit) : end;
        piece(k, QByteArrayView(p, stop - p));
        p = hit ? stop + 1 : end;
    }
}

// The task-field rules. Calls field(view) for each field in order until it returns false.
// A view points into the line, or into scratch for a quoted field that held doubled quotes.
template <typename Field>
void ParseTaskFields(QByteArrayView line, QByteArray &scratch, Field &&field)
{
    const char *s = line.data();
    const qsizetype n = line.size();
    qsizetype p = 0;
    const auto skipBlanks = [&] {
        while (p < n && IsBlank(s[p]))
            ++p;
    };
    const auto nextQuote = [&](qsizetype from) {
        const void *hit = from < n ? std::memchr(s + from, '^', size_t(n - from)) : nullptr;
        return hit ? static_cast<const char *>(hit) - s : n;
    };

    skipBlanks();
    while (p < n) {
        QByteArrayView value;
        if (s[p] == '^') {
            ++p;
            qsizetype q = nextQuote(p);
            if (q == n) { // no closing quote: to the end of the line less its last character
                value = QByteArrayView(s + p, qMax<qsizetype>(0, n - p - 1));
                p = n;
            } else if (q + 1 == n || s[q + 1] != '^') { // the common case: no doubled quote
                value = QByteArrayView(s + p, q - p);
                p = q + 1;
            } else {
                scratch.resize(0);
                for (;;) {
                    if (q == n) {
                        scratch.append(s + p, n - p);
                        scratch.chop(1);
                        p = n;
                        break;
                    }
                    if (q + 1 < n && s[q + 1] == '^') { // two quotes stand for one
                        scratch.append(s + p, q - p + 1);
                        p = q + 2;
                        q = nextQuote(p);
                        continue;
                    }
                    scratch.append(s + p, q - p);
                    p = q + 1;
                    break;
                }
                value = scratch;
            }
        } else {
            qsizetype q = p;
            while (q < n && !IsBlank(s[q]) && s[q] != ',')
                ++q;
            value = QByteArrayView(s + p, q - p);
            p = q;
        }
        if (!field(value))
            return;
        skipBlanks();
        if (p < n && s[p] == ',') {
            if (p == n - 1 && !field(QByteArrayView()))
                return;
            ++p;
            skipBlanks();
        }
    }
}

// Puts a field at p with CR and LF escaped and, in task fields, "^" doubled so that the
// task-field rules read it back as one "^". Returns the end; needs room for twice the field.
char *PutEscaped(char *p, QByteArrayView field, bool doubleQuotes)
{
    for (const char c : field) {
        if (c == '\r') {
            *p++ = '\xA5';
            *p++ = '\xA5';
        } else if (c == '\n') {
            *p++ = '\xA7';
            *p++ = '\xA7';
        } else {
            if (c == '^' && doubleQuotes)
                *p++ = '^';
            *p++ = c;
        }
    }
    return p;
}

// The record lines of one piece of a file, put straight into its buffer: room for a line's
// worst case (every field escaped) is made once per line, so the bytes go in without a size
// check each. The buffer is cut to what was written when this ends.
class TRecordOut {
public:
    explicit TRecordOut(QByteArray &out) : m_out(out), m_size(out.size()) {}
    ~TRecordOut() { m_out.resize(m_size); }
    TRecordOut(const TRecordOut &) = delete;
    TRecordOut &operator=(const TRecordOut &) = delete;

    // Appends one record line: the literal pieces with the fields between them (pieces has
    // one more entry than fields, and holds literalCarets "^"), then CR LF. Most lines hold
    // nothing to escape: they are copied in one go and checked in one pass over the copy (a
    // field holds no CR or LF, and the line holds no "^" beyond the literal ones); a line
    // that needs escaping is put again field by field.
    template <size_t N>
    void line(const std::array<QByteArrayView, N + 1> &pieces,
              const std::array<QByteArrayView, N> &fields, bool doubleQuotes,
              qsizetype literalCarets)
    {
        qsizetype literal = 0;
        for (const QByteArrayView piece : pieces)
            literal += piece.size();
        qsizetype variable = 0;
        for (const QByteArrayView field : fields)
            variable += field.size();

        char *const start = room(literal + 2 * variable + 2);
        char *p = start;
        const auto copy = [&p](const char *bytes, qsizetype size) {
            if (size > 0) // an empty view may have no data pointer at all
                std::memcpy(p, bytes, size_t(size));
            p += size;
        };
        for (size_t k = 0; k <= N; ++k) {
            copy(pieces[k].data(), pieces[k].size());
            if (k < N)
                copy(fields[k].data(), fields[k].size());
        }
        if (!NeedsEscaping(start, literal + variable, doubleQuotes, literalCarets)) {
            p[0] = '\r';
            p[1] = '\n';
            m_size += literal + variable + 2;
            return;
        }
        p = start;
        for (size_t k = 0; k <= N; ++k) {
            copy(pieces[k].data(), pieces[k].size());
            if (k < N)
                p = PutEscaped(p, fields[k], doubleQuotes);
        }
        *p++ = '\r';
        *p++ = '\n';
        m_size = p - m_out.constData();
    }

    void literal(QByteArrayView text)
    {
        std::memcpy(room(text.size()), text.data(), size_t(text.size()));
        m_size += text.size();
    }

private:
    // Where the next bytes go, with room for at least size of them.
    char *room(qsizetype size)
    {
        if (m_out.size() - m_size < size)
            m_out.resize(qMax(m_size + size, qMax<qsizetype>(2 * m_out.size(), 1 << 16)));
        return m_out.data() + m_size;
    }

    // Whether a line copied as it is holds a CR or LF, or (when quotes are doubled) more "^"
    // than its literal pieces. One pass the compiler vectorises; counted in byte-wide lanes, a
    // few at a time.
    static bool NeedsEscaping(const char *line, qsizetype length, bool doubleQuotes,
                              qsizetype literalCarets)
    {
        unsigned breaks = 0;
        qsizetype carets = 0;
        for (qsizetype i = 0; i < length; i += 255) {
            const qsizetype stop = qMin(length, i + 255);
            unsigned char lane = 0;
            for (qsizetype k = i; k < stop; ++k) {
                const char c = line[k];
                breaks |= (c == '\r') | (c == '\n');
                lane += c == '^';
            }
            carets += lane;
        }
        return breaks || (doubleQuotes && carets != literalCarets);
    }

    QByteArray &m_out;
    qsizetype m_size; // bytes written; the buffer beyond is room
};

// Whether there is a file to load. A link to nothing is not a missing file: it is reported
// like a file that cannot be read, and never replaced by a save.
bool ExistsForLoading(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return true;
    if (!info.isSymLink())
        return false;
    throw TFileError(path, QStringLiteral("it is a link to %1, which does not exist")
                               .arg(info.symLinkTarget()));
}

// Runs a load: the state starts afresh, a failure marks the file as never to be written in
// this run, and a damaged file gets the name its copy will be kept under.
template <typename Load>
void LoadNoting(const QString &path, TDataFileState &state, Load load)
{
    state = TDataFileState();
    try {
        if (!ExistsForLoading(path))
            return;
        load();
    } catch (const TFileError &) {
        state.loadFailed = true;
        throw;
    }
    if (!state.drops.isEmpty())
        state.backupPath = FreeBackupPath(path);
}

void NoteNulCut(const TTextLineReader &reader, TDataFileState &state)
{
    if (const auto cut = reader.nulCut())
        state.drops.append({cut->line, cut->line,
                            QStringLiteral("a NUL byte ends the text here; the %1 bytes after it "
                                           "were not read")
                                .arg(cut->ignoredBytes)});
}

// Saves one file on its own: a file that could not be read, or that is read-only, is refused.
void SaveOne(const QString &path, TDataFileState &state, TSaveTransaction::TWrite write)
{
    TSaveTransaction transaction;
    transaction.add(path, state, std::move(write));
    transaction.run();
    if (!transaction.skipped().isEmpty()) {
        const TSaveTransaction::TSkipped &skipped = transaction.skipped().first();
        throw TFileError(path, QStringLiteral("not written"), skipped.text);
    }
}

} // namespace

// ---- TTask, TProject ------------------------------------------------------------------------

void TProject::AddDefaultTasks()
{
    ClearTasks();
    for (const char *text : kDefaultTasks) {
        const QByteArray description(text);
        Tasks.append(description, TTask(false, description, {}, {}, {}));
    }
}

void TProject::ClearTasks()
{
    Tasks.clear();
}

// Exact integer arithmetic: a floating quotient carries a representation error that can push
// a true half (23 of 40 is 57.5) to the wrong side.
int TProject::PercentDone() const
{
    const qint64 total = Tasks.count();
    if (total == 0)
        return 0;
    const qint64 scaled = qint64(DoneCount()) * 100;
    qint64 percent = scaled / total;
    const qint64 twiceRest = (scaled % total) * 2;
    if (twiceRest > total || (twiceRest == total && percent % 2 == 1))
        ++percent;
    return int(percent);
}

QList<QByteArray> SplitTaskFields(const QByteArray &line)
{
    QList<QByteArray> fields;
    QByteArray scratch;
    ParseTaskFields(line, scratch, [&](QByteArrayView field) {
        fields.append(field.toByteArray());
        return true;
    });
    return fields;
}

// ---- TProjects ------------------------------------------------------------------------------

TProjects::TProjects(const QString &appDir) : m_appDir(appDir) {}

TProject *TProjects::FindProjectByName(const QByteArray &name, int &index) const
{
    for (int i = 0; i < count(); ++i) {
        if (object(i)->Name == name) {
            index = i;
            return object(i);
        }
    }
    return nullptr;
}

QString TProjects::CategoriesPath() const
{
    return ResolveFileName(m_appDir, kCategoriesFile);
}

// One name for reading and writing, so that a save followed by a load meets the same file
// even where a second entry differs only in letter case.
QString TProjects::ProjectsPath() const
{
    return ResolveFileName(m_appDir, kProjectsFile);
}

void TProjects::LoadCategories()
{
    const QString path = CategoriesPath();
    LoadNoting(path, m_categoriesState, [&] {
        TStringList loaded;
        TTextLineReader reader(path);
        QByteArrayView line;
        while (reader.next(line))
            loaded.append(line.toByteArray());
        NoteNulCut(reader, m_categoriesState);
        Categories = std::move(loaded);
    });
}

void TProjects::SaveCategories()
{
    SaveOne(CategoriesPath(), m_categoriesState,
            [this](TTextFileWriter &out) { WriteCategories(out); });
}

void TProjects::WriteCategories(TTextFileWriter &writer) const
{
    for (int i = 0; i < Categories.count(); ++i) {
        writer.buffer().append(Categories.at(i)).append("\r\n", 2);
        writer.flushIfFull();
    }
}

// A header line opens a project, which enters the book at its "EndProject"; task lines join
// the open project, or the one just closed. Damaged files are read as far as they go: task
// lines and "EndProject" lines with no project to belong to are ignored, a project without
// its "EndProject" is dropped with its tasks, and no project is entered twice. What is
// dropped is noted in the file's state, with its line.
void TProjects::LoadProjects()
{
    const QString path = ProjectsPath();
    LoadNoting(path, m_projectsState, [&] {
        // The book changes only once the whole file has been read.
        std::vector<std::unique_ptr<TProject>> loaded;
        std::unique_ptr<TProject> open; // after a header, before its "EndProject"
        int openLine = 0;
        TProject *current = nullptr; // where task lines go
        QByteArray unescaped;
        QByteArray scratch;
        QByteArray fields[4];
        QList<TLoadDrop> &drops = m_projectsState.drops;

        const auto dropOpen = [&] {
            if (!open)
                return;
            const int tasks = open->Tasks.count();
            drops.append({openLine, openLine,
                          QStringLiteral("the project \"%1\" has no \"EndProject\" line, so it "
                                         "was left out with its %2 task(s)")
                              .arg(FromAnsi(open->Name))
                              .arg(tasks)});
            open.reset();
        };
        const auto dropStray = [&](int lineNo) {
            if (!drops.isEmpty() && drops.last().lastLine == lineNo - 1
                && drops.last().what.startsWith(QStringLiteral("task line"))) {
                drops.last().lastLine = lineNo;
                return;
            }
            drops.append({lineNo, lineNo,
                          QStringLiteral("task lines outside any project were left out")});
        };

        TTextLineReader reader(path);
        QByteArrayView line;
        int lineNo = 0;
        while (reader.next(line)) {
            ++lineNo;
            const QByteArrayView trimmed = Trimmed(line);
            if (trimmed.isEmpty())
                continue;
            if (trimmed.startsWith("Header^")) {
                dropOpen();
                open = std::make_unique<TProject>();
                openLine = lineNo;
                TProject *project = open.get();
                ForEachCaretPiece(Unescaped(line, unescaped), 4, [&](int k, QByteArrayView v) {
                    switch (k) {
                    case 1:
                        project->Name = v.toByteArray();
                        break;
                    case 2:
                        project->Category = v.toByteArray();
                        break;
                    case 3:
                        project->StartDate = v.toByteArray();
                        break;
                    case 4:
                        project->EndDate = v.toByteArray();
                        break;
                    default:
                        break; // the word "Header"
                    }
                });
                current = project;
            } else if (trimmed == "EndProject") {
                if (open)
                    loaded.push_back(std::move(open));
            } else if (current) {
                bool done = false;
                int k = 0;
                for (QByteArray &f : fields)
                    f = QByteArray();
                ParseTaskFields(Unescaped(line, unescaped), scratch, [&](QByteArrayView v) {
                    if (k == 0)
                        done = v == "True";
                    else
                        fields[k - 1] = v.toByteArray();
                    return ++k < 5;
                });
                // The description is both the key and the field: one shared copy.
                current->Tasks.append(fields[0],
                                      TTask(done, fields[0], fields[1], fields[2], fields[3]));
            } else {
                dropStray(lineNo);
            }
        }
        // A NUL that cuts the text usually cuts the open project too: both are told, in the
        // order of their lines.
        dropOpen();
        NoteNulCut(reader, m_projectsState);

        reserve(count() + int(loaded.size()));
        for (std::unique_ptr<TProject> &project : loaded) {
            const QByteArray name = project->Name;
            append(name, std::move(project));
        }
    });
}

void TProjects::SaveProjects()
{
    SaveOne(ProjectsPath(), m_projectsState, [this](TTextFileWriter &out) { WriteProjects(out); });
}

// A large book is written in pieces of about this many task lines, made side by side.
constexpr int kTasksPerPiece = 8192;

void TProjects::WriteProjects(TTextFileWriter &writer) const
{
    // The first project of each piece, and the end.
    std::vector<int> starts{0};
    int tasks = 0;
    for (int i = 0; i < count(); ++i) {
        tasks += object(i)->Tasks.count() + 2;
        if (tasks >= kTasksPerPiece && i + 1 < count()) {
            starts.push_back(i + 1);
            tasks = 0;
        }
    }
    starts.push_back(count());
    MakePiecesInOrder(
        int(starts.size()) - 1,
        [&](int piece, QByteArray &out) { AppendProjects(out, starts[piece], starts[piece + 1]); },
        [&](const QByteArray &piece) { writer.writeBlock(piece); });
}

void TProjects::AppendProjects(QByteArray &buffer, int from, int to) const
{
    TRecordOut out(buffer);
    for (int i = from; i < to; ++i) {
        const TProject &project = *object(i);
        out.line<4>({"Header^", "^", "^", "^", "^"},
                    {project.Name, project.Category, project.StartDate, project.EndDate},
                    false, 0);
        const TTasks &tasks = project.Tasks;
        for (int t = 0; t < tasks.count(); ++t) {
            out.line<4>({tasks.done(t) ? QByteArrayView("^True^,^") : QByteArrayView("^False^,^"),
                         "^,^", "^,^", "^,^", "^"},
                        {tasks.description(t), tasks.notes(t), tasks.startDate(t),
                         tasks.endDate(t)},
                        true, 10);
        }
        out.literal("EndProject\r\n");
    }
}

// ---- THours ---------------------------------------------------------------------------------

TToDoHour::TToDoHour(QByteArray day, QByteArray hour, QByteArray action)
    : Day(std::move(day)), Hour(std::move(hour)), Action(std::move(action))
{
}

QByteArray PlannerKey(const QByteArray &day, const QByteArray &hour)
{
    QByteArray key;
    key.reserve(day.size() + 1 + hour.size());
    return key.append(day).append('-').append(hour);
}

THours::THours(const QString &appDir) : m_appDir(appDir) {}

QString THours::HoursPath() const
{
    return ResolveFileName(m_appDir, kHoursFile);
}

void THours::LoadHours()
{
    const QString path = HoursPath();
    LoadNoting(path, m_hoursState, [&] {
        std::vector<std::unique_ptr<TToDoHour>> loaded;
        QByteArray unescaped;
        // Entries of one day follow each other and there are 24 hour labels: equal texts share
        // one copy instead of each entry holding its own.
        QByteArray lastDay;
        QVarLengthArray<QByteArray, 32> hourLabels;
        const auto shared = [&](QByteArrayView v, bool day) -> QByteArray {
            if (day) {
                if (lastDay != v)
                    lastDay = v.toByteArray();
                return lastDay;
            }
            for (const QByteArray &label : hourLabels)
                if (label == v)
                    return label;
            QByteArray label = v.toByteArray();
            if (hourLabels.size() < 32)
                hourLabels.append(label);
            return label;
        };
        TTextLineReader reader(path);
        QByteArrayView line;
        while (reader.next(line)) {
            if (Trimmed(line).isEmpty())
                continue;
            auto hour = std::make_unique<TToDoHour>();
            ForEachCaretPiece(Unescaped(line, unescaped), 2, [&](int k, QByteArrayView v) {
                if (k == 2)
                    hour->Action = v.toByteArray();
                else
                    (k == 0 ? hour->Day : hour->Hour) = shared(v, k == 0);
            });
            loaded.push_back(std::move(hour));
        }
        NoteNulCut(reader, m_hoursState);

        reserve(count() + int(loaded.size()));
        for (std::unique_ptr<TToDoHour> &hour : loaded) {
            const QByteArray key = PlannerKey(hour->Day, hour->Hour);
            append(key, std::move(hour));
        }
    });
}

void THours::SaveHours()
{
    SaveOne(HoursPath(), m_hoursState, [this](TTextFileWriter &out) { WriteHours(out); });
}

void THours::WriteHours(TTextFileWriter &writer) const
{
    constexpr int kEntriesPerPiece = 16384;
    MakePiecesInOrder(
        (count() + kEntriesPerPiece - 1) / kEntriesPerPiece,
        [&](int piece, QByteArray &out) {
            const int end = qMin(count(), (piece + 1) * kEntriesPerPiece);
            TRecordOut lines(out);
            for (int i = piece * kEntriesPerPiece; i < end; ++i) {
                if (i + kTaskAhead < end)
                    __builtin_prefetch(object(i + kTaskAhead));
                if (i + kFieldsAhead < end) {
                    const TToDoHour &ahead = *object(i + kFieldsAhead);
                    __builtin_prefetch(ahead.Day.constData());
                    __builtin_prefetch(ahead.Action.constData());
                }
                const TToDoHour &hour = *object(i);
                lines.line<3>({"", "^", "^", "^"}, {hour.Day, hour.Hour, hour.Action}, false, 3);
            }
        },
        [&](const QByteArray &piece) { writer.writeBlock(piece); });
}
