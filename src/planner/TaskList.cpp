#include "planner/TaskList.h"

#include "model/UProjects.h"
#include "planner/FTask.h"
#include "planner/PlannerContext.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/ElidedLabel.h"
#include "toolkit/Gauge.h"
#include "toolkit/GridDelegate.h"
#include "toolkit/MessageBox.h"
#include "toolkit/RowDiscard.h"
#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>

namespace {

enum TaskColumn { ColDone, ColDescription, ColNotes, ColStartDate, ColEndDate };

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

} // namespace

TTaskList::TTaskList(TPlannerContext &context, const Widgets &widgets)
    : m_context(context), w(widgets)
{
    QHeaderView *header = w.lvwItems->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    // Description and notes share the room the fixed columns leave.
    header->setMinimumSectionSize(40);
    header->setSectionResizeMode(ColDescription, QHeaderView::Stretch);
    header->setSectionResizeMode(ColNotes, QHeaderView::Stretch);
    w.lvwItems->setColumnWidth(ColDone, 40);
    w.lvwItems->setColumnWidth(ColStartDate, 100);
    w.lvwItems->setColumnWidth(ColEndDate, 100);
    w.lvwItems->setItemDelegate(new TGridDelegate(w.lvwItems));
    m_discard = new TRowDiscard(*w.lvwItems);
    // Every row is as tall as the first: the list then lays out a large project without
    // measuring each row.
    w.lvwItems->setUniformRowHeights(true);

    connect(w.lvwItems, &QTreeWidget::itemChanged, this, &TTaskList::lvwItemsChange);
    connect(w.btnAdd, &QPushButton::clicked, this, &TTaskList::btnAddClick);
    connect(w.btnEdit, &QPushButton::clicked, this, &TTaskList::btnEditClick);
    connect(w.btnRemove, &QPushButton::clicked, this, &TTaskList::btnRemoveClick);
    w.lvwItems->installEventFilter(this);
    w.lvwItems->viewport()->installEventFilter(this);
}

// The rows are made detached and handed to the list in one call: a list that takes them one
// by one updates its model for each.
void TTaskList::ShowProjectDetails()
{
    const TProject &project = *m_context.currentProject;
    m_context.updating = true;
    m_discard->empty();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(project.Tasks.count());
    for (int i = 0; i < project.Tasks.count(); ++i) {
        const TTask &task = *project.Tasks.object(i);
        auto *row = new QTreeWidgetItem(QStringList{
            QString(), FromAnsi(FlattenLineBreaks(task.Description)),
            FromAnsi(FlattenLineBreaks(task.Notes)), FromAnsi(task.StartDate),
            FromAnsi(task.EndDate)});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(ColDone, task.Done ? Qt::Checked : Qt::Unchecked);
        rows.append(row);
    }
    w.lvwItems->addTopLevelItems(rows);
    w.lblProjName->setText(QStringLiteral("Project Name:  ") + FromAnsi(project.Name));
    w.lblStartDate->setText(QStringLiteral("Start Date:  ") + FromAnsi(project.StartDate));
    w.lblEndDate->setText(QStringLiteral("End Date:  ") + FromAnsi(project.EndDate));
    updateGauge();
    m_context.updating = false;
}

void TTaskList::ClearProjectDetails()
{
    m_context.updating = true;
    m_discard->empty();
    w.lblProjName->setText(QStringLiteral("Project Name:  "));
    w.lblStartDate->setText(QStringLiteral("Start Date: "));
    w.lblEndDate->setText(QStringLiteral("End Date: "));
    w.MainGauge->setValue(0);
    w.MainGauge->setProgressText(QStringLiteral("0/0 tasks  "));
    m_context.updating = false;
}

void TTaskList::updateGauge()
{
    const TProject &project = *m_context.currentProject;
    w.MainGauge->setValue(project.PercentDone());
    w.MainGauge->setProgressText(ProgressCaption(project));
}

// A ticked or unticked check box is recorded in its task at once.
void TTaskList::lvwItemsChange(QTreeWidgetItem *item, int column)
{
    if (m_context.updating || column != ColDone || !m_context.currentProject)
        return;
    const int row = w.lvwItems->indexOfTopLevelItem(item);
    TProject &project = *m_context.currentProject;
    if (row < 0 || row >= project.Tasks.count())
        return;
    TTask &task = *project.Tasks.object(row);
    const bool done = item->checkState(ColDone) == Qt::Checked;
    if (task.Done != done) {
        task.Done = done;
        m_context.markModified();
    }
    updateGauge();
}

int TTaskList::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = w.lvwItems->selectedItems();
    return selected.isEmpty() ? -1 : w.lvwItems->indexOfTopLevelItem(selected.first());
}

// The selected row, or -1 after saying why there is none.
int TTaskList::selectedRowOrSay(const QString &noTasks, const QString &noSelection)
{
    if (w.lvwItems->topLevelItemCount() == 0) {
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
    const QByteArray description = dialog.name();
    m_context.currentProject->Tasks.append(
        description, std::make_unique<TTask>(dialog.done(), description, dialog.notes(),
                                             dialog.startDate(), dialog.endDate()));
    m_context.markModified();
    ShowProjectDetails();
    selectRow(w.lvwItems->topLevelItemCount() - 1); // the new task, so the user sees it
}

void TTaskList::selectRow(int row)
{
    QTreeWidgetItem *item = w.lvwItems->topLevelItem(row);
    if (!item)
        return;
    w.lvwItems->setCurrentItem(item);
    item->setSelected(true);
    w.lvwItems->scrollToItem(item);
}

void TTaskList::btnEditClick()
{
    const int row = selectedRowOrSay(QStringLiteral("There is not tasks to edit!"),
                                     QStringLiteral("Please select a task to edit!"));
    if (row < 0)
        return;
    TTask &task = *m_context.currentProject->Tasks.object(row);
    TfrmTask dialog(*m_context.msgMain, m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Edit task"));
    FillDialogFromTask(dialog, task);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    // The task keeps the key it was added with; only its fields change.
    task.Description = dialog.name();
    task.Notes = dialog.notes();
    task.Done = dialog.done();
    task.StartDate = dialog.startDate();
    task.EndDate = dialog.endDate();
    m_context.markModified();
    ShowProjectDetails();
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
    m_context.currentProject->Tasks.removeAt(row);
    delete w.lvwItems->takeTopLevelItem(row);
    updateGauge();
    m_context.updating = false;
    m_context.markModified();
}

// The Delete key removes the selected task; a double click edits it.
bool TTaskList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == w.lvwItems && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        btnRemoveClick();
        return true;
    }
    if (watched == w.lvwItems->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        btnEditClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
