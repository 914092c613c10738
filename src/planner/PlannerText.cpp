#include "planner/PlannerText.h"

#include "util/CodePage.h"

QString TrimControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

QByteArray AnsiOf(const QString &text)
{
    QByteArray bytes;
    if (!ToAnsi(text, &bytes))
        bytes = text.toUtf8();
    return bytes;
}
