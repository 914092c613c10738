#include "planner/ProjectTree.h"

#include "model/UProjects.h"
#include "planner/FCategory.h"
#include "planner/FNewProject.h"
#include "planner/PlannerContext.h"
#include "planner/PlannerText.h"
#include "planner/TaskList.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>

namespace {

enum Image { CategoryImage, ProjectImage };

QIcon TreeIcon(Image image)
{
    const QStyle *style = QApplication::style();
    return style->standardIcon(image == CategoryImage ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
}

QByteArray NodeText(const QTreeWidgetItem *node)
{
    return AnsiOf(node->text(0));
}

bool IsProjectNode(const QTreeWidgetItem *node)
{
    return node->parent() != nullptr;
}

} // namespace

TProjectTree::TProjectTree(TPlannerContext &context, TTaskList &taskList, QTreeWidget &tree)
    : m_context(context), m_taskList(taskList), tvwMain(tree)
{
    tvwMain.setIconSize(QSize(16, 16));
    tvwMain.setIndentation(19);
    tvwMain.setContextMenuPolicy(Qt::CustomContextMenu);
    // Long names scroll sideways instead of being cut short.
    tvwMain.header()->setStretchLastSection(false);
    tvwMain.header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    buildMenu();
    connect(&tvwMain, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { tvwMainChange(current); });
    connect(&tvwMain, &QTreeWidget::customContextMenuRequested, this, &TProjectTree::showMenu);
    tvwMain.installEventFilter(this);
}

void TProjectTree::buildMenu()
{
    m_menu = new QMenu(&tvwMain);
    m_menu->setObjectName(QStringLiteral("mnuTree"));
    const auto add = [this](const char *name, const QString &caption, void (TProjectTree::*handler)()) {
        QAction *action = m_menu->addAction(caption, this, handler);
        action->setObjectName(QLatin1String(name));
    };
    add("NewCategory1", QStringLiteral("New Category"), &TProjectTree::NewCategory1Click);
    m_menu->addSeparator()->setObjectName(QStringLiteral("N1"));
    add("AddProject1", QStringLiteral("New Project"), &TProjectTree::AddProject1Click);
    add("Rename1", QStringLiteral("Edit"), &TProjectTree::Rename1Click);
    add("Delete1", QStringLiteral("Delete"), &TProjectTree::Delete1Click);
}

// A right click selects the node under the pointer before the menu opens.
void TProjectTree::showMenu(const QPoint &position)
{
    if (QTreeWidgetItem *node = tvwMain.itemAt(position))
        tvwMain.setCurrentItem(node);
    m_menu->popup(tvwMain.viewport()->mapToGlobal(position));
}

void TProjectTree::RebuildProjectTree(const QByteArray &selectName)
{
    m_context.updating = true;
    m_taskList.ClearProjectDetails();
    tvwMain.clear();
    const TProjects &book = *m_context.projects;
    for (int c = 0; c < book.Categories.count(); ++c) {
        const QByteArray &category = book.Categories.at(c);
        auto *root = new QTreeWidgetItem(&tvwMain, QStringList(FromAnsi(category)));
        root->setIcon(0, TreeIcon(CategoryImage));
        for (int p = 0; p < book.count(); ++p) {
            const TProject &project = *book.object(p);
            if (project.Category != category)
                continue;
            auto *node = new QTreeWidgetItem(root, QStringList(FromAnsi(project.Name)));
            node->setIcon(0, TreeIcon(ProjectImage));
            if (!selectName.isEmpty() && project.Name == selectName)
                tvwMain.setCurrentItem(node);
            tvwMain.expandItem(root);
        }
    }
    m_context.updating = false;
}

void TProjectTree::tvwMainChange(QTreeWidgetItem *node)
{
    if (m_context.updating || !node)
        return;
    if (IsProjectNode(node)) {
        int index = -1;
        m_context.currentProject = m_context.projects->FindProjectByName(NodeText(node), index);
        if (m_context.currentProject)
            m_taskList.ShowProjectDetails();
        else
            m_taskList.ClearProjectDetails();
    } else {
        m_taskList.ClearProjectDetails();
    }
}

void TProjectTree::btn1Click()
{
    QByteArray defaultCategory;
    if (const QTreeWidgetItem *node = tvwMain.currentItem())
        defaultCategory = NodeText(IsProjectNode(node) ? node->parent() : node);

    TfrmCreateProject dialog(m_context.projects->Categories.toList(), *m_context.msgMain,
                             m_context.dialogParent);
    dialog.SelectCategory(defaultCategory);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    auto project = std::make_unique<TProject>();
    project->Name = dialog.name();
    project->Category = dialog.category();
    project->StartDate = dialog.startDate();
    project->EndDate = dialog.endDate();
    if (dialog.useDefault())
        project->AddDefaultTasks();
    else
        project->ClearTasks();
    const QByteArray name = project->Name;
    m_context.currentProject = project.get();
    m_context.projects->append(name, std::move(project));
    m_context.markModified();
    RebuildProjectTree(name);
}

void TProjectTree::NewCategory1Click()
{
    TfrmCategory dialog(*m_context.msgMain, m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Add new category"));
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    TStringList &categories = m_context.projects->Categories;
    const QByteArray name = dialog.name();
    if (categories.indexOf(name) >= 0)
        return;
    categories.append(name);
    m_context.markModified();
    RebuildProjectTree(QByteArray());
}

void TProjectTree::Rename1Click()
{
    QTreeWidgetItem *node = tvwMain.currentItem();
    if (!node)
        return;
    if (IsProjectNode(node))
        editProject(node);
    else
        editCategory(node);
}

void TProjectTree::editProject(QTreeWidgetItem *node)
{
    int index = -1;
    TProject *project = m_context.projects->FindProjectByName(NodeText(node), index);
    if (!project)
        return;
    TfrmCreateProject dialog(m_context.projects->Categories.toList(), *m_context.msgMain,
                             m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Edit current project"));
    dialog.setName(project->Name);
    dialog.SelectCategory(project->Category);
    dialog.setStartDate(project->StartDate);
    dialog.setEndDate(project->EndDate);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    project->Name = dialog.name();
    project->Category = dialog.category();
    project->StartDate = dialog.startDate();
    project->EndDate = dialog.endDate();
    m_context.projects->setKey(index, project->Name);
    m_context.markModified();
    RebuildProjectTree(project->Name);
}

void TProjectTree::editCategory(QTreeWidgetItem *node)
{
    TStringList &categories = m_context.projects->Categories;
    const int index = categories.indexOf(NodeText(node));
    if (index < 0)
        return;
    TfrmCategory dialog(*m_context.msgMain, m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Edit category"));
    dialog.setName(NodeText(node));
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    const QByteArray oldName = categories.at(index);
    const QByteArray newName = dialog.name();
    categories.replace(index, newName);
    TProjects &book = *m_context.projects;
    for (int p = 0; p < book.count(); ++p)
        if (book.object(p)->Category == oldName)
            book.object(p)->Category = newName;
    m_context.markModified();
    RebuildProjectTree(QByteArray());
}

void TProjectTree::Delete1Click()
{
    QTreeWidgetItem *node = tvwMain.currentItem();
    if (!node)
        return;
    if (IsProjectNode(node))
        deleteProject(node);
    else
        deleteCategory(node);
}

void TProjectTree::deleteProject(QTreeWidgetItem *node)
{
    int index = -1;
    TProject *project = m_context.projects->FindProjectByName(NodeText(node), index);
    if (!project)
        return;
    if (!m_context.msgMain->question(QStringLiteral("Are you sure to delete current project?")))
        return;
    m_context.updating = true;
    if (m_context.currentProject == project)
        m_context.currentProject = nullptr;
    m_context.projects->removeAt(index);
    m_context.markModified();
    RebuildProjectTree(QByteArray());
    m_context.updating = false;
}

void TProjectTree::deleteCategory(QTreeWidgetItem *node)
{
    if (!m_context.msgMain->question(QStringLiteral("Are you sure to delete current category?")))
        return;
    const QByteArray name = NodeText(node);
    const TProjects &book = *m_context.projects;
    for (int p = 0; p < book.count(); ++p) {
        if (book.object(p)->Category == name) {
            m_context.msgMain->show(
                QStringLiteral("You can't delete a category with asociated projects! Please "
                               "remove first the projects and try again."),
                QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel);
            return;
        }
    }
    TStringList &categories = m_context.projects->Categories;
    const int index = categories.indexOf(name);
    if (index < 0)
        return;
    m_context.updating = true;
    categories.removeAt(index);
    m_context.markModified();
    RebuildProjectTree(QByteArray());
    m_context.updating = false;
}

// The Delete key in the tree deletes the selected node.
bool TProjectTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &tvwMain && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        Delete1Click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
