#include "model/Tasks.h"

#include <memory>

TTask::TTask(bool done, QByteArray description, QByteArray notes, QByteArray startDate,
             QByteArray endDate)
    : Done(done), Description(std::move(description)), Notes(std::move(notes)),
      StartDate(std::move(startDate)), EndDate(std::move(endDate))
{
}

void TTasks::append(const QByteArray &key, const TTask &task)
{
    insert(count(), key, task);
}

void TTasks::insert(int i, const QByteArray &key, const TTask &task)
{
    Q_ASSERT(i >= 0 && i <= count());
    // The keyed list appends only: later entries are taken off and put back behind the new one.
    std::vector<std::pair<QByteArray, std::unique_ptr<TTask>>> later;
    while (count() > i) {
        const int last = count() - 1;
        QByteArray lastKey = m_tasks.key(last);
        later.emplace_back(std::move(lastKey), m_tasks.takeAt(last));
    }
    m_tasks.append(key, std::make_unique<TTask>(task));
    for (auto it = later.rbegin(); it != later.rend(); ++it)
        m_tasks.append(it->first, std::move(it->second));
    m_doneCount += task.Done;
}

void TTasks::replace(int i, const TTask &task)
{
    TTask &old = *m_tasks.object(i);
    m_doneCount += int(task.Done) - int(old.Done);
    old = task;
}

void TTasks::setDone(int i, bool done)
{
    TTask &task = *m_tasks.object(i);
    m_doneCount += int(done) - int(task.Done);
    task.Done = done;
}

void TTasks::removeAt(int i)
{
    m_doneCount -= m_tasks.object(i)->Done;
    m_tasks.removeAt(i);
}

void TTasks::clear()
{
    m_tasks.clear();
    m_doneCount = 0;
}

int TTasks::indexOf(QByteArrayView key) const
{
    return m_tasks.indexOf(key.toByteArray());
}
