#include "util/Platform.h"

#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QDir>
#include <QSettings>
#include <qt_windows.h>
#include <shellapi.h>
#include <string>
#ifdef _MSC_VER
#pragma comment(lib, "shell32.lib") // ShellExecuteW; MinGW links it by default
#endif
#endif

namespace {

// The operating system itself.
class TRealPlatform final : public TPlatform {
public:
    QString browserCommand() const override
    {
#ifdef Q_OS_WIN
        // QSettings opens registry keys read-only when it only reads, and never creates them.
        const QSettings key(QStringLiteral("HKEY_CLASSES_ROOT\\http\\shell\\open\\command"),
                            QSettings::NativeFormat);
        return key.value(QStringLiteral("Default")).toString();
#else
        return QString();
#endif
    }

    bool shellOpen(const QString &file, const QString &parameters) override
    {
#ifdef Q_OS_WIN
        const std::wstring f = QDir::toNativeSeparators(file).toStdWString();
        const std::wstring p = parameters.toStdWString();
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, L"open", f.c_str(), p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL));
        return result > 32;
#else
        return QProcess::startDetached(file, QProcess::splitCommand(parameters));
#endif
    }

    bool openUrl(const QString &url) override
    {
#if defined(Q_OS_WIN)
        return shellOpen(url, QString());
#else
#if defined(Q_OS_MACOS)
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("open"));
#else
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
#endif
        if (opener.isEmpty())
            return false;
        return QProcess::startDetached(opener, {url});
#endif
    }
};

TPlatform *&Installed()
{
    static TPlatform *installed = nullptr;
    return installed;
}

} // namespace

TPlatform &TPlatform::current()
{
    static TRealPlatform real;
    TPlatform *installed = Installed();
    return installed ? *installed : real;
}

void TPlatform::install(TPlatform *p)
{
    Installed() = p;
}
