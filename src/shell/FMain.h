#pragma once

#include "planner/PlannerContext.h"
#include "util/BrandingSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class TfrmMain;
}
class QNetworkAccessManager;
class QTimer;
class TMessageBox;
class TProjectTree;
class TTaskList;
class TDayPlanner;
class TBranding;
class TSaveChanges;
class TLiveUpdate;
class TNewsCheck;
class TExportCommands;

// The one main window: owns the project book, the day-planner store and the news list, and
// hands the events of each concern to its controller.
class TfrmMain : public QWidget {
    Q_OBJECT

public:
    // appDir is the folder of every file the program reads and writes.
    explicit TfrmMain(const QString &appDir, QWidget *parent = nullptr);
    ~TfrmMain() override;

    const QString &AppDir() const { return m_appDir; }
    TMessageBox &msgMain() const { return *m_msgMain; }
    TProjects &projects() const;
    THours &hours() const;
    TPlannerContext &context() { return m_context; }
    TProjectTree &projectTree() const { return *m_projectTree; }
    TTaskList &taskList() const { return *m_taskList; }
    TDayPlanner &dayPlanner() const { return *m_dayPlanner; }
    TBranding &branding() const { return *m_brandingView; }
    TNewsCheck &newsCheck() const { return *m_newsCheck; }
    TLiveUpdate &liveUpdate() const { return *m_liveUpdate; }
    TExportCommands &exportCommands() const { return *m_exportCommands; }
    // The news records of the last news check.
    const QList<QByteArray> &newsItems() const { return NewsItems; }
    // The brander's values, read once at start-up (all empty without a settings file).
    const TBrandingSettings &BrandingSettings() const { return m_branding; }
    // The one HTTP client of the window, for the news service and the live update.
    QNetworkAccessManager &httpClient() const { return *http; }

    // Changes made since the last load or save.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    // "Save Changes": categories, projects, day planner, all or nothing (TSaveChanges). True
    // when every change is on disk; the modified flag is then cleared, unless something
    // changed while the save ran.
    bool btnSaveClick();
    bool isSaving() const;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    bool FormCloseQuery();
    void FormClose();
    void btnThanksClick();
    void enterLeavesWelcomePage();
    void Timer2Timer();
    void sizePlannerPanel();
    void loadDataFiles();
    void reportDamagedFiles();
    void connectCommands();
    void layOutWorkArea();
    void createOnlineServices();

    std::unique_ptr<Ui::TfrmMain> ui;
    QString m_appDir;
    TMessageBox *m_msgMain = nullptr;
    QNetworkAccessManager *http = nullptr;
    QTimer *Timer2 = nullptr;
    std::unique_ptr<THours> m_hours;
    std::unique_ptr<TProjects> m_projects;
    QList<QByteArray> NewsItems;
    TBrandingSettings m_branding;
    std::unique_ptr<TBranding> m_brandingView;
    TPlannerContext m_context;
    std::unique_ptr<TTaskList> m_taskList;
    std::unique_ptr<TProjectTree> m_projectTree;
    std::unique_ptr<TExportCommands> m_exportCommands;
    std::unique_ptr<TDayPlanner> m_dayPlanner;
    std::unique_ptr<TSaveChanges> m_saveChanges;
    std::unique_ptr<TLiveUpdate> m_liveUpdate;
    std::unique_ptr<TNewsCheck> m_newsCheck;
    bool m_modified = false;
    quint64 m_changeCount = 0; // changes made in this run, so a save can tell if one came in
    bool m_shownBefore = false;
};
