#include "settings_support.h"

#include "util/SettingsCipher.h"

#include <QFile>
#include <QProcess>

namespace {

bool CanCreateFileIn(const QString &dir)
{
    QFile probe(dir + QStringLiteral("/.write-probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

bool RunChattr(const QString &flag, const QString &path)
{
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {flag, path});
    return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit
        && chattr.exitCode() == 0;
}

} // namespace

void WriteSettingsFile(const QString &appDir, const QByteArray &plainText, const QString &name)
{
    QFile file(appDir + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(EncryptSettingsData(plainText)) < 0)
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TReadOnlyDir::TReadOnlyDir(const QString &path) : m_path(path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                    | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
    if (CanCreateFileIn(path))
        m_immutable = RunChattr(QStringLiteral("+i"), path);
    m_readOnly = !CanCreateFileIn(path);
}

TReadOnlyDir::~TReadOnlyDir()
{
    if (m_immutable)
        RunChattr(QStringLiteral("-i"), m_path);
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner);
}
