#pragma once

#include <QObject>
#include <QString>

class QAbstractItemView;
class QAction;
class QMenu;
class QWidget;
class TMessageBox;
class TProject;
class TProjects;
class THours;

// "Export Project...", "Export All..." and "Print..." in the project tree's popup menu.
// A save-file dialog picks the file, and its type the format: iCalendar (.ics), CSV (.csv) or
// PDF (.pdf). The file is written on a worker thread while the window paints, through a
// temporary file, so a failed export leaves nothing behind; failures are told through msgMain.
class TExportCommands : public QObject {
    Q_OBJECT

public:
    // tree: the project tree, whose selected node is the clicked one; mnuTree: its popup menu,
    // which gets the three entries.
    TExportCommands(QWidget &window, TMessageBox &msgMain, const TProjects &projects,
                    const THours &hours, QAbstractItemView &tree, QMenu &mnuTree);

    void ExportProject1Click(); // the clicked project
    void ExportAll1Click();     // every category, and the day planner's hours to iCalendar
    void Print1Click();         // the clicked project, through the system's print dialog

private:
    const TProject *clickedProject() const;
    void updateActions();
    // Asks for the file and writes it; projects is the export's content.
    void exportTo(const QString &suggestedName, const QList<const TProject *> &projects,
                  bool withHours);
    bool write(const QString &path, const QList<const TProject *> &projects, bool withHours);

    QWidget &m_window;
    TMessageBox &m_msgMain;
    const TProjects &m_projects;
    const THours &m_hours;
    QAbstractItemView &m_tree;
    QAction *m_exportProject = nullptr;
    QAction *m_print = nullptr;
    QString m_folder; // where the last export went
};
