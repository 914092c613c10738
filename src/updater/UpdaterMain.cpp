#include "updater/FUpdater.h"
#include "updater/TrustedKey.h"

#include <QApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TfrmUpdater window;
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
