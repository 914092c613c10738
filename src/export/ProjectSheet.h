#pragma once

#include <QList>

#include <atomic>

class QPagedPaintDevice;
class TProject;

// The printed form of projects, each from a new page: its header (name, dates and the
// progress text, as the window shows them) and its task table (Done, Task Description,
// Task Notes, Start Date, End Date) with the table's header row on every page. A row taller
// than a page goes on over the next pages, so no text is cut off. progress, when given, counts
// the tasks painted. Runs on any thread (a PDF writer or printer, not a widget). False when
// the device cannot be painted on.
bool PaintProjectSheets(QPagedPaintDevice &device, const QList<const TProject *> &projects,
                        std::atomic<qint64> *progress = nullptr);
