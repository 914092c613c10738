#include "release/UpdateInfo.h"

#include <QList>

QByteArray MakeUpdateInfo(const QByteArray &name, const QByteArray &version)
{
    return "[APPLICATION]\r\nName=" + name + "\r\nVersion=" + version + "\r\n";
}

namespace {

QByteArray Unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QByteArray ReadIniValue(const QByteArray &iniText, const QByteArray &section,
                        const QByteArray &key)
{
    QByteArray text = iniText;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3); // a byte order mark some editors write
    text.replace("\r\n", "\n").replace('\r', '\n');
    bool inSection = false;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            inSection = close > 0 && line.mid(1, close - 1).trimmed().compare(
                                         section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inSection || equals < 0)
            continue;
        if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return Unquoted(line.mid(equals + 1).trimmed());
    }
    return QByteArray();
}
