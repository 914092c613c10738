#include "common/PhpServer.h"
#include "release_support.h"

#include "release/ReleaseFormat.h"
#include "updater/InterruptedInstall.h"
#include "updater/UpdateInstaller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// The built updater as the program starts it: a process of its own in the application
// directory, trusting the key built into it (the demo key). Killed at every install step and
// at random moments, it leaves whole files; the program's start-up repair and the next run
// each put them in order.
class TestUpdaterProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void goodRelease_installsAndStartsNewProgram();
    void trustedKey_isShownAndChangesNothing();
    void killedAtEveryInstallStep_nextRunCompletes();
    void killedAtRandomMoments_nextRunCompletes();

private:
    // A fresh application directory with version 2.0, the user's files and the updater.
    bool makeAppDir(const QString &appDir) const;
    // Runs the updater in appDir; killAtStep > 0 stops it dead after that install step.
    QProcess::ExitStatus runUpdater(const QString &appDir, int killAtStep, int *exitCode = nullptr) const;
    void verifyNextRunCompletes(const QString &appDir, const QString &when) const;
    void verifyProgramStartRepairs(const QString &appDir, const QString &when) const;
    QStringList arguments() const;

    QTemporaryDir m_serverRoot;
    std::unique_ptr<TPhpServer> m_server;
};

void TestUpdaterProcess::initTestCase()
{
    if (!TPhpServer::phpAvailable())
        QSKIP("php is not installed");
    const std::optional<TReleaseKey> demo = TReleaseKey::fromPem(ReadFile(QStringLiteral(DEMO_KEYS_DIR "/release-private.pem")));
    const std::optional<TReleaseKey> trusted = TReleaseKey::fromPem(ReadFile(QStringLiteral(TRUSTED_KEY_FILE)));
    QVERIFY(demo && trusted);
    if (demo->publicPem() != trusted->publicPem())
        QSKIP("the updater was built with a publisher's own key; these tests sign with the demo key");
    const TLocationOutcome published =
        PublishNewRelease(m_serverRoot.path() + QStringLiteral("/liveupdate/project_zelvo"), *demo);
    QCOMPARE(published.error, QString());
    m_server = std::make_unique<TPhpServer>(m_serverRoot.path());
    QVERIFY(m_server->isRunning());
}

QStringList TestUpdaterProcess::arguments() const
{
    return {m_server->url(QStringLiteral("liveupdate/project_zelvo/")), QStringLiteral("2.0"), QStringLiteral("A")};
}

bool TestUpdaterProcess::makeAppDir(const QString &appDir) const
{
    return MakeInstalledAppDir(appDir) && QFile::copy(QStringLiteral(UPDATER_EXE), appDir + UpdaterFileName);
}

QProcess::ExitStatus TestUpdaterProcess::runUpdater(const QString &appDir, int killAtStep, int *exitCode) const
{
    QProcess updater;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("ZELVO_UPDATER_TEST_KILL_AT_STEP"));
    if (killAtStep > 0)
        environment.insert(QStringLiteral("ZELVO_UPDATER_TEST_KILL_AT_STEP"), QString::number(killAtStep));
    updater.setProcessEnvironment(environment);
    updater.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    updater.setStandardOutputFile(QProcess::nullDevice());
    updater.start(appDir + UpdaterFileName, arguments());
    if (!updater.waitForFinished(60000)) {
        updater.kill();
        updater.waitForFinished();
    }
    if (exitCode)
        *exitCode = updater.exitCode();
    return updater.exitStatus();
}

void TestUpdaterProcess::verifyNextRunCompletes(const QString &appDir, const QString &when) const
{
    QVERIFY2(WholeFilesProblem(appDir).isEmpty(),
             qPrintable(when + QStringLiteral(": ") + WholeFilesProblem(appDir)));
    // The next start of the program puts an interrupted install right first (rolled back, or
    // completed when it had got far enough); only a rolled-back one needs the updater again,
    // since a completed one leaves 2.1 installed, which a next run would rightly refuse.
    {
        QLockFile lock(appDir + UpdateLockFileName);
        QVERIFY(lock.tryLock(0)); // the killed run's lock is stale
        QCOMPARE(TUpdateInstaller(appDir).recover(), QString());
    }
    if (WholeVersion(appDir) != QLatin1String("new")) {
        int exitCode = -1;
        QCOMPARE(runUpdater(appDir, 0, &exitCode), QProcess::NormalExit);
        QCOMPARE(exitCode, 0);
    }
    QVERIFY2(WholeVersion(appDir) == QLatin1String("new"), qPrintable(when));
    QVERIFY(!QFileInfo::exists(appDir + UpdateWorkDirName));
    QVERIFY(!QFileInfo::exists(appDir + UpdateLockFileName));
}

// The program, started after the kill, puts the files in order before it reads any: a whole
// old or new version, and a notice saying which when an install had begun.
void TestUpdaterProcess::verifyProgramStartRepairs(const QString &appDir, const QString &when) const
{
    const bool journal = QFileInfo::exists(appDir + UpdateWorkDirName + QStringLiteral("/journal"));
    const QByteArray programBefore = ReadFile(appDir + ProgramFileName);

    const TInstallRepair repair = RepairInterruptedInstall(appDir, appDir + ProgramFileName);

    QVERIFY2(!repair.unrepaired, qPrintable(when));
    QVERIFY(!QFileInfo::exists(appDir + UpdateWorkDirName + QStringLiteral("/journal")));
    const QString version = WholeVersion(appDir);
    QVERIFY2(!version.isEmpty(), qPrintable(when + QStringLiteral(": ") + WholeFilesProblem(appDir)));
    QCOMPARE(repair.programChanged, ReadFile(appDir + ProgramFileName) != programBefore);
    if (!journal)
        QCOMPARE(repair.notice, QString());
    else if (version == QLatin1String("new"))
        QCOMPARE(repair.notice, QStringLiteral("An update was interrupted after its files were in place; it has now "
                                               "been completed: version 2.1 is installed."));
    else
        QCOMPARE(repair.notice, QStringLiteral("An update was interrupted while it replaced the program's files. "
                                               "Every file was put back as it was: version 2.0 is still installed."));
}

void TestUpdaterProcess::goodRelease_installsAndStartsNewProgram()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    QVERIFY(makeAppDir(appDir));

    int exitCode = -1;
    QCOMPARE(runUpdater(appDir, 0, &exitCode), QProcess::NormalExit);

    QCOMPARE(exitCode, 0);
    QCOMPARE(WholeVersion(appDir), QStringLiteral("new"));
    QTRY_COMPARE_WITH_TIMEOUT(ReadFile(appDir + QStringLiteral("started.txt")), QByteArray("2.1 --updated\n"), 10000);
}

void TestUpdaterProcess::trustedKey_isShownAndChangesNothing()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    QVERIFY(makeAppDir(appDir));
    const TDirSnapshot before = SnapshotDir(appDir);
    QProcess updater;
    updater.start(appDir + UpdaterFileName, {QStringLiteral("--trusted-key")});
    QVERIFY(updater.waitForFinished(30000));

    QCOMPARE(updater.exitCode(), 0);
    const QString out = QString::fromUtf8(updater.readAllStandardOutput());
    const std::optional<TReleaseKey> demo = TReleaseKey::fromPem(ReadFile(QStringLiteral(DEMO_KEYS_DIR "/release-public.pem")));
    QVERIFY(out.startsWith(QStringLiteral("Fingerprint: ") + demo->fingerprint() + QLatin1Char('\n')));
    QVERIFY(out.contains(QStringLiteral("This is the PUBLIC DEMO KEY")));
    QVERIFY(out.contains(QString::fromLatin1(demo->publicPem())));
    QVERIFY(SnapshotDir(appDir) == before);
}

void TestUpdaterProcess::killedAtEveryInstallStep_nextRunCompletes()
{
    bool ranToTheEnd = false;
    int killed = 0;
    for (int step = 1; step <= 50 && !ranToTheEnd; ++step) {
        QTemporaryDir temp;
        const QString appDir = temp.path() + QLatin1Char('/');
        QVERIFY(makeAppDir(appDir));
        int exitCode = -1;
        if (runUpdater(appDir, step, &exitCode) == QProcess::NormalExit) {
            // There was no such step: the run finished by itself.
            QCOMPARE(exitCode, 0);
            QCOMPARE(WholeVersion(appDir), QStringLiteral("new"));
            ranToTheEnd = true;
            continue;
        }
        ++killed;
        const QString when = QStringLiteral("killed after step %1").arg(step);
        verifyProgramStartRepairs(appDir, when);
        verifyNextRunCompletes(appDir, when);
    }
    QVERIFY(ranToTheEnd);
    // Staging, the journal, a backup and a move for each replaced file, a move for the new
    // one, the commit and the clean-up: every one of them was a place to die.
    QVERIFY2(killed >= 9, qPrintable(QString::number(killed)));
}

void TestUpdaterProcess::killedAtRandomMoments_nextRunCompletes()
{
    // How long a whole run takes here, so that the kills spread over all of it.
    QTemporaryDir probe;
    QVERIFY(makeAppDir(probe.path() + QLatin1Char('/')));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(runUpdater(probe.path() + QLatin1Char('/'), 0), QProcess::NormalExit);
    const qint64 runMs = clock.elapsed();

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    for (int round = 0; round < 8; ++round) {
        QTemporaryDir temp;
        const QString appDir = temp.path() + QLatin1Char('/');
        QVERIFY(makeAppDir(appDir));
        QProcess updater;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        updater.setProcessEnvironment(environment);
        updater.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    updater.setStandardOutputFile(QProcess::nullDevice());
        updater.start(appDir + UpdaterFileName, arguments());
        QVERIFY(updater.waitForStarted());
        const int delayMs = static_cast<int>(random.bounded(runMs + 1));
        QTest::qSleep(delayMs);
        updater.kill();
        updater.waitForFinished();
        verifyNextRunCompletes(appDir, QStringLiteral("killed after %1 ms (seed %2)").arg(delayMs).arg(seed));
    }
}

QTEST_MAIN(TestUpdaterProcess)
#include "tst_updaterprocess.moc"
