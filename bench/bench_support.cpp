#include "bench_support.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

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

void FillBook(TProjects &book, int projects, int tasksPerProject)
{
    TRandom random(12345);
    for (int p = 0; p < projects; ++p) {
        auto project = std::make_unique<TProject>();
        project->Name = "Project " + QByteArray::number(p) + ' ' + Words(random, 2);
        project->Category = "Category " + QByteArray::number(random.below(20));
        project->StartDate = DateText(random);
        project->EndDate = DateText(random);
        for (int t = 0; t < tasksPerProject; ++t) {
            QByteArray description = Words(random, 5) + ' ' + QByteArray::number(t);
            QByteArray notes;
            const int kind = random.below(10);
            if (kind < 6)
                notes = Words(random, 8);
            else if (kind == 6)
                notes = Words(random, 4) + "\r\n" + Words(random, 4);
            const bool dated = random.below(10) < 7;
            project->Tasks.append(description,
                                  std::make_unique<TTask>(random.below(10) < 3, description, notes,
                                                          dated ? DateText(random) : QByteArray(),
                                                          dated ? DateText(random) : QByteArray()));
        }
        const QByteArray name = project->Name;
        book.append(name, std::move(project));
    }
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
