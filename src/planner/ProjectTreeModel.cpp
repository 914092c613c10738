#include "planner/ProjectTreeModel.h"

#include "model/UProjects.h"
#include "util/CodePage.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

// Each project is allocated on its own, among its tasks, so a walk over the book waits for
// memory twice a project: for the project and for its category's bytes. Asking for both some
// projects ahead lets those waits overlap; the second needs the project fetched already.
void PrefetchCategory(const TProjects &book, int position)
{
    constexpr int kProjectAhead = 16;
    constexpr int kBytesAhead = 8;
    if (position + kProjectAhead < book.count())
        __builtin_prefetch(&book.object(position + kProjectAhead)->Category);
    if (position + kBytesAhead < book.count())
        __builtin_prefetch(book.object(position + kBytesAhead)->Category.constData());
}

} // namespace

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

// One walk over the book, so that the order is the book's within each category, into lists
// reserved at their final sizes. A category listed twice gets the same projects under both of
// its nodes.
void TProjectTreeModel::group()
{
    const int categories = m_book.Categories.count();
    QHash<QByteArray, int> firstRoot;
    firstRoot.reserve(categories);
    for (int c = 0; c < categories; ++c)
        if (!firstRoot.contains(m_book.Categories.at(c)))
            firstRoot.insert(m_book.Categories.at(c), c);
    const int projects = m_book.count();
    std::vector<int> rootOf(size_t(projects), -1);
    std::vector<int> sizes(size_t(categories), 0);
    for (int p = 0; p < projects; ++p) {
        PrefetchCategory(m_book, p);
        const auto found = firstRoot.constFind(m_book.object(p)->Category);
        if (found != firstRoot.cend()) {
            rootOf[size_t(p)] = *found;
            ++sizes[size_t(*found)];
        }
    }
    m_children = QList<QList<int>>(categories);
    for (int c = 0; c < categories; ++c)
        m_children[c].reserve(sizes[size_t(c)]);
    for (int p = 0; p < projects; ++p)
        if (rootOf[size_t(p)] >= 0)
            m_children[rootOf[size_t(p)]].append(p);
    for (int c = 0; c < categories; ++c) {
        const int first = firstRoot.value(m_book.Categories.at(c));
        if (first != c)
            m_children[c] = m_children.at(first);
    }
}

QList<int> TProjectTreeModel::rootsNamed(const QByteArray &name) const
{
    QList<int> roots;
    for (int c = 0; c < int(m_children.size()); ++c)
        if (m_book.Categories.at(c) == name)
            roots.append(c);
    return roots;
}

QList<int> TProjectTreeModel::positionsIn(const QByteArray &name) const
{
    QList<int> positions;
    for (int p = 0; p < m_book.count(); ++p)
        if (m_book.object(p)->Category == name)
            positions.append(p);
    return positions;
}

int TProjectTreeModel::childRow(int root, int position) const
{
    const QList<int> &children = m_children.at(root);
    return int(std::lower_bound(children.cbegin(), children.cend(), position) - children.cbegin());
}

void TProjectTreeModel::insertChild(int root, int position)
{
    const int row = childRow(root, position);
    beginInsertRows(categoryNode(root), row, row);
    m_children[root].insert(row, position);
    endInsertRows();
}

void TProjectTreeModel::removeChild(int root, int position)
{
    const int row = childRow(root, position);
    if (row >= int(m_children.at(root).size()) || m_children.at(root).at(row) != position)
        return;
    beginRemoveRows(categoryNode(root), row, row);
    m_children[root].removeAt(row);
    endRemoveRows();
}

void TProjectTreeModel::replaceChildren(int root, const QList<int> &children)
{
    if (m_children.at(root) == children)
        return;
    const QModelIndex parent = categoryNode(root);
    if (const int old = int(m_children.at(root).size()); old > 0) {
        beginRemoveRows(parent, 0, old - 1);
        m_children[root].clear();
        endRemoveRows();
    }
    if (!children.isEmpty()) {
        beginInsertRows(parent, 0, int(children.size()) - 1);
        m_children[root] = children;
        endInsertRows();
    }
}

QModelIndex TProjectTreeModel::projectNode(int position) const
{
    if (position < 0 || position >= m_book.count())
        return {};
    for (const int root : rootsNamed(m_book.object(position)->Category)) {
        const int row = childRow(root, position);
        if (row < int(m_children.at(root).size()) && m_children.at(root).at(row) == position)
            return index(row, ColName, categoryNode(root));
    }
    return {};
}

void TProjectTreeModel::projectAppended()
{
    const int position = m_book.count() - 1;
    const QList<int> roots = rootsNamed(m_book.object(position)->Category);
    if (roots.size() > 1)
        rebuild();
    else if (roots.size() == 1)
        insertChild(roots.first(), position);
}

void TProjectTreeModel::projectChanged(int position, const QByteArray &oldCategory)
{
    const QByteArray &category = m_book.object(position)->Category;
    if (category == oldCategory) {
        for (const int root : rootsNamed(category)) {
            const QModelIndex node = index(childRow(root, position), ColName, categoryNode(root));
            emit dataChanged(node, node);
        }
        return;
    }
    const QList<int> from = rootsNamed(oldCategory);
    const QList<int> to = rootsNamed(category);
    if (from.size() > 1 || to.size() > 1) {
        rebuild();
        return;
    }
    if (!from.isEmpty())
        removeChild(from.first(), position);
    if (!to.isEmpty())
        insertChild(to.first(), position);
}

void TProjectTreeModel::removeProject(int position, const std::function<void()> &removeFromBook)
{
    const QList<int> roots = rootsNamed(m_book.object(position)->Category);
    if (roots.size() > 1) {
        beginResetModel();
        removeFromBook();
        group();
        endResetModel();
        return;
    }
    const int root = roots.isEmpty() ? -1 : roots.first();
    const int row = root < 0 ? -1 : childRow(root, position);
    const bool shown = root >= 0 && row < int(m_children.at(root).size()) && m_children.at(root).at(row) == position;
    if (shown)
        beginRemoveRows(categoryNode(root), row, row);
    removeFromBook();
    if (shown)
        m_children[root].removeAt(row);
    // The projects after it moved up one place in the book.
    for (QList<int> &children : m_children)
        for (int &child : children)
            if (child > position)
                --child;
    if (shown)
        endRemoveRows();
}

void TProjectTreeModel::categoryAppended()
{
    const int row = int(m_children.size());
    beginInsertRows({}, row, row);
    m_children.append(positionsIn(m_book.Categories.at(row)));
    endInsertRows();
}

// The projects went with the entry's new name: every root of either name gets its projects anew.
void TProjectTreeModel::categoryRenamed(int row, const QByteArray &oldName)
{
    const QByteArray &newName = m_book.Categories.at(row);
    const QModelIndex renamed = categoryNode(row);
    emit dataChanged(renamed, renamed);
    const QList<int> underNew = positionsIn(newName);
    const QList<int> underOld = newName == oldName ? underNew : positionsIn(oldName);
    for (int c = 0; c < int(m_children.size()); ++c) {
        if (m_book.Categories.at(c) == newName)
            replaceChildren(c, underNew);
        else if (m_book.Categories.at(c) == oldName)
            replaceChildren(c, underOld);
    }
}

// A project node knows its root by the root's row, so removing any root but the last would
// move the projects of the roots after it under their persistent indexes: that is one reset.
void TProjectTreeModel::removeCategory(int row, const std::function<void()> &removeFromBook)
{
    if (row != int(m_children.size()) - 1) {
        beginResetModel();
        removeFromBook();
        group();
        endResetModel();
        return;
    }
    beginRemoveRows({}, row, row);
    removeFromBook();
    m_children.removeLast();
    endRemoveRows();
}

int TProjectTreeModel::projectPosition(const QModelIndex &node) const
{
    if (!isProject(node))
        return -1;
    const int root = int(node.internalId()) - 1;
    if (root >= int(m_children.size()) || node.row() >= int(m_children.at(root).size()))
        return -1;
    return m_children.at(root).at(node.row());
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
    return position >= 0 && position < m_book.count() ? m_book.object(position)->Name : none;
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
