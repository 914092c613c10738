// "Save Changes" with a large book, in the real window, against a floor measured in the same
// run: copying the same bytes with `dd bs=1M conv=fdatasync` (dd's own figure, without the
// start of its process). While the save runs, a 5 ms timer ticks and asks the window to paint
// at 60 frames a second, as a display would; the longest gap between ticks is how long the
// window stood still. Each round also saves the project file alone (SaveProjects) beside dd
// of that file.
//
//   bench_save [rounds]        10,000 projects in 100 categories with 1,000,000 tasks and
//                              1,000,000 planned hours; best of `rounds` (default 5) for each
//                              side
//   bench_save generate <dir>  only writes that book's files into dir (to try it by hand)

#include "bench_support.h"
#include "stall_meter.h"
#include "model/SaveTransaction.h"
#include "shell/FMain.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

const QStringList kFiles{QStringLiteral("categories.dat"), QStringLiteral("Projects.dat"),
                         QStringLiteral("Hours.dat")};

void Generate(const QString &appDir)
{
    TProjects book(appDir);
    for (int c = 0; c < 100; ++c)
        book.Categories.append("Category " + QByteArray::number(c));
    FillBook(book, 10000, 100);
    THours hours(appDir);
    FillHours(hours, 1000000);
    TSaveTransaction transaction;
    AddDataFiles(transaction, book, hours);
    transaction.run();
}

// Seconds dd reports for copying the files, or a negative number when dd failed.
double Floor(const QString &appDir, const QString &copyDir, const QStringList &files = kFiles)
{
    double seconds = 0;
    for (const QString &name : files) {
        QProcess dd;
        dd.start(QStringLiteral("dd"),
                 {QStringLiteral("if=") + appDir + name, QStringLiteral("of=") + copyDir + name,
                  QStringLiteral("bs=1M"), QStringLiteral("conv=fdatasync")});
        if (!dd.waitForFinished(120000) || dd.exitCode() != 0)
            return -1;
        const QString report = QString::fromLocal8Bit(dd.readAllStandardError());
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral(", ([0-9.e-]+) s,")).match(report);
        if (!match.hasMatch())
            return -1;
        seconds += match.captured(1).toDouble();
    }
    return seconds;
}

// Processor time of every thread of this process so far, in milliseconds.
double CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "generate") == 0) {
        Generate(QString::fromLocal8Bit(argv[2]) + QLatin1Char('/'));
        return 0;
    }
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 5;

    QTemporaryDir dir;
    QTemporaryDir copies;
    const QString appDir = dir.path() + QLatin1Char('/');
    const QString copyDir = copies.path() + QLatin1Char('/');
    Generate(appDir);
    qint64 bytes = 0;
    for (const QString &name : kFiles)
        bytes += FileSize(appDir + name);
    std::printf("book: 10,000 projects, 1,000,000 tasks, 1,000,000 hours; %.1f MB in %d files "
                "(Projects.dat %.1f MB)\n",
                double(bytes) / 1e6, int(kFiles.size()),
                double(FileSize(appDir + QStringLiteral("Projects.dat"))) / 1e6);

    TfrmMain window(appDir);
    window.msgMain().setScripted(true);
    window.show();
    QApplication::processEvents();
    TStallMeter meter(window);

    double bestFloor = 1e9;
    double bestSave = 1e9;
    double bestProjectsFloor = 1e9;
    double bestProjectsSave = 1e9;
    qint64 worstStall = 0;
    int fewestPaints = INT_MAX;
    for (int round = 0; round < rounds; ++round) {
        const double floor = Floor(appDir, copyDir) * 1000;
        if (floor < 0) {
            std::fprintf(stderr, "dd failed\n");
            return 1;
        }
        window.setModified(true);
        meter.start();
        QElapsedTimer clock;
        const double cpuBefore = CpuMs();
        clock.start();
        const bool saved = window.btnSaveClick();
        const double save = double(clock.nsecsElapsed()) / 1e6;
        const double cpu = CpuMs() - cpuBefore;
        meter.stop();
        if (!saved || !window.msgMain().log().isEmpty()) {
            std::fprintf(stderr, "the save failed\n");
            return 1;
        }
        std::printf("round %d: dd %.0f ms, Save Changes %.0f ms (%.2fx, processor time of all "
                    "threads %.0f ms), longest stall %lld ms, %d paints\n",
                    round + 1, floor, save, save / floor, cpu,
                    static_cast<long long>(meter.longestGapMs()), meter.paints());
        std::fflush(stdout);
        const double projectsFloor =
            Floor(appDir, copyDir, {QStringLiteral("Projects.dat")}) * 1000;
        if (projectsFloor < 0) {
            std::fprintf(stderr, "dd failed\n");
            return 1;
        }
        const double projectsCpuBefore = CpuMs();
        clock.start();
        window.projects().SaveProjects();
        const double projectsSave = double(clock.nsecsElapsed()) / 1e6;
        std::printf("         dd of Projects.dat %.0f ms, SaveProjects %.0f ms (%.2fx, processor "
                    "time of all threads %.0f ms)\n",
                    projectsFloor, projectsSave, projectsSave / projectsFloor,
                    CpuMs() - projectsCpuBefore);
        std::fflush(stdout);
        bestProjectsFloor = qMin(bestProjectsFloor, projectsFloor);
        bestProjectsSave = qMin(bestProjectsSave, projectsSave);
        bestFloor = qMin(bestFloor, floor);
        bestSave = qMin(bestSave, save);
        worstStall = qMax(worstStall, meter.longestGapMs());
        fewestPaints = qMin(fewestPaints, meter.paints());
    }
    std::printf("best: dd %.0f ms, Save Changes %.0f ms, ratio %.2fx; longest stall over all "
                "rounds %lld ms; at least %d paints per save\n",
                bestFloor, bestSave, bestSave / bestFloor, static_cast<long long>(worstStall),
                fewestPaints);
    std::printf("best: dd of Projects.dat %.0f ms, SaveProjects %.0f ms, ratio %.2fx\n",
                bestProjectsFloor, bestProjectsSave, bestProjectsSave / bestProjectsFloor);
    return 0;
}
