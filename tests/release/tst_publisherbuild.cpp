#include "release/ReleaseSigning.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The publisher's configure command, taken from the README as written, run on a scratch build
// folder with a key and an address of the test's own: the build trusts that key and asks that
// address. And a build that would trust the public demo key says so, or refuses when it is
// meant for users.
class TestPublisherBuild : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readmeCommand_trustsTheKeyAndAsksTheAddress();
    void demoKey_isWarnedAboutAndRefusedForPublishing();

private:
    struct TResult {
        int exitCode = -1;
        QString output;
    };
    TResult run(const QString &command, const QProcessEnvironment &environment) const;
    static QByteArray read(const QString &path);

    QString m_readmeCommand;
};

namespace {

const QString TestAddress = QStringLiteral("http://127.0.0.1:9/zelvo-test/liveupdate/project_zelvo/");

// The configure command of the README's steps for publishers: the "cmake -S" line that sets
// ZELVO_PUBLISH, with its continuation lines.
QString ConfigureCommand(const QString &readme)
{
    const QStringList lines = readme.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].trimmed().startsWith(QLatin1String("cmake -S")))
            continue;
        QString command;
        qsizetype j = i;
        for (; j < lines.size(); ++j) {
            command += lines[j].trimmed() + QLatin1Char('\n');
            if (!lines[j].trimmed().endsWith(QLatin1Char('\\')))
                break;
        }
        if (command.contains(QLatin1String("-DZELVO_PUBLISH=ON")))
            return command;
        i = j;
    }
    return QString();
}

} // namespace

void TestPublisherBuild::initTestCase()
{
    m_readmeCommand = ConfigureCommand(QString::fromUtf8(read(QStringLiteral(SOURCE_DIR "/README.md"))));
    QVERIFY2(!m_readmeCommand.isEmpty(), "the README has no publisher's configure command");
    // The publishers' own steps give the same command.
    QCOMPARE(ConfigureCommand(QString::fromUtf8(read(QStringLiteral(SOURCE_DIR "/publisher/RELEASES.md")))),
             m_readmeCommand);
    // One command sets what the build trusts and where it asks.
    for (const char *setting : {"-DZELVO_RELEASE_PUBLIC_KEY=$HOME/keys/zelvo-public.pem",
                                "-DZELVO_UPDATE_BASE_URL=https://updates.example.com/liveupdate/project_zelvo/",
                                "-DZELVO_VERSION=", "-B build/publish"})
        QVERIFY2(m_readmeCommand.contains(QLatin1String(setting)), setting);
}

QByteArray TestPublisherBuild::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TestPublisherBuild::TResult TestPublisherBuild::run(const QString &command,
                                                    const QProcessEnvironment &environment) const
{
    QProcess shell;
    shell.setWorkingDirectory(QStringLiteral(SOURCE_DIR));
    shell.setProcessEnvironment(environment);
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.start(QStringLiteral("bash"), {QStringLiteral("-c"), command});
    if (!shell.waitForFinished(240000))
        shell.kill();
    return {shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1,
            QString::fromLocal8Bit(shell.readAll())};
}

void TestPublisherBuild::readmeCommand_trustsTheKeyAndAsksTheAddress()
{
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.path() + QStringLiteral("/keys")));
    const TReleaseKey key = TReleaseKey::generate();
    QFile publicKey(home.path() + QStringLiteral("/keys/zelvo-public.pem"));
    QVERIFY(publicKey.open(QIODevice::WriteOnly) && publicKey.write(key.publicPem()) > 0);
    publicKey.close();
    const QString build = home.path() + QStringLiteral("/build");
    QString command = m_readmeCommand;
    command.replace(QStringLiteral("build/publish"), build)
        .replace(QStringLiteral("https://updates.example.com/liveupdate/project_zelvo/"), TestAddress);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());

    const TResult configured = run(command, environment);

    QVERIFY2(configured.exitCode == 0, qPrintable(configured.output));
    QVERIFY2(!configured.output.contains(QLatin1String("DEMO KEY")), qPrintable(configured.output));
    QVERIFY2(!configured.output.contains(QLatin1String("asks the default host")), qPrintable(configured.output));
    // What the updater will trust: this key, and not the demo key.
    const QByteArray trusted = read(build + QStringLiteral("/src/updater/generated/updater/TrustedKey.h"));
    QVERIFY(trusted.contains(key.publicPem()));
    QVERIFY(trusted.contains("TrustedKeyIsDemoKey = false;"));
    // Where the program will ask: the address is compiled into its one file, as the
    // compiler will be told.
    const QByteArray commands = read(build + QStringLiteral("/compile_commands.json"));
    QVERIFY(commands.contains("-DZELVO_UPDATE_BASE_URL=\\\\\\\"" + TestAddress.toUtf8() + "\\\\\\\""));
    QVERIFY(!commands.contains("www.projectzelvo.com"));
    const QByteArray cache = read(build + QStringLiteral("/CMakeCache.txt"));
    QVERIFY(cache.contains("ZELVO_UPDATE_BASE_URL:STRING=" + TestAddress.toUtf8() + '\n'));
    QVERIFY(cache.contains("ZELVO_PUBLISH:BOOL=ON\n"));
    QVERIFY(cache.contains("ZELVO_VERSION:STRING=2.1\n"));
    // The program's version is compiled into its one file.
    QVERIFY(commands.contains("-DZELVO_VERSION=\\\\\\\"2.1\\\\\\\""));
}

void TestPublisherBuild::demoKey_isWarnedAboutAndRefusedForPublishing()
{
    QTemporaryDir scratch;
    const QString build = scratch.path() + QStringLiteral("/build");
    const QString configure = QStringLiteral("cmake -S . -B '%1' -G Ninja -DCMAKE_BUILD_TYPE=Release").arg(build);
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    // The demo's and the tests' build: it works, and says what it trusts.
    const TResult demo = run(configure, environment);
    QVERIFY2(demo.exitCode == 0, qPrintable(demo.output));
    QVERIFY2(demo.output.contains(QLatin1String("This build's updater trusts the PUBLIC DEMO KEY")), qPrintable(demo.output));
    QVERIFY(read(build + QStringLiteral("/src/updater/generated/updater/TrustedKey.h")).contains("TrustedKeyIsDemoKey = true;"));

    // A build for users with the demo key is refused.
    const TResult publish = run(configure + QStringLiteral(" -DZELVO_PUBLISH=ON"), environment);
    QCOMPARE(publish.exitCode, 1);
    QVERIFY2(publish.output.contains(QLatin1String("ZELVO_PUBLISH is ON but the updater would trust the public demo key")),
             qPrintable(publish.output));
}

QTEST_MAIN(TestPublisherBuild)
#include "tst_publisherbuild.moc"
