#include "common/DrippingServer.h"
#include "online/HttpExchange.h"
#include "online/NewsService.h"
#include "online_support.h"
#include "toolkit/MessageBox.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;
using ByteList = QList<QByteArray>;

namespace {

const QString kTrouble =
    QStringLiteral("There is a trouble accessing the news site. Contact your provider.");

// The news service on a fresh client, with scripted message boxes.
struct TNewsFixture {
    explicit TNewsFixture(const TBrandingSettings &brand) : settings(brand)
    {
        msgMain.setScripted(true);
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &shown : msgMain.log()) {
            texts << shown.text;
            if (shown.kind != QMessageBox::Warning || shown.buttons != QMessageBox::Ok)
                texts << QStringLiteral("(not a warning with OK)");
        }
        return texts;
    }

    QNetworkAccessManager http;
    TMessageBox msgMain;
    TBrandingSettings settings;
    TNewsService service{http, msgMain, settings};
};

enum class Operation { List, Latest, Details };

// Runs one operation; the result records are the list entries, the id and title, or the body.
bool Run(TNewsFixture &f, Operation operation, ByteList &results)
{
    bool ok = false;
    if (operation == Operation::List) {
        results = {"earlier entry"};
        ok = f.service.FetchNewsList("1", "ZELVODEMO", "BM", "UA", results);
    } else if (operation == Operation::Latest) {
        QByteArray id = "stale", title;
        ok = f.service.FetchLatestNews("1", "ZELVODEMO", "BM", "UA", id, title);
        results = {id, title};
    } else {
        QByteArray body = "stale";
        ok = f.service.FetchNewsDetails("1", "ZELVODEMO", "BM", "UA", "2", body);
        results = {body};
    }
    return ok;
}

} // namespace

class TestNewsService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void requestFields_asTheServerParsesThem_data();
    void requestFields_asTheServerParsesThem();
    void scriptUrl_withAndWithoutSlash_reachTheScript_data();
    void scriptUrl_withAndWithoutSlash_reachTheScript();
    void replies_giveResultAndMessagePerOperation_data();
    void replies_giveResultAndMessagePerOperation();
    void transportFailures_countAsEmptyReply_data();
    void transportFailures_countAsEmptyReply();
    void largestReply_isAccepted();
    void stallingServer_timesOut();
    void drippingServer_isGivenUpAtTheDeadline_data();
    void drippingServer_isGivenUpAtTheDeadline();
    void redirect_isFollowed();
    void cookies_areKept();
    void secondRequest_whileOneWaits_isNotSent();
    void cancel_endsTheWaitWithoutMessage();
    void referenceService_answersTheSampleNews();
    void referenceService_refusesAndReports_data();
    void referenceService_refusesAndReports();
};

void TestNewsService::initTestCase()
{
    if (!TPhpServer::phpAvailable())
        QFAIL("php is needed for the network tests (scripts/deps.sh installs php-cli)");
}

void TestNewsService::cleanup()
{
    SetHttpTransferTimeout(30s);
    SetHttpDeadline(THttpPurpose::News, 60s);
}

void TestNewsService::requestFields_asTheServerParsesThem_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("ownName");
    QTest::addColumn<QByteArray>("ownValue");
    QTest::newRow("list") << int(Operation::List) << QByteArray("/getlastnews.php")
                          << QByteArray("conttype") << QByteArray("all");
    QTest::newRow("latest") << int(Operation::Latest) << QByteArray("/getlastnews.php")
                            << QByteArray("conttype") << QByteArray("lastcode");
    QTest::newRow("details") << int(Operation::Details) << QByteArray("/getnewsdetails.php")
                             << QByteArray("newsid") << QByteArray("2");
}

void TestNewsService::requestFields_asTheServerParsesThem()
{
    QFETCH(int, operation);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, ownName);
    QFETCH(QByteArray, ownValue);
    TScriptedServer server;
    QVERIFY(server.isRunning());
    TNewsFixture f(MasterBrand(server.baseUrl()));
    ByteList results;
    Run(f, Operation(operation), results);

    const auto requests = server.requests();
    QCOMPARE(requests.size(), 1);
    const TLoggedRequest &request = requests.first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, path);
    const QList<std::pair<QByteArray, QByteArray>> expected = {
        {"memusername", "1"}, {"prodcode", "ZELVODEMO"}, {"prodtype", "BM"},
        {ownName, ownValue},  {"newstarget", "UA"},      {"something", ""},
    };
    QCOMPARE(request.fields, expected);
    QVERIFY(request.contentType.startsWith("multipart/form-data; boundary="));
    QCOMPARE(request.userAgent, QByteArray("Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)"));
    QCOMPARE(request.accept, QByteArray("text/html, */*"));
}

void TestNewsService::scriptUrl_withAndWithoutSlash_reachTheScript_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("with slash") << QStringLiteral("news/");
    QTest::newRow("without slash") << QStringLiteral("news");
}

void TestNewsService::scriptUrl_withAndWithoutSlash_reachTheScript()
{
    QFETCH(QString, suffix);
    TScriptedServer server;
    QVERIFY(server.isRunning());
    server.reply(QStringLiteral("/news/getlastnews.php"), "7^Seven^today\xAF" "OK");
    TNewsFixture f(MasterBrand(server.url(suffix).toLatin1()));
    QByteArray id, title;
    QVERIFY(f.service.FetchLatestNews("1", "ZELVODEMO", "BM", "UA", id, title));
    QCOMPARE(id, QByteArray("7"));
    QCOMPARE(server.requests().first().path, QByteArray("/news/getlastnews.php"));
}

void TestNewsService::replies_giveResultAndMessagePerOperation_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<ByteList>("results");
    QTest::addColumn<QStringList>("messages");

    const QString settingsTrouble =
        QStringLiteral("There is a trouble in the settings file on the news site.");
    const QString userTrouble =
        QStringLiteral("There is a trouble with the Publisher Id. Contact your provider.");
    const QString productTrouble =
        QStringLiteral("There is a trouble with the product validation. Contact your provider.");
    const QString newsTrouble =
        QStringLiteral("There is a trouble with this news. Contact your provider.");
    const int list = int(Operation::List), latest = int(Operation::Latest),
              details = int(Operation::Details);
    const ByteList untouchedList{"earlier entry"};
    const ByteList noLatest{"", ""};
    const ByteList noBody{""};

    QTest::newRow("list: two records")
        << list << QByteArray("2^Second^d2\xAF" "1^First^d1\xAF" "OK") << true
        << ByteList{"earlier entry", "2^Second^d2", "1^First^d1"} << QStringList();
    QTest::newRow("list: empty piece skipped")
        << list << QByteArray("2^Second^d2\xAF\xAF" "1^First^d1\xAF" "OK") << true
        << ByteList{"earlier entry", "2^Second^d2", "1^First^d1"} << QStringList();
    QTest::newRow("list: OK alone") << list << QByteArray("OK") << true << untouchedList
                                    << QStringList();
    QTest::newRow("list: title holding OK")
        << list << QByteArray("3^OK Corral^d3") << true
        << ByteList{"earlier entry", "3^OK Corral^d3"} << QStringList();
    QTest::newRow("list: one record without OK")
        << list << QByteArray("3^Third^d3") << false << untouchedList << QStringList();
    QTest::newRow("list: empty") << list << QByteArray() << false << untouchedList
                                 << QStringList{kTrouble};
    QTest::newRow("list: CONNECTIONFAIL and a line break")
        << list << QByteArray("CONNECTIONFAIL\r\n") << false << untouchedList
        << QStringList{settingsTrouble};
    QTest::newRow("list: INVALIDUSER") << list << QByteArray("INVALIDUSER") << false
                                       << untouchedList << QStringList{userTrouble};
    QTest::newRow("list: INVALIDPRODUCT") << list << QByteArray("INVALIDPRODUCT") << false
                                          << untouchedList << QStringList{productTrouble};
    QTest::newRow("list: INVALIDNEWS is not its code")
        << list << QByteArray("INVALIDNEWS") << false << untouchedList << QStringList();

    QTest::newRow("latest: one record") << latest << QByteArray("12^Twelve^May 1\xAF" "OK")
                                        << true << ByteList{"12", "Twelve"} << QStringList();
    QTest::newRow("latest: OK alone") << latest << QByteArray("OK") << true << noLatest
                                      << QStringList();
    const QByteArray longTitle = QByteArray(200, 'T') + QByteArray(5000, 'x');
    QTest::newRow("latest: long title cut to 200 characters")
        << latest << "13^" + longTitle + "^May 2\xAF" "OK" << true
        << ByteList{"13", QByteArray(200, 'T')} << QStringList();
    for (const char *code : {"", "CONNECTIONFAIL", "INVALIDUSER", "INVALIDPRODUCT",
                             "INVALIDNEWS", "garbage"})
        QTest::addRow("latest: '%s' is silent", code)
            << latest << QByteArray(code) << false << noLatest << QStringList();

    QTest::newRow("details: escaped brackets")
        << details << QByteArray("$3Ch1$3ENews$3C/h1$3E\xAF" "OK") << true
        << ByteList{"<h1>News</h1>"} << QStringList();
    QTest::newRow("details: empty") << details << QByteArray() << false << noBody
                                    << QStringList{kTrouble};
    QTest::newRow("details: CONNECTIONFAIL") << details << QByteArray("CONNECTIONFAIL") << false
                                             << noBody << QStringList{settingsTrouble};
    QTest::newRow("details: INVALIDUSER") << details << QByteArray("INVALIDUSER") << false
                                          << noBody << QStringList{userTrouble};
    QTest::newRow("details: INVALIDPRODUCT") << details << QByteArray("INVALIDPRODUCT") << false
                                             << noBody << QStringList{productTrouble};
    QTest::newRow("details: INVALIDNEWS") << details << QByteArray("INVALIDNEWS") << false
                                          << noBody << QStringList{newsTrouble};
    QTest::newRow("details: unknown text") << details << QByteArray("<html>500</html>") << false
                                           << noBody << QStringList();
}

void TestNewsService::replies_giveResultAndMessagePerOperation()
{
    QFETCH(int, operation);
    QFETCH(QByteArray, reply);
    TScriptedServer server;
    QVERIFY(server.isRunning());
    const QString path = Operation(operation) == Operation::Details
                             ? QStringLiteral("/getnewsdetails.php")
                             : QStringLiteral("/getlastnews.php");
    server.reply(path, reply);
    TNewsFixture f(MasterBrand(server.baseUrl()));
    ByteList results;
    QTEST(Run(f, Operation(operation), results), "ok");
    QTEST(results, "results");
    QTEST(f.messages(), "messages");
}

void TestNewsService::transportFailures_countAsEmptyReply_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QStringList>("messages");
    for (const QString &failure : {QStringLiteral("unreachable"), QStringLiteral("404"),
                                  QStringLiteral("500 with OK"), QStringLiteral("too large"),
                                  QStringLiteral("empty base"),
                                  QStringLiteral("file scheme")}) {
        QTest::addRow("list, %s", qPrintable(failure))
            << int(Operation::List) << failure << QStringList{kTrouble};
        QTest::addRow("latest, %s", qPrintable(failure))
            << int(Operation::Latest) << failure << QStringList();
        QTest::addRow("details, %s", qPrintable(failure))
            << int(Operation::Details) << failure << QStringList{kTrouble};
    }
}

void TestNewsService::transportFailures_countAsEmptyReply()
{
    QFETCH(int, operation);
    QFETCH(QString, failure);
    TScriptedServer server;
    QVERIFY(server.isRunning());
    QByteArray base = server.baseUrl();
    if (failure == QLatin1String("unreachable"))
        base = UnreachableBaseUrl();
    else if (failure == QLatin1String("404"))
        base += "missing/";
    else if (failure == QLatin1String("empty base"))
        base.clear();
    else if (failure == QLatin1String("file scheme"))
        base = QUrl::fromLocalFile(PublisherDir() + QLatin1Char('/')).toEncoded();
    for (const QString &script : {QStringLiteral("/getlastnews.php"),
                                  QStringLiteral("/getnewsdetails.php")}) {
        if (failure == QLatin1String("too large"))
            server.sizedReply(script, kMaxReplyBytes + 1);
        else
            server.reply(script, "1^One^d\xAF" "OK", 500);
    }

    TNewsFixture f(MasterBrand(base));
    ByteList results;
    QVERIFY(!Run(f, Operation(operation), results));
    QTEST(f.messages(), "messages");
}

void TestNewsService::largestReply_isAccepted()
{
    TScriptedServer server;
    QVERIFY(server.isRunning());
    server.sizedReply(QStringLiteral("/getlastnews.php"), kMaxReplyBytes);
    TNewsFixture f(MasterBrand(server.baseUrl()));
    ByteList results;
    QVERIFY(Run(f, Operation::List, results));
    QCOMPARE(results.size(), 2);
    QCOMPARE(results.last().size(), kMaxReplyBytes);
}

void TestNewsService::stallingServer_timesOut()
{
    TScriptedServer server;
    QVERIFY(server.isRunning());
    server.stall(QStringLiteral("/getlastnews.php"), 5);
    server.reply(QStringLiteral("/getlastnews.php"), "OK");
    SetHttpTransferTimeout(1s);
    TNewsFixture f(MasterBrand(server.baseUrl()));
    QElapsedTimer clock;
    clock.start();
    ByteList results;
    QVERIFY(!Run(f, Operation::List, results));
    QVERIFY2(clock.elapsed() < 4000, "the stalled request was not cut off");
    QCOMPARE(f.messages(), QStringList{kTrouble});
}

void TestNewsService::drippingServer_isGivenUpAtTheDeadline_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("list") << int(Operation::List) << QStringList{kTrouble};
    QTest::newRow("latest, silent") << int(Operation::Latest) << QStringList();
    QTest::newRow("details") << int(Operation::Details) << QStringList{kTrouble};
}

// A byte every 200 ms never trips the inactivity limit; only the overall deadline ends it,
// long before the announced body would be complete.
void TestNewsService::drippingServer_isGivenUpAtTheDeadline()
{
    QFETCH(int, operation);
    TDrippingServer server(200ms);
    QVERIFY(server.isRunning());
    SetHttpDeadline(THttpPurpose::News, 1500ms);
    TNewsFixture f(MasterBrand(server.baseUrl()));
    QElapsedTimer clock;
    clock.start();
    ByteList results;
    QVERIFY(!Run(f, Operation(operation), results));
    // Not cut off for another reason before its deadline (timers may fire a little early).
    QVERIFY2(clock.elapsed() >= 1000, "the request ended long before its deadline");
    QVERIFY2(clock.elapsed() < 20000, "the dripping request was not given up");
    QTRY_COMPARE(server.closedByClient(), 1);
    QVERIFY(server.dripped() >= 3);
    QTEST(f.messages(), "messages");
}

void TestNewsService::redirect_isFollowed()
{
    TScriptedServer server;
    QVERIFY(server.isRunning());
    // 307 keeps the method and the body.
    server.redirect(QStringLiteral("/old/getlastnews.php"), server.url(QStringLiteral("new/getlastnews.php")), 307);
    server.reply(QStringLiteral("/new/getlastnews.php"), "5^Moved^d\xAF" "OK");
    TNewsFixture f(MasterBrand(server.url(QStringLiteral("old")).toLatin1()));
    QByteArray id, title;
    QVERIFY(f.service.FetchLatestNews("1", "ZELVODEMO", "BM", "UA", id, title));
    QCOMPARE(title, QByteArray("Moved"));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.last().fields.size(), 6);
}

void TestNewsService::cookies_areKept()
{
    TScriptedServer server;
    QVERIFY(server.isRunning());
    server.reply(QStringLiteral("/getlastnews.php"), "OK");
    server.setCookie(QStringLiteral("/getlastnews.php"), "session=abc; Path=/");
    TNewsFixture f(MasterBrand(server.baseUrl()));
    ByteList results;
    QVERIFY(Run(f, Operation::List, results));
    QVERIFY(Run(f, Operation::List, results));
    QCOMPARE(server.requests().last().cookie, QByteArray("session=abc"));
}

void TestNewsService::secondRequest_whileOneWaits_isNotSent()
{
    TScriptedServer server;
    QVERIFY(server.isRunning());
    server.stall(QStringLiteral("/getlastnews.php"), 1);
    server.reply(QStringLiteral("/getlastnews.php"), "OK");
    server.reply(QStringLiteral("/getnewsdetails.php"), "body\xAF" "OK");
    TNewsFixture f(MasterBrand(server.baseUrl()));
    bool innerRan = false;
    bool innerOk = true;
    QTimer::singleShot(200, [&] {
        innerRan = true;
        QVERIFY(HttpWaiting(f.http));
        ByteList inner;
        innerOk = Run(f, Operation::Details, inner);
    });
    ByteList results;
    QVERIFY(Run(f, Operation::List, results));
    QVERIFY(innerRan);
    QVERIFY(!innerOk);
    QCOMPARE(f.messages(), QStringList());
    QCOMPARE(server.requests().size(), 1);
}

void TestNewsService::cancel_endsTheWaitWithoutMessage()
{
    TScriptedServer server;
    QVERIFY(server.isRunning());
    server.stall(QStringLiteral("/getnewsdetails.php"), 5);
    server.reply(QStringLiteral("/getnewsdetails.php"), "body\xAF" "OK");
    TNewsFixture f(MasterBrand(server.baseUrl()));
    QTimer::singleShot(200, [&] { CancelHttpWaiting(f.http); });
    QElapsedTimer clock;
    clock.start();
    ByteList results;
    QVERIFY(!Run(f, Operation::Details, results));
    QVERIFY(clock.elapsed() < 4000);
    QCOMPARE(f.messages(), QStringList());
    QVERIFY(!HttpWaiting(f.http));
}

void TestNewsService::referenceService_answersTheSampleNews()
{
    TReferenceService service;
    QVERIFY(service.isRunning());
    TNewsFixture f(MasterBrand(service.baseUrl()));

    ByteList items;
    QVERIFY(f.service.FetchNewsList("1", "ZELVODEMO", "BM", "UA", items));
    QCOMPARE(items.size(), 2);
    QVERIFY(items[0].startsWith("2^Ten minutes a day: planning a product launch^"));
    QVERIFY(items[1].startsWith("1^Welcome to Project Zelvo^"));

    QByteArray id, title;
    QVERIFY(f.service.FetchLatestNews("1", "ZELVODEMO", "BM", "UA", id, title));
    QCOMPARE(id, QByteArray("2"));
    QCOMPARE(title, QByteArray("Ten minutes a day: planning a product launch"));

    QByteArray body;
    QVERIFY(f.service.FetchNewsDetails("1", "ZELVODEMO", "BM", "UA", "2", body));
    QVERIFY(body.startsWith("<h2>Ten minutes a day"));
    QVERIFY(body.contains("are in $ and &euro;"));
    QCOMPARE(f.messages(), QStringList());
}

void TestNewsService::referenceService_refusesAndReports_data()
{
    QTest::addColumn<QByteArray>("newsFile");
    QTest::addColumn<QByteArray>("publisherId");
    QTest::addColumn<QByteArray>("brandCode");
    QTest::addColumn<QByteArray>("prodtype");
    QTest::addColumn<QByteArray>("newsId");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown publisher") << QByteArray() << QByteArray("2") << QByteArray("ZELVODEMO")
                                       << QByteArray("BM") << QByteArray("1")
                                       << QStringLiteral("There is a trouble with the Publisher Id. Contact your provider.");
    QTest::newRow("unknown brand") << QByteArray() << QByteArray("1") << QByteArray("OTHER")
                                   << QByteArray("BM") << QByteArray("1")
                                   << QStringLiteral("There is a trouble with the product validation. Contact your provider.");
    QTest::newRow("level not sold") << QByteArray() << QByteArray("1") << QByteArray("ZELVODEMO")
                                    << QByteArray("BG") << QByteArray("1")
                                    << QStringLiteral("There is a trouble with the product validation. Contact your provider.");
    QTest::newRow("unknown item") << QByteArray() << QByteArray("1") << QByteArray("ZELVODEMO")
                                  << QByteArray("BM") << QByteArray("99")
                                  << QStringLiteral("There is a trouble with this news. Contact your provider.");
    QTest::newRow("broken news file") << QByteArray("<?php return 'oops';") << QByteArray("1")
                                      << QByteArray("ZELVODEMO") << QByteArray("BM") << QByteArray("1")
                                      << QStringLiteral("There is a trouble in the settings file on the news site.");
}

void TestNewsService::referenceService_refusesAndReports()
{
    QFETCH(QByteArray, newsFile);
    QFETCH(QByteArray, publisherId);
    QFETCH(QByteArray, brandCode);
    QFETCH(QByteArray, prodtype);
    QFETCH(QByteArray, newsId);
    QFETCH(QString, message);
    TReferenceService service(newsFile);
    QVERIFY(service.isRunning());
    TBrandingSettings settings = MasterBrand(service.baseUrl());
    settings.GoldNewsBaseURL = settings.MasterNewsBaseURL;
    TNewsFixture f(settings);
    QByteArray body;
    QVERIFY(!f.service.FetchNewsDetails(publisherId, brandCode, prodtype, "UA", newsId, body));
    QCOMPARE(f.messages(), QStringList{message});
}

QTEST_GUILESS_MAIN(TestNewsService)
#include "tst_newsservice.moc"
