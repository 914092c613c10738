#include "updater/InterruptedInstall.h"

#include "release/ReleaseFormat.h"
#include "updater/UpdateInstaller.h"

#include <QLockFile>

TInstallRepair RepairInterruptedInstall(const QString &appDir, const QString &programPath)
{
    TUpdateInstaller installer(appDir);
    if (!installer.hasJournal())
        return {};
    QLockFile lock(appDir + UpdateLockFileName);
    if (!lock.tryLock(0))
        return {}; // an updater runs and finishes its own install
    const QByteArray programBefore = Sha256OfFile(programPath);
    TUpdateInstaller::TRecovered done = TUpdateInstaller::TRecovered::Nothing;
    const QString problem = installer.recover(&done);
    if (!problem.isEmpty())
        return {QStringLiteral("An update of this program was interrupted, and its files could not be put "
                               "in order: %1. The program does not start on them: they are left as they are for the next "
                               "start to try again. If this repeats, install the program again.").arg(problem),
                false, true};
    const std::optional<TReleaseManifest> installed = installer.installedManifest();
    const QString version = installed ? QStringLiteral("version %1").arg(QString::fromUtf8(installed->version))
                                      : QStringLiteral("the previous version");
    TInstallRepair repair;
    repair.programChanged = Sha256OfFile(programPath) != programBefore;
    if (done == TUpdateInstaller::TRecovered::Completed)
        repair.notice = QStringLiteral("An update was interrupted after its files were in place; it has now "
                                       "been completed: %1 is installed.").arg(version);
    else if (done == TUpdateInstaller::TRecovered::RolledBack)
        repair.notice = QStringLiteral("An update was interrupted while it replaced the program's files. "
                                       "Every file was put back as it was: %1 is still installed.").arg(version);
    return repair;
}
