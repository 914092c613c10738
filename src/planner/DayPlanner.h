#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QCalendarWidget;
class QKeyEvent;
class QPushButton;
class QTimer;
class QTreeWidget;
struct TPlannerContext;

// The "Calendar" page: a month calendar chooses a day, 24 hour rows show its actions, and the
// selected hour's action can be edited (a double click, Enter or F2) or cleared (Delete).
class TDayPlanner : public QObject {
    Q_OBJECT

public:
    TDayPlanner(TPlannerContext &context, QCalendarWidget &calendar, QTreeWidget &lvwToDo,
                QPushButton &btnEditHour, QPushButton &btnClearHour);

    // "1:00 AM" .. "11:00 AM", "12:00 M", "1:00 PM" .. "12:00 PM" for n = 1 .. 24.
    static QString HourCaption(int n);

    // Adds the 24 rows once, then fills them.
    void AddHourRows();
    // Shows the actions of the calendar's day.
    void RefreshDayPlanner();
    // The calendar's date as the short date text used in the keys.
    QByteArray DayText() const;

    void btnEditHourClick();
    void btnClearHourClick();
    void calPlannerNumberClick();
    void calPlannerMouseEnter();
    void calPlannerMouseLeave();
    void Timer1Timer();

    QTimer &timer1() const { return *Timer1; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followMonthPage(int year, int month);
    int selectedRow() const;
    bool hourListKey(const QKeyEvent &key);

    TPlannerContext &m_context;
    QCalendarWidget &calPlanner;
    QTreeWidget &lvwToDo;
    QTimer *Timer1 = nullptr;
};
