#include "online/NewsProtocol.h"

#include <QTest>

using ByteList = QList<QByteArray>;

class TestNewsProtocol : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scriptUrl_data();
    void scriptUrl();
    void levelInUse_data();
    void levelInUse();
    void classify_data();
    void classify();
    void listReply_data();
    void listReply();
    void latestReply_data();
    void latestReply();
    void detailsReply_data();
    void detailsReply();
};

void TestNewsProtocol::scriptUrl_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("base with slash") << QByteArray("http://news.example.com/")
                                     << QByteArray("http://news.example.com/getlastnews.php");
    QTest::newRow("base without slash") << QByteArray("http://news.example.com")
                                        << QByteArray("http://news.example.com/getlastnews.php");
    QTest::newRow("folder without slash")
        << QByteArray("http://example.com/news") << QByteArray("http://example.com/news/getlastnews.php");
    QTest::newRow("two slashes kept") << QByteArray("http://example.com/news//")
                                      << QByteArray("http://example.com/news//getlastnews.php");
    QTest::newRow("empty base gives a bare path") << QByteArray() << QByteArray("/getlastnews.php");
}

void TestNewsProtocol::scriptUrl()
{
    QFETCH(QByteArray, base);
    QFETCH(QByteArray, url);
    QCOMPARE(NewsScriptUrl(base, kLatestNewsScript), url);
}

void TestNewsProtocol::levelInUse_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("prodtype");
    QTest::addColumn<QByteArray>("publisherId");
    QTest::addColumn<QByteArray>("baseUrl");
    QTest::newRow("Master") << QByteArray("Master") << true << QByteArray("BM") << QByteArray("m-id")
                            << QByteArray("http://m/");
    QTest::newRow("Platinum") << QByteArray("Platinum") << true << QByteArray("BP")
                              << QByteArray("p-id") << QByteArray("http://p/");
    QTest::newRow("Gold without its ID") << QByteArray("Gold") << false << QByteArray()
                                         << QByteArray() << QByteArray();
    QTest::newRow("level names keep their case") << QByteArray("master") << false << QByteArray()
                                                 << QByteArray() << QByteArray();
    QTest::newRow("Free has no request") << QByteArray("Free") << false << QByteArray()
                                         << QByteArray() << QByteArray();
    QTest::newRow("line break after the name") << QByteArray("Master\r\n") << false
                                               << QByteArray() << QByteArray() << QByteArray();
}

void TestNewsProtocol::levelInUse()
{
    QFETCH(QByteArray, type);
    QFETCH(bool, found);
    TBrandingSettings settings;
    settings.BranderType = type;
    settings.MasterNewsBaseURL = "http://m/";
    settings.PlatinumNewsBaseURL = "http://p/";
    settings.GoldNewsBaseURL = "http://g/";
    settings.MasterPublID = "m-id";
    settings.PlatinumPublID = "p-id";
    const auto level = NewsLevelInUse(settings);
    QCOMPARE(level.has_value(), found);
    if (found) {
        QTEST(level->prodtype, "prodtype");
        QTEST(level->publisherId, "publisherId");
        QTEST(level->baseUrl, "baseUrl");
    }
}

void TestNewsProtocol::classify_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<TNewsReply>("kind");
    QTest::newRow("empty") << QByteArray() << TNewsReply::Empty;
    QTest::newRow("only blanks and controls") << QByteArray(" \r\n\t\x01") << TNewsReply::Empty;
    QTest::newRow("OK alone") << QByteArray("OK") << TNewsReply::Success;
    QTest::newRow("OK inside a title") << QByteArray("5^BOOK SALE^today") << TNewsReply::Success;
    QTest::newRow("ok in lower case") << QByteArray("ok") << TNewsReply::Unknown;
    QTest::newRow("CONNECTIONFAIL with a line break")
        << QByteArray("CONNECTIONFAIL\r\n") << TNewsReply::ConnectionFail;
    QTest::newRow("INVALIDUSER after blanks") << QByteArray("  INVALIDUSER") << TNewsReply::InvalidUser;
    QTest::newRow("INVALIDPRODUCT") << QByteArray("INVALIDPRODUCT") << TNewsReply::InvalidProduct;
    QTest::newRow("INVALIDNEWS") << QByteArray("INVALIDNEWS") << TNewsReply::InvalidNews;
    QTest::newRow("a code with more text") << QByteArray("INVALIDUSER!") << TNewsReply::Unknown;
    QTest::newRow("a record without OK") << QByteArray("5^Title^today") << TNewsReply::Unknown;
}

void TestNewsProtocol::classify()
{
    QFETCH(QByteArray, reply);
    QTEST(ClassifyReply(TrimReply(reply)), "kind");
}

void TestNewsProtocol::listReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<ByteList>("records");
    QTest::newRow("OK alone") << QByteArray("OK") << ByteList{};
    QTest::newRow("two records") << QByteArray("2^B^d2\xAF" "1^A^d1\xAF" "OK")
                                 << ByteList{"2^B^d2", "1^A^d1"};
    QTest::newRow("an empty piece is skipped") << QByteArray("2^B^d2\xAF\xAF" "1^A^d1\xAF" "OK")
                                               << ByteList{"2^B^d2", "1^A^d1"};
    QTest::newRow("a title holding OK stays") << QByteArray("3^OK Computer^d\xAF" "OK")
                                              << ByteList{"3^OK Computer^d"};
}

void TestNewsProtocol::listReply()
{
    QFETCH(QByteArray, reply);
    QTEST(ReadNewsListReply(reply), "records");
}

void TestNewsProtocol::latestReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("title");
    QTest::newRow("one record") << QByteArray("12^Spring offer^May 1\xAF" "OK") << QByteArray("12")
                                << QByteArray("Spring offer");
    QTest::newRow("no news") << QByteArray("OK") << QByteArray() << QByteArray();
    QTest::newRow("title holding OK") << QByteArray("4^BOOK^d\xAF" "OK") << QByteArray("4")
                                      << QByteArray("BOOK");
    QTest::newRow("id only") << QByteArray("9\xAF" "OK") << QByteArray("9") << QByteArray();
}

void TestNewsProtocol::latestReply()
{
    QFETCH(QByteArray, reply);
    const TLatestNews latest = ReadLatestNewsReply(reply);
    QTEST(latest.id, "id");
    QTEST(latest.title, "title");
}

void TestNewsProtocol::detailsReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("brackets escaped") << QByteArray("$3Cb$3Ehi$3C/b$3E\xAF" "OK")
                                      << QByteArray("<b>hi</b>");
    QTest::newRow("dollar and separator travel escaped")
        << QByteArray("5 $24 $AF\xAF" "OK") << QByteArray("5 $ \xAF");
    QTest::newRow("plain body") << QByteArray("<p>x</p>\xAF" "OK") << QByteArray("<p>x</p>");
}

void TestNewsProtocol::detailsReply()
{
    QFETCH(QByteArray, reply);
    QTEST(ReadNewsDetailsReply(reply), "body");
}

QTEST_GUILESS_MAIN(TestNewsProtocol)
#include "tst_newsprotocol.moc"
