#include "common/RecordingPlatform.h"
#include "util/UUtils.h"

#include <QTest>

using ByteList = QList<QByteArray>;

class TestUUtils : public QObject {
    Q_OBJECT

private slots:
    void splitString_data();
    void splitString();
    void decodeDollarHex_data();
    void decodeDollarHex();
    void escapeLineBreaks_data();
    void escapeLineBreaks();
    void unescapeLineBreaks_data();
    void unescapeLineBreaks();
    void flattenLineBreaks_data();
    void flattenLineBreaks();
    void browserProgramFromCommand_data();
    void browserProgramFromCommand();
    void openInBrowser_data();
    void openInBrowser();
    void addresses_onlyWebAndMailAreOpened_data();
    void addresses_onlyWebAndMailAreOpened();
    void cleanup() { TPlatform::install(nullptr); }
};

void TestUUtils::splitString_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<ByteList>("fields");

    QTest::newRow("two fields") << QByteArray("a^b") << ByteList{"a", "b"};
    QTest::newRow("trailing delimiter adds no field") << QByteArray("a^b^") << ByteList{"a", "b"};
    QTest::newRow("empty field between delimiters kept")
        << QByteArray("a^^b") << ByteList{"a", "", "b"};
    QTest::newRow("leading delimiter gives empty first field")
        << QByteArray("^a") << ByteList{"", "a"};
    QTest::newRow("delimiter alone gives one empty field") << QByteArray("^") << ByteList{""};
    QTest::newRow("empty text gives no field") << QByteArray() << ByteList{};
    QTest::newRow("two trailing delimiters keep one empty field")
        << QByteArray("a^^") << ByteList{"a", ""};
    QTest::newRow("no delimiter gives the whole text") << QByteArray("a b,c") << ByteList{"a b,c"};
}

void TestUUtils::splitString()
{
    QFETCH(QByteArray, text);
    QFETCH(ByteList, fields);
    QCOMPARE(SplitString('^', text), fields);
}

void TestUUtils::decodeDollarHex_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("decoded");

    QTest::newRow("escapes and plain") << QByteArray("$41$62c") << QByteArray("Abc");
    QTest::newRow("percent sign") << QByteArray("100$25") << QByteArray("100%");
    QTest::newRow("no dollar sign")
        << QByteArray("text without a dollar sign") << QByteArray("text without a dollar sign");
    QTest::newRow("dollar at the end") << QByteArray("abc$") << QByteArray();
    QTest::newRow("non-hex digit") << QByteArray("$4G") << QByteArray();
    QTest::newRow("one digit at the very end") << QByteArray("$7") << QByteArray("\x07");
    QTest::newRow("lower-case hex, high byte") << QByteArray("$e9t$E9") << QByteArray("\xE9t\xE9");
    QTest::newRow("malformed after good escapes gives nothing")
        << QByteArray("$41$42 $zz") << QByteArray();
    QTest::newRow("NUL byte") << QByteArray("a$00b") << QByteArray("a\0b", 3);
}

void TestUUtils::decodeDollarHex()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, decoded);
    QCOMPARE(DecodeDollarHex(text), decoded);
}

void TestUUtils::escapeLineBreaks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("escaped");

    QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("\xA5\xA5\xA7\xA7");
    QTest::newRow("lone CR and lone LF") << QByteArray("a\rb\nc")
                                         << QByteArray("a\xA5\xA5"
                                                       "b\xA7\xA7"
                                                       "c");
    QTest::newRow("LF CR") << QByteArray("\n\r") << QByteArray("\xA7\xA7\xA5\xA5");
    QTest::newRow("no line break") << QByteArray("plain ^text^") << QByteArray("plain ^text^");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

// Escaping and unescaping are inverse for text holding no 0xA5/0xA7 pairs of its own.
void TestUUtils::escapeLineBreaks()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, escaped);
    QCOMPARE(EscapeLineBreaks(text), escaped);
    QCOMPARE(UnescapeLineBreaks(escaped), text);
}

void TestUUtils::unescapeLineBreaks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("unescaped");

    QTest::newRow("odd run of CR marks: pairs from the left")
        << QByteArray("\xA5\xA5\xA5") << QByteArray("\r\xA5");
    QTest::newRow("single marks stay") << QByteArray("a\xA5"
                                                     "b\xA7")
                                       << QByteArray("a\xA5"
                                                     "b\xA7");
    QTest::newRow("mixed marks are no pair") << QByteArray("\xA5\xA7") << QByteArray("\xA5\xA7");
    QTest::newRow("pair split by a restored CR stays apart")
        << QByteArray("\xA7\xA5\xA5\xA7") << QByteArray("\xA7\r\xA7");
    QTest::newRow("four marks are two breaks")
        << QByteArray("\xA7\xA7\xA7\xA7") << QByteArray("\n\n");
}

void TestUUtils::unescapeLineBreaks()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, unescaped);
    QCOMPARE(UnescapeLineBreaks(text), unescaped);
}

void TestUUtils::flattenLineBreaks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("flat");

    QTest::newRow("CR LF gives two blanks") << QByteArray("a\r\nb") << QByteArray("a  b");
    QTest::newRow("lone CR and LF") << QByteArray("\ra\n") << QByteArray(" a ");
    QTest::newRow("escape marks stay") << QByteArray("\xA5\xA5") << QByteArray("\xA5\xA5");
}

void TestUUtils::flattenLineBreaks()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, flat);
    QCOMPARE(FlattenLineBreaks(text), flat);
}

void TestUUtils::browserProgramFromCommand_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("program");

    QTest::newRow("quoted path with arguments")
        << QByteArray(R"("C:\Program Files\Mozilla Firefox\FIREFOX.EXE" -osint -url "%1")")
        << QByteArray(R"(c:\program files\mozilla firefox\firefox.exe)");
    QTest::newRow("bare short path with switch")
        << QByteArray(R"(C:\PROGRA~1\INTERN~1\IEXPLORE.EXE -nohome)")
        << QByteArray(R"(c:\progra~1\intern~1\iexplore.exe)");
    QTest::newRow("cut at the first .exe")
        << QByteArray(R"("C:\a.exe\b.exe" %1)") << QByteArray(R"(c:\a.exe)");
    QTest::newRow("without .exe only .exe is left")
        << QByteArray(R"(/usr/bin/firefox "%1")") << QByteArray(".exe");
    QTest::newRow("only A-Z are lower-cased")
        << QByteArray("\"C:\\\xC4RGER\\\xC9.Exe\"") << QByteArray("c:\\\xC4rger\\\xC9.exe");
}

void TestUUtils::browserProgramFromCommand()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, program);
    QCOMPARE(BrowserProgramFromCommand(command), program);
}

void TestUUtils::openInBrowser_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("hasUrlHandler");
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("registered command starts its program with the url")
        << QStringLiteral(R"("C:\Program Files\Opera\OPERA.EXE" -newwindow "%1")") << true
        << QByteArray("http://example.com/a?b=1") << true
        << QStringList{QStringLiteral("shellOpen(c:\\program files\\opera\\opera.exe, "
                                      "\"http://example.com/a?b=1\")")};
    QTest::newRow("registered command without .exe still counts as a browser")
        << QStringLiteral("browser %1") << false << QByteArray("http://x/") << true
        << QStringList{QStringLiteral("shellOpen(.exe, \"http://x/\")")};
    QTest::newRow("url bytes are Windows-1252")
        << QStringLiteral("b.exe") << true << QByteArray("http://x/\x80\xE9") << true
        << QStringList{QStringLiteral("shellOpen(b.exe, \"http://x/\u20AC\u00E9\")")};
    QTest::newRow("empty address goes to the browser as it is")
        << QStringLiteral("b.exe") << true << QByteArray() << true
        << QStringList{QStringLiteral("shellOpen(b.exe, )")};
    QTest::newRow("refused address: false, nothing started")
        << QStringLiteral("b.exe") << true << QByteArray("file:///etc/passwd") << false
        << QStringList();
#ifndef Q_OS_WIN
    QTest::newRow("no command: the desktop's handler opens the url")
        << QString() << true << QByteArray("https://example.com/") << true
        << QStringList{QStringLiteral("openUrl(https://example.com/)")};
    QTest::newRow("no command and no handler: false")
        << QString() << false << QByteArray("https://example.com/") << false
        << QStringList{QStringLiteral("openUrl(https://example.com/)")};
#endif
}

void TestUUtils::openInBrowser()
{
    QFETCH(QString, command);
    QFETCH(bool, hasUrlHandler);
    QFETCH(QByteArray, url);
    QFETCH(bool, result);
    QFETCH(QStringList, calls);

    TRecordingPlatform platform;
    platform.command = command;
    platform.hasUrlHandler = hasUrlHandler;

    QCOMPARE(OpenInBrowser(url), result);
    QCOMPARE(platform.calls, calls);
}

// Each address through the three ways out: the registered browser (quoted), the desktop's
// handler through OpenInBrowser, and the desktop's handler through OpenAddress (link labels).
// opened: the text handed over; empty: refused, and nothing reached the platform.
void TestUUtils::addresses_onlyWebAndMailAreOpened_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QString>("opened");

    QTest::newRow("http") << QByteArray("http://example.com/a?b=1#c")
                          << QStringLiteral("http://example.com/a?b=1#c");
    QTest::newRow("https, scheme in upper case")
        << QByteArray("HTTPS://example.com/") << QStringLiteral("HTTPS://example.com/");
    QTest::newRow("blanks around are trimmed")
        << QByteArray("  http://example.com/ \r\n") << QStringLiteral("http://example.com/");
    QTest::newRow("blanks and quotes cannot add switches")
        << QByteArray("http://x/\" -new-window \"c:\\x.exe")
        << QStringLiteral("http://x/%22%20-new-window%20%22c:%5Cx.exe");
    QTest::newRow("percent signs of the brander stay")
        << QByteArray("http://a/%%affiliateid%%") << QStringLiteral("http://a/%%affiliateid%%");
    QTest::newRow("mail with subject and body")
        << QByteArray("mailto:joe@example.com?subject=Hi&body=Text")
        << QStringLiteral("mailto:joe@example.com?subject=Hi&body=Text");
    QTest::newRow("mail keeps cc and bcc, drops attach and other fields")
        << QByteArray("mailto:joe@example.com?attach=C:\\secret.txt&CC=a@b&to=c@d&bcc=e@f&"
                      "%61ttach=x&X-Header=1")
        << QStringLiteral("mailto:joe@example.com?CC=a@b&bcc=e@f");
    QTest::newRow("mail with only an attachment")
        << QByteArray("mailto:joe@example.com?attachment=/etc/passwd")
        << QStringLiteral("mailto:joe@example.com");
    QTest::newRow("file path") << QByteArray("C:\\Windows\\system32\\calc.exe") << QString();
    QTest::newRow("absolute path") << QByteArray("/usr/bin/xterm") << QString();
    QTest::newRow("share") << QByteArray("\\\\host\\share\\x.exe") << QString();
    QTest::newRow("file address") << QByteArray("file:///etc/passwd") << QString();
    QTest::newRow("file address, upper case") << QByteArray("FILE://host/share/x.exe")
                                              << QString();
    QTest::newRow("custom scheme") << QByteArray("zelvo-helper://run?x=1") << QString();
    QTest::newRow("javascript") << QByteArray("javascript:alert(1)") << QString();
    QTest::newRow("http without a host") << QByteArray("http:/etc/passwd") << QString();
    QTest::newRow("http with backslashes") << QByteArray("http:\\\\host\\share") << QString();
    QTest::newRow("mail without a recipient") << QByteArray("mailto:?subject=x") << QString();
    QTest::newRow("switch alone") << QByteArray("--new-window") << QString();
    QTest::newRow("blank") << QByteArray("   ") << QString();
}

void TestUUtils::addresses_onlyWebAndMailAreOpened()
{
    QFETCH(QByteArray, address);
    QFETCH(QString, opened);
    const bool allowed = !opened.isEmpty();

    TRecordingPlatform platform;
    platform.command = QStringLiteral("\"C:\\B\\Browser.exe\" %1");
    QCOMPARE(OpenInBrowser(address), allowed);
    platform.command.clear();
    QCOMPARE(OpenInBrowser(address), allowed);
    QCOMPARE(OpenAddress(QString::fromLatin1(address)), allowed);

    const QStringList calls =
        allowed ? QStringList{QStringLiteral("shellOpen(c:\\b\\browser.exe, \"%1\")").arg(opened),
                              QStringLiteral("openUrl(%1)").arg(opened),
                              QStringLiteral("openUrl(%1)").arg(opened)}
                : QStringList();
    QCOMPARE(platform.calls, calls);
}

QTEST_GUILESS_MAIN(TestUUtils)
#include "tst_uutils.moc"
