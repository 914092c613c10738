#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TUpdateOutcome;

// What the program, started again by the updater, tells the user once: that the update is
// installed, or that the old version was kept and why. The updater passes it as words on the
// program's command line.

// The program was started after a successful install.
inline const QString UpdatedArgument = QStringLiteral("--updated");
// The program was started again after an update that was refused or rolled back; the next
// word says why.
inline const QString UpdateKeptArgument = QStringLiteral("--update-kept");

// The words for the program after outcome: none after a cancel (the user chose it).
QStringList ProgramNotice(const TUpdateOutcome &outcome);

// The notice for the program's command line (without the program's name); empty when there
// is none. appVersion is the running program's own version.
QString AfterUpdateNotice(const QStringList &arguments, const QByteArray &appVersion);
