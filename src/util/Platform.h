#pragma once

#include <QString>
#include <QStringList>

// What the program asks of the operating system: the default browser's registered command,
// starting a program, opening an address with the desktop's handler. Tests install a
// recording platform in its place.
class TPlatform {
public:
    virtual ~TPlatform() = default;

    // Windows: the default value of HKEY_CLASSES_ROOT\http\shell\open\command, read only;
    // elsewhere empty.
    virtual QString browserCommand() const = 0;
    // The shell's "open" verb on a program or document with a parameter string.
    virtual bool shellOpen(const QString &file, const QString &parameters) = 0;
    // Opens a web address with the desktop's default handler; false when none is known.
    virtual bool openUrl(const QString &url) = 0;

    // The platform in use: the real one unless a test installed another.
    static TPlatform &current();
    // Installs p (not owned) in place of the real platform; nullptr restores the real one.
    static void install(TPlatform *p);
};
