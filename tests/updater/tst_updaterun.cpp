#include "common/PhpServer.h"
#include "release_support.h"
#include "updater/FUpdater.h"

#include "release/ReleaseFormat.h"
#include "release/UpdateInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The updater's run in a temporary application directory against a real HTTP server on
// 127.0.0.1: what it installs, what it refuses, and that every refusal leaves version 2.0 and
// the user's files exactly as they were.
class TestUpdateRun : public QObject {
    Q_OBJECT

private slots:
    void init();
    void goodRelease_installsNewVersionAndKeepsUsersFiles();
    void withoutInstalledManifest_keepsUnlistedFiles();
    void replayedOlderRelease_isRefusedAfterNewerInstall();
    void serverText_isShownAsPlainText();
    void demoKey_isStatedInTheWindow();
    void refusedRelease_leavesOldVersion_data();
    void refusedRelease_leavesOldVersion();
    void cancelDuringDownload_leavesOldVersion();
    void obstacleBeforeInstalling_changesNothing();
    void installFailingMidway_putsEveryFileBack();
    void linkedFolder_isNotFollowed();
    void closeAfterFailure_startsOldProgramAgain();
    void runningProgram_isAwaitedBeforeInstalling();
    void programThatStaysOpen_changesNothing();
    void secondUpdaterAtOnce_changesNothing();
    void leftoverOfInterruptedDownload_isRemoved();
    void damagedJournal_stopsAndKeepsTheBackups();

private:
    TUpdaterOptions options(int transferTimeoutMs = 3000) const;
    QUrl baseUrl() const { return QUrl(m_server->url(QStringLiteral("liveupdate/project_zelvo/"))); }
    QString location() const { return m_serverRoot->path() + QStringLiteral("/liveupdate/project_zelvo"); }
    TUpdateOutcome run(TfrmUpdater &window, const TUpdaterOptions &options);
    void verifyOldVersionKept(const TDirSnapshot &before);

    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<QTemporaryDir> m_serverRoot;
    std::unique_ptr<TPhpServer> m_server;
    QString m_appDir;
    std::optional<TReleaseKey> m_key;
    TReleaseManifest m_manifest; // the good release 2.1
};

void TestUpdateRun::init()
{
    if (!TPhpServer::phpAvailable())
        QSKIP("php is not installed");
    m_temp = std::make_unique<QTemporaryDir>();
    m_serverRoot = std::make_unique<QTemporaryDir>();
    // The application directory is a folder of its own, so a path that escapes it would
    // land in m_temp where the test can see it.
    m_appDir = m_temp->path() + QStringLiteral("/app/");
    QVERIFY(MakeInstalledAppDir(m_appDir));
    m_key = TReleaseKey::generate();
    const TLocationOutcome published = PublishNewRelease(location(), *m_key);
    QCOMPARE(published.error, QString());
    m_manifest = published.manifest;
    QVERIFY(WriteFile(m_serverRoot->path() + QStringLiteral("/router.php"), StallingRouterScript()));
    m_server = std::make_unique<TPhpServer>(m_serverRoot->path(), m_serverRoot->path() + QStringLiteral("/router.php"));
    QVERIFY(m_server->isRunning());
}

TUpdaterOptions TestUpdateRun::options(int transferTimeoutMs) const
{
    TUpdaterOptions o;
    o.appDir = m_appDir;
    o.trustedKeyPem = m_key->publicPem();
    o.transferTimeoutMs = transferTimeoutMs;
    o.exitWaitMs = 5000;
    o.exitPollMs = 50;
    return o;
}

TUpdateOutcome TestUpdateRun::run(TfrmUpdater &window, const TUpdaterOptions &options)
{
    window.show();
    window.start(options, {baseUrl(), "2.0"});
    QSignalSpy finished(window.run(), &TUpdateRun::finished);
    if (!finished.wait(20000))
        return {TUpdateResult::Failed, QStringLiteral("the run did not finish"), false};
    return finished.at(0).at(0).value<TUpdateOutcome>();
}

void TestUpdateRun::verifyOldVersionKept(const TDirSnapshot &before)
{
    // Byte for byte the same files, and nothing else: no staging folder, backup or lock.
    const TDirSnapshot after = SnapshotDir(m_appDir);
    QCOMPARE(after.keys(), before.keys());
    QVERIFY(after == before);
    QVERIFY(!QFileInfo::exists(m_temp->path() + QStringLiteral("/evil.txt")));
}

void TestUpdateRun::goodRelease_installsNewVersionAndKeepsUsersFiles()
{
    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.message, QStringLiteral("Version 2.1 is installed."));
    QCOMPARE(outcome.result, TUpdateResult::Installed);
    QCOMPARE(CompareFiles(m_appDir, NewProgramFiles()), QString());
    QCOMPARE(CompareFiles(m_appDir, UsersFiles()), QString());
    QVERIFY(QFileInfo(m_appDir + QStringLiteral("ProjectZelvo")).isExecutable());
    QVERIFY(!QFileInfo(m_appDir + QStringLiteral("libzelvo.txt")).isExecutable());
    QVERIFY(!QFileInfo::exists(m_appDir + UpdateWorkDirName));
    QVERIFY(!QFileInfo::exists(m_appDir + UpdateLockFileName));
    // The new program was started from the application directory.
    // It was told that the update is installed, and the installed release is recorded: its
    // manifest is kept, and the file that 2.0 had and 2.1 dropped is gone.
    QTRY_COMPARE_WITH_TIMEOUT(ReadFile(m_appDir + QStringLiteral("started.txt")), QByteArray("2.1 --updated\n"), 10000);
    QCOMPARE(ReadFile(m_appDir + InstalledManifestFileName), WriteManifest(m_manifest));
    QVERIFY(!QFileInfo::exists(m_appDir + QStringLiteral("obsolete.txt")));
    QCOMPARE(WholeVersion(m_appDir), QStringLiteral("new"));
}

void TestUpdateRun::withoutInstalledManifest_keepsUnlistedFiles()
{
    // Unpacked by hand, not by the updater: no file is known to be the old release's.
    QVERIFY(QFile::remove(m_appDir + InstalledManifestFileName));

    TfrmUpdater window;
    QCOMPARE(run(window, options()).result, TUpdateResult::Installed);

    QCOMPARE(CompareFiles(m_appDir, NewProgramFiles()), QString());
    QCOMPARE(ReadFile(m_appDir + QStringLiteral("obsolete.txt")), OldProgramFiles().value(QStringLiteral("obsolete.txt")));
    QCOMPARE(ReadFile(m_appDir + InstalledManifestFileName), WriteManifest(m_manifest));
}

void TestUpdateRun::replayedOlderRelease_isRefusedAfterNewerInstall()
{
    // 2.1 and then 2.2 are installed; the program, as every old build did, passes "2.0".
    TfrmUpdater first;
    QCOMPARE(run(first, options()).result, TUpdateResult::Installed);
    QCOMPARE(PublishNewRelease(location(), *m_key, "2.2").error, QString());
    TfrmUpdater second;
    QCOMPARE(run(second, options()).message, QStringLiteral("Version 2.2 is installed."));

    // The location now serves the signed release 2.1 again and announces it as 9.
    QCOMPARE(PublishNewRelease(location(), *m_key, "2.1").error, QString());
    QVERIFY(WriteFile(location() + QLatin1Char('/') + UpdateInfoFileName, "[APPLICATION]\r\nName=ProjectZelvo\r\nVersion=9\r\n"));
    const TDirSnapshot before = SnapshotDir(m_appDir);

    TfrmUpdater replay;
    const TUpdateOutcome outcome = run(replay, options());

    QCOMPARE(outcome.result, TUpdateResult::Failed);
    QCOMPARE(outcome.message, QStringLiteral("The update offers version 2.1, which is not newer than the installed "
                                             "version 2.2. Version 2.2 is still installed."));
    verifyOldVersionKept(before);
}

void TestUpdateRun::serverText_isShownAsPlainText()
{
    QVERIFY(WriteFile(location() + QStringLiteral("/release.manifest.status"), "HTTP/1.1 503 <h1>Down</h1>"));
    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.message, QStringLiteral("The update server answered \"503 <h1>Down</h1>\" for the update's "
                                             "manifest. Version 2.0 is still installed."));
    auto *status = window.findChild<QLabel *>(QStringLiteral("lblStatus"));
    QCOMPARE(status->text(), outcome.message);
    // The characters themselves, not a heading: plain text.
    QCOMPARE(status->textFormat(), Qt::PlainText);
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lblDemoKey"))->isVisible());
}

void TestUpdateRun::demoKey_isStatedInTheWindow()
{
    TfrmUpdater window;
    window.setTrustsDemoKey(true);
    window.show();
    auto *warning = window.findChild<QLabel *>(QStringLiteral("lblDemoKey"));
    QVERIFY(warning->isVisible());
    QVERIFY(warning->text().startsWith(QStringLiteral("This updater trusts the public demo key: anyone can sign")));
}

void TestUpdateRun::refusedRelease_leavesOldVersion_data()
{
    QTest::addColumn<QString>("tamper");
    QTest::addColumn<QString>("message");

    const QString damaged = QStringLiteral("is damaged: its contents differ from the signed release.");
    const QString unsigned_ = QStringLiteral("The release is not signed by the publisher");
    const QString notNewer = QStringLiteral("which is not newer than the installed version 2.0.");
    QTest::newRow("flipped byte in the program") << "flip ProjectZelvo" << damaged;
    QTest::newRow("flipped byte in a file in a folder") << "flip plugins/extra.txt" << damaged;
    QTest::newRow("flipped byte in the manifest") << "flip release.manifest" << unsigned_;
    QTest::newRow("manifest edited after signing") << "edit manifest" << unsigned_;
    QTest::newRow("signature by another key") << "sign with another key" << unsigned_;
    QTest::newRow("damaged signature file") << "damage signature" << QStringLiteral("The release's signature file is damaged.");
    QTest::newRow("no signature") << "delete release.manifest.sig"
                                  << QStringLiteral("The update server answered \"404 Not Found\" for the update's signature.");
    QTest::newRow("no manifest") << "delete release.manifest"
                                 << QStringLiteral("The update server answered \"404 Not Found\" for the update's manifest.");
    QTest::newRow("a manifest larger than any may be") << "oversize release.manifest"
                                                       << QStringLiteral("The update's manifest is larger than any release's may be.");
    QTest::newRow("older version") << "version 1.9" << notNewer;
    QTest::newRow("equal version") << "version 2.0" << notNewer;
    QTest::newRow("equal version with a trailing zero") << "version 2.00" << notNewer;
    QTest::newRow("another product") << "product OtherPlanner"
                                     << QStringLiteral("The release is for another product (OtherPlanner), not for ProjectZelvo.");
    QTest::newRow("path with ..") << "path ../evil.txt" << QStringLiteral("the path \"../evil.txt\" holds \"..\".");
    QTest::newRow("path with .. inside a folder") << "path plugins/../../evil.txt" << QStringLiteral("holds \"..\".");
    QTest::newRow("absolute path") << "path /tmp/zelvo-evil.txt"
                                   << QStringLiteral("is absolute.");
    QTest::newRow("absolute Windows path") << "path C:/evil.txt" << QStringLiteral("is absolute.");
    QTest::newRow("backslash path") << "path ..\\evil.txt" << QStringLiteral("holds a character that is not allowed");
    QTest::newRow("a user's file") << "path Projects.dat" << QStringLiteral("names the user's file Projects.dat.");
    QTest::newRow("a user's file in other letter case") << "path HOURS.DAT" << QStringLiteral("names the user's file HOURS.DAT.");
    QTest::newRow("a banner") << "path banner7.dat" << QStringLiteral("names the user's file banner7.dat.");
    QTest::newRow("the settings in a folder") << "path plugins/dbsettings.dat" << QStringLiteral("names the user's file dbsettings.dat.");
    QTest::newRow("the updater's work folder") << "path .zelvo-update/journal" << QStringLiteral("names the updater's work files.");
    QTest::newRow("stalling server") << "stall plugins/extra.txt"
                                     << QStringLiteral("The update server stopped sending the file \"plugins/extra.txt\": nothing arrived for");
    // A byte every 200 ms never stalls; only the release's overall deadline ends it.
    QTest::newRow("dripping server") << "drip plugins/extra.txt"
                                     << QStringLiteral("The update server was too slow: the file \"plugins/extra.txt\" had not "
                                                       "arrived within the");
    QTest::newRow("file larger than announced") << "grow libzelvo.txt"
                                                << QStringLiteral("The file \"libzelvo.txt\" is larger than the update announced.");
    QTest::newRow("file shorter than announced") << "shrink libzelvo.txt"
                                                 << QStringLiteral("The file \"libzelvo.txt\" arrived incomplete");
    QTest::newRow("404 for one file") << "delete plugins/extra.txt"
                                      << QStringLiteral("The update server answered \"404 Not Found\" for the file \"plugins/extra.txt\".");
}

void TestUpdateRun::refusedRelease_leavesOldVersion()
{
    QFETCH(QString, tamper);
    QFETCH(QString, message);

    const QString verb = tamper.section(QLatin1Char(' '), 0, 0);
    const QString argument = tamper.section(QLatin1Char(' '), 1);
    const QString target = location() + QLatin1Char('/') + argument;
    TReleaseManifest manifest = m_manifest;
    if (verb == QLatin1String("flip")) {
        QVERIFY(FlipByte(target));
    } else if (verb == QLatin1String("delete")) {
        QVERIFY(QFile::remove(target));
    } else if (verb == QLatin1String("grow")) {
        QVERIFY(WriteFile(target, ReadFile(target) + QByteArray(5000, 'x')));
    } else if (verb == QLatin1String("oversize")) {
        QVERIFY(WriteFile(target, QByteArray(MaxManifestSize + 1, 'm')));
    } else if (verb == QLatin1String("shrink")) {
        QVERIFY(WriteFile(target, ReadFile(target).chopped(3)));
    } else if (verb == QLatin1String("stall")) {
        QVERIFY(WriteFile(target + QStringLiteral(".stall"), "10"));
    } else if (verb == QLatin1String("drip")) {
        QVERIFY(WriteFile(target + QStringLiteral(".drip"), "200"));
    } else if (verb == QLatin1String("edit")) {
        const QString path = location() + QStringLiteral("/release.manifest");
        QVERIFY(WriteFile(path, ReadFile(path).replace("version 2.1", "version 2.2")));
    } else if (verb == QLatin1String("damage")) {
        QVERIFY(WriteFile(location() + QStringLiteral("/release.manifest.sig"), "not a signature\n"));
    } else {
        TReleaseKey signer = *m_key;
        if (verb == QLatin1String("sign"))
            signer = TReleaseKey::generate();
        else if (verb == QLatin1String("version"))
            manifest.version = argument.toUtf8();
        else if (verb == QLatin1String("product"))
            manifest.product = argument.toUtf8();
        else if (verb == QLatin1String("path"))
            manifest.files.append({argument, 4, QByteArray(32, 'e'), false});
        else
            QFAIL("unknown tamper");
        QVERIFY(WriteSignedManifest(location(), manifest, signer));
    }
    const TDirSnapshot before = SnapshotDir(m_appDir);

    TUpdaterOptions o = options(700);
    if (verb == QLatin1String("drip")) {
        o.transferTimeoutMs = 3000; // far more than a drop takes, even on a busy machine
        o.downloadBaseMs = 5000;
    }
    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, o);

    QVERIFY2(outcome.message.contains(message), qPrintable(outcome.message));
    QVERIFY2(outcome.message.endsWith(QStringLiteral(" Version 2.0 is still installed.")), qPrintable(outcome.message));
    QCOMPARE(outcome.result, TUpdateResult::Failed);
    // The sentence is in the window, whose button now closes it.
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(), outcome.message);
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(), QStringLiteral("Close"));
    verifyOldVersionKept(before);
}

void TestUpdateRun::cancelDuringDownload_leavesOldVersion()
{
    QVERIFY(WriteFile(location() + QStringLiteral("/plugins/extra.txt.stall"), "10"));
    const TDirSnapshot before = SnapshotDir(m_appDir);
    TfrmUpdater window;
    window.show();
    window.start(options(15000), {baseUrl(), "2.0"});
    QSignalSpy finished(window.run(), &TUpdateRun::finished);
    auto *status = window.findChild<QLabel *>(QStringLiteral("lblStatus"));
    // Half of the stalling file has arrived: the download is under way.
    QTRY_VERIFY_WITH_TIMEOUT(status->text().contains(QStringLiteral("plugins/extra.txt (")), 10000);
    QVERIFY(QFileInfo::exists(m_appDir + UpdateWorkDirName));

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);

    QVERIFY(finished.wait(5000) || finished.size() == 1);
    const TUpdateOutcome outcome = finished.at(0).at(0).value<TUpdateOutcome>();
    QCOMPARE(outcome.result, TUpdateResult::Cancelled);
    QCOMPARE(status->text(), QStringLiteral("The update was cancelled. Version 2.0 is still installed."));
    verifyOldVersionKept(before);
}

void TestUpdateRun::obstacleBeforeInstalling_changesNothing()
{
    // "plugins" is a file where the release needs a folder: found before any file moves.
    QVERIFY(WriteFile(m_appDir + QStringLiteral("plugins"), "a file in the way\n"));
    const TDirSnapshot before = SnapshotDir(m_appDir);

    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.result, TUpdateResult::Failed);
    QCOMPARE(outcome.message, QStringLiteral("Version 2.1 could not be installed: \"plugins\" is a file, not a "
                                             "folder. Version 2.0 is still installed."));
    verifyOldVersionKept(before);
}

void TestUpdateRun::installFailingMidway_putsEveryFileBack()
{
    // Something else puts a file named "plugins" in the way once the program, the new
    // document and the library are in place: the last file cannot be placed, and the others
    // must go back (the new document and its folder removed).
    const TDirSnapshot before = SnapshotDir(m_appDir);
    TUpdaterOptions o = options();
    int steps = 0;
    const QString obstacle = m_appDir + QStringLiteral("plugins");
    o.afterInstallStep = [&steps, obstacle] {
        if (++steps == 7) // prepare, journal, ProjectZelvo kept and moved, docs/… moved, libzelvo.txt kept and moved
            WriteFile(obstacle, "a file in the way\n");
    };

    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, o);

    QCOMPARE(outcome.result, TUpdateResult::Failed);
    QCOMPARE(outcome.message, QStringLiteral("Version 2.1 could not be installed: \"plugins/extra.txt\" could not "
                                             "be replaced. Version 2.0 is still installed."));
    TDirSnapshot expected = before;
    expected.insert(QStringLiteral("plugins"), "a file in the way\n");
    const TDirSnapshot after = SnapshotDir(m_appDir);
    QCOMPARE(after.keys(), expected.keys());
    QVERIFY(after == expected);
}

void TestUpdateRun::linkedFolder_isNotFollowed()
{
    // A folder of the application directory that is a link leads elsewhere: the release's
    // file is not written through it.
    const QString elsewhere = m_temp->path() + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(elsewhere));
    QVERIFY(QFile::link(elsewhere, m_appDir + QStringLiteral("plugins")));
    const TDirSnapshot before = SnapshotDir(m_appDir);

    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.message, QStringLiteral("Version 2.1 could not be installed: the folder \"plugins\" is a "
                                             "link. Version 2.0 is still installed."));
    QVERIFY(QDir(elsewhere).isEmpty());
    QVERIFY(SnapshotDir(m_appDir) == before);
}

void TestUpdateRun::closeAfterFailure_startsOldProgramAgain()
{
    QVERIFY(QFile::remove(location() + QStringLiteral("/plugins/extra.txt")));
    TfrmUpdater window;
    QSignalSpy exit(&window, &TfrmUpdater::exitRequested);
    QCOMPARE(run(window, options()).result, TUpdateResult::Failed);
    QVERIFY(exit.isEmpty()); // the sentence stays until the user closes the window

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);

    QCOMPARE(exit.size(), 1);
    QCOMPARE(exit.at(0).at(0).toInt(), 1);
    // Started again, it is told that it was kept and why.
    QTRY_COMPARE_WITH_TIMEOUT(ReadFile(m_appDir + QStringLiteral("started.txt")),
                              QByteArray("2.0 --update-kept The update server answered \"404 Not Found\" for the file "
                                         "\"plugins/extra.txt\". Version 2.0 is still installed.\n"), 10000);
}

void TestUpdateRun::runningProgram_isAwaitedBeforeInstalling()
{
    // A real process whose executable is the program file; it ends after a second.
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    if (sleep.isEmpty())
        QSKIP("no sleep program");
    const QString program = m_appDir + QStringLiteral("ProjectZelvo");
    QVERIFY(QFile::remove(program));
    QVERIFY(QFile::copy(sleep, program));
    QProcess running;
    running.start(program, {QStringLiteral("1")});
    QVERIFY(running.waitForStarted());

    TfrmUpdater window;
    window.show();
    window.start(options(), {baseUrl(), "2.0"});
    QSignalSpy finished(window.run(), &TUpdateRun::finished);
    QTRY_COMPARE(window.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
                 QStringLiteral("Waiting for Project Zelvo to close…"));
    QVERIFY(finished.wait(15000));

    QCOMPARE(finished.at(0).at(0).value<TUpdateOutcome>().result, TUpdateResult::Installed);
    QCOMPARE(running.state(), QProcess::NotRunning);
    QCOMPARE(CompareFiles(m_appDir, NewProgramFiles()), QString());
}

void TestUpdateRun::programThatStaysOpen_changesNothing()
{
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    if (sleep.isEmpty())
        QSKIP("no sleep program");
    const QString program = m_appDir + QStringLiteral("ProjectZelvo");
    QVERIFY(QFile::remove(program));
    QVERIFY(QFile::copy(sleep, program));
    const TDirSnapshot before = SnapshotDir(m_appDir);
    QProcess running;
    running.start(program, {QStringLiteral("30")});
    QVERIFY(running.waitForStarted());

    TUpdaterOptions o = options();
    o.exitWaitMs = 300;
    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, o);
    running.kill();
    running.waitForFinished();

    QCOMPARE(outcome.result, TUpdateResult::Failed);
    QCOMPARE(outcome.message, QStringLiteral("Project Zelvo is still running. Close it, then check for updates "
                                             "again. Nothing was changed."));
    QVERIFY(!outcome.restartOldProgram);
    verifyOldVersionKept(before);
}

void TestUpdateRun::secondUpdaterAtOnce_changesNothing()
{
    QLockFile other(m_appDir + UpdateLockFileName);
    QVERIFY(other.tryLock());
    const TDirSnapshot before = SnapshotDir(m_appDir);

    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.result, TUpdateResult::Failed);
    QCOMPARE(outcome.message, QStringLiteral("Another update of this program is already running. Nothing was changed."));
    QVERIFY(SnapshotDir(m_appDir) == before);
}

void TestUpdateRun::leftoverOfInterruptedDownload_isRemoved()
{
    // A run killed while downloading left its staging folder and no journal.
    QVERIFY(WriteFile(m_appDir + UpdateWorkDirName + QStringLiteral("/staging/0"), "half a file"));

    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.result, TUpdateResult::Installed);
    QCOMPARE(CompareFiles(m_appDir, NewProgramFiles()), QString());
    QVERIFY(!QFileInfo::exists(m_appDir + UpdateWorkDirName));
}

void TestUpdateRun::damagedJournal_stopsAndKeepsTheBackups()
{
    QVERIFY(WriteFile(m_appDir + UpdateWorkDirName + QStringLiteral("/journal"), "not a journal\n"));
    QVERIFY(WriteFile(m_appDir + UpdateWorkDirName + QStringLiteral("/backup/0"), "an old program"));
    const TDirSnapshot before = SnapshotDir(m_appDir);

    TfrmUpdater window;
    const TUpdateOutcome outcome = run(window, options());

    QCOMPARE(outcome.result, TUpdateResult::Failed);
    QCOMPARE(outcome.message, QStringLiteral("An earlier update was interrupted and could not be put right: the "
                                             "journal of an interrupted update is damaged."));
    QVERIFY(SnapshotDir(m_appDir) == before);
}

QTEST_MAIN(TestUpdateRun)
#include "tst_updaterun.moc"
