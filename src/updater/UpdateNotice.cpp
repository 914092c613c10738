#include "updater/UpdateNotice.h"

#include "updater/UpdateRun.h"

QStringList ProgramNotice(const TUpdateOutcome &outcome)
{
    switch (outcome.result) {
    case TUpdateResult::Installed:
    case TUpdateResult::InstalledNoStart:
        return {UpdatedArgument};
    case TUpdateResult::Failed:
        return {UpdateKeptArgument, outcome.message};
    case TUpdateResult::Cancelled:
        break;
    }
    return {};
}

QString AfterUpdateNotice(const QStringList &arguments, const QByteArray &appVersion)
{
    if (arguments == QStringList{UpdatedArgument})
        return QStringLiteral("The update is installed: this is version %1.").arg(QString::fromLatin1(appVersion));
    if (arguments.size() == 2 && arguments[0] == UpdateKeptArgument)
        return QStringLiteral("The update was not installed, so the version you had is kept "
                              "(version %1).\n\n%2").arg(QString::fromLatin1(appVersion), arguments[1]);
    return QString();
}
