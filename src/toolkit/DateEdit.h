#pragma once
// Contract only.
// class TDateEdit : public QLineEdit  -- the masked date field: at most 10 characters in the
//   order of the short date format (ShortDate.h), blanks shown as spaces, separators kept in
//   the text, today's date as initial text, a button that drops down a month calendar
//   (200 x 150, weeks start on Sunday) whose pick writes the date into the field. The planner
//   reads and writes exactly text().
