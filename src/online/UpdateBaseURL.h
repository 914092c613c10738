#pragma once

#include <QByteArray>

// The publisher's live-update location, ending in "/liveupdate/project_zelvo/": fixed when the
// program is built (CMake cache variable ZELVO_UPDATE_BASE_URL).
QByteArray UpdateBaseURL();

// Tests point the live update at a server of their own; an empty url restores the built-in one.
void SetUpdateBaseURL(const QByteArray &url);
