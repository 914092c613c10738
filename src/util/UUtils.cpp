#include "util/UUtils.h"

#include "util/CodePage.h"
#include "util/OpenableAddress.h"
#include "util/Platform.h"

#include <cstring>

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCrMark = '\xA5';
constexpr char kLfMark = '\xA7';

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char LowerAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QChar LowerAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? QChar(char16_t(u - u'A' + u'a')) : c;
}

// The registered command is a QString (the registry holds UTF-16) or bytes; the rule is the
// same for both.
template <typename Text, typename Char>
Text ProgramFromCommand(const Text &command, Char quote)
{
    Text lower = command;
    for (auto &c : lower)
        c = LowerAsciiLetter(c);
    const auto exe = lower.indexOf(".exe");
    // Without ".exe" nothing of the command is kept: the program is ".exe" alone, which
    // cannot start, and the caller still reports that a browser is known.
    Text program = exe < 0 ? Text() : lower.left(exe);
    program.append(".exe");
    program.removeIf([quote](Char c) { return c == quote; });
    return program;
}

} // namespace

QByteArray BrowserProgramFromCommand(const QByteArray &command)
{
    return ProgramFromCommand(command, '"');
}

bool OpenInBrowser(const QByteArray &url)
{
    // An empty address still goes to the browser, which then shows its start page.
    QString address;
    if (!url.isEmpty()) {
        const std::optional<QString> openable = OpenableAddress(FromAnsi(url));
        if (!openable)
            return false;
        address = *openable;
    }
    TPlatform &platform = TPlatform::current();
    const QString command = platform.browserCommand();
    if (!command.isEmpty()) {
        // A browser is known; false only when the shell could not start it, so that the
        // caller can tell the user instead of failing without a word. The address is one
        // quoted argument, which its encoding keeps from adding switches of its own.
        const QString parameter =
            address.isEmpty() ? QString() : QStringLiteral("\"%1\"").arg(address);
        return platform.shellOpen(ProgramFromCommand(command, QChar(u'"')), parameter);
    }
#ifdef Q_OS_WIN
    return false;
#else
    return platform.openUrl(address);
#endif
}

bool OpenAddress(const QString &address)
{
    const std::optional<QString> openable = OpenableAddress(address);
    return openable && TPlatform::current().openUrl(*openable);
}

QList<QByteArray> SplitString(char delimiter, const QByteArray &text)
{
    QList<QByteArray> fields;
    const char *p = text.constData();
    const char *end = p + text.size();
    while (p < end) {
        const void *hit = std::memchr(p, delimiter, size_t(end - p));
        if (!hit) {
            fields.append(QByteArray(p, end - p)); // the last piece is not empty here
            break;
        }
        const char *d = static_cast<const char *>(hit);
        fields.append(QByteArray(p, d - p));
        p = d + 1;
    }
    return fields;
}

QByteArray DecodeDollarHex(const QByteArray &text)
{
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '$') {
            result.append(c);
            continue;
        }
        // Two hex digits, or one when the text ends after it.
        const qsizetype digits = qMin<qsizetype>(2, text.size() - 1 - i);
        if (digits == 0)
            return QByteArray();
        int value = 0;
        for (qsizetype k = 1; k <= digits; ++k) {
            const int v = HexValue(text[i + k]);
            if (v < 0)
                return QByteArray();
            value = value * 16 + v;
        }
        result.append(char(value));
        i += digits;
    }
    return result;
}

QByteArray EscapeLineBreaks(const QByteArray &text)
{
    const qsizetype breaks = text.count(kCr) + text.count(kLf);
    if (breaks == 0)
        return text;
    QByteArray result(text.size() + breaks, Qt::Uninitialized);
    char *out = result.data();
    for (const char c : text) {
        if (c == kCr) {
            *out++ = kCrMark;
            *out++ = kCrMark;
        } else if (c == kLf) {
            *out++ = kLfMark;
            *out++ = kLfMark;
        } else {
            *out++ = c;
        }
    }
    return result;
}

bool HasEscapedLineBreaks(QByteArrayView text)
{
    for (const char mark : {kCrMark, kLfMark}) {
        const char *p = text.data();
        const char *end = p + text.size();
        while (p < end) {
            const void *hit = std::memchr(p, mark, size_t(end - p));
            if (!hit)
                break;
            const char *m = static_cast<const char *>(hit);
            if (m + 1 < end && m[1] == mark)
                return true;
            p = m + 1;
        }
    }
    return false;
}

// Replacing the CR pairs first and then the LF pairs gives the same as one left-to-right
// pass over both: a CR never forms part of an LF pair.
QByteArray UnescapeLineBreaks(const QByteArray &text)
{
    if (!HasEscapedLineBreaks(text))
        return text;
    QByteArray result;
    UnescapeLineBreaks(text, result);
    return result;
}

void UnescapeLineBreaks(QByteArrayView text, QByteArray &out)
{
    out.resize(text.size());
    const char *in = text.data();
    const qsizetype n = text.size();
    char *p = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = in[i];
        if ((c == kCrMark || c == kLfMark) && i + 1 < n && in[i + 1] == c) {
            *p++ = c == kCrMark ? kCr : kLf;
            ++i;
        } else {
            *p++ = c;
        }
    }
    out.resize(p - out.constData());
}

QByteArray FlattenLineBreaks(const QByteArray &text)
{
    QByteArray result = text;
    result.replace(kCr, ' ').replace(kLf, ' ');
    return result;
}
