#pragma once
// Contract only; the implementation fills this header.
//
// TKeyedList<T>: the program's usual collection. An ordered list of (key, owned object)
// entries in insertion order; not sorted; duplicate keys accepted. indexOf(key) ignores
// letter case (FoldCase of CodePage.h) and returns the first match or -1. Look-ups go through
// a case-folded hash index, built on the first look-up and kept up to date afterwards, that
// keeps first-match semantics across appends, removals and key changes: a look-up costs the
// same with 10 and with 1,000,000 entries.
//
//   int count() const;  bool isEmpty() const;
//   const QByteArray &key(int i) const;
//   T *object(int i) const;
//   void append(const QByteArray &key, std::unique_ptr<T> object);
//   void removeAt(int i);              // destroys the object
//   void setKey(int i, const QByteArray &key);
//   void clear();                      // destroys every object
//   int indexOf(const QByteArray &key) const;
//
// TStringList: the same for plain strings without objects (the category list):
//   count, isEmpty, at(i), append(s), removeAt(i), replace(i, s), clear, indexOf(s)
//   (ignoring case, first match), toList().
