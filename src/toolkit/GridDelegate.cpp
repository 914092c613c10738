#include "toolkit/GridDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kRowPadding = 4; // pixels above and below a row's content

} // namespace

void TGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if ((cell.features & QStyleOptionViewItem::HasCheckIndicator) && (cell.state & QStyle::State_Selected))
        paintCheckBoxAsUnselected(painter, cell);
    const QColor grid = QColor::fromRgba(
        QRgb(style->styleHint(QStyle::SH_Table_GridLineColor, &option, widget)));
    painter->save();
    painter->setPen(grid.isValid() ? grid : option.palette.color(QPalette::Mid));
    const QRect &r = option.rect;
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
}

// The skin colours a selected row's text white, and the check mark with it: white on the
// box's white. The box is drawn again over it as on a row that is not selected.
void TGridDelegate::paintCheckBoxAsUnselected(QPainter *painter, const QStyleOptionViewItem &cell) const
{
    const QWidget *widget = cell.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem box = cell;
    box.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, widget);
    box.palette = widget ? widget->palette() : QApplication::palette();
    box.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_On |
                   QStyle::State_Off | QStyle::State_NoChange);
    switch (cell.checkState) {
    case Qt::Checked:
        box.state |= QStyle::State_On;
        break;
    case Qt::PartiallyChecked:
        box.state |= QStyle::State_NoChange;
        break;
    default:
        box.state |= QStyle::State_Off;
    }
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
}

QSize TGridDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rheight() += 2 * kRowPadding;
    return size;
}

int TGridDelegate::rowHeight(const QWidget &view)
{
    QStyleOptionViewItem cell;
    cell.initFrom(&view);
    cell.widget = &view;
    cell.font = view.font();
    cell.fontMetrics = view.fontMetrics();
    cell.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
    cell.text = QStringLiteral("Xg");
    const QSize content = view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &view);
    return content.height() + 2 * kRowPadding;
}

bool TGridDelegate::isCutOff(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty())
        return false;
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    // The style keeps a small margin on either side of the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return cell.fontMetrics.horizontalAdvance(cell.text) > room.width() - 2 * margin;
}

bool TGridDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                              const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    if (!isCutOff(option, index)) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view,
                       option.rect);
    return true;
}
