#include "release_support.h"
#include "updater/UpdateInstaller.h"

#include "release/ReleaseFormat.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The install step on its own: a run stopped dead after any step leaves every program file
// whole, and the next run's recovery leaves the complete old or the complete new version.
class TestUpdateInstaller : public QObject {
    Q_OBJECT

private slots:
    void stoppedAtEveryStep_nextRunRecoversWholeVersion();
    void recoveryStoppedAtEveryStep_isFinishedByTheRunAfter();
    void recover_damagedJournal_keepsWorkFolder_data();
    void recover_damagedJournal_keepsWorkFolder();
};

namespace {

struct TStopHere {};

TReleaseManifest NewManifest()
{
    return ManifestOf(NewProgramFiles(), "2.1");
}

// Version 2.0 installed and release 2.1 downloaded into the staging folder.
bool StageRelease(const QString &appDir, TUpdateInstaller &installer, const TReleaseManifest &manifest)
{
    if (!MakeInstalledAppDir(appDir) || !installer.prepareStaging())
        return false;
    const TDirSnapshot files = NewProgramFiles();
    for (qsizetype i = 0; i < manifest.files.size(); ++i)
        if (!WriteFile(installer.stagingFile(i), files.value(manifest.files[i].path)))
            return false;
    return true;
}

} // namespace

void TestUpdateInstaller::stoppedAtEveryStep_nextRunRecoversWholeVersion()
{
    const TReleaseManifest manifest = NewManifest();
    QStringList recovered;
    bool finished = false;
    for (int stopAt = 1; stopAt <= 100 && !finished; ++stopAt) {
        QTemporaryDir temp;
        const QString appDir = temp.path() + QLatin1Char('/');
        TUpdateInstaller installer(appDir);
        QVERIFY(StageRelease(appDir, installer, manifest));
        int steps = 0;
        installer.afterStep = [&steps, stopAt] {
            if (++steps == stopAt)
                throw TStopHere();
        };
        try {
            const TUpdateInstaller::TInstallResult result = installer.install(manifest);
            // Past the last step: the install ran to its end.
            QCOMPARE(result.error, QString());
            QCOMPARE(WholeVersion(appDir), QStringLiteral("new"));
            finished = true;
        } catch (const TStopHere &) {
            QVERIFY2(WholeFilesProblem(appDir).isEmpty(),
                     qPrintable(QStringLiteral("after step %1: %2").arg(stopAt).arg(WholeFilesProblem(appDir))));
            TUpdateInstaller next(appDir);
            const bool journal = next.hasJournal();
            TUpdateInstaller::TRecovered done{};
            QCOMPARE(next.recover(&done), QString());
            const QString version = WholeVersion(appDir);
            QVERIFY2(!version.isEmpty(), qPrintable(QStringLiteral("after step %1").arg(stopAt)));
            // What recovery says it did is what the folder shows.
            QCOMPARE(done, !journal ? TUpdateInstaller::TRecovered::Nothing
                           : version == QLatin1String("new") ? TUpdateInstaller::TRecovered::Completed
                                                             : TUpdateInstaller::TRecovered::RolledBack);
            recovered << version;
        }
        QVERIFY(!QFileInfo::exists(appDir + UpdateWorkDirName));
    }
    QVERIFY(finished);
    // Stops before the commit are rolled back, later ones completed.
    QVERIFY(recovered.contains(QStringLiteral("old")));
    QVERIFY(recovered.contains(QStringLiteral("new")));
    QCOMPARE(recovered.indexOf(QStringLiteral("new")), recovered.lastIndexOf(QStringLiteral("old")) + 1);
}

void TestUpdateInstaller::recoveryStoppedAtEveryStep_isFinishedByTheRunAfter()
{
    // An install stopped halfway: the program and a new file moved in, the library kept aside.
    const TReleaseManifest manifest = NewManifest();
    bool finished = false;
    for (int stopAt = 1; stopAt <= 100 && !finished; ++stopAt) {
        QTemporaryDir temp;
        const QString appDir = temp.path() + QLatin1Char('/');
        TUpdateInstaller installer(appDir);
        QVERIFY(StageRelease(appDir, installer, manifest));
        int installSteps = 0;
        installer.afterStep = [&installSteps] {
            if (++installSteps == 5)
                throw TStopHere();
        };
        QVERIFY_THROWS_EXCEPTION(TStopHere, installer.install(manifest));

        TUpdateInstaller recovery(appDir);
        int steps = 0;
        recovery.afterStep = [&steps, stopAt] {
            if (++steps == stopAt)
                throw TStopHere();
        };
        try {
            QCOMPARE(recovery.recover(), QString());
            finished = true;
        } catch (const TStopHere &) {
            QVERIFY(WholeFilesProblem(appDir).isEmpty());
            QCOMPARE(TUpdateInstaller(appDir).recover(), QString());
        }
        QCOMPARE(WholeVersion(appDir), QStringLiteral("old"));
        QVERIFY(!QFileInfo::exists(appDir + UpdateWorkDirName));
    }
    QVERIFY(finished);
}

void TestUpdateInstaller::recover_damagedJournal_keepsWorkFolder_data()
{
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<QString>("error");

    QTest::newRow("not a journal") << QByteArray("hello\n")
                                   << QStringLiteral("the journal of an interrupted update is damaged");
    QTest::newRow("unknown state") << QByteArray("zelvo-update-journal 1\nstate halfway\n")
                                   << QStringLiteral("the journal of an interrupted update is damaged");
    QTest::newRow("a path outside the folder")
        << QByteArray("zelvo-update-journal 1\nstate installing\nfile 0 0 ../elsewhere.txt\n")
        << QStringLiteral("the journal of an interrupted update is damaged");
    QTest::newRow("a user's file")
        << QByteArray("zelvo-update-journal 1\nstate installing\nfile 0 0 Projects.dat\n")
        << QStringLiteral("the journal of an interrupted update is damaged");
}

void TestUpdateInstaller::recover_damagedJournal_keepsWorkFolder()
{
    QFETCH(QByteArray, journal);
    QFETCH(QString, error);

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    QVERIFY(MakeInstalledAppDir(appDir));
    QVERIFY(WriteFile(appDir + UpdateWorkDirName + QStringLiteral("/journal"), journal));
    QVERIFY(WriteFile(appDir + UpdateWorkDirName + QStringLiteral("/backup/0"), "a backup"));
    const TDirSnapshot before = SnapshotDir(appDir);

    QCOMPARE(TUpdateInstaller(appDir).recover(), error);
    // Nothing is guessed: the backups stay for a person to look at.
    QVERIFY(SnapshotDir(appDir) == before);
}

QTEST_MAIN(TestUpdateInstaller)
#include "tst_updateinstaller.moc"
