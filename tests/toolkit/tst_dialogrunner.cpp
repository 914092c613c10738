#include "toolkit/DialogRunner.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

class TestDialogRunner : public QObject
{
    Q_OBJECT

private slots:
    void script_standsInForTheUser_data();
    void script_standsInForTheUser();
    void guard_restoresThePreviousScript();
    void withoutScript_runsTheDialogModally();
};

void TestDialogRunner::script_standsInForTheUser_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("OK") << int(QDialog::Accepted);
    QTest::newRow("Cancel") << int(QDialog::Rejected);
}

void TestDialogRunner::script_standsInForTheUser()
{
    QFETCH(int, answer);
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frmSample"));
    QDialog *seen = nullptr;
    TDialogScriptGuard guard([&](QDialog &d) {
        seen = &d;
        return answer;
    });
    QCOMPARE(RunModal(dialog), answer);
    QCOMPARE(seen, &dialog);
    QCOMPARE(dialog.result(), answer);
    QVERIFY(!dialog.isVisible());
}

void TestDialogRunner::guard_restoresThePreviousScript()
{
    QDialog dialog;
    QStringList calls;
    {
        TDialogScriptGuard outer([&](QDialog &) {
            calls << QStringLiteral("outer");
            return int(QDialog::Rejected);
        });
        {
            TDialogScriptGuard inner([&](QDialog &) {
                calls << QStringLiteral("inner");
                return int(QDialog::Accepted);
            });
            QCOMPARE(RunModal(dialog), int(QDialog::Accepted));
        }
        QCOMPARE(RunModal(dialog), int(QDialog::Rejected));
    }
    QCOMPARE(calls, (QStringList{QStringLiteral("inner"), QStringLiteral("outer")}));
}

void TestDialogRunner::withoutScript_runsTheDialogModally()
{
    QDialog dialog;
    bool wasModal = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, &poll, [&] {
        if (QApplication::activeModalWidget() != &dialog)
            return;
        poll.stop();
        wasModal = dialog.isVisible();
        dialog.accept();
    });
    poll.start();
    QCOMPARE(RunModal(dialog), int(QDialog::Accepted));
    QVERIFY(wasModal);
}

QTEST_MAIN(TestDialogRunner)
#include "tst_dialogrunner.moc"
