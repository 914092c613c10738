#include "util/BrandingCheck.h"
#include "util/SettingsCipher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray TaggedLine(const QByteArray &name, const QByteArray &value)
{
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

// A settings text with every value a brander sets, in the reading order.
QByteArray CompleteSettings()
{
    return TaggedLine("ApplicationName", "My Planner") + TaggedLine("BranderCode", "ZELVODEMO")
        + TaggedLine("BranderType", "Master")
        + TaggedLine("AffiliateURL", "http://a/?id=%%AFFILIATEID%%") + TaggedLine("AffiliateTYPE", "cb")
        + TaggedLine("AffiliateID", "joe") + TaggedLine("MasterNewsBaseURL", "http://127.0.0.1:8471/")
        + TaggedLine("MasterPublID", "1") + TaggedLine("MakeMoneyButton", "Earn")
        + TaggedLine("AppHelpURL", "http://help/") + TaggedLine("CopyrightYears", "2007-2026")
        + TaggedLine("CopyrightCompany", "Demo Ltd") + TaggedLine("AboutText", "Line 1\r\nLine 2")
        + TaggedLine("Welcome1", "<html><body>\r\n<p>Hi</p>\r\n</body></html>")
        + TaggedLine("Banner1", "promo.gif^http://b/") + TaggedLine("Link1", "One^http://1/")
        + TaggedLine("Link2", "Two^http://2/") + TaggedLine("LastNewsId", "3");
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
    const QByteArray master = TaggedLine("BranderType", "Master")
        + TaggedLine("MasterNewsBaseURL", "http://n/") + TaggedLine("MasterPublID", "1");

    QTest::newRow("complete file") << CompleteSettings() << banner1 << QStringList{};
    QTest::newRow("tag out of order")
        << TaggedLine("BranderType", "Master") + TaggedLine("ApplicationName", "P") << QStringList{}
        << QStringList{"OutOfOrder:BranderType"};
    QTest::newRow("opening tag without closing tag")
        << "<%%ApplicationName%%>P\r\n" + TaggedLine("BranderCode", "C") << QStringList{}
        << QStringList{"MissingClosingTag:ApplicationName"};
    QTest::newRow("closing tag too late: value holds tags")
        << QByteArray("<%%ApplicationName%%>P\r\n") + TaggedLine("BranderCode", "C")
            + "<%%/ApplicationName%%>"
        << QStringList{} << QStringList{"OutOfOrder:BranderCode", "TagInsideValue:ApplicationName"};
    QTest::newRow("welcome page after a gap")
        << TaggedLine("Welcome1", "a") + TaggedLine("Welcome2", "b") + TaggedLine("Welcome4", "d")
        << QStringList{} << QStringList{"AfterGap:Welcome4"};
    QTest::newRow("link after an empty one")
        << TaggedLine("Link1", "a^http://u/") + TaggedLine("Link2", "") + TaggedLine("Link3", "c^http://u/") << QStringList{}
        << QStringList{"AfterGap:Link3"};
    QByteArray seventeen;
    for (int n = 1; n <= 17; ++n)
        seventeen += TaggedLine("Link" + QByteArray::number(n), "L^http://u/");
    QTest::newRow("seventeenth link") << seventeen << QStringList{}
                                      << QStringList{"BeyondSixteen:Link17"};
    QTest::newRow("level with a line break")
        << QByteArray("<%%BranderType%%>Master\r\n<%%/BranderType%%>")
            + TaggedLine("MasterNewsBaseURL", "http://n/") + TaggedLine("MasterPublID", "1")
        << QStringList{} << QStringList{"LineBreakInValue:BranderType"};
    QTest::newRow("address with a line break")
        << QByteArray("<%%AppHelpURL%%>http://h/\r\n<%%/AppHelpURL%%>") << QStringList{}
        << QStringList{"LineBreakInValue:AppHelpURL"};
    QTest::newRow("about text may span lines")
        << TaggedLine("AboutText", "a\r\nb") << QStringList{} << QStringList{};
    QTest::newRow("blanks around an address")
        << TaggedLine("AppHelpURL", " http://h/") << QStringList{}
        << QStringList{"BlanksAroundValue:AppHelpURL"};
    QTest::newRow("level in lower case")
        << TaggedLine("BranderType", "master") + TaggedLine("MasterNewsBaseURL", "http://n/")
            + TaggedLine("MasterPublID", "1")
        << QStringList{} << QStringList{"UnknownNewsLevel:BranderType"};
    QTest::newRow("Gold without its base URL")
        << TaggedLine("BranderType", "Gold") + TaggedLine("GoldPublID", "3") << QStringList{}
        << QStringList{"NewsLevelIncomplete:BranderType"};
    QTest::newRow("Master without its publisher id")
        << TaggedLine("BranderType", "Master") + TaggedLine("MasterNewsBaseURL", "http://n/")
        << QStringList{} << QStringList{"NewsLevelIncomplete:BranderType"};
    QTest::newRow("Free with Master's values") << QByteArray(master).replace("Master<", "Free<")
                                               << QStringList{} << QStringList{};
    QTest::newRow("Free with Gold's values only")
        << TaggedLine("BranderType", "Free") + TaggedLine("GoldNewsBaseURL", "http://n/")
            + TaggedLine("GoldPublID", "3")
        << QStringList{} << QStringList{"NewsLevelIncomplete:BranderType"};
    QTest::newRow("banner without caret") << TaggedLine("Banner1", "promo.gif") << banner1
                                          << QStringList{"EntryWithoutCaret:Banner1"};
    QTest::newRow("link with nothing after its caret")
        << TaggedLine("Link1", "Caption^") << QStringList{} << QStringList{"EntryWithoutCaret:Link1"};
    QTest::newRow("banner without address, two carets") << TaggedLine("Banner1", "promo.gif^^")
                                                        << banner1 << QStringList{};
    QTest::newRow("banner file missing")
        << TaggedLine("Banner1", "a.gif^http://u/") + TaggedLine("Banner2", "b.jpg^http://u/") << banner1
        << QStringList{"BannerFileMissing:Banner2"};
    QTest::newRow("banner file name in another case")
        << TaggedLine("Banner1", "a.gif^http://u/") << QStringList{QStringLiteral("BANNER1.DAT")}
        << QStringList{};
    QTest::newRow("misspelt tag") << TaggedLine("AplicationName", "P") << QStringList{}
                                  << QStringList{"UnknownTag:AplicationName"};
    QTest::newRow("numbered tag with a leading zero") << TaggedLine("Welcome01", "w")
                                                      << QStringList{}
                                                      << QStringList{"UnknownTag:Welcome01"};
    QTest::newRow("tag written twice")
        << TaggedLine("ApplicationName", "P") + TaggedLine("ApplicationName", "Q") << QStringList{}
        << QStringList{"RepeatedTag:ApplicationName"};
    QTest::newRow("tag names ignore letter case")
        << QByteArray("<%%applicationname%%>P<%%/APPLICATIONNAME%%>") << QStringList{}
        << QStringList{};
    QTest::newRow("NUL ends the text")
        << TaggedLine("ApplicationName", "P") + QByteArray("\0", 1) + TaggedLine("AboutText", "A")
        << QStringList{} << QStringList{"TextAfterNul:"};
    QTest::newRow("affiliate placeholder in another case")
        << TaggedLine("AffiliateURL", "http://a/?id=%%AffiliateId%%") + TaggedLine("AffiliateID", "joe")
        << QStringList{} << QStringList{"PlaceholderCase:AffiliateURL"};
    QTest::newRow("welcome page with a picture file")
        << TaggedLine("Welcome1", "<p>Hi<img alt=x src=\"logo.png\"></p>") << QStringList{}
        << QStringList{"PageReference:Welcome1"};
    QTest::newRow("welcome page with a style sheet on the web")
        << TaggedLine("Welcome1", "<LINK rel=stylesheet HREF='http://x/s.css'>") << QStringList{}
        << QStringList{"PageReference:Welcome1"};
    QTest::newRow("welcome page with a background in its style")
        << TaggedLine("Welcome1", "<div style=\"background: url( bg.jpg )\">x</div>")
        << QStringList{} << QStringList{"PageReference:Welcome1"};
    QTest::newRow("welcome page with a data: picture and a web link")
        << TaggedLine("Welcome1", "<img src=\"data:image/png;base64,iVBORw0K\">"
                              "<a href=\"http://x/\">src=\"a.png\"</a>")
        << QStringList{} << QStringList{};
    QTest::newRow("help address without http://")
        << TaggedLine("AppHelpURL", "www.example.com/help") << QStringList{}
        << QStringList{"NotWebAddress:AppHelpURL"};
    QTest::newRow("news base address on the disk")
        << QByteArray(master).replace("http://n/", "file:///srv/news/") << QStringList{}
        << QStringList{"NotWebAddress:MasterNewsBaseURL"};
    QTest::newRow("affiliate address with a scheme of its own")
        << TaggedLine("AffiliateURL", "zelvo://buy") << QStringList{}
        << QStringList{"NotWebAddress:AffiliateURL"};
    QTest::newRow("web address without a host")
        << TaggedLine("AppHelpURL", "http:/help") << QStringList{}
        << QStringList{"NotWebAddress:AppHelpURL"};
    QTest::newRow("banner address without http://")
        << TaggedLine("Banner1", "a.gif^www.b.com") << banner1 << QStringList{"NotWebAddress:Banner1"};
    QTest::newRow("banner address to mail")
        << TaggedLine("Banner1", "a.gif^mailto:joe@example.com") << banner1
        << QStringList{"NotWebAddress:Banner1"};
    QTest::newRow("link to mail, link to https")
        << TaggedLine("Link1", "Mail^mailto:joe@example.com") + TaggedLine("Link2", "S^HTTPS://s/")
        << QStringList{} << QStringList{};
    QTest::newRow("link to a file share")
        << TaggedLine("Link1", "Tool^\\\\host\\share\\x.exe") << QStringList{}
        << QStringList{"NotWebAddress:Link1"};
    QTest::newRow("empty addresses are meant")
        << TaggedLine("AffiliateURL", "") + TaggedLine("AppHelpURL", "") + TaggedLine("Link1", "Cap^^")
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
    const QByteArray text = TaggedLine("BranderType", "master") + TaggedLine("Banner1", "x");
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
