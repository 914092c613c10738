#pragma once

#include "util/CodePage.h"

#include <QByteArrayView>

#include <vector>

// The look-up of a list whose entries carry keys that may repeat: for each distinct key
// (ignoring letter case, FoldCase of CodePage.h) the position of its first entry. It holds
// only positions and hashes; the keys stay in the list, which the operations read through
// keyAt(position) -> QByteArrayView. An open-addressing table: a look-up costs one probe
// sequence whatever the number of entries.
class TFirstKeyIndex {
public:
    bool isBuilt() const { return m_built; }
    void drop();

    template <typename KeyAt>
    void build(int count, KeyAt keyAt);
    // The first position holding key ignoring case, or -1.
    template <typename KeyAt>
    int find(QByteArrayView key, KeyAt keyAt) const;
    // After an entry of key was put in at position i: later positions move up by one.
    template <typename KeyAt>
    void inserted(int i, QByteArrayView key, KeyAt keyAt);
    // Before the entry at i, holding key, is taken out of a list of count entries: when it was
    // its key's first, the next entry of that key takes its place; later positions move down.
    template <typename KeyAt>
    void removing(int i, QByteArrayView key, int count, KeyAt keyAt);

private:
    struct Slot {
        int pos = -1; // -1: empty
        quint32 hash = 0;
    };

    quint32 mask() const { return quint32(m_slots.size() - 1); }
    // The slot of key, or the empty slot where it would go.
    template <typename KeyAt>
    quint32 slotOf(QByteArrayView key, quint32 hash, KeyAt keyAt) const;
    void add(quint32 slot, int pos, quint32 hash);
    void erase(quint32 slot);
    void shift(int from, int by); // every position >= from moves by `by`
    void rehash(size_t slotCount);

    std::vector<Slot> m_slots; // a power of two in size, at most half full
    size_t m_used = 0;
    bool m_built = false;
};

template <typename KeyAt>
void TFirstKeyIndex::build(int count, KeyAt keyAt)
{
    drop();
    size_t slotCount = 16;
    while (slotCount < 2 * size_t(count))
        slotCount *= 2;
    m_slots.assign(slotCount, Slot());
    for (int i = 0; i < count; ++i) {
        const QByteArrayView key = keyAt(i);
        const quint32 hash = FoldedHash(key);
        const quint32 slot = slotOf(key, hash, keyAt);
        if (m_slots[slot].pos < 0)
            add(slot, i, hash); // a repeated key keeps its first position
    }
    m_built = true;
}

template <typename KeyAt>
int TFirstKeyIndex::find(QByteArrayView key, KeyAt keyAt) const
{
    return m_slots[slotOf(key, FoldedHash(key), keyAt)].pos;
}

template <typename KeyAt>
quint32 TFirstKeyIndex::slotOf(QByteArrayView key, quint32 hash, KeyAt keyAt) const
{
    for (quint32 slot = hash & mask();; slot = (slot + 1) & mask()) {
        const Slot &s = m_slots[slot];
        if (s.pos < 0 || (s.hash == hash && SameTextIgnoringCase(keyAt(s.pos), key)))
            return slot;
    }
}

template <typename KeyAt>
void TFirstKeyIndex::inserted(int i, QByteArrayView key, KeyAt keyAt)
{
    shift(i, +1);
    const quint32 hash = FoldedHash(key);
    const quint32 slot = slotOf(key, hash, keyAt);
    if (m_slots[slot].pos < 0)
        add(slot, i, hash);
    else if (i < m_slots[slot].pos)
        m_slots[slot].pos = i;
}

template <typename KeyAt>
void TFirstKeyIndex::removing(int i, QByteArrayView key, int count, KeyAt keyAt)
{
    const quint32 slot = slotOf(key, FoldedHash(key), keyAt);
    Q_ASSERT(m_slots[slot].pos >= 0 && m_slots[slot].pos <= i);
    if (m_slots[slot].pos == i) {
        int next = i + 1;
        while (next < count && !SameTextIgnoringCase(keyAt(next), key))
            ++next;
        if (next < count)
            m_slots[slot].pos = next;
        else
            erase(slot);
    }
    shift(i + 1, -1);
}
