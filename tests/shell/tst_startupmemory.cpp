#include "branding_support.h"
#include "common/Bombs.h"

#include "online/UpdateBaseURL.h"
#include "shell/FMain.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstdio>

// Start-up with hostile files in the application directory, each in a program of its own:
// the test runs itself as a child that opens the main window on the folder, paints it and
// reports its peak memory and the window's size. The peak is the kernel's high-water mark of
// the child's resident memory, so no sample can miss a short-lived allocation.

namespace {

const char *const kChildSwitch = "--open-window-and-report";
constexpr qint64 kPeakLimitKiB = 300 * 1024;

// The kernel's high-water mark of this process's resident memory.
qint64 PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The child: the main window on appDir, shown and painted, then the report on stdout.
int OpenWindowAndReport(int argc, char **argv, const QString &appDir)
{
    QApplication app(argc, argv);
    SetErrorReportSink([](const QString &text) {
        std::fprintf(stderr, "error report: %s\n", qPrintable(text));
    });
    // The start-up update check asks a closed port on this machine, never the publisher.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    SetUpdateBaseURL("http://127.0.0.1:" + QByteArray::number(probe.serverPort()) +
                     "/liveupdate/project_zelvo/");
    TfrmMain frm(appDir);
    frm.msgMain().setScripted(true);
    frm.show();
    if (!QTest::qWaitForWindowExposed(&frm))
        return 2;
    frm.grab(); // every child painted, the banner and the welcome page's pictures too
    const QWidget *strip = frm.findChild<QFrame *>(QStringLiteral("panBanner"));
    std::printf("peak %lld\nwindow %d %d\nminimum %d %d\nstrip %d\n", PeakResidentKiB(),
                frm.width(), frm.height(), frm.minimumSizeHint().width(),
                frm.minimumSizeHint().height(), strip->isVisible() ? strip->height() : -1);
    return 0;
}

struct TChildReport {
    qint64 peakKiB = -1;
    QSize window;
    QSize minimum;
    int strip = -1;
};

TChildReport ReadReport(const QByteArray &output)
{
    TChildReport report;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.value(0) == "peak")
            report.peakKiB = words.value(1).toLongLong();
        else if (words.value(0) == "window")
            report.window = QSize(words.value(1).toInt(), words.value(2).toInt());
        else if (words.value(0) == "minimum")
            report.minimum = QSize(words.value(1).toInt(), words.value(2).toInt());
        else if (words.value(0) == "strip")
            report.strip = words.value(1).toInt();
    }
    return report;
}

QByteArray PngOf(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

// A skin file whose length in front claims a small sheet and whose stream inflates to 512 MiB.
QByteArray ZlibBombSkin()
{
    QByteArray stored(4, '\0');
    qToBigEndian(quint32(1000), stored.data());
    return stored + DeflatedZeros(qint64(512) << 20);
}

} // namespace

class TestStartUpMemory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hostileFile_startsWithinMemoryAndFitsTheScreen_data();
    void hostileFile_startsWithinMemoryAndFitsTheScreen();
};

// file: the hostile file's name in the application directory, with its bytes; strip: the
// banner strip's height (-1: hidden).
void TestStartUpMemory::hostileFile_startsWithinMemoryAndFitsTheScreen_data()
{
    QTest::addColumn<TTagList>("tags");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("strip");

    const TTagList plain{{"ApplicationName", "P"}};
    const TTagList banner{{"ApplicationName", "P"}, {"Banner1", "tall.png^http://b/"}};
    const TTagList welcome{{"ApplicationName", "P"},
                           {"Welcome1", "<h1>Welcome</h1><img src=\"data:image/png;base64," +
                                            HugePng(20000, 20000).toBase64() +
                                            "\"><p>after</p>"}};

    QTest::newRow("nothing hostile") << plain << QString() << QByteArray() << -1;
    QTest::newRow("zlib bomb skin")
        << plain << QStringLiteral("mainskin.dat") << ZlibBombSkin() << -1;
    QTest::newRow("468x6000 banner")
        << banner << QStringLiteral("banner1.dat") << PngOf(QSize(468, 6000)) << 210;
    QTest::newRow("20000x20000 picture in the welcome page")
        << welcome << QString() << QByteArray() << -1;
}

void TestStartUpMemory::hostileFile_startsWithinMemoryAndFitsTheScreen()
{
    QFETCH(TTagList, tags);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, strip);
    QTemporaryDir dir;
    WriteSettingsFile(dir.path(), TaggedText(tags));
    if (!file.isEmpty()) {
        QFile hostile(dir.filePath(file));
        QVERIFY(hostile.open(QIODevice::WriteOnly));
        QCOMPARE(hostile.write(bytes), bytes.size());
    }

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kChildSwitch), dir.path() + QLatin1Char('/')});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const TChildReport report = ReadReport(child.readAllStandardOutput());

    qInfo("peak resident memory: %lld KiB", report.peakKiB);
    QVERIFY(report.peakKiB > 0);
    QVERIFY2(report.peakKiB < kPeakLimitKiB, qPrintable(QString::number(report.peakKiB)));
    QCOMPARE(report.strip, strip);
    // The window would fit a 1366x768 screen (title bar and task bar included); it keeps its
    // described size unless a banner strip taller than the described one needs more room.
    if (strip <= 65)
        QCOMPARE(report.window, QSize(772, 566));
    QVERIFY2(report.window.width() <= 1366 && report.window.height() <= 700,
             qPrintable(QStringLiteral("%1x%2").arg(report.window.width()).arg(report.window.height())));
    QVERIFY(report.minimum.width() <= 1366 && report.minimum.height() <= 768);
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], kChildSwitch) == 0)
        return OpenWindowAndReport(argc, argv, QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    TestStartUpMemory test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startupmemory.moc"
