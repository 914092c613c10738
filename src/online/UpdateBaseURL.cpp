#include "online/UpdateBaseURL.h"

#ifndef ZELVO_UPDATE_BASE_URL
#error "ZELVO_UPDATE_BASE_URL is defined by the build"
#endif

namespace {

QByteArray &Override()
{
    static QByteArray url;
    return url;
}

} // namespace

QByteArray UpdateBaseURL()
{
    if (!Override().isEmpty())
        return Override();
    return QByteArrayLiteral(ZELVO_UPDATE_BASE_URL);
}

void SetUpdateBaseURL(const QByteArray &url)
{
    Override() = url;
}
