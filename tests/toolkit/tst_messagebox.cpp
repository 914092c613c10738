#include "toolkit/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QtTest>

using Button = QMessageBox::StandardButton;
using Answers = QList<Button>;

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void scripted_answersFromQueueThenFallback_data();
    void scripted_answersFromQueueThenFallback();
    void scripted_logsTextKindAndButtonsInOrder();
    void question_isTrueOnlyForOk_data();
    void question_isTrueOnlyForOk();
    void shown_isModalBoxWithCaptionTextIconAndButtons();
};

void TestMessageBox::scripted_answersFromQueueThenFallback_data()
{
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");
    QTest::addColumn<Button>("defaultButton");
    QTest::addColumn<Answers>("queued");
    QTest::addColumn<Answers>("expected"); // one show() per entry

    const QMessageBox::StandardButtons okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    QTest::newRow("queue first, then OK when offered")
        << okCancel << QMessageBox::NoButton << Answers{QMessageBox::Cancel}
        << Answers{QMessageBox::Cancel, QMessageBox::Ok};
    QTest::newRow("empty queue answers the default button")
        << okCancel << QMessageBox::Cancel << Answers{} << Answers{QMessageBox::Cancel};
    QTest::newRow("without OK the first button offered")
        << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::NoButton << Answers{}
        << Answers{QMessageBox::Yes};
    QTest::newRow("answers are used once each, in order")
        << okCancel << QMessageBox::NoButton << Answers{QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel}
        << Answers{QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Ok};
}

void TestMessageBox::scripted_answersFromQueueThenFallback()
{
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(Button, defaultButton);
    QFETCH(Answers, queued);
    QFETCH(Answers, expected);

    TMessageBox msg;
    msg.setScripted(true);
    msg.scriptAnswers(queued);
    Answers got;
    for (qsizetype i = 0; i < expected.size(); ++i)
        got.append(msg.show(QStringLiteral("Sure?"), QMessageBox::Information, buttons, defaultButton));
    QCOMPARE(got, expected);
}

void TestMessageBox::scripted_logsTextKindAndButtonsInOrder()
{
    TMessageBox msg;
    msg.setScripted(true);
    msg.information(QStringLiteral("Please select a task to edit!"));
    msg.show(QStringLiteral("The news service is unavailable."), QMessageBox::Warning, QMessageBox::Ok);
    msg.question(QStringLiteral("Are you sure to delete current project?"));

    const QList<TMessageBox::Shown> &log = msg.log();
    QCOMPARE(log.size(), 3);
    QCOMPARE(log[0].text, QStringLiteral("Please select a task to edit!"));
    QCOMPARE(log[0].kind, QMessageBox::Information);
    QCOMPARE(log[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(log[1].kind, QMessageBox::Warning);
    QCOMPARE(log[2].kind, QMessageBox::Information);
    QCOMPARE(log[2].buttons, QMessageBox::Ok | QMessageBox::Cancel);

    msg.clearLog();
    QVERIFY(msg.log().isEmpty());
}

void TestMessageBox::question_isTrueOnlyForOk_data()
{
    QTest::addColumn<Button>("answer");
    QTest::addColumn<bool>("expected");
    QTest::newRow("OK") << QMessageBox::Ok << true;
    QTest::newRow("Cancel") << QMessageBox::Cancel << false;
}

void TestMessageBox::question_isTrueOnlyForOk()
{
    QFETCH(Button, answer);
    QFETCH(bool, expected);
    TMessageBox msg;
    msg.setScripted(true);
    msg.scriptAnswers({answer});
    QCOMPARE(msg.question(QStringLiteral("Are you sure to delete current category?")), expected);
}

void TestMessageBox::shown_isModalBoxWithCaptionTextIconAndButtons()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Project Zelvo 2.0"));
    window.show();
    TMessageBox msg(&window);
    QCOMPARE(msg.objectName(), QStringLiteral("msgMain"));

    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
    // Looks at the box once it is up and answers Cancel as a user would, by a click.
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, &poll, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        modal = box->isModal();
        QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
    });
    poll.start();

    const Button answer = msg.show(QStringLiteral("Are you sure to delete current project?"),
                                   QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(answer, QMessageBox::Cancel);
    QCOMPARE(caption, QStringLiteral("Project Zelvo 2.0"));
    QCOMPARE(text, QStringLiteral("Are you sure to delete current project?"));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(modal);
    QVERIFY(msg.log().isEmpty());
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
