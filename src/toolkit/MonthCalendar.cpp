#include "toolkit/MonthCalendar.h"

#include <QCalendarWidget>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

} // namespace

void SetUpMonthCalendar(QCalendarWidget &calendar)
{
    calendar.setFirstDayOfWeek(Qt::Sunday);
    calendar.setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar.setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    calendar.setGridVisible(false);
    calendar.setFixedSize(kWidth, kHeight);
}
