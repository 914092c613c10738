#pragma once

#include <functional>

class QWidget;
class TMessageBox;
class TProject;
class TProjects;
class THours;

// The main window's state that the planner's controllers share: the book and the store it
// owns, the current project, the updating flag, and where messages and dialogs go.
struct TPlannerContext {
    TProjects *projects = nullptr;
    THours *hours = nullptr;
    // A reference into the book, not owned; none until a project is selected.
    TProject *currentProject = nullptr;
    // While set, the change handlers of the project tree and the task list do nothing.
    bool updating = false;
    TMessageBox *msgMain = nullptr;
    QWidget *dialogParent = nullptr;
    // Every command that changes the book or the store calls this.
    std::function<void()> markModified;
};
