#pragma once

#include <QByteArray>

// The program's version: shown in the caption and the about box, compared by the live update
// and passed to the updater. It is the build's ZELVO_VERSION (default "2.0"), compiled into
// AppVersion.cpp alone, so that a build of another version recompiles one file.
extern const QByteArray AppVersion;

// The version written into the executable as a marker ProgramVersionMarkerBegin, the version,
// ProgramVersionMarkerEnd: zelvo-release reads it from a release's program file to check that
// the program is the version it signs, without starting it.
inline constexpr char ProgramVersionMarkerBegin[] = "<zelvo-program-version>";
inline constexpr char ProgramVersionMarkerEnd[] = "</zelvo-program-version>";
