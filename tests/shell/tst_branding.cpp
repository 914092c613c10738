#include "branding_support.h"
#include "common/MainWindowFixture.h"
#include "common/RecordingPlatform.h"

#include "shell/Branding.h"
#include "toolkit/HtmlView.h"
#include "toolkit/LinkLabel.h"
#include "toolkit/Skin.h"
#include "util/RandomDraw.h"
#include "util/SettingsCipher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMovie>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

namespace {

// OpenInBrowser goes through this registered browser; the desktop's handler does not.
const QString kBrowserCommand = QStringLiteral("\"C:\\Web\\Browser.exe\" \"%1\"");

// The registered browser gets an address as one quoted argument.
QString Browser(const QString &url)
{
    return QStringLiteral("shellOpen(c:\\web\\browser.exe, %1)")
        .arg(url.isEmpty() ? url : QLatin1Char('"') + url + QLatin1Char('"'));
}

QString Desktop(const QString &url)
{
    return QStringLiteral("openUrl(%1)").arg(url);
}

const TTagList kFullSettings = {
    {"ApplicationName", "My Planner"},
    {"BranderCode", "MYPLAN"},
    {"BranderType", "Master"},
    {"AffiliateURL", "http://aff.example/?id=%%AFFILIATEID%%"},
    {"AffiliateTYPE", "cb"},
    {"AffiliateID", "joe"},
    {"MasterNewsBaseURL", "http://127.0.0.1:8471/"},
    {"MasterPublID", "1"},
    {"MakeMoneyButton", "Earn Now"},
    {"AppHelpURL", "http://help.example/"},
};

TTagList With(TTagList tags, const QByteArray &tag, const QByteArray &value)
{
    for (auto &[name, v] : tags)
        if (name == tag) {
            v = value;
            return tags;
        }
    tags.append({tag, value});
    return tags;
}

// Draws answered from a list (the last answer repeats); every count asked is kept.
struct TScriptedDraws {
    explicit TScriptedDraws(QList<int> answers) : m_answers(std::move(answers))
    {
        SetRandomSource([this](int count) {
            counts << count;
            return m_answers.size() > 1 ? m_answers.takeFirst() : m_answers.value(0);
        });
    }
    ~TScriptedDraws() { SetRandomSource({}); }
    QList<int> counts;

private:
    QList<int> m_answers;
};

} // namespace

class TestBranding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void settings_giveCaptionsAndNewsButton_data();
    void settings_giveCaptionsAndNewsButton();
    void withoutUsableSettings_windowStaysUnbranded_data();
    void withoutUsableSettings_windowStaysUnbranded();
    void makeMoneyAndHelp_openTheirAddressInTheBrowser_data();
    void makeMoneyAndHelp_openTheirAddressInTheBrowser();
    void numberedEntries_stopAtTheFirstGap();
    void welcomePage_isShownFromWindows1252UntilThanks();
    void welcomePage_enterPressesThanks_data();
    void welcomePage_enterPressesThanks();
    void draws_areIndependent();
    void banner_isLoadedInTheFormatOfItsShownName_data();
    void banner_isLoadedInTheFormatOfItsShownName();
    void banner_fileOfTheShownNameExists_thatFileIsShown();
    void banner_applicationFolderNamedLikeGif_stillPictureStaysStill();
    void banner_staysCentredWhenTheWindowResizes();
    void banner_tooLarge_isScaledDownToFitTheStrip_data();
    void banner_tooLarge_isScaledDownToFitTheStrip();
    void banner_click_data();
    void banner_click();
    void openFailure_saysSoAndShowsTheAddress_data();
    void openFailure_saysSoAndShowsTheAddress();
    void links_fillTheLinkBar_data();
    void links_fillTheLinkBar();
    void linkLabel_click_opensWithTheDesktopHandler();
    void linkLabel_click_opensOnlyWebAndMail_data();
    void linkLabel_click_opensOnlyWebAndMail();
    void skinAndIcon_replaceTheBuiltInOnesOnlyWithSettings_data();
    void skinAndIcon_replaceTheBuiltInOnesOnlyWithSettings();
    void readOnlyDirectory_brandsAndChangesNothing();

private:
    TRecordingPlatform *m_platform = nullptr;
};

void TestBranding::init()
{
    m_platform = new TRecordingPlatform;
    m_platform->command = kBrowserCommand;
}

void TestBranding::cleanup()
{
    delete m_platform;
    m_platform = nullptr;
    SetRandomSource({});
}

void TestBranding::settings_giveCaptionsAndNewsButton_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("makeMoney");
    QTest::addColumn<bool>("newsShown");

    QTest::newRow("every tag in reading order")
        << TaggedText(kFullSettings) << QStringLiteral("My Planner v2.0")
        << QStringLiteral("Earn Now") << true;

    TTagList typeFirst = kFullSettings;
    typeFirst.move(2, 0);
    QTest::newRow("BranderType before ApplicationName is not found")
        << TaggedText(typeFirst) << QStringLiteral("My Planner v2.0")
        << QStringLiteral("Earn Now") << false;

    QByteArray mixedCase = TaggedText(kFullSettings);
    mixedCase.replace("<%%ApplicationName%%>", "<%%applicationname%%>")
        .replace("<%%/ApplicationName%%>", "<%%/APPLICATIONNAME%%>");
    QTest::newRow("tag names ignore letter case")
        << mixedCase << QStringLiteral("My Planner v2.0") << QStringLiteral("Earn Now") << true;

    QByteArray unclosed = TaggedText(kFullSettings);
    unclosed.replace("<%%/ApplicationName%%>", "");
    QTest::newRow("name without closing tag keeps the caption")
        << unclosed << QStringLiteral("Project Zelvo") << QStringLiteral("Earn Now") << true;

    QTest::newRow("empty name keeps the caption")
        << TaggedText(With(kFullSettings, "ApplicationName", ""))
        << QStringLiteral("Project Zelvo") << QStringLiteral("Earn Now") << true;
    QTest::newRow("empty button caption reads Make Money")
        << TaggedText(With(kFullSettings, "MakeMoneyButton", ""))
        << QStringLiteral("My Planner v2.0") << QStringLiteral("Make Money") << true;
    QTest::newRow("values keep their blanks")
        << TaggedText(With(kFullSettings, "ApplicationName", "  My Planner "))
        << QStringLiteral("  My Planner  v2.0") << QStringLiteral("Earn Now") << true;
    QTest::newRow("name in Windows-1252")
        << TaggedText(With(kFullSettings, "ApplicationName", "Caf\xE9 Planner"))
        << QStringLiteral(u"Café Planner v2.0") << QStringLiteral("Earn Now") << true;

    // The news-button table.
    const auto news = [](const QByteArray &type, const TTagList &extra) {
        TTagList tags{{"ApplicationName", "P"}, {"BranderType", type}};
        tags += extra;
        return TaggedText(tags);
    };
    const TTagList master{{"MasterNewsBaseURL", "http://m/"}, {"MasterPublID", "1"}};
    const TTagList platinum{{"PlatinumNewsBaseURL", "http://p/"}, {"PlatinumPublID", "2"}};
    const TTagList gold{{"GoldNewsBaseURL", "http://g/"}, {"GoldPublID", "3"}};
    const TTagList all = master + platinum + gold;
    const QString p = QStringLiteral("P v2.0"), mm = QStringLiteral("Make Money");
    QTest::newRow("Master with its values") << news("Master", master) << p << mm << true;
    QTest::newRow("Master without its id")
        << news("Master", {{"MasterNewsBaseURL", "http://m/"}}) << p << mm << false;
    QTest::newRow("Master without its address")
        << news("Master", {{"MasterPublID", "1"}}) << p << mm << false;
    QTest::newRow("Platinum with its values") << news("Platinum", platinum) << p << mm << true;
    QTest::newRow("Platinum with Master's values only")
        << news("Platinum", master) << p << mm << false;
    QTest::newRow("Gold with its values") << news("Gold", gold) << p << mm << true;
    QTest::newRow("Gold with the others' values only")
        << news("Gold", master + platinum) << p << mm << false;
    QTest::newRow("Free with Master's values") << news("Free", master) << p << mm << true;
    QTest::newRow("Free with Gold's values only") << news("Free", gold) << p << mm << false;
    QTest::newRow("level in lower case") << news("master", all) << p << mm << false;
    QTest::newRow("unknown level") << news("Silver", all) << p << mm << false;
    QTest::newRow("no level") << news("", all) << p << mm << false;
    QByteArray typeOnTwoLines = news("Master", master);
    typeOnTwoLines.replace("Master<%%/BranderType%%>", "Master\r\n<%%/BranderType%%>");
    QTest::newRow("level ending in a line break") << typeOnTwoLines << p << mm << false;
}

void TestBranding::settings_giveCaptionsAndNewsButton()
{
    QFETCH(QByteArray, plain);
    QFETCH(QString, caption);
    QFETCH(QString, makeMoney);
    QFETCH(bool, newsShown);
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(), plain);

    f.open();

    QCOMPARE(f.frm->windowHandle()->title(), caption);
    QCOMPARE(f.child<QAbstractButton>("btnMakeMoney")->text(), makeMoney);
    QCOMPARE(f.child<QAbstractButton>("btnNews")->isVisible(), newsShown);
    QVERIFY(f.errors.isEmpty());
}

// Without a settings file, or with one that fails its check, start-up is the unbranded one.
void TestBranding::withoutUsableSettings_windowStaysUnbranded_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("no settings file") << QString();
    QTest::newRow("a ciphertext byte flipped") << QStringLiteral("flip");
    QTest::newRow("cut short") << QStringLiteral("cut");
    QTest::newRow("plain text instead of a cipher") << QStringLiteral("plain");
    QTest::newRow("a folder of that name") << QStringLiteral("folder");
}

void TestBranding::withoutUsableSettings_windowStaysUnbranded()
{
    QFETCH(QString, damage);
    TMainWindowFixture f;
    TTagList tags = kFullSettings;
    tags += {{"Welcome1", "<p>hello</p>"}, {"Banner1", "promo.jpg^http://b/"},
             {"Link1", "One^http://one/"}};
    const QByteArray plain = TaggedText(tags);
    QByteArray stored = EncryptSettingsData(plain);
    if (damage == QLatin1String("flip"))
        stored[stored.size() / 2] = char(stored[stored.size() / 2] ^ 0x01);
    else if (damage == QLatin1String("cut"))
        stored.truncate(10);
    else if (damage == QLatin1String("plain"))
        stored = plain;
    if (damage == QLatin1String("folder"))
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("dbsettings.dat")));
    else if (!damage.isEmpty())
        f.writeFile(QStringLiteral("dbsettings.dat"), stored);
    f.writeFile(QStringLiteral("banner1.dat"), JpegBytes(QSize(80, 40), Qt::blue));
    const QStringList before = DirectoryNames(f.dir.path());

    f.open();

    QCOMPARE(f.frm->windowHandle()->title(), QStringLiteral("Project Zelvo"));
    QCOMPARE(f.child<QAbstractButton>("btnMakeMoney")->text(), QStringLiteral("Make Money"));
    QVERIFY(f.child<QAbstractButton>("btnNews")->isVisible());
    QVERIFY(!f.child<QWidget>("stsWelcome"));
    QVERIFY(f.child<QFrame>("panBanner")->isVisible());
    QCOMPARE(f.child<QFrame>("panBanner")->height(), 65);
    QVERIFY(f.child<QLabel>("imgBanner")->pixmap().isNull());
    QVERIFY(f.child<QFrame>("panLinks")->isVisible());
    for (const char *name : {"lblLink1URL", "lblLink2URL"}) {
        QCOMPARE(f.child<TLinkLabel>(name)->text(), QStringLiteral("Google"));
        QVERIFY(!f.child<TLinkLabel>(name)->address().isEmpty());
    }
    QVERIFY(f.frm->BrandingSettings().ApplicationName.isEmpty());
    QTRY_VERIFY(!f.frm->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());
    // A damaged file is neither repaired nor removed, and nothing else appears.
    QCOMPARE(DirectoryNames(f.dir.path()), before);
    if (!damage.isEmpty() && damage != QLatin1String("folder"))
        QCOMPARE(f.readFile(QStringLiteral("dbsettings.dat")), stored);
    QVERIFY(f.errors.isEmpty());
}

void TestBranding::makeMoneyAndHelp_openTheirAddressInTheBrowser_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QStringList>("calls"); // Make Money, then Help

    QTest::newRow("id substituted, help address")
        << TaggedText(kFullSettings)
        << QStringList{Browser(QStringLiteral("http://aff.example/?id=joe")),
                       Browser(QStringLiteral("http://help.example/"))};
    QTest::newRow("placeholder twice")
        << TaggedText(With(kFullSettings, "AffiliateURL",
                           "http://a/%%AFFILIATEID%%/x?r=%%AFFILIATEID%%"))
        << QStringList{Browser(QStringLiteral("http://a/joe/x?r=joe")),
                       Browser(QStringLiteral("http://help.example/"))};
    QTest::newRow("placeholder in lower case stays")
        << TaggedText(With(kFullSettings, "AffiliateURL", "http://a/%%affiliateid%%"))
        << QStringList{Browser(QStringLiteral("http://a/%%affiliateid%%")),
                       Browser(QStringLiteral("http://help.example/"))};
    // Neither a program, a share nor a custom scheme is handed to the browser.
    QTest::newRow("file path and share")
        << TaggedText(With(With(kFullSettings, "AffiliateURL", "C:\\Windows\\calc.exe"),
                           "AppHelpURL", "\\\\host\\share\\x.exe"))
        << QStringList();
    QTest::newRow("file address and custom scheme")
        << TaggedText(With(With(kFullSettings, "AffiliateURL", "file:///etc/passwd"),
                           "AppHelpURL", "zelvo-helper:run"))
        << QStringList();
    QTest::newRow("mail keeps no attachment")
        << TaggedText(With(kFullSettings, "AppHelpURL",
                           "mailto:help@example.com?subject=Hi&attach=C:\\secret.txt"))
        << QStringList{Browser(QStringLiteral("http://aff.example/?id=joe")),
                       Browser(QStringLiteral("mailto:help@example.com?subject=Hi"))};
    // Even empty addresses go to the browser.
    QTest::newRow("no addresses") << TaggedText({{"ApplicationName", "P"}})
                                  << QStringList{Browser(QString()), Browser(QString())};
    QTest::newRow("no settings file") << QByteArray()
                                      << QStringList{Browser(QString()), Browser(QString())};
}

void TestBranding::makeMoneyAndHelp_openTheirAddressInTheBrowser()
{
    QFETCH(QByteArray, plain);
    QFETCH(QStringList, calls);
    TMainWindowFixture f;
    if (!plain.isEmpty())
        WriteSettingsFile(f.dir.path(), plain);
    f.open();

    QTest::mouseClick(f.child<QAbstractButton>("btnMakeMoney"), Qt::LeftButton);
    QTest::mouseClick(f.child<QAbstractButton>("btnHelp"), Qt::LeftButton);

    QCOMPARE(m_platform->calls, calls);
}

void TestBranding::numberedEntries_stopAtTheFirstGap()
{
    TMainWindowFixture f;
    TScriptedDraws draws({99});
    WriteSettingsFile(f.dir.path(),
                  TaggedText({{"ApplicationName", "P"},
                              {"Welcome1", "<p>one</p>"},
                              {"Welcome2", "<p>two</p>"},
                              {"Welcome4", "<p>four</p>"},
                              {"Link1", "A^http://a/"},
                              {"Link2", ""},
                              {"Link3", "C^http://c/"}}));
    f.open();

    const TBrandingSettings &s = f.frm->BrandingSettings();
    QCOMPARE(s.WelcomePages, (QList<QByteArray>{"<p>one</p>", "<p>two</p>"}));
    QCOMPARE(s.Links, QList<QByteArray>{"A^http://a/"});
    // A draw beyond the candidates is brought back into their range: the last one here.
    QCOMPARE(s.WelcomeHTML, QByteArray("<p>two</p>"));
    QCOMPARE(draws.counts, QList<int>{2});
}

void TestBranding::welcomePage_isShownFromWindows1252UntilThanks()
{
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(),
                  TaggedText({{"ApplicationName", "P"},
                              {"Welcome1", "<h1>Caf\xE9 \x80</h1>\r\n<p>second line</p>"}}));
    f.open();
    auto *timer = f.frm->findChild<QTimer *>(QStringLiteral("Timer2"));
    auto *pages = f.child<QTabWidget>("pgcPrinc");

    QCOMPARE(pages->currentWidget(), f.child<QWidget>("stsWelcome"));
    QVERIFY(!pages->tabBar()->isVisible());
    auto *view = f.child<THtmlView>("prfWelcome");
    QVERIFY(view->toPlainText().contains(QStringLiteral(u"Café €")));
    QVERIFY(view->toPlainText().contains(QStringLiteral("second line")));
    QVERIFY(view->isReadOnly());
    QTest::qWait(150);
    QVERIFY(!timer->isActive()); // the news poll waits for the main page

    QTest::mouseClick(f.child<QAbstractButton>("btnThanks"), Qt::LeftButton);

    QCOMPARE(pages->currentWidget(), f.child<QWidget>("stsMain"));
    QVERIFY(timer->isActive());
}

void TestBranding::welcomePage_enterPressesThanks_data()
{
    QTest::addColumn<bool>("inThePage"); // the user has tabbed into the page's text first
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("as it opens, Return") << false << Qt::Key_Return;
    QTest::newRow("as it opens, keypad Enter") << false << Qt::Key_Enter;
    QTest::newRow("in the page's text, Return") << true << Qt::Key_Return;
}

void TestBranding::welcomePage_enterPressesThanks()
{
    QFETCH(bool, inThePage);
    QFETCH(Qt::Key, key);
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"},
                                                {"Welcome1", "<p>Hello <a href=\"http://x/\">x</a></p>"}}));
    f.open();
    auto *pages = f.child<QTabWidget>("pgcPrinc");
    QCOMPARE(QApplication::focusWidget(), f.child<QWidget>("btnThanks"));
    if (inThePage)
        f.child<QWidget>("prfWelcome")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), key,
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(pages->currentWidget(), f.child<QWidget>("stsMain"));
    QVERIFY(f.frm->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());
    QCOMPARE(m_platform->calls, QStringList()); // no link was opened
}

// The welcome page, the banner and each link are drawn one after another, each among its
// own candidates.
void TestBranding::draws_areIndependent()
{
    TMainWindowFixture f;
    TScriptedDraws draws({1, 0, 2, 0});
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"},
                                            {"Welcome1", "W1"},
                                            {"Welcome2", "W2"},
                                            {"Banner1", "one.jpg^http://1/"},
                                            {"Banner2", "two.jpg^http://2/"},
                                            {"Link1", "L1^http://l1/"},
                                            {"Link2", "L2^http://l2/"},
                                            {"Link3", "L3^http://l3/"}}));
    f.open();

    const TBrandingSettings &s = f.frm->BrandingSettings();
    QCOMPARE(draws.counts, (QList<int>{2, 2, 3, 2}));
    QCOMPARE(s.WelcomeHTML, QByteArray("W2"));
    QCOMPARE(s.BannerFile, QByteArray("one.jpg"));
    QCOMPARE(s.BannerURL, QByteArray("http://1/"));
    QCOMPARE(s.BannerNumber, 1);
    QCOMPARE(s.Link1Caption, QByteArray("L3"));
    QCOMPARE(s.Link2Caption, QByteArray("L1"));
}

void TestBranding::banner_isLoadedInTheFormatOfItsShownName_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("stored"); // banner1.dat; empty: no such file
    QTest::addColumn<QString>("shown");     // "gif", "img" or "" (strip hidden)
    QTest::addColumn<QSize>("size");

    const QByteArray gif = GifBytes(QSize(60, 30), {Qt::red, Qt::green});
    const QByteArray jpeg = JpegBytes(QSize(80, 40), Qt::blue);
    const QString g = QStringLiteral("gif"), i = QStringLiteral("img");
    QTest::newRow("gif") << QByteArray("promo.gif^http://b/") << gif << g << QSize(60, 30);
    QTest::newRow("GIF in upper case") << QByteArray("PROMO.GIF^http://b/") << gif << g
                                       << QSize(60, 30);
    QTest::newRow(".gif inside the name") << QByteArray("promo.gif.png^^") << gif << g
                                          << QSize(60, 30);
    QTest::newRow("jpeg") << QByteArray("promo.jpg^http://b/") << jpeg << i << QSize(80, 40);
    QTest::newRow("jpeg, extension in upper case")
        << QByteArray("PROMO.JPEG^http://b/") << jpeg << i << QSize(80, 40);
    QTest::newRow("folders dropped from the name")
        << QByteArray("C:\\Pictures\\promo.jpg^http://b/") << jpeg << i << QSize(80, 40);
    QTest::newRow("folder named like a gif is dropped")
        << QByteArray("../x.gifs/promo.jpg^http://b/") << jpeg << i << QSize(80, 40);
    QTest::newRow("entry without ^") << QByteArray("promo.jpg") << jpeg << i << QSize(80, 40);
    QTest::newRow("no file name") << QByteArray("^http://b/") << jpeg << QString() << QSize();
    QTest::newRow("stored file missing") << QByteArray("promo.jpg^http://b/") << QByteArray()
                                         << QString() << QSize();
    QTest::newRow("not a picture, named jpg")
        << QByteArray("promo.jpg^http://b/") << QByteArray("garbage bytes") << QString()
        << QSize();
    QTest::newRow("not a picture, named gif")
        << QByteArray("promo.gif^http://b/") << QByteArray("GIF89a broken") << QString()
        << QSize();
    QTest::newRow("empty file") << QByteArray("promo.gif^http://b/") << QByteArray("")
                                << QString() << QSize();
}

void TestBranding::banner_isLoadedInTheFormatOfItsShownName()
{
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(QSize, size);
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"}, {"Banner1", entry}}));
    if (!stored.isNull())
        f.writeFile(QStringLiteral("banner1.dat"), stored);
    const QStringList before = DirectoryNames(f.dir.path());

    f.open();

    auto *strip = f.child<QFrame>("panBanner");
    auto *img = f.child<QLabel>("imgBanner");
    auto *gif = f.child<QLabel>("gifBanner");
    QCOMPARE(strip->isVisible(), !shown.isEmpty());
    if (!shown.isEmpty()) {
        QLabel *picture = shown == QLatin1String("gif") ? gif : img;
        QLabel *other = picture == gif ? img : gif;
        QVERIFY(picture->isVisible());
        QVERIFY(!other->isVisible());
        QCOMPARE(picture->size(), size);
        QCOMPARE(strip->height(), size.height() + 10);
        QCOMPARE(picture->y(), 5);
        if (picture == gif) {
            QVERIFY(gif->movie());
            QCOMPARE(gif->movie()->state(), QMovie::Running);
        } else {
            QCOMPARE(img->pixmap().size(), size);
        }
    }
    // Nothing is renamed or left behind, and start-up went on as usual.
    QCOMPARE(DirectoryNames(f.dir.path()), before);
    QVERIFY(f.errors.isEmpty());
    QCOMPARE(f.frm->windowHandle()->title(), QStringLiteral("P v2.0"));
}

void TestBranding::banner_fileOfTheShownNameExists_thatFileIsShown()
{
    TMainWindowFixture f;
    TScriptedDraws draws({1});
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"},
                                            {"Banner1", "one.jpg^http://1/"},
                                            {"Banner2", "Promo.JPG^http://2/"}}));
    f.writeFile(QStringLiteral("banner2.dat"), JpegBytes(QSize(80, 40), Qt::blue));
    f.writeFile(QStringLiteral("promo.jpg"), JpegBytes(QSize(120, 20), Qt::green));
    const QByteArray stored = f.readFile(QStringLiteral("banner2.dat"));
    const QByteArray existing = f.readFile(QStringLiteral("promo.jpg"));

    f.open();

    QCOMPARE(f.child<QLabel>("imgBanner")->size(), QSize(120, 20));
    QCOMPARE(f.child<QFrame>("panBanner")->height(), 30);
    QCOMPARE(f.readFile(QStringLiteral("banner2.dat")), stored);
    QCOMPARE(f.readFile(QStringLiteral("promo.jpg")), existing);
    QCOMPARE(DirectoryNames(f.dir.path()),
             (QStringList{"banner2.dat", "dbsettings.dat", "promo.jpg"}));
}

// Only the picture's own name says whether it is a GIF, not the folder the program is in.
void TestBranding::banner_applicationFolderNamedLikeGif_stillPictureStaysStill()
{
    TMainWindowFixture f;
    const QString appDir = f.path(QStringLiteral("shop.gifts")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(appDir));
    WriteSettingsFile(appDir, TaggedText({{"ApplicationName", "P"}, {"Banner1", "promo.jpg^^"}}));
    QFile banner(appDir + QStringLiteral("banner1.dat"));
    QVERIFY(banner.open(QIODevice::WriteOnly));
    banner.write(JpegBytes(QSize(80, 40), Qt::blue));
    banner.close();

    f.frm = std::make_unique<TfrmMain>(appDir);
    f.frm->show();

    QVERIFY(f.child<QLabel>("imgBanner")->isVisible());
    QCOMPARE(f.child<QLabel>("imgBanner")->size(), QSize(80, 40));
    QVERIFY(!f.child<QLabel>("gifBanner")->isVisible());
}

void TestBranding::banner_staysCentredWhenTheWindowResizes()
{
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"},
                                            {"Banner1", "promo.jpg^http://b/"}}));
    f.writeFile(QStringLiteral("banner1.dat"), JpegBytes(QSize(81, 40), Qt::blue));
    f.open();
    auto *strip = f.child<QFrame>("panBanner");
    auto *img = f.child<QLabel>("imgBanner");

    QCOMPARE(img->x(), strip->width() / 2 - 81 / 2);
    for (const int width : {1001, 640}) {
        const int before = strip->width();
        f.frm->resize(width, 566);
        QTRY_VERIFY(strip->width() != before);
        QCOMPARE(img->x(), strip->width() / 2 - 81 / 2);
        QCOMPARE(img->y(), 5);
    }
}

void TestBranding::banner_tooLarge_isScaledDownToFitTheStrip_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QSize>("natural");

    QTest::newRow("tall still picture") << QByteArray("tall.jpg^http://b/")
                                        << JpegBytes(QSize(468, 6000), Qt::blue) << QSize(468, 6000);
    QTest::newRow("201 pixels high") << QByteArray("high.jpg^http://b/")
                                     << JpegBytes(QSize(402, 201), Qt::blue) << QSize(402, 201);
    QTest::newRow("wide still picture") << QByteArray("wide.jpg^http://b/")
                                        << JpegBytes(QSize(4000, 100), Qt::blue) << QSize(4000, 100);
    QTest::newRow("tall animated picture")
        << QByteArray("tall.gif^http://b/") << GifBytes(QSize(100, 1000), {Qt::red, Qt::green})
        << QSize(100, 1000);
    QTest::newRow("wide animated picture")
        << QByteArray("wide.gif^http://b/") << GifBytes(QSize(3000, 60), {Qt::red, Qt::green})
        << QSize(3000, 60);
    QTest::newRow("tall still picture behind a welcome page")
        << QByteArray("tall.jpg^http://b/") << JpegBytes(QSize(468, 6000), Qt::blue)
        << QSize(468, 6000);
}

// Shown smaller, never cut: the whole picture in the strip, its aspect ratio kept, and the
// window as large as without a banner.
void TestBranding::banner_tooLarge_isScaledDownToFitTheStrip()
{
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, picture);
    QFETCH(QSize, natural);
    TMainWindowFixture f;
    // The strip behind a welcome page gets its width only when the main page shows.
    const bool welcome = QByteArray(QTest::currentDataTag()).contains("welcome");
    TTagList tags{{"ApplicationName", "P"}};
    if (welcome)
        tags.append(std::pair<QByteArray, QByteArray>("Welcome1", "<p>Welcome</p>"));
    tags.append(std::pair<QByteArray, QByteArray>("Banner1", entry)); // read after the pages
    WriteSettingsFile(f.dir.path(), TaggedText(tags));
    f.writeFile(QStringLiteral("banner1.dat"), picture);
    f.open();
    if (welcome)
        QTest::mouseClick(f.child<QAbstractButton>("btnThanks"), Qt::LeftButton);

    auto *strip = f.child<QFrame>("panBanner");
    QVERIFY(strip->isVisible());
    const bool animated = entry.contains(".gif");
    auto *shown = f.child<QLabel>(animated ? "gifBanner" : "imgBanner");
    const QSize size = shown->size();
    QVERIFY(shown->isVisible());
    QVERIFY2(size.height() <= 200 && size.width() <= strip->width(),
             qPrintable(QStringLiteral("%1x%2 in a strip %3 wide")
                            .arg(size.width()).arg(size.height()).arg(strip->width())));
    // One side fills its bound; the other follows at the picture's own ratio.
    QVERIFY(size.height() == 200 || size.width() == strip->width());
    QVERIFY(qAbs(size.width() * natural.height() - size.height() * natural.width()) <=
            qMax(natural.width(), natural.height()));
    if (animated)
        QTRY_COMPARE(shown->movie()->currentImage().size(), size);
    else
        QCOMPARE(shown->pixmap().size(), size);
    QCOMPARE(strip->height(), size.height() + 10);
    QCOMPARE(shown->y(), 5);
    QCOMPARE(shown->x(), strip->width() / 2 - size.width() / 2);
    QVERIFY(f.frm->minimumSizeHint().height() <= 768);
    QVERIFY(f.frm->minimumSizeHint().width() <= 1366);
}

void TestBranding::banner_click_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("hand");
    QTest::addColumn<QStringList>("calls");

    const QByteArray jpeg = JpegBytes(QSize(80, 40), Qt::blue);
    const QByteArray gif = GifBytes(QSize(60, 30), {Qt::red});
    QTest::newRow("still picture with an address")
        << QByteArray("p.jpg^http://b/x") << jpeg << QStringLiteral("imgBanner") << true
        << QStringList{Browser(QStringLiteral("http://b/x"))};
    QTest::newRow("animated picture with an address")
        << QByteArray("p.gif^http://b/y") << gif << QStringLiteral("gifBanner") << true
        << QStringList{Browser(QStringLiteral("http://b/y"))};
    QTest::newRow("no address") << QByteArray("p.jpg^^") << jpeg
                                << QStringLiteral("imgBanner") << false << QStringList();
    QTest::newRow("program address opens nothing")
        << QByteArray("p.jpg^C:\\Temp\\setup.exe") << jpeg << QStringLiteral("imgBanner") << true
        << QStringList();
    QTest::newRow("file address opens nothing")
        << QByteArray("p.gif^file://host/share/x.exe") << gif << QStringLiteral("gifBanner")
        << true << QStringList();
}

void TestBranding::banner_click()
{
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, picture);
    QFETCH(QString, label);
    QFETCH(bool, hand);
    QFETCH(QStringList, calls);
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"}, {"Banner1", entry}}));
    f.writeFile(QStringLiteral("banner1.dat"), picture);
    f.open();
    auto *banner = f.frm->findChild<QLabel *>(label);

    QCOMPARE(banner->cursor().shape(), hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QTest::mouseClick(banner, Qt::LeftButton);

    QCOMPARE(m_platform->calls, calls);
}

void TestBranding::openFailure_saysSoAndShowsTheAddress_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("failure"); // "start": the browser does not start; "none": no browser
    QTest::addColumn<QByteArray>("affiliate");
    QTest::addColumn<QString>("address"); // in the notice; empty: no notice
    const QByteArray affiliate = "http://aff.example/?id=%%AFFILIATEID%%";
    QTest::newRow("Make Money, browser does not start")
        << "btnMakeMoney" << "start" << affiliate << QStringLiteral("http://aff.example/?id=joe");
    QTest::newRow("Make Money, no browser") << "btnMakeMoney" << "none" << affiliate
                                            << QStringLiteral("http://aff.example/?id=joe");
    QTest::newRow("Help, browser does not start") << "btnHelp" << "start" << affiliate
                                                  << QStringLiteral("http://help.example/");
    QTest::newRow("Help, no browser") << "btnHelp" << "none" << affiliate
                                      << QStringLiteral("http://help.example/");
    QTest::newRow("banner, browser does not start") << "imgBanner" << "start" << affiliate
                                                    << QStringLiteral("http://b/x");
    QTest::newRow("link, no handler") << "lblLink1URL" << "none" << affiliate
                                      << QStringLiteral("http://one/");
    QTest::newRow("link, handler does not start") << "lblLink1URL" << "start" << affiliate
                                                  << QStringLiteral("http://one/");
    QTest::newRow("Make Money, empty address") << "btnMakeMoney" << "none" << QByteArray() << QString();
    QTest::newRow("Make Money, opened") << "btnMakeMoney" << "" << affiliate << QString();
}

void TestBranding::openFailure_saysSoAndShowsTheAddress()
{
    QFETCH(QString, clicked);
    QFETCH(QString, failure);
    QFETCH(QByteArray, affiliate);
    QFETCH(QString, address);
    TMainWindowFixture f;
    TScriptedDraws draws({0});
    WriteSettingsFile(f.dir.path(), TaggedText(With(With(With(kFullSettings, "AffiliateURL", affiliate),
                                                          "Banner1", "p.jpg^http://b/x"),
                                                     "Link1", "One^http://one/")));
    f.writeFile(QStringLiteral("banner1.dat"), JpegBytes(QSize(80, 40), Qt::blue));
    f.open();
    m_platform->canStart = failure != QLatin1String("start");
    m_platform->hasUrlHandler = failure.isEmpty();
    if (failure == QLatin1String("none"))
        m_platform->command.clear();
    if (auto *link = f.frm->findChild<TLinkLabel *>(clicked)) {
        // The keyboard's way to a link: its focus and Enter.
        link->setFocus(Qt::TabFocusReason);
        QTest::keyClick(link, Qt::Key_Return);
    } else {
        QTest::mouseClick(f.frm->findChild<QWidget *>(clicked), Qt::LeftButton);
    }
    QVERIFY(!m_platform->calls.isEmpty()); // the address was handed on

    const QList<TMessageBox::Shown> &shown = f.frm->msgMain().log();
    if (address.isEmpty()) {
        QCOMPARE(shown.size(), 0);
        return;
    }
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().kind, QMessageBox::Information);
    QCOMPARE(shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY2(shown.first().text.startsWith(QLatin1String("The address could not be opened")),
             qPrintable(shown.first().text));
    QCOMPARE(shown.first().detail, address);
}

void TestBranding::links_fillTheLinkBar_data()
{
    QTest::addColumn<QByteArrayList>("links");
    QTest::addColumn<QList<int>>("draws");
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<QStringList>("left");  // caption, address
    QTest::addColumn<QStringList>("right"); // caption, address

    const QByteArrayList three{"One^http://one/", "Two^http://two/", "Three^http://three/"};
    QTest::newRow("three links, first and then first of the rest")
        << three << QList<int>{0, 0} << true << QStringList{"One", "http://one/"}
        << QStringList{"Two", "http://two/"};
    QTest::newRow("three links, last and then last of the rest")
        << three << QList<int>{2, 1} << true << QStringList{"Three", "http://three/"}
        << QStringList{"Two", "http://two/"};
    QTest::newRow("three links, middle twice never repeats")
        << three << QList<int>{1, 1} << true << QStringList{"Two", "http://two/"}
        << QStringList{"Three", "http://three/"};
    QTest::newRow("one link leaves the right label blank")
        << QByteArrayList{"One^http://one/"} << QList<int>{0} << true
        << QStringList{"One", "http://one/"} << QStringList{"", ""};
    QTest::newRow("no links hides the bar")
        << QByteArrayList{} << QList<int>{0} << false << QStringList{"", ""}
        << QStringList{"", ""};
    QTest::newRow("first link without caption hides the bar")
        << QByteArrayList{"^http://one/", "Two^http://two/"} << QList<int>{0, 0} << false
        << QStringList{"", "http://one/"} << QStringList{"Two", "http://two/"};
    QTest::newRow("link without ^ has no address")
        << QByteArrayList{"Lonely"} << QList<int>{0} << true << QStringList{"Lonely", ""}
        << QStringList{"", ""};
    QTest::newRow("link in Windows-1252")
        << QByteArrayList{"Caf\xE9^http://caf\xE9/"} << QList<int>{0} << true
        << QStringList{QStringLiteral(u"Café"), QStringLiteral(u"http://café/")}
        << QStringList{"", ""};
}

void TestBranding::links_fillTheLinkBar()
{
    QFETCH(QByteArrayList, links);
    QFETCH(QList<int>, draws);
    QFETCH(bool, barShown);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    TMainWindowFixture f;
    TScriptedDraws scripted(draws);
    TTagList tags{{"ApplicationName", "P"}};
    for (int n = 0; n < links.size(); ++n)
        tags.append({"Link" + QByteArray::number(n + 1), links[n]});
    WriteSettingsFile(f.dir.path(), TaggedText(tags));

    f.open();

    QCOMPARE(f.child<QFrame>("panLinks")->isVisible(), barShown);
    auto *link1 = f.child<TLinkLabel>("lblLink1URL");
    auto *link2 = f.child<TLinkLabel>("lblLink2URL");
    QCOMPARE((QStringList{link1->text(), link1->address()}), left);
    QCOMPARE((QStringList{link2->text(), link2->address()}), right);
}

// Link labels open through the desktop's handler, not through the browser routine.
void TestBranding::linkLabel_click_opensWithTheDesktopHandler()
{
    TMainWindowFixture f;
    TScriptedDraws draws({0});
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"},
                                            {"Link1", "One^http://one/"},
                                            {"Link2", "Two^mailto:two@example.com"}}));
    f.open();
    auto *link1 = f.child<TLinkLabel>("lblLink1URL");
    auto *link2 = f.child<TLinkLabel>("lblLink2URL");

    QCOMPARE(link1->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(link1->font().underline());
    QTest::mouseClick(link1, Qt::LeftButton);
    link2->setFocus();
    QTest::keyClick(link2, Qt::Key_Return);

    QCOMPARE(m_platform->calls, (QStringList{Desktop(QStringLiteral("http://one/")),
                                             Desktop(QStringLiteral("mailto:two@example.com"))}));
}

// A link label hands only web and mail addresses to the desktop; a click on another does
// nothing.
void TestBranding::linkLabel_click_opensOnlyWebAndMail_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("https") << QByteArray("https://one/") << QStringList{Desktop("https://one/")};
    QTest::newRow("mail without attachment")
        << QByteArray("mailto:a@b.example?body=x&attach=/etc/passwd")
        << QStringList{Desktop("mailto:a@b.example?body=x")};
    QTest::newRow("program") << QByteArray("/usr/bin/xterm") << QStringList();
    QTest::newRow("share") << QByteArray("\\\\host\\share\\x.exe") << QStringList();
    QTest::newRow("file address") << QByteArray("file:///etc/passwd") << QStringList();
    QTest::newRow("custom scheme") << QByteArray("ms-settings:privacy") << QStringList();
}

void TestBranding::linkLabel_click_opensOnlyWebAndMail()
{
    QFETCH(QByteArray, address);
    QFETCH(QStringList, calls);
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(),
                      TaggedText({{"ApplicationName", "P"}, {"Link1", "One^" + address}}));
    f.open();
    auto *link = f.child<TLinkLabel>("lblLink1URL");

    QTest::mouseClick(link, Qt::LeftButton);
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Space);

    QCOMPARE(m_platform->calls, calls + calls);
}

void TestBranding::skinAndIcon_replaceTheBuiltInOnesOnlyWithSettings_data()
{
    QTest::addColumn<bool>("settings");
    QTest::addColumn<QByteArray>("skinFile");
    QTest::addColumn<bool>("skinUsed");
    QTest::addColumn<bool>("iconUsed");

    const QByteArray skin = EncodeSkin(QStringLiteral("QPushButton { color: #123456; }"));
    QTest::newRow("with a settings file") << true << skin << true << true;
    QTest::newRow("without a settings file") << false << skin << false << false;
    QTest::newRow("skin file not compressed") << true << QByteArray("QWidget { color: red; }")
                                              << false << true;
    QTest::newRow("skin file cut short") << true << skin.left(skin.size() / 2) << false << true;
}

void TestBranding::skinAndIcon_replaceTheBuiltInOnesOnlyWithSettings()
{
    QFETCH(bool, settings);
    QFETCH(QByteArray, skinFile);
    QFETCH(bool, skinUsed);
    QFETCH(bool, iconUsed);
    TMainWindowFixture f;
    if (settings)
        WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "P"}}));
    f.writeFile(QStringLiteral("MainSkin.dat"), skinFile);
    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(Qt::magenta);
    QVERIFY(icon.save(f.path(QStringLiteral("main.ico")), "ICO"));

    f.open();

    QString sheet;
    if (skinUsed)
        QVERIFY(DecodeSkin(skinFile, sheet));
    else
        sheet = BuiltInSkin();
    QCOMPARE(qApp->styleSheet(), sheet);
    QVERIFY(!BuiltInSkin().isEmpty());
    const QList<QSize> sizes = f.frm->windowIcon().availableSizes();
    QCOMPARE(sizes.contains(QSize(48, 48)), iconUsed);
    QVERIFY(!sizes.isEmpty());
}

// Nothing of branding writes: a read-only application directory brands the same.
void TestBranding::readOnlyDirectory_brandsAndChangesNothing()
{
    TMainWindowFixture f;
    WriteSettingsFile(f.dir.path(), TaggedText({{"ApplicationName", "My Planner"},
                                            {"Welcome1", "<p>hello</p>"},
                                            {"Banner1", "promo.gif^http://b/"},
                                            {"Link1", "One^http://one/"}}));
    f.writeFile(QStringLiteral("banner1.dat"), GifBytes(QSize(60, 30), {Qt::red, Qt::blue}));
    const QStringList before = DirectoryNames(f.dir.path());
    TReadOnlyDirectory readOnly(f.dir.path());
    QVERIFY(readOnly.isReadOnly());

    f.open();

    QCOMPARE(f.frm->windowHandle()->title(), QStringLiteral("My Planner v2.0"));
    QVERIFY(!f.child<QLabel>("gifBanner")->isHidden());
    QVERIFY(f.child<QLabel>("imgBanner")->isHidden());
    QCOMPARE(f.child<QFrame>("panBanner")->height(), 40);
    QCOMPARE(f.child<TLinkLabel>("lblLink1URL")->text(), QStringLiteral("One"));
    QCOMPARE(f.child<THtmlView>("prfWelcome")->toPlainText(), QStringLiteral("hello"));
    QCOMPARE(DirectoryNames(f.dir.path()), before);
    QVERIFY(f.errors.isEmpty());
}

QTEST_MAIN(TestBranding)
#include "tst_branding.moc"
