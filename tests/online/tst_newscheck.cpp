#include "common/MainWindowFixture.h"
#include "common/RecordingPlatform.h"
#include "online/LiveUpdate.h"
#include "online/HttpExchange.h"
#include "online/NewsCheck.h"
#include "online/UpdateBaseURL.h"
#include "online/UpdateInfo.h"
#include "online_support.h"
#include "toolkit/HtmlView.h"
#include "toolkit/MessageHint.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

using namespace std::chrono_literals;

namespace {

const QString kLatest = QStringLiteral("/getlastnews.php");
const QString kDetailsPath = QStringLiteral("/getnewsdetails.php");
const QString kInfo = QStringLiteral("liveupdate/project_zelvo/mainappupdate.inf");
const QString kNoNews = QStringLiteral("There's no news for this application!");

// A branded main window whose news service and update location are one scripted server.
struct TNewsCheckFixture : TMainWindowFixture {
    explicit TNewsCheckFixture(const QByteArray &lastNewsId = "7",
                               const QByteArray &brandType = "Master")
    {
        newsBaseUrl = server.baseUrl();
        lastId = lastNewsId;
        type = brandType;
        server.putFile(kInfo, "[APPLICATION]\r\nVersion=2.0\r\n");
        SetUpdateBaseURL(server.url(QStringLiteral("liveupdate/project_zelvo/")).toLatin1());
    }

    // Opens the window; its start-up poll and update check run right after, answered by
    // answers.
    TfrmMain &start(const QList<QMessageBox::StandardButton> &answers = {})
    {
        WriteSettingsFile(dir.path(), MasterSettingsText(newsBaseUrl, lastId, type));
        return open(answers);
    }
    // Until the start-up update check has asked for mainappupdate.inf and nothing waits.
    bool updateCheckDone() const
    {
        for (const auto &request : server.requests())
            if (request.path.endsWith("mainappupdate.inf"))
                return !HttpWaiting(frm->httpClient());
        return false;
    }
    // How many times the update check has asked for mainappupdate.inf.
    qsizetype updateInfoRequests() const
    {
        qsizetype n = 0;
        for (const auto &request : server.requests())
            n += request.path.endsWith("mainappupdate.inf");
        return n;
    }
    QList<QByteArray> requestedPaths() const
    {
        QList<QByteArray> paths;
        for (const auto &request : server.requests())
            paths << request.path;
        return paths;
    }
    TMessageHint *hint() const { return child<TMessageHint>("hintAlert"); }

    TScriptedServer server;
    QByteArray newsBaseUrl;
    QByteArray lastId;
    QByteArray type;
};

// Runs act once, as soon as the window's start-up poll waits for the news service (the
// service has the request and stalls); the check looks every 20 ms while the returned timer
// lives.
std::unique_ptr<QTimer> WhileThePollWaits(TNewsCheckFixture &f, std::function<void()> act)
{
    auto look = std::make_unique<QTimer>();
    look->setInterval(20);
    QObject::connect(look.get(), &QTimer::timeout, look.get(), [&f, timer = look.get(), act] {
        if (!f.frm || !HttpWaiting(f.frm->httpClient()) || f.server.requests().isEmpty())
            return;
        timer->stop();
        act();
    });
    look->start();
    return look;
}

} // namespace

class TestNewsCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup() { SetHttpTransferTimeout(30s); }
    void poll_alertsOnlyForANewerItem_data();
    void poll_alertsOnlyForANewerItem();
    void poll_serviceDown_stillRunsTheSilentUpdateCheck();
    void hostileNewsId_isNotStored_andTheNextStartShowsNothingInjected();
    void alert_pointsAtTheNewsButton_andClosesAtTheNextClickKeyOrWindow();
    void alert_updateQuestionWaitsUntilItCloses_data();
    void alert_updateQuestionWaitsUntilItCloses();
    void newsButton_showsTheWindowOrSaysThereIsNone_data();
    void newsButton_showsTheWindowOrSaysThereIsNone();
    void buttons_whileThePollWaits_areIgnored();
    void closingTheWindow_whileThePollWaits_endsItWithoutUpdateCheck();
    void updateButton_unsavedWork_closeQuestionDecidesTheUpdate_data();
    void updateButton_unsavedWork_closeQuestionDecidesTheUpdate();
};

void TestNewsCheck::initTestCase()
{
    if (!TPhpServer::phpAvailable())
        QFAIL("php is needed for the network tests (scripts/deps.sh installs php-cli)");
}

void TestNewsCheck::poll_alertsOnlyForANewerItem_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("alert");
    const QByteArray eight = "8^Item eight^May 2\xAF" "OK";
    const QString alertEight = QStringLiteral("You've Got A Message!\r\nItem eight");
    QTest::newRow("7 against 8") << QByteArray("7") << eight << alertEight;
    QTest::newRow("7 against 7") << QByteArray("7") << QByteArray("7^Item seven^May 1\xAF" "OK")
                                 << QString();
    QTest::newRow("nothing stored against 1")
        << QByteArray() << QByteArray("1^First^May 1\xAF" "OK")
        << QStringLiteral("You've Got A Message!\r\nFirst");
    QTest::newRow("damaged stored id against 8") << QByteArray("x7") << eight << alertEight;
    QTest::newRow("stored id beyond 32 bits against 8") << QByteArray("4294967303") << eight
                                                        << alertEight;
    // Ids that would read as 8 but could never be stored: opening them would not end the alert.
    QTest::newRow("latest id with a line break")
        << QByteArray("7") << QByteArray("8\r\n^Item eight^May 2\xAF" "OK") << QString();
    QTest::newRow("latest id with a blank") << QByteArray("7")
                                            << QByteArray("8 ^Item eight^May 2\xAF" "OK") << QString();
    QTest::newRow("latest id with a sign") << QByteArray("7")
                                           << QByteArray("+8^Item eight^May 2\xAF" "OK") << QString();
    QTest::newRow("latest id not a number") << QByteArray("7")
                                            << QByteArray("abc^Odd^May 1\xAF" "OK") << QString();
    QTest::newRow("long title without blanks: its first 200 characters")
        << QByteArray("7")
        << "8^" + QByteArray(200, 'W') + QByteArray(5000, 'x') + "^May 2\xAF" "OK"
        << QStringLiteral("You've Got A Message!\r\n") + QString(200, QLatin1Char('W'));
    QTest::newRow("no news") << QByteArray("7") << QByteArray("OK") << QString();
    QTest::newRow("error code") << QByteArray("7") << QByteArray("INVALIDUSER") << QString();
}

void TestNewsCheck::poll_alertsOnlyForANewerItem()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, reply);
    QFETCH(QString, alert);
    TNewsCheckFixture f(stored.isEmpty() ? QByteArray() : stored);
    QVERIFY(f.server.isRunning());
    f.server.reply(kLatest, reply);
    f.start();
    if (!alert.isEmpty()) {
        QTRY_VERIFY(f.hint()->isVisible());
        QTest::keyClick(f.frm.get(), Qt::Key_Shift); // the check waits for the alert to close
        QVERIFY(!f.hint()->isVisible());
        f.frm->newsCheck().ShowAlertHint(alert); // shown again, to read it
    }
    QTRY_VERIFY(f.updateCheckDone());

    const auto requests = f.server.requests();
    QCOMPARE(requests.first().path, QByteArray("/getlastnews.php"));
    QCOMPARE(requests.first().fields.value(3),
             (std::pair<QByteArray, QByteArray>("conttype", "lastcode")));
    QCOMPARE(f.hint()->isVisible(), !alert.isEmpty());
    if (!alert.isEmpty()) {
        QCOMPARE(f.hint()->text(), alert);
        QCOMPARE(f.hint()->accessibleName(), QString(alert).replace(QLatin1String("\r\n"),
                                                                     QLatin1String("\n")));
        // Wrapped to a balloon, however long its words.
        QVERIFY2(f.hint()->width() < 480, qPrintable(QString::number(f.hint()->width())));
    }
    QCOMPARE(f.messages(), QStringList());
    // The poll never stores an id.
    QCOMPARE(ReadLastNewsId(f.dir.path() + QLatin1Char('/')), stored);
}

void TestNewsCheck::poll_serviceDown_stillRunsTheSilentUpdateCheck()
{
    TNewsCheckFixture f;
    QVERIFY(f.server.isRunning());
    f.newsBaseUrl = UnreachableBaseUrl();
    f.server.putFile(kInfo, "[APPLICATION]\r\nVersion=2.1\r\n");
    f.frm.reset();
    f.start({QMessageBox::Cancel});
    QTRY_VERIFY(f.updateCheckDone());
    QTRY_COMPARE(f.messages().size(), 1);
    QVERIFY(f.messages().first().startsWith(QStringLiteral("There is a new update: (version 2.1)")));
    QVERIFY(!f.hint()->isVisible());
}

void TestNewsCheck::hostileNewsId_isNotStored_andTheNextStartShowsNothingInjected()
{
    // An id that closes the LastNewsId tag and writes tags of its own on lines of their own.
    const QByteArray hostileId = "9<%%/LastNewsId%%>\r\n"
                                 "<%%AppHelpURL%%>file:///C:/evil.exe<%%/AppHelpURL%%>\r\n"
                                 "<%%Welcome1%%>Injected page<%%/Welcome1%%>\r\n"
                                 "<%%LastNewsId%%>9";
    TNewsCheckFixture f("7");
    QVERIFY(f.server.isRunning());
    f.server.reply(kLatest, hostileId + "^Hostile^May 2\xAF" "OK");
    f.server.reply(kDetailsPath, "$3Cp$3EBody$3C/p$3E\xAF" "OK");
    f.start();
    QTRY_VERIFY(f.updateCheckDone());
    QVERIFY(!f.hint()->isVisible());
    const QByteArray settingsFile = f.readFile(QStringLiteral("dbsettings.dat"));

    // The user opens the item in the news window.
    QString body;
    TDialogScriptGuard script([&](QDialog &dialog) {
        dialog.show();
        auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("lvwItems"));
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        body = dialog.findChild<THtmlView *>(QStringLiteral("prfEditorNews"))->toPlainText();
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(f.child<QToolButton>("btnNews"), Qt::LeftButton);
    QCOMPARE(body, QStringLiteral("Body"));
    QCOMPARE(f.server.requests().last().path, QByteArray("/getnewsdetails.php"));
    QCOMPARE(f.readFile(QStringLiteral("dbsettings.dat")), settingsFile);

    // The next start.
    f.open();
    QVERIFY(!f.child<QWidget>("stsWelcome"));
    QVERIFY(f.frm->BrandingSettings().WelcomePages.isEmpty());
    QCOMPARE(f.frm->BrandingSettings().AppHelpURL, QByteArray());
    QCOMPARE(ReadLastNewsId(f.dir.path() + QLatin1Char('/')), QByteArray("7"));
}

void TestNewsCheck::alert_pointsAtTheNewsButton_andClosesAtTheNextClickKeyOrWindow()
{
    TNewsCheckFixture f;
    QVERIFY(f.server.isRunning());
    f.server.reply(kLatest, "8^Item eight^May 2\xAF" "OK");
    f.start();
    QTRY_VERIFY(f.hint()->isVisible());
    QTest::keyClick(f.frm.get(), Qt::Key_Shift);
    QTRY_VERIFY(f.updateCheckDone());
    auto *button = f.child<QToolButton>("btnNews");
    TMessageHint *hint = f.hint();
    QWidget other;
    for (const QString &closer : {QStringLiteral("click"), QStringLiteral("key"),
                                  QStringLiteral("other window")}) {
        f.frm->newsCheck().ShowAlertHint(QStringLiteral("You've Got A Message!\r\nItem eight"));
        QVERIFY(hint->isVisible());
        const QPoint centre = button->mapToGlobal(QPoint(button->width() / 2, button->height() / 2));
        QCOMPARE(hint->tipPoint(), centre);
        const QRect balloon = hint->frameGeometry();
        QCOMPARE(balloon.top(), centre.y());
        QVERIFY(balloon.left() < centre.x() && balloon.right() > centre.x());
        QVERIFY(balloon.center().x() < centre.x()); // the body lies to the left
        QVERIFY(balloon.height() > 2 * hint->fontMetrics().height()); // two lines of text
        QTest::qWait(50);
        QVERIFY2(hint->isVisible(), "nothing in the program closes the balloon");
        if (closer == QLatin1String("key")) {
            QTest::keyClick(f.frm.get(), Qt::Key_Shift);
        } else if (closer == QLatin1String("click")) {
            QTest::mouseClick(f.child<QWidget>("tvwMain"), Qt::LeftButton);
        } else {
            other.show();
            QApplication::setActiveWindow(&other);
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        QTRY_VERIFY2(!hint->isVisible(), qPrintable(closer));
    }
}

void TestNewsCheck::alert_updateQuestionWaitsUntilItCloses_data()
{
    QTest::addColumn<QString>("closer");
    QTest::newRow("click") << QStringLiteral("click");
    QTest::newRow("key") << QStringLiteral("key");
    QTest::newRow("time limit") << QStringLiteral("time limit");
}

void TestNewsCheck::alert_updateQuestionWaitsUntilItCloses()
{
    QFETCH(QString, closer);
    TNewsCheckFixture f;
    QVERIFY(f.server.isRunning());
    f.server.reply(kLatest, "8^Item eight^May 2\xAF" "OK");
    f.server.putFile(kInfo, "[APPLICATION]\r\nVersion=2.1\r\n");
    TfrmMain &frm = f.start({QMessageBox::Cancel});
    const bool timeLimit = closer == QLatin1String("time limit");
    frm.newsCheck().setAlertWait(timeLimit ? 1500ms : 60s);
    QTRY_VERIFY(f.hint()->isVisible());

    // The alert stays; the check has not even asked yet.
    QTest::qWait(300);
    QVERIFY(f.hint()->isVisible());
    QVERIFY(frm.newsCheck().updateCheckWaits());
    QCOMPARE(f.messages(), QStringList());
    QCOMPARE(f.updateInfoRequests(), 0);

    if (closer == QLatin1String("click"))
        QTest::mouseClick(f.child<QWidget>("tvwMain"), Qt::LeftButton);
    else if (closer == QLatin1String("key"))
        QTest::keyClick(f.frm.get(), Qt::Key_Shift);
    QTRY_COMPARE(f.messages(), QStringList{NewUpdateQuestion("2.1")});
    QVERIFY(!f.hint()->isVisible());
    QVERIFY(!frm.newsCheck().updateCheckWaits());
    // Once: the alert shown and closed again starts no second check.
    frm.newsCheck().ShowAlertHint(QStringLiteral("again"));
    QTest::keyClick(f.frm.get(), Qt::Key_Shift);
    QTest::qWait(100);
    QCOMPARE(f.updateInfoRequests(), 1);
}

void TestNewsCheck::newsButton_showsTheWindowOrSaysThereIsNone_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("two items") << QByteArray("Master")
                               << QByteArray("8^Item eight^May 2\xAF" "7^Item seven^May 1\xAF" "OK")
                               << QStringList{QStringLiteral("Item eight"), QStringLiteral("Item seven")}
                               << QStringList();
    QTest::newRow("OK alone") << QByteArray("Master") << QByteArray("OK") << QStringList()
                              << QStringList{kNoNews};
    QTest::newRow("failure gives two boxes")
        << QByteArray("Master") << QByteArray("INVALIDPRODUCT") << QStringList()
        << QStringList{QStringLiteral("There is a trouble with the product validation. Contact "
                                      "your provider."),
                       kNoNews};
    QTest::newRow("Gold without its ID asks nothing") << QByteArray("Gold") << QByteArray("OK")
                                                      << QStringList() << QStringList{kNoNews};
    QTest::newRow("Free asks nothing") << QByteArray("Free") << QByteArray("OK") << QStringList()
                                       << QStringList{kNoNews};
}

void TestNewsCheck::newsButton_showsTheWindowOrSaysThereIsNone()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, rows);
    TNewsCheckFixture f("7", type);
    QVERIFY(f.server.isRunning());
    f.server.reply(kLatest, reply);
    f.start();
    // A newer item raises the alert, and the update check waits until it is closed.
    QTRY_VERIFY(f.hint()->isVisible() || f.updateCheckDone());
    if (f.hint()->isVisible())
        QTest::keyClick(f.frm.get(), Qt::Key_Shift);
    QTRY_VERIFY(f.updateCheckDone());
    const qsizetype before = f.server.requests().size();

    QStringList shownRows;
    bool shown = false;
    TDialogScriptGuard script([&](QDialog &dialog) {
        shown = true;
        dialog.show(); // the list is filled when the window shows
        auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("lvwItems"));
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            shownRows << list->topLevelItem(i)->text(0);
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(f.child<QToolButton>("btnNews"), Qt::LeftButton);
    QCOMPARE(shown, !rows.isEmpty());
    QCOMPARE(shownRows, rows);
    QTEST(f.messages(), "messages");
    const auto requests = f.server.requests();
    const bool sent = type == "Master";
    QCOMPARE(requests.size(), before + (sent ? 1 : 0));
    if (sent)
        QCOMPARE(requests.last().fields.value(3),
                 (std::pair<QByteArray, QByteArray>("conttype", "all")));
    QCOMPARE(f.frm->newsItems().size(), rows.size());
}

void TestNewsCheck::buttons_whileThePollWaits_areIgnored()
{
    TNewsCheckFixture f;
    QVERIFY(f.server.isRunning());
    f.server.stall(kLatest, 1);
    f.server.reply(kLatest, "OK");
    bool clicked = false;
    // Runs inside the poll's wait.
    const auto waiting = WhileThePollWaits(f, [&] {
        QTest::mouseClick(f.child<QToolButton>("btnNews"), Qt::LeftButton);
        QTest::mouseClick(f.child<QToolButton>("btnUpdate"), Qt::LeftButton);
        clicked = true;
    });
    f.start();
    QTRY_VERIFY(f.updateCheckDone());
    QVERIFY(clicked);
    QCOMPARE(f.requestedPaths(),
             (QList<QByteArray>{"/getlastnews.php", "/liveupdate/project_zelvo/mainappupdate.inf"}));
    QCOMPARE(f.messages(), QStringList());
}

void TestNewsCheck::closingTheWindow_whileThePollWaits_endsItWithoutUpdateCheck()
{
    TNewsCheckFixture f;
    QVERIFY(f.server.isRunning());
    f.server.stall(kLatest, 5);
    f.server.reply(kLatest, "8^Item eight^May 2\xAF" "OK");
    QElapsedTimer clock;
    const auto waiting = WhileThePollWaits(f, [&] {
        clock.start();
        f.frm->close();
    });
    f.start();
    QTRY_VERIFY(clock.isValid() && !HttpWaiting(f.frm->httpClient()));
    QVERIFY(clock.elapsed() < 4000);
    QTest::qWait(200);
    QVERIFY(!f.frm->isVisible());
    QCOMPARE(f.requestedPaths(), QList<QByteArray>{"/getlastnews.php"});
    QVERIFY(!f.hint()->isVisible());
    QCOMPARE(f.messages(), QStringList());
}

void TestNewsCheck::updateButton_unsavedWork_closeQuestionDecidesTheUpdate_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("closeAnswer");
    QTest::addColumn<bool>("updated");
    QTest::newRow("Cancel keeps the program and its work") << QMessageBox::Cancel << false;
    QTest::newRow("Discard closes and updates") << QMessageBox::Discard << true;
}

void TestNewsCheck::updateButton_unsavedWork_closeQuestionDecidesTheUpdate()
{
    QFETCH(QMessageBox::StandardButton, closeAnswer);
    QFETCH(bool, updated);
    TNewsCheckFixture f;
    QVERIFY(f.server.isRunning());
    f.server.reply(kLatest, "OK");
    f.start();
    QTRY_VERIFY(f.updateCheckDone());
    f.server.putFile(kInfo, "[APPLICATION]\r\nVersion=2.1\r\n");
    f.writeFile(kUpdaterFileName, QByteArray());
    TRecordingPlatform platform;
    f.frm->setModified(true);
    f.frm->msgMain().scriptAnswers({QMessageBox::Ok, QMessageBox::Ok, closeAnswer});
    QTest::mouseClick(f.child<QToolButton>("btnUpdate"), Qt::LeftButton);
    QCOMPARE(f.messages().size(), 3);
    QCOMPARE(f.messages().last(), QStringLiteral("Save changes before closing?"));
    QCOMPARE(f.frm->isVisible(), !updated);
    QCOMPARE(platform.calls,
             updated ? QStringList{QStringLiteral("shellOpen(%1, %2 2.0 A)")
                                       .arg(f.path(kUpdaterFileName),
                                            f.server.url(QStringLiteral("liveupdate/project_zelvo/")))}
                     : QStringList());
}

QTEST_MAIN(TestNewsCheck)
#include "tst_newscheck.moc"
