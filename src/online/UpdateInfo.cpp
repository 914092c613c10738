#include "online/UpdateInfo.h"

#include "util/CodePage.h"

#include <QList>

#include <cmath>

namespace {

// Digits with at most one ".", and at least one digit; an optional sign in front.
bool IsDecimalNumber(QByteArrayView text)
{
    if (text.startsWith('+') || text.startsWith('-'))
        text = text.sliced(1);
    int digits = 0;
    int points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

// The number of a version text at full precision, with the same rule.
double VersionNumber(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    if (!IsDecimalNumber(trimmed))
        return 0;
    bool ok = false;
    const double value = trimmed.toDouble(&ok); // always "." whatever the locale
    return ok && std::isfinite(value) ? value : 0;
}

} // namespace

float PublishedVersionNumber(const QByteArray &text)
{
    const float value = float(VersionNumber(text));
    return std::isfinite(value) ? value : 0;
}

bool UpdateOffered(const QByteArray &publishedVersion, const QByteArray &appVersion)
{
    return double(PublishedVersionNumber(publishedVersion)) > VersionNumber(appVersion);
}

QString NewUpdateQuestion(const QByteArray &publishedVersion)
{
    return QStringLiteral("There is a new update: (version ") + FromAnsi(publishedVersion) +
           QStringLiteral(") available for your application!. Do you want download this "
                          "update now?");
}
