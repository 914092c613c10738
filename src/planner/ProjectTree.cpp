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
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QStyleOption>
#include <QTreeWidget>

#include <algorithm>
#include <array>

namespace {

// The nodes whose texts are widest, a few of them, ranked by the sum of their characters'
// advances (kerning aside): the widest node is among them.
class TWidestTexts {
public:
    explicit TWidestTexts(const QFontMetrics &metrics)
    {
        for (int c = 0; c < 256; ++c)
            m_advance[c] = metrics.horizontalAdvance(QChar(c));
        m_wide = metrics.horizontalAdvance(QLatin1Char('W'));
    }
    void offer(QTreeWidgetItem *node)
    {
        int width = 0;
        for (const QChar c : node->text(0))
            width += c.unicode() < 256 ? m_advance[c.unicode()] : m_wide;
        if (m_nodes.size() < kKept) {
            m_nodes.append({width, node});
            return;
        }
        const auto narrowest = std::min_element(m_nodes.begin(), m_nodes.end());
        if (width > narrowest->first)
            *narrowest = {width, node};
    }
    QList<QTreeWidgetItem *> items() const
    {
        QList<QTreeWidgetItem *> nodes;
        for (const auto &kept : m_nodes)
            nodes.append(kept.second);
        return nodes;
    }

private:
    static constexpr qsizetype kKept = 16;
    std::array<int, 256> m_advance{};
    int m_wide = 0;
    QList<std::pair<int, QTreeWidgetItem *>> m_nodes;
};

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
    : m_context(context), m_taskList(taskList), tvwMain(tree),
      // Made once: a style icon made per node costs more than the node itself.
      m_categoryIcon(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
      m_projectIcon(QApplication::style()->standardIcon(QStyle::SP_FileIcon))
{
    tvwMain.setIconSize(QSize(16, 16));
    tvwMain.setIndentation(19);
    tvwMain.setContextMenuPolicy(Qt::CustomContextMenu);
    // Long names scroll sideways instead of being cut short.
    tvwMain.header()->setStretchLastSection(false);
    tvwMain.header()->setSectionResizeMode(0, QHeaderView::Interactive);
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

// The nodes are made detached and handed to the tree in one call: a tree that takes them one
// by one updates its model for each. Projects are grouped by category in one pass over the
// book, so that the order is the book's within each category.
void TProjectTree::RebuildProjectTree(const QByteArray &selectName)
{
    m_context.updating = true;
    m_taskList.ClearProjectDetails();
    tvwMain.clear();
    const TProjects &book = *m_context.projects;
    QHash<QByteArray, QList<const TProject *>> byCategory;
    byCategory.reserve(book.Categories.count());
    for (int c = 0; c < book.Categories.count(); ++c)
        byCategory.insert(book.Categories.at(c), {});
    for (int p = 0; p < book.count(); ++p) {
        const TProject *project = book.object(p);
        const auto group = byCategory.find(project->Category);
        if (group != byCategory.end())
            group->append(project);
    }

    TWidestTexts longest(tvwMain.fontMetrics());
    QList<QTreeWidgetItem *> roots;
    roots.reserve(book.Categories.count());
    QTreeWidgetItem *selected = nullptr; // the last node of that name, in tree order
    for (int c = 0; c < book.Categories.count(); ++c) {
        const QByteArray &category = book.Categories.at(c);
        auto *root = new QTreeWidgetItem(QStringList(FromAnsi(category)));
        root->setIcon(0, m_categoryIcon);
        longest.offer(root);
        const QList<const TProject *> &projects = byCategory.value(category);
        QList<QTreeWidgetItem *> nodes;
        nodes.reserve(projects.size());
        for (const TProject *project : projects) {
            auto *node = new QTreeWidgetItem(QStringList(FromAnsi(project->Name)));
            node->setIcon(0, m_projectIcon);
            longest.offer(node);
            if (!selectName.isEmpty() && project->Name == selectName)
                selected = node;
            nodes.append(node);
        }
        root->addChildren(nodes);
        roots.append(root);
    }
    tvwMain.addTopLevelItems(roots);
    for (QTreeWidgetItem *root : std::as_const(roots))
        if (root->childCount() > 0)
            root->setExpanded(true);
    fitColumn(longest.items());
    m_context.updating = false;
    // Selected as the user would: the change handler shows the project.
    if (selected)
        tvwMain.setCurrentItem(selected);
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

// The node the commands act on: the selected one. The tree's current node may be unselected
// (after start-up, after Tab into the tree, after Ctrl+click), and then nothing is selected.
QTreeWidgetItem *TProjectTree::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = tvwMain.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TProjectTree::btn1Click()
{
    QByteArray defaultCategory;
    if (const QTreeWidgetItem *node = selectedNode())
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
    selectCategoryNode(categories.count() - 1);
}

void TProjectTree::Rename1Click()
{
    QTreeWidgetItem *node = selectedNode();
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
    selectCategoryNode(index);
}

// The column as wide as its widest node, so that long names scroll sideways. Only the nodes
// with the widest texts are measured exactly: asking the view to fit the column measures every
// node again after each change, which costs as much as the rebuild itself.
void TProjectTree::fitColumn(const QList<QTreeWidgetItem *> &candidates)
{
    QStyleOptionViewItem option;
    option.initFrom(&tvwMain);
    option.font = tvwMain.font();
    option.fontMetrics = tvwMain.fontMetrics();
    option.decorationSize = tvwMain.iconSize();
    option.widget = &tvwMain;
    int widest = 0;
    for (QTreeWidgetItem *node : candidates) {
        const int depth = node->parent() ? 1 : 0;
        const int indent = tvwMain.indentation() * (depth + (tvwMain.rootIsDecorated() ? 1 : 0));
        const QModelIndex index = tvwMain.indexFromItem(node);
        widest = qMax(widest, indent + tvwMain.itemDelegate()->sizeHint(option, index).width());
    }
    tvwMain.setColumnWidth(0, widest);
}

// Root nodes stand in the order of the category list, one for each entry.
void TProjectTree::selectCategoryNode(int index)
{
    if (QTreeWidgetItem *node = tvwMain.topLevelItem(index))
        tvwMain.setCurrentItem(node);
}

void TProjectTree::Delete1Click()
{
    QTreeWidgetItem *node = selectedNode();
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
