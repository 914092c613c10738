#include "model/KeyedList.h"

#include "util/CodePage.h"

#include <algorithm>

void TKeyIndex::build() const
{
    m_index.clear();
    m_index.reserve(m_keys.size());
    for (int i = 0; i < int(m_keys.size()); ++i)
        m_index[FoldCase(m_keys.at(i))].append(i); // ascending: i grows
    m_indexed = true;
}

// A change that could not finish leaves no half-kept index behind: the next look-up builds
// it again from the keys.
void TKeyIndex::dropIndex() const
{
    m_index.clear();
    m_indexed = false;
}

void TKeyIndex::unlink(const QByteArray &folded, int i) const
{
    const auto it = m_index.find(folded);
    Q_ASSERT(it != m_index.end());
    Bucket &bucket = it.value();
    const auto pos = std::lower_bound(bucket.begin(), bucket.end(), i);
    Q_ASSERT(pos != bucket.end() && *pos == i);
    bucket.erase(pos);
    if (bucket.isEmpty())
        m_index.erase(it);
}

void TKeyIndex::append(const QByteArray &key)
{
    if (m_indexed) {
        try {
            m_index[FoldCase(key)].append(int(m_keys.size()));
        } catch (...) {
            dropIndex();
            throw;
        }
    }
    try {
        m_keys.append(key);
    } catch (...) {
        dropIndex();
        throw;
    }
}

void TKeyIndex::removeAt(int i)
{
    if (m_indexed) {
        try {
            unlink(FoldCase(m_keys.at(i)), i);
            // Every later entry moves up one place; buckets stay in order because all their
            // positions above i shift alike.
            if (i != int(m_keys.size()) - 1)
                for (Bucket &bucket : m_index)
                    for (int &pos : bucket)
                        if (pos > i)
                            --pos;
        } catch (...) {
            dropIndex();
            throw;
        }
    }
    m_keys.removeAt(i);
}

void TKeyIndex::setKey(int i, const QByteArray &key)
{
    if (m_indexed) {
        try {
            const QByteArray oldFolded = FoldCase(m_keys.at(i));
            const QByteArray newFolded = FoldCase(key);
            if (oldFolded != newFolded) {
                unlink(oldFolded, i);
                Bucket &bucket = m_index[newFolded];
                bucket.insert(std::lower_bound(bucket.begin(), bucket.end(), i), i);
            }
        } catch (...) {
            dropIndex();
            throw;
        }
    }
    m_keys[i] = key;
}

void TKeyIndex::clear()
{
    m_keys.clear();
    dropIndex();
}

int TKeyIndex::indexOf(const QByteArray &key) const
{
    if (!m_indexed)
        build();
    const auto it = m_index.constFind(FoldCase(key));
    return it == m_index.cend() ? -1 : it->front();
}

QList<int> TKeyIndex::indexesOf(const QList<QByteArray> &keys) const
{
    QList<int> found(keys.size(), -1);
    if (m_indexed) {
        for (qsizetype k = 0; k < keys.size(); ++k)
            found[k] = indexOf(keys[k]);
        return found;
    }
    // One pass over the keys; only keys of a wanted length are compared.
    QHash<qsizetype, QList<qsizetype>> wantedByLength;
    for (qsizetype k = 0; k < keys.size(); ++k)
        wantedByLength[keys[k].size()].append(k);
    qsizetype missing = keys.size();
    for (int i = 0; i < int(m_keys.size()) && missing > 0; ++i) {
        const QByteArray &key = m_keys.at(i);
        const auto wanted = wantedByLength.constFind(key.size());
        if (wanted == wantedByLength.cend())
            continue;
        for (const qsizetype k : *wanted) {
            if (found[k] < 0 && SameTextIgnoringCase(key, keys[k])) {
                found[k] = i;
                --missing;
            }
        }
    }
    return found;
}
