#include "util/BrandingCheck.h"
#include "util/SettingsCipher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Tagged(const QByteArray &name, const QByteArray &value)
{
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

// A settings text with every value a brander sets, in the reading order.
QByteArray CompleteSettings()
{
    return Tagged("ApplicationName", "My Planner") + Tagged("BranderCode", "ZELVODEMO")
        + Tagged("BranderType", "Master")
        + Tagged("AffiliateURL", "http://a/?id=%%AFFILIATEID%%") + Tagged("AffiliateTYPE", "cb")
        + Tagged("AffiliateID", "joe") + Tagged("MasterNewsBaseURL", "http://127.0.0.1:8471/")
        + Tagged("MasterPublID", "1") + Tagged("MakeMoneyButton", "Earn")
        + Tagged("AppHelpURL", "http://help/") + Tagged("CopyrightYears", "2007-2026")
        + Tagged("CopyrightCompany", "Demo Ltd") + Tagged("AboutText", "Line 1\r\nLine 2")
        + Tagged("Welcome1", "<html><body>\r\n<p>Hi</p>\r\n</body></html>")
        + Tagged("Banner1", "promo.gif^http://b/") + Tagged("Link1", "One^http://1/")
        + Tagged("Link2", "Two^http://2/") + Tagged("LastNewsId", "3");
}

QStringList Found(const TBrandingCheck &check)
{
    static const char *const names[] = {
        "Unreadable",       "TextAfterNul",      "OutOfOrder",          "MissingClosingTag",
        "TagInsideValue",   "AfterGap",          "BeyondSixteen",       "LineBreakInValue",
        "BlanksAroundValue", "UnknownNewsLevel", "NewsLevelIncomplete", "EntryWithoutCaret",
        "BannerFileMissing", "UnknownTag",       "RepeatedTag",         "PlaceholderCase",
        "PageReference",    "NotWebAddress",     "BannerUnreadable",    "BannerWrongFormat",
    };
    QStringList found;
    for (const TBrandingIssue &issue : check.issues)
        found << QLatin1String(names[int(issue.kind)]) + QLatin1Char(':')
                + QString::fromLatin1(issue.tag);
    found.sort();
    return found;
}

} // namespace

class TestBrandingCheck : public QObject {
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void enciphered_sameAsPlain();
    void values_sayWhatTheProgramShows();
};

void TestBrandingCheck::findings_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("bannerFiles");
    QTest::addColumn<QStringList>("expected");

    const QStringList banner1{QStringLiteral("banner1.dat")};
    const QByteArray master = Tagged("BranderType", "Master")
        + Tagged("MasterNewsBaseURL", "http://n/") + Tagged("MasterPublID", "1");

    QTest::newRow("complete file") << CompleteSettings() << banner1 << QStringList{};
    QTest::newRow("tag out of order")
        << Tagged("BranderType", "Master") + Tagged("ApplicationName", "P") << QStringList{}
        << QStringList{"OutOfOrder:BranderType"};
    QTest::newRow("opening tag without closing tag")
        << "<%%ApplicationName%%>P\r\n" + Tagged("BranderCode", "C") << QStringList{}
        << QStringList{"MissingClosingTag:ApplicationName"};
    QTest::newRow("closing tag too late: value holds tags")
        << QByteArray("<%%ApplicationName%%>P\r\n") + Tagged("BranderCode", "C")
            + "<%%/ApplicationName%%>"
        << QStringList{} << QStringList{"OutOfOrder:BranderCode", "TagInsideValue:ApplicationName"};
    QTest::newRow("welcome page after a gap")
        << Tagged("Welcome1", "a") + Tagged("Welcome2", "b") + Tagged("Welcome4", "d")
        << QStringList{} << QStringList{"AfterGap:Welcome4"};
    QTest::newRow("link after an empty one")
        << Tagged("Link1", "a^http://u/") + Tagged("Link2", "") + Tagged("Link3", "c^http://u/") << QStringList{}
        << QStringList{"AfterGap:Link3"};
    QByteArray seventeen;
    for (int n = 1; n <= 17; ++n)
        seventeen += Tagged("Link" + QByteArray::number(n), "L^http://u/");
    QTest::newRow("seventeenth link") << seventeen << QStringList{}
                                      << QStringList{"BeyondSixteen:Link17"};
    QTest::newRow("level with a line break")
        << QByteArray("<%%BranderType%%>Master\r\n<%%/BranderType%%>")
            + Tagged("MasterNewsBaseURL", "http://n/") + Tagged("MasterPublID", "1")
        << QStringList{} << QStringList{"LineBreakInValue:BranderType"};
    QTest::newRow("address with a line break")
        << QByteArray("<%%AppHelpURL%%>http://h/\r\n<%%/AppHelpURL%%>") << QStringList{}
        << QStringList{"LineBreakInValue:AppHelpURL"};
    QTest::newRow("about text may span lines")
        << Tagged("AboutText", "a\r\nb") << QStringList{} << QStringList{};
    QTest::newRow("blanks around an address")
        << Tagged("AppHelpURL", " http://h/") << QStringList{}
        << QStringList{"BlanksAroundValue:AppHelpURL"};
    QTest::newRow("level in lower case")
        << Tagged("BranderType", "master") + Tagged("MasterNewsBaseURL", "http://n/")
            + Tagged("MasterPublID", "1")
        << QStringList{} << QStringList{"UnknownNewsLevel:BranderType"};
    QTest::newRow("Gold without its base URL")
        << Tagged("BranderType", "Gold") + Tagged("GoldPublID", "3") << QStringList{}
        << QStringList{"NewsLevelIncomplete:BranderType"};
    QTest::newRow("Master without its publisher id")
        << Tagged("BranderType", "Master") + Tagged("MasterNewsBaseURL", "http://n/")
        << QStringList{} << QStringList{"NewsLevelIncomplete:BranderType"};
    QTest::newRow("Free with Master's values") << QByteArray(master).replace("Master<", "Free<")
                                               << QStringList{} << QStringList{};
    QTest::newRow("Free with Gold's values only")
        << Tagged("BranderType", "Free") + Tagged("GoldNewsBaseURL", "http://n/")
            + Tagged("GoldPublID", "3")
        << QStringList{} << QStringList{"NewsLevelIncomplete:BranderType"};
    QTest::newRow("banner without caret") << Tagged("Banner1", "promo.gif") << banner1
                                          << QStringList{"EntryWithoutCaret:Banner1"};
    QTest::newRow("link with nothing after its caret")
        << Tagged("Link1", "Caption^") << QStringList{} << QStringList{"EntryWithoutCaret:Link1"};
    QTest::newRow("banner without address, two carets") << Tagged("Banner1", "promo.gif^^")
                                                        << banner1 << QStringList{};
    QTest::newRow("banner file missing")
        << Tagged("Banner1", "a.gif^http://u/") + Tagged("Banner2", "b.jpg^http://u/") << banner1
        << QStringList{"BannerFileMissing:Banner2"};
    QTest::newRow("banner file name in another case")
        << Tagged("Banner1", "a.gif^http://u/") << QStringList{QStringLiteral("BANNER1.DAT")}
        << QStringList{};
    QTest::newRow("misspelt tag") << Tagged("AplicationName", "P") << QStringList{}
                                  << QStringList{"UnknownTag:AplicationName"};
    QTest::newRow("numbered tag with a leading zero") << Tagged("Welcome01", "w")
                                                      << QStringList{}
                                                      << QStringList{"UnknownTag:Welcome01"};
    QTest::newRow("tag written twice")
        << Tagged("ApplicationName", "P") + Tagged("ApplicationName", "Q") << QStringList{}
        << QStringList{"RepeatedTag:ApplicationName"};
    QTest::newRow("tag names ignore letter case")
        << QByteArray("<%%applicationname%%>P<%%/APPLICATIONNAME%%>") << QStringList{}
        << QStringList{};
    QTest::newRow("NUL ends the text")
        << Tagged("ApplicationName", "P") + QByteArray("\0", 1) + Tagged("AboutText", "A")
        << QStringList{} << QStringList{"TextAfterNul:"};
    QTest::newRow("affiliate placeholder in another case")
        << Tagged("AffiliateURL", "http://a/?id=%%AffiliateId%%") + Tagged("AffiliateID", "joe")
        << QStringList{} << QStringList{"PlaceholderCase:AffiliateURL"};
    QTest::newRow("welcome page with a picture file")
        << Tagged("Welcome1", "<p>Hi<img alt=x src=\"logo.png\"></p>") << QStringList{}
        << QStringList{"PageReference:Welcome1"};
    QTest::newRow("welcome page with a style sheet on the web")
        << Tagged("Welcome1", "<LINK rel=stylesheet HREF='http://x/s.css'>") << QStringList{}
        << QStringList{"PageReference:Welcome1"};
    QTest::newRow("welcome page with a background in its style")
        << Tagged("Welcome1", "<div style=\"background: url( bg.jpg )\">x</div>")
        << QStringList{} << QStringList{"PageReference:Welcome1"};
    QTest::newRow("welcome page with a data: picture and a web link")
        << Tagged("Welcome1", "<img src=\"data:image/png;base64,iVBORw0K\">"
                              "<a href=\"http://x/\">src=\"a.png\"</a>")
        << QStringList{} << QStringList{};
    QTest::newRow("help address without http://")
        << Tagged("AppHelpURL", "www.example.com/help") << QStringList{}
        << QStringList{"NotWebAddress:AppHelpURL"};
    QTest::newRow("news base address on the disk")
        << QByteArray(master).replace("http://n/", "file:///srv/news/") << QStringList{}
        << QStringList{"NotWebAddress:MasterNewsBaseURL"};
    QTest::newRow("affiliate address with a scheme of its own")
        << Tagged("AffiliateURL", "zelvo://buy") << QStringList{}
        << QStringList{"NotWebAddress:AffiliateURL"};
    QTest::newRow("web address without a host")
        << Tagged("AppHelpURL", "http:/help") << QStringList{}
        << QStringList{"NotWebAddress:AppHelpURL"};
    QTest::newRow("banner address without http://")
        << Tagged("Banner1", "a.gif^www.b.com") << banner1 << QStringList{"NotWebAddress:Banner1"};
    QTest::newRow("banner address to mail")
        << Tagged("Banner1", "a.gif^mailto:joe@example.com") << banner1
        << QStringList{"NotWebAddress:Banner1"};
    QTest::newRow("link to mail, link to https")
        << Tagged("Link1", "Mail^mailto:joe@example.com") + Tagged("Link2", "S^HTTPS://s/")
        << QStringList{} << QStringList{};
    QTest::newRow("link to a file share")
        << Tagged("Link1", "Tool^\\\\host\\share\\x.exe") << QStringList{}
        << QStringList{"NotWebAddress:Link1"};
    QTest::newRow("empty addresses are meant")
        << Tagged("AffiliateURL", "") + Tagged("AppHelpURL", "") + Tagged("Link1", "Cap^^")
        << QStringList{} << QStringList{};
    QTest::newRow("neither enciphered nor tagged") << QByteArray("just some text")
                                                   << QStringList{}
                                                   << QStringList{"Unreadable:"};
}

void TestBrandingCheck::findings()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, bannerFiles);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    for (const QString &name : bannerFiles) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const TBrandingCheck check = CheckBrandingFile(text, dir.path() + QLatin1Char('/'));
    expected.sort();
    QCOMPARE(Found(check), expected);
    QCOMPARE(check.clean(), expected.isEmpty());
    // Every finding is explained in words.
    for (const TBrandingIssue &issue : check.issues)
        QVERIFY(!issue.message.isEmpty());
}

void TestBrandingCheck::enciphered_sameAsPlain()
{
    QTemporaryDir dir;
    const QString bannerDir = dir.path() + QLatin1Char('/');
    const QByteArray text = Tagged("BranderType", "master") + Tagged("Banner1", "x");
    const TBrandingCheck plain = CheckBrandingFile(text, bannerDir);
    const TBrandingCheck enciphered = CheckBrandingFile(EncryptSettingsData(text), bannerDir);
    QCOMPARE(plain.form, TBrandingCheck::TForm::Plain);
    QCOMPARE(enciphered.form, TBrandingCheck::TForm::Enciphered);
    QCOMPARE(Found(enciphered), Found(plain));
    QCOMPARE(enciphered.values, plain.values);

    QByteArray damaged = EncryptSettingsData(text);
    damaged[damaged.size() - 1] = char(damaged.back() ^ 1);
    QCOMPARE(Found(CheckBrandingFile(damaged, bannerDir)), QStringList{"Unreadable:"});
}

void TestBrandingCheck::values_sayWhatTheProgramShows()
{
    QTemporaryDir dir;
    QFile banner(dir.filePath(QStringLiteral("banner1.dat")));
    QVERIFY(banner.open(QIODevice::WriteOnly));
    const TBrandingCheck check = CheckBrandingFile(CompleteSettings(), dir.path() + QLatin1Char('/'));
    const QString values = check.values.join(QLatin1Char('\n'));
    for (const char *expected : {
             "Window caption: \"My Planner v2.0\"",
             "Make Money button: \"Earn\"",
             "Make Money address: \"http://a/?id=joe\"",
             "News button: shown",
             "Welcome pages: 1, banners: 1, links: 2",
             "AboutText: \"Line 1\\r\\nLine 2\"",
             "Banner1: picture \"promo.gif\", address \"http://b/\"",
             "Link2: caption \"Two\", address \"http://2/\"",
             "LastNewsId: \"3\"",
         })
        QVERIFY2(values.contains(QLatin1String(expected)), expected);
    QVERIFY(FormatBrandingCheck(check, QStringLiteral("dbsettings.dat"))
                .contains(QLatin1String("Nothing will be lost or ignored.")));
}

QTEST_GUILESS_MAIN(TestBrandingCheck)
#include "tst_brandingcheck.moc"
