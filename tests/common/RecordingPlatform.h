#pragma once
// A platform that starts nothing: it writes down what the program asked of it.

#include "util/Platform.h"

#include <QStringList>

class TRecordingPlatform : public TPlatform {
public:
    TRecordingPlatform() { TPlatform::install(this); }
    ~TRecordingPlatform() override { TPlatform::install(nullptr); }
    TRecordingPlatform(const TRecordingPlatform &) = delete;
    TRecordingPlatform &operator=(const TRecordingPlatform &) = delete;

    QString browserCommand() const override { return command; }
    bool shellOpen(const QString &file, const QString &parameters) override
    {
        calls << QStringLiteral("shellOpen(%1, %2)").arg(file, parameters);
        return canStart;
    }
    bool openUrl(const QString &url) override
    {
        calls << QStringLiteral("openUrl(%1)").arg(url);
        return hasUrlHandler;
    }

    // The registered browser command reported (empty: none, as off Windows).
    QString command;
    // Whether the shell manages to start what it is asked to.
    bool canStart = true;
    // Whether the desktop knows a handler for web addresses.
    bool hasUrlHandler = true;
    QStringList calls;
};
