#include "book_support.h"

QString Show(const QByteArray &bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return text;
}

QStringList Dump(const TProjects &book)
{
    QStringList lines;
    for (int i = 0; i < book.count(); ++i) {
        const TProject &p = *book.object(i);
        lines << QStringLiteral("P %1|%2|%3|%4")
                     .arg(Show(p.Name), Show(p.Category), Show(p.StartDate), Show(p.EndDate));
        if (book.key(i) != p.Name)
            lines.last() += QStringLiteral(" (key %1)").arg(Show(book.key(i)));
        for (int t = 0; t < p.Tasks.count(); ++t) {
            const TTask task = p.Tasks.at(t);
            lines << QStringLiteral("T %1|%2|%3|%4|%5")
                         .arg(task.Done ? 1 : 0)
                         .arg(Show(task.Description), Show(task.Notes), Show(task.StartDate),
                              Show(task.EndDate));
            if (p.Tasks.key(t) != task.Description)
                lines.last() += QStringLiteral(" (key %1)").arg(Show(p.Tasks.key(t).toByteArray()));
        }
    }
    return lines;
}
