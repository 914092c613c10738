#pragma once

class QCalendarWidget;

// The look of the program's month calendars (the planner's and the date fields' drop-down),
// 200 x 150 pixels: weeks start on Sunday, no week numbers, one-letter weekday names and a
// font small enough that all seven columns and six weeks fit.
void SetUpMonthCalendar(QCalendarWidget &calendar);
