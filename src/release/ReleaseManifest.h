#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The manifest of a release: which product and version it is, and every file it installs.
//
// It is UTF-8 text, one record per line, each line ending in LF:
//   zelvo-release 1
//   product ProjectZelvo
//   version 2.1
//   file <size> <sha256> <mode> <path>
// one "file" line per file: the size in bytes (decimal), the SHA-256 of its contents (64
// lowercase hex digits), "x" for an executable file or "-" for any other, and the path
// relative to the application directory with '/' between folders (the rest of the line).
// The signature covers the manifest's exact bytes, so the text is read strictly.

struct TReleaseFile {
    QString path;
    qint64 size = 0;
    QByteArray sha256; // 32 raw bytes
    bool executable = false;

    bool operator==(const TReleaseFile &) const = default;
};

struct TReleaseManifest {
    QByteArray product;
    QByteArray version;
    QList<TReleaseFile> files;

    bool operator==(const TReleaseManifest &) const = default;
};

// The manifest's text. Writes what it is given; checking is the reader's job.
QByteArray WriteManifest(const TReleaseManifest &manifest);

struct TManifestReading {
    TReleaseManifest manifest;
    QString error; // empty when the text is a valid manifest
};
// Reads a manifest and checks it: format, version form, file lines, every path allowed
// (ReleasePathProblem), no path named twice (ignoring letter case), no file inside another
// file's path, at least one file.
TManifestReading ParseManifest(const QByteArray &text);

// The largest manifest a reader accepts before it is verified.
constexpr qint64 MaxManifestSize = 4 * 1024 * 1024;

// SHA-256 of a file's contents; empty when it cannot be read.
QByteArray Sha256OfFile(const QString &path);
