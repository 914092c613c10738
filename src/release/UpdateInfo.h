#pragma once

#include <QByteArray>

// mainappupdate.inf, the small INI file the program's update check reads: section
// "APPLICATION" with "Name" and "Version".

// The file's text, with CR LF line ends.
QByteArray MakeUpdateInfo(const QByteArray &name, const QByteArray &version);

// The value of key in [section] of an INI text (section and key ignore ASCII letter case;
// CR LF, CR or LF line ends; a leading byte order mark, blanks around the value and one pair of
// surrounding double quotes are dropped); empty when missing.
QByteArray ReadIniValue(const QByteArray &ini, const QByteArray &section, const QByteArray &key);
