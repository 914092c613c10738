#pragma once

#include "release/ReleaseManifest.h"
#include "updater/UpdateInstaller.h"
#include "updater/UpdaterArguments.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QBuffer;
class THttpFetch;
enum class TFetchResult;

struct TUpdaterOptions {
    QString appDir;             // ends in a separator
    QByteArray trustedKeyPem;   // the publisher's public key
    int transferTimeoutMs = 30000; // a download that receives nothing for this long fails
    // The whole download of a release (manifest, signature and files) may take this long,
    // plus downloadMsPer10MB for every 10 MB its manifest announces.
    qint64 downloadBaseMs = 10 * 60 * 1000;
    qint64 downloadMsPer10MB = 60 * 1000;
    int exitWaitMs = 30000;        // how long the program may take to close
    int exitPollMs = 200;
    std::function<void()> afterInstallStep; // see TUpdateInstaller::afterStep
};

enum class TUpdateResult {
    Installed,        // the new version is in place and the program was started
    InstalledNoStart, // the new version is in place but the program did not start
    Failed,           // nothing was changed
    Cancelled,        // the user stopped it; nothing was changed
};

struct TUpdateOutcome {
    TUpdateResult result = TUpdateResult::Failed;
    QString message;
    bool restartOldProgram = false; // the program had closed for the update and may start again
};

// One update: puts right what an interrupted run left, waits for the program to close,
// fetches and verifies the signed manifest, downloads every file into the staging folder
// while checking it, installs, and starts the program again.
class TUpdateRun : public QObject {
    Q_OBJECT

public:
    TUpdateRun(const TUpdaterOptions &options, const TUpdaterArguments &arguments,
               QObject *parent = nullptr);
    ~TUpdateRun() override;

    void start();
    // Stops the run while it waits or downloads; does nothing once installing has begun.
    void cancel();
    bool isFinished() const { return m_finished; }

signals:
    void statusChanged(const QString &text);
    void progressChanged(qint64 done, qint64 total);
    void finished(const TUpdateOutcome &outcome);

private:
    void waitForProgramExit();
    void fetchManifest();
    void fetchSignature();
    void checkManifest();
    void downloadNext();
    void fileFetched(TFetchResult result, const QString &detail);
    void install();
    THttpFetch *fetch(const QString &path, QIODevice &sink, qint64 maxBytes);
    qint64 downloadLimitMs(qint64 announcedBytes) const;
    QString fetchProblem(TFetchResult result, const QString &detail, const QString &what) const;
    void fail(const QString &sentence);
    void finish(TUpdateResult result, const QString &message, bool restartOldProgram);
    QByteArray installedVersion() const;
    QString stillInstalled() const;

    TUpdaterOptions m_options;
    TUpdaterArguments m_arguments;
    TUpdateInstaller m_installer;
    QLockFile m_lock;
    QNetworkAccessManager m_http;
    QTimer m_exitPoll;
    QElapsedTimer m_exitWaited; // since the program was first seen running
    QElapsedTimer m_downloading; // since the manifest was asked for
    qint64 m_downloadLimitMs = 0;
    THttpFetch *m_fetch = nullptr;
    std::unique_ptr<QBuffer> m_buffer;
    QByteArray m_manifestBytes;
    QByteArray m_signatureBytes;
    TReleaseManifest m_manifest;
    qsizetype m_fileIndex = 0;
    qint64 m_totalBytes = 0;
    qint64 m_doneBytes = 0;
    QFile m_staged;
    bool m_programClosed = false;
    bool m_ownsWork = false; // the work folder is this run's own download
    bool m_cancelled = false;
    bool m_installing = false;
    bool m_finished = false;
};

Q_DECLARE_METATYPE(TUpdateOutcome)
