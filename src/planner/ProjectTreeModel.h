#pragma once

#include <QAbstractItemModel>
#include <QByteArray>
#include <QIcon>
#include <QList>

#include <functional>

class TProjects;

// The book as a tree of two levels for the "Projects" view: the categories at the root, in
// the order of the category list, and under each the projects whose category equals its name
// exactly, in book order. Texts are converted only when a node is painted; the model holds
// nothing per node but the project's position in the book.
class TProjectTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Column { ColName, ColumnCount };

    TProjectTreeModel(const TProjects &book, QObject *parent = nullptr);

    // Regroups the projects under their categories after the book changed: one reset.
    void rebuild();

    // Single edits of the book, announced row by row so that the view keeps its layout, its
    // expanded nodes and its selection. A project under a category listed more than once is
    // regrouped whole instead.
    // The book's last project is new.
    void projectAppended();
    // The project at position changed its name or came from oldCategory.
    void projectChanged(int position, const QByteArray &oldCategory);
    // removeFromBook takes the project at position out of the book, while its node goes.
    void removeProject(int position, const std::function<void()> &removeFromBook);
    // The category list's last entry is new.
    void categoryAppended();
    // The category list's entry row was renamed from oldName, and its projects with it.
    void categoryRenamed(int row, const QByteArray &oldName);
    // removeFromBook takes the category list's entry row out, while its node goes.
    void removeCategory(int row, const std::function<void()> &removeFromBook);

    bool isProject(const QModelIndex &node) const { return node.isValid() && node.internalId() != 0; }
    // The node's text as the book holds it (Windows-1252), valid until the book changes.
    const QByteArray &nameOf(const QModelIndex &node) const;
    QModelIndex categoryNode(int row) const { return index(row, ColName); }
    // The node of the book's project at position under the first root of its category, or an
    // invalid index.
    QModelIndex projectNode(int position) const;
    // The last project node in tree order whose text equals name exactly, or an invalid index.
    QModelIndex lastProjectNamed(const QByteArray &name) const;
    // Every node, roots first in each group (for measuring the widest text).
    template <typename Visit>
    void forEachNode(Visit visit) const
    {
        for (int c = 0; c < int(m_children.size()); ++c) {
            const QModelIndex root = categoryNode(c);
            visit(root);
            for (int p = 0; p < int(m_children.at(c).size()); ++p)
                visit(index(p, ColName, root));
        }
    }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void group();
    // The root rows whose category is named name exactly.
    QList<int> rootsNamed(const QByteArray &name) const;
    // The book positions of the projects of category name, in book order: one walk.
    QList<int> positionsIn(const QByteArray &name) const;
    // Where position stands, or would stand, among its root's children.
    int childRow(int root, int position) const;
    void insertChild(int root, int position);
    void removeChild(int root, int position);
    void replaceChildren(int root, const QList<int> &children);
    // The project's position in the book, or -1 for a category node.
    int projectPosition(const QModelIndex &node) const;

    const TProjects &m_book;
    // Made once: a style icon made per node costs more than the node itself.
    QIcon m_categoryIcon; // image 0
    QIcon m_projectIcon;  // image 1
    // Per root row, the book positions of its projects. A child's internal id is its root
    // row + 1, so 0 marks a root.
    QList<QList<int>> m_children;
};
