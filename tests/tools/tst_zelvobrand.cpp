#include "util/SettingsCipher.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct TRun {
    int exitCode = -1;
    QString out;
    QString err;
};

TRun RunTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZELVO_BRAND_EXE), arguments);
    TRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kGoodSettings =
    "<%%ApplicationName%%>My Planner<%%/ApplicationName%%>\r\n"
    "<%%BranderType%%>Master<%%/BranderType%%>\r\n"
    "<%%MasterNewsBaseURL%%>http://127.0.0.1:8471/<%%/MasterNewsBaseURL%%>\r\n"
    "<%%MasterPublID%%>1<%%/MasterPublID%%>\r\n";

// BranderType breaks on its line break; Banner1 has no "^" and no banner1.dat.
const QByteArray kBrokenSettings =
    "<%%ApplicationName%%>My Planner<%%/ApplicationName%%>\r\n"
    "<%%BranderType%%>Master\r\n<%%/BranderType%%>\r\n"
    "<%%Banner1%%>promo.gif<%%/Banner1%%>\r\n";

} // namespace

class TestZelvoBrand : public QObject {
    Q_OBJECT

private slots:
    void init();
    void help_explainsCommands();
    void commandLine_wrong_data();
    void commandLine_wrong();
    void encryptThenDecrypt_givesThePlainTextBack();
    void encrypt_refusesAnEncipheredFile();
    void decrypt_damagedFile_writesNothing_data();
    void decrypt_damagedFile_writesNothing();
    void decrypt_keepsAnExistingOutputOnFailure();
    void check_exitCodes_data();
    void check_exitCodes();
    void missingInput_isAnError_data();
    void missingInput_isAnError();

private:
    QString path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestZelvoBrand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestZelvoBrand::help_explainsCommands()
{
    const TRun run = RunTool({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    for (const char *word : {"encrypt PLAIN OUT", "decrypt IN OUT", "check FILE", "Exit status"})
        QVERIFY2(run.out.contains(QLatin1String(word)), word);
}

void TestZelvoBrand::commandLine_wrong_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("scramble"), QStringLiteral("a")};
    QTest::newRow("encrypt without OUT") << QStringList{QStringLiteral("encrypt"), QStringLiteral("a")};
    QTest::newRow("check with two files")
        << QStringList{QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("b")};
}

void TestZelvoBrand::commandLine_wrong()
{
    QFETCH(QStringList, arguments);
    const TRun run = RunTool(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QLatin1String("Usage: zelvo-brand")));
}

void TestZelvoBrand::encryptThenDecrypt_givesThePlainTextBack()
{
    WriteFile(path("plain.txt"), kGoodSettings);
    QCOMPARE(RunTool({QStringLiteral("encrypt"), path("plain.txt"), path("dbsettings.dat")}).exitCode,
             0);
    const QByteArray stored = ReadFile(path("dbsettings.dat"));
    QCOMPARE(stored.size(), kGoodSettings.size() + 20);
    QByteArray plain;
    QVERIFY(DecryptSettingsData(stored, plain));
    QCOMPARE(plain, kGoodSettings);

    QCOMPARE(RunTool({QStringLiteral("decrypt"), path("dbsettings.dat"), path("back.txt")}).exitCode,
             0);
    QCOMPARE(ReadFile(path("back.txt")), kGoodSettings);
}

void TestZelvoBrand::encrypt_refusesAnEncipheredFile()
{
    WriteFile(path("dbsettings.dat"), EncryptSettingsData(kGoodSettings));
    const TRun run = RunTool({QStringLiteral("encrypt"), path("dbsettings.dat"), path("twice.dat")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains(QLatin1String("already")));
    QVERIFY(!QFile::exists(path("twice.dat")));
}

void TestZelvoBrand::decrypt_damagedFile_writesNothing_data()
{
    QTest::addColumn<QByteArray>("stored");
    QByteArray flipped = EncryptSettingsData(kGoodSettings);
    flipped[20] = char(flipped[20] ^ 1);
    QByteArray badVerifier = EncryptSettingsData(kGoodSettings);
    badVerifier[8] = char(badVerifier[8] ^ 1);
    QTest::newRow("flipped ciphertext byte") << flipped;
    QTest::newRow("wrong verifier") << badVerifier;
    QTest::newRow("plain text") << kGoodSettings;
    QTest::newRow("too short") << QByteArray("short");
}

void TestZelvoBrand::decrypt_damagedFile_writesNothing()
{
    QFETCH(QByteArray, stored);
    WriteFile(path("dbsettings.dat"), stored);
    const TRun run = RunTool({QStringLiteral("decrypt"), path("dbsettings.dat"), path("out.txt")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains(QLatin1String("nothing was written")));
    QVERIFY(!QFile::exists(path("out.txt")));
}

void TestZelvoBrand::decrypt_keepsAnExistingOutputOnFailure()
{
    QByteArray stored = EncryptSettingsData(kGoodSettings);
    stored[stored.size() - 3] = char(stored[stored.size() - 3] ^ 1);
    WriteFile(path("dbsettings.dat"), stored);
    WriteFile(path("out.txt"), "earlier work");
    QCOMPARE(RunTool({QStringLiteral("decrypt"), path("dbsettings.dat"), path("out.txt")}).exitCode,
             1);
    QCOMPARE(ReadFile(path("out.txt")), QByteArray("earlier work"));
}

void TestZelvoBrand::check_exitCodes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("good, enciphered") << EncryptSettingsData(kGoodSettings) << 0
                                      << QStringLiteral("Nothing will be lost or ignored.");
    QTest::newRow("good, plain") << kGoodSettings << 0
                                 << QStringLiteral("ApplicationName: \"My Planner\"");
    QTest::newRow("broken, enciphered") << EncryptSettingsData(kBrokenSettings) << 1
                                        << QStringLiteral("BranderType (line 2) holds a line break");
    QTest::newRow("broken, plain") << kBrokenSettings << 1
                                   << QStringLiteral("banner1.dat beside the settings file");
    QTest::newRow("no address in banner") << kBrokenSettings << 1
                                          << QStringLiteral("Banner1 is not picture file name");
    QTest::newRow("unreadable") << QByteArray("\x01\x02garbage bytes that decipher to nothing")
                                << 1 << QStringLiteral("program would start unbranded");
}

void TestZelvoBrand::check_exitCodes()
{
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    WriteFile(path("dbsettings.dat"), content);
    const TRun run = RunTool({QStringLiteral("check"), path("dbsettings.dat")});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(says), qPrintable(run.out));
}

void TestZelvoBrand::missingInput_isAnError_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("encrypt") << QStringLiteral("encrypt");
    QTest::newRow("decrypt") << QStringLiteral("decrypt");
    QTest::newRow("check") << QStringLiteral("check");
}

void TestZelvoBrand::missingInput_isAnError()
{
    QFETCH(QString, command);
    QStringList arguments{command, path("none.txt")};
    if (command != QLatin1String("check"))
        arguments << path("out.txt");
    const TRun run = RunTool(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QLatin1String("cannot read")));
    QVERIFY(!QFile::exists(path("out.txt")));
}

QTEST_GUILESS_MAIN(TestZelvoBrand)
#include "tst_zelvobrand.moc"
