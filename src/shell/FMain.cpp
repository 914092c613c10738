#include "shell/FMain.h"

#include "export/ExportCommands.h"
#include "model/UProjects.h"
#include "online/HttpExchange.h"
#include "online/LiveUpdate.h"
#include "online/NewsCheck.h"
#include "planner/DayPlanner.h"
#include "planner/ProjectTree.h"
#include "planner/TaskList.h"
#include "shell/Branding.h"
#include "shell/SaveChanges.h"
#include "toolkit/EnterKey.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBox.h"
#include "ui_FMain.h"
#include "util/FileError.h"

#include <QCloseEvent>
#include <future>
#include <QNetworkAccessManager>
#include <QShortcut>
#include <QStyle>
#include <QTimer>

namespace {

const QString kCaption = QStringLiteral("Project Zelvo");

void ReportUnreadable(const TFileError &error)
{
    ReportError(QStringLiteral("A data file could not be read and will not be "
                               "overwritten by \"Save Changes\" in this session.\n\n") +
                error.message());
}

// Runs one load step; a file that exists but cannot be read is reported and start-up goes on.
template <typename Load>
void LoadReportingErrors(Load load)
{
    try {
        load();
    } catch (const TFileError &error) {
        ReportUnreadable(error);
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
    ClickButtonsOnEnter(*this);
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
    if (modified)
        ++m_changeCount;
    setWindowModified(modified);
}

// The caption carries Qt's placeholder for the modified marker ("Project Zelvo*" while
// there are unsaved changes), whoever sets it.
void TfrmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange
        && !windowTitle().contains(QLatin1String("[*]")))
        setWindowTitle(windowTitle() + QStringLiteral("[*]"));
}

void TfrmMain::FormCreate()
{
    ui->gifBanner->setGeometry(ui->imgBanner->geometry());
    layOutWorkArea();
    m_brandingView = std::make_unique<TBranding>(
        m_appDir, m_branding,
        TBranding::Widgets{this, ui->btnMakeMoney, ui->btnNews, ui->btnHelp, ui->btnAbout,
                           ui->panBanner, ui->imgBanner, ui->gifBanner, ui->panLinks,
                           ui->lblLink1URL, ui->lblLink2URL},
        *m_msgMain);
    m_brandingView->LoadBrandingSettings();
    if (m_branding.WelcomeHTML.isEmpty())
        Timer2->start();

    m_context.msgMain = m_msgMain;
    m_context.dialogParent = this;
    m_context.markModified = [this] { setModified(true); };

    // The project book loads on a second thread while the day planner loads here: the two
    // share nothing, and a large book then starts in the time of its larger file. Failures
    // are reported in the order of the steps: day planner, categories, projects.
    m_projects = std::make_unique<TProjects>(m_appDir);
    std::future<QList<TFileError>> bookLoad =
        std::async(std::launch::async, [book = m_projects.get()] {
            QList<TFileError> failures;
            for (const auto load : {&TProjects::LoadCategories, &TProjects::LoadProjects}) {
                try {
                    (book->*load)();
                } catch (const TFileError &error) {
                    failures << error;
                }
            }
            return failures;
        });

    m_hours = std::make_unique<THours>(m_appDir);
    m_context.hours = m_hours.get();
    LoadReportingErrors([this] { m_hours->LoadHours(); });
    ui->calPlanner->setSelectedDate(QDate::currentDate());
    m_dayPlanner = std::make_unique<TDayPlanner>(m_context, *ui->calPlanner, *ui->lvwToDo,
                                                 *ui->btnEditHour, *ui->btnClearHour);
    m_dayPlanner->AddHourRows();

    ui->pgcMain->setCurrentIndex(0);

    for (const TFileError &failure : bookLoad.get())
        ReportUnreadable(failure);
    m_context.projects = m_projects.get();

    m_taskList = std::make_unique<TTaskList>(
        m_context,
        TTaskList::Widgets{ui->lvwItems, ui->lblProjName, ui->lblStartDate, ui->lblEndDate,
                           ui->MainGauge, ui->btnAdd, ui->btnEdit, ui->btnRemove});
    m_projectTree = std::make_unique<TProjectTree>(m_context, *m_taskList, *ui->tvwMain);
    m_exportCommands = std::make_unique<TExportCommands>(
        *this, *m_msgMain, *m_projects, *m_hours, *ui->tvwMain, m_projectTree->mnuTree());
    createOnlineServices();
    connectCommands();
    m_projectTree->RebuildProjectTree(QByteArray());
    setModified(false);
    // The skin's sizes are known before the window first shows, so it opens at its final size.
    ensurePolished();
    layout()->activate();
    m_saveChanges = std::make_unique<TSaveChanges>(*this, *m_msgMain, *m_projects, *m_hours);
    // Once the window is up, so that the report stands in front of it.
    QTimer::singleShot(0, this, &TfrmMain::reportDamagedFiles);
}

void TfrmMain::reportDamagedFiles()
{
    const QString report = m_saveChanges->damagedFilesReport();
    if (!report.isEmpty())
        m_msgMain->show(report, QMessageBox::Warning, QMessageBox::Ok);
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
    // Ctrl+Tab and Ctrl+Shift+Tab switch the "Tasks" and "Calendar" pages from anywhere in
    // the window, not only from inside the pages.
    const auto turnPage = [this](int step) {
        const int count = ui->pgcMain->count();
        ui->pgcMain->setCurrentIndex((ui->pgcMain->currentIndex() + step + count) % count);
    };
    connect(new QShortcut(QKeySequence::NextChild, this), &QShortcut::activated, this,
            [turnPage] { turnPage(1); });
    connect(new QShortcut(QKeySequence::PreviousChild, this), &QShortcut::activated, this,
            [turnPage] { turnPage(-1); });
    connect(ui->btn1, &QPushButton::clicked, m_projectTree.get(), &TProjectTree::btn1Click);
    connect(ui->btnThanks, &QPushButton::clicked, this, &TfrmMain::btnThanksClick);
    connect(ui->btnNews, &QToolButton::clicked, this, [this] { m_newsCheck->btnNewsClick(); });
    connect(ui->btnUpdate, &QToolButton::clicked, this,
            [this] { m_liveUpdate->btnUpdateClick(); });
    ui->btnNews->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    ui->btnUpdate->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->btnHelp->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
}

// Only the first showing runs the start-up steps: restoring a minimised window, or showing
// it again, keeps the page and the selection the user left.
void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownBefore)
        return;
    m_shownBefore = true;
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
        enterLeavesWelcomePage();
    } else if (ui->stsWelcome) {
        ui->pgcPrinc->removeTab(ui->pgcPrinc->indexOf(ui->stsWelcome));
        delete ui->stsWelcome;
        ui->stsWelcome = nullptr;
        ui->prfWelcome = nullptr;
        ui->btnThanks = nullptr;
    }
    ui->pgcPrinc->tabBar()->hide();
    // Tab would hand the focus to the hidden tab bar, which cannot take it: the focus would
    // stay where it was instead of going round the window.
    ui->pgcPrinc->setFocusPolicy(Qt::NoFocus);
    ui->pgcPrinc->tabBar()->setFocusPolicy(Qt::NoFocus);
    ui->pgcPrinc->setCurrentIndex(0);
    m_brandingView->centreBanner();
}

// The welcome page's one button is what Enter means there, wherever on the page the focus is.
void TfrmMain::enterLeavesWelcomePage()
{
    ui->btnThanks->setFocus(Qt::OtherFocusReason);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *enter = new QShortcut(QKeySequence(key), ui->stsWelcome);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, ui->btnThanks, &QPushButton::click);
    }
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
    if (m_saveChanges->isRunning())
        return false;
    const quint64 changesBefore = m_changeCount;
    if (!m_saveChanges->run())
        return false;
    if (m_changeCount == changesBefore)
        setModified(false);
    return true;
}

bool TfrmMain::isSaving() const
{
    return m_saveChanges && m_saveChanges->isRunning();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // A save in progress finishes first; the window can be closed after it.
    if (isSaving() || !FormCloseQuery()) {
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
