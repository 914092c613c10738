#pragma once

#include <QAbstractItemModel>
#include <QByteArray>
#include <QIcon>
#include <QList>

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

    bool isProject(const QModelIndex &node) const { return node.isValid() && node.internalId() != 0; }
    // The node's text as the book holds it (Windows-1252), valid until the book changes.
    const QByteArray &nameOf(const QModelIndex &node) const;
    QModelIndex categoryNode(int row) const { return index(row, ColName); }
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
