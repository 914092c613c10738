#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class TTaskList;
struct TPlannerContext;

// The "Projects" tree: categories at the root, their projects below; its popup menu and the
// toolbar's "New Project" create, edit and delete categories and projects.
class TProjectTree : public QObject {
    Q_OBJECT

public:
    TProjectTree(TPlannerContext &context, TTaskList &taskList, QTreeWidget &tvwMain);

    // Rebuilds the whole tree and selects the project named selectName, if any.
    void RebuildProjectTree(const QByteArray &selectName);
    void tvwMainChange(QTreeWidgetItem *node);

    void btn1Click();
    void AddProject1Click() { btn1Click(); }
    void NewCategory1Click();
    void Rename1Click();
    void Delete1Click();

    QMenu &mnuTree() const { return *m_menu; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeWidgetItem *selectedNode() const;
    void selectCategoryNode(int index);
    void fitColumn(const QList<QTreeWidgetItem *> &candidates);
    void buildMenu();
    void showMenu(const QPoint &position);
    void editProject(QTreeWidgetItem *node);
    void editCategory(QTreeWidgetItem *node);
    void deleteProject(QTreeWidgetItem *node);
    void deleteCategory(QTreeWidgetItem *node);

    TPlannerContext &m_context;
    TTaskList &m_taskList;
    QTreeWidget &tvwMain;
    QMenu *m_menu = nullptr;
    QIcon m_categoryIcon; // image 0
    QIcon m_projectIcon;  // image 1
};
