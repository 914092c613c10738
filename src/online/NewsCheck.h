#pragma once

#include "online/NewsService.h"
#include "online/OnlineContext.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QAbstractButton;
class QTimer;
class QWidget;
class TLiveUpdate;
class TMessageHint;

// The main window's news button and start-up poll: the news list in the news window, and the
// balloon alert at the news button when the service has an item newer than the last one the
// user opened, followed by the silent update check.
class TNewsCheck {
public:
    struct Parts {
        QWidget *window = nullptr;           // the main window
        QAbstractButton *btnNews = nullptr;  // the alert points at it
        QTimer *Timer2 = nullptr;            // the one-shot start-up timer
        QList<QByteArray> *NewsItems = nullptr;
        TLiveUpdate *liveUpdate = nullptr;
    };

    TNewsCheck(const TOnlineContext &context, const Parts &parts);

    // The news button: fetches the list and shows the news window, or says there is none.
    // Ignored while a request waits.
    void btnNewsClick();
    // The start-up poll, once per switching-on of Timer2; then the silent update check.
    void Timer2Timer();
    // Shows text in the balloon with its tip at the centre of the news button.
    void ShowAlertHint(const QString &text);

    TMessageHint &hintAlert() const { return *m_hint; }

private:
    TOnlineContext m_context;
    Parts m_parts;
    TNewsService m_service;
    TMessageHint *m_hint; // owned by the main window
};
