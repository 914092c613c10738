#include "online/NewsCheck.h"

#include "online/FNews.h"
#include "online/HttpExchange.h"
#include "online/LiveUpdate.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/MessageBox.h"
#include "toolkit/MessageHint.h"
#include "util/BrandingSettings.h"
#include "util/CodePage.h"

#include <QAbstractButton>
#include <QTimer>
#include <QWidget>

namespace {

// A news id as a signed 32-bit number; anything that is not one counts as 0.
qint32 NewsIdNumber(const QByteArray &id)
{
    bool ok = false;
    const qint32 value = id.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

TNewsCheck::TNewsCheck(const TOnlineContext &context, const Parts &parts)
    : m_context(context), m_parts(parts),
      m_service(*context.http, *context.msgMain, *context.settings),
      m_hint(new TMessageHint(parts.window)), m_alertWait(new QTimer(m_hint))
{
    m_alertWait->setSingleShot(true);
    m_alertWait->setInterval(kAlertWait);
    // At the time limit the alert goes, so that the questions never stand over it.
    QObject::connect(m_alertWait, &QTimer::timeout, m_hint, [this] {
        m_hint->hide();
        runWaitingUpdateCheck();
    });
    QObject::connect(m_hint, &TMessageHint::closed, m_alertWait, [this] {
        if (m_alertWait->isActive())
            runWaitingUpdateCheck();
    });
}

void TNewsCheck::btnNewsClick()
{
    if (HttpWaiting(*m_context.http))
        return;
    m_parts.NewsItems->clear();
    bool result = false;
    if (const auto level = NewsLevelInUse(*m_context.settings)) {
        result = m_service.FetchNewsList(level->publisherId, m_context.settings->BranderCode,
                                         level->prodtype, "UA", *m_parts.NewsItems);
        if (m_service.wasCancelled())
            return; // the window is closing
    }
    if (result && !m_parts.NewsItems->isEmpty()) {
        TfrmNews frmNews(m_context, *m_parts.NewsItems, m_parts.window);
        RunModal(frmNews);
        return;
    }
    m_context.msgMain->information(QStringLiteral("There's no news for this application!"));
}

void TNewsCheck::Timer2Timer()
{
    m_parts.Timer2->stop();
    if (HttpWaiting(*m_context.http)) {
        m_parts.Timer2->start(); // the poll waits until the client is free
        return;
    }
    bool found = false;
    QByteArray newsId;
    QByteArray title;
    if (const auto level = NewsLevelInUse(*m_context.settings)) {
        found = m_service.FetchLatestNews(level->publisherId, m_context.settings->BranderCode,
                                          level->prodtype, "UA", newsId, title);
        if (m_service.wasCancelled())
            return; // the window is closing
    }
    // An id that could not be stored raises no alert: opening it would never end the alert.
    if (found && IsStorableNewsId(newsId)) {
        const qint32 stored = NewsIdNumber(ReadLastNewsId(m_context.appDir));
        if (NewsIdNumber(newsId) > stored) {
            ShowAlertHint(QStringLiteral("You've Got A Message!\r\n") + FromAnsi(title));
            checkForUpdateAfterAlert();
            return;
        }
    }
    m_parts.liveUpdate->CheckForUpdate(true);
}

void TNewsCheck::checkForUpdateAfterAlert()
{
    if (m_hint->isVisible())
        m_alertWait->start();
    else
        m_parts.liveUpdate->CheckForUpdate(true);
}

bool TNewsCheck::updateCheckWaits() const
{
    return m_alertWait->isActive();
}

void TNewsCheck::setAlertWait(std::chrono::milliseconds wait)
{
    m_alertWait->setInterval(wait);
}

void TNewsCheck::runWaitingUpdateCheck()
{
    m_alertWait->stop();
    // A window that is closing takes the alert with it: no check starts then.
    if (m_parts.window->isVisible())
        m_parts.liveUpdate->CheckForUpdate(true);
}

void TNewsCheck::ShowAlertHint(const QString &text)
{
    const QAbstractButton *button = m_parts.btnNews;
    const QPoint centre(button->width() / 2, button->height() / 2);
    m_hint->showMessage(text, button->mapToGlobal(centre));
}
