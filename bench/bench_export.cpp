// "Export All..." of the large book to CSV and to iCalendar, in the real window (offscreen),
// against a floor measured in the same run: writing the same bytes, held in memory, to a new
// file with one buffered write and fdatasync (the export, too, makes its file durable before
// it puts it in place). While the export runs, a 5 ms timer ticks on the window's thread and
// asks for a repaint at 60 frames a second; the longest gap between ticks is how long the
// window stood still.
//
//   bench_export [rounds [csv|ics]]   the large book (100 categories, 10,000 projects,
//                           1,000,000 tasks, 1,000,000 planned hours); best of `rounds`
//                           (default 5) each side, for both formats or the one named

#include "bench_support.h"
#include "export/ExportCommands.h"
#include "shell/FMain.h"
#include "stall_meter.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

QByteArray LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').mid(0, 3).join(' ')
                                          : QByteArray("?");
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Milliseconds to write bytes to a new file at path with one write, made durable; the
// processor time it took goes to *cpuMs.
double FloorMs(const QString &path, const QByteArray &bytes, double *cpuMs)
{
    QFile::remove(path);
    QElapsedTimer clock;
    const double cpuBefore = CpuMs();
    clock.start();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
        || ::fdatasync(file.handle()) != 0)
        return -1;
    file.close();
    *cpuMs = CpuMs() - cpuBefore;
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 5;

    QTemporaryDir dir;
    QTemporaryDir out;
    const QString appDir = dir.path() + QLatin1Char('/');
    WriteLargeBook(appDir);
    TfrmMain window(appDir);
    window.msgMain().setScripted(true);
    window.show();
    QApplication::processEvents();
    TStallMeter meter(window);

    for (const char *type : {"csv", "ics"}) {
        if (argc > 2 && qstrcmp(argv[2], type) != 0)
            continue;
        const QString path = out.path() + QStringLiteral("/all.") + QLatin1String(type);
        const QString floorPath = out.path() + QStringLiteral("/floor.") + QLatin1String(type);
        const TSaveFileScriptGuard answer([&path](const TSaveFileRequest &) { return path; });
        double bestExport = 1e12;
        double bestFloor = 1e12;
        qint64 worstStall = 0;
        qint64 size = 0;
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(path);
            window.msgMain().clearLog();
            const QByteArray loadBefore = LoadAverage();
            meter.start();
            QElapsedTimer clock;
            const double cpuBefore = CpuMs();
            clock.start();
            window.exportCommands().ExportAll1Click();
            const double exportMs = double(clock.nsecsElapsed()) / 1e6;
            const double cpuMs = CpuMs() - cpuBefore;
            meter.stop();
            const QByteArray bytes = ReadAll(path);
            if (bytes.isEmpty()) {
                std::fprintf(stderr, "the export failed\n");
                return 1;
            }
            size = bytes.size();
            double floorCpuMs = 0;
            const double floorMs = FloorMs(floorPath, bytes, &floorCpuMs);
            if (floorMs < 0) {
                std::fprintf(stderr, "the floor's write failed\n");
                return 1;
            }
            std::printf("%s round %d: export %.0f ms (processor time %.0f ms), floor %.0f ms "
                        "(processor time %.0f ms), ratio %.2fx, longest stall %lld ms, load "
                        "average %s -> %s\n",
                        type, round + 1, exportMs, cpuMs, floorMs, floorCpuMs, exportMs / floorMs,
                        static_cast<long long>(meter.longestGapMs()), loadBefore.constData(),
                        LoadAverage().constData());
            std::fflush(stdout);
            bestExport = qMin(bestExport, exportMs);
            bestFloor = qMin(bestFloor, floorMs);
            worstStall = qMax(worstStall, meter.longestGapMs());
            QFile::remove(floorPath);
        }
        std::printf("%s best: export %.0f ms, floor %.0f ms, ratio %.2fx; %.1f MB; longest "
                    "stall over all rounds %lld ms\n",
                    type, bestExport, bestFloor, bestExport / bestFloor, double(size) / 1e6,
                    static_cast<long long>(worstStall));
        std::fflush(stdout);
    }
    return 0;
}
