#include "toolkit/ErrorReport.h"

#include "toolkit/DialogFrame.h"
#include "toolkit/DialogRunner.h"
#include "ui_ErrorReport.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <utility>

namespace {

std::function<void(const QString &)> &Sink()
{
    static std::function<void(const QString &)> sink;
    return sink;
}

} // namespace

void ReportError(const QString &text)
{
    if (Sink()) {
        Sink()(text);
        return;
    }
    QDialog dialog(QApplication::activeModalWidget());
    Ui::TfrmErrorReport ui;
    ui.setupUi(&dialog);
    SetFixedDialogFrame(dialog);
    ui.memReport->setPlainText(text);
    QObject::connect(ui.btnCopy, &QPushButton::clicked, &dialog,
                     [text] { QGuiApplication::clipboard()->setText(text); });
    QObject::connect(ui.btnOk, &QPushButton::clicked, &dialog, &QDialog::accept);
    ui.btnOk->setFocus();
    RunModal(dialog);
}

void SetErrorReportSink(std::function<void(const QString &)> sink)
{
    Sink() = std::move(sink);
}
