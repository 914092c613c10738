// Load and save of a large project book and day planner, and the day-planner refresh.
// Counters: peak_MB is the process's peak resident memory during the benchmark, above_MB the
// part of it above the resident memory when the benchmark started.

#include "bench_support.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kProjects = 10000;
constexpr int kTasksPerProject = 100;
constexpr int kHourEntries = 1000000;

// The generated files, written once per run.
struct TFiles {
    TFiles()
    {
        TProjects book(dir.path() + QLatin1Char('/'));
        FillBook(book, kProjects, kTasksPerProject);
        book.SaveProjects();
        THours hours(dir.path() + QLatin1Char('/'));
        FillHours(hours, kHourEntries);
        hours.SaveHours();
    }
    QString appDir() const { return dir.path() + QLatin1Char('/'); }
    QTemporaryDir dir;
};

const TFiles &Files()
{
    static const TFiles files;
    return files;
}

class TPeak {
public:
    TPeak()
    {
        ResetPeak();
        m_start = CurrentRssKb();
    }
    void report(benchmark::State &state) const
    {
        const long peak = PeakRssKb();
        state.counters["peak_MB"] = double(peak) / 1024;
        state.counters["above_MB"] = double(peak - m_start) / 1024;
    }

private:
    long m_start = 0;
};

void BM_LoadProjects(benchmark::State &state)
{
    const QString appDir = Files().appDir();
    const TPeak peak;
    for (auto _ : state) {
        auto book = std::make_unique<TProjects>(appDir);
        book->LoadProjects();
        benchmark::DoNotOptimize(book->count());
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
    peak.report(state);
    state.SetBytesProcessed(state.iterations() * FileSize(appDir + "Projects.dat"));
}

void BM_SaveProjects(benchmark::State &state)
{
    const QString appDir = Files().appDir();
    QTemporaryDir out;
    TProjects book(out.path() + QLatin1Char('/'));
    FillBook(book, kProjects, kTasksPerProject);
    const TPeak peak;
    for (auto _ : state)
        book.SaveProjects();
    peak.report(state);
    state.SetBytesProcessed(state.iterations() * FileSize(appDir + "Projects.dat"));
}

void BM_LoadHours(benchmark::State &state)
{
    const QString appDir = Files().appDir();
    const TPeak peak;
    for (auto _ : state) {
        auto hours = std::make_unique<THours>(appDir);
        hours->LoadHours();
        benchmark::DoNotOptimize(hours->count());
        state.PauseTiming();
        hours.reset();
        state.ResumeTiming();
    }
    peak.report(state);
    state.SetBytesProcessed(state.iterations() * FileSize(appDir + "Hours.dat"));
}

void BM_SaveHours(benchmark::State &state)
{
    const QString appDir = Files().appDir();
    QTemporaryDir out;
    THours hours(out.path() + QLatin1Char('/'));
    FillHours(hours, kHourEntries);
    const TPeak peak;
    for (auto _ : state)
        hours.SaveHours();
    peak.report(state);
    state.SetBytesProcessed(state.iterations() * FileSize(appDir + "Hours.dat"));
}

// The day planner shows a day: one look-up per hour row.
void BM_PlannerRefresh(benchmark::State &state)
{
    THours hours(QStringLiteral("/nonexistent/"));
    FillHours(hours, int(state.range(0)));
    const QList<QByteArray> labels = HourLabels();
    const QByteArray day = DayText(int(state.range(0) / 24 / 2)); // a day that has entries
    hours.indexOf(QByteArray()); // the index is built on the first look-up, at start-up
    for (auto _ : state)
        for (const QByteArray &label : labels)
            benchmark::DoNotOptimize(hours.indexOf(PlannerKey(day, label)));
}

} // namespace

BENCHMARK(BM_LoadProjects)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_SaveProjects)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_LoadHours)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_SaveHours)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_PlannerRefresh)->Arg(10)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
