#include "planner/ProjectTree.h"

#include "model/UProjects.h"
#include "planner/FCategory.h"
#include "planner/FNewProject.h"
#include "planner/PlannerContext.h"
#include "planner/ProjectTreeModel.h"
#include "planner/TaskList.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/MessageBox.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleOptionViewItem>
#include <QToolTip>
#include <QTreeView>

#include <algorithm>
#include <array>

namespace {

// The nodes whose texts are widest, a few of them, ranked by the sum of their bytes' advances
// (kerning aside): the widest node is among them.
class TWidestTexts {
public:
    explicit TWidestTexts(const std::array<int, 256> &advances) : m_advance(advances) {}
    void offer(const QModelIndex &node, const QByteArray &text)
    {
        int width = 0;
        for (const char c : text)
            width += m_advance[static_cast<unsigned char>(c)];
        if (m_nodes.size() < kKept) {
            m_nodes.append({width, node});
            return;
        }
        const auto narrowest = std::min_element(m_nodes.begin(), m_nodes.end(),
                                                [](const auto &a, const auto &b) { return a.first < b.first; });
        if (width > narrowest->first)
            *narrowest = {width, node};
    }
    QList<QModelIndex> nodes() const
    {
        QList<QModelIndex> nodes;
        for (const auto &kept : m_nodes)
            nodes.append(kept.second);
        return nodes;
    }

private:
    static constexpr qsizetype kKept = 16;
    const std::array<int, 256> &m_advance;
    QList<std::pair<int, QModelIndex>> m_nodes;
};

QStyleOptionViewItem NodeOption(const QTreeView &tree)
{
    QStyleOptionViewItem option;
    option.initFrom(&tree);
    option.font = tree.font();
    option.fontMetrics = tree.fontMetrics();
    option.decorationSize = tree.iconSize();
    option.widget = &tree;
    return option;
}

} // namespace

TProjectTree::TProjectTree(TPlannerContext &context, TTaskList &taskList, QTreeView &tree)
    : m_context(context), m_taskList(taskList), tvwMain(tree),
      m_model(new TProjectTreeModel(*context.projects, this))
{
    tvwMain.setModel(m_model);
    tvwMain.setIconSize(QSize(16, 16));
    tvwMain.setIndentation(19);
    tvwMain.setUniformRowHeights(true);
    tvwMain.setSelectionMode(QAbstractItemView::SingleSelection);
    tvwMain.setContextMenuPolicy(Qt::CustomContextMenu);
    // Long names scroll sideways instead of being cut short.
    tvwMain.header()->setStretchLastSection(false);
    tvwMain.header()->setSectionResizeMode(0, QHeaderView::Interactive);
    buildMenu();
    connect(tvwMain.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { tvwMainChange(current); });
    connect(&tvwMain, &QTreeView::customContextMenuRequested, this, &TProjectTree::showMenu);
    // Every regrouping shows every category open, as the tree always has.
    connect(m_model, &QAbstractItemModel::modelReset, &tvwMain, &QTreeView::expandAll);
    tvwMain.installEventFilter(this);
    tvwMain.viewport()->installEventFilter(this);
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
    const QModelIndex node = tvwMain.indexAt(position);
    if (node.isValid())
        tvwMain.setCurrentIndex(node);
    m_menu->popup(tvwMain.viewport()->mapToGlobal(position));
}

// The model regroups the book in one reset; the view then lays out only what it shows.
void TProjectTree::RebuildProjectTree(const QByteArray &selectName)
{
    showEdit([this] {
        m_model->rebuild();
        fitColumn();
    }, selectName);
}

// A change of the tree, as the user sees it: the details cleared and nothing selected while
// the model announces it, then the project named selectName, if any, selected as the user
// would, so that the change handler shows it. Of several nodes of that name the last in tree
// order is selected.
void TProjectTree::showEdit(const std::function<void()> &announce, const QByteArray &selectName)
{
    m_taskList.ClearProjectDetails();
    m_context.updating = true;
    tvwMain.selectionModel()->clear();
    announce();
    m_context.updating = false;
    if (!selectName.isEmpty()) {
        const QModelIndex selected = m_model->lastProjectNamed(selectName);
        if (selected.isValid())
            tvwMain.setCurrentIndex(selected);
    }
}

void TProjectTree::tvwMainChange(const QModelIndex &node)
{
    if (m_context.updating || !node.isValid())
        return;
    if (m_model->isProject(node)) {
        int index = -1;
        m_context.currentProject = m_context.projects->FindProjectByName(m_model->nameOf(node), index);
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
QModelIndex TProjectTree::selectedNode() const
{
    const QModelIndexList selected = tvwMain.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void TProjectTree::btn1Click()
{
    QByteArray defaultCategory;
    if (const QModelIndex node = selectedNode(); node.isValid())
        defaultCategory = m_model->nameOf(m_model->isProject(node) ? node.parent() : node);

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
    showEdit([this] {
        m_model->projectAppended();
        widenFor(m_model->projectNode(m_context.projects->count() - 1));
    }, name);
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
    showEdit([&] {
        m_model->categoryAppended();
        const QModelIndex added = m_model->categoryNode(categories.count() - 1);
        tvwMain.expand(added);
        widenFor(added);
    }, QByteArray());
    selectCategoryNode(categories.count() - 1);
}

void TProjectTree::Rename1Click()
{
    const QModelIndex node = selectedNode();
    if (!node.isValid())
        return;
    if (m_model->isProject(node))
        editProject(node);
    else
        editCategory(node);
}

void TProjectTree::editProject(const QModelIndex &node)
{
    int index = -1;
    TProject *project = m_context.projects->FindProjectByName(m_model->nameOf(node), index);
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
    const QByteArray oldCategory = project->Category;
    const int oldWidth = nodeWidth(node);
    project->Name = dialog.name();
    project->Category = dialog.category();
    project->StartDate = dialog.startDate();
    project->EndDate = dialog.endDate();
    m_context.projects->setKey(index, project->Name);
    m_context.markModified();
    showEdit([&] {
        m_model->projectChanged(index, oldCategory);
        narrowAfter(oldWidth);
        widenFor(m_model->projectNode(index));
    }, project->Name);
}

void TProjectTree::editCategory(const QModelIndex &node)
{
    TStringList &categories = m_context.projects->Categories;
    const int index = categories.indexOf(m_model->nameOf(node));
    if (index < 0)
        return;
    TfrmCategory dialog(*m_context.msgMain, m_context.dialogParent);
    dialog.setWindowTitle(QStringLiteral("Edit category"));
    dialog.setName(m_model->nameOf(node));
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    const QByteArray oldName = categories.at(index);
    const QByteArray newName = dialog.name();
    const int oldWidth = nodeWidth(m_model->categoryNode(index));
    categories.replace(index, newName);
    TProjects &book = *m_context.projects;
    for (int p = 0; p < book.count(); ++p)
        if (book.object(p)->Category == oldName)
            book.object(p)->Category = newName;
    m_context.markModified();
    showEdit([&] {
        m_model->categoryRenamed(index, oldName);
        tvwMain.expand(m_model->categoryNode(index));
        narrowAfter(oldWidth);
        widenFor(m_model->categoryNode(index));
    }, QByteArray());
    selectCategoryNode(index);
}

// The width a node needs in the column, its indentation included.
int TProjectTree::nodeWidth(const QModelIndex &node) const
{
    if (!node.isValid())
        return 0;
    const int depth = m_model->isProject(node) ? 1 : 0;
    const int indent = tvwMain.indentation() * (depth + (tvwMain.rootIsDecorated() ? 1 : 0));
    return indent + tvwMain.itemDelegateForIndex(node)->sizeHint(NodeOption(tvwMain), node).width();
}

const std::array<int, 256> &TProjectTree::byteAdvances()
{
    const QFont font = tvwMain.font();
    if (m_hasByteAdvances && font == m_byteAdvancesFont)
        return m_byteAdvances;
    const QFontMetrics metrics(font);
    const int wide = metrics.horizontalAdvance(QLatin1Char('W'));
    // Bytes 0x80..0x9F are not Latin-1: count them as wide letters.
    for (int c = 0; c < 256; ++c)
        m_byteAdvances[size_t(c)] = c >= 0x80 && c < 0xA0 ? wide : metrics.horizontalAdvance(QChar(c));
    m_byteAdvancesFont = font;
    m_hasByteAdvances = true;
    return m_byteAdvances;
}

// The column as wide as its widest node, so that long names scroll sideways. Only the nodes
// with the widest texts are measured exactly: asking the view to fit the column measures every
// node again after each change, which costs as much as the rebuild itself.
void TProjectTree::fitColumn()
{
    TWidestTexts widest(byteAdvances());
    m_model->forEachNode([&](const QModelIndex &node) { widest.offer(node, m_model->nameOf(node)); });
    int width = 0;
    for (const QModelIndex &node : widest.nodes())
        width = qMax(width, nodeWidth(node));
    tvwMain.setColumnWidth(0, width);
}

// A node added or renamed: the column grows if the node needs more.
void TProjectTree::widenFor(const QModelIndex &node)
{
    const int width = nodeWidth(node);
    if (width > tvwMain.columnWidth(0))
        tvwMain.setColumnWidth(0, width);
}

// A node that needed goneWidth went or was renamed: if it was the widest, the column is
// fitted again to the nodes that remain.
void TProjectTree::narrowAfter(int goneWidth)
{
    if (goneWidth >= tvwMain.columnWidth(0))
        fitColumn();
}

// Root nodes stand in the order of the category list, one for each entry.
void TProjectTree::selectCategoryNode(int index)
{
    const QModelIndex node = m_model->categoryNode(index);
    if (node.isValid())
        tvwMain.setCurrentIndex(node);
}

void TProjectTree::Delete1Click()
{
    const QModelIndex node = selectedNode();
    if (!node.isValid())
        return;
    if (m_model->isProject(node))
        deleteProject(node);
    else
        deleteCategory(node);
}

void TProjectTree::deleteProject(const QModelIndex &node)
{
    int index = -1;
    TProject *project = m_context.projects->FindProjectByName(m_model->nameOf(node), index);
    if (!project)
        return;
    if (!m_context.msgMain->question(QStringLiteral("Are you sure to delete current project?")))
        return;
    // The task list lets go of the project's tasks before they go.
    if (m_context.currentProject == project) {
        m_context.currentProject = nullptr;
        m_taskList.ClearProjectDetails();
    }
    const int oldWidth = nodeWidth(node);
    m_context.markModified();
    showEdit([&] {
        m_model->removeProject(index, [&] { m_context.projects->removeAt(index); });
        narrowAfter(oldWidth);
    }, QByteArray());
}

void TProjectTree::deleteCategory(const QModelIndex &node)
{
    if (!m_context.msgMain->question(QStringLiteral("Are you sure to delete current category?")))
        return;
    const QByteArray name = m_model->nameOf(node);
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
    const int oldWidth = nodeWidth(m_model->categoryNode(index));
    m_context.markModified();
    showEdit([&] {
        m_model->removeCategory(index, [&] { categories.removeAt(index); });
        narrowAfter(oldWidth);
    }, QByteArray());
}

// A name the pane cuts off, on either side, shows whole as the node's tool tip.
bool TProjectTree::showClippedName(const QHelpEvent &event)
{
    const QModelIndex node = tvwMain.indexAt(event.pos());
    if (!node.isValid())
        return false;
    const QRect cell = tvwMain.visualRect(node);
    const int needed = tvwMain.itemDelegateForIndex(node)->sizeHint(NodeOption(tvwMain), node).width();
    if (cell.left() >= 0 && cell.left() + needed <= tvwMain.viewport()->width())
        return false;
    QToolTip::showText(event.globalPos(), node.data(Qt::DisplayRole).toString(), tvwMain.viewport(), cell);
    return true;
}

// F2 edits the selected node, the Delete key deletes it (each with its dialog or question).
bool TProjectTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &tvwMain && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_F2) {
            if (key == Qt::Key_Delete)
                Delete1Click();
            else
                Rename1Click();
            return true;
        }
    }
    if (watched == tvwMain.viewport() && event->type() == QEvent::ToolTip) {
        if (!showClippedName(*static_cast<QHelpEvent *>(event)))
            QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
