#include "util/WelcomePageReferences.h"

#include <algorithm>
#include <cstring>

namespace {

char PageLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

qsizetype SkipSpaces(const QByteArray &text, qsizetype at)
{
    while (at < text.size() && IsSpace(text[at]))
        ++at;
    return at;
}

// Inside a tag: the last "<" before at comes after the last ">".
bool InsideTag(const QByteArray &lower, qsizetype at)
{
    const qsizetype open = lower.lastIndexOf('<', at);
    return open >= 0 && open > lower.lastIndexOf('>', at);
}

bool InsideLinkElement(const QByteArray &lower, qsizetype at)
{
    const qsizetype open = lower.lastIndexOf('<', at);
    return lower.mid(open + 1, 4) == "link" && open + 5 < lower.size()
        && IsSpace(lower[open + 5]);
}

// A quoted or unquoted value starting at at; stops at one of the ends when unquoted.
TPageReference ReadValue(const QByteArray &html, qsizetype at, const char *ends)
{
    at = SkipSpaces(html, at);
    TPageReference reference;
    if (at < html.size() && (html[at] == '"' || html[at] == '\'')) {
        const qsizetype close = html.indexOf(html[at], at + 1);
        const qsizetype end = close < 0 ? html.size() : close;
        reference.at = at + 1;
        reference.address = html.mid(at + 1, end - at - 1);
        return reference;
    }
    qsizetype end = at;
    while (end < html.size() && !IsSpace(html[end]) && !std::strchr(ends, html[end]))
        ++end;
    reference.at = at;
    reference.address = html.mid(at, end - at);
    return reference;
}

bool NeedsLoading(const QByteArray &address)
{
    const QByteArray trimmed = address.trimmed();
    return !trimmed.isEmpty() && !trimmed.startsWith('#')
        && trimmed.first(std::min<qsizetype>(5, trimmed.size())).toLower() != "data:";
}

// name="value" attributes inside tags; href only of <link> elements.
void FindAttributes(const QByteArray &html, const QByteArray &lower, const QByteArray &name,
                    QList<TPageReference> &found)
{
    for (qsizetype at = lower.indexOf(name); at >= 0; at = lower.indexOf(name, at + 1)) {
        if (at == 0 || !IsSpace(lower[at - 1]) || !InsideTag(lower, at))
            continue;
        if (name == "href" && !InsideLinkElement(lower, at))
            continue;
        const qsizetype equals = SkipSpaces(lower, at + name.size());
        if (equals < lower.size() && lower[equals] == '=')
            found.append(ReadValue(html, equals + 1, ">"));
    }
}

// url(...) and @import "..." of style sheets, in <style> or in style attributes.
void FindStyleAddresses(const QByteArray &html, const QByteArray &lower,
                        QList<TPageReference> &found)
{
    for (qsizetype at = lower.indexOf("url("); at >= 0; at = lower.indexOf("url(", at + 1))
        found.append(ReadValue(html, at + 4, ")"));
    for (qsizetype at = lower.indexOf("@import"); at >= 0; at = lower.indexOf("@import", at + 1)) {
        const qsizetype value = SkipSpaces(lower, at + 7);
        if (value < lower.size() && (lower[value] == '"' || lower[value] == '\''))
            found.append(ReadValue(html, value, ";"));
    }
}

} // namespace

QList<TPageReference> ExternalPageReferences(const QByteArray &html)
{
    QByteArray lower = html;
    std::transform(lower.begin(), lower.end(), lower.begin(), PageLowerAscii);
    QList<TPageReference> found;
    for (const char *name : {"src", "background", "href"})
        FindAttributes(html, lower, name, found);
    FindStyleAddresses(html, lower, found);
    found.removeIf([](const TPageReference &r) { return !NeedsLoading(r.address); });
    std::sort(found.begin(), found.end(),
              [](const TPageReference &a, const TPageReference &b) { return a.at < b.at; });
    return found;
}
