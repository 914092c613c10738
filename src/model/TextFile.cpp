#include "model/TextFile.h"

#include "util/FileError.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

qsizetype FindByte(const char *data, qsizetype from, qsizetype size, char c)
{
    const void *hit = std::memchr(data + from, c, size_t(size - from));
    return hit ? static_cast<const char *>(hit) - data : size;
}

// The length of the text: a NUL ends it.
qsizetype TextLength(const char *data, qsizetype size)
{
    return size == 0 ? 0 : FindByte(data, 0, size, '\0');
}

} // namespace

TLineScanner::TLineScanner(const char *data, qsizetype size, bool final)
    : m_data(data), m_size(size), m_final(final)
{
}

bool TLineScanner::next(QByteArrayView &line)
{
    if (m_pos >= m_size)
        return false;
    if (m_nextCr < m_pos)
        m_nextCr = FindByte(m_data, m_pos, m_size, '\r');
    if (m_nextLf < m_pos)
        m_nextLf = FindByte(m_data, m_pos, m_size, '\n');
    const qsizetype end = std::min(m_nextCr, m_nextLf);
    qsizetype next;
    if (end == m_size) {
        if (!m_final)
            return false; // the line may go on in the next piece
        next = m_size;
    } else if (m_data[end] == '\n') {
        next = end + 1;
    } else if (end + 1 < m_size) {
        next = m_data[end + 1] == '\n' ? end + 2 : end + 1;
    } else {
        if (!m_final)
            return false; // a CR at the end of a piece may be the first half of CR LF
        next = end + 1;
    }
    line = QByteArrayView(m_data + m_pos, end - m_pos);
    m_pos = next;
    return true;
}

QList<QByteArray> SplitTextLines(const QByteArray &text)
{
    QList<QByteArray> lines;
    TLineScanner scanner(text.constData(), TextLength(text.constData(), text.size()), true);
    QByteArrayView line;
    while (scanner.next(line))
        lines.append(line.toByteArray());
    return lines;
}

std::optional<QByteArray> ReadTextFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TFileError(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TFileError(path, file.errorString());
    return bytes;
}

QList<QByteArray> ReadTextLines(const QString &path)
{
    const std::optional<QByteArray> bytes = ReadTextFile(path);
    return bytes ? SplitTextLines(*bytes) : QList<QByteArray>();
}

QByteArray JoinTextLines(const QList<QByteArray> &lines)
{
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    QByteArray text;
    text.reserve(size);
    for (const QByteArray &line : lines)
        text.append(line).append("\r\n");
    return text;
}

void WriteTextFile(const QString &path, const QByteArray &bytes)
{
    TTextFileWriter writer(path);
    writer.write(bytes);
    writer.commit();
}

TTextLineReader::TTextLineReader(const QString &path, qsizetype blockSize) : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        throw TFileError(path, m_file.errorString());
    m_buffer.resize(qMax<qsizetype>(1, blockSize));
}

bool TTextLineReader::next(QByteArrayView &line)
{
    while (!m_scanner.next(line)) {
        if (m_atEnd)
            return false;
        fill();
    }
    return true;
}

// Keeps the unfinished line, reads the next block behind it and scans again.
void TTextLineReader::fill()
{
    char *data = m_buffer.data();
    m_begin += m_scanner.consumed();
    const qsizetype kept = m_end - m_begin;
    if (m_begin > 0 && kept > 0)
        std::memmove(data, data + m_begin, size_t(kept));
    m_begin = 0;
    m_end = kept;
    if (m_end == m_buffer.size()) { // one line fills the buffer: make room
        m_buffer.resize(m_buffer.size() * 2);
        data = m_buffer.data();
    }
    const qint64 got = m_file.read(data + m_end, m_buffer.size() - m_end);
    if (got < 0)
        throw TFileError(m_file.fileName(), m_file.errorString());
    if (got == 0) {
        m_atEnd = true;
    } else {
        const qsizetype nul = FindByte(data, m_end, m_end + got, '\0');
        m_atEnd = nul < m_end + got;
        m_end = nul;
    }
    if (m_atEnd)
        m_file.close();
    m_scanner = TLineScanner(data, m_end, m_atEnd);
}

TTextFileWriter::TTextFileWriter(const QString &path) : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly))
        fail();
    m_buffer.reserve(kBlock + kBlock / 4);
}

void TTextFileWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_file.write(m_buffer) != m_buffer.size())
        fail();
    m_buffer.resize(0); // keeps the block's capacity
}

void TTextFileWriter::commit()
{
    flush();
    if (!m_file.commit())
        fail();
}

void TTextFileWriter::fail()
{
    const QString reason = m_file.errorString();
    if (m_file.isOpen())
        m_file.cancelWriting();
    throw TFileError(m_file.fileName(), reason);
}
