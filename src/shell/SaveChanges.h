#pragma once

#include <QObject>
#include <QString>

class QWidget;
class TMessageBox;
class TProjects;
class THours;

// "Save Changes": categories, projects and the day planner, saved all or nothing
// (TSaveTransaction) on a worker thread. Meanwhile the window keeps painting but takes no
// input, so nothing can change between what is written and what the window shows, and no
// edit can be lost; a save that takes a while shows its progress.
class TSaveChanges : public QObject {
    Q_OBJECT

public:
    TSaveChanges(QWidget &window, TMessageBox &msgMain, TProjects &projects, THours &hours);

    // Runs the save and tells the user what failed or was left untouched. True when every
    // change held in memory is on disk (a file that could not be read at start-up holds
    // none: it is left untouched and named in a notice).
    bool run();
    bool isRunning() const { return m_running; }

    // What loading left out of damaged files, for the start-up report; empty when nothing.
    QString damagedFilesReport() const;

private:
    QWidget &m_window;
    TMessageBox &m_msgMain;
    TProjects &m_projects;
    THours &m_hours;
    bool m_running = false;
};
