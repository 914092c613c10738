#pragma once
// Makes a directory read-only for as long as it lives. As root, whom permissions do not stop,
// the directory is also made immutable (chattr +i); isReadOnly() tells whether a write really
// fails, so a test can skip where neither works.

#include <QFile>
#include <QProcess>
#include <QString>

class TReadOnlyDirectory {
public:
    explicit TReadOnlyDirectory(const QString &path) : m_path(path)
    {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                        | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        if (canCreateFileIn(path))
            m_immutable = runChattr(QStringLiteral("+i"), path);
        m_readOnly = !canCreateFileIn(path);
    }
    ~TReadOnlyDirectory()
    {
        if (m_immutable)
            runChattr(QStringLiteral("-i"), m_path);
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    }
    TReadOnlyDirectory(const TReadOnlyDirectory &) = delete;
    TReadOnlyDirectory &operator=(const TReadOnlyDirectory &) = delete;

    bool isReadOnly() const { return m_readOnly; }

private:
    static bool canCreateFileIn(const QString &dir)
    {
        QFile probe(dir + QStringLiteral("/.write-probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return false;
        probe.close();
        probe.remove();
        return true;
    }
    static bool runChattr(const QString &flag, const QString &path)
    {
        QProcess chattr;
        chattr.start(QStringLiteral("chattr"), {flag, path});
        return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit
            && chattr.exitCode() == 0;
    }

    QString m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
};
