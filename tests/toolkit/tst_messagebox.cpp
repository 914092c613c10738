#include "toolkit/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
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
    void shown_narrowBox_isWideEnoughForItsCaption_data();
    void shown_narrowBox_isWideEnoughForItsCaption();
    void notice_showsItsDetailAsTextToCopy();

private:
    // Shows one box through show(), lets look() see it, and closes it with OK.
    static void showAndLook(const std::function<void(TMessageBox &)> &show,
                            const std::function<void(QMessageBox &)> &look);
};

void TestMessageBox::showAndLook(const std::function<void(TMessageBox &)> &show,
                                 const std::function<void(QMessageBox &)> &look)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Zelvo Designer v2.0"));
    window.show();
    TMessageBox msg(&window);
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, &poll, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        look(*box);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    poll.start();
    show(msg);
}

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

void TestMessageBox::shown_narrowBox_isWideEnoughForItsCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("branded name") << QStringLiteral("Zelvo Designer v2.0");
    QTest::newRow("long branded name") << QStringLiteral("The Affiliate Marketer's Project Planner v2.0");
}

void TestMessageBox::shown_narrowBox_isWideEnoughForItsCaption()
{
    QFETCH(QString, caption);
    int width = 0;
    int captionWidth = 0;
    showAndLook(
        [&caption](TMessageBox &msg) {
            qobject_cast<QWidget *>(msg.parent())->setWindowTitle(caption);
            msg.information(QStringLiteral("Saved."));
        },
        [&](QMessageBox &box) {
            QFont bold = box.font();
            bold.setBold(true);
            width = box.width();
            captionWidth = QFontMetrics(bold).horizontalAdvance(box.windowTitle());
        });
    // Room for the caption, the window's icon and its close button.
    QVERIFY2(width >= captionWidth + 100, qPrintable(QStringLiteral("%1 < %2 + 100").arg(width).arg(captionWidth)));
}

void TestMessageBox::notice_showsItsDetailAsTextToCopy()
{
    const QString address = QStringLiteral("http://aff.example/?id=joe");
    QString detail;
    Qt::TextInteractionFlags flags;
    showAndLook([&address](TMessageBox &msg) { msg.notice(QStringLiteral("Could not open."), address); },
                [&](QMessageBox &box) {
                    detail = box.informativeText();
                    flags = box.textInteractionFlags();
                });
    QCOMPARE(detail, address);
    QVERIFY(flags.testFlag(Qt::TextSelectableByMouse));
    QVERIFY(flags.testFlag(Qt::TextSelectableByKeyboard));

    TMessageBox scripted;
    scripted.setScripted(true);
    scripted.notice(QStringLiteral("Could not open."), address);
    QCOMPARE(scripted.log().size(), 1);
    QCOMPARE(scripted.log().first().detail, address);
    QCOMPARE(scripted.log().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
