#include "model/TextFile.h"

#include "util/FileError.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

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
    m_lastLineEnded = end < m_size;
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
    m_fileSize = m_file.size();
}

bool TTextLineReader::next(QByteArrayView &line)
{
    while (!m_scanner.next(line)) {
        if (m_atEnd)
            return false;
        fill();
    }
    ++m_lines;
    m_lastLineEnded = m_scanner.lastLineEnded();
    return true;
}

std::optional<TTextLineReader::TNulCut> TTextLineReader::nulCut() const
{
    if (m_nulAt < 0)
        return std::nullopt;
    // The NUL lies on the line last handed out, unless that one had ended before it.
    const int line = m_lines == 0 || m_lastLineEnded ? m_lines + 1 : m_lines;
    return TNulCut{line, qMax<qint64>(0, m_fileSize - m_nulAt - 1)};
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
        if (m_atEnd)
            m_nulAt = m_fileRead + (nul - m_end);
        m_fileRead += got;
        m_end = nul;
    }
    if (m_atEnd)
        m_file.close();
    m_scanner = TLineScanner(data, m_end, m_atEnd);
}

// ---- writing ---------------------------------------------------------------------------------

namespace {

// Writes every byte to the open file at once, past Qt's buffer, so that a failure is seen
// here with its cause. Returns 0, or the system's error number.
int WriteAll(QFileDevice &file, const char *data, qsizetype size)
{
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= n;
    }
    return 0;
#else
    return file.write(data, size) == size ? 0 : -1;
#endif
}

// Waits until the disk holds what was written. Returns 0, or the system's error number.
int SyncToDisk(QFileDevice &file)
{
#ifdef Q_OS_UNIX
    while (::fsync(file.handle()) != 0) {
        if (errno != EINTR)
            return errno;
    }
#else
    Q_UNUSED(file);
#endif
    return 0;
}

// Lets the disk start on a written block while the next one is made, so that little is left
// to wait for at the end.
void StartWriteBack(QFileDevice &file, qint64 offset, qint64 size)
{
#ifdef Q_OS_LINUX
    ::sync_file_range(file.handle(), offset, size, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
    Q_UNUSED(offset);
    Q_UNUSED(size);
#endif
}

// The replaced file keeps its owner where this process may give it (a save run as another
// user, such as root, must not take the file away from its owner).
void KeepOwner(QFileDevice &file, const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat old;
    if (::stat(QFile::encodeName(path).constData(), &old) == 0
        && ::fchown(file.handle(), old.st_uid, old.st_gid) != 0) {
        // Not allowed: the file becomes this user's, as any new file would.
    }
#else
    Q_UNUSED(file);
    Q_UNUSED(path);
#endif
}

#ifdef Q_OS_UNIX
// Closes files on a thread of its own, which lives until the program ends.
class TLateCloser {
public:
    static TLateCloser &instance()
    {
        static TLateCloser closer;
        return closer;
    }
    ~TLateCloser()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    void close(int fd)
    {
        {
            const std::lock_guard lock(m_mutex);
            try {
                if (!m_thread.joinable())
                    m_thread = std::thread([this] { run(); });
                m_files.push_back(fd);
                fd = -1;
            } catch (const std::exception &) {
                // No thread (or no memory for the list): close it here and now.
            }
        }
        if (fd >= 0)
            ::close(fd);
        else
            m_wake.notify_one();
    }

private:
    TLateCloser() = default;

    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_files.empty(); });
            while (!m_files.empty()) {
                const int fd = m_files.back();
                m_files.pop_back();
                lock.unlock();
                ::close(fd);
                lock.lock();
            }
            if (m_stop)
                return;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<int> m_files;
    bool m_stop = false;
    std::thread m_thread;
};
#endif

// Freeing the blocks of a large file takes the system a while (some 20 ms for 100 MB), and a
// rename that replaces the file's last name waits for it. So the old file is held open across
// its replacement, and closed later on a thread of its own: the save is over (the new file in
// place, on the disk) before the old one's space is given back. Returns the handle, or -1 for
// a file too small to matter, a missing one, or one that is not a plain file.
int HoldLargeFile(const QString &path)
{
#ifdef Q_OS_UNIX
    constexpr off_t kLarge = 1 << 20;
    // Not blocking: opening a named pipe for reading would wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= kLarge)
        return fd;
    ::close(fd);
#else
    Q_UNUSED(path);
#endif
    return -1;
}

void CloseLater(int fd)
{
#ifdef Q_OS_UNIX
    TLateCloser::instance().close(fd);
#else
    Q_UNUSED(fd);
#endif
}

} // namespace

QString SaveFailureText(const QString &path, int systemError, const QString &systemText)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    switch (systemError) {
#ifdef Q_OS_UNIX
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("There is not enough space on the disk to save %1.").arg(name);
    case EFBIG:
        return QStringLiteral("%1 is larger than this disk allows for one file, so it could "
                              "not be saved.")
            .arg(name);
    case EROFS:
        return QStringLiteral("The disk that holds %1 is read-only, so it could not be saved.")
            .arg(name);
    case EACCES:
    case EPERM:
        return QStringLiteral("You are not allowed to save files in the folder %1, so %2 "
                              "could not be saved.")
            .arg(QDir::toNativeSeparators(info.absolutePath()), name);
    case EIO:
        return QStringLiteral("The disk reported an error while %1 was being saved.").arg(name);
#endif
    default:
        return QStringLiteral("%1 could not be saved: %2.").arg(name, systemText);
    }
}

TTextFileWriter::TTextFileWriter(const QString &path) : m_path(path), m_file(path)
{
    if (QFileInfo(path).isDir())
        throw TFileError(path, QStringLiteral("is a folder"),
                         QStringLiteral("%1 is a folder, not a file, so it could not be saved.")
                             .arg(QFileInfo(path).fileName()));
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(errno);
    if (QFileInfo::exists(path))
        KeepOwner(m_file, path);
    m_buffer.reserve(kBlock + kBlock / 4);
}

TTextFileWriter::~TTextFileWriter()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
    if (m_replacedFile >= 0)
        CloseLater(m_replacedFile);
}

void TTextFileWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    writeOut(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0); // keeps the block's capacity
}

void TTextFileWriter::writeBlock(const QByteArray &bytes)
{
    flush();
    if (!bytes.isEmpty())
        writeOut(bytes.constData(), bytes.size());
}

void TTextFileWriter::writeOut(const char *data, qsizetype size)
{
    if (const int error = WriteAll(m_file, data, size))
        fail(error);
    StartWriteBack(m_file, m_written, size);
    m_written += size;
    if (m_progress)
        m_progress->fetch_add(size, std::memory_order_relaxed);
}

void TTextFileWriter::finish()
{
    flush();
    if (const int error = SyncToDisk(m_file))
        fail(error);
}

void TTextFileWriter::replace()
{
    if (m_replacedFile < 0)
        m_replacedFile = HoldLargeFile(m_path);
    errno = 0;
    if (!m_file.commit())
        fail(errno);
}

void TTextFileWriter::commit()
{
    finish();
    replace();
}

void TTextFileWriter::fail(int systemError)
{
    QString reason = m_file.errorString();
#ifdef Q_OS_UNIX
    if (systemError > 0)
        reason = QString::fromLocal8Bit(std::strerror(systemError));
#endif
    if (m_file.isOpen())
        m_file.cancelWriting();
    throw TFileError(m_path, reason, SaveFailureText(m_path, systemError, reason));
}
