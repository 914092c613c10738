#include "model/FirstKeyIndex.h"

void TFirstKeyIndex::drop()
{
    std::vector<Slot>().swap(m_slots);
    m_used = 0;
    m_built = false;
}

void TFirstKeyIndex::add(quint32 slot, int pos, quint32 hash)
{
    m_slots[slot] = Slot{pos, hash};
    if (2 * ++m_used > m_slots.size())
        rehash(2 * m_slots.size());
}

// Backward-shift deletion: the entries after the hole that may move into it do, so that no
// probe sequence is ever cut short by an empty slot.
void TFirstKeyIndex::erase(quint32 slot)
{
    quint32 hole = slot;
    for (quint32 k = (hole + 1) & mask(); m_slots[k].pos >= 0; k = (k + 1) & mask()) {
        const quint32 home = m_slots[k].hash & mask();
        if (((k - home) & mask()) >= ((k - hole) & mask())) {
            m_slots[hole] = m_slots[k];
            hole = k;
        }
    }
    m_slots[hole] = Slot();
    --m_used;
}

void TFirstKeyIndex::shift(int from, int by)
{
    for (Slot &s : m_slots)
        if (s.pos >= from)
            s.pos += by;
}

void TFirstKeyIndex::rehash(size_t slotCount)
{
    std::vector<Slot> old(slotCount);
    old.swap(m_slots);
    for (const Slot &s : old) {
        if (s.pos < 0)
            continue;
        quint32 slot = s.hash & mask();
        while (m_slots[slot].pos >= 0)
            slot = (slot + 1) & mask();
        m_slots[slot] = s;
    }
}
