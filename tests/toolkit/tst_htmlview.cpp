#include "toolkit/HtmlView.h"

#include "common/Bombs.h"
#include "common/RecordingPlatform.h"

#include <QBuffer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

namespace {

QImage RedSquare()
{
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    return picture;
}

QByteArray PngBytes(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

bool ShowsRed(QWidget &view)
{
    const QImage shot = view.grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                return true;
        }
    return false;
}

// Clicks the first character of the document, where each test puts its link.
void ClickFirstCharacter(THtmlView &view)
{
    QTextCursor cursor(view.document());
    cursor.setPosition(1);
    const QPoint at = view.cursorRect(cursor).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace

class TestHtmlView : public QObject {
    Q_OBJECT

private slots:
    void linkClick_opensOnlyWebAndMailAddresses_data();
    void linkClick_opensOnlyWebAndMailAddresses();
    void linkClick_toAnchor_scrollsWithinDocument();
    void pictures_onlyEmbeddedOnesAreShown_data();
    void pictures_onlyEmbeddedOnesAreShown();
    void embeddedPictures_pastTheLimits_areNotDecoded_data();
    void embeddedPictures_pastTheLimits_areNotDecoded();
    void setSource_loadsNothing();
    void ansiHtml_isReadAsWindows1252();
    void typing_changesNothing();
};

void TestHtmlView::linkClick_opensOnlyWebAndMailAddresses_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("http") << QStringLiteral("http://example.com/a?b=1")
                          << QStringList{QStringLiteral("openUrl(http://example.com/a?b=1)")};
    QTest::newRow("https, upper-case scheme")
        << QStringLiteral("HTTPS://example.com/")
        << QStringList{QStringLiteral("openUrl(https://example.com/)")};
    QTest::newRow("mailto") << QStringLiteral("mailto:help@example.com")
                            << QStringList{QStringLiteral("openUrl(mailto:help@example.com)")};
    QTest::newRow("blank in address is encoded")
        << QStringLiteral("http://example.com/a b")
        << QStringList{QStringLiteral("openUrl(http://example.com/a%20b)")};
    QTest::newRow("script") << QStringLiteral("javascript:alert(1)") << QStringList();
    QTest::newRow("local file") << QStringLiteral("file:///etc/passwd") << QStringList();
    QTest::newRow("relative page") << QStringLiteral("other.html") << QStringList();
    QTest::newRow("ftp") << QStringLiteral("ftp://example.com/") << QStringList();
    QTest::newRow("http without host") << QStringLiteral("http:///path") << QStringList();
    QTest::newRow("empty mailto") << QStringLiteral("mailto:") << QStringList();
}

void TestHtmlView::linkClick_opensOnlyWebAndMailAddresses()
{
    QFETCH(QString, href);
    QFETCH(QStringList, calls);
    TRecordingPlatform platform;
    THtmlView view;
    view.resize(300, 200);
    view.setHtmlText(QStringLiteral("<p><a href=\"%1\">follow</a> me</p>").arg(href));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    ClickFirstCharacter(view);

    QCOMPARE(platform.calls, calls);
    // The view never goes anywhere: the same page is still shown.
    QCOMPARE(view.toPlainText(), QStringLiteral("follow me"));
    QVERIFY(view.source().isEmpty());
}

void TestHtmlView::linkClick_toAnchor_scrollsWithinDocument()
{
    TRecordingPlatform platform;
    THtmlView view;
    view.resize(300, 150);
    QString html = QStringLiteral("<p><a href=\"#end\">down</a></p>");
    for (int i = 0; i < 60; ++i)
        html += QStringLiteral("<p>line %1</p>").arg(i);
    html += QStringLiteral("<p><a name=\"end\">end</a></p>");
    view.setHtmlText(html);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.verticalScrollBar()->value(), 0);

    ClickFirstCharacter(view);

    QVERIFY(view.verticalScrollBar()->value() > 0);
    QVERIFY(platform.calls.isEmpty());
}

void TestHtmlView::pictures_onlyEmbeddedOnesAreShown_data()
{
    QTest::addColumn<QString>("source"); // DIR stands for the folder holding red.png
    QTest::addColumn<bool>("shown");

    QTest::newRow("embedded png")
        << QStringLiteral("data:image/png;base64,") + QString::fromLatin1(PngBytes(RedSquare()).toBase64())
        << true;
    QTest::newRow("local file address") << QStringLiteral("file://DIR/red.png") << false;
    QTest::newRow("plain path") << QStringLiteral("DIR/red.png") << false;
    QTest::newRow("name beside the search path") << QStringLiteral("red.png") << false;
    QTest::newRow("broken embedded data")
        << QStringLiteral("data:image/png;base64,!!notbase64!!") << false;
}

void TestHtmlView::pictures_onlyEmbeddedOnesAreShown()
{
    QFETCH(QString, source);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    QVERIFY(RedSquare().save(dir.filePath(QStringLiteral("red.png"))));
    THtmlView view;
    view.setSearchPaths({dir.path()});
    view.resize(200, 120);
    view.setHtmlText(QStringLiteral("<p><img src=\"%1\"></p>")
                          .arg(source.replace(QStringLiteral("DIR"), dir.path())));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QCOMPARE(ShowsRed(view), shown);
}

namespace {

QString DataAddress(const QByteArray &bytes, const char *type = "image/png")
{
    return QStringLiteral("data:%1;base64,").arg(QLatin1String(type)) +
           QString::fromLatin1(bytes.toBase64());
}

QByteArray Encoded(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

} // namespace

// size: the picture the document gets; 16x16 is the placeholder.
void TestHtmlView::embeddedPictures_pastTheLimits_areNotDecoded_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QSize>("size");

    const QSize placeholder(16, 16);
    QImage wide(4096, 2, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QTest::newRow("4096 wide is shown") << DataAddress(PngBytes(wide)) << QSize(4096, 2);
    QTest::newRow("claims 20000x20000")
        << DataAddress(HugePng(20000, 20000)) << placeholder;
    QTest::newRow("claims 4097 wide") << DataAddress(HugePng(4097, 1)) << placeholder;
    QTest::newRow("claims 4097 high") << DataAddress(HugePng(1, 4097)) << placeholder;
    QTest::newRow("claims 4096x4096 but holds one-bit rows")
        << DataAddress(HugePng(4096, 4096)) << QSize(4096, 4096);
    // An uncompressed bitmap of few pixels but more than 8 MiB.
    QImage bulky(1700, 1700, QImage::Format_RGB888);
    bulky.fill(Qt::red);
    QTest::newRow("over 8 MiB") << DataAddress(Encoded(bulky, "BMP"), "image/bmp") << placeholder;
    QTest::newRow("over 8 MiB, not base64")
        << QStringLiteral("data:image/bmp,") +
               QString::fromLatin1(Encoded(bulky, "BMP").toPercentEncoding())
        << placeholder;
    QTest::newRow("embedded but not a picture")
        << DataAddress("just some text", "image/png") << placeholder;
}

void TestHtmlView::embeddedPictures_pastTheLimits_areNotDecoded()
{
    QFETCH(QString, source);
    QFETCH(QSize, size);
    THtmlView view;
    const QVariant picture = view.loadResource(QTextDocument::ImageResource, QUrl(source));
    QCOMPARE(picture.value<QImage>().size(), size);

    // In a page the refused picture is a small square, and the page is shown.
    view.resize(300, 200);
    view.setHtmlText(QStringLiteral("<p>before<img src=\"%1\">after</p>").arg(source));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.toPlainText().remove(QChar::ObjectReplacementCharacter),
             QStringLiteral("beforeafter"));
}

void TestHtmlView::setSource_loadsNothing()
{
    QTemporaryDir dir;
    QFile page(dir.filePath(QStringLiteral("page.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<p>secret</p>");
    page.close();
    THtmlView view;
    view.setHtmlText(QStringLiteral("<p>shown</p>"));

    view.setSource(QUrl::fromLocalFile(page.fileName()));

    QCOMPARE(view.toPlainText(), QStringLiteral("shown"));
}

void TestHtmlView::ansiHtml_isReadAsWindows1252()
{
    THtmlView view;
    view.setAnsiHtml(QByteArray("<p>caf\xE9 \x80 5 \x93quoted\x94</p>"));
    QCOMPARE(view.toPlainText(), QStringLiteral(u"café € 5 “quoted”"));
}

void TestHtmlView::typing_changesNothing()
{
    THtmlView view;
    view.setHtmlText(QStringLiteral("<p>fixed</p>"));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::keyClicks(&view, QStringLiteral("abc"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    QVERIFY(view.isReadOnly());
    QCOMPARE(view.toPlainText(), QStringLiteral("fixed"));
}

QTEST_MAIN(TestHtmlView)
#include "tst_htmlview.moc"
