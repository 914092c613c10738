#pragma once
// Real ways for a save to fail, for the tests of saving: a limit on the size of the files
// this process may write (a write fails after N bytes), and a small file system that a test
// fills or makes read-only (a tmpfs mounted on a temporary folder; it needs the right to
// mount, which CI has as root, so tests skip with the reason where it is missing).

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

// Limits the size of files this process may write until destroyed: a write past it fails
// (EFBIG) as a full disk would, after part of the bytes went in.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead
        const rlimit limit{bytes, m_old.rlim_max};
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

// A tmpfs of a given size on a temporary folder, unmounted when destroyed.
class TSmallFileSystem {
public:
    explicit TSmallFileSystem(qint64 bytes)
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                    options.constData())
            == 0)
            m_mounted = true;
        else
            m_whyNot = QStringLiteral("cannot mount a small file system here (%1); run the "
                                      "tests as root to try a full disk")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~TSmallFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    TSmallFileSystem(const TSmallFileSystem &) = delete;
    TSmallFileSystem &operator=(const TSmallFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    const QString &whyNot() const { return m_whyNot; }
    // The application directory on it, with a trailing separator.
    QString appDir() const { return m_dir.path() + QLatin1Char('/'); }

    qint64 freeBytes() const
    {
        struct statvfs info{};
        if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &info) != 0)
            return -1;
        return qint64(info.f_bavail) * qint64(info.f_frsize);
    }
    // Takes space with a file of its own until at most `left` bytes are free.
    bool fillLeaving(qint64 left)
    {
        QFile filler(appDir() + QStringLiteral("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray page(4096, 'f');
        while (freeBytes() > left)
            if (filler.write(page) != page.size())
                return freeBytes() <= left;
        return true;
    }
    // From now on nothing on it can be written, not even by root.
    bool makeReadOnly()
    {
        return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr,
                       MS_REMOUNT | MS_RDONLY, nullptr)
            == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_whyNot;
};
