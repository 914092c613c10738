#include "updater/FUpdater.h"

#include "ui_FUpdater.h"
#include "updater/ProgramProcess.h"
#include "updater/UpdateNotice.h"

#include <QCloseEvent>
#include <QLayout>
#include <QTimer>

TfrmUpdater::TfrmUpdater(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::TfrmUpdater>())
{
    m_ui->setupUi(this);
    connect(m_ui->btnCancel, &QPushButton::clicked, this, &TfrmUpdater::btnCancelClick);
}

TfrmUpdater::~TfrmUpdater() = default;

void TfrmUpdater::start(const TUpdaterOptions &options, const TUpdaterArguments &arguments)
{
    m_appDir = options.appDir;
    m_run = std::make_unique<TUpdateRun>(options, arguments);
    connect(m_run.get(), &TUpdateRun::statusChanged, m_ui->lblStatus, &QLabel::setText);
    connect(m_run.get(), &TUpdateRun::progressChanged, this, [this](qint64 done, qint64 total) {
        m_ui->pbrDownload->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
    });
    connect(m_run.get(), &TUpdateRun::finished, this, &TfrmUpdater::runFinished);
    // Starts once the window is up, so that its first words are on screen.
    QTimer::singleShot(0, m_run.get(), &TUpdateRun::start);
}

void TfrmUpdater::setTrustsDemoKey(bool trusts)
{
    m_ui->lblDemoKey->setVisible(trusts);
    // The window grows by the warning's lines rather than squeezing the status.
    if (trusts)
        resize(width(), qMax(height(), layout()->totalHeightForWidth(width())));
}

void TfrmUpdater::showUsage(const QString &usage)
{
    m_ui->pbrDownload->hide();
    showEnding(usage, 2);
}

void TfrmUpdater::showEnding(const QString &message, int exitCode)
{
    m_ui->lblStatus->setText(message);
    m_ui->btnCancel->setText(QStringLiteral("Close"));
    m_exitCode = exitCode;
}

void TfrmUpdater::runFinished(const TUpdateOutcome &outcome)
{
    if (outcome.result == TUpdateResult::Installed) {
        m_ui->pbrDownload->setValue(m_ui->pbrDownload->maximum());
        m_exitCode = 0;
        emit exitRequested(0);
        return;
    }
    m_restartOnClose = outcome.restartOldProgram;
    m_outcome = outcome;
    showEnding(outcome.message, outcome.result == TUpdateResult::InstalledNoStart ? 0 : 1);
}

void TfrmUpdater::btnCancelClick()
{
    if (m_exitCode < 0) {
        if (m_run)
            m_run->cancel();
        return;
    }
    // The program closed for the update: it comes back, whatever became of the update.
    if (m_restartOnClose)
        StartProgram(m_appDir, ProgramNotice(m_outcome));
    m_restartOnClose = false;
    emit exitRequested(m_exitCode);
}

void TfrmUpdater::closeEvent(QCloseEvent *event)
{
    // Closing the window is Cancel while the update runs, and Close after it.
    event->ignore();
    btnCancelClick();
}
