#pragma once
// Settings files, pictures and directories for the branding tests.

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>
#include <QString>
#include <utility>

using TTagList = QList<std::pair<QByteArray, QByteArray>>;

// "<%%Tag%%>value<%%/Tag%%>" lines, each ended by CR LF, in the order given.
QByteArray TaggedText(const TTagList &tags);

// Writes plainText enciphered as dir's dbsettings.dat.
void WriteSettings(const QString &dir, const QByteArray &plainText);

// A real GIF of the given size: one frame per colour, each shown 100 ms, looping.
QByteArray GifBytes(QSize size, const QList<QColor> &frames);
// A real JPEG of one colour.
QByteArray JpegBytes(QSize size, const QColor &colour);

// The names in a directory, sorted.
QStringList DirectoryNames(const QString &dir);

// Makes a directory read-only for as long as it lives; as root, whom permissions do not stop,
// also immutable (chattr +i). isReadOnly() tells whether a write really fails.
class TReadOnlyDirectory {
public:
    explicit TReadOnlyDirectory(const QString &path);
    ~TReadOnlyDirectory();
    TReadOnlyDirectory(const TReadOnlyDirectory &) = delete;
    TReadOnlyDirectory &operator=(const TReadOnlyDirectory &) = delete;
    bool isReadOnly() const { return m_readOnly; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
};
