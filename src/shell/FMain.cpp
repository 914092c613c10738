#include "shell/FMain.h"

#include "model/UProjects.h"
#include "online/HttpExchange.h"
#include "online/LiveUpdate.h"
#include "online/NewsCheck.h"
#include "planner/DayPlanner.h"
#include "planner/ProjectTree.h"
#include "planner/TaskList.h"
#include "shell/Branding.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBox.h"
#include "ui_FMain.h"
#include "util/FileError.h"

#include <QCloseEvent>
#include <QNetworkAccessManager>
#include <QStyle>
#include <QTimer>

namespace {

const QString kCaption = QStringLiteral("Project Zelvo");

// Runs one load step; a file that exists but cannot be read is reported and start-up goes on.
template <typename Load>
void LoadReportingErrors(Load load)
{
    try {
        load();
    } catch (const TFileError &error) {
        ReportError(QStringLiteral("A data file could not be read and will not be "
                                   "overwritten by \"Save Changes\" in this session.\n\n") +
                    error.message());
    }
}

} // namespace

TfrmMain::TfrmMain(const QString &appDir, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TfrmMain>()), m_appDir(appDir)
{
    if (!m_appDir.endsWith(QLatin1Char('/')))
        m_appDir += QLatin1Char('/');
    ui->setupUi(this);
    setWindowTitle(kCaption);
    m_msgMain = new TMessageBox(this);
    m_msgMain->setObjectName(QStringLiteral("msgMain"));
    http = new QNetworkAccessManager(this);
    http->setObjectName(QStringLiteral("http"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &TfrmMain::Timer2Timer);
    FormCreate();
}

// Members go in reverse order: the controllers before the book and the store they use.
TfrmMain::~TfrmMain() = default;

TProjects &TfrmMain::projects() const { return *m_projects; }
THours &TfrmMain::hours() const { return *m_hours; }

void TfrmMain::setModified(bool modified)
{
    m_modified = modified;
}

void TfrmMain::FormCreate()
{
    ui->gifBanner->setGeometry(ui->imgBanner->geometry());
    layOutWorkArea();
    m_brandingView = std::make_unique<TBranding>(
        m_appDir, m_branding,
        TBranding::Widgets{this, ui->btnMakeMoney, ui->btnNews, ui->btnHelp, ui->btnAbout,
                           ui->panBanner, ui->imgBanner, ui->gifBanner, ui->panLinks,
                           ui->lblLink1URL, ui->lblLink2URL});
    m_brandingView->LoadBrandingSettings();
    if (m_branding.WelcomeHTML.isEmpty())
        Timer2->start();

    m_context.msgMain = m_msgMain;
    m_context.dialogParent = this;
    m_context.markModified = [this] { setModified(true); };

    m_hours = std::make_unique<THours>(m_appDir);
    m_context.hours = m_hours.get();
    LoadReportingErrors([this] { m_hours->LoadHours(); });
    ui->calPlanner->setSelectedDate(QDate::currentDate());
    m_dayPlanner = std::make_unique<TDayPlanner>(m_context, *ui->calPlanner, *ui->lvwToDo,
                                                 *ui->btnEditHour, *ui->btnClearHour);
    m_dayPlanner->AddHourRows();

    ui->pgcMain->setCurrentIndex(0);

    m_projects = std::make_unique<TProjects>(m_appDir);
    m_context.projects = m_projects.get();
    LoadReportingErrors([this] { m_projects->LoadCategories(); });
    LoadReportingErrors([this] { m_projects->LoadProjects(); });

    m_taskList = std::make_unique<TTaskList>(
        m_context,
        TTaskList::Widgets{ui->lvwItems, ui->lblProjName, ui->lblStartDate, ui->lblEndDate,
                           ui->MainGauge, ui->btnAdd, ui->btnEdit, ui->btnRemove});
    m_projectTree = std::make_unique<TProjectTree>(m_context, *m_taskList, *ui->tvwMain);
    createOnlineServices();
    connectCommands();
    m_projectTree->RebuildProjectTree(QByteArray());
    m_modified = false;
    // The skin's sizes are known before the window first shows, so it opens at its final size.
    ensurePolished();
    layout()->activate();
}

// The tree keeps its width when the window grows; the work area takes the rest.
void TfrmMain::layOutWorkArea()
{
    ui->splMain->setStretchFactor(0, 0);
    ui->splMain->setStretchFactor(1, 1);
    ui->splMain->setSizes({201, width() - 201});
}

void TfrmMain::createOnlineServices()
{
    m_liveUpdate = std::make_unique<TLiveUpdate>(*http, *m_msgMain, *this, m_appDir);
    m_newsCheck = std::make_unique<TNewsCheck>(
        TOnlineContext{http, m_msgMain, &m_branding, m_appDir},
        TNewsCheck::Parts{this, ui->btnNews, Timer2, &NewsItems, m_liveUpdate.get()});
}

void TfrmMain::connectCommands()
{
    connect(ui->btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    ui->btnSave->setShortcut(QKeySequence::Save);
    connect(ui->btn1, &QPushButton::clicked, m_projectTree.get(), &TProjectTree::btn1Click);
    connect(ui->btnThanks, &QPushButton::clicked, this, &TfrmMain::btnThanksClick);
    connect(ui->btnNews, &QToolButton::clicked, this, [this] { m_newsCheck->btnNewsClick(); });
    connect(ui->btnUpdate, &QToolButton::clicked, this,
            [this] { m_liveUpdate->btnUpdateClick(); });
    ui->btnNews->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    ui->btnUpdate->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->btnHelp->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TfrmMain::FormShow()
{
    ui->pgcMain->setCurrentIndex(0);
    for (int i = 0; i < ui->pgcPrinc->count(); ++i)
        ui->pgcPrinc->setCurrentIndex(i);
    ui->pgcPrinc->setCurrentIndex(0);
    if (!m_branding.WelcomeHTML.isEmpty()) {
        ui->prfWelcome->setAnsiHtml(m_branding.WelcomeHTML);
    } else if (ui->stsWelcome) {
        ui->pgcPrinc->removeTab(ui->pgcPrinc->indexOf(ui->stsWelcome));
        delete ui->stsWelcome;
        ui->stsWelcome = nullptr;
        ui->prfWelcome = nullptr;
        ui->btnThanks = nullptr;
    }
    ui->pgcPrinc->tabBar()->hide();
    ui->pgcPrinc->setCurrentIndex(0);
    m_brandingView->centreBanner();
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmMain::FormResize()
{
    // Resize events come before FormCreate has made the branding (setupUi sizes the form).
    if (m_brandingView)
        m_brandingView->centreBanner();
}

void TfrmMain::btnThanksClick()
{
    ui->pgcPrinc->setCurrentWidget(ui->stsMain);
    if (!m_branding.WelcomeHTML.isEmpty())
        Timer2->start();
}

void TfrmMain::Timer2Timer()
{
    m_newsCheck->Timer2Timer();
}

bool TfrmMain::btnSaveClick()
{
    QStringList failures;
    const auto attempt = [&failures](auto save) {
        try {
            save();
        } catch (const TFileError &error) {
            failures << error.message();
        }
    };
    attempt([this] { m_projects->SaveCategories(); });
    attempt([this] { m_projects->SaveProjects(); });
    attempt([this] { m_hours->SaveHours(); });
    if (!failures.isEmpty()) {
        m_msgMain->show(QStringLiteral("These files were not saved:\n\n") +
                            failures.join(QLatin1Char('\n')),
                        QMessageBox::Warning, QMessageBox::Ok);
        return false;
    }
    setModified(false);
    return true;
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

// Asks about unsaved changes; true when the window may close.
bool TfrmMain::FormCloseQuery()
{
    if (m_modified) {
        const auto answer =
            m_msgMain->show(QStringLiteral("Save changes before closing?"),
                            QMessageBox::Information,
                            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                            QMessageBox::Save);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Save && !btnSaveClick())
            return false;
    }
    m_context.updating = true;
    return true;
}

void TfrmMain::FormClose()
{
    // A request still waiting ends now; then any open connection of the client is dropped.
    CancelHttpWaiting(*http);
    http->clearConnectionCache();
    http->clearConnectionCache();
}
