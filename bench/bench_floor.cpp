// LoadProjects against a floor: the least any loader must do, which is to read the project
// file, split its lines and copy each task line's five fields into owned byte arrays. Each
// side runs in a child process of its own, so that the peak memory of one does not hide the
// other's; the rounds alternate and the best time of each side counts. Every allocation of
// the process (malloc, calloc, a realloc of nothing) is counted, so that what a task costs
// shows in allocations as well as in bytes.
//
//   bench_floor [rounds]       generates a book of 10,000 projects with 100 tasks each,
//                              measures both sides and prints the ratios
//   bench_floor floor <file>   one measurement of the floor
//   bench_floor load <dir>     one measurement of TProjects::LoadProjects
//   bench_floor generate <dir> only writes the book's Projects.dat into dir (for profiling)

#include "bench_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <deque>
#include <unistd.h>

// glibc's own allocator, under the names every library's malloc calls reach here by.
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
}

namespace {

std::atomic<qint64> g_allocations{0};

void CountAllocation()
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

extern "C" void *malloc(size_t size) noexcept
{
    CountAllocation();
    return __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size) noexcept
{
    CountAllocation();
    return __libc_calloc(count, size);
}

extern "C" void *realloc(void *block, size_t size) noexcept
{
    if (!block)
        CountAllocation();
    return __libc_realloc(block, size);
}

namespace {

struct TResult {
    double ms = 0;
    long peakKb = 0;
    long startKb = 0;
    qint64 allocations = 0; // during the load
    qint64 taskBytes = 0;   // what the loaded tasks hold, where the loader says (0: unknown)
};

void Print(const TResult &r, qint64 items)
{
    std::printf("%.3f %ld %ld %lld %lld %lld\n", r.ms, r.peakKb, r.startKb,
                static_cast<long long>(items), static_cast<long long>(r.allocations),
                static_cast<long long>(r.taskBytes));
    std::fflush(stdout);
}

size_t Floor(const QString &path)
{
    std::deque<std::array<QByteArray, 5>> tasks;
    return FloorLoadProjects(path, tasks);
}

qint64 TaskCount(const TProjects &book)
{
    qint64 n = 0;
    for (int i = 0; i < book.count(); ++i)
        n += book.object(i)->Tasks.count();
    return n;
}

qint64 TaskBytes(const TProjects &book)
{
    qint64 bytes = 0;
    for (int i = 0; i < book.count(); ++i)
        bytes += book.object(i)->Tasks.storageBytes();
    return bytes;
}

void Generate(const QString &appDir)
{
    TProjects book(appDir);
    FillBook(book, 10000, 100);
    book.SaveProjects();
}

int Child(const QString &mode, const QString &path)
{
    if (mode == QLatin1String("generate")) {
        Generate(path + QLatin1Char('/'));
        return 0;
    }
    TResult r;
    r.startKb = PeakRssKb();
    QElapsedTimer timer;
    qint64 items = 0;
    const qint64 allocationsBefore = g_allocations.load();
    if (mode == QLatin1String("floor")) {
        timer.start();
        items = qint64(Floor(path));
        r.ms = timer.nsecsElapsed() / 1e6;
        r.peakKb = PeakRssKb();
        r.allocations = g_allocations.load() - allocationsBefore;
        Print(r, items);
    } else {
        auto *book = new TProjects(path); // left to the end of the process, as the program
        timer.start();
        book->LoadProjects();
        r.ms = timer.nsecsElapsed() / 1e6;
        r.peakKb = PeakRssKb();
        r.allocations = g_allocations.load() - allocationsBefore;
        r.taskBytes = TaskBytes(*book);
        Print(r, TaskCount(*book));
    }
    _exit(0); // skip tearing down a million objects
}

bool RunChild(const QStringList &args, TResult &r, qint64 &items)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> v = child.readAllStandardOutput().trimmed().split(' ');
    if (v.size() != 6)
        return false;
    r.ms = v[0].toDouble();
    r.peakKb = v[1].toLong();
    r.startKb = v[2].toLong();
    items = v[3].toLongLong();
    r.allocations = v[4].toLongLong();
    r.taskBytes = v[5].toLongLong();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3)
        return Child(args.at(1), args.at(2));

    const int rounds = args.size() > 1 ? args.at(1).toInt() : 3;
    QTemporaryDir dir;
    const QString appDir = dir.path() + QLatin1Char('/');
    Generate(appDir);
    const QString file = appDir + QStringLiteral("Projects.dat");
    const double mb = double(FileSize(file)) / (1024 * 1024);
    std::printf("Projects.dat: %.1f MiB\n", mb);

    TResult best[2];
    qint64 items[2] = {0, 0};
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            TResult r;
            const QStringList childArgs = side == 0 ? QStringList{QStringLiteral("floor"), file}
                                                    : QStringList{QStringLiteral("load"), appDir};
            if (!RunChild(childArgs, r, items[side])) {
                std::fprintf(stderr, "child failed\n");
                return 1;
            }
            std::printf("  round %d %-11s %8.1f ms  peak %7.1f MiB\n", round + 1,
                        side == 0 ? "floor" : "LoadProjects", r.ms, r.peakKb / 1024.0);
            if (round == 0 || r.ms < best[side].ms)
                best[side].ms = r.ms;
            best[side].peakKb = round == 0 ? r.peakKb : qMin(best[side].peakKb, r.peakKb);
            best[side].startKb = r.startKb;
            best[side].allocations = r.allocations;
            best[side].taskBytes = r.taskBytes;
        }
    }

    std::printf("\n%-13s %10s %9s %11s %16s %8s\n", "", "time ms", "MiB/s", "peak MiB",
                "above start MiB", "tasks");
    const char *names[2] = {"floor", "LoadProjects"};
    for (int side = 0; side < 2; ++side)
        std::printf("%-13s %10.1f %9.1f %11.1f %16.1f %8lld\n", names[side], best[side].ms,
                    mb / (best[side].ms / 1000), best[side].peakKb / 1024.0,
                    (best[side].peakKb - best[side].startKb) / 1024.0,
                    static_cast<long long>(items[side]));
    std::printf("\nLoadProjects / floor: time %.2fx, peak memory %.2fx (above start %.2fx)\n",
                best[1].ms / best[0].ms, double(best[1].peakKb) / best[0].peakKb,
                double(best[1].peakKb - best[1].startKb) / (best[0].peakKb - best[0].startKb));
    const double tasks = double(qMax<qint64>(1, items[1]));
    std::printf("LoadProjects: peak memory %.2fx the file; per task: %.1f bytes in the file, "
                "%.1f bytes held by the tasks, %.1f bytes of peak memory above start, "
                "%.2f allocations while loading (floor %.2f)\n",
                best[1].peakKb * 1024.0 / FileSize(file), FileSize(file) / tasks,
                best[1].taskBytes / tasks, (best[1].peakKb - best[1].startKb) * 1024.0 / tasks,
                best[1].allocations / tasks, best[0].allocations / double(qMax<qint64>(1, items[0])));
    return 0;
}
