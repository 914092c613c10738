#pragma once

#include <QByteArray>
#include <QStringList>
#include <QUrl>

#include <optional>

// The program starts the updater with three words: the update location's base URL, the
// installed version and the letter "A".
struct TUpdaterArguments {
    QUrl baseUrl;              // http or https, ending in "/"
    QByteArray runningVersion; // a release version such as "2.0"
};

// The three words read, or nothing for any other command line.
std::optional<TUpdaterArguments> ParseUpdaterArguments(const QStringList &words);

// What the updater says to any other command line.
QString UpdaterUsage();
