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
        << QStringList{QStringLiteral(
               R"(shellOpen(c:\program files\opera\opera.exe, http://example.com/a?b=1))")};
    QTest::newRow("registered command without .exe still counts as a browser")
        << QStringLiteral("browser %1") << false << QByteArray("http://x/") << true
        << QStringList{QStringLiteral("shellOpen(.exe, http://x/)")};
    QTest::newRow("url bytes are Windows-1252")
        << QStringLiteral("b.exe") << true << QByteArray("http://x/\x80\xE9") << true
        << QStringList{QStringLiteral("shellOpen(b.exe, http://x/\u20AC\u00E9)")};
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

QTEST_GUILESS_MAIN(TestUUtils)
#include "tst_uutils.moc"
