#pragma once

#include <QList>
#include <QObject>

class QTreeWidget;
class QTreeWidgetItem;

// Empties a list at once and frees its rows afterwards, a slice per turn of the event loop:
// freeing 100,000 rows takes a fifth of a second, which the user would wait for each time a
// large project is left. The rows are out of the list before empty() returns; what is still
// waiting is freed with this object at the latest.
class TRowDiscard : public QObject
{
    Q_OBJECT

public:
    explicit TRowDiscard(QTreeWidget &list);
    ~TRowDiscard() override;

    void empty();
    // Rows taken out and not freed yet.
    qsizetype waiting() const { return m_waiting.size(); }

private:
    void freeSlice();

    QTreeWidget &m_list;
    QList<QTreeWidgetItem *> m_waiting;
    bool m_scheduled = false;
};
