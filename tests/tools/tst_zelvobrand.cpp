#include "util/SettingsCipher.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
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

// A small picture in one of the formats Qt writes ("PNG", "JPG").
QByteArray Picture(const char *format)
{
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot write a %s picture", format);
    return buffer.data();
}

// A 1x1 GIF (Qt reads GIFs but does not write them).
QByteArray GifPicture()
{
    return QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");
}

QByteArray WithBanner(const QByteArray &entry)
{
    return kGoodSettings + "<%%Banner1%%>" + entry + "<%%/Banner1%%>\r\n";
}

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
    QTest::addColumn<QByteArray>("banner1"); // banner1.dat beside the file unless null
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    const QByteArray none;
    QTest::newRow("good, enciphered") << EncryptSettingsData(kGoodSettings) << none << 0
                                      << QStringLiteral("Nothing will be lost or ignored.");
    QTest::newRow("good, plain") << kGoodSettings << none << 0
                                 << QStringLiteral("ApplicationName: \"My Planner\"");
    QTest::newRow("broken, enciphered") << EncryptSettingsData(kBrokenSettings) << none << 1
                                        << QStringLiteral("BranderType (line 2) holds a line break");
    QTest::newRow("broken, plain") << kBrokenSettings << none << 1
                                   << QStringLiteral("banner1.dat beside the settings file");
    QTest::newRow("no address in banner") << kBrokenSettings << none << 1
                                          << QStringLiteral("Banner1 is not picture file name");
    QTest::newRow("unreadable") << QByteArray("\x01\x02garbage bytes that decipher to nothing")
                                << none << 1 << QStringLiteral("program would start unbranded");
    QTest::newRow("LF line ends are quoted as read")
        << QByteArray(kBrokenSettings).replace("\r\n", "\n") << none << 1
        << QStringLiteral("BranderType (line 2) holds a line break, \"Master\\r\\n\"");
    QTest::newRow("line ends note") << kGoodSettings << none << 0
                                    << QStringLiteral("Line ends are read as CR LF whatever the "
                                                      "file has");

    QTest::newRow("placeholder in another case")
        << QByteArray(kGoodSettings)
               .replace("<%%MasterNewsBaseURL%%>",
                        "<%%AffiliateURL%%>http://a/?id=%%AffiliateId%%<%%/AffiliateURL%%>"
                        "<%%AffiliateID%%>joe<%%/AffiliateID%%>\r\n<%%MasterNewsBaseURL%%>")
        << none << 1
        << QStringLiteral("AffiliateURL (line 3) holds the placeholder \"%%AffiliateId%%\", which "
                          "is replaced by AffiliateID only when written exactly "
                          "\"%%AFFILIATEID%%\": the Make Money address goes out as "
                          "\"http://a/?id=%%AffiliateId%%\".");
    QTest::newRow("welcome page with a picture file")
        << kGoodSettings + "<%%Welcome1%%><html>\r\n<img src=\"logo.png\">\r\n"
           "<img src=\"http://x/b.png\"></html><%%/Welcome1%%>"
        << none << 1
        << QStringLiteral("Welcome1 (line 6) refers to \"logo.png\", which the program does not "
                          "load (it shows the page as it is and loads nothing from files or the "
                          "web): that picture or style sheet is missing (and 1 more like it). "
                          "Pictures must be data: addresses");
    QTest::newRow("address without http://")
        << QByteArray(kGoodSettings).replace("http://127.0.0.1:8471/", "127.0.0.1:8471/") << none
        << 1
        << QStringLiteral("MasterNewsBaseURL (line 3) has the address \"127.0.0.1:8471/\", which "
                          "is not an http or https address: no news can be fetched from it.");
    QTest::newRow("link to a file")
        << kGoodSettings + "<%%Link1%%>Files^file:///C:/x.exe<%%/Link1%%>" << none << 1
        << QStringLiteral("Link1 (line 5) has the address \"file:///C:/x.exe\", which is not an "
                          "http, https or mailto address");

    QTest::newRow("GIF banner") << WithBanner("promo.gif^http://b/") << GifPicture() << 0
                                << QStringLiteral("Nothing will be lost or ignored.");
    QTest::newRow("PNG banner") << WithBanner("PROMO.PNG^^") << Picture("PNG") << 0
                                << QStringLiteral("Nothing will be lost or ignored.");
    QTest::newRow("JPEG banner named .jpg") << WithBanner("promo.jpg^^") << Picture("JPG") << 0
                                            << QStringLiteral("Nothing will be lost or ignored.");
    QTest::newRow("PNG named .jpg")
        << WithBanner("promo.jpg^^") << Picture("PNG") << 1
        << QStringLiteral("Banner1's picture banner1.dat holds a PNG picture, but its file name "
                          "\"promo.jpg\" says JPEG, so the program cannot show it and this "
                          "banner hides the banner strip. Name it for what it holds (for example "
                          "\"promo.png\"), or store a JPEG picture as banner1.dat.");
    QTest::newRow("JPEG named .gif")
        << WithBanner("promo.gif^^") << Picture("JPG") << 1
        << QStringLiteral("holds a JPEG picture, but its file name \"promo.gif\" says GIF");
    QTest::newRow("GIF named .png.gif is still a GIF")
        << WithBanner("promo.png.gif^^") << GifPicture() << 0
        << QStringLiteral("Nothing will be lost or ignored.");
    QTest::newRow("no picture at all")
        << WithBanner("promo.png^^") << QByteArray("just text") << 1
        << QStringLiteral("Banner1's picture banner1.dat cannot be shown as a PNG picture (its "
                          "contents are no picture format the program knows): this banner hides "
                          "the banner strip.");
    QTest::newRow("cut-short GIF")
        << WithBanner("promo.gif^^") << GifPicture().left(20) << 1
        << QStringLiteral("Banner1's picture banner1.dat cannot be shown as a GIF picture (it is "
                          "damaged or cut short)");
}

void TestZelvoBrand::check_exitCodes()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, banner1);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    WriteFile(path("dbsettings.dat"), content);
    if (!banner1.isNull())
        WriteFile(path("banner1.dat"), banner1);
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
