#pragma once

#include "online/HttpExchange.h"

#include <QByteArray>
#include <QString>

class QNetworkAccessManager;
class QWidget;
class TMessageBox;

// The updater program in the application directory.
#ifdef Q_OS_WIN
inline const QString kUpdaterFileName = QStringLiteral("Updater.exe");
#else
inline const QString kUpdaterFileName = QStringLiteral("Updater");
#endif

// The publisher's update information and the local copy of it.
inline const QString kUpdateInfoFileName = QStringLiteral("mainappupdate.inf");
// A larger mainappupdate.inf is not an update information file: the download fails.
inline constexpr qint64 kMaxUpdateInfoBytes = 64 * 1024;

// Shown when the update button's check gets no update information: no answer, an error
// status, a reply over its limit.
inline const QString kUpdateLocationUnreachable = QStringLiteral(
    "The update location could not be reached, so it is not known whether a newer version "
    "exists. Please try again later.");

// The live update of the main window: finds a newer version at UpdateBaseURL, asks twice,
// closes the window and hands over to the updater.
class TLiveUpdate {
public:
    // window: the main window, closed before the updater starts.
    TLiveUpdate(QNetworkAccessManager &http, TMessageBox &msgMain, QWidget &window,
                const QString &appDir);

    // The update button: the whole check, not silent. Ignored while a request waits.
    void btnUpdateClick();

    // The whole check. silent leaves out only the "no new updates" and "could not be reached"
    // notices.
    void CheckForUpdate(bool silent);

    // GETs url into fileName through a save file: true when the whole body arrived and was
    // stored; otherwise no file of that name is left.
    bool DownloadToFile(const QByteArray &url, const QString &fileName,
                        qint64 maxBytes = kMaxReplyBytes);

private:
    THttpReply::Outcome download(const QByteArray &url, const QString &fileName,
                                 qint64 maxBytes);
    QByteArray publishedVersion(const QString &fileName) const;
    void noUpdate(bool silent);
    void unreachable(bool silent);

    QNetworkAccessManager &m_http;
    TMessageBox &m_msgMain;
    QWidget &m_window;
    QString m_appDir;
};
