#pragma once

#include <QObject>

class QMenu;
class QPoint;
class QPushButton;
class QTableView;
class TElidedLabel;
class TGauge;
class TTaskTableModel;
struct TPlannerContext;

// The project header and the "Tasks" page: the current project's name, dates, progress and
// to-do list, and the commands that add, edit, tick and remove tasks.
class TTaskList : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QTableView *lvwItems;
        TElidedLabel *lblProjName;
        TElidedLabel *lblStartDate;
        TElidedLabel *lblEndDate;
        TGauge *MainGauge;
        QPushButton *btnAdd;
        QPushButton *btnEdit;
        QPushButton *btnRemove;
    };

    TTaskList(TPlannerContext &context, const Widgets &widgets);

    // Fills header, list and gauge from the current project.
    void ShowProjectDetails();
    // Empties header, list and gauge.
    void ClearProjectDetails();

    // A check box ticked or unticked in the list: recorded in the task already by the model.
    void lvwItemsChange(int row);
    void btnAddClick();
    void btnEditClick();
    void btnRemoveClick();

    TTaskTableModel &model() const { return *m_model; }
    QMenu &mnuTasks() const { return *m_menu; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpList();
    void buildMenu();
    void showMenu(const QPoint &position);
    void updateGauge();
    void setGauge(int percent, const QString &caption);
    void selectRow(int row);
    int selectedRow() const;
    int selectedRowOrSay(const QString &noTasks, const QString &noSelection);

    TPlannerContext &m_context;
    Widgets w;
    // Owned here, not by the list: the controller goes before the book, the list after it.
    TTaskTableModel *m_model = nullptr;
    QMenu *m_menu = nullptr;            // owned by the list
};
