#include "toolkit/RowDiscard.h"

#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr qsizetype kSmallList = 2000; // freed at once: too few to be felt
constexpr qsizetype kSlice = 5000;     // rows freed per turn, a few milliseconds

} // namespace

TRowDiscard::TRowDiscard(QTreeWidget &list) : QObject(&list), m_list(list) {}

TRowDiscard::~TRowDiscard()
{
    qDeleteAll(m_waiting);
}

void TRowDiscard::empty()
{
    if (m_list.topLevelItemCount() < kSmallList) {
        m_list.clear();
        return;
    }
    // clear() would also reset the current item; taking the rows out leaves no current one.
    m_waiting += m_list.invisibleRootItem()->takeChildren();
    if (!m_scheduled) {
        m_scheduled = true;
        QTimer::singleShot(0, this, &TRowDiscard::freeSlice);
    }
}

void TRowDiscard::freeSlice()
{
    const qsizetype n = qMin(kSlice, m_waiting.size());
    qDeleteAll(m_waiting.cend() - n, m_waiting.cend());
    m_waiting.resize(m_waiting.size() - n);
    m_scheduled = !m_waiting.isEmpty();
    if (m_scheduled)
        QTimer::singleShot(0, this, &TRowDiscard::freeSlice);
}
