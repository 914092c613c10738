#include "planner/TaskList.h"

#include "model/UProjects.h"
#include "planner/FTask.h"
#include "planner/PlannerContext.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/Gauge.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

enum Column { ColDone, ColDescription, ColNotes, ColStartDate, ColEndDate };

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

    connect(w.lvwItems, &QTreeWidget::itemChanged, this, &TTaskList::lvwItemsChange);
    connect(w.btnAdd, &QPushButton::clicked, this, &TTaskList::btnAddClick);
    connect(w.btnEdit, &QPushButton::clicked, this, &TTaskList::btnEditClick);
    connect(w.btnRemove, &QPushButton::clicked, this, &TTaskList::btnRemoveClick);
    w.lvwItems->installEventFilter(this);
    w.lvwItems->viewport()->installEventFilter(this);
}

void TTaskList::ShowProjectDetails()
{
    const TProject &project = *m_context.currentProject;
    m_context.updating = true;
    w.lvwItems->clear();
    for (int i = 0; i < project.Tasks.count(); ++i) {
        const TTask &task = *project.Tasks.object(i);
        auto *row = new QTreeWidgetItem(w.lvwItems);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(ColDone, task.Done ? Qt::Checked : Qt::Unchecked);
        row->setText(ColDescription, FromAnsi(FlattenLineBreaks(task.Description)));
        row->setText(ColNotes, FromAnsi(FlattenLineBreaks(task.Notes)));
        row->setText(ColStartDate, FromAnsi(task.StartDate));
        row->setText(ColEndDate, FromAnsi(task.EndDate));
    }
    w.lblProjName->setText(QStringLiteral("Project Name:  ") + FromAnsi(project.Name));
    w.lblStartDate->setText(QStringLiteral("Start Date:  ") + FromAnsi(project.StartDate));
    w.lblEndDate->setText(QStringLiteral("End Date:  ") + FromAnsi(project.EndDate));
    updateGauge();
    m_context.updating = false;
}

void TTaskList::ClearProjectDetails()
{
    m_context.updating = true;
    w.lvwItems->clear();
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
    QTreeWidgetItem *again = w.lvwItems->topLevelItem(row);
    w.lvwItems->setCurrentItem(again);
    again->setSelected(true);
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
