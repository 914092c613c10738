#pragma once

#include <QAbstractTableModel>
#include <QByteArray>

class TTask;
class TTasks;

// The current project's to-do list as the rows of the task list: one row per task, in the
// list's order, tied by position. Nothing is copied per row; a cell's text is converted from
// Windows-1252 only when the view asks for it, which it does for the rows it paints.
//
// Single edits go through the model, which tells the views row by row (no reset); showing
// another project is one reset.
class TTaskTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ColDone, ColDescription, ColNotes, ColStartDate, ColEndDate, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // The list shown, or none (no rows); not owned. A reset, unless none follows none.
    void setTasks(TTasks *tasks);
    TTasks *tasks() const { return m_tasks; }

    // Edits of the list shown, each announced to the views as the rows it touches.
    void appendTask(const QByteArray &key, const TTask &task);
    void replaceTask(int row, const TTask &task); // the fields; the key stays
    void removeTask(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // The check box of "Done": the task's done flag.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // The user ticked or unticked the task at row: its done flag now differs from before.
    void doneToggled(int row);

private:
    QString cellText(int row, int column) const;

    TTasks *m_tasks = nullptr;
};
