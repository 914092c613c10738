#include "updater/ProgramProcess.h"

#include "release/ReleaseFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <string>
#endif

bool IsProgramRunning(const QString &executablePath)
{
#if defined(Q_OS_LINUX)
    // Every process's executable is the link /proc/PID/exe; a replaced or deleted file shows
    // as its old path followed by " (deleted)". Processes of other users cannot be read and
    // do not matter: they cannot hold this user's program files.
    const QString wanted = QFileInfo(executablePath).canonicalFilePath();
    if (wanted.isEmpty())
        return false;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        if (!pid.front().isDigit())
            continue;
        const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
        if (exe == wanted || exe == wanted + QLatin1String(" (deleted)"))
            return true;
    }
    return false;
#elif defined(Q_OS_WIN)
    // Windows keeps a running program's file open without write sharing: an attempt to open
    // it for writing fails with a sharing violation while any process runs it.
    const std::wstring path = QDir::toNativeSeparators(executablePath).toStdWString();
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
#else
    Q_UNUSED(executablePath);
    return false;
#endif
}

bool StartProgram(const QString &appDir, const QStringList &arguments)
{
    return QProcess::startDetached(appDir + ProgramFileName, arguments, appDir);
}
