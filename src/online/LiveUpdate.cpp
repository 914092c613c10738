#include "online/LiveUpdate.h"

#include "online/UpdateBaseURL.h"
#include "online/UpdateInfo.h"
#include "toolkit/MessageBox.h"
#include "util/AppFiles.h"
#include "util/AppVersion.h"
#include "util/CodePage.h"
#include "util/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QWidget>

TLiveUpdate::TLiveUpdate(QNetworkAccessManager &http, TMessageBox &msgMain, QWidget &window,
                         const QString &appDir)
    : m_http(http), m_msgMain(msgMain), m_window(window), m_appDir(appDir)
{
}

void TLiveUpdate::btnUpdateClick()
{
    if (HttpWaiting(m_http))
        return;
    CheckForUpdate(false);
}

bool TLiveUpdate::DownloadToFile(const QByteArray &url, const QString &fileName,
                                 qint64 maxBytes)
{
    return download(url, fileName, maxBytes) == THttpReply::Outcome::Received;
}

THttpReply::Outcome TLiveUpdate::download(const QByteArray &url, const QString &fileName,
                                          qint64 maxBytes)
{
    // An old copy goes first, so that a failed download leaves nothing a later check reads.
    if (QFileInfo::exists(fileName))
        QFile::remove(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return THttpReply::Outcome::Failed;
    const THttpReply reply = HttpGet(m_http, ClientRequest(QUrl(FromAnsi(url))), file, maxBytes,
                                     HttpDeadline(THttpPurpose::LiveUpdate));
    if (reply.received() && file.commit())
        return THttpReply::Outcome::Received;
    file.cancelWriting();
    return reply.outcome == THttpReply::Outcome::Cancelled ? THttpReply::Outcome::Cancelled
                                                           : THttpReply::Outcome::Failed;
}

QByteArray TLiveUpdate::publishedVersion(const QString &fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return ReadIniValue(file.read(kMaxUpdateInfoBytes), "APPLICATION", "Version");
}

void TLiveUpdate::CheckForUpdate(bool silent)
{
    const QString infoFile = ResolveFileName(m_appDir, kUpdateInfoFileName);
    const auto outcome =
        download(UpdateBaseURL() + kUpdateInfoFileName.toLatin1(), infoFile,
                 kMaxUpdateInfoBytes);
    if (outcome == THttpReply::Outcome::Cancelled)
        return; // the window is closing
    if (outcome == THttpReply::Outcome::Failed) {
        // "No updates" here would keep the user on an old version, believing it current.
        unreachable(silent);
        return;
    }
    const QByteArray version = publishedVersion(infoFile);
    if (!UpdateOffered(version, AppVersion)) {
        noUpdate(silent);
        return;
    }
    if (m_msgMain.show(NewUpdateQuestion(version), QMessageBox::Information,
                       QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    const QString updater = ResolveFileName(m_appDir, kUpdaterFileName);
    if (!QFileInfo::exists(updater)) {
        m_msgMain.show(QStringLiteral("The updater module is missing. Please reinstall again the "
                                      "current version!"),
                       QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    if (m_msgMain.show(QStringLiteral("To update your software the application will close to"
                                      "\n\rreplace some files. Do you want to update now?"),
                       QMessageBox::Information,
                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Cancel)
        return;
    // The window closes first: its close question may still keep unsaved work, and then the
    // updater must not start replacing the files of a program that goes on running.
    if (!m_window.close())
        return;
    TPlatform::current().shellOpen(
        updater, FromAnsi(UpdateBaseURL() + ' ' + AppVersion + " A"));
}

void TLiveUpdate::unreachable(bool silent)
{
    if (!silent)
        m_msgMain.show(kUpdateLocationUnreachable, QMessageBox::Warning, QMessageBox::Ok);
}

void TLiveUpdate::noUpdate(bool silent)
{
    if (!silent)
        m_msgMain.information(QStringLiteral("There's no new updates for this application!"));
}
