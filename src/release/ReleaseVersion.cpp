#include "release/ReleaseVersion.h"

namespace {

bool AllDigits(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The integer part without leading zeros and the fraction without trailing zeros, so that
// equal numbers have equal parts.
struct TDecimalParts {
    QByteArray whole;
    QByteArray fraction;
};

TDecimalParts Normalised(const QByteArray &version)
{
    const qsizetype point = version.indexOf('.');
    QByteArray whole = point < 0 ? version : version.left(point);
    QByteArray fraction = point < 0 ? QByteArray() : version.mid(point + 1);
    while (whole.size() > 1 && whole.front() == '0')
        whole.remove(0, 1);
    while (!fraction.isEmpty() && fraction.back() == '0')
        fraction.chop(1);
    return {whole, fraction};
}

} // namespace

bool IsReleaseVersion(const QByteArray &version)
{
    const qsizetype point = version.indexOf('.');
    if (point < 0)
        return AllDigits(version);
    return AllDigits(version.left(point)) && AllDigits(version.mid(point + 1));
}

int CompareReleaseVersions(const QByteArray &a, const QByteArray &b)
{
    const TDecimalParts x = Normalised(a);
    const TDecimalParts y = Normalised(b);
    // Without leading zeros a longer integer part is the larger number.
    if (x.whole.size() != y.whole.size())
        return x.whole.size() < y.whole.size() ? -1 : 1;
    if (const int c = x.whole.compare(y.whole); c != 0)
        return c < 0 ? -1 : 1;
    // Fractions compare digit by digit; a missing digit counts as 0.
    if (const int c = x.fraction.compare(y.fraction); c != 0)
        return c < 0 ? -1 : 1;
    return 0;
}
