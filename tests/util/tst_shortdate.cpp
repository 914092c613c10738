#include "util/ShortDate.h"

#include <QTest>
#include <QThread>

#include <optional>

class TestShortDate : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetShortDateFormat(QString()); }
    void parseShortDate_data();
    void parseShortDate();
    void parseShortDate_followsAFormatChange();
    void parseShortDate_answersOnEveryThread();
};

void TestShortDate::parseShortDate_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QDate>("date"); // invalid: not a calendar date

    const QString us = QStringLiteral("M/d/yyyy");
    QTest::newRow("month first") << us << QByteArray("1/5/2027") << QDate(2027, 1, 5);
    QTest::newRow("two-digit day and month") << us << QByteArray("12/13/2007") << QDate(2007, 12, 13);
    QTest::newRow("leap day") << us << QByteArray("2/29/2028") << QDate(2028, 2, 29);
    QTest::newRow("no such day") << us << QByteArray("2/30/2027") << QDate();
    QTest::newRow("no leap day in 2027") << us << QByteArray("2/29/2027") << QDate();
    QTest::newRow("month 13") << us << QByteArray("13/1/2027") << QDate();
    QTest::newRow("empty") << us << QByteArray() << QDate();
    QTest::newRow("free text") << us << QByteArray("next week") << QDate();
    QTest::newRow("blank around") << us << QByteArray(" 1/5/2027 ") << QDate();
    QTest::newRow("a letter beyond ASCII") << us << QByteArray("1/5/2027\xE9") << QDate();
    QTest::newRow("the day's order of the format")
        << QStringLiteral("dd.MM.yyyy") << QByteArray("05.01.2027") << QDate(2027, 1, 5);
    QTest::newRow("another format's text")
        << QStringLiteral("dd.MM.yyyy") << QByteArray("1/5/2027") << QDate();
}

void TestShortDate::parseShortDate()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, text);
    QFETCH(QDate, date);
    SetShortDateFormat(format);
    for (int round = 0; round < 2; ++round) { // the second answer comes from the memory
        const std::optional<QDate> parsed = ParseShortDate(text);
        QCOMPARE(parsed.has_value(), date.isValid());
        if (parsed)
            QCOMPARE(*parsed, date);
    }
}

// A remembered answer is not given for a format that no longer holds.
void TestShortDate::parseShortDate_followsAFormatChange()
{
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    QCOMPARE(ParseShortDate("1/5/2027"), std::optional<QDate>(QDate(2027, 1, 5)));
    SetShortDateFormat(QStringLiteral("d/M/yyyy"));
    QCOMPARE(ParseShortDate("1/5/2027"), std::optional<QDate>(QDate(2027, 5, 1)));
}

// An export parses on its worker thread while the window parses on its own.
void TestShortDate::parseShortDate_answersOnEveryThread()
{
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    std::optional<QDate> onWorker;
    std::unique_ptr<QThread> worker(QThread::create([&] { onWorker = ParseShortDate("3/4/2027"); }));
    worker->start();
    worker->wait();
    QCOMPARE(onWorker, std::optional<QDate>(QDate(2027, 3, 4)));
}

QTEST_GUILESS_MAIN(TestShortDate)
#include "tst_shortdate.moc"
