#pragma once
// A main window on a temporary application directory, with scripted message boxes and
// dialogs and a captured error report: what the planner's widget tests share.

#include "model/UProjects.h"
#include "online/UpdateBaseURL.h"
#include "shell/FMain.h"
#include "toolkit/DateEdit.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBox.h"
#include "util/ShortDate.h"

#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>
#include <memory>

class TMainWindowFixture {
public:
    TMainWindowFixture()
    {
        SetShortDateFormat(QStringLiteral("M/d/yyyy"));
        SetErrorReportSink([this](const QString &text) { errors << text; });
        // The start-up update check asks a closed port on this machine, never the publisher.
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        SetUpdateBaseURL("http://127.0.0.1:" + QByteArray::number(probe.serverPort()) +
                         "/liveupdate/project_zelvo/");
    }
    ~TMainWindowFixture()
    {
        frm.reset();
        SetDialogScript({});
        SetErrorReportSink({});
        SetShortDateFormat(QString());
        SetUpdateBaseURL(QByteArray());
    }

    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray readFile(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Opens a (new) main window on the application directory, shown offscreen. answers are
    // queued before the window shows, so that they are there for the start-up questions.
    TfrmMain &open(const QList<QMessageBox::StandardButton> &answers = {})
    {
        frm.reset();
        frm = std::make_unique<TfrmMain>(dir.path() + QLatin1Char('/'));
        frm->msgMain().setScripted(true);
        frm->msgMain().scriptAnswers(answers);
        // The start-up poll waits until the window is up, as a person sees it: on a busy
        // machine showing can take longer than the poll's 100 ms, and a poll that waits for
        // the network inside the wait for the window would outlast it.
        auto *poll = frm->findChild<QTimer *>(QStringLiteral("Timer2"));
        const bool pollDue = poll && poll->isActive();
        if (pollDue)
            poll->stop();
        frm->show();
        // Shortcuts such as Ctrl+S reach only the active window.
        QApplication::setActiveWindow(frm.get());
        [this] { QVERIFY(QTest::qWaitForWindowActive(frm.get())); }();
        if (pollDue)
            poll->start();
        return *frm;
    }

    template <typename T>
    T *child(const char *name) const
    {
        return frm->findChild<T *>(QLatin1String(name));
    }

    // The project tree's root node r, or its child c.
    QModelIndex treeNode(int root, int project = -1) const
    {
        const QAbstractItemModel &model = *child<QTreeView>("tvwMain")->model();
        const QModelIndex r = model.index(root, 0);
        return project < 0 ? r : model.index(project, 0, r);
    }
    // Makes that node the selected one.
    void selectTreeNode(int root, int project = -1) const
    {
        child<QTreeView>("tvwMain")->setCurrentIndex(treeNode(root, project));
    }
    // The task list's model, whose rows are the current project's tasks.
    QAbstractItemModel &taskRows() const { return *child<QTableView>("lvwItems")->model(); }

    // The next dialog is filled by fill and closed with its own Ok button (or Cancel when
    // fill returns false).
    static void nextDialog(std::function<bool(QDialog &)> fill)
    {
        SetDialogScript([fill](QDialog &dialog) {
            // Uninstalling the script destroys this closure: keep what it needs first.
            const auto fillThis = fill;
            SetDialogScript({});
            if (!fillThis(dialog))
                return int(QDialog::Rejected);
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnOk")),
                              Qt::LeftButton);
            return dialog.result();
        });
    }

    // Date fields keep their exact text only through TDateEdit's own text() and setText().
    static void setField(QDialog &dialog, const char *name, const QString &text)
    {
        if (auto *date = dialog.findChild<TDateEdit *>(QLatin1String(name)))
            date->setText(text);
        else if (auto *edit = dialog.findChild<QLineEdit *>(QLatin1String(name)))
            edit->setText(text);
        else if (auto *memo = dialog.findChild<QPlainTextEdit *>(QLatin1String(name)))
            memo->setPlainText(text);
    }

    static QString field(QDialog &dialog, const char *name)
    {
        if (auto *date = dialog.findChild<TDateEdit *>(QLatin1String(name)))
            return date->text();
        return dialog.findChild<QLineEdit *>(QLatin1String(name))->text();
    }

    QList<QString> messages() const
    {
        QList<QString> texts;
        for (const auto &shown : frm->msgMain().log())
            texts << shown.text;
        return texts;
    }

    QTemporaryDir dir;
    std::unique_ptr<TfrmMain> frm;
    QStringList errors;
};
