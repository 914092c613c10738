#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QString>

#include <optional>

// The line conventions of the data files.
// Reading: the whole file is one text; a NUL ends it; lines end at CR LF, CR or LF; a final
// line without an end is a line; a line end at the very end makes no extra empty line.
QList<QByteArray> SplitTextLines(const QByteArray &text);
// Throws TFileError when the file exists but cannot be opened or read; a missing file has no
// lines.
QList<QByteArray> ReadTextLines(const QString &path);
// The file's bytes, or nothing when it does not exist. Throws TFileError when it exists but
// cannot be opened or read.
std::optional<QByteArray> ReadTextFile(const QString &path);

// Writing: every line, the last included, followed by CR LF; no lines give an empty file.
QByteArray JoinTextLines(const QList<QByteArray> &lines);
// Writes through QSaveFile: the old file stays whole unless the new one is complete.
// Throws TFileError on any failure.
void WriteTextFile(const QString &path, const QByteArray &bytes);

// Finds the lines of a text held in memory, without copying them. With more to come (final
// false) a line is handed out only once its end is certain, so a text can be fed in pieces;
// the line that ends the text is handed out when final is true.
class TLineScanner {
public:
    TLineScanner(const char *data, qsizetype size, bool final);

    // The next line, or false when none is complete. The view points into the scanned data.
    bool next(QByteArrayView &line);
    // Where the bytes not yet handed out as lines begin.
    qsizetype consumed() const { return m_pos; }

private:
    const char *m_data;
    qsizetype m_size;
    bool m_final;
    qsizetype m_pos = 0;
    // Cached places of the next CR and LF at or after m_pos (m_size when there is none), so
    // that every byte is searched once even in a file that uses only one kind of line end.
    qsizetype m_nextCr = -1;
    qsizetype m_nextLf = -1;
};

// Reads a text file line by line in blocks, so that a large file is never held whole. A NUL
// ends the text.
class TTextLineReader {
public:
    // Throws TFileError when the file cannot be opened. Reads blockSize bytes at a time
    // (more when one line is longer).
    explicit TTextLineReader(const QString &path, qsizetype blockSize = 1 << 20);

    // The next line, valid until the next call; false at the end. Throws TFileError when the
    // file cannot be read.
    bool next(QByteArrayView &line);

private:
    void fill();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first byte not handed out
    qsizetype m_end = 0;   // end of the bytes read so far
    bool m_atEnd = false;  // the end of the text is in the buffer
    TLineScanner m_scanner{nullptr, 0, false};
};

// Writes a file through QSaveFile in large blocks. Nothing replaces the old file until commit
// succeeds; a writer destroyed without commit leaves the old file as it was.
class TTextFileWriter {
public:
    // Throws TFileError when the file cannot be created.
    explicit TTextFileWriter(const QString &path);

    // The block being filled; callers append to it and call flushIfFull.
    QByteArray &buffer() { return m_buffer; }
    void flushIfFull()
    {
        if (m_buffer.size() >= kBlock)
            flush();
    }
    void write(QByteArrayView bytes)
    {
        m_buffer.append(bytes);
        flushIfFull();
    }
    // Writes what is left and replaces the file. Throws TFileError on any failure.
    void commit();

private:
    static constexpr qsizetype kBlock = 1 << 20;
    void flush();
    [[noreturn]] void fail();

    QSaveFile m_file;
    QByteArray m_buffer;
};
