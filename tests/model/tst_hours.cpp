#include "book_support.h"
#include "files_support.h"
#include "model/UProjects.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList DumpHours(const THours &hours)
{
    QStringList lines;
    for (int i = 0; i < hours.count(); ++i) {
        const TToDoHour &h = *hours.object(i);
        lines << QStringLiteral("%1|%2|%3 (key %4)")
                     .arg(Show(h.Day), Show(h.Hour), Show(h.Action), Show(hours.key(i)));
    }
    return lines;
}

void AddHour(THours &hours, const QByteArray &day, const QByteArray &hour, const QByteArray &action)
{
    hours.append(PlannerKey(day, hour), std::make_unique<TToDoHour>(day, hour, action));
}

} // namespace

class TestHours : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadHours_line_data();
    void loadHours_line();
    void loadHours_sameHourTwice_keepsBothAndFindsFirst();
    void saveHours_writesExactBytesAndReadsBack();

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_appDir;
};

void TestHours::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_appDir = m_temp->path() + QLatin1Char('/');
}

void TestHours::loadHours_line_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("day, hour and action")
        << QByteArray("10/14/2008^9:00 AM^Call the printer^\r\n")
        << QStringList{"10/14/2008|9:00 AM|Call the printer (key 10/14/2008-9:00 AM)"};
    QTest::newRow("empty action") << QByteArray("1/2/2008^12:00 M^^\r\n")
                                  << QStringList{"1/2/2008|12:00 M| (key 1/2/2008-12:00 M)"};
    QTest::newRow("missing fields are empty")
        << QByteArray("1/2/2008^3:00 PM\r\n1/2/2008\r\n")
        << QStringList{"1/2/2008|3:00 PM| (key 1/2/2008-3:00 PM)", "1/2/2008|| (key 1/2/2008-)"};
    QTest::newRow("extra fields ignored: a caret cuts the action")
        << QByteArray("d^h^a^b^\r\n") << QStringList{"d|h|a (key d-h)"};
    QTest::newRow("escaped line breaks come back") << QByteArray("d^h^one\xA5\xA5\xA7\xA7two^\r\n")
                                                   << QStringList{"d|h|one\\r\\ntwo (key d-h)"};
    QTest::newRow("blank lines skipped, any line end, no end at the last line")
        << QByteArray("\r\n \t \rd^h^a^\n\r\ne^h^b^")
        << QStringList{"d|h|a (key d-h)", "e|h|b (key e-h)"};
    QTest::newRow("blanks inside a line kept")
        << QByteArray(" d^ h^ a ^") << QStringList{" d| h| a  (key  d- h)"};
}

void TestHours::loadHours_line()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, entries);

    QVERIFY(WriteBytes(m_appDir + QStringLiteral("Hours.dat"), file));
    THours hours(m_appDir);
    AddHour(hours, "kept", "1:00 AM", "before"); // loading appends
    hours.LoadHours();
    QCOMPARE(DumpHours(hours), QStringList{"kept|1:00 AM|before (key kept-1:00 AM)"} + entries);
}

void TestHours::loadHours_sameHourTwice_keepsBothAndFindsFirst()
{
    QVERIFY(WriteBytes(m_appDir + QStringLiteral("Hours.dat"),
                       "1/2/2008^3:00 pm^first^\r\n1/2/2008^3:00 PM^second^\r\n"));
    THours hours(m_appDir);
    hours.LoadHours();
    QCOMPARE(hours.count(), 2);
    QCOMPARE(hours.indexOf(PlannerKey("1/2/2008", "3:00 PM")), 0);
    QCOMPARE(hours.indexOf(PlannerKey("1/2/2008", "3:00 pm")), 0);
    QCOMPARE(hours.indexOf(PlannerKey("1/3/2008", "3:00 PM")), -1);

    hours.removeAt(0); // clearing the row shows the second entry
    QCOMPARE(hours.indexOf("1/2/2008-3:00 PM"), 0);
    QCOMPARE(hours.object(0)->Action, QByteArray("second"));
}

void TestHours::saveHours_writesExactBytesAndReadsBack()
{
    THours hours(m_appDir);
    hours.SaveHours();
    QCOMPARE(ReadBytes(m_appDir + QStringLiteral("Hours.dat")), QByteArray());

    AddHour(hours, "10/14/2008", "9:00 AM", "Call\r\nthe printer");
    AddHour(hours, "10/14/2008", "12:00 M", "");
    AddHour(hours, " 4/ 1/2009", "1:00 PM", "\xE9t\xE9");
    hours.SaveHours();
    QCOMPARE(Show(ReadBytes(m_appDir + QStringLiteral("Hours.dat"))),
             Show("10/14/2008^9:00 AM^Call\xA5\xA5\xA7\xA7the printer^\r\n"
                  "10/14/2008^12:00 M^^\r\n"
                  " 4/ 1/2009^1:00 PM^\xE9t\xE9^\r\n"));

    THours loaded(m_appDir);
    loaded.LoadHours();
    QCOMPARE(DumpHours(loaded), DumpHours(hours));
}

QTEST_GUILESS_MAIN(TestHours)
#include "tst_hours.moc"
