#include "planner/TaskList.h"

#include "model/UProjects.h"
#include "planner/FTask.h"
#include "planner/PlannerContext.h"
#include "planner/PlannerText.h"
#include "planner/TaskTableModel.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/ElidedLabel.h"
#include "toolkit/Gauge.h"
#include "toolkit/GridDelegate.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace {

using Column = TTaskTableModel::Column;

// "3/11 tasks  ": done count, slash, task count, one blank, "tasks", two blanks.
QString ProgressCaption(const TProject &project)
{
    return QStringLiteral("%1/%2 tasks  ").arg(project.DoneCount()).arg(project.Tasks.count());
}

void FillDialogFromTask(TfrmTask &dialog, const TTask &task)
{
    dialog.setName(task.Description);
    dialog.setNotes(task.Notes);
    dialog.setDone(task.Done);
    dialog.setStartDate(task.StartDate);
    dialog.setEndDate(task.EndDate);
}

TTask TaskFromDialog(const TfrmTask &dialog)
{
    return TTask(dialog.done(), dialog.name(), dialog.notes(), dialog.startDate(), dialog.endDate());
}

bool IsEditKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2;
}

} // namespace

TTaskList::TTaskList(TPlannerContext &context, const Widgets &widgets)
    : m_context(context), w(widgets), m_model(new TTaskTableModel(this))
{
    setUpList();
    buildMenu();
    connect(m_model, &TTaskTableModel::doneToggled, this, &TTaskList::lvwItemsChange);
    connect(w.btnAdd, &QPushButton::clicked, this, &TTaskList::btnAddClick);
    connect(w.btnEdit, &QPushButton::clicked, this, &TTaskList::btnEditClick);
    connect(w.btnRemove, &QPushButton::clicked, this, &TTaskList::btnRemoveClick);
    connect(w.lvwItems, &QTableView::customContextMenuRequested, this, &TTaskList::showMenu);
    w.lvwItems->installEventFilter(this);
    w.lvwItems->viewport()->installEventFilter(this);
}

// A report view: whole rows selected one at a time, fixed row heights (so a large project is
// laid out without measuring its rows), Tab leaves the list instead of walking its cells.
void TTaskList::setUpList()
{
    QTableView &list = *w.lvwItems;
    list.setModel(m_model);
    list.setItemDelegate(new TGridDelegate(&list));
    list.setShowGrid(false); // the delegate draws the grid, as in the other lists
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setTabKeyNavigation(false);
    list.setWordWrap(false);
    list.setCornerButtonEnabled(false);
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    list.verticalHeader()->hide();
    list.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list.verticalHeader()->setDefaultSectionSize(TGridDelegate::rowHeight(list));
    QHeaderView &header = *list.horizontalHeader();
    header.setHighlightSections(false);
    header.setSectionsClickable(false);
    header.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Description and notes share the room the fixed columns leave.
    header.setMinimumSectionSize(40);
    header.setStretchLastSection(false);
    header.setSectionResizeMode(Column::ColDescription, QHeaderView::Stretch);
    header.setSectionResizeMode(Column::ColNotes, QHeaderView::Stretch);
    list.setColumnWidth(Column::ColDone, 40);
    list.setColumnWidth(Column::ColStartDate, 100);
    list.setColumnWidth(Column::ColEndDate, 100);
}

void TTaskList::buildMenu()
{
    m_menu = new QMenu(w.lvwItems);
    m_menu->setObjectName(QStringLiteral("mnuTasks"));
    m_menu->addAction(w.btnAdd->text(), this, &TTaskList::btnAddClick);
    m_menu->addAction(w.btnEdit->text(), this, &TTaskList::btnEditClick);
    m_menu->addAction(w.btnRemove->text(), this, &TTaskList::btnRemoveClick);
}

// The row under the pointer is already selected by the press of the right button.
void TTaskList::showMenu(const QPoint &position)
{
    m_menu->popup(w.lvwItems->viewport()->mapToGlobal(position));
}

// Showing a project is one reset of the model: no row is made or copied.
void TTaskList::ShowProjectDetails()
{
    TProject &project = *m_context.currentProject;
    m_context.updating = true;
    m_model->setTasks(&project.Tasks);
    w.lblProjName->setText(QStringLiteral("Project Name:  ") + FromAnsi(project.Name));
    w.lblStartDate->setText(QStringLiteral("Start Date:  ") + FromAnsi(project.StartDate));
    w.lblEndDate->setText(QStringLiteral("End Date:  ") + FromAnsi(project.EndDate));
    updateGauge();
    m_context.updating = false;
}

void TTaskList::ClearProjectDetails()
{
    m_context.updating = true;
    m_model->setTasks(nullptr);
    w.lblProjName->setText(QStringLiteral("Project Name:  "));
    w.lblStartDate->setText(QStringLiteral("Start Date: "));
    w.lblEndDate->setText(QStringLiteral("End Date: "));
    setGauge(0, QStringLiteral("0/0 tasks  "));
    m_context.updating = false;
}

void TTaskList::updateGauge()
{
    const TProject &project = *m_context.currentProject;
    setGauge(project.PercentDone(), ProgressCaption(project));
}

// A progress bar repaints itself at once when its value changes, and the skin's rounded bar
// paints the page behind it too: a tenth of what selecting a project costs. Its next paint
// comes with the window's, together with the list and the header.
void TTaskList::setGauge(int percent, const QString &caption)
{
    w.MainGauge->setUpdatesEnabled(false);
    w.MainGauge->setValue(percent);
    w.MainGauge->setProgressText(caption);
    w.MainGauge->setUpdatesEnabled(true);
}

// Only a tick by the user reaches here, never a refill: the task has changed.
void TTaskList::lvwItemsChange(int)
{
    m_context.markModified();
    if (m_context.currentProject)
        updateGauge();
}

int TTaskList::selectedRow() const
{
    const QModelIndexList selected = w.lvwItems->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// The selected row, or -1 after saying why there is none.
int TTaskList::selectedRowOrSay(const QString &noTasks, const QString &noSelection)
{
    if (m_model->rowCount() == 0) {
        m_context.msgMain->information(noTasks);
        return -1;
    }
    const int row = selectedRow();
    if (row < 0)
        m_context.msgMain->information(noSelection);
    return row;
}

void TTaskList::btnAddClick()
{
    if (TrimControls(w.lblProjName->text()) == QStringLiteral("Project Name:") ||
        !m_context.currentProject) {
        m_context.msgMain->information(
            QStringLiteral("You have to create a new project or open an existing before add tasks!"));
        return;
    }
    TfrmTask dialog(*m_context.msgMain, m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Add task"));
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    m_model->appendTask(dialog.name(), TaskFromDialog(dialog));
    m_context.markModified();
    updateGauge();
    selectRow(m_model->rowCount() - 1); // the new task, so the user sees it
}

void TTaskList::selectRow(int row)
{
    const QModelIndex index = m_model->index(row, Column::ColDone);
    if (!index.isValid())
        return;
    w.lvwItems->setCurrentIndex(index);
    w.lvwItems->scrollTo(index);
}

void TTaskList::btnEditClick()
{
    const int row = selectedRowOrSay(QStringLiteral("There is not tasks to edit!"),
                                     QStringLiteral("Please select a task to edit!"));
    if (row < 0)
        return;
    TfrmTask dialog(*m_context.msgMain, m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Edit task"));
    FillDialogFromTask(dialog, m_context.currentProject->Tasks.at(row));
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    // The task keeps the key it was added with; only its fields change.
    m_model->replaceTask(row, TaskFromDialog(dialog));
    m_context.markModified();
    updateGauge();
    selectRow(row);
}

void TTaskList::btnRemoveClick()
{
    const int row = selectedRowOrSay(QStringLiteral("There is not tasks to remove!"),
                                     QStringLiteral("Please select a task to remove!"));
    if (row < 0)
        return;
    if (m_context.msgMain->show(QStringLiteral("Are you sure do you want remove this taks?"),
                                QMessageBox::Information,
                                QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Cancel)
        return;
    m_context.updating = true;
    m_model->removeTask(row);
    updateGauge();
    m_context.updating = false;
    m_context.markModified();
}

// The Delete key removes the selected task; Enter, F2 and a double click edit it.
bool TTaskList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == w.lvwItems && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete) {
            btnRemoveClick();
            return true;
        }
        if (IsEditKey(key)) {
            btnEditClick();
            return true;
        }
    }
    if (watched == w.lvwItems->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        btnEditClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
