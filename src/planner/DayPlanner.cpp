#include "planner/DayPlanner.h"

#include "model/UProjects.h"
#include "planner/FHour.h"
#include "planner/PlannerContext.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/GridDelegate.h"
#include "toolkit/MessageBox.h"
#include "toolkit/MonthCalendar.h"
#include "util/CodePage.h"
#include "util/ShortDate.h"
#include "util/UUtils.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

enum HourColumn { ColHour, ColAction };
constexpr int kHourRows = 24;

} // namespace

TDayPlanner::TDayPlanner(TPlannerContext &context, QCalendarWidget &calendar,
                         QTreeWidget &todo, QPushButton &btnEditHour, QPushButton &btnClearHour)
    : m_context(context), calPlanner(calendar), lvwToDo(todo)
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TDayPlanner::Timer1Timer);

    SetUpMonthCalendar(calPlanner);
    lvwToDo.setItemDelegate(new TGridDelegate(&lvwToDo));
    lvwToDo.header()->setSectionsClickable(false);
    lvwToDo.header()->setStretchLastSection(true);

    connect(&btnEditHour, &QPushButton::clicked, this, &TDayPlanner::btnEditHourClick);
    connect(&btnClearHour, &QPushButton::clicked, this, &TDayPlanner::btnClearHourClick);
    lvwToDo.viewport()->installEventFilter(this);
    lvwToDo.installEventFilter(this);
    connect(&calPlanner, &QCalendarWidget::clicked, this, &TDayPlanner::calPlannerNumberClick);
    // Keyboard moves and the month and year buttons change the date without a day click:
    // the rows follow at once rather than at the next timer tick.
    connect(&calPlanner, &QCalendarWidget::selectionChanged, this, &TDayPlanner::RefreshDayPlanner);
    connect(&calPlanner, &QCalendarWidget::currentPageChanged, this, &TDayPlanner::followMonthPage);
    calPlanner.installEventFilter(this);
}

QString TDayPlanner::HourCaption(int n)
{
    if (n < 12)
        return QStringLiteral("%1:00 AM").arg(n);
    if (n == 12)
        return QStringLiteral("12:00 M");
    return QStringLiteral("%1:00 PM").arg(n - 12);
}

void TDayPlanner::AddHourRows()
{
    for (int n = 1; n <= kHourRows; ++n)
        new QTreeWidgetItem(&lvwToDo, QStringList{HourCaption(n), QString()});
    // 60 pixels, or what the longest caption needs in the user's font.
    lvwToDo.resizeColumnToContents(ColHour);
    lvwToDo.setColumnWidth(ColHour, qMax(60, lvwToDo.columnWidth(ColHour) + 8));
    RefreshDayPlanner();
}

QByteArray TDayPlanner::DayText() const
{
    return AnsiOf(ShortDateText(calPlanner.selectedDate()));
}

// The 24 look-ups go together: until an edit needs the store's key index, they are answered
// by one pass over the keys, so that start-up never builds the index of a large store.
void TDayPlanner::RefreshDayPlanner()
{
    const QByteArray day = DayText();
    QList<QByteArray> keys;
    keys.reserve(lvwToDo.topLevelItemCount());
    for (int r = 0; r < lvwToDo.topLevelItemCount(); ++r)
        keys.append(PlannerKey(day, AnsiOf(lvwToDo.topLevelItem(r)->text(ColHour))));
    const QList<int> entries = m_context.hours->indexesOf(keys);
    for (int r = 0; r < lvwToDo.topLevelItemCount(); ++r) {
        const int entry = entries[r];
        lvwToDo.topLevelItem(r)->setText(
            ColAction, entry < 0 ? QString()
                                 : FromAnsi(FlattenLineBreaks(m_context.hours->object(entry)->Action)));
    }
}

int TDayPlanner::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = lvwToDo.selectedItems();
    return selected.isEmpty() ? -1 : lvwToDo.indexOfTopLevelItem(selected.first());
}

void TDayPlanner::btnEditHourClick()
{
    const int row = selectedRow();
    if (row < 0) {
        m_context.msgMain->information(QStringLiteral("Please select a hour to edit!"));
        return;
    }
    const QByteArray day = DayText();
    const QTreeWidgetItem *item = lvwToDo.topLevelItem(row);
    const QByteArray hour = AnsiOf(item->text(ColHour));
    const QByteArray shown = AnsiOf(item->text(ColAction));
    {
        TfrmHour dialog(*m_context.msgMain, m_context.dialogParent);
        dialog.setDay(day);
        dialog.setHour(hour);
        dialog.setName(shown);
        if (RunModal(dialog) == QDialog::Accepted) {
            const QByteArray action = dialog.name();
            THours &hours = *m_context.hours;
            const QByteArray key = PlannerKey(day, hour);
            const int entry = hours.indexOf(key);
            // An action is offered with its line breaks flattened; only a changed text
            // replaces it, so OK on an untouched action keeps its line breaks.
            if (entry < 0 || action != shown) {
                if (entry < 0)
                    hours.append(key, std::make_unique<TToDoHour>(day, hour, action));
                else
                    *hours.object(entry) = TToDoHour(day, hour, action);
                m_context.markModified();
            }
        }
    }
    RefreshDayPlanner();
}

void TDayPlanner::btnClearHourClick()
{
    const int row = selectedRow();
    if (row < 0) {
        m_context.msgMain->information(QStringLiteral("Please select an action to delete!"));
        return;
    }
    const QByteArray hour = AnsiOf(lvwToDo.topLevelItem(row)->text(ColHour));
    const int entry = m_context.hours->indexOf(PlannerKey(DayText(), hour));
    if (entry < 0)
        return;
    m_context.hours->removeAt(entry);
    m_context.markModified();
    RefreshDayPlanner();
}

void TDayPlanner::calPlannerNumberClick()
{
    RefreshDayPlanner();
}

void TDayPlanner::calPlannerMouseEnter()
{
    Timer1->start();
}

void TDayPlanner::calPlannerMouseLeave()
{
    Timer1->start();
}

void TDayPlanner::Timer1Timer()
{
    RefreshDayPlanner();
}

// Turning the calendar's page keeps the day of the month, so the rows show the new month.
void TDayPlanner::followMonthPage(int year, int month)
{
    const QDate current = calPlanner.selectedDate();
    if (current.year() == year && current.month() == month)
        return;
    const QDate first(year, month, 1);
    calPlanner.setSelectedDate(first.addDays(qMin(current.day(), first.daysInMonth()) - 1));
}

// The hour list's keys: Enter or F2 edits the selected hour, Delete clears it.
bool TDayPlanner::hourListKey(const QKeyEvent &key)
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (!key.isAutoRepeat())
            btnEditHourClick();
        return true;
    case Qt::Key_Delete:
        btnClearHourClick();
        return true;
    default:
        return false;
    }
}

// A double click on the hour list edits the selected hour.
bool TDayPlanner::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lvwToDo.viewport() && event->type() == QEvent::MouseButtonDblClick) {
        btnEditHourClick();
        return true;
    }
    if (watched == &lvwToDo && event->type() == QEvent::KeyPress)
        return hourListKey(*static_cast<QKeyEvent *>(event));
    if (watched == &calPlanner) {
        if (event->type() == QEvent::Enter)
            calPlannerMouseEnter();
        else if (event->type() == QEvent::Leave)
            calPlannerMouseLeave();
    }
    return QObject::eventFilter(watched, event);
}
