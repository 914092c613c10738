#pragma once

#include "online/NewsService.h"
#include "online/OnlineContext.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>

class QAbstractButton;
class QTimer;
class QWidget;
class TLiveUpdate;
class TMessageHint;

// The main window's news button and start-up poll: the news list in the news window, and the
// balloon alert at the news button when the service has an item newer than the last one the
// user opened, followed by the silent update check. After an alert the check waits until the
// user has closed the alert, at most kAlertWait (then the alert closes), so that its questions
// do not take the alert away the moment it appears.
class TNewsCheck {
public:
    struct Parts {
        QWidget *window = nullptr;           // the main window
        QAbstractButton *btnNews = nullptr;  // the alert points at it
        QTimer *Timer2 = nullptr;            // the one-shot start-up timer
        QList<QByteArray> *NewsItems = nullptr;
        TLiveUpdate *liveUpdate = nullptr;
    };

    // The longest the silent update check waits for an alert to close.
    static constexpr std::chrono::milliseconds kAlertWait{15000};

    TNewsCheck(const TOnlineContext &context, const Parts &parts);

    // The news button: fetches the list and shows the news window, or says there is none.
    // Ignored while a request waits.
    void btnNewsClick();
    // The start-up poll, once per switching-on of Timer2; then the silent update check.
    void Timer2Timer();
    // Shows text in the balloon with its tip at the centre of the news button.
    void ShowAlertHint(const QString &text);

    TMessageHint &hintAlert() const { return *m_hint; }
    // True while the silent update check waits for the alert to close.
    bool updateCheckWaits() const;
    // Shortens the wait (tests).
    void setAlertWait(std::chrono::milliseconds wait);

private:
    void checkForUpdateAfterAlert();
    void runWaitingUpdateCheck();

    TOnlineContext m_context;
    Parts m_parts;
    TNewsService m_service;
    TMessageHint *m_hint; // owned by the main window
    QTimer *m_alertWait;  // owned by m_hint
};
