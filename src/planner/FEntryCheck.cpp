#include "planner/FEntryCheck.h"

#include "planner/PlannerText.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <vector>

namespace {

// The bytes the line-break escape of the data files writes for CR and LF (Windows-1252 "¥"
// and "§", the same code points in Unicode).
constexpr char16_t kCrMark = 0x00A5;
constexpr char16_t kLfMark = 0x00A7;

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// "at position 7", or in a multi-line text "in line 2 at position 3" (a CR LF pair is one
// line break). Positions count from 1.
QString Where(const QString &text, qsizetype index, bool multiLine)
{
    if (!multiLine)
        return QStringLiteral("at position %1").arg(index + 1);
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < index; ++i) {
        if (!IsLineBreak(text[i]))
            continue;
        if (text[i] == QLatin1Char('\r') && i + 1 < index && text[i + 1] == QLatin1Char('\n'))
            ++i;
        ++line;
        lineStart = i + 1;
    }
    return QStringLiteral("in line %1 at position %2").arg(line).arg(index - lineStart + 1);
}

QString CodeOf(char32_t code)
{
    return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
}

QString ControlName(QChar c)
{
    const QString code = CodeOf(c.unicode());
    switch (c.unicode()) {
    case 0x00:
        return QStringLiteral("The NUL character (%1)").arg(code);
    case 0x09:
        return QStringLiteral("The tab character (%1)").arg(code);
    case 0x0A:
    case 0x0D:
        return QStringLiteral("The line break (%1)").arg(code);
    default:
        return QStringLiteral("The control character %1").arg(code);
    }
}

TRefusal Refuse(QString message, qsizetype position, qsizetype length)
{
    return {std::move(message), position, length};
}

// One character of the text as the escape writes it: the character itself, or one half of the
// pair that stands for a line break.
struct TEscapedUnit
{
    char16_t unit;
    qsizetype origin;  // position in the text
    bool firstHalf;    // the first of the two units written for a line break
};

// Where the escaped text would not read back as written: the unescape takes mark pairs left
// to right, so a pair made of a typed mark and anything else turns into a line break.
TRefusal EscapeRefusal(const QString &text, const QString &what, bool multiLine)
{
    std::vector<TEscapedUnit> units;
    units.reserve(size_t(text.size()) + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsLineBreak(c)) {
            const char16_t mark = c == QLatin1Char('\r') ? kCrMark : kLfMark;
            units.push_back({mark, i, true});
            units.push_back({mark, i, false});
        } else {
            units.push_back({c.unicode(), i, false});
        }
    }
    for (size_t p = 0; p + 1 < units.size(); ++p) {
        const TEscapedUnit &a = units[p];
        const TEscapedUnit &b = units[p + 1];
        if ((a.unit != kCrMark && a.unit != kLfMark) || b.unit != a.unit)
            continue;
        if (a.firstHalf) { // a line break's own pair
            ++p;
            continue;
        }
        const QString where = Where(text, a.origin, multiLine);
        if (!IsLineBreak(text[b.origin]))
            return Refuse(QStringLiteral("The characters \"%1\" %2 cannot be stored in %3: they "
                                         "would be read back as a line break.")
                              .arg(text.mid(a.origin, 2), where, what),
                          a.origin, 2);
        return Refuse(QStringLiteral("The character \"%1\" just before a line break %2 cannot "
                                     "be stored in %3: the two would be read back in the "
                                     "other order.")
                          .arg(text.mid(a.origin, 1), where, what),
                      a.origin, 1);
    }
    return {};
}

// The first character of text that the files cannot hold at all.
TRefusal CharacterRefusal(const QString &text, const QString &what, bool caretForbidden,
                          bool multiLine)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (caretForbidden && c == QLatin1Char('^'))
            return Refuse(QStringLiteral("The character \"^\" cannot be used in %1.").arg(what),
                          i, 1);
        const bool control = c.category() == QChar::Other_Control;
        if (control && (c.unicode() == 0 || !(multiLine && IsLineBreak(c))))
            return Refuse(QStringLiteral("%1 %2 cannot be stored in %3.")
                              .arg(ControlName(c), Where(text, i, multiLine), what),
                          i, 1);
        if (FirstUnencodable(text.mid(i, 1)).isNull())
            continue;
        // Name the whole character, also when it takes two UTF-16 units.
        char32_t code = c.unicode();
        qsizetype length = 1;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            length = 2;
        }
        return Refuse(QStringLiteral("The character \"%1\" (%2) cannot be stored in %3.")
                          .arg(text.mid(i, length), CodeOf(code), what),
                      i, length);
    }
    return {};
}

// Shows the refused characters selected in their field.
void SelectInField(QWidget *widget, const TRefusal &refusal)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setSelection(int(refusal.position), int(refusal.length));
        return;
    }
    auto *memo = qobject_cast<QPlainTextEdit *>(widget);
    if (!memo)
        return;
    // The editor holds one character per line break where the checked text has CR LF.
    const QString shown = memo->document()->toRawText();
    qsizetype at = 0;
    for (qsizetype stored = 0; at < shown.size() && stored < refusal.position; ++at) {
        const QChar c = shown[at];
        stored += c == QChar(QChar::ParagraphSeparator) || c == QChar(QChar::LineSeparator) ? 2 : 1;
    }
    QTextCursor cursor(memo->document());
    cursor.setPosition(int(at));
    cursor.setPosition(int(qMin(shown.size(), at + refusal.length)), QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
}

} // namespace

TRefusal RefusalOf(const QString &text, const QString &what, bool caretForbidden, bool multiLine)
{
    TRefusal refusal = CharacterRefusal(text, what, caretForbidden, multiLine);
    if (refusal.isRefused())
        return refusal;
    // The plain test: whatever the escape writes must come back as it was.
    const QByteArray bytes = AnsiOf(text);
    if (UnescapeLineBreaks(EscapeLineBreaks(bytes)) == bytes)
        return {};
    return EscapeRefusal(text, what, multiLine);
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
        const TRefusal refusal =
            RefusalOf(field.text, field.what, field.caretForbidden, field.multiLine);
        if (!refusal.isRefused())
            continue;
        msg.information(refusal.message);
        field.widget->setFocus(Qt::OtherFocusReason);
        SelectInField(field.widget, refusal);
        return false;
    }
    return true;
}
