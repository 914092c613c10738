#include "common/MainWindowFixture.h"

#include "planner/DayPlanner.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

class TestDayPlanner : public QObject {
    Q_OBJECT

private:
    static QTreeWidget *rows(TMainWindowFixture &f) { return f.child<QTreeWidget>("lvwToDo"); }
    static QCalendarWidget *calendar(TMainWindowFixture &f) { return f.child<QCalendarWidget>("calPlanner"); }
    static QString action(TMainWindowFixture &f, int row) { return rows(f)->topLevelItem(row)->text(1); }
    static void selectRow(TMainWindowFixture &f, int row)
    {
        rows(f)->setCurrentItem(rows(f)->topLevelItem(row));
    }
    static TfrmMain &openOn(TMainWindowFixture &f, const QDate &day)
    {
        TfrmMain &frm = f.open();
        f.child<QTabWidget>("pgcMain")->setCurrentIndex(1);
        calendar(f)->setSelectedDate(day);
        return frm;
    }
    static void typeAction(const QString &text, QStringList *labels = nullptr)
    {
        TMainWindowFixture::nextDialog([text, labels](QDialog &dialog) {
            if (labels)
                *labels << dialog.windowTitle()
                        << dialog.findChild<QLabel *>(QStringLiteral("lblDay"))->text()
                        << dialog.findChild<QLabel *>(QStringLiteral("lblHour"))->text()
                        << dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text();
            TMainWindowFixture::setField(dialog, "edtName", text);
            return !text.isNull();
        });
    }

private Q_SLOTS:
    void rows_haveTheirCaptionsInOrder();
    void edit_noonActionIsStoredAndShownForThatDay();
    void edit_existingHourReplacesItsEntry();
    void edit_cancelStoresNothing();
    void edit_untouchedActionKeepsItsLineBreaks();
    void clear_removesOnlyThatHour();
    void refusals_data();
    void refusals();
    void clear_emptyHourSaysNothing();
    void calendar_dayClickAndMonthButtonsShowTheNewDay();
    void calendar_pointerSwitchesRefreshTimerOn();
    void keys_ignoreLetterCaseAndFirstEntryWins();
    void startUp_showsTheDayWithoutIndexingTheStore();
};

void TestDayPlanner::rows_haveTheirCaptionsInOrder()
{
    TMainWindowFixture f;
    f.open();
    QStringList captions;
    for (int r = 0; r < rows(f)->topLevelItemCount(); ++r)
        captions << rows(f)->topLevelItem(r)->text(0);
    QStringList expected;
    for (int n = 1; n <= 11; ++n)
        expected << QStringLiteral("%1:00 AM").arg(n);
    expected << QStringLiteral("12:00 M");
    for (int n = 1; n <= 12; ++n)
        expected << QStringLiteral("%1:00 PM").arg(n);
    QCOMPARE(captions, expected);
}

void TestDayPlanner::edit_noonActionIsStoredAndShownForThatDay()
{
    TMainWindowFixture f;
    TfrmMain &frm = openOn(f, QDate(2007, 12, 13));
    selectRow(f, 11);
    QStringList labels;
    typeAction(QStringLiteral(" Lunch "), &labels);
    QTest::mouseClick(f.child<QPushButton>("btnEditHour"), Qt::LeftButton);
    QCOMPARE(labels, (QStringList{QStringLiteral("Edit action"), QStringLiteral("Day: 12/13/2007"),
                                  QStringLiteral("Hour: 12:00 M"), QString()}));
    QCOMPARE(frm.hours().count(), 1);
    const TToDoHour &entry = *frm.hours().object(0);
    QCOMPARE(entry.Day, QByteArray("12/13/2007"));
    QCOMPARE(entry.Hour, QByteArray("12:00 M"));
    QCOMPARE(entry.Action, QByteArray(" Lunch "));
    QCOMPARE(frm.hours().key(0), QByteArray("12/13/2007-12:00 M"));
    QCOMPARE(action(f, 11), QStringLiteral(" Lunch "));
    QVERIFY(frm.isModified());

    calendar(f)->setSelectedDate(QDate(2007, 12, 14));
    QCOMPARE(action(f, 11), QString());
    calendar(f)->setSelectedDate(QDate(2007, 12, 13));
    QCOMPARE(action(f, 11), QStringLiteral(" Lunch "));
}

void TestDayPlanner::edit_existingHourReplacesItsEntry()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("Hours.dat"), "12/13/2007^9:00 AM^Old^\r\n");
    TfrmMain &frm = openOn(f, QDate(2007, 12, 13));
    selectRow(f, 8);
    rows(f)->scrollToItem(rows(f)->topLevelItem(8));
    QStringList labels;
    typeAction(QStringLiteral("New"), &labels);
    QTest::mouseDClick(rows(f)->viewport(), Qt::LeftButton, {},
                       rows(f)->visualItemRect(rows(f)->topLevelItem(8)).center());
    QCOMPARE(labels.value(3), QStringLiteral("Old"));
    QCOMPARE(frm.hours().count(), 1);
    QCOMPARE(frm.hours().object(0)->Action, QByteArray("New"));
    QCOMPARE(action(f, 8), QStringLiteral("New"));
}

void TestDayPlanner::edit_cancelStoresNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = openOn(f, QDate(2007, 12, 13));
    selectRow(f, 0);
    typeAction(QString());
    QTest::mouseClick(f.child<QPushButton>("btnEditHour"), Qt::LeftButton);
    QCOMPARE(frm.hours().count(), 0);
    QVERIFY(!frm.isModified());
}

void TestDayPlanner::edit_untouchedActionKeepsItsLineBreaks()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("Hours.dat"), "12/13/2007^1:00 AM^a\xA5\xA5\xA7\xA7" "b^\r\n");
    TfrmMain &frm = openOn(f, QDate(2007, 12, 13));
    QCOMPARE(action(f, 0), QStringLiteral("a  b"));
    selectRow(f, 0);
    QStringList labels;
    TMainWindowFixture::nextDialog([&labels](QDialog &dialog) {
        labels << dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text();
        return true;
    });
    QTest::mouseClick(f.child<QPushButton>("btnEditHour"), Qt::LeftButton);
    QCOMPARE(labels, QStringList{QStringLiteral("a  b")});
    QCOMPARE(frm.hours().object(0)->Action, QByteArray("a\r\nb"));
}

void TestDayPlanner::clear_removesOnlyThatHour()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("Hours.dat"), "12/13/2007^1:00 AM^One^\r\n12/13/2007^2:00 AM^Two^\r\n");
    TfrmMain &frm = openOn(f, QDate(2007, 12, 13));
    selectRow(f, 0);
    QTest::mouseClick(f.child<QPushButton>("btnClearHour"), Qt::LeftButton);
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(frm.hours().count(), 1);
    QCOMPARE(frm.hours().object(0)->Action, QByteArray("Two"));
    QCOMPARE(action(f, 0), QString());
    QCOMPARE(action(f, 1), QStringLiteral("Two"));
    QVERIFY(frm.isModified());
}

void TestDayPlanner::refusals_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("edit") << "btnEditHour" << "Please select a hour to edit!";
    QTest::newRow("clear") << "btnClearHour" << "Please select an action to delete!";
}

void TestDayPlanner::refusals()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    QTest::mouseClick(frm.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(f.messages(), QList<QString>{message});
    QCOMPARE(frm.msgMain().log().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(frm.msgMain().log().first().kind, QMessageBox::Information);
}

void TestDayPlanner::clear_emptyHourSaysNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    selectRow(f, 5);
    QTest::mouseClick(f.child<QPushButton>("btnClearHour"), Qt::LeftButton);
    QVERIFY(f.messages().isEmpty());
    QVERIFY(!frm.isModified());
}

void TestDayPlanner::calendar_dayClickAndMonthButtonsShowTheNewDay()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("Hours.dat"), "12/14/2007^1:00 AM^Fourteenth^\r\n"
                                             "1/14/2008^1:00 AM^Next month^\r\n");
    openOn(f, QDate(2007, 12, 13));
    QCOMPARE(action(f, 0), QString());
    calendar(f)->setSelectedDate(QDate(2007, 12, 14));
    QCOMPARE(action(f, 0), QStringLiteral("Fourteenth"));
    calendar(f)->showNextMonth();
    QCOMPARE(calendar(f)->selectedDate(), QDate(2008, 1, 14));
    QCOMPARE(action(f, 0), QStringLiteral("Next month"));
}

void TestDayPlanner::calendar_pointerSwitchesRefreshTimerOn()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    QTimer &timer = frm.dayPlanner().timer1();
    QCOMPARE(timer.interval(), 1000);
    QVERIFY(!timer.isActive());
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(calendar(f), &enter);
    QVERIFY(timer.isActive());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(calendar(f), &leave);
    QVERIFY(timer.isActive());
}

void TestDayPlanner::keys_ignoreLetterCaseAndFirstEntryWins()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("Hours.dat"), "12/13/2007^1:00 pm^First^\r\n"
                                             "12/13/2007^1:00 PM^Second^\r\n");
    TfrmMain &frm = openOn(f, QDate(2007, 12, 13));
    QCOMPARE(action(f, 12), QStringLiteral("First"));
    selectRow(f, 12);
    typeAction(QStringLiteral("Changed"));
    QTest::mouseClick(f.child<QPushButton>("btnEditHour"), Qt::LeftButton);
    QCOMPARE(frm.hours().count(), 2);
    QCOMPARE(frm.hours().object(0)->Action, QByteArray("Changed"));
    QCOMPARE(frm.hours().object(0)->Hour, QByteArray("1:00 PM"));
    QCOMPARE(frm.hours().object(1)->Action, QByteArray("Second"));
}

// A large store is shown at start-up without building its key index; the first edit does.
void TestDayPlanner::startUp_showsTheDayWithoutIndexingTheStore()
{
    TMainWindowFixture f;
    const QByteArray today = ShortDateText(QDate::currentDate()).toLatin1();
    f.writeFile(QStringLiteral("Hours.dat"), "1/1/2001^1:00 AM^old^\r\n" + today + "^2:00 am^Call^\r\n"
                                                 + today + "^2:00 AM^second^\r\n");
    TfrmMain &frm = f.open();
    QCOMPARE(action(f, 1), QStringLiteral("Call"));
    QCOMPARE(action(f, 0), QString());
    QVERIFY(!frm.hours().isIndexed());
    selectRow(f, 1);
    typeAction(QStringLiteral("Call Bob"));
    QTest::mouseClick(f.child<QPushButton>("btnEditHour"), Qt::LeftButton);
    QVERIFY(frm.hours().isIndexed());
    QCOMPARE(action(f, 1), QStringLiteral("Call Bob"));
    QCOMPARE(frm.hours().count(), 3);
}

QTEST_MAIN(TestDayPlanner)
#include "tst_dayplanner.moc"
