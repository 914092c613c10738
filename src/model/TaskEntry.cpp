#include "model/TaskEntry.h"

#include <cstring>

namespace {

qsizetype LengthSize(qsizetype length)
{
    qsizetype bytes = 1;
    for (quint64 rest = quint64(length) >> 7; rest != 0; rest >>= 7)
        ++bytes;
    return bytes;
}

char *PutLength(char *out, qsizetype length)
{
    quint64 rest = quint64(length);
    while (rest >= 0x80) {
        *out++ = char((rest & 0x7F) | 0x80);
        rest >>= 7;
    }
    *out++ = char(rest);
    return out;
}

qsizetype TakeLength(const unsigned char *&in)
{
    quint64 length = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char byte = *in++;
        length |= quint64(byte & 0x7F) << shift;
        if (byte < 0x80)
            return qsizetype(length);
    }
}

char *PutBytes(char *out, QByteArrayView bytes)
{
    if (!bytes.isEmpty()) // an empty view may have no data at all
        std::memcpy(out, bytes.data(), size_t(bytes.size()));
    return out + bytes.size();
}

bool OwnKey(const TTaskEntry &fields)
{
    return fields.key != fields.description;
}

} // namespace

namespace TaskEntry {

qsizetype EncodedSize(const TTaskEntry &fields)
{
    qsizetype size = 1;
    for (const QByteArrayView field :
         {fields.description, fields.notes, fields.startDate, fields.endDate})
        size += LengthSize(field.size()) + field.size();
    if (OwnKey(fields))
        size += LengthSize(fields.key.size()) + fields.key.size();
    return size;
}

char *Encode(char *out, const TTaskEntry &fields)
{
    const bool ownKey = OwnKey(fields);
    *out++ = char((fields.done ? kDone : 0) | (ownKey ? kOwnKey : 0));
    if (ownKey)
        out = PutLength(out, fields.key.size());
    for (const QByteArrayView field :
         {fields.description, fields.notes, fields.startDate, fields.endDate})
        out = PutLength(out, field.size());
    if (ownKey)
        out = PutBytes(out, fields.key);
    for (const QByteArrayView field :
         {fields.description, fields.notes, fields.startDate, fields.endDate})
        out = PutBytes(out, field);
    return out;
}

TTaskEntry Decode(const char *entry, qsizetype *size)
{
    const auto *in = reinterpret_cast<const unsigned char *>(entry);
    const unsigned char flags = *in++;
    const bool ownKey = flags & kOwnKey;
    const qsizetype keyLength = ownKey ? TakeLength(in) : 0;
    qsizetype lengths[4];
    for (qsizetype &length : lengths)
        length = TakeLength(in);
    const char *p = reinterpret_cast<const char *>(in);
    const auto take = [&p](qsizetype length) {
        const QByteArrayView field(p, length);
        p += length;
        return field;
    };
    TTaskEntry fields;
    fields.done = flags & kDone;
    if (ownKey)
        fields.key = take(keyLength);
    fields.description = take(lengths[0]);
    fields.notes = take(lengths[1]);
    fields.startDate = take(lengths[2]);
    fields.endDate = take(lengths[3]);
    if (!ownKey)
        fields.key = fields.description;
    if (size)
        *size = p - entry;
    return fields;
}

} // namespace TaskEntry
