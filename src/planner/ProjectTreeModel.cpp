#include "planner/ProjectTreeModel.h"

#include "model/UProjects.h"
#include "util/CodePage.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

TProjectTreeModel::TProjectTreeModel(const TProjects &book, QObject *parent)
    : QAbstractItemModel(parent), m_book(book),
      m_categoryIcon(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
      m_projectIcon(QApplication::style()->standardIcon(QStyle::SP_FileIcon))
{
    group();
}

void TProjectTreeModel::rebuild()
{
    beginResetModel();
    group();
    endResetModel();
}

// One pass over the book, so that the order is the book's within each category. A category
// listed twice gets the same projects under both of its nodes.
void TProjectTreeModel::group()
{
    const int categories = m_book.Categories.count();
    QHash<QByteArray, QList<int>> byCategory;
    byCategory.reserve(categories);
    for (int c = 0; c < categories; ++c)
        byCategory.insert(m_book.Categories.at(c), {});
    for (int p = 0; p < m_book.count(); ++p) {
        const auto found = byCategory.find(m_book.object(p)->Category);
        if (found != byCategory.end())
            found->append(p);
    }
    m_children.clear();
    m_children.reserve(categories);
    for (int c = 0; c < categories; ++c)
        m_children.append(byCategory.value(m_book.Categories.at(c)));
}

int TProjectTreeModel::projectPosition(const QModelIndex &node) const
{
    if (!isProject(node))
        return -1;
    const QList<int> &children = m_children.at(int(node.internalId()) - 1);
    return children.at(node.row());
}

const QByteArray &TProjectTreeModel::nameOf(const QModelIndex &node) const
{
    static const QByteArray none;
    if (!node.isValid())
        return none;
    // Bounds are checked: the book may have changed and the rebuild not come yet.
    if (!isProject(node))
        return node.row() < m_book.Categories.count() ? m_book.Categories.at(node.row()) : none;
    const int position = projectPosition(node);
    return position < m_book.count() ? m_book.object(position)->Name : none;
}

QModelIndex TProjectTreeModel::lastProjectNamed(const QByteArray &name) const
{
    for (int c = int(m_children.size()) - 1; c >= 0; --c) {
        const QList<int> &children = m_children.at(c);
        for (int p = int(children.size()) - 1; p >= 0; --p)
            if (m_book.object(children.at(p))->Name == name)
                return index(p, ColName, categoryNode(c));
    }
    return {};
}

QModelIndex TProjectTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != ColName || row < 0)
        return {};
    if (!parent.isValid())
        return row < int(m_children.size()) ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (isProject(parent) || row >= int(m_children.at(parent.row()).size()))
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex TProjectTreeModel::parent(const QModelIndex &child) const
{
    if (!isProject(child))
        return {};
    return createIndex(int(child.internalId()) - 1, ColName, quintptr(0));
}

int TProjectTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_children.size());
    if (isProject(parent) || parent.column() != ColName)
        return 0;
    return int(m_children.at(parent.row()).size());
}

int TProjectTreeModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant TProjectTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return FromAnsi(nameOf(index));
    case Qt::DecorationRole:
        return isProject(index) ? m_projectIcon : m_categoryIcon;
    default:
        return {};
    }
}

Qt::ItemFlags TProjectTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return isProject(index) ? flags | Qt::ItemNeverHasChildren : flags;
}
