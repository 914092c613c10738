#include "common/FailingDisk.h"
#include "files_support.h"
#include "model/SaveTransaction.h"
#include "model/UProjects.h"
#include "util/FileError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

// Saving the three data files together: every write failure fails the whole save before any
// file is replaced, with a plain message; read-only files are left alone; replaced files keep
// their permissions; a damaged file is kept beside it before the first save replaces it.

namespace {

const QString kCategories = QStringLiteral("categories.dat");
const QString kProjects = QStringLiteral("Projects.dat");
const QString kHours = QStringLiteral("Hours.dat");

const QByteArray kOldCategories = "Old\r\n";
const QByteArray kOldProjects = "Header^Old^Old^^^\r\n^False^,^old task^,^^,^^,^^\r\nEndProject\r\n";
const QByteArray kOldHours = "1/1/2020^9:00 AM^old action^\r\n";

// The book and day planner of one application directory, with new content in memory.
struct TData {
    explicit TData(const QString &appDir) : book(appDir), hours(appDir) {}
    TProjects book;
    THours hours;

    void load()
    {
        book.LoadCategories();
        book.LoadProjects();
        hours.LoadHours();
    }
    // A new category, and one project of `tasks` tasks of about 100 bytes each.
    void change(int tasks)
    {
        book.Categories.append("New");
        auto project = std::make_unique<TProject>();
        project->Name = "New";
        project->Category = "New";
        for (int t = 0; t < tasks; ++t) {
            const QByteArray description = "task " + QByteArray::number(t);
            project->Tasks.append(description,
                                  TTask(false, description,
                                                          QByteArray(70, 'n'), "1/2/2020",
                                                          "3/4/2020"));
        }
        book.append("New", std::move(project));
        hours.append(PlannerKey("2/2/2020", "10:00 AM"),
                     std::make_unique<TToDoHour>("2/2/2020", "10:00 AM", "new action"));
    }
    QList<TSaveTransaction::TSkipped> save()
    {
        TSaveTransaction transaction;
        AddDataFiles(transaction, book, hours);
        transaction.run();
        return transaction.skipped();
    }
};

void WriteOldFiles(const QString &appDir)
{
    QVERIFY(WriteBytes(appDir + kCategories, kOldCategories));
    QVERIFY(WriteBytes(appDir + kProjects, kOldProjects));
    QVERIFY(WriteBytes(appDir + kHours, kOldHours));
}

// The owner's, the group's and the others' permissions (not this user's view of them).
QFileDevice::Permissions Mode(const QString &path)
{
    return QFile::permissions(path) & QFileDevice::Permissions(0x7077);
}

} // namespace

enum class Failure {
    LastBufferedBytes,
    MidFileOfSeveralBlocks,
    DiskFull,
    FolderNotWritable,
    SecondFileIsAFolder,
};

class TestSaveTransaction : public QObject {
    Q_OBJECT

private slots:
    void failure_replacesNoFile_andSaysWhatHappened_data();
    void failure_replacesNoFile_andSaysWhatHappened();
    void readOnlyFile_isLeftUntouched_othersAreSaved();
    void unreadableFile_isLeftUntouched_othersAreSaved();
    void replacedFile_keepsItsPermissions_data();
    void replacedFile_keepsItsPermissions();
    void damagedFile_firstSaveKeepsItBeside_laterSavesLeaveTheCopy();
    void damagedFile_olderCopyIsNeverOverwritten();
    void largeBook_isWrittenInBookOrder();
};

void TestSaveTransaction::failure_replacesNoFile_andSaysWhatHappened_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("tasks");
    QTest::addColumn<QString>("message");

    // Projects.dat is the second of the three files: categories.dat was written whole by
    // then, and must not be replaced either.
    const QString tooLarge = QStringLiteral(
        "Projects.dat is larger than this disk allows for one file, so it could not be saved.");
    QTest::newRow("write fails in the last buffered bytes")
        << Failure::LastBufferedBytes << 50 << tooLarge;
    QTest::newRow("write fails after N bytes, several blocks in")
        << Failure::MidFileOfSeveralBlocks << 40000 << tooLarge;
    QTest::newRow("disk full") << Failure::DiskFull << 2000
                               << QStringLiteral("There is not enough space on the disk to save "
                                                 "Projects.dat.");
    QTest::newRow("folder cannot be written") << Failure::FolderNotWritable << 10 << QString();
    QTest::newRow("second file is a folder")
        << Failure::SecondFileIsAFolder << 10
        << QStringLiteral("Projects.dat is a folder, not a file, so it could not be saved.");
}

void TestSaveTransaction::failure_replacesNoFile_andSaysWhatHappened()
{
    QFETCH(Failure, failure);
    QFETCH(int, tasks);
    QFETCH(QString, message);

    const bool needsMount = failure == Failure::DiskFull
                         || (failure == Failure::FolderNotWritable && ::geteuid() == 0);
    TSmallFileSystem disk(1 << 20);
    QTemporaryDir temp;
    if (needsMount && !disk.mounted())
        QSKIP(qPrintable(disk.whyNot()));
    const QString appDir = needsMount ? disk.appDir() : temp.path() + QLatin1Char('/');

    WriteOldFiles(appDir);
    TData data(appDir);
    data.load();
    data.change(tasks);
    if (failure == Failure::SecondFileIsAFolder) {
        QVERIFY(QFile::remove(appDir + kProjects));
        QVERIFY(QDir().mkdir(appDir + kProjects));
    }
    std::unique_ptr<TFileSizeLimit> limit;
    switch (failure) {
    case Failure::LastBufferedBytes:
    case Failure::MidFileOfSeveralBlocks: {
        // What the new Projects.dat would be, written where nothing can fail.
        QTemporaryDir elsewhere;
        TData probe(elsewhere.path() + QLatin1Char('/'));
        probe.change(tasks);
        probe.book.SaveProjects();
        const qint64 size = QFileInfo(elsewhere.filePath(kProjects)).size();
        QVERIFY(size > 4 * 1024);
        const qint64 allowed = failure == Failure::LastBufferedBytes ? size - 10 : size / 2;
        if (failure == Failure::MidFileOfSeveralBlocks)
            QVERIFY(size > 3 * (1 << 20));
        limit = std::make_unique<TFileSizeLimit>(rlim_t(allowed));
        QVERIFY(limit->active());
        break;
    }
    case Failure::DiskFull:
        QVERIFY(disk.fillLeaving(64 * 1024));
        break;
    case Failure::FolderNotWritable:
        if (::geteuid() == 0) {
            QVERIFY(disk.makeReadOnly());
            message = QStringLiteral("The disk that holds categories.dat is read-only, so it "
                                     "could not be saved.");
        } else {
            QVERIFY(QFile::setPermissions(temp.path(), QFileDevice::ReadOwner
                                                           | QFileDevice::ExeOwner));
            message = QStringLiteral("You are not allowed to save files in the folder %1, so "
                                     "categories.dat could not be saved.")
                          .arg(QDir::toNativeSeparators(temp.path()));
        }
        break;
    case Failure::SecondFileIsAFolder:
        break;
    }
    const QStringList before = EntriesOf(appDir);

    try {
        data.save();
        QFAIL("the save did not fail");
    } catch (const TFileError &error) {
        QCOMPARE(error.message(), message);
    }
    limit.reset();
    QFile::setPermissions(temp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                           | QFileDevice::ExeOwner);

    QCOMPARE(EntriesOf(appDir), before); // no temporary file left behind
    QCOMPARE(ReadBytes(appDir + kCategories), kOldCategories);
    QCOMPARE(ReadBytes(appDir + kHours), kOldHours);
    if (failure != Failure::SecondFileIsAFolder)
        QCOMPARE(ReadBytes(appDir + kProjects), kOldProjects);
}

void TestSaveTransaction::readOnlyFile_isLeftUntouched_othersAreSaved()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    WriteOldFiles(appDir);
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(appDir + kProjects, readOnly));
    TData data(appDir);
    data.load();
    data.change(3);

    const QList<TSaveTransaction::TSkipped> skipped = data.save();

    QCOMPARE(skipped.size(), 1);
    QCOMPARE(skipped.first().path, appDir + kProjects);
    QVERIFY(skipped.first().readOnly);
    QCOMPARE(skipped.first().text,
             QStringLiteral("Projects.dat is read-only, so it was left untouched and your "
                            "changes to it are not saved."));
    QCOMPARE(ReadBytes(appDir + kProjects), kOldProjects);
    QCOMPARE(Mode(appDir + kProjects), readOnly);
    QCOMPARE(ReadBytes(appDir + kCategories), QByteArray("Old\r\nNew\r\n"));
    QVERIFY(ReadBytes(appDir + kHours).endsWith("new action^\r\n"));
}

// A file in the place of the data file that cannot be read, even by root: a folder.
void TestSaveTransaction::unreadableFile_isLeftUntouched_othersAreSaved()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    WriteOldFiles(appDir);
    QVERIFY(QFile::remove(appDir + kHours));
    QVERIFY(QDir().mkdir(appDir + kHours));
    TData data(appDir);
    data.book.LoadCategories();
    data.book.LoadProjects();
    QVERIFY_THROWS_EXCEPTION(TFileError, data.hours.LoadHours());
    QVERIFY(QDir().rmdir(appDir + kHours));
    QVERIFY(WriteBytes(appDir + kHours, kOldHours));
    data.change(3);

    const QList<TSaveTransaction::TSkipped> skipped = data.save();

    QCOMPARE(skipped.size(), 1);
    QVERIFY(!skipped.first().readOnly);
    QVERIFY(skipped.first().text.startsWith(QStringLiteral("Hours.dat was left untouched")));
    QCOMPARE(ReadBytes(appDir + kHours), kOldHours);
    QCOMPARE(ReadBytes(appDir + kCategories), QByteArray("Old\r\nNew\r\n"));
}

void TestSaveTransaction::replacedFile_keepsItsPermissions_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("owner only") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QTest::newRow("group and others may read")
        << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
               | QFileDevice::ReadOther);
    QTest::newRow("group may write")
        << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
               | QFileDevice::WriteGroup);
}

void TestSaveTransaction::replacedFile_keepsItsPermissions()
{
    QFETCH(int, mode);
    const auto permissions = QFileDevice::Permissions(mode);
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    WriteOldFiles(appDir);
    for (const QString &name : {kCategories, kProjects, kHours})
        QVERIFY(QFile::setPermissions(appDir + name, permissions));
    TData data(appDir);
    data.load();
    data.change(3);

    QVERIFY(data.save().isEmpty());

    for (const QString &name : {kCategories, kProjects, kHours}) {
        QVERIFY2(ReadBytes(appDir + name).contains("new") || ReadBytes(appDir + name).contains("New"),
                 qPrintable(name));
        QCOMPARE(Mode(appDir + name), permissions);
    }
}

void TestSaveTransaction::damagedFile_firstSaveKeepsItBeside_laterSavesLeaveTheCopy()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    WriteOldFiles(appDir);
    const QByteArray damaged = QByteArrayLiteral(
        "Header^A^W^^^\r\nEndProject\r\nHeader^B^W^^^\r\n^False^,^b\0lost^,^^,^^,^^\r\n"
        "EndProject\r\nHeader^C^W^^^\r\nEndProject\r\n");
    QVERIFY(WriteBytes(appDir + kProjects, damaged));
    TData data(appDir);
    data.load();
    QCOMPARE(data.book.count(), 1);
    QCOMPARE(data.book.ProjectsState().backupPath, appDir + QStringLiteral("Projects.dat.bak"));

    data.change(1);
    QVERIFY(data.save().isEmpty());
    QCOMPARE(ReadBytes(appDir + QStringLiteral("Projects.dat.bak")), damaged);
    QVERIFY(ReadBytes(appDir + kProjects).contains("Header^New^"));

    data.book.removeAt(0);
    QVERIFY(data.save().isEmpty());
    QCOMPARE(ReadBytes(appDir + QStringLiteral("Projects.dat.bak")), damaged);
    QCOMPARE(EntriesOf(appDir), (QStringList{kHours, kProjects, QStringLiteral("Projects.dat.bak"),
                                             kCategories}));
}

void TestSaveTransaction::damagedFile_olderCopyIsNeverOverwritten()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    WriteOldFiles(appDir);
    const QByteArray older("an older copy\r\n");
    QVERIFY(WriteBytes(appDir + QStringLiteral("Projects.dat.bak"), older));
    const QByteArray damaged("^False^,^a task outside any project^,^^,^^,^^\r\n");
    QVERIFY(WriteBytes(appDir + kProjects, damaged));
    TData data(appDir);
    data.load();

    QVERIFY(data.save().isEmpty());
    QCOMPARE(ReadBytes(appDir + QStringLiteral("Projects.dat.bak")), older);
    QCOMPARE(ReadBytes(appDir + QStringLiteral("Projects.dat.bak2")), damaged);
}

// A large book is made in pieces side by side; the file still holds the projects and tasks
// in book order, each piece whole.
void TestSaveTransaction::largeBook_isWrittenInBookOrder()
{
    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    TProjects book(appDir);
    QByteArray expected;
    for (int p = 0; p < 300; ++p) {
        auto project = std::make_unique<TProject>();
        project->Name = "P" + QByteArray::number(p);
        expected += "Header^" + project->Name + "^C^^^\r\n";
        for (int t = 0; t < p % 7 * 50; ++t) {
            const QByteArray description = "t" + QByteArray::number(t);
            const QByteArray notes = "n" + QByteArray::number(p) + (t % 97 == 0 ? "\r\nx^y" : "");
            project->Tasks.append(description,
                                  TTask(t % 2, description, notes, "", ""));
            QByteArray escaped = notes;
            escaped.replace("\r", "\xA5\xA5").replace("\n", "\xA7\xA7").replace("^", "^^");
            expected += (t % 2 ? "^True^,^" : "^False^,^") + description + "^,^" + escaped
                      + "^,^^,^^\r\n";
        }
        expected += "EndProject\r\n";
        project->Category = "C";
        const QByteArray name = project->Name;
        book.append(name, std::move(project));
    }
    book.SaveProjects();
    QCOMPARE(ReadBytes(appDir + kProjects), expected);
}

QTEST_GUILESS_MAIN(TestSaveTransaction)
#include "tst_savetransaction.moc"
