#pragma once

#include "updater/UpdateRun.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TfrmUpdater;
}

// The updater's one window: what it is doing, a progress bar over the bytes to download,
// and Cancel. Every failure is a sentence in the window; Cancel then reads "Close".
class TfrmUpdater : public QWidget {
    Q_OBJECT

public:
    explicit TfrmUpdater(QWidget *parent = nullptr);
    ~TfrmUpdater() override;

    // Runs an update, showing its progress.
    void start(const TUpdaterOptions &options, const TUpdaterArguments &arguments);
    // States in the window that the updater trusts the repository's public demo key.
    void setTrustsDemoKey(bool trusts);
    // Shows the usage text for a command line that is not the updater's three words.
    void showUsage(const QString &usage);

    TUpdateRun *run() const { return m_run.get(); }

signals:
    // The window is done: leave with this exit code (0 installed, 1 failed or cancelled,
    // 2 wrong command line).
    void exitRequested(int code);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void runFinished(const TUpdateOutcome &outcome);
    void btnCancelClick();
    void showEnding(const QString &message, int exitCode);

    std::unique_ptr<Ui::TfrmUpdater> m_ui;
    std::unique_ptr<TUpdateRun> m_run;
    QString m_appDir;
    bool m_restartOnClose = false;
    TUpdateOutcome m_outcome;
    int m_exitCode = -1; // set once there is nothing left but to close
};
