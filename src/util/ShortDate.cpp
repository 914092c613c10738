#include "util/ShortDate.h"

#include <QLocale>
#include <QRegularExpression>

#include <atomic>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

QString &InjectedFormat()
{
    static QString format;
    return format;
}

// Counts the changes of the injected format, so that the parsers' memories know when they
// are out of date.
std::atomic<unsigned> g_formatGeneration{0};

struct TTextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// One thread's parser: its format and the answers it has given.
struct TDateMemory {
    unsigned generation = ~0u;
    QString format;
    std::unordered_map<std::string, std::optional<QDate>, TTextHash, std::equal_to<>> answers;
};

// A text longer than this is no short date; such texts are not remembered either.
constexpr qsizetype kLongestDate = 32;
// A book of free texts in its date fields would otherwise fill the memory without end.
constexpr size_t kRemembered = 1 << 16;

std::optional<QDate> ParseWithFormat(std::string_view text, const QString &format)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return std::nullopt; // no short date holds a letter beyond ASCII
    const QDate date = QDate::fromString(
        QString::fromLatin1(text.data(), qsizetype(text.size())), format);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// The locale's short date pattern with its year widened to four digits. Qt's C locale
// answers "d MMM yyyy"; a numeric date that fits ten characters is wanted, so the C locale
// (and any locale that writes month names) gets the month/day/year order.
QString LocaleShortDateFormat()
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (locale.language() == QLocale::C || format.contains(QStringLiteral("MMM")))
        return QStringLiteral("M/d/yyyy");
    static const QRegularExpression year(QStringLiteral("y+"));
    format.replace(year, QStringLiteral("yyyy"));
    return format;
}

} // namespace

QString ShortDateFormat()
{
    return InjectedFormat().isEmpty() ? LocaleShortDateFormat() : InjectedFormat();
}

void SetShortDateFormat(const QString &format)
{
    InjectedFormat() = format;
    g_formatGeneration.fetch_add(1, std::memory_order_release);
}

QString ShortDateText(const QDate &date)
{
    return QLocale::c().toString(date, ShortDateFormat());
}

std::optional<QDate> ParseShortDate(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > kLongestDate)
        return std::nullopt;
    thread_local TDateMemory memory;
    const unsigned generation = g_formatGeneration.load(std::memory_order_acquire);
    if (memory.generation != generation) {
        memory.format = ShortDateFormat();
        memory.answers.clear();
        memory.generation = generation;
    }
    const std::string_view key(text.data(), size_t(text.size()));
    if (const auto known = memory.answers.find(key); known != memory.answers.end())
        return known->second;
    if (memory.answers.size() >= kRemembered)
        memory.answers.clear();
    const std::optional<QDate> date = ParseWithFormat(key, memory.format);
    memory.answers.emplace(std::string(key), date);
    return date;
}
