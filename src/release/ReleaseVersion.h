#pragma once

#include <QByteArray>

// Release versions are decimal numbers with an optional point ("2", "2.1", "2.10"), the form
// the program's update check reads from mainappupdate.inf. They compare as numbers, so "2.10"
// equals "2.1" and is older than "2.9", as the program sees them.

// True for one or more digits, optionally followed by a point and one or more digits.
bool IsReleaseVersion(const QByteArray &version);

// Negative, zero or positive as a is older than, equal to or newer than b. Both must be
// release versions.
int CompareReleaseVersions(const QByteArray &a, const QByteArray &b);
