#pragma once

#include "release/UpdateInfo.h" // ReadIniValue

#include <QByteArray>
#include <QString>

// What the live update reads from the publisher's mainappupdate.inf and how it decides; pure
// functions.

// A published version as a single-precision number: a decimal number with "." as its separator
// whatever the locale; anything else (such as "2.1.1" or "2,1") counts as 0.
float PublishedVersionNumber(const QByteArray &text);

// True when the published version is greater than appVersion (compared at full precision).
bool UpdateOffered(const QByteArray &publishedVersion, const QByteArray &appVersion);

// The first question, with the version text exactly as published.
QString NewUpdateQuestion(const QByteArray &publishedVersion);
