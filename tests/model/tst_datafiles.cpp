#include "files_support.h"
#include "model/UProjects.h"
#include "util/FileError.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// What the three data files share: names matched without regard to letter case, and a file
// that could not be read is never overwritten.

namespace {

enum class DataFile { Categories, Projects, Hours };

struct TStores {
    explicit TStores(const QString &appDir) : book(appDir), hours(appDir) {}
    TProjects book;
    THours hours;

    void load(DataFile file)
    {
        switch (file) {
        case DataFile::Categories:
            book.LoadCategories();
            break;
        case DataFile::Projects:
            book.LoadProjects();
            break;
        case DataFile::Hours:
            hours.LoadHours();
            break;
        }
    }
    void save(DataFile file)
    {
        switch (file) {
        case DataFile::Categories:
            book.SaveCategories();
            break;
        case DataFile::Projects:
            book.SaveProjects();
            break;
        case DataFile::Hours:
            hours.SaveHours();
            break;
        }
    }
    TDataFileState &state(DataFile file)
    {
        switch (file) {
        case DataFile::Categories:
            return book.CategoriesState();
        case DataFile::Projects:
            return book.ProjectsState();
        case DataFile::Hours:
            break;
        }
        return hours.HoursState();
    }
    int loadedCount(DataFile file) const
    {
        switch (file) {
        case DataFile::Categories:
            return book.Categories.count();
        case DataFile::Projects:
            return book.count();
        case DataFile::Hours:
            return hours.count();
        }
        return -1;
    }
    QList<bool> loadFailed() const
    {
        return {book.CategoriesLoadFailed(), book.ProjectsLoadFailed(), hours.HoursLoadFailed()};
    }
};

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT

private slots:
    void caseVariantName_readAndSavedInPlace_data();
    void caseVariantName_readAndSavedInPlace();
    void unreadableFile_loadThrows_andSaveNeverOverwrites_data();
    void unreadableFile_loadThrows_andSaveNeverOverwrites();
    void missingFile_firstSaveCreatesTheWrittenName_data();
    void missingFile_firstSaveCreatesTheWrittenName();
    void damagedFile_loadNamesWhatWasLeftOut_data();
    void damagedFile_loadNamesWhatWasLeftOut();
    void danglingLink_isUnreadable_andNeverReplaced_data();
    void danglingLink_isUnreadable_andNeverReplaced();
};

void TestDataFiles::caseVariantName_readAndSavedInPlace_data()
{
    QTest::addColumn<DataFile>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray project("Header^P^Web^^^\r\n^True^,^a^,^^,^^,^^\r\nEndProject\r\n");
    QTest::newRow("PROJECTS.DAT") << DataFile::Projects << QStringLiteral("PROJECTS.DAT")
                                  << project;
    QTest::newRow("projects.dat") << DataFile::Projects << QStringLiteral("projects.dat")
                                  << project;
    QTest::newRow("Categories.DAT")
        << DataFile::Categories << QStringLiteral("Categories.DAT") << QByteArray("Web\r\n");
    QTest::newRow("hours.dat") << DataFile::Hours << QStringLiteral("hours.dat")
                               << QByteArray("d^h^a^\r\n");
}

void TestDataFiles::caseVariantName_readAndSavedInPlace()
{
    QFETCH(DataFile, file);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    QVERIFY(WriteBytes(appDir + name, bytes));

    TStores stores(appDir);
    stores.load(file);
    QCOMPARE(stores.loadedCount(file), 1);
    stores.save(file);

    QCOMPARE(EntriesOf(temp.path()), QStringList{name});
    QCOMPARE(ReadBytes(appDir + name), bytes);
}

void TestDataFiles::unreadableFile_loadThrows_andSaveNeverOverwrites_data()
{
    QTest::addColumn<DataFile>("file");
    QTest::addColumn<QString>("name");

    QTest::newRow("categories") << DataFile::Categories << QStringLiteral("categories.dat");
    QTest::newRow("projects") << DataFile::Projects << QStringLiteral("projects.dat");
    QTest::newRow("hours") << DataFile::Hours << QStringLiteral("Hours.dat");
}

// A directory in the file's place cannot be read, even by root. Once it is replaced by a
// file, saving would succeed on the file system, so the refusal comes from the failed load.
void TestDataFiles::unreadableFile_loadThrows_andSaveNeverOverwrites()
{
    QFETCH(DataFile, file);
    QFETCH(QString, name);

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    const QString path = appDir + name;
    QVERIFY(QDir().mkdir(path));

    TStores stores(appDir);
    try {
        stores.load(file);
        QFAIL("loading an unreadable file did not fail");
    } catch (const TFileError &e) {
        QCOMPARE(e.path(), path);
    }
    QCOMPARE(stores.loadedCount(file), 0);
    QList<bool> failed{false, false, false};
    failed[int(file)] = true;
    QCOMPARE(stores.loadFailed(), failed);

    QVERIFY(QDir().rmdir(path));
    const QByteArray user("the user's data\r\n");
    QVERIFY(WriteBytes(path, user));
    try {
        stores.save(file);
        QFAIL("saving over a file that could not be read did not fail");
    } catch (const TFileError &e) {
        QCOMPARE(e.path(), path);
        QVERIFY2(e.reason().startsWith(QStringLiteral("not written")), qPrintable(e.reason()));
        QVERIFY2(e.message().contains(QStringLiteral("could not be read")), qPrintable(e.message()));
    }
    QCOMPARE(ReadBytes(path), user);
    QCOMPARE(EntriesOf(temp.path()), QStringList{name});

    // The other files are not affected.
    for (const DataFile other : {DataFile::Categories, DataFile::Projects, DataFile::Hours})
        if (other != file)
            stores.save(other);
    QCOMPARE(EntriesOf(temp.path()).size(), 3);
}

void TestDataFiles::missingFile_firstSaveCreatesTheWrittenName_data()
{
    QTest::addColumn<DataFile>("file");
    QTest::addColumn<QString>("name");

    QTest::newRow("categories") << DataFile::Categories << QStringLiteral("categories.dat");
    QTest::newRow("projects") << DataFile::Projects << QStringLiteral("Projects.dat");
    QTest::newRow("hours") << DataFile::Hours << QStringLiteral("Hours.dat");
}

void TestDataFiles::missingFile_firstSaveCreatesTheWrittenName()
{
    QFETCH(DataFile, file);
    QFETCH(QString, name);

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    TStores stores(appDir);
    stores.load(file);
    QCOMPARE(stores.loadedCount(file), 0);
    QCOMPARE(stores.loadFailed(), (QList<bool>{false, false, false}));
    stores.save(file);
    QCOMPARE(EntriesOf(temp.path()), QStringList{name});
    QCOMPARE(ReadBytes(appDir + name), QByteArray());
}

void TestDataFiles::damagedFile_loadNamesWhatWasLeftOut_data()
{
    QTest::addColumn<DataFile>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("loaded");
    QTest::addColumn<QStringList>("drops");

    const QByteArray three = "Header^A^W^^^\r\n^False^,^a1^,^^,^^,^^\r\nEndProject\r\n"
                             "Header^B^W^^^\r\n^False^,^b1^,^^,^^,^^\r\n^True^,^b2^,^^,^^,^^\r\n"
                             "EndProject\r\n"
                             "Header^C^W^^^\r\nEndProject\r\n";
    QTest::newRow("intact book loses nothing") << DataFile::Projects << three << 3 << QStringList();

    QByteArray nul = three;
    nul.insert(nul.indexOf("b2"), '\0');
    QTest::newRow("NUL in the middle")
        << DataFile::Projects << nul << 1
        << QStringList{QStringLiteral("line 4: the project \"B\" has no \"EndProject\" line, "
                                      "so it was left out with its 2 task(s)"),
                       QStringLiteral("line 6: a NUL byte ends the text here; the %1 bytes after "
                                      "it were not read")
                           .arg(nul.size() - nul.indexOf('\0') - 1)};

    QByteArray mistyped = three;
    mistyped.replace(mistyped.indexOf("EndProject\r\nHeader^C"), 10, "EndProjcet");
    QTest::newRow("mistyped EndProject")
        << DataFile::Projects << mistyped << 2
        << QStringList{QStringLiteral("line 4: the project \"B\" has no \"EndProject\" line, "
                                      "so it was left out with its 3 task(s)")};

    QTest::newRow("stray task lines before the first project")
        << DataFile::Projects
        << QByteArray("^False^,^x^,^^,^^,^^\r\n\r\n^False^,^y^,^^,^^,^^\r\n"
                      "^False^,^z^,^^,^^,^^\r\n")
               + three
        << 3
        << QStringList{QStringLiteral("line 1: task lines outside any project were left out"),
                       QStringLiteral("lines 3-4: task lines outside any project were left out")};

    QTest::newRow("project cut off by the end of the file")
        << DataFile::Projects << three + "Header^D^W^^^\r\n^False^,^d1^,^^,^^,^^" << 3
        << QStringList{QStringLiteral("line 10: the project \"D\" has no \"EndProject\" line, "
                                      "so it was left out with its 1 task(s)")};

    QTest::newRow("tasks after EndProject join the project just closed")
        << DataFile::Projects
        << QByteArray("Header^A^W^^^\r\nEndProject\r\n^False^,^late^,^^,^^,^^\r\n") << 1
        << QStringList();

    QTest::newRow("NUL in the categories")
        << DataFile::Categories << QByteArrayLiteral("Web\r\nMa\0il\r\nNews\r\n") << 2
        << QStringList{QStringLiteral("line 2: a NUL byte ends the text here; the 10 bytes after "
                                      "it were not read")};
    QTest::newRow("NUL at the start of a line of the day planner")
        << DataFile::Hours << QByteArrayLiteral("d^h^a^\r\n\0d^h^b^\r\n") << 1
        << QStringList{QStringLiteral("line 2: a NUL byte ends the text here; the 8 bytes after "
                                      "it were not read")};
}

void TestDataFiles::damagedFile_loadNamesWhatWasLeftOut()
{
    QFETCH(DataFile, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, loaded);
    QFETCH(QStringList, drops);

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    const QString name = file == DataFile::Categories ? QStringLiteral("categories.dat")
                       : file == DataFile::Projects   ? QStringLiteral("Projects.dat")
                                                      : QStringLiteral("Hours.dat");
    QVERIFY(WriteBytes(appDir + name, bytes));

    TStores stores(appDir);
    stores.load(file);
    QCOMPARE(stores.loadedCount(file), loaded);
    const TDataFileState &state = stores.state(file);
    QCOMPARE(DescribeDrops(state, 100), drops);
    QVERIFY(!state.loadFailed);
    QCOMPARE(state.needsBackup(), !drops.isEmpty());
    QCOMPARE(state.backupPath, drops.isEmpty() ? QString() : appDir + name + QStringLiteral(".bak"));
}

void TestDataFiles::danglingLink_isUnreadable_andNeverReplaced_data()
{
    missingFile_firstSaveCreatesTheWrittenName_data();
}

// A link whose target is gone (a data folder on a disk that is not there) is not a missing
// file: the save must not put a new, empty file in its place.
void TestDataFiles::danglingLink_isUnreadable_andNeverReplaced()
{
    QFETCH(DataFile, file);
    QFETCH(QString, name);

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    const QString target = appDir + QStringLiteral("elsewhere/") + name;
    QVERIFY(QFile::link(target, appDir + name));

    TStores stores(appDir);
    try {
        stores.load(file);
        QFAIL("loading a link to nothing did not fail");
    } catch (const TFileError &e) {
        QCOMPARE(e.path(), appDir + name);
        QVERIFY2(e.reason().contains(target), qPrintable(e.reason()));
    }
    QVERIFY(stores.state(file).loadFailed);
    QVERIFY_THROWS_EXCEPTION(TFileError, stores.save(file));
    QCOMPARE(QFileInfo(appDir + name).symLinkTarget(), target);
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{name});
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
