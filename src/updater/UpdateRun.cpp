#include "updater/UpdateRun.h"

#include "release/ReleaseFormat.h"
#include "release/ReleaseVersion.h"
#include "release/SignedManifest.h"
#include "updater/HttpFetch.h"
#include "updater/ProgramProcess.h"
#include "updater/UpdateNotice.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>

namespace {

constexpr qint64 MaxSignatureSize = 4096;

QString Capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString Quoted(const QString &path)
{
    return QStringLiteral("the file \"%1\"").arg(path);
}

} // namespace

TUpdateRun::TUpdateRun(const TUpdaterOptions &options, const TUpdaterArguments &arguments, QObject *parent)
    : QObject(parent), m_options(options), m_arguments(arguments), m_installer(options.appDir),
      m_lock(options.appDir + UpdateLockFileName)
{
    qRegisterMetaType<TUpdateOutcome>();
    m_installer.afterStep = options.afterInstallStep;
    m_exitPoll.setInterval(options.exitPollMs);
    connect(&m_exitPoll, &QTimer::timeout, this, &TUpdateRun::waitForProgramExit);
}

TUpdateRun::~TUpdateRun()
{
    // Closing mid-download leaves no staging folder behind.
    if (!m_finished && !m_installing) {
        delete m_fetch;
        m_fetch = nullptr;
        m_staged.close();
        if (m_ownsWork)
            m_installer.discard();
    }
}

QByteArray TUpdateRun::installedVersion() const
{
    // The program passes its own version; the updater's record of what it installed may be
    // newer (then the program passed an older one, or an old release was put back by hand).
    QByteArray version = m_arguments.runningVersion;
    if (const std::optional<TReleaseManifest> installed = m_installer.installedManifest();
        installed && CompareReleaseVersions(installed->version, version) > 0)
        version = installed->version;
    return version;
}

QString TUpdateRun::stillInstalled() const
{
    return QStringLiteral(" Version %1 is still installed.").arg(QString::fromLatin1(installedVersion()));
}

void TUpdateRun::start()
{
    if (!m_lock.tryLock(0)) {
        finish(TUpdateResult::Failed,
               QStringLiteral("Another update of this program is already running. Nothing was changed."), false);
        return;
    }
    waitForProgramExit();
}

void TUpdateRun::waitForProgramExit()
{
    if (IsProgramRunning(m_options.appDir + ProgramFileName)) {
        if (!m_exitWaited.isValid())
            m_exitWaited.start();
        if (m_exitWaited.hasExpired(m_options.exitWaitMs)) {
            m_exitPoll.stop();
            finish(TUpdateResult::Failed,
                   QStringLiteral("Project Zelvo is still running. Close it, then check for updates "
                                  "again. Nothing was changed."), false);
            return;
        }
        if (!m_exitPoll.isActive()) {
            emit statusChanged(QStringLiteral("Waiting for Project Zelvo to close…"));
            m_exitPoll.start();
        }
        return;
    }
    m_exitPoll.stop();
    m_programClosed = true;

    if (QFileInfo::exists(m_installer.workDir())) {
        emit statusChanged(QStringLiteral("Putting right an interrupted update…"));
        if (const QString problem = m_installer.recover(); !problem.isEmpty()) {
            // Which version is in place is not known: nothing more is touched.
            finish(TUpdateResult::Failed,
                   QStringLiteral("An earlier update was interrupted and could not be put right: %1.").arg(problem),
                   true);
            return;
        }
    }
    fetchManifest();
}

THttpFetch *TUpdateRun::fetch(const QString &path, QIODevice &sink, qint64 maxBytes)
{
    QUrl relative;
    relative.setPath(path, QUrl::DecodedMode);
    // Every fetch gets what is left of the release's time.
    const qint64 remainingMs = m_downloadLimitMs - m_downloading.elapsed();
    m_fetch = new THttpFetch(m_http, m_arguments.baseUrl.resolved(relative), sink, maxBytes,
                             m_options.transferTimeoutMs, remainingMs, this);
    return m_fetch;
}

qint64 TUpdateRun::downloadLimitMs(qint64 announcedBytes) const
{
    constexpr qint64 tenMB = 10 * 1000 * 1000;
    // In two parts, so that no size a manifest may announce overflows.
    return m_options.downloadBaseMs + announcedBytes / tenMB * m_options.downloadMsPer10MB +
           announcedBytes % tenMB * m_options.downloadMsPer10MB / tenMB;
}

QString TUpdateRun::fetchProblem(TFetchResult result, const QString &detail, const QString &what) const
{
    switch (result) {
    case TFetchResult::Ok:
        break;
    case TFetchResult::HttpError:
        return QStringLiteral("The update server answered \"%1\" for %2.").arg(detail, what);
    case TFetchResult::NetworkError:
        return QStringLiteral("%1 could not be downloaded: %2.").arg(Capitalised(what), detail);
    case TFetchResult::Stalled:
        return QStringLiteral("The update server stopped sending %1: nothing arrived for %2 seconds.")
            .arg(what, QLocale().toString(m_options.transferTimeoutMs / 1000.0, 'g', 3));
    case TFetchResult::TooSlow:
        return QStringLiteral("The update server was too slow: %1 had not arrived within the "
                              "%2 minutes allowed for this download.")
            .arg(what, QLocale().toString(m_downloadLimitMs / 60000.0, 'g', 3));
    case TFetchResult::TooLarge:
        // A release file has its size in the signed manifest; the manifest and signature
        // have fixed limits.
        return m_manifest.files.isEmpty()
                   ? QStringLiteral("%1 is larger than any release's may be.").arg(Capitalised(what))
                   : QStringLiteral("%1 is larger than the update announced.").arg(Capitalised(what));
    case TFetchResult::WriteFailed:
        return QStringLiteral("%1 could not be written into the program's folder.").arg(Capitalised(what));
    case TFetchResult::Aborted:
        return QStringLiteral("The update was cancelled.");
    }
    return QString();
}

void TUpdateRun::fetchManifest()
{
    emit statusChanged(QStringLiteral("Looking for the new version at %1…")
                           .arg(m_arguments.baseUrl.toDisplayString()));
    m_downloading.start();
    m_downloadLimitMs = downloadLimitMs(0);
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->open(QIODevice::WriteOnly);
    connect(fetch(ManifestFileName, *m_buffer, MaxManifestSize), &THttpFetch::finished, this,
            [this](TFetchResult result, const QString &detail) {
                m_fetch->deleteLater();
                m_fetch = nullptr;
                if (result != TFetchResult::Ok) {
                    fail(fetchProblem(result, detail, QStringLiteral("the update's manifest")));
                    return;
                }
                m_manifestBytes = m_buffer->data();
                fetchSignature();
            });
}

void TUpdateRun::fetchSignature()
{
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->open(QIODevice::WriteOnly);
    connect(fetch(SignatureFileName, *m_buffer, MaxSignatureSize), &THttpFetch::finished, this,
            [this](TFetchResult result, const QString &detail) {
                m_fetch->deleteLater();
                m_fetch = nullptr;
                if (result != TFetchResult::Ok) {
                    fail(fetchProblem(result, detail, QStringLiteral("the update's signature")));
                    return;
                }
                m_signatureBytes = m_buffer->data();
                checkManifest();
            });
}

void TUpdateRun::checkManifest()
{
    const std::optional<TReleaseKey> trusted = TReleaseKey::fromPem(m_options.trustedKeyPem);
    if (!trusted || trusted->isPrivate()) {
        fail(QStringLiteral("This updater holds no valid publisher key, so it cannot check updates."));
        return;
    }
    const TManifestCheck check = CheckSignedManifest(m_manifestBytes, m_signatureBytes, *trusted);
    if (!check.error.isEmpty()) {
        fail(check.error);
        return;
    }
    // No downgrade and no replay of an older signed release: the floor is the newer of the
    // program's version and the release the updater installed last.
    if (const QByteArray installed = installedVersion(); CompareReleaseVersions(check.manifest.version, installed) <= 0) {
        fail(QStringLiteral("The update offers version %1, which is not newer than the installed version %2.")
                 .arg(QString::fromUtf8(check.manifest.version), QString::fromLatin1(installed)));
        return;
    }
    m_manifest = check.manifest;
    for (const TReleaseFile &file : m_manifest.files)
        m_totalBytes += file.size;
    m_downloadLimitMs = downloadLimitMs(m_totalBytes);
    m_ownsWork = true;
    if (!m_installer.prepareStaging()) {
        fail(QStringLiteral("The staging folder could not be made in the program's folder."));
        return;
    }
    downloadNext();
}

void TUpdateRun::downloadNext()
{
    if (m_fileIndex == m_manifest.files.size()) {
        install();
        return;
    }
    const TReleaseFile &file = m_manifest.files[m_fileIndex];
    m_staged.setFileName(m_installer.stagingFile(m_fileIndex));
    if (!m_staged.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(fetchProblem(TFetchResult::WriteFailed, QString(), Quoted(file.path)));
        return;
    }
    const QString version = QString::fromUtf8(m_manifest.version);
    const QLocale locale;
    THttpFetch *download = fetch(file.path, m_staged, file.size);
    connect(download, &THttpFetch::progressed, this, [this, version, locale, path = file.path](qint64 received) {
        const qint64 done = m_doneBytes + received;
        emit statusChanged(QStringLiteral("Downloading version %1: %2 (%3 of %4)")
                               .arg(version, path, locale.formattedDataSize(done),
                                    locale.formattedDataSize(m_totalBytes)));
        emit progressChanged(done, m_totalBytes);
    });
    connect(download, &THttpFetch::finished, this, &TUpdateRun::fileFetched);
    emit statusChanged(QStringLiteral("Downloading version %1: %2").arg(version, file.path));
    emit progressChanged(m_doneBytes, m_totalBytes);
}

void TUpdateRun::fileFetched(TFetchResult result, const QString &detail)
{
    const TReleaseFile &file = m_manifest.files[m_fileIndex];
    const qint64 received = m_fetch->received();
    const QByteArray sha256 = m_fetch->sha256();
    m_fetch->deleteLater();
    m_fetch = nullptr;
    const bool written = m_staged.flush();
    m_staged.close();
    if (result != TFetchResult::Ok) {
        fail(fetchProblem(result, detail, Quoted(file.path)));
        return;
    }
    if (!written) {
        fail(fetchProblem(TFetchResult::WriteFailed, QString(), Quoted(file.path)));
        return;
    }
    if (received != file.size) {
        fail(QStringLiteral("The file \"%1\" arrived incomplete: %2 of %3 bytes.")
                 .arg(file.path).arg(received).arg(file.size));
        return;
    }
    if (sha256 != file.sha256) {
        fail(QStringLiteral("The file \"%1\" is damaged: its contents differ from the signed release.")
                 .arg(file.path));
        return;
    }
    m_doneBytes += file.size;
    ++m_fileIndex;
    downloadNext();
}

void TUpdateRun::install()
{
    const QString version = QString::fromUtf8(m_manifest.version);
    m_installing = true;
    emit statusChanged(QStringLiteral("Installing version %1…").arg(version));
    if (const TUpdateInstaller::TInstallResult installed = m_installer.install(m_manifest);
        !installed.error.isEmpty()) {
        finish(TUpdateResult::Failed,
               QStringLiteral("Version %1 could not be installed: %2.").arg(version, installed.error)
                   + (installed.restored ? stillInstalled() : QString()),
               installed.restored);
        return;
    }
    if (!StartProgram(m_options.appDir, {UpdatedArgument})) {
        finish(TUpdateResult::InstalledNoStart,
               QStringLiteral("Version %1 is installed, but Project Zelvo could not be started. "
                              "Start it from its folder.").arg(version), false);
        return;
    }
    finish(TUpdateResult::Installed, QStringLiteral("Version %1 is installed.").arg(version), false);
}

void TUpdateRun::cancel()
{
    if (m_finished || m_installing)
        return;
    m_cancelled = true;
    m_exitPoll.stop();
    if (m_fetch)
        m_fetch->abort(); // its finished() ends the run
    else
        fail(QString());
}

void TUpdateRun::fail(const QString &sentence)
{
    if (m_ownsWork)
        m_installer.discard();
    if (m_cancelled) {
        finish(TUpdateResult::Cancelled,
               QStringLiteral("The update was cancelled.")
                   + (m_programClosed ? stillInstalled() : QStringLiteral(" Nothing was changed.")),
               m_programClosed);
        return;
    }
    finish(TUpdateResult::Failed, sentence + stillInstalled(), true);
}

void TUpdateRun::finish(TUpdateResult result, const QString &message, bool restartOldProgram)
{
    if (m_finished)
        return;
    m_finished = true;
    m_lock.unlock();
    emit statusChanged(message);
    emit finished({result, message, restartOldProgram});
}
