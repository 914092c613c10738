// Whole-process start-up with the large book (10,000 projects in 100 categories, 1,000,000
// tasks, one project with 100,000 of them, 1,000,000 stored hours): from starting the process
// to the main window's first paint, against a floor measured in the same run.
//
// The floor is a process that loads the same files the least any loader must (read, split
// lines, copy the fields: FloorLoadProjects, FloorLoadHours) and shows a bare window of the
// main window's size: a bare window plus the load floor. Both sides start the same executable
// (this one) in a child process of its own, which ends at its window's first paint and
// reports its peak memory; the parent times each child from start to end. The rounds
// alternate; the best time and the lowest peak of each side count.
//
//   bench_startup [rounds]        generates the book and measures both sides (default 5)
//   bench_startup window <dir>    one start-up of the main window on dir
//   bench_startup floor <dir>     one start-up of the floor on dir
//   bench_startup generate <dir>  only writes the book into dir (for profiling)

#include "bench_support.h"

#include "app/Application.h"
#include "shell/FMain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// Ends the process at the first paint of the window: the window is shown.
class TEndAtFirstPaint : public QObject
{
public:
    explicit TEndAtFirstPaint(QWidget &window) : m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == &m_window)
            QTimer::singleShot(0, [] {
                std::printf("%ld\n", PeakRssKb());
                std::fflush(stdout);
                _exit(0); // skip tearing down a million objects
            });
        return false;
    }

private:
    QWidget &m_window;
};

int Child(int argc, char **argv, const QString &mode, const QString &appDir)
{
    TApplication app(argc, argv);
    if (mode == QLatin1String("window")) {
        auto *frm = new TfrmMain(appDir); // as the program's entry does
        TEndAtFirstPaint end(*frm);
        app.installEventFilter(&end);
        frm->show();
        return app.exec();
    }
    auto *tasks = new std::deque<std::array<QByteArray, 5>>;
    auto *hours = new std::deque<std::array<QByteArray, 3>>;
    FloorLoadProjects(appDir + QStringLiteral("Projects.dat"), *tasks);
    FloorLoadHours(appDir + QStringLiteral("Hours.dat"), *hours);
    QWidget window;
    window.resize(772, 566);
    TEndAtFirstPaint end(window);
    app.installEventFilter(&end);
    window.show();
    return app.exec();
}

struct TRun {
    double ms = 0;
    long peakKb = 0;
};

bool RunChild(const QString &mode, const QString &appDir, TRun &run)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {mode, appDir});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return false;
    run.ms = double(timer.nsecsElapsed()) / 1e6;
    run.peakKb = child.readAllStandardOutput().trimmed().toLong();
    return run.peakKb > 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "generate") == 0) {
        QCoreApplication app(argc, argv);
        WriteLargeBook(QString::fromLocal8Bit(argv[2]) + QLatin1Char('/'));
        return 0;
    }
    if (argc == 3)
        return Child(argc, argv, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString appDir = dir.path() + QLatin1Char('/');
    WriteLargeBook(appDir);
    std::printf("Projects.dat %.1f MiB, Hours.dat %.1f MiB\n",
                double(FileSize(appDir + QStringLiteral("Projects.dat"))) / (1 << 20),
                double(FileSize(appDir + QStringLiteral("Hours.dat"))) / (1 << 20));

    const char *names[2] = {"floor", "window"};
    TRun best[2];
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            TRun run;
            if (!RunChild(QString::fromLatin1(names[side]), appDir, run)) {
                std::fprintf(stderr, "the %s child failed\n", names[side]);
                return 1;
            }
            std::printf("  round %d %-7s %8.1f ms  peak %7.1f MiB\n", round + 1, names[side],
                        run.ms, double(run.peakKb) / 1024);
            std::fflush(stdout);
            if (round == 0 || run.ms < best[side].ms)
                best[side].ms = run.ms;
            if (round == 0 || run.peakKb < best[side].peakKb)
                best[side].peakKb = run.peakKb;
        }
    }
    std::printf("\n%-36s %9s %10s\n", "", "time ms", "peak MiB");
    std::printf("%-36s %9.1f %10.1f\n", "floor (bare window + load floor)", best[0].ms,
                double(best[0].peakKb) / 1024);
    std::printf("%-36s %9.1f %10.1f\n", "start-up to the shown main window", best[1].ms,
                double(best[1].peakKb) / 1024);
    std::printf("\nstart-up / floor: time %.2fx, peak memory %.2fx\n", best[1].ms / best[0].ms,
                double(best[1].peakKb) / double(best[0].peakKb));
    return 0;
}
