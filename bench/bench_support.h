#pragma once

#include "model/UProjects.h"

#include <QString>

#include <array>
#include <deque>

// A book of `projects` projects with `tasksPerProject` tasks each; about 100 bytes per task
// line once saved. The same book every time.
void FillBook(TProjects &book, int projects, int tasksPerProject);
// The large book: categories, projects, tasks in all, one project with many of them, and
// stored hours.
struct TLargeBook {
    int categories = 100;
    int projects = 10000;
    qint64 tasks = 1000000;
    int bigProject = 5000; // its position in the book
    int bigProjectTasks = 100000;
    int hours = 1000000;
};
// The name of category n ("Category 7").
QByteArray CategoryName(int n);
// The projects of the large book, spread over its categories, which are listed in the book.
void FillLargeBook(TProjects &book, const TLargeBook &shape = {});
// categories.dat, Projects.dat and Hours.dat of the large book, written into appDir.
void WriteLargeBook(const QString &appDir, const TLargeBook &shape = {});

// The least any loader must do: read the file, split its lines and copy each record's fields
// into owned byte arrays (task lines of Projects.dat; lines of Hours.dat). Returns the count.
size_t FloorLoadProjects(const QString &path, std::deque<std::array<QByteArray, 5>> &tasks);
size_t FloorLoadHours(const QString &path, std::deque<std::array<QByteArray, 3>> &hours);

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
// Processor time of every thread of this process so far, in milliseconds.
double CpuMs();
