#pragma once

#include "model/UProjects.h"

#include <QString>

// A book of `projects` projects with `tasksPerProject` tasks each; about 100 bytes per task
// line once saved. The same book every time.
void FillBook(TProjects &book, int projects, int tasksPerProject);
// A day planner of `entries` actions, 24 per day over consecutive days.
void FillHours(THours &hours, int entries);
// The 24 hour-row labels of the day planner ("12:00 AM" .. "11:00 PM", "12:00 M" at noon).
QList<QByteArray> HourLabels();
// The short-date text of day n after 1/1/2000.
QByteArray DayText(int n);

// Memory of this process, in KiB: resident now, and the peak since the last ResetPeak (or
// since the start). ResetPeak first returns freed memory to the system.
long CurrentRssKb();
long PeakRssKb();
void ResetPeak();

qint64 FileSize(const QString &path);
