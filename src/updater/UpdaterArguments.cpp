#include "updater/UpdaterArguments.h"

#include "release/ReleaseVersion.h"

std::optional<TUpdaterArguments> ParseUpdaterArguments(const QStringList &words)
{
    if (words.size() != 3 || words[2] != QLatin1String("A"))
        return std::nullopt;
    QUrl baseUrl(words[0], QUrl::StrictMode);
    const QString scheme = baseUrl.scheme().toLower();
    if (!baseUrl.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        || baseUrl.host().isEmpty() || baseUrl.hasQuery() || baseUrl.hasFragment())
        return std::nullopt;
    // Release files are addressed relative to the base, which therefore names a folder.
    if (!baseUrl.path().endsWith(QLatin1Char('/')))
        baseUrl.setPath(baseUrl.path() + QLatin1Char('/'));
    const QByteArray version = words[1].toLatin1();
    if (!IsReleaseVersion(version) || QString::fromLatin1(version) != words[1])
        return std::nullopt;
    return TUpdaterArguments{baseUrl, version};
}

QString UpdaterUsage()
{
    return QStringLiteral(
        "Usage: Updater BASEURL VERSION A\n"
        "Project Zelvo starts the updater when you agree to install a new version. BASEURL is "
        "the update location (an http or https address), VERSION the installed version such "
        "as 2.0, and the last word is the letter A. Updater --trusted-key shows the publisher's "
        "key that this updater trusts. Nothing was changed.");
}
