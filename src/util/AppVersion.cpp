#include "util/AppVersion.h"

#ifndef ZELVO_VERSION
#error "ZELVO_VERSION is defined by the build"
#endif

namespace {

// The marker as one array in the executable; AppVersion points into it, so the marker is
// always linked in with the version.
constexpr char VersionMarker[] = "<zelvo-program-version>" ZELVO_VERSION "</zelvo-program-version>";
constexpr qsizetype VersionOffset = sizeof(ProgramVersionMarkerBegin) - 1;
constexpr qsizetype VersionSize = sizeof(ZELVO_VERSION) - 1;

static_assert(sizeof(VersionMarker)
              == sizeof(ProgramVersionMarkerBegin) + sizeof(ZELVO_VERSION) + sizeof(ProgramVersionMarkerEnd) - 2);

} // namespace

const QByteArray AppVersion = QByteArray::fromRawData(VersionMarker + VersionOffset, VersionSize);
