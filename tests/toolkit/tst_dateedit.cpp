#include "toolkit/DateEdit.h"
#include "toolkit/Skin.h"
#include "util/ShortDate.h"

#include <QApplication>

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
    void typing_marksOnlyWhatIsNoDate_data();
    void typing_marksOnlyWhatIsNoDate();
    void enteringFilledField_selectsItSoTypingReplacesIt_data();
    void enteringFilledField_selectsItSoTypingReplacesIt();
    void mark_isTintedAsPaintedUnderTheSkin_data();
    void mark_isTintedAsPaintedUnderTheSkin();
    void dropDown_showsTheWholeMonthLikeThePlanner();
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

// The colour the user sees in a blank stretch of the field, right of the text and left of the
// drop-down button, from the painted field.
QColor PaintedBackground(TDateEdit &edit)
{
    const QImage shot = edit.grab().toImage();
    const qreal scale = shot.devicePixelRatio();
    return shot.pixelColor(QPoint(int((edit.width() - 26) * scale), int(edit.height() / 2 * scale)));
}

bool LooksTinted(const QColor &colour)
{
    return colour.red() - colour.green() > 20 && colour.red() - colour.blue() > 20;
}

// Two fields in a window, the user's way in: a start and an end date, each 160 pixels wide.
struct TDatePair
{
    TDatePair()
    {
        start = new TDateEdit(&window);
        end = new TDateEdit(&window);
        start->setGeometry(0, 0, 160, 24);
        end->setGeometry(0, 40, 160, 24);
        end->setStartDateField(start);
        window.resize(200, 80);
        window.show();
    }
    bool active() { return QTest::qWaitForWindowActive(&window); }

    // Tabs into field and types over what it shows.
    static void typeOver(TDateEdit *field, const QString &typed)
    {
        field->clearFocus(); // so that it is tabbed into afresh
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field, typed);
    }

    QWidget window;
    TDateEdit *start;
    TDateEdit *end;
};

} // namespace

void TestDateEdit::cleanup()
{
    SetShortDateFormat(QString());
}

void TestDateEdit::storedText_readsBackExactly_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("marked"); // shown as not a calendar date
    QTest::newRow("two-digit month and day") << QStringLiteral("10/14/2008") << false;
    QTest::newRow("one-digit month and day") << QStringLiteral("4/1/2008") << false;
    QTest::newRow("padded with blanks, from older files") << QStringLiteral(" 4/ 1/2008") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blank mask, from older files") << QStringLiteral("  /  /    ") << false;
    QTest::newRow("partly typed") << QStringLiteral("1 / 1/  08") << true;
    QTest::newRow("other order") << QStringLiteral("2008-10-14") << true;
    QTest::newRow("no such day") << QStringLiteral("2/30/2027") << true;
    QTest::newRow("no such month") << QStringLiteral("13/1/2027") << true;
    QTest::newRow("two-digit year") << QStringLiteral("1/5/27") << true;
    QTest::newRow("words") << QStringLiteral("next week") << true;
    QTest::newRow("longer than a typed date") << QStringLiteral("10/14/2008 noon") << true;
}

void TestDateEdit::storedText_readsBackExactly()
{
    QFETCH(QString, stored);
    QFETCH(bool, marked);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    TDateEdit edit;
    edit.resize(160, 24);
    edit.setText(stored);
    QCOMPARE(edit.text(), stored);
    QCOMPARE(edit.displayText(), stored);
    QCOMPARE(edit.isMarkedInvalid(), marked);
    // The mark is visible: a tinted field with a tool tip saying why.
    QCOMPARE(LooksTinted(PaintedBackground(edit)), marked);
    QCOMPARE(edit.toolTip().isEmpty(), !marked);
}

void TestDateEdit::fresh_showsTodayInTheFormatsOrder_data()
{
    const QDate today = QDate::currentDate();
    const QString d = QString::number(today.day()), dd = Padded(today.day(), 2, '0');
    const QString m = QString::number(today.month()), mm = Padded(today.month(), 2, '0');
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
    QVERIFY(!edit.isMarkedInvalid());
}

void TestDateEdit::typing_givesTheTextShown_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("keys"); // "all": select all first, "home", "end", or "month": select it
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QString mdy = QStringLiteral("M/d/yyyy");
    QTest::newRow("over a selected date, as written")
        << mdy << QStringLiteral("12/3/2026") << "all" << QStringLiteral("1/5/2027") << QStringLiteral("1/5/2027");
    QTest::newRow("digits only") << mdy << QStringLiteral("12/3/2026") << "all" << QStringLiteral("12252027")
                                 << QStringLiteral("12/25/2027");
    QTest::newRow("a month that cannot grow moves on") << mdy << QString() << "all" << QStringLiteral("372027")
                                                       << QStringLiteral("3/7/2027");
    QTest::newRow("separator after a full part is not doubled")
        << mdy << QString() << "all" << QStringLiteral("10/14/2008") << QStringLiteral("10/14/2008");
    QTest::newRow("separator moves on early") << mdy << QString() << "all" << QStringLiteral("1/1/2008")
                                              << QStringLiteral("1/1/2008");
    QTest::newRow("separator at the start is ignored") << mdy << QString() << "all" << QStringLiteral("/1/2/2008")
                                                       << QStringLiteral("1/2/2008");
    QTest::newRow("overtype the month") << mdy << QStringLiteral("10/14/2008") << "home" << QStringLiteral("11")
                                        << QStringLiteral("11/14/2008");
    QTest::newRow("type over the selected month") << mdy << QStringLiteral("10/14/2008") << "month"
                                                  << QStringLiteral("7") << QStringLiteral("7/14/2008");
    QTest::newRow("a full date takes no more digits") << mdy << QStringLiteral("10/14/2008") << "end"
                                                      << QStringLiteral("5") << QStringLiteral("10/14/2008");
    QTest::newRow("cleared field stays empty") << mdy << QStringLiteral("4/1/2008") << "all" << QString()
                                               << QString();
    QTest::newRow("letters are refused") << mdy << QStringLiteral("10/14/2008") << "end" << QStringLiteral("ab")
                                         << QStringLiteral("10/14/2008");
    QTest::newRow("day first, dots") << QStringLiteral("dd.MM.yyyy") << QString() << "all"
                                     << QStringLiteral("04012008") << QStringLiteral("04.01.2008");
    QTest::newRow("day first, one digit each") << QStringLiteral("dd.MM.yyyy") << QString() << "all"
                                               << QStringLiteral("5.1.2027") << QStringLiteral("5.1.2027");
    QTest::newRow("year first, dashes") << QStringLiteral("yyyy-MM-dd") << QString() << "all"
                                        << QStringLiteral("20080104") << QStringLiteral("2008-01-04");
}

void TestDateEdit::typing_givesTheTextShown()
{
    QFETCH(QString, format);
    QFETCH(QString, stored);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    SetShortDateFormat(format);
    TDateEdit edit;
    edit.setText(stored);
    if (keys == QLatin1String("all")) {
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    } else if (keys == QLatin1String("home")) {
        QTest::keyClick(&edit, Qt::Key_Home);
    } else if (keys == QLatin1String("end")) {
        QTest::keyClick(&edit, Qt::Key_End);
    } else {
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    }
    if (typed.isEmpty())
        QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.displayText(), expected);
    QCOMPARE(edit.text(), expected);
}

void TestDateEdit::typing_marksOnlyWhatIsNoDate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("markedWhileTyping");
    QTest::addColumn<bool>("markedAfterLeaving");
    QTest::newRow("a date") << QStringLiteral("1/5/2027") << false << false;
    QTest::newRow("half a date") << QStringLiteral("1/5/") << false << true;
    QTest::newRow("no such day") << QStringLiteral("2/30/2027") << true << true;
    QTest::newRow("no such month") << QStringLiteral("13/1/2027") << true << true;
    QTest::newRow("leap day") << QStringLiteral("2/29/2028") << false << false;
    QTest::newRow("no leap day") << QStringLiteral("2/29/2027") << true << true;
}

void TestDateEdit::typing_marksOnlyWhatIsNoDate()
{
    QFETCH(QString, typed);
    QFETCH(bool, markedWhileTyping);
    QFETCH(bool, markedAfterLeaving);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    QWidget window;
    auto *edit = new TDateEdit(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus(Qt::TabFocusReason);
    edit->setFocus(Qt::TabFocusReason); // Tab into the field selects today's date
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    QCOMPARE(edit->isMarkedInvalid(), markedWhileTyping);
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(edit->isMarkedInvalid(), markedAfterLeaving);
    QCOMPARE(edit->text(), typed); // the text stays the user's
}

void TestDateEdit::enteringFilledField_selectsItSoTypingReplacesIt_data()
{
    QTest::addColumn<bool>("byClick"); // else by Tab from the field before it
    QTest::addColumn<int>("clickAt");  // x of the click in the field
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("click at the start") << true << 6 << QStringLiteral("1/5/2027") << QStringLiteral("1/5/2027");
    QTest::newRow("click in the middle") << true << 40 << QStringLiteral("1/5/2027") << QStringLiteral("1/5/2027");
    QTest::newRow("click after the text") << true << 120 << QStringLiteral("3/7/2027") << QStringLiteral("3/7/2027");
    QTest::newRow("click, digits only") << true << 6 << QStringLiteral("01052027") << QStringLiteral("01/05/2027");
    QTest::newRow("tab") << false << 0 << QStringLiteral("1/5/2027") << QStringLiteral("1/5/2027");
}

void TestDateEdit::enteringFilledField_selectsItSoTypingReplacesIt()
{
    QFETCH(bool, byClick);
    QFETCH(int, clickAt);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    TDatePair pair;
    QVERIFY(pair.active());
    pair.start->setFocus(Qt::OtherFocusReason);
    pair.end->setText(QStringLiteral("12/10/2026"));
    if (byClick)
        QTest::mouseClick(pair.end, Qt::LeftButton, {}, QPoint(clickAt, pair.end->height() / 2));
    else
        QTest::keyClick(pair.start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), pair.end);
    QCOMPARE(pair.end->selectedText(), QStringLiteral("12/10/2026"));
    QTest::keyClicks(pair.end, typed);
    QCOMPARE(pair.end->text(), expected);

    // Once in the field, a click places the caret, as in any text field.
    QTest::mouseClick(pair.end, Qt::LeftButton, {}, QPoint(6, pair.end->height() / 2));
    QVERIFY(!pair.end->hasSelectedText());
}

void TestDateEdit::mark_isTintedAsPaintedUnderTheSkin_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("tinted");     // the end field, once the user has left it
    QTest::addColumn<QString>("toolTip");
    const QString noDate = QStringLiteral("Not a calendar date (M/d/yyyy)");
    const QString beforeStart = QStringLiteral("The end date is before the start date");
    QTest::newRow("no such day") << QStringLiteral("1/1/2027") << QStringLiteral("2/30/2027") << true << noDate;
    QTest::newRow("no such month or day") << QStringLiteral("1/1/2027") << QStringLiteral("15/20/2026") << true << noDate;
    QTest::newRow("no year") << QStringLiteral("1/1/2027") << QStringLiteral("12/25/") << true << noDate;
    QTest::newRow("a date after the start") << QStringLiteral("1/1/2027") << QStringLiteral("1/5/2027") << false << QString();
    QTest::newRow("the start date itself") << QStringLiteral("1/5/2027") << QStringLiteral("1/5/2027") << false << QString();
    QTest::newRow("a day before the start") << QStringLiteral("1/5/2027") << QStringLiteral("1/4/2027") << true << beforeStart;
    QTest::newRow("a year before the start") << QStringLiteral("1/5/2027") << QStringLiteral("12/31/2026") << true << beforeStart;
    QTest::newRow("start no date: nothing to compare") << QStringLiteral("2/30/2027") << QStringLiteral("1/4/2027") << false << QString();
}

void TestDateEdit::mark_isTintedAsPaintedUnderTheSkin()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, tinted);
    QFETCH(QString, toolTip);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    ApplySkin(BuiltInSkin()); // its style sheet decides the fields' background
    const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    TDatePair pair;
    QVERIFY(pair.active());
    QVERIFY(!LooksTinted(PaintedBackground(*pair.end)));

    TDatePair::typeOver(pair.start, start);
    TDatePair::typeOver(pair.end, end);
    pair.start->setFocus(Qt::TabFocusReason); // the user leaves the end date
    QCOMPARE(pair.start->text(), start);
    QCOMPARE(pair.end->text(), end);          // kept as typed
    QCOMPARE(pair.end->isMarkedInvalid(), tinted);
    QCOMPARE(LooksTinted(PaintedBackground(*pair.end)), tinted);
    QCOMPARE(pair.end->toolTip(), toolTip);
    if (toolTip == QLatin1String("The end date is before the start date")) {
        // Moving the start back clears the end's mark.
        TDatePair::typeOver(pair.start, QStringLiteral("1/1/2020"));
        QVERIFY(!LooksTinted(PaintedBackground(*pair.end)));
    }
}

void TestDateEdit::dropDown_pickIsWrittenIntoTheField_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("month first") << QStringLiteral("M/d/yyyy") << QDate(2008, 1, 4) << QStringLiteral("1/4/2008");
    QTest::newRow("no padding blank") << QStringLiteral("M/d/yyyy") << QDate(2027, 1, 20) << QStringLiteral("1/20/2027");
    QTest::newRow("two digits") << QStringLiteral("M/d/yyyy") << QDate(2008, 10, 14) << QStringLiteral("10/14/2008");
    QTest::newRow("day first") << QStringLiteral("d/M/yyyy") << QDate(2008, 1, 4) << QStringLiteral("4/1/2008");
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
    QVERIFY(!edit.isMarkedInvalid());
}

// The drop-down is the planner's calendar: whole weeks from Sunday, every day column inside the
// calendar, no week numbers, weekday names in the header.
void TestDateEdit::dropDown_showsTheWholeMonthLikeThePlanner()
{
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    TDateEdit edit;
    edit.setText(QStringLiteral("5/1/2027")); // a month of six weeks, Saturday the 1st
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.showCalendar();
    QCalendarWidget *calendar = edit.calendar();
    QCOMPARE(calendar->verticalHeaderFormat(), QCalendarWidget::NoVerticalHeader);
    QCOMPARE(calendar->horizontalHeaderFormat(), QCalendarWidget::SingleLetterDayNames);
    QCOMPARE(calendar->firstDayOfWeek(), Qt::Sunday);
    auto *view = calendar->findChild<QTableView *>();
    QVERIFY(view);
    QCOMPARE(view->model()->columnCount(), 7);
    // Saturday's column, the last, ends inside the view; every week row is inside too.
    const int lastColumn = view->model()->columnCount() - 1;
    QVERIFY(view->columnViewportPosition(lastColumn) + view->columnWidth(lastColumn)
            <= view->viewport()->width());
    const int lastRow = view->model()->rowCount() - 1;
    QVERIFY(view->rowViewportPosition(lastRow) + view->rowHeight(lastRow)
            <= view->viewport()->height());
    QVERIFY(view->columnWidth(lastColumn) >= view->fontMetrics().horizontalAdvance(QStringLiteral("30")));
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
