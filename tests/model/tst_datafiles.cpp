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

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
