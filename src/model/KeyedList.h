#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QVarLengthArray>

#include <memory>
#include <utility>
#include <vector>

// The keys of a keyed list, in insertion order, with a look-up that ignores letter case
// (FoldCase of CodePage.h) and answers the first match.
//
// Look-ups go through a hash from the folded key to the positions holding it, kept in
// ascending order, so the first match is the front of its bucket. The index is built on the
// first look-up (lists that are only loaded and saved never pay for it) and from then on kept
// up to date by every change: an append adds the new, highest position to the end of its
// bucket; a removal takes the position out and moves every later position down by one; a
// key change moves the position to its new bucket at its ordered place. A look-up costs one
// hash probe whatever the number of entries.
class TKeyIndex {
public:
    int count() const { return int(m_keys.size()); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    const QByteArray &key(int i) const { return m_keys.at(i); }
    const QList<QByteArray> &keys() const { return m_keys; }

    void append(const QByteArray &key);
    void removeAt(int i);
    void setKey(int i, const QByteArray &key);
    void clear();
    void reserve(int n) { m_keys.reserve(n); }

    // Position of the first key equal to key ignoring case, or -1.
    int indexOf(const QByteArray &key) const;
    // indexOf for each of a few keys at once. Until a single look-up has built the index,
    // this reads the keys once instead of building it: a list that is loaded, shown a little
    // of and saved never pays for the index.
    QList<int> indexesOf(const QList<QByteArray> &keys) const;
    bool isIndexed() const { return m_indexed; }

private:
    using Bucket = QVarLengthArray<int, 1>;

    void build() const;
    void dropIndex() const;
    void unlink(const QByteArray &folded, int i) const;

    QList<QByteArray> m_keys;
    mutable QHash<QByteArray, Bucket> m_index;
    mutable bool m_indexed = false;
};

// The program's usual collection: ordered (key, owned object) entries in insertion order;
// not sorted; duplicate keys accepted. indexOf ignores letter case and answers the first
// match or -1, at the same cost for 10 and for 1,000,000 entries.
template <typename T>
class TKeyedList {
public:
    TKeyedList() = default;
    TKeyedList(const TKeyedList &) = delete;
    TKeyedList &operator=(const TKeyedList &) = delete;
    TKeyedList(TKeyedList &&) noexcept = default;
    TKeyedList &operator=(TKeyedList &&) noexcept = default;
    ~TKeyedList() = default;

    int count() const { return m_keys.count(); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    const QByteArray &key(int i) const { return m_keys.key(i); }
    T *object(int i) const { return m_objects.at(size_t(i)).get(); }

    void append(const QByteArray &key, std::unique_ptr<T> object)
    {
        m_objects.push_back(std::move(object));
        try {
            m_keys.append(key);
        } catch (...) {
            m_objects.pop_back();
            throw;
        }
    }

    // Destroys the object of entry i and removes the entry.
    void removeAt(int i) { std::unique_ptr<T> gone = takeAt(i); }

    // Removes entry i and hands its object to the caller.
    std::unique_ptr<T> takeAt(int i)
    {
        std::unique_ptr<T> object = std::move(m_objects.at(size_t(i)));
        m_objects.erase(m_objects.begin() + i);
        m_keys.removeAt(i);
        return object;
    }

    void setKey(int i, const QByteArray &key) { m_keys.setKey(i, key); }

    // Destroys every object and empties the list.
    void clear()
    {
        std::vector<std::unique_ptr<T>> gone;
        gone.swap(m_objects);
        m_keys.clear();
    }

    void reserve(int n)
    {
        m_objects.reserve(size_t(n));
        m_keys.reserve(n);
    }

    int indexOf(const QByteArray &key) const { return m_keys.indexOf(key); }
    QList<int> indexesOf(const QList<QByteArray> &keys) const { return m_keys.indexesOf(keys); }
    bool isIndexed() const { return m_keys.isIndexed(); }

private:
    TKeyIndex m_keys;
    std::vector<std::unique_ptr<T>> m_objects;
};

// A keyed list of plain strings without objects (the category list).
class TStringList {
public:
    int count() const { return m_keys.count(); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    const QByteArray &at(int i) const { return m_keys.key(i); }
    void append(const QByteArray &s) { m_keys.append(s); }
    void removeAt(int i) { m_keys.removeAt(i); }
    void replace(int i, const QByteArray &s) { m_keys.setKey(i, s); }
    void clear() { m_keys.clear(); }
    // Position of the first string equal to s ignoring case, or -1.
    int indexOf(const QByteArray &s) const { return m_keys.indexOf(s); }
    QList<QByteArray> toList() const { return m_keys.keys(); }

private:
    TKeyIndex m_keys;
};
