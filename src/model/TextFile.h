#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QString>

#include <atomic>
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
    // Whether the line last handed out ended with a line end (not at the end of the data).
    bool lastLineEnded() const { return m_lastLineEnded; }

private:
    const char *m_data;
    qsizetype m_size;
    bool m_final;
    qsizetype m_pos = 0;
    bool m_lastLineEnded = true;
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

    // Where a NUL ended the text: the number of the line holding it (from 1) and how many
    // bytes of the file came after it and were not read as text.
    struct TNulCut {
        int line = 0;
        qint64 ignoredBytes = 0;
    };
    // Once next() has answered false: the cut, when a NUL ended the text.
    std::optional<TNulCut> nulCut() const;

private:
    void fill();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first byte not handed out
    qsizetype m_end = 0;   // end of the bytes read so far
    bool m_atEnd = false;  // the end of the text is in the buffer
    qint64 m_fileSize = 0;
    qint64 m_fileRead = 0; // bytes read from the file so far
    qint64 m_nulAt = -1;   // file offset of the NUL that ended the text
    int m_lines = 0;       // lines handed out
    bool m_lastLineEnded = true;
    TLineScanner m_scanner{nullptr, 0, false};
};

// Writes a data file through a temporary file beside it, in large blocks. Every write is
// checked where it happens, the last block included, and finish() makes the bytes durable, so
// a full disk or a failing device shows before anything replaces the old file. Nothing
// replaces it until replace(); a writer destroyed before that leaves the old file as it was
// and no temporary file behind. The replaced file keeps the old file's permissions.
//
// Failures throw TFileError whose message says in plain words what happened ("There is not
// enough space on the disk to save Projects.dat.").
class TTextFileWriter {
public:
    // Throws when the temporary file cannot be created.
    explicit TTextFileWriter(const QString &path);
    ~TTextFileWriter();
    TTextFileWriter(const TTextFileWriter &) = delete;
    TTextFileWriter &operator=(const TTextFileWriter &) = delete;

    // Adds every byte written to the disk to *counter as it goes (for progress).
    void setProgressCounter(std::atomic<qint64> *counter) { m_progress = counter; }

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
    // Writes what was appended so far, then bytes, without copying them into the block.
    void writeBlock(const QByteArray &bytes);
    // Writes what is left and waits until the disk holds every byte. Throws on any failure.
    void finish();
    // Puts the finished file in place of the old one. Throws on failure.
    void replace();
    // finish, then replace.
    void commit();

    const QString &path() const { return m_path; }

private:
    static constexpr qsizetype kBlock = 1 << 20;
    void flush();
    void writeOut(const char *data, qsizetype size);
    [[noreturn]] void fail(int systemError);

    QString m_path;
    QSaveFile m_file;
    QByteArray m_buffer;
    qint64 m_written = 0;
    int m_replacedFile = -1; // the old file, held open across its replacement
    std::atomic<qint64> *m_progress = nullptr;
};

// The plain sentence for a failure to save path, from the system's error number (errno).
QString SaveFailureText(const QString &path, int systemError, const QString &systemText);
