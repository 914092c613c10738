#include "util/CodePage.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80..0x9F; the unassigned ones map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t CharOfByte(unsigned char b)
{
    return (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char16_t(b);
}

// The byte of a character, or -1 when Windows-1252 has none.
int ByteOfChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(kHighControls.size()); ++i)
        if (kHighControls[i] == c)
            return 0x80 + i;
    return -1;
}

std::array<unsigned char, 256> MakeFoldTable()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) // the multiplication sign has no lower case
            t[c] = static_cast<unsigned char>(c + 32);
    t[0x8A] = 0x9A; // S caron
    t[0x8C] = 0x9C; // OE
    t[0x8E] = 0x9E; // Z caron
    t[0x9F] = 0xFF; // Y diaeresis
    return t;
}

const std::array<unsigned char, 256> kFold = MakeFoldTable();

// The UTF-8 form of every byte: its length, then up to three bytes.
using TUtf8Table = std::array<std::array<char, 4>, 256>;

TUtf8Table MakeUtf8Table()
{
    TUtf8Table t{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = CharOfByte(static_cast<unsigned char>(b));
        auto &e = t[b];
        if (c < 0x80) {
            e = {1, char(c), 0, 0};
        } else if (c < 0x800) {
            e = {2, char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0};
        } else {
            e = {3, char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                 char(0x80 | (c & 0x3F))};
        }
    }
    return t;
}

const TUtf8Table kUtf8 = MakeUtf8Table();

} // namespace

QString FromAnsi(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(CharOfByte(static_cast<unsigned char>(bytes[i])));
    return text;
}

bool ToAnsi(const QString &text, QByteArray *out)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = ByteOfChar(text[i].unicode());
        if (b < 0)
            return false;
        bytes[i] = static_cast<char>(b);
    }
    *out = bytes;
    return true;
}

QChar FirstUnencodable(const QString &text)
{
    for (const QChar c : text)
        if (ByteOfChar(c.unicode()) < 0)
            return c;
    return QChar();
}

QByteArrayView Utf8OfAnsiByte(unsigned char byte)
{
    const auto &e = kUtf8[byte];
    return QByteArrayView(e.data() + 1, e[0]);
}

QByteArray FoldCase(const QByteArray &bytes)
{
    // Text that is already folded is handed back shared, without a copy.
    qsizetype first = 0;
    const qsizetype n = bytes.size();
    const char *in = bytes.constData();
    while (first < n
           && kFold[static_cast<unsigned char>(in[first])] == static_cast<unsigned char>(in[first]))
        ++first;
    if (first == n)
        return bytes;
    QByteArray folded(n, Qt::Uninitialized);
    char *out = folded.data();
    for (qsizetype i = 0; i < n; ++i)
        out[i] = static_cast<char>(kFold[static_cast<unsigned char>(in[i])]);
    return folded;
}

bool SameTextIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

// FNV-1a over the folded bytes, its 64 bits mixed down so that the low bits, which pick a
// table slot, depend on every byte.
quint32 FoldedHash(QByteArrayView bytes)
{
    quint64 hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= kFold[static_cast<unsigned char>(c)];
        hash *= 0x100000001b3ULL;
    }
    hash ^= hash >> 29;
    hash *= 0xbf58476d1ce4e5b9ULL;
    hash ^= hash >> 32;
    return quint32(hash);
}
