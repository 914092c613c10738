#include "toolkit/DateEdit.h"
#include "util/ShortDate.h"

#include <QCalendarWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

class TestDateEdit : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void storedText_readsBackExactly_data();
    void storedText_readsBackExactly();
    void fresh_showsTodayInTheFormatsOrder_data();
    void fresh_showsTodayInTheFormatsOrder();
    void typing_givesTheTextShown_data();
    void typing_givesTheTextShown();
    void dropDown_pickIsWrittenIntoTheField_data();
    void dropDown_pickIsWrittenIntoTheField();
    void dropDown_opensAtTheDateShown_data();
    void dropDown_opensAtTheDateShown();
};

namespace {

QString Padded(int number, int width, char pad)
{
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char(pad));
}

} // namespace

void TestDateEdit::cleanup()
{
    SetShortDateFormat(QString());
}

void TestDateEdit::storedText_readsBackExactly_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("fitsMask"); // then the field also shows it as it is
    QTest::addColumn<QString>("shown");  // otherwise it shows this
    QTest::newRow("two-digit month and day") << QStringLiteral("10/14/2008") << true << QString();
    QTest::newRow("one-digit month and day padded") << QStringLiteral(" 4/ 1/2008") << true << QString();
    QTest::newRow("empty") << QString() << false << QStringLiteral("  /  /    ");
    QTest::newRow("blank mask") << QStringLiteral("  /  /    ") << true << QString();
    QTest::newRow("partly typed") << QStringLiteral("1 / 1/  08") << true << QString();
    QTest::newRow("unpadded, off the mask") << QStringLiteral("4/1/2008") << false << QStringLiteral(" 4/ 1/2008");
    QTest::newRow("one-digit day") << QStringLiteral("10/3/2026") << false << QStringLiteral("10/ 3/2026");
    QTest::newRow("other order, off the mask") << QStringLiteral("2008-10-14") << false << QString();
}

void TestDateEdit::storedText_readsBackExactly()
{
    QFETCH(QString, stored);
    QFETCH(bool, fitsMask);
    QFETCH(QString, shown);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    TDateEdit edit;
    edit.setText(stored);
    QCOMPARE(edit.text(), stored);
    if (fitsMask)
        QCOMPARE(edit.displayText(), stored);
    else if (!shown.isEmpty())
        QCOMPARE(edit.displayText(), shown);
}

void TestDateEdit::fresh_showsTodayInTheFormatsOrder_data()
{
    const QDate today = QDate::currentDate();
    const QString d = Padded(today.day(), 2, ' '), dd = Padded(today.day(), 2, '0');
    const QString m = Padded(today.month(), 2, ' '), mm = Padded(today.month(), 2, '0');
    const QString yyyy = Padded(today.year(), 4, '0');
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("M/d/yyyy") << QStringLiteral("M/d/yyyy") << m + u'/' + d + u'/' + yyyy;
    QTest::newRow("dd.MM.yyyy") << QStringLiteral("dd.MM.yyyy") << dd + u'.' + mm + u'.' + yyyy;
    QTest::newRow("yyyy-MM-dd") << QStringLiteral("yyyy-MM-dd") << yyyy + u'-' + mm + u'-' + dd;
    QTest::newRow("d/M/yy widens the year") << QStringLiteral("d/M/yy") << d + u'/' + m + u'/' + yyyy;
}

void TestDateEdit::fresh_showsTodayInTheFormatsOrder()
{
    QFETCH(QString, format);
    QFETCH(QString, expected);
    SetShortDateFormat(format);
    TDateEdit edit;
    QCOMPARE(edit.text(), expected);
    QCOMPARE(edit.displayText(), expected);
    QVERIFY(edit.maxLength() <= 10);
}

void TestDateEdit::typing_givesTheTextShown_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("clearFirst");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("overtype the month") << QStringLiteral("M/d/yyyy") << QStringLiteral("10/14/2008")
                                        << false << QStringLiteral("11") << QStringLiteral("11/14/2008");
    QTest::newRow("cleared field keeps separators and blanks")
        << QStringLiteral("M/d/yyyy") << QStringLiteral(" 4/ 1/2008") << true << QString()
        << QStringLiteral("  /  /    ");
    QTest::newRow("letters are refused") << QStringLiteral("M/d/yyyy") << QStringLiteral("10/14/2008")
                                         << false << QStringLiteral("ab") << QStringLiteral("10/14/2008");
    QTest::newRow("day first, dots") << QStringLiteral("dd.MM.yyyy") << QString() << true
                                     << QStringLiteral("04012008") << QStringLiteral("04.01.2008");
    QTest::newRow("year first, dashes") << QStringLiteral("yyyy-MM-dd") << QString() << true
                                        << QStringLiteral("20080104") << QStringLiteral("2008-01-04");
}

void TestDateEdit::typing_givesTheTextShown()
{
    QFETCH(QString, format);
    QFETCH(QString, stored);
    QFETCH(bool, clearFirst);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    SetShortDateFormat(format);
    TDateEdit edit;
    edit.setText(stored);
    if (clearFirst) {
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_Backspace);
    }
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.displayText(), expected);
    QCOMPARE(edit.text(), expected);
}

void TestDateEdit::dropDown_pickIsWrittenIntoTheField_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("month first") << QStringLiteral("M/d/yyyy") << QDate(2008, 1, 4) << QStringLiteral(" 1/ 4/2008");
    QTest::newRow("two digits") << QStringLiteral("M/d/yyyy") << QDate(2008, 10, 14) << QStringLiteral("10/14/2008");
    QTest::newRow("day first") << QStringLiteral("d/M/yyyy") << QDate(2008, 1, 4) << QStringLiteral(" 4/ 1/2008");
    QTest::newRow("zero padded") << QStringLiteral("dd.MM.yyyy") << QDate(2008, 1, 4) << QStringLiteral("04.01.2008");
}

void TestDateEdit::dropDown_pickIsWrittenIntoTheField()
{
    QFETCH(QString, format);
    QFETCH(QDate, picked);
    QFETCH(QString, expected);
    SetShortDateFormat(format);
    TDateEdit edit;
    edit.setText(QString());
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));

    QTest::mouseClick(edit.findChild<QToolButton *>(QStringLiteral("btnDropDown")), Qt::LeftButton);
    QCalendarWidget *calendar = edit.calendar();
    QVERIFY(calendar);
    QVERIFY(calendar->isVisible());
    QCOMPARE(calendar->size(), QSize(200, 150));
    QCOMPARE(calendar->firstDayOfWeek(), Qt::Sunday);

    calendar->setSelectedDate(picked);
    QTest::keyClick(calendar->findChild<QTableView *>(), Qt::Key_Return);
    QVERIFY(!calendar->isVisible());
    QCOMPARE(edit.displayText(), expected);
    QCOMPARE(edit.text(), expected);
    QVERIFY(edit.isModified());
}

void TestDateEdit::dropDown_opensAtTheDateShown_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("a date") << QStringLiteral("10/14/2008") << QDate(2008, 10, 14);
    QTest::newRow("padded date") << QStringLiteral(" 4/ 1/2008") << QDate(2008, 4, 1);
    QTest::newRow("no date: today") << QString() << QDate::currentDate();
    QTest::newRow("impossible date: today") << QStringLiteral("13/45/2008") << QDate::currentDate();
}

void TestDateEdit::dropDown_opensAtTheDateShown()
{
    QFETCH(QString, stored);
    QFETCH(QDate, expected);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    TDateEdit edit;
    edit.setText(stored);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    QVERIFY(edit.calendar() && edit.calendar()->isVisible());
    QCOMPARE(edit.calendar()->selectedDate(), expected);
    QCOMPARE(edit.text(), stored); // opening alone changes nothing
}

QTEST_MAIN(TestDateEdit)
#include "tst_dateedit.moc"
