#include "planner/FEntryCheck.h"

#include "planner/PlannerText.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"

#include <QLineEdit>

QString RefusalOf(const QString &text, const QString &what, bool caretForbidden)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (caretForbidden && text[i] == QLatin1Char('^'))
            return QStringLiteral("The character \"^\" cannot be used in %1.").arg(what);
        if (FirstUnencodable(text.mid(i, 1)).isNull())
            continue;
        // Name the whole character, also when it takes two UTF-16 units.
        char32_t code = text[i].unicode();
        QString shown = text.mid(i, 1);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            shown = text.mid(i, 2);
        }
        return QStringLiteral("The character \"%1\" (U+%2) cannot be stored in %3.")
            .arg(shown, QStringLiteral("%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper(),
                 what);
    }
    return QString();
}

bool CheckEntry(TMessageBox &msg, QLineEdit *name, const QString &blankMessage,
                const QList<TEntryField> &fields)
{
    if (TrimControls(name->text()).isEmpty()) {
        msg.information(blankMessage);
        name->setFocus(Qt::OtherFocusReason);
        return false;
    }
    for (const TEntryField &field : fields) {
        const QString refusal = RefusalOf(field.text, field.what, field.caretForbidden);
        if (refusal.isEmpty())
            continue;
        msg.information(refusal);
        field.widget->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}
