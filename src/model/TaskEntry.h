#pragma once

#include <QByteArrayView>

// One task as it lies in its list's byte block: a flags byte, the lengths of the fields, then
// the fields' bytes, one after the other.
//   flags    bit 0: done; bit 1: the key is held on its own (otherwise it is the description)
//   lengths  unsigned LEB128 (one byte for a field under 128 bytes): the key's first when it
//            is held on its own, then description, notes, start date, end date
//   bytes    the key (when held on its own), description, notes, start date, end date
// A task whose key is its description, with fields under 128 bytes each, costs five bytes
// beyond its fields.
struct TTaskEntry {
    bool done = false;
    QByteArrayView key;
    QByteArrayView description;
    QByteArrayView notes;
    QByteArrayView startDate;
    QByteArrayView endDate;
};

namespace TaskEntry {

constexpr unsigned char kDone = 1;
constexpr unsigned char kOwnKey = 2;

// The bytes an entry of these fields takes (the key is held on its own when it differs from
// the description).
qsizetype EncodedSize(const TTaskEntry &fields);
// Writes the entry at out, which has room for EncodedSize bytes; returns its end.
char *Encode(char *out, const TTaskEntry &fields);
// The fields of the entry at entry, viewing its bytes; *size, when given, gets its length.
TTaskEntry Decode(const char *entry, qsizetype *size = nullptr);

} // namespace TaskEntry
