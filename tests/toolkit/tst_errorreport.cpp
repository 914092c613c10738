#include "toolkit/DialogRunner.h"
#include "toolkit/ErrorReport.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestErrorReport : public QObject
{
    Q_OBJECT

private slots:
    void report_showsTextAndCopiesItToTheClipboard();
    void sink_receivesTheTextInsteadOfTheDialog();
};

void TestErrorReport::report_showsTextAndCopiesItToTheClipboard()
{
    const QString text = QStringLiteral("Cannot write Projects.dat: disk full");
    QGuiApplication::clipboard()->clear();
    QString shown, caption, clipboard;
    bool ended = false;
    TDialogScriptGuard guard([&](QDialog &dialog) {
        shown = dialog.findChild<QPlainTextEdit *>(QStringLiteral("memReport"))->toPlainText();
        auto *copy = dialog.findChild<QPushButton *>(QStringLiteral("btnCopy"));
        caption = copy->text();
        QTest::mouseClick(copy, Qt::LeftButton);
        clipboard = QGuiApplication::clipboard()->text();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnOk")), Qt::LeftButton);
        ended = dialog.result() == QDialog::Accepted;
        return dialog.result();
    });
    ReportError(text);
    QCOMPARE(shown, text);
    QCOMPARE(caption, QStringLiteral("Copy to clipboard"));
    QCOMPARE(clipboard, text);
    QVERIFY(ended);
}

void TestErrorReport::sink_receivesTheTextInsteadOfTheDialog()
{
    int dialogs = 0;
    TDialogScriptGuard guard([&](QDialog &) {
        ++dialogs;
        return int(QDialog::Accepted);
    });
    QStringList reported;
    SetErrorReportSink([&](const QString &text) { reported << text; });
    ReportError(QStringLiteral("first"));
    ReportError(QStringLiteral("second"));
    SetErrorReportSink({});
    QCOMPARE(reported, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    QCOMPARE(dialogs, 0);

    ReportError(QStringLiteral("third"));
    QCOMPARE(dialogs, 1);
}

QTEST_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
