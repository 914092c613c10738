#pragma once

#include <QStyledItemDelegate>

// Draws the cells of a report-style list with grid lines between rows and columns, makes rows
// tall enough that check boxes keep apart, and shows a cell's whole text as its tool tip when
// the cell cuts it off. The tool tip is worked out when asked for, so rows carry none. A check
// box keeps its unselected look on a selected row, so that its tick stays readable.
class TGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // The height of a row of view with a check box and one line of text, as sizeHint gives
    // it: for views whose rows are all alike.
    static int rowHeight(const QWidget &view);
    // True when the cell at index, drawn with option, cannot show its whole text.
    bool isCutOff(const QStyleOptionViewItem &option, const QModelIndex &index) const;

private:
    void paintCheckBoxAsUnselected(QPainter *painter, const QStyleOptionViewItem &cell) const;
};
