#include "planner/TaskTableModel.h"

#include "model/Tasks.h"
#include "util/CodePage.h"

namespace {

// The cell shows the stored text with every CR and every LF as one blank; the task keeps it.
QString Flattened(QByteArrayView bytes)
{
    QString text = FromAnsi(QByteArray::fromRawData(bytes.data(), bytes.size()));
    for (QChar &c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return text;
}

QString Plain(QByteArrayView bytes)
{
    return FromAnsi(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

} // namespace

void TTaskTableModel::setTasks(TTasks *tasks)
{
    // No rows before and after: a reset would only make the views lay out and paint again.
    if (!tasks && !m_tasks)
        return;
    beginResetModel();
    m_tasks = tasks;
    endResetModel();
}

void TTaskTableModel::appendTask(const QByteArray &key, const TTask &task)
{
    const int row = m_tasks->count();
    beginInsertRows({}, row, row);
    m_tasks->append(key, task);
    endInsertRows();
}

void TTaskTableModel::replaceTask(int row, const TTask &task)
{
    m_tasks->replace(row, task);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TTaskTableModel::removeTask(int row)
{
    beginRemoveRows({}, row, row);
    m_tasks->removeAt(row);
    endRemoveRows();
}

int TTaskTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_tasks ? 0 : m_tasks->count();
}

int TTaskTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TTaskTableModel::cellText(int row, int column) const
{
    switch (column) {
    case ColDescription:
        return Flattened(m_tasks->description(row));
    case ColNotes:
        return Flattened(m_tasks->notes(row));
    case ColStartDate:
        return Plain(m_tasks->startDate(row));
    case ColEndDate:
        return Plain(m_tasks->endDate(row));
    default:
        return {}; // the "Done" cell holds its check box alone
    }
}

QVariant TTaskTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::CheckStateRole && index.column() == ColDone)
        return m_tasks->done(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

QVariant TTaskTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const captions[ColumnCount] = {"Done", "Task Description", "Task Notes",
                                                      "Start Date", "End Date"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(captions[section]);
}

Qt::ItemFlags TTaskTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return index.column() == ColDone ? flags | Qt::ItemIsUserCheckable : flags;
}

bool TTaskTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != ColDone ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const bool done = value.toInt() == Qt::Checked;
    if (m_tasks->done(index.row()) == done)
        return true;
    m_tasks->setDone(index.row(), done);
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT doneToggled(index.row());
    return true;
}
