#pragma once

#include "online/NewsService.h"
#include "online/OnlineContext.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <memory>

namespace Ui {
class TfrmNews;
}

// The news window: lists the items of NewsItems and shows the body of the selected one,
// fetched from the news service; opening an item stores its id as LastNewsId.
class TfrmNews : public QDialog {
    Q_OBJECT

public:
    // newsItems: the records the news check just fetched (read, never changed).
    TfrmNews(const TOnlineContext &context, const QList<QByteArray> &newsItems,
             QWidget *parent = nullptr);
    ~TfrmNews() override;

    // Whether a body is being fetched.
    bool isBusy() const { return FBusy; }

    // Closing by any way (Close, the frame's close control, Escape) cancels a waiting request.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void lvwItemsChange();
    bool lvwItemsChanging(const QEvent *event) const;
    void btnExitClick();
    void setBusyCursor(bool busy);

    std::unique_ptr<Ui::TfrmNews> ui;
    TOnlineContext m_context;
    const QList<QByteArray> &NewsItems;
    TNewsService m_service;
    bool FBusy = false;
};
