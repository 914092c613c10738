#include "bench_support.h"

#include <sys/resource.h>

#include <QDate>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <malloc.h>

namespace {

// A small fixed generator, so that every run writes the same files.
class TRandom {
public:
    explicit TRandom(quint64 seed) : m_state(seed) {}
    quint32 next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(m_state >> 33);
    }
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint64 m_state;
};

const char *const kWords[] = {"Write", "sales", "copy", "for",     "the",    "new",   "landing",
                              "page",  "Order", "logo", "banner",  "Call",   "hosting", "support",
                              "Check", "ads",   "list", "mailing", "update", "Ebook"};

QByteArray Words(TRandom &random, int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text.append(' ');
        text.append(kWords[random.below(int(std::size(kWords)))]);
    }
    return text;
}

QByteArray DateText(TRandom &random)
{
    return QByteArray::number(1 + random.below(12)) + '/' + QByteArray::number(1 + random.below(28))
         + '/' + QByteArray::number(2008 + random.below(3));
}

long StatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

namespace {

// One project with its tasks; the order of the draws keeps every book the same run to run.
std::unique_ptr<TProject> MakeProject(TRandom &random, int index, int categories, int tasks)
{
    auto project = std::make_unique<TProject>();
    project->Name = "Project " + QByteArray::number(index) + ' ' + Words(random, 2);
    project->Category = CategoryName(random.below(categories));
    project->StartDate = DateText(random);
    project->EndDate = DateText(random);
    project->Tasks.reserve(tasks);
    for (int t = 0; t < tasks; ++t) {
        QByteArray description = Words(random, 5) + ' ' + QByteArray::number(t);
        QByteArray notes;
        const int kind = random.below(10);
        if (kind < 6)
            notes = Words(random, 8);
        else if (kind == 6)
            notes = Words(random, 4) + "\r\n" + Words(random, 4);
        const bool dated = random.below(10) < 7;
        project->Tasks.append(description,
                              TTask(random.below(10) < 3, description, notes,
                                                      dated ? DateText(random) : QByteArray(),
                                                      dated ? DateText(random) : QByteArray()));
    }
    return project;
}

} // namespace

QByteArray CategoryName(int n)
{
    return "Category " + QByteArray::number(n);
}

void FillBook(TProjects &book, int projects, int tasksPerProject)
{
    TRandom random(12345);
    for (int p = 0; p < projects; ++p) {
        std::unique_ptr<TProject> project = MakeProject(random, p, 20, tasksPerProject);
        const QByteArray name = project->Name;
        book.append(name, std::move(project));
    }
}

void FillLargeBook(TProjects &book, const TLargeBook &shape)
{
    TRandom random(4242);
    for (int c = 0; c < shape.categories; ++c)
        book.Categories.append(CategoryName(c));
    const qint64 rest = shape.tasks - shape.bigProjectTasks;
    const int others = shape.projects - 1;
    book.reserve(shape.projects);
    for (int p = 0; p < shape.projects; ++p) {
        // The rest of the tasks spread evenly over the other projects.
        const int tasks = p == shape.bigProject ? shape.bigProjectTasks
                                                : int(rest * (p + 1 - (p > shape.bigProject)) / others
                                                      - rest * (p - (p > shape.bigProject)) / others);
        std::unique_ptr<TProject> project = MakeProject(random, p, shape.categories, tasks);
        const QByteArray name = project->Name;
        book.append(name, std::move(project));
    }
}

void WriteLargeBook(const QString &appDir, const TLargeBook &shape)
{
    {
        TProjects book(appDir);
        FillLargeBook(book, shape);
        book.SaveCategories();
        book.SaveProjects();
    }
    THours hours(appDir);
    FillHours(hours, shape.hours);
    hours.SaveHours();
}

QList<QByteArray> HourLabels()
{
    QList<QByteArray> labels;
    for (int h = 0; h < 24; ++h) {
        const int shown = h % 12 == 0 ? 12 : h % 12;
        const char *suffix = h < 12 ? ":00 AM" : h == 12 ? ":00 M" : ":00 PM";
        labels.append(QByteArray::number(shown) + suffix);
    }
    return labels;
}

QByteArray DayText(int n)
{
    const QDate date = QDate(2000, 1, 1).addDays(n);
    return QByteArray::number(date.month()) + '/' + QByteArray::number(date.day()) + '/'
         + QByteArray::number(date.year());
}

void FillHours(THours &hours, int entries)
{
    TRandom random(777);
    const QList<QByteArray> labels = HourLabels();
    hours.reserve(entries);
    for (int i = 0; i < entries; ++i) {
        const QByteArray day = DayText(i / 24);
        const QByteArray &hour = labels.at(i % 24);
        hours.append(PlannerKey(day, hour),
                     std::make_unique<TToDoHour>(day, hour, Words(random, 1 + random.below(5))));
    }
}

// Five fields enclosed in "^" and separated by ",": "^f0^,^f1^,^f2^,^f3^,^f4^".
size_t FloorLoadProjects(const QString &path, std::deque<std::array<QByteArray, 5>> &tasks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = file.readAll();
    const char *p = text.constData();
    const char *end = p + text.size();
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *next = lf ? lf + 1 : end;
        const char *e = lf ? lf : end;
        if (e > p && e[-1] == '\r')
            --e;
        if (e - p >= 2 && *p == '^') {
            std::array<QByteArray, 5> &fields = tasks.emplace_back();
            const char *s = p + 1;
            const char *stop = e - 1; // the closing "^"
            for (QByteArray &field : fields) {
                // The next "^,^" ends the field; the last one ends at the closing "^".
                const char *f = s;
                for (;;) {
                    f = static_cast<const char *>(std::memchr(f, '^', size_t(stop - f)));
                    if (!f || (stop - f >= 3 && f[1] == ',' && f[2] == '^'))
                        break;
                    ++f;
                }
                if (!f) {
                    field = QByteArray(s, stop - s);
                    break;
                }
                field = QByteArray(s, f - s);
                s = f + 3;
            }
        }
        p = next;
    }
    return tasks.size();
}

// Three fields, each ended by "^": "day^hour^action^".
size_t FloorLoadHours(const QString &path, std::deque<std::array<QByteArray, 3>> &hours)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = file.readAll();
    const char *p = text.constData();
    const char *end = p + text.size();
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *next = lf ? lf + 1 : end;
        const char *e = lf ? lf : end;
        std::array<QByteArray, 3> &fields = hours.emplace_back();
        const char *s = p;
        for (QByteArray &field : fields) {
            const char *f = static_cast<const char *>(std::memchr(s, '^', size_t(e - s)));
            if (!f)
                break;
            field = QByteArray(s, f - s);
            s = f + 1;
        }
        p = next;
    }
    return hours.size();
}

long CurrentRssKb()
{
    return StatusKb("VmRSS");
}

long PeakRssKb()
{
    return StatusKb("VmHWM");
}

void ResetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

qint64 FileSize(const QString &path)
{
    return QFileInfo(path).size();
}

double CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) {
        return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}
