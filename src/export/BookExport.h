#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <optional>

class TProject;
class TProjects;
class THours;

enum class TExportFormat { ICal, Csv, Pdf };

// The format a file's type names (".ics", ".csv", ".pdf", letter case ignored), or none.
std::optional<TExportFormat> ExportFormatOfPath(const QString &path);

// The projects of "Export All...", in the tree's order: each category in the list's order
// with its projects in the book's order, then the projects whose category is not in the list
// (the tree does not show them, but they are part of the book).
QList<const TProject *> ProjectsInTreeOrder(const TProjects &book);

// One export to a calendar or spreadsheet file.
struct TBookExport {
    TExportFormat format = TExportFormat::Csv; // ICal or Csv
    QString path;
    QList<const TProject *> projects;
    const THours *hours = nullptr; // the day planner's hours too (iCalendar only)
    QDateTime stamp;               // when the export was made

    // Tasks and hours to write, the unit of the progress.
    qint64 size() const;

    // Writes the file through a temporary file beside it, so that a failure leaves no partial
    // file and an old file of that name whole. May run on a worker thread while nothing
    // changes the book. progress, when given, counts the tasks and hours written. Throws
    // TFileError when the file cannot be written. Returns how many hours could not be placed
    // in the calendar (their day or hour is not a calendar time) and were left out.
    int run(std::atomic<qint64> *progress = nullptr) const;
};
