#include "settings_support.h"
#include "util/BrandingSettings.h"
#include "util/SettingsCipher.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using ByteList = QList<QByteArray>;

namespace {

QByteArray Tagged(const QByteArray &name, const QByteArray &value)
{
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>";
}

// The value of a field of the settings by its name.
QByteArray Field(const TBrandingSettings &s, const QByteArray &name)
{
    static const QMap<QByteArray, QByteArray TBrandingSettings::*> fields{
        {"ApplicationName", &TBrandingSettings::ApplicationName},
        {"BranderCode", &TBrandingSettings::BranderCode},
        {"BranderType", &TBrandingSettings::BranderType},
        {"AffiliateURL", &TBrandingSettings::AffiliateURL},
        {"AffiliateTYPE", &TBrandingSettings::AffiliateTYPE},
        {"AffiliateID", &TBrandingSettings::AffiliateID},
        {"MasterNewsBaseURL", &TBrandingSettings::MasterNewsBaseURL},
        {"MasterPublID", &TBrandingSettings::MasterPublID},
        {"MakeMoneyButton", &TBrandingSettings::MakeMoneyButton},
        {"AppHelpURL", &TBrandingSettings::AppHelpURL},
        {"AboutText", &TBrandingSettings::AboutText},
    };
    return s.*fields.value(name);
}

// A temporary application directory, with the path ending in a separator.
struct TAppDir {
    QTemporaryDir temp;
    QString path() const { return temp.path() + QLatin1Char('/'); }
    bool noPlainCopy() const
    {
        return QDir(temp.path()).entryList({QStringLiteral("*.sim")}, QDir::Files).isEmpty();
    }
};

} // namespace

class TestBrandingSettings : public QObject {
    Q_OBJECT

private slots:
    void extractTaggedValue_data();
    void extractTaggedValue();
    void parse_fields_data();
    void parse_fields();
    void parse_numberedEntries_data();
    void parse_numberedEntries();
    void newsButtonVisible_data();
    void newsButtonVisible();

    void readSettingsText_states_data();
    void readSettingsText_states();
    void readSettingsText_joinsLinesWithCrLf();
    void hugeSettingsFile_isDamaged_neverReadWholeNorRewritten();
    void readLastNewsId_data();
    void readLastNewsId();
    void saveLastNewsId_data();
    void saveLastNewsId();
    void saveLastNewsId_onlyADecimalNumberIsStored_data();
    void saveLastNewsId_onlyADecimalNumberIsStored();
    void saveLastNewsId_noFile_writesNothing();
    void saveLastNewsId_damagedFile_leftAsItIs();
    void saveLastNewsId_readOnlyAppDir_keepsOldFile();
};

void TestBrandingSettings::extractTaggedValue_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("rest");
    const QByteArray open = "<%%A%%>", close = "<%%/A%%>";
    QTest::newRow("found: text begins with the closing tag")
        << QByteArray("x<%%A%%> v <%%/A%%>y") << QByteArray(" v ") << QByteArray("<%%/A%%>y");
    QTest::newRow("letter case ignored")
        << QByteArray("<%%a%%>v<%%/a%%>") << QByteArray("v") << QByteArray("<%%/a%%>");
    QTest::newRow("no opening tag: text unchanged")
        << QByteArray("<%%B%%>v<%%/B%%>") << QByteArray() << QByteArray("<%%B%%>v<%%/B%%>");
    QTest::newRow("no closing tag: text after the opening tag")
        << QByteArray("<%%A%%>v<%%B%%>") << QByteArray() << QByteArray("v<%%B%%>");
    QTest::newRow("value spans lines")
        << QByteArray("<%%A%%>1\r\n2<%%/A%%>") << QByteArray("1\r\n2") << QByteArray("<%%/A%%>");
}

void TestBrandingSettings::extractTaggedValue()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, rest);
    QCOMPARE(ExtractTaggedValue(text, "<%%A%%>", "<%%/A%%>"), value);
    QCOMPARE(text, rest);
}

void TestBrandingSettings::parse_fields_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("value");

    const QByteArray ordered = Tagged("ApplicationName", "My Planner") + "\r\n"
        + Tagged("BranderCode", "ZELVODEMO") + Tagged("BranderType", "Master") + "\r\n"
        + Tagged("AboutText", "About") + "\r\n";
    QTest::newRow("in order: first") << ordered << QByteArray("ApplicationName")
                                     << QByteArray("My Planner");
    QTest::newRow("in order: third") << ordered << QByteArray("BranderType")
                                     << QByteArray("Master");
    QTest::newRow("in order: a later one") << ordered << QByteArray("AboutText")
                                           << QByteArray("About");

    const QByteArray moved = Tagged("BranderType", "Master") + Tagged("ApplicationName", "P")
        + Tagged("BranderCode", "C");
    QTest::newRow("out of order: not found") << moved << QByteArray("BranderType") << QByteArray();
    QTest::newRow("out of order: the others still read")
        << moved << QByteArray("BranderCode") << QByteArray("C");

    QTest::newRow("tag case ignored")
        << QByteArray("<%%applicationname%%>P<%%/APPLICATIONNAME%%>")
        << QByteArray("ApplicationName") << QByteArray("P");
    QTest::newRow("missing closing tag: empty")
        << QByteArray("<%%ApplicationName%%>P" + Tagged("BranderCode", "C"))
        << QByteArray("ApplicationName") << QByteArray();
    QTest::newRow("missing closing tag: the next tag searched after it")
        << QByteArray("<%%ApplicationName%%>P" + Tagged("BranderCode", "C"))
        << QByteArray("BranderCode") << QByteArray("C");
    QTest::newRow("missing tag does not disturb later ones")
        << Tagged("AppHelpURL", "http://h/") << QByteArray("AppHelpURL")
        << QByteArray("http://h/");
    QTest::newRow("not trimmed")
        << QByteArray("<%%BranderType%%>Master\r\n<%%/BranderType%%>") << QByteArray("BranderType")
        << QByteArray("Master\r\n");
    QTest::newRow("blanks kept") << Tagged("ApplicationName", " P ")
                                 << QByteArray("ApplicationName") << QByteArray(" P ");

    const QByteArray affiliate = Tagged("AffiliateURL", "http://a/?id=%%AFFILIATEID%%&b=%%AFFILIATEID%%")
        + Tagged("AffiliateID", "joe");
    QTest::newRow("affiliate id everywhere") << affiliate << QByteArray("AffiliateURL")
                                             << QByteArray("http://a/?id=joe&b=joe");
    QTest::newRow("affiliate placeholder in lower case stays")
        << Tagged("AffiliateURL", "http://a/?id=%%affiliateid%%") + Tagged("AffiliateID", "joe")
        << QByteArray("AffiliateURL") << QByteArray("http://a/?id=%%affiliateid%%");
    const QByteArray longId(1000, 'i');
    QTest::newRow("long affiliate id")
        << Tagged("AffiliateURL", "http://a/?id=%%AFFILIATEID%%") + Tagged("AffiliateID", longId)
        << QByteArray("AffiliateURL") << "http://a/?id=" + longId;
    // 100,000 placeholders and an id of 100 KB would make a 10 GB address.
    QTest::newRow("affiliate address that would grow past any real address: none")
        << Tagged("AffiliateURL", "http://a/?" + QByteArray("%%AFFILIATEID%%").repeated(100000))
            + Tagged("AffiliateID", QByteArray(100000, 'i'))
        << QByteArray("AffiliateURL") << QByteArray();
    QTest::newRow("MakeMoneyButton kept as stored")
        << Tagged("MakeMoneyButton", "Earn") << QByteArray("MakeMoneyButton") << QByteArray("Earn");
}

void TestBrandingSettings::parse_fields()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, value);
    QCOMPARE(Field(ParseBrandingSettings(text), field), value);
}

void TestBrandingSettings::parse_numberedEntries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<ByteList>("welcome");
    QTest::addColumn<ByteList>("banners");
    QTest::addColumn<ByteList>("links");

    QTest::newRow("gap ends the list")
        << Tagged("Welcome1", "a") + Tagged("Welcome2", "b") + Tagged("Welcome4", "d")
        << ByteList{"a", "b"} << ByteList{} << ByteList{};
    QTest::newRow("an empty entry ends the list")
        << Tagged("Banner1", "b.gif^http://x/") + Tagged("Banner2", "")
            + Tagged("Banner3", "c.jpg^http://y/")
        << ByteList{} << ByteList{"b.gif^http://x/"} << ByteList{};
    QByteArray seventeen;
    ByteList sixteen;
    for (int n = 1; n <= 17; ++n) {
        seventeen += Tagged("Link" + QByteArray::number(n), "L" + QByteArray::number(n) + "^u");
        if (n <= 16)
            sixteen << "L" + QByteArray::number(n) + "^u";
    }
    QTest::newRow("a seventeenth entry is never read") << seventeen << ByteList{} << ByteList{}
                                                       << sixteen;
    QTest::newRow("all three lists")
        << Tagged("Welcome1", "<p>hi</p>") + Tagged("Banner1", "b^u") + Tagged("Link1", "c^u")
            + Tagged("Link2", "d^v")
        << ByteList{"<p>hi</p>"} << ByteList{"b^u"} << ByteList{"c^u", "d^v"};
    QTest::newRow("banners before welcome pages are not found")
        << Tagged("Banner1", "b^u") + Tagged("Welcome1", "w") << ByteList{"w"} << ByteList{}
        << ByteList{};
}

void TestBrandingSettings::parse_numberedEntries()
{
    QFETCH(QByteArray, text);
    QFETCH(ByteList, welcome);
    QFETCH(ByteList, banners);
    QFETCH(ByteList, links);
    const TBrandingSettings s = ParseBrandingSettings(text);
    QCOMPARE(s.WelcomePages, welcome);
    QCOMPARE(s.Banners, banners);
    QCOMPARE(s.Links, links);
}

void TestBrandingSettings::newsButtonVisible_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("level"); // which level's id and base URL are set
    QTest::addColumn<bool>("visible");
    QTest::newRow("Master with its values") << QByteArray("Master") << QByteArray("Master") << true;
    QTest::newRow("Master without") << QByteArray("Master") << QByteArray("Gold") << false;
    QTest::newRow("Platinum with its values") << QByteArray("Platinum") << QByteArray("Platinum")
                                              << true;
    QTest::newRow("Platinum with Master's") << QByteArray("Platinum") << QByteArray("Master")
                                            << false;
    QTest::newRow("Gold with its values") << QByteArray("Gold") << QByteArray("Gold") << true;
    QTest::newRow("Free uses Master's") << QByteArray("Free") << QByteArray("Master") << true;
    QTest::newRow("Free without Master's") << QByteArray("Free") << QByteArray("Gold") << false;
    QTest::newRow("master in lower case") << QByteArray("master") << QByteArray("Master") << false;
    QTest::newRow("Master with a line break") << QByteArray("Master\r\n") << QByteArray("Master")
                                              << false;
    QTest::newRow("no type") << QByteArray() << QByteArray("Master") << false;
    QTest::newRow("id only") << QByteArray("Master") << QByteArray("MasterIdOnly") << false;
    QTest::newRow("base URL only") << QByteArray("Master") << QByteArray("MasterUrlOnly") << false;
}

void TestBrandingSettings::newsButtonVisible()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, level);
    QFETCH(bool, visible);
    TBrandingSettings s;
    s.BranderType = type;
    if (level == "Master" || level == "MasterIdOnly")
        s.MasterPublID = "1";
    if (level == "Master" || level == "MasterUrlOnly")
        s.MasterNewsBaseURL = "http://127.0.0.1/";
    if (level == "Platinum") {
        s.PlatinumPublID = "2";
        s.PlatinumNewsBaseURL = "http://127.0.0.1/";
    }
    if (level == "Gold") {
        s.GoldPublID = "3";
        s.GoldNewsBaseURL = "http://127.0.0.1/";
    }
    QCOMPARE(NewsButtonVisible(s), visible);
}

void TestBrandingSettings::readSettingsText_states_data()
{
    QTest::addColumn<QString>("fileName"); // empty: no file
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("state");
    const QByteArray good = EncryptSettingsData(Tagged("ApplicationName", "P") + "\r\n");
    QByteArray tampered = good;
    tampered[15] = char(tampered[15] ^ 1);
    const QString name = QStringLiteral("dbsettings.dat");
    QTest::newRow("no file") << QString() << QByteArray() << int(TSettingsFileState::Missing);
    QTest::newRow("good file") << name << good << int(TSettingsFileState::Loaded);
    QTest::newRow("name in another case") << QStringLiteral("DBSettings.DAT") << good
                                          << int(TSettingsFileState::Loaded);
    QTest::newRow("tampered") << name << tampered << int(TSettingsFileState::Damaged);
    QTest::newRow("plain text") << name << Tagged("ApplicationName", "P")
                                << int(TSettingsFileState::Damaged);
    QTest::newRow("empty file") << name << QByteArray() << int(TSettingsFileState::Damaged);
}

void TestBrandingSettings::readSettingsText_states()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, stored);
    QFETCH(int, state);
    TAppDir app;
    if (!fileName.isEmpty()) {
        QFile file(app.path() + fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stored);
    }
    QByteArray text("left over");
    QCOMPARE(int(ReadSettingsText(app.path(), text)), state);
    if (state != int(TSettingsFileState::Loaded))
        QVERIFY(text.isEmpty());
    QVERIFY(app.noPlainCopy());
}

void TestBrandingSettings::readSettingsText_joinsLinesWithCrLf()
{
    TAppDir app;
    WriteSettingsFile(app.path(), "a\nb\rc\r\nd");
    QByteArray text;
    QCOMPARE(ReadSettingsText(app.path(), text), TSettingsFileState::Loaded);
    QCOMPARE(text, QByteArray("a\r\nb\r\nc\r\nd\r\n"));
}

void TestBrandingSettings::hugeSettingsFile_isDamaged_neverReadWholeNorRewritten()
{
    TAppDir app;
    WriteSettingsFile(app.path(), Tagged("LastNewsId", "7"));
    QFile file(app.path() + QStringLiteral("dbsettings.dat"));
    const qint64 eightGiB = qint64(8) << 30;
    if (!file.resize(eightGiB)) // sparse: takes no room on the disk
        QSKIP("this file system cannot hold a sparse file of 8 GiB");
    QByteArray text;
    QCOMPARE(ReadSettingsText(app.path(), text), TSettingsFileState::Damaged);
    QCOMPARE(ReadLastNewsId(app.path()), QByteArray());
    QVERIFY(!SaveLastNewsId(app.path(), "42"));
    QCOMPARE(file.size(), eightGiB);
}

void TestBrandingSettings::readLastNewsId_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("id");
    QTest::newRow("anywhere, even first") << Tagged("LastNewsId", "17") + Tagged("ApplicationName", "P")
                                          << QByteArray("17");
    QTest::newRow("other letter case") << QByteArray("<%%lastnewsid%%>9<%%/LASTNEWSID%%>")
                                       << QByteArray("9");
    QTest::newRow("absent") << Tagged("ApplicationName", "P") << QByteArray();
    QTest::newRow("first of two") << Tagged("LastNewsId", "1") + "\r\n" + Tagged("LastNewsId", "2")
                                  << QByteArray("1");
}

void TestBrandingSettings::readLastNewsId()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, id);
    TAppDir app;
    WriteSettingsFile(app.path(), plain);
    QCOMPARE(ReadLastNewsId(app.path()), id);
    QVERIFY(app.noPlainCopy());
}

void TestBrandingSettings::saveLastNewsId_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray app = Tagged("ApplicationName", "P");
    QTest::newRow("absent: a line added")
        << app + "\r\n" << app + "\r\n" + Tagged("LastNewsId", "42") + "\r\n";
    QTest::newRow("absent, last line without an end")
        << app << app + "\r\n" + Tagged("LastNewsId", "42") + "\r\n";
    QTest::newRow("empty file") << QByteArray() << Tagged("LastNewsId", "42") + "\r\n";
    QTest::newRow("own line replaced")
        << app + "\r\n" + Tagged("LastNewsId", "7") + "\r\n" + "x\r\n"
        << app + "\r\n" + Tagged("LastNewsId", "42") + "\r\n" + "x\r\n";
    QTest::newRow("other tags on the line kept")
        << app + Tagged("LastNewsId", "7") + Tagged("BranderCode", "C") + "\r\n"
        << app + Tagged("LastNewsId", "42") + Tagged("BranderCode", "C") + "\r\n";
    QTest::newRow("other letter case: that tag replaced, no second line")
        << QByteArray("<%%LASTNEWSID%%>7<%%/lastnewsid%%>\r\n")
        << Tagged("LastNewsId", "42") + "\r\n";
    QTest::newRow("no closing tag: to the end of the line")
        << QByteArray("a<%%LastNewsId%%>7 junk\r\nnext\r\n")
        << "a" + Tagged("LastNewsId", "42") + "\r\nnext\r\n";
    QTest::newRow("closing tag on a later line: to the end of the line")
        << QByteArray("<%%LastNewsId%%>7\r\n<%%/LastNewsId%%>\r\n")
        << Tagged("LastNewsId", "42") + "\r\n<%%/LastNewsId%%>\r\n";
    QTest::newRow("no closing tag: up to the next tag, which is kept")
        << QByteArray("<%%Banner1%%><%%LastNewsId%%><%%/Banner1%%>\r\n")
        << "<%%Banner1%%>" + Tagged("LastNewsId", "42") + "<%%/Banner1%%>\r\n";
    QTest::newRow("closing tag after another tag: up to that tag")
        << "<%%LastNewsId%%>7" + Tagged("BranderCode", "C") + "<%%/LastNewsId%%>\r\n"
        << Tagged("LastNewsId", "42") + Tagged("BranderCode", "C") + "<%%/LastNewsId%%>\r\n";
    QTest::newRow("LF line ends kept")
        << "a\n" + Tagged("LastNewsId", "7") + "\nb\n"
        << "a\n" + Tagged("LastNewsId", "42") + "\nb\n";
    const QByteArray nul(1, '\0');
    QTest::newRow("tag only after a NUL: a line added before it, the rest kept")
        << app + "\r\n" + nul + Tagged("LastNewsId", "7")
        << app + "\r\n" + Tagged("LastNewsId", "42") + "\r\n" + nul + Tagged("LastNewsId", "7");
    QTest::newRow("NUL inside the last line")
        << app + nul + "junk" << app + "\r\n" + Tagged("LastNewsId", "42") + "\r\n" + nul + "junk";
}

void TestBrandingSettings::saveLastNewsId()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TAppDir app;
    WriteSettingsFile(app.path(), before);
    QVERIFY(SaveLastNewsId(app.path(), "42"));
    QByteArray plain;
    QVERIFY(DecryptSettingsData(ReadWholeFile(app.path() + QStringLiteral("dbsettings.dat")),
                                plain));
    QCOMPARE(plain, after);
    QCOMPARE(ReadLastNewsId(app.path()), QByteArray("42"));
    QVERIFY(app.noPlainCopy());
}

void TestBrandingSettings::saveLastNewsId_onlyADecimalNumberIsStored_data()
{
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<bool>("stored");
    QTest::newRow("zero") << QByteArray("0") << true;
    QTest::newRow("leading zeros") << QByteArray("0012") << true;
    QTest::newRow("ten digits") << QByteArray("9999999999") << true;
    QTest::newRow("eleven digits") << QByteArray("12345678901") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("sign") << QByteArray("-5") << false;
    QTest::newRow("plus") << QByteArray("+5") << false;
    QTest::newRow("blank") << QByteArray(" 5") << false;
    QTest::newRow("line break") << QByteArray("5\r\n") << false;
    QTest::newRow("superscript two") << QByteArray("\xB2") << false;
    QTest::newRow("tags and line breaks")
        << "9" + QByteArray("<%%/LastNewsId%%>\r\n") + Tagged("AppHelpURL", "file:///x.exe")
            + "\r\n" + Tagged("Welcome1", "injected") + "\r\n<%%LastNewsId%%>9"
        << false;
}

void TestBrandingSettings::saveLastNewsId_onlyADecimalNumberIsStored()
{
    QFETCH(QByteArray, id);
    QFETCH(bool, stored);
    TAppDir app;
    const QByteArray before = Tagged("ApplicationName", "P") + "\r\n" + Tagged("LastNewsId", "7")
        + "\r\n";
    WriteSettingsFile(app.path(), before);
    const QString path = app.path() + QStringLiteral("dbsettings.dat");
    const QByteArray file = ReadWholeFile(path);
    QCOMPARE(IsStorableNewsId(id), stored);
    QCOMPARE(SaveLastNewsId(app.path(), id), stored);
    QCOMPARE(ReadLastNewsId(app.path()), stored ? id : QByteArray("7"));
    if (!stored)
        QCOMPARE(ReadWholeFile(path), file);
}

void TestBrandingSettings::saveLastNewsId_noFile_writesNothing()
{
    TAppDir app;
    QVERIFY(SaveLastNewsId(app.path(), "42"));
    QVERIFY(QDir(app.temp.path()).isEmpty());
    QCOMPARE(ReadLastNewsId(app.path()), QByteArray());
}

void TestBrandingSettings::saveLastNewsId_damagedFile_leftAsItIs()
{
    TAppDir app;
    WriteSettingsFile(app.path(), Tagged("LastNewsId", "7"));
    const QString path = app.path() + QStringLiteral("dbsettings.dat");
    QByteArray stored = ReadWholeFile(path);
    stored[12] = char(stored[12] ^ 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(stored);
    file.close();

    QVERIFY(!SaveLastNewsId(app.path(), "42"));
    QCOMPARE(ReadWholeFile(path), stored);
    QCOMPARE(ReadLastNewsId(app.path()), QByteArray());
}

void TestBrandingSettings::saveLastNewsId_readOnlyAppDir_keepsOldFile()
{
    TAppDir app;
    WriteSettingsFile(app.path(), Tagged("LastNewsId", "7"));
    const QByteArray stored = ReadWholeFile(app.path() + QStringLiteral("dbsettings.dat"));
    TReadOnlyDirectory readOnly(app.temp.path());
    if (!readOnly.isReadOnly())
        QSKIP("this file system lets the directory be written anyway");
    QCOMPARE(ReadLastNewsId(app.path()), QByteArray("7"));
    QVERIFY(!SaveLastNewsId(app.path(), "42"));
    QCOMPARE(ReadWholeFile(app.path() + QStringLiteral("dbsettings.dat")), stored);
    QCOMPARE(ReadLastNewsId(app.path()), QByteArray("7"));
}

QTEST_GUILESS_MAIN(TestBrandingSettings)
#include "tst_brandingsettings.moc"
