#pragma once

#include <QObject>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TElidedLabel;
class TGauge;
class TGridDelegate;
class TRowDiscard;
struct TPlannerContext;

// The project header and the "Tasks" page: the current project's name, dates, progress and
// to-do list, and the commands that add, edit, tick and remove tasks.
class TTaskList : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QTreeWidget *lvwItems;
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

    void lvwItemsChange(QTreeWidgetItem *item, int column);
    void btnAddClick();
    void btnEditClick();
    void btnRemoveClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateGauge();
    void selectRow(int row);
    int selectedRow() const;
    int selectedRowOrSay(const QString &noTasks, const QString &noSelection);

    TPlannerContext &m_context;
    Widgets w;
    TRowDiscard *m_discard = nullptr; // owned by the list
};
