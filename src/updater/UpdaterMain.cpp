#include "release/ReleaseSigning.h"
#include "updater/FUpdater.h"
#include "updater/TrustedKey.h"

#include <QApplication>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

// Tests stop the updater dead after a given install step, to show that a run killed at any
// moment leaves a program that starts and that the next run puts right.
std::function<void()> KillAtStepFromEnvironment()
{
    const int killAt = qEnvironmentVariableIntValue("ZELVO_UPDATER_TEST_KILL_AT_STEP");
    if (killAt <= 0)
        return {};
    return [killAt, step = 0]() mutable {
        if (++step == killAt) {
#ifdef SIGKILL
            std::raise(SIGKILL);
#else
            std::abort();
#endif
        }
    };
}

// "Updater --trusted-key": which key this build trusts, for a publisher to check before
// shipping it (compare with "zelvo-release fingerprint"). Changes nothing.
int PrintTrustedKey()
{
    const std::optional<TReleaseKey> key = TReleaseKey::fromPem(TrustedPublicKeyPem);
    if (!key || key->isPrivate()) {
        std::fprintf(stderr, "This updater holds no valid publisher key.\n");
        return 1;
    }
    std::printf("Fingerprint: %s\n", qPrintable(key->fingerprint()));
    if (TrustedKeyIsDemoKey)
        std::printf("This is the PUBLIC DEMO KEY: anyone can sign an update that this updater installs. "
                    "Never ship this build.\n");
    std::printf("%s", TrustedPublicKeyPem.constData());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--trusted-key") == 0)
        return PrintTrustedKey();

    QApplication app(argc, argv);
    TfrmUpdater window;
    window.setTrustsDemoKey(TrustedKeyIsDemoKey);
    QObject::connect(&window, &TfrmUpdater::exitRequested, &app, &QCoreApplication::exit);

    const std::optional<TUpdaterArguments> arguments = ParseUpdaterArguments(app.arguments().mid(1));
    if (!arguments) {
        std::fprintf(stderr, "%s\n", qPrintable(UpdaterUsage()));
        window.showUsage(UpdaterUsage());
    } else {
        TUpdaterOptions options;
        options.appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
        options.trustedKeyPem = TrustedPublicKeyPem;
        options.afterInstallStep = KillAtStepFromEnvironment();
        window.start(options, *arguments);
    }
    window.show();
    return app.exec();
}
