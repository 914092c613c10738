#pragma once

#include <QByteArray>
#include <QFont>
#include <QModelIndex>
#include <QObject>

#include <array>
#include <functional>

class QHelpEvent;
class QMenu;
class QPoint;
class QTreeView;
class TProjectTreeModel;
class TTaskList;
struct TPlannerContext;

// The "Projects" tree: categories at the root, their projects below; its popup menu and the
// toolbar's "New Project" create, edit and delete categories and projects.
class TProjectTree : public QObject {
    Q_OBJECT

public:
    TProjectTree(TPlannerContext &context, TTaskList &taskList, QTreeView &tvwMain);

    // Rebuilds the whole tree and selects the project named selectName, if any.
    void RebuildProjectTree(const QByteArray &selectName);
    void tvwMainChange(const QModelIndex &node);

    void btn1Click();
    void AddProject1Click() { btn1Click(); }
    void NewCategory1Click();
    void Rename1Click();
    void Delete1Click();

    QMenu &mnuTree() const { return *m_menu; }
    TProjectTreeModel &model() const { return *m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QModelIndex selectedNode() const;
    void selectCategoryNode(int index);
    void showEdit(const std::function<void()> &announce, const QByteArray &selectName);
    int nodeWidth(const QModelIndex &node) const;
    const std::array<int, 256> &byteAdvances();
    void fitColumn();
    void widenFor(const QModelIndex &node);
    void narrowAfter(int goneWidth);
    void buildMenu();
    void showMenu(const QPoint &position);
    bool showClippedName(const QHelpEvent &event);
    void editProject(const QModelIndex &node);
    void editCategory(const QModelIndex &node);
    void deleteProject(const QModelIndex &node);
    void deleteCategory(const QModelIndex &node);

    TPlannerContext &m_context;
    TTaskList &m_taskList;
    QTreeView &tvwMain;
    // Owned here, not by the tree: the controller goes before the book, the tree after it.
    TProjectTreeModel *m_model = nullptr;
    QMenu *m_menu = nullptr;
    // Each byte's advance in the tree's font, made once per font: ranking the nodes by the
    // sum of their bytes' advances needs no text converted.
    std::array<int, 256> m_byteAdvances{};
    QFont m_byteAdvancesFont;
    bool m_hasByteAdvances = false;
};
