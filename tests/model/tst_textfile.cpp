#include "common/FailingDisk.h"
#include "files_support.h"
#include "model/TextFile.h"
#include "util/FileError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using ByteList = QList<QByteArray>;

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void joinTextLines_data();
    void joinTextLines();
    void read_missingFile_hasNoLines();
    void read_directory_throwsWithPath();
    void writeTextFile_existingFile_replacedByExactBytes();
    void writeTextFile_whateverIsThere_replacedByExactBytes_data();
    void writeTextFile_whateverIsThere_replacedByExactBytes();
    void writeTextFile_failure_throwsAndKeepsOldFile_data();
    void writeTextFile_failure_throwsAndKeepsOldFile();
};

void TestTextFile::lines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<ByteList>("lines");

    QTest::newRow("empty text has no line") << QByteArray() << ByteList{};
    QTest::newRow("final line without end") << QByteArray("a") << ByteList{"a"};
    QTest::newRow("end at the very end adds no empty line") << QByteArray("a\r\n") << ByteList{"a"};
    QTest::newRow("only a line end is one empty line") << QByteArray("\r\n") << ByteList{""};
    QTest::newRow("CR LF, CR and LF all end lines")
        << QByteArray("a\r\nb\rc\nd") << ByteList{"a", "b", "c", "d"};
    QTest::newRow("empty lines in the middle are lines")
        << QByteArray("a\r\n\r\n\nb\r\n") << ByteList{"a", "", "", "b"};
    QTest::newRow("two line ends at the end give one empty line")
        << QByteArray("a\r\n\r\n") << ByteList{"a", ""};
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << ByteList{"a", "", "b"};
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\nb") << ByteList{"a", "", "b"};
    QTest::newRow("lone CR at the end") << QByteArray("a\rb\r") << ByteList{"a", "b"};
    QTest::newRow("NUL ends the text") << QByteArrayLiteral("a\r\nb\0c\r\nd") << ByteList{"a", "b"};
    QTest::newRow("NUL first gives no line") << QByteArrayLiteral("\0a\r\n") << ByteList{};
    QTest::newRow("NUL after a line end") << QByteArrayLiteral("a\r\n\0") << ByteList{"a"};
    QTest::newRow("high bytes and blanks kept")
        << QByteArray(" \xE9\xA5\xA5\t \r\n") << ByteList{" \xE9\xA5\xA5\t "};
}

// Every reader sees the same lines: the text in memory, the file read whole, and the file
// read in blocks so small that every line end and NUL falls on a block boundary somewhere.
void TestTextFile::lines()
{
    QFETCH(QByteArray, text);
    QFETCH(ByteList, lines);

    QCOMPARE(SplitTextLines(text), lines);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath(QStringLiteral("text.dat"));
    QVERIFY(WriteBytes(path, text));
    QCOMPARE(ReadTextLines(path), lines);

    for (const qsizetype block : {1, 2, 3, 5, 1 << 20}) {
        TTextLineReader reader(path, block);
        ByteList read;
        QByteArrayView line;
        while (reader.next(line))
            read.append(line.toByteArray());
        QVERIFY2(read == lines, qPrintable(QStringLiteral("block size %1").arg(block)));
    }
}

void TestTextFile::joinTextLines_data()
{
    QTest::addColumn<ByteList>("lines");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("no lines give no bytes") << ByteList{} << QByteArray();
    QTest::newRow("every line ends with CR LF") << ByteList{"a", "b"} << QByteArray("a\r\nb\r\n");
    QTest::newRow("empty lines are written")
        << ByteList{"", "x", ""} << QByteArray("\r\nx\r\n\r\n");
}

void TestTextFile::joinTextLines()
{
    QFETCH(ByteList, lines);
    QFETCH(QByteArray, text);
    QCOMPARE(JoinTextLines(lines), text);
    QCOMPARE(SplitTextLines(text), lines);
}

void TestTextFile::read_missingFile_hasNoLines()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("missing.dat"));
    QVERIFY(!ReadTextFile(path).has_value());
    QCOMPARE(ReadTextLines(path), ByteList{});
}

void TestTextFile::read_directory_throwsWithPath()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("folder.dat"));
    QVERIFY(QDir().mkdir(path));

    try {
        ReadTextLines(path);
        QFAIL("reading a directory did not fail");
    } catch (const TFileError &e) {
        QCOMPARE(e.path(), path);
        QVERIFY(!e.reason().isEmpty());
    }
    QVERIFY_THROWS_EXCEPTION(TFileError, TTextLineReader reader(path));
}

void TestTextFile::writeTextFile_existingFile_replacedByExactBytes()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Projects.dat"));
    QVERIFY(WriteBytes(path, QByteArray("an older and longer content\r\n")));

    const QByteArray bytes("new\r\n\xE9\r\n");
    WriteTextFile(path, bytes);

    QCOMPARE(ReadBytes(path), bytes);
    QCOMPARE(EntriesOf(temp.path()), QStringList{QStringLiteral("Projects.dat")});
}

enum class OldEntry { LargeFile, NamedPipe };

void TestTextFile::writeTextFile_whateverIsThere_replacedByExactBytes_data()
{
    QTest::addColumn<OldEntry>("old");
    QTest::addColumn<int>("saves");
    // A large old file stays open for a while after it was replaced; saves in a row each
    // replace the one before.
    QTest::newRow("large file, one save") << OldEntry::LargeFile << 1;
    QTest::newRow("large file, saves in a row") << OldEntry::LargeFile << 3;
    // Opening a pipe to read it waits for a writer: the save must not.
    QTest::newRow("named pipe") << OldEntry::NamedPipe << 1;
}

void TestTextFile::writeTextFile_whateverIsThere_replacedByExactBytes()
{
    QFETCH(OldEntry, old);
    QFETCH(int, saves);

    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Projects.dat"));
    switch (old) {
    case OldEntry::LargeFile:
        QVERIFY(WriteBytes(path, QByteArray(3 << 20, 'o')));
        break;
    case OldEntry::NamedPipe:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }

    for (int save = 0; save < saves; ++save) {
        const QByteArray bytes = QByteArray(2 << 20, char('a' + save)) + "\r\n";
        WriteTextFile(path, bytes);
        QCOMPARE(ReadBytes(path), bytes);
        QCOMPARE(EntriesOf(temp.path()), QStringList{QStringLiteral("Projects.dat")});
    }
}

enum class WriteFailure { ParentIsFile, TargetIsDirectory, DiskFullMidWrite };

void TestTextFile::writeTextFile_failure_throwsAndKeepsOldFile_data()
{
    QTest::addColumn<WriteFailure>("failure");
    QTest::newRow("parent is a regular file") << WriteFailure::ParentIsFile;
    QTest::newRow("target is a directory") << WriteFailure::TargetIsDirectory;
    QTest::newRow("file size limit reached mid-write") << WriteFailure::DiskFullMidWrite;
}

void TestTextFile::writeTextFile_failure_throwsAndKeepsOldFile()
{
    QFETCH(WriteFailure, failure);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QByteArray old("old content\r\n");
    QString path = temp.filePath(QStringLiteral("Projects.dat"));
    switch (failure) {
    case WriteFailure::ParentIsFile:
        QVERIFY(WriteBytes(temp.filePath(QStringLiteral("parent")), old));
        path = temp.filePath(QStringLiteral("parent/Projects.dat"));
        break;
    case WriteFailure::TargetIsDirectory:
        QVERIFY(QDir().mkdir(path));
        QVERIFY(WriteBytes(path + QStringLiteral("/inside"), old));
        break;
    case WriteFailure::DiskFullMidWrite:
        QVERIFY(WriteBytes(path, old));
        break;
    }
    const QStringList before = EntriesOf(temp.path());

    // Several blocks, so that the failure comes after part of the file was written.
    const QByteArray bytes(3 * (1 << 20) + 17, 'x');
    try {
        const TFileSizeLimit limit(64 * 1024);
        QVERIFY(limit.active());
        WriteTextFile(path, bytes);
        QFAIL("the write did not fail");
    } catch (const TFileError &e) {
        QCOMPARE(e.path(), path);
        QVERIFY(!e.reason().isEmpty());
    }

    QCOMPARE(EntriesOf(temp.path()), before); // no temporary file left behind
    switch (failure) {
    case WriteFailure::ParentIsFile:
        QCOMPARE(ReadBytes(temp.filePath(QStringLiteral("parent"))), old);
        break;
    case WriteFailure::TargetIsDirectory:
        QCOMPARE(ReadBytes(path + QStringLiteral("/inside")), old);
        break;
    case WriteFailure::DiskFullMidWrite:
        QCOMPARE(ReadBytes(path), old);
        break;
    }
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
