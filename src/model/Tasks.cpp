#include "model/Tasks.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

// Garbage under this many bytes is left alone: rewriting a small block for it would cost
// more than it gives back.
constexpr qsizetype kMinGarbage = 4096;

TTaskEntry Fields(QByteArrayView key, const TTask &task)
{
    return {task.Done, key, task.Description, task.Notes, task.StartDate, task.EndDate};
}

} // namespace

TTask TTasks::at(int i) const
{
    const TTaskEntry e = entry(i);
    return TTask(e.done, e.description.toByteArray(), e.notes.toByteArray(),
                 e.startDate.toByteArray(), e.endDate.toByteArray());
}

quint32 TTasks::put(const TTaskEntry &fields)
{
    const qsizetype offset = m_block.size();
    const qsizetype size = TaskEntry::EncodedSize(fields);
    if (offset > qsizetype(std::numeric_limits<quint32>::max()))
        throw std::length_error("a project's tasks take more than 4 GiB");
    m_block.resize(offset + size);
    TaskEntry::Encode(m_block.data() + offset, fields);
    return quint32(offset);
}

void TTasks::append(const QByteArray &key, const TTask &task)
{
    insertPut(count(), Fields(key, task));
}

void TTasks::append(bool done, QByteArrayView description, QByteArrayView notes,
                    QByteArrayView startDate, QByteArrayView endDate)
{
    insertPut(count(), {done, description, description, notes, startDate, endDate});
}

void TTasks::insert(int i, const QByteArray &key, const TTask &task)
{
    Q_ASSERT(i >= 0 && i <= count());
    insertPut(i, Fields(key, task));
}

void TTasks::insertPut(int i, const TTaskEntry &fields)
{
    const qsizetype oldSize = m_block.size();
    const quint32 offset = put(fields);
    try {
        m_offsets.insert(i, offset);
    } catch (...) {
        m_block.resize(oldSize);
        throw;
    }
    m_doneCount += fields.done;
    if (m_index.isBuilt()) {
        try {
            m_index.inserted(i, fields.key, [this](int p) { return keyAt(p); });
        } catch (...) {
            m_index.drop(); // the next look-up builds it again
            throw;
        }
    }
}

void TTasks::replace(int i, const TTask &task)
{
    // The key may lie in the block, which the new entry can move.
    const QByteArray key = this->key(i).toByteArray();
    const bool wasDone = done(i);
    const quint32 offset = put(Fields(key, task));
    addGarbage(i);
    m_offsets[i] = offset;
    m_doneCount += int(task.Done) - int(wasDone);
    if (2 * m_garbage > m_block.size() && m_garbage >= kMinGarbage)
        compact();
}

void TTasks::setDone(int i, bool done)
{
    char &flags = m_block[m_offsets[i]];
    m_doneCount += int(done) - int(bool(flags & TaskEntry::kDone));
    flags = char(done ? flags | TaskEntry::kDone : flags & ~TaskEntry::kDone);
}

void TTasks::removeAt(int i)
{
    if (m_index.isBuilt())
        m_index.removing(i, key(i), count(), [this](int p) { return keyAt(p); });
    m_doneCount -= done(i);
    addGarbage(i);
    m_offsets.remove(i);
    if (m_offsets.isEmpty())
        clear();
    else if (2 * m_garbage > m_block.size() && m_garbage >= kMinGarbage)
        compact();
}

void TTasks::clear()
{
    m_block = QByteArray();
    m_offsets = QList<quint32>();
    m_garbage = 0;
    m_doneCount = 0;
    m_index.drop();
}

void TTasks::squeeze()
{
    m_block.squeeze();
    m_offsets.squeeze();
}

int TTasks::indexOf(QByteArrayView key) const
{
    const auto keyOf = [this](int p) { return keyAt(p); };
    if (!m_index.isBuilt())
        m_index.build(count(), keyOf);
    return m_index.find(key, keyOf);
}

qsizetype TTasks::storageBytes() const
{
    return m_block.capacity() + m_offsets.capacity() * qsizetype(sizeof(quint32));
}

void TTasks::addGarbage(int i)
{
    qsizetype size = 0;
    TaskEntry::Decode(m_block.constData() + m_offsets[i], &size);
    m_garbage += size;
}

// The entries again in list order, without the garbage: saving then reads the block front to
// back.
void TTasks::compact()
{
    QByteArray block(m_block.size() - m_garbage, Qt::Uninitialized);
    char *out = block.data();
    for (quint32 &offset : m_offsets) {
        qsizetype size = 0;
        const char *entry = m_block.constData() + offset;
        TaskEntry::Decode(entry, &size);
        std::memcpy(out, entry, size_t(size));
        offset = quint32(out - block.constData());
        out += size;
    }
    Q_ASSERT(out == block.constData() + block.size());
    m_block.swap(block);
    m_garbage = 0;
}
