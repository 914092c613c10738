#pragma once

#include <QString>

#include <atomic>
#include <exception>
#include <functional>

class QWidget;

// Long work that must not change under the user's hands (a save, an export): it runs on a
// worker thread while the window keeps painting but takes no input, with the busy cursor; once
// it has taken 0.3 s a window-modal progress dialog without buttons shows how far it got.
struct TBackgroundWork {
    QString objectName; // of the progress dialog
    QString label;      // its text, e.g. "Saving your changes..."
    qint64 expected = 0; // the units done once the work is complete; 0 when unknown
    // The work; it adds what it has done to the counter as it goes.
    std::function<void(std::atomic<qint64> &done)> work;

    // Runs the work and waits for it while the window's thread paints. Returns what the work
    // threw, or null.
    std::exception_ptr run(QWidget &window) const;
};
