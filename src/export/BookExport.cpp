#include "export/BookExport.h"

#include "export/CsvExport.h"
#include "export/ICalExport.h"
#include "model/TextFile.h"
#include "model/UProjects.h"

#include <QFileInfo>
#include <QHash>

#include <memory>

namespace {

// Records between two updates of the progress counter.
constexpr int kProgressStep = 4096;

std::unique_ptr<TExportSink> SinkOf(TExportFormat format, const QDateTime &stamp)
{
    if (format == TExportFormat::ICal)
        return std::make_unique<TICalExport>(stamp);
    return std::make_unique<TCsvExport>();
}

TExportProject RecordOf(const TProject &project)
{
    return {project.Category, project.Name, project.StartDate, project.EndDate};
}

TExportTask TaskRecord(const TTasks &tasks, int i)
{
    return {tasks.done(i), tasks.description(i), tasks.notes(i), tasks.startDate(i),
            tasks.endDate(i)};
}

// Counts records and hands the count to the progress counter now and then.
class TProgressCount {
public:
    explicit TProgressCount(std::atomic<qint64> *progress) : m_progress(progress) {}
    ~TProgressCount() { report(); }
    void step()
    {
        if (++m_pending == kProgressStep)
            report();
    }

private:
    void report()
    {
        if (m_progress)
            m_progress->fetch_add(m_pending, std::memory_order_relaxed);
        m_pending = 0;
    }
    std::atomic<qint64> *m_progress;
    qint64 m_pending = 0;
};

} // namespace

std::optional<TExportFormat> ExportFormatOfPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ics"))
        return TExportFormat::ICal;
    if (suffix == QLatin1String("csv"))
        return TExportFormat::Csv;
    if (suffix == QLatin1String("pdf"))
        return TExportFormat::Pdf;
    return std::nullopt;
}

QList<const TProject *> ProjectsInTreeOrder(const TProjects &book)
{
    QHash<QByteArray, QList<const TProject *>> byCategory;
    for (int c = 0; c < book.Categories.count(); ++c)
        byCategory.insert(book.Categories.at(c), {});
    QList<const TProject *> unlisted;
    for (int p = 0; p < book.count(); ++p) {
        const TProject *project = book.object(p);
        const auto group = byCategory.find(project->Category);
        (group != byCategory.end() ? *group : unlisted).append(project);
    }
    QList<const TProject *> ordered;
    ordered.reserve(book.count());
    for (int c = 0; c < book.Categories.count(); ++c)
        ordered += byCategory.take(book.Categories.at(c)); // a repeated name: its projects once
    return ordered + unlisted;
}

qint64 TBookExport::size() const
{
    qint64 records = hours ? hours->count() : 0;
    for (const TProject *project : projects)
        records += project->Tasks.count();
    return records;
}

int TBookExport::run(std::atomic<qint64> *progress) const
{
    TTextFileWriter writer(path);
    QByteArray &out = writer.buffer();
    const std::unique_ptr<TExportSink> sink = SinkOf(format, stamp);
    TProgressCount count(progress);
    sink->begin(out);
    for (const TProject *project : projects) {
        const TExportProject record = RecordOf(*project);
        const int tasks = project->Tasks.count();
        sink->project(out, record, tasks);
        for (int i = 0; i < tasks; ++i) {
            sink->task(out, TaskRecord(project->Tasks, i));
            writer.flushIfFull();
            count.step();
        }
        writer.flushIfFull();
    }
    int leftOut = 0;
    for (int i = 0; hours && i < hours->count(); ++i) {
        const TToDoHour &hour = *hours->object(i);
        if (!sink->hour(out, {hour.Day, hour.Hour, hour.Action}))
            ++leftOut;
        writer.flushIfFull();
        count.step();
    }
    sink->end(out);
    writer.commit();
    return leftOut;
}
