#include "release/ReleaseLocation.h"
#include "release/ReleaseSigning.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// zelvo-release as a publisher runs it: keygen, make and verify, their messages and exit
// codes (0 done, 1 refused, 2 wrong command line, 3 a key or file could not be read or
// written).
class TestZelvoRelease : public QObject {
    Q_OBJECT

private slots:
    void init();
    void help_showsUsage();
    void wrongCommandLine_exitsWithTwo_data();
    void wrongCommandLine_exitsWithTwo();
    void keygen_writesMatchingKeysAndNeverOverwrites();
    void makeThenVerify_goodLocation();
    void verify_tamperedLocation_isRefused_data();
    void verify_tamperedLocation_isRefused();
    void make_refused_data();
    void make_refused();
    void make_newerLocation_replacedOnlyWhenAsked();
    void fingerprint_isTheSameForBothHalvesOfAKey();

private:
    struct TResult {
        int exitCode = -1;
        QString out;
        QString err;
    };
    TResult tool(const QStringList &arguments) const;
    QString path(const QString &name) const { return m_temp->path() + QLatin1Char('/') + name; }
    static bool write(const QString &path, const QByteArray &bytes);
    // A "program" of version: the version marker that the build writes into the real one.
    static QByteArray program(const QByteArray &version)
    {
        return "<zelvo-program-version>" + version + "</zelvo-program-version>\n";
    }
    static QByteArray read(const QString &path);

    std::unique_ptr<QTemporaryDir> m_temp;
};

void TestZelvoRelease::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    // A release folder and a key pair most cases use.
    QVERIFY(write(path(QStringLiteral("release/ProjectZelvo")), program("2.1")));
    QVERIFY(write(path(QStringLiteral("release/Updater")), "updater 2.1\n"));
    QVERIFY(write(path(QStringLiteral("release/docs/read me.txt")), "hello\n"));
    const TReleaseKey key = TReleaseKey::generate();
    QVERIFY(write(path(QStringLiteral("private.pem")), key.privatePem()));
    QVERIFY(write(path(QStringLiteral("public.pem")), key.publicPem()));
}

TestZelvoRelease::TResult TestZelvoRelease::tool(const QStringList &arguments) const
{
    QProcess process;
    process.setWorkingDirectory(m_temp->path());
    process.start(QStringLiteral(RELEASE_TOOL_EXE), arguments);
    if (!process.waitForFinished(30000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

bool TestZelvoRelease::write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray TestZelvoRelease::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestZelvoRelease::help_showsUsage()
{
    const TResult result = tool({QStringLiteral("--help")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.startsWith(QStringLiteral("Usage: zelvo-release COMMAND ARGUMENTS\n")));
    for (const char *command : {"keygen PRIVATE PUBLIC", "make [--replace-newer] FOLDER VERSION PRIVATE OUT",
                                "verify LOCATION PUBLIC", "fingerprint KEY", "Exit codes"})
        QVERIFY2(result.out.contains(QLatin1String(command)), command);
}

void TestZelvoRelease::wrongCommandLine_exitsWithTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"sign", "a", "b"};
    QTest::newRow("keygen with one file") << QStringList{"keygen", "a.pem"};
    QTest::newRow("make without OUT") << QStringList{"make", "release", "2.1", "private.pem"};
    QTest::newRow("verify with three") << QStringList{"verify", "a", "b", "c"};
    QTest::newRow("help with more") << QStringList{"--help", "make"};
    QTest::newRow("make --replace-newer without OUT") << QStringList{"make", "--replace-newer", "release", "2.1", "private.pem"};
    QTest::newRow("make with --replace-newer twice") << QStringList{"make", "--replace-newer", "--replace-newer", "release", "2.1", "private.pem", "out"};
    QTest::newRow("fingerprint of two files") << QStringList{"fingerprint", "a.pem", "b.pem"};
}

void TestZelvoRelease::wrongCommandLine_exitsWithTwo()
{
    QFETCH(QStringList, arguments);
    const TResult result = tool(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.err.startsWith(QStringLiteral("Usage: zelvo-release")));
    QVERIFY(result.out.isEmpty());
}

void TestZelvoRelease::keygen_writesMatchingKeysAndNeverOverwrites()
{
    const TResult made = tool({QStringLiteral("keygen"), QStringLiteral("new-private.pem"), QStringLiteral("new-public.pem")});
    QCOMPARE(made.exitCode, 0);
    const std::optional<TReleaseKey> privateKey = TReleaseKey::fromPem(read(path(QStringLiteral("new-private.pem"))));
    const std::optional<TReleaseKey> publicKey = TReleaseKey::fromPem(read(path(QStringLiteral("new-public.pem"))));
    QVERIFY(privateKey && privateKey->isPrivate());
    QVERIFY(publicKey && !publicKey->isPrivate());
    QVERIFY(publicKey->verify("x", privateKey->sign("x")));
    // Only its owner may read the private key.
    QCOMPARE(QFileInfo(path(QStringLiteral("new-private.pem"))).permissions()
                 & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther),
             QFileDevice::Permissions());

    // A second keygen onto an existing key changes nothing.
    const QByteArray before = read(path(QStringLiteral("new-private.pem")));
    const TResult again = tool({QStringLiteral("keygen"), QStringLiteral("new-private.pem"), QStringLiteral("other-public.pem")});
    QCOMPARE(again.exitCode, 3);
    QCOMPARE(again.err, QStringLiteral("zelvo-release: A key file already exists; keys are never overwritten.\n"));
    QCOMPARE(read(path(QStringLiteral("new-private.pem"))), before);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("other-public.pem"))));

    const TResult noFolder = tool({QStringLiteral("keygen"), QStringLiteral("missing/a.pem"), QStringLiteral("missing/b.pem")});
    QCOMPARE(noFolder.exitCode, 3);
    QCOMPARE(noFolder.err, QStringLiteral("zelvo-release: The folder \"missing\" does not exist; make it first "
                                          "(for example mkdir -p missing).\n"));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("missing"))));
}

void TestZelvoRelease::makeThenVerify_goodLocation()
{
    const TResult made = tool({"make", "release", "2.1", "private.pem", "location"});
    QCOMPARE(made.err, QString());
    QCOMPARE(made.exitCode, 0);
    QCOMPARE(made.out, QStringLiteral("Made and signed: ProjectZelvo 2.1, 3 files, 69 bytes.\n"));
    QCOMPARE(read(path(QStringLiteral("location/docs/read me.txt"))), QByteArray("hello\n"));
    QCOMPARE(read(path(QStringLiteral("location/mainappupdate.inf"))),
             QByteArray("[APPLICATION]\r\nName=ProjectZelvo\r\nVersion=2.1\r\n"));
    QVERIFY(read(path(QStringLiteral("location/release.manifest"))).startsWith("zelvo-release 1\nproduct ProjectZelvo\nversion 2.1\n"));

    const TResult verified = tool({"verify", "location", "public.pem"});
    QCOMPARE(verified.err, QString());
    QCOMPARE(verified.exitCode, 0);
    QCOMPARE(verified.out, QStringLiteral("Verified: ProjectZelvo 2.1, 3 files, 69 bytes.\n"));

    // A location made again over itself for a newer version verifies as that version.
    QVERIFY(write(path(QStringLiteral("release/ProjectZelvo")), program("2.2")));
    QCOMPARE(tool({"make", "release", "2.2", "private.pem", "location"}).exitCode, 0);
    QVERIFY(tool({"verify", "location", "public.pem"}).out.startsWith(QStringLiteral("Verified: ProjectZelvo 2.2,")));
}

void TestZelvoRelease::verify_tamperedLocation_isRefused_data()
{
    QTest::addColumn<QString>("tamper");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("a flipped byte") << "flip ProjectZelvo" << 1
                                    << "The file \"ProjectZelvo\" does not match its SHA-256 in the manifest.";
    QTest::newRow("a longer file") << "grow docs/read me.txt" << 1
                                   << "The file \"docs/read me.txt\" has 7 bytes; the manifest says 6.";
    QTest::newRow("a missing file") << "delete Updater" << 1 << "The file \"Updater\" is missing.";
    QTest::newRow("manifest edited after signing") << "edit release.manifest" << 1
                                                   << "The release is not signed by the publisher";
    QTest::newRow("signed by another key") << "resign" << 1 << "The release is not signed by the publisher";
    QTest::newRow("a damaged signature file") << "garble release.manifest.sig" << 1
                                              << "The release's signature file is damaged.";
    QTest::newRow("no manifest") << "delete release.manifest" << 1
                                 << "has no readable release.manifest and release.manifest.sig.";
    QTest::newRow("the announcement names another version") << "announce 2.5" << 1
                                                             << "mainappupdate.inf announces version \"2.5\"; the manifest is version 2.1.";
    QTest::newRow("checked with another public key") << "otherkey" << 1 << "The release is not signed by the publisher";
    QTest::newRow("an unreadable key") << "nokey" << 3 << "The key file \"missing.pem\" cannot be read.";
    QTest::newRow("the private key") << "privatekey" << 3
                                     << "\"private.pem\" is a private key; verify needs the public key";
}

void TestZelvoRelease::verify_tamperedLocation_isRefused()
{
    QFETCH(QString, tamper);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QCOMPARE(tool({"make", "release", "2.1", "private.pem", "location"}).exitCode, 0);
    const QString verb = tamper.section(QLatin1Char(' '), 0, 0);
    const QString file = path(QStringLiteral("location/") + tamper.section(QLatin1Char(' '), 1));
    QString publicKey = QStringLiteral("public.pem");
    if (verb == QLatin1String("flip")) {
        QByteArray bytes = read(file);
        bytes[0] = static_cast<char>(bytes[0] ^ 0x01);
        QVERIFY(write(file, bytes));
    } else if (verb == QLatin1String("grow")) {
        QVERIFY(write(file, read(file) + "!"));
    } else if (verb == QLatin1String("delete")) {
        QVERIFY(QFile::remove(file));
    } else if (verb == QLatin1String("edit")) {
        QVERIFY(write(file, read(file).replace("version 2.1", "version 2.9")));
    } else if (verb == QLatin1String("resign")) {
        const QByteArray manifest = read(path(QStringLiteral("location/release.manifest")));
        QVERIFY(write(path(QStringLiteral("location/release.manifest.sig")),
                      EncodeSignatureFile(TReleaseKey::generate().sign(manifest))));
    } else if (verb == QLatin1String("garble")) {
        QVERIFY(write(file, "garbage\n"));
    } else if (verb == QLatin1String("announce")) {
        QVERIFY(write(path(QStringLiteral("location/mainappupdate.inf")), "[APPLICATION]\r\nVersion=2.5\r\n"));
    } else if (verb == QLatin1String("otherkey")) {
        QVERIFY(write(path(QStringLiteral("other.pem")), TReleaseKey::generate().publicPem()));
        publicKey = QStringLiteral("other.pem");
    } else if (verb == QLatin1String("nokey")) {
        publicKey = QStringLiteral("missing.pem");
    } else if (verb == QLatin1String("privatekey")) {
        publicKey = QStringLiteral("private.pem");
    }

    const TResult result = tool({"verify", "location", publicKey});

    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.startsWith(QStringLiteral("zelvo-release: ")), qPrintable(result.err));
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
}

void TestZelvoRelease::make_refused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("extraFile");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("a version that is no number") << QStringList{"make", "release", "2.1.1", "private.pem", "out"} << QString() << 1
                                                 << "The version \"2.1.1\" is not a decimal number such as 2.1.";
    QTest::newRow("a version with a comma") << QStringList{"make", "release", "2,1", "private.pem", "out"} << QString() << 1
                                            << "The version \"2,1\" is not a decimal number such as 2.1.";
    QTest::newRow("a user's file in the folder") << QStringList{"make", "release", "2.1", "private.pem", "out"}
                                                 << "release/Projects.dat" << 1
                                                 << "The file \"Projects.dat\" cannot be part of a release: its path names the user's file Projects.dat.";
    QTest::newRow("a banner deep in the folder") << QStringList{"make", "release", "2.1", "private.pem", "out"}
                                                 << "release/skins/Banner2.dat" << 1
                                                 << "its path names the user's file Banner2.dat.";
    QTest::newRow("two names that differ only in case") << QStringList{"make", "release", "2.1", "private.pem", "out"}
                                                        << "release/projectzelvo" << 1
                                                        << "The folder cannot be a release: a path is named twice.";
    QTest::newRow("the output inside the folder") << QStringList{"make", "release", "2.1", "private.pem", "release/out"} << QString() << 1
                                                  << "The output folder may not lie inside the release folder, or hold it.";
    QTest::newRow("the folder inside the output") << QStringList{"make", "release", "2.1", "private.pem", "."} << QString() << 1
                                                  << "The output folder may not lie inside the release folder, or hold it.";
    QTest::newRow("an empty folder") << QStringList{"make", "empty", "2.1", "private.pem", "out"} << "empty/" << 1
                                     << "The folder holds no program ProjectZelvo (or ProjectZelvo.exe)";
    QTest::newRow("no program in the folder") << QStringList{"make", "docs", "2.1", "private.pem", "out"}
                                              << "docs/read me.txt" << 1
                                              << "The folder holds no program ProjectZelvo (or ProjectZelvo.exe): a release carries the program of the version it signs.";
    QTest::newRow("a program of another version") << QStringList{"make", "release", "2.2", "private.pem", "out"} << QString() << 1
                                                  << "The program \"ProjectZelvo\" is version 2.1, not 2.2: build it with -DZELVO_VERSION=2.2, or sign it as 2.1.";
    QTest::newRow("a program that names no version") << QStringList{"make", "plain", "2.1", "private.pem", "out"}
                                                     << "plain/ProjectZelvo" << 1
                                                     << "The program \"ProjectZelvo\" does not say which version it is: build it from this source with -DZELVO_VERSION=2.1.";
    QTest::newRow("no such folder") << QStringList{"make", "missing", "2.1", "private.pem", "out"} << QString() << 3
                                    << "The folder \"missing\" does not exist.";
    QTest::newRow("a newer version at the location") << QStringList{"make", "release", "2.1", "private.pem", "out"}
                                                     << "newer" << 1
                                                     << "The location \"out\" holds version 2.5, newer than 2.1: users would be offered the older version, and those who have 2.5 would never get it. Nothing was written. To replace it all the same, add --replace-newer.";
    QTest::newRow("the public key") << QStringList{"make", "release", "2.1", "public.pem", "out"} << QString() << 3
                                    << "\"public.pem\" is a public key; make needs the private key.";
    QTest::newRow("no key file") << QStringList{"make", "release", "2.1", "missing.pem", "out"} << QString() << 3
                                 << "The key file \"missing.pem\" cannot be read.";
    QTest::newRow("not a key") << QStringList{"make", "release", "2.1", "release/Updater", "out"} << QString() << 3
                               << "The file \"release/Updater\" holds no Ed25519 key in PEM form.";
}

void TestZelvoRelease::make_refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, extraFile);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QByteArray announcedBefore;
    if (extraFile == QLatin1String("newer")) {
        QVERIFY(write(path(QStringLiteral("out/mainappupdate.inf")), "[APPLICATION]\r\nName=ProjectZelvo\r\nVersion=2.5\r\n"));
        announcedBefore = read(path(QStringLiteral("out/mainappupdate.inf")));
    } else if (extraFile.endsWith(QLatin1Char('/')))
        QVERIFY(QDir().mkpath(path(extraFile)));
    else if (!extraFile.isEmpty())
        QVERIFY(write(path(extraFile), "user data\n"));

    const TResult result = tool(arguments);

    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("out/release.manifest"))));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("release/out"))));
    QCOMPARE(read(path(QStringLiteral("out/mainappupdate.inf"))), announcedBefore);
}

void TestZelvoRelease::make_newerLocation_replacedOnlyWhenAsked()
{
    QVERIFY(write(path(QStringLiteral("release22/ProjectZelvo")), program("2.2")));
    QCOMPARE(tool({"make", "release22", "2.2", "private.pem", "location"}).exitCode, 0);
    const QByteArray manifest22 = read(path(QStringLiteral("location/release.manifest")));

    const TResult refused = tool({"make", "release", "2.1", "private.pem", "location"});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("holds version 2.2, newer than 2.1")), qPrintable(refused.err));
    QCOMPARE(read(path(QStringLiteral("location/release.manifest"))), manifest22);
    QVERIFY(tool({"verify", "location", "public.pem"}).out.startsWith(QStringLiteral("Verified: ProjectZelvo 2.2,")));

    // The same version again is no downgrade; an explicit --replace-newer allows the older one.
    QCOMPARE(tool({"make", "release22", "2.2", "private.pem", "location"}).exitCode, 0);
    const TResult replaced = tool({"make", "--replace-newer", "release", "2.1", "private.pem", "location"});
    QCOMPARE(replaced.err, QString());
    QCOMPARE(replaced.exitCode, 0);
    QVERIFY(tool({"verify", "location", "public.pem"}).out.startsWith(QStringLiteral("Verified: ProjectZelvo 2.1,")));
}

void TestZelvoRelease::fingerprint_isTheSameForBothHalvesOfAKey()
{
    const std::optional<TReleaseKey> key = TReleaseKey::fromPem(read(path(QStringLiteral("private.pem"))));
    const QString expected = QStringLiteral("Fingerprint: ") + key->fingerprint() + QLatin1Char('\n');
    QVERIFY(expected.contains(QRegularExpression(QStringLiteral("^Fingerprint: SHA-256( [0-9a-f]{4}){16}\n$"))));
    for (const char *file : {"private.pem", "public.pem"}) {
        const TResult result = tool({QStringLiteral("fingerprint"), QLatin1String(file)});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(expected), qPrintable(result.out));
    }
    QVERIFY(!tool({"fingerprint", "public.pem"}).out.contains(QStringLiteral("private")));
    QVERIFY(tool({"fingerprint", "private.pem"}).out.contains(QStringLiteral("of the public half of the private key")));

    const TResult other = tool({"fingerprint", "release/Updater"});
    QCOMPARE(other.exitCode, 3);
    QCOMPARE(other.err, QStringLiteral("zelvo-release: The file \"release/Updater\" holds no Ed25519 key in PEM form.\n"));
}

QTEST_MAIN(TestZelvoRelease)
#include "tst_zelvorelease.moc"
