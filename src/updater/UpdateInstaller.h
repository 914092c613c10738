#pragma once

#include "release/ReleaseManifest.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The file work of an update inside the application directory, in the work folder
// ".zelvo-update":
//   staging/N  the release's file N, downloaded and verified
//   backup/N   the file it replaces, kept until the install is complete
//   journal    what the install is doing, written whole before the first file moves
//
// The install also puts the release's manifest in place as InstalledManifestFileName, like
// any file, and moves aside (into backup/) each file the installed release listed and this
// one does not, so that nothing of an older release lingers.
//
// Installing moves files by renames only, each of which replaces its target at once, so every
// program file is at every moment either its old or its new version. The journal says
// "installing" while files move and "committed" once all have: a run killed before the
// commit is rolled back by the next run, one killed after it is completed.
class TUpdateInstaller {
public:
    explicit TUpdateInstaller(const QString &appDir);

    // Called after every step that changes a file; tests use it to stop a run there.
    std::function<void()> afterStep;

    QString workDir() const;
    // Where release file index of the manifest is downloaded to.
    QString stagingFile(qsizetype index) const;

    // The manifest of the release installed last; nothing when none was installed by the
    // updater or the file is damaged.
    std::optional<TReleaseManifest> installedManifest() const;

    // True when an install was interrupted: its journal is in the work folder.
    bool hasJournal() const;

    enum class TRecovered { Nothing, Completed, RolledBack };
    // Puts the application directory in order after an interrupted run: completes a
    // committed install, rolls back an unfinished one, removes the work folder. Empty when
    // all is in order, else what could not be done (the work folder is then kept). what, when
    // given, says which was done.
    QString recover(TRecovered *what = nullptr);
    // An empty staging folder; false when it cannot be made.
    bool prepareStaging();
    struct TInstallResult {
        QString error;        // empty when the release is installed
        bool restored = true; // on failure: every file is as it was before
    };
    // Installs the staged files of manifest. On failure every file is put back where that
    // can be done, and the work folder is removed; a replaced file that could not be put
    // back keeps its backup and journal for the next run.
    TInstallResult install(const TReleaseManifest &manifest);
    // Removes the work folder after a failed or cancelled download.
    void discard();

private:
    struct TEntry {
        qsizetype index = 0;   // its slot in staging/ and backup/
        bool existed = false;  // the target existed before the install
        QString target;        // relative to the application directory, as found on disk
        bool remove = false;   // a file of the installed release that the new one drops
        bool executable = false;
    };
    // What an install does: the files it moves in and the folders it makes for new files.
    struct TPlan {
        QList<TEntry> entries;
        QStringList newFolders; // relative, each after the folder that holds it
    };

    QString journalFile() const;
    QString backupFile(qsizetype index) const;
    QString resolveTarget(const QString &path, QString &error) const;
    TPlan plan(const TReleaseManifest &manifest, QString &error) const;
    void planRemovals(const TReleaseManifest &manifest, TPlan &plan) const;
    bool writeJournal(const QByteArray &state, const TPlan &plan);
    QString readJournal(QByteArray &state, TPlan &plan) const;
    QString moveIn(const TEntry &entry);
    QString rollBack(const TPlan &plan);
    TInstallResult undo(const TPlan &plan, const QString &error);
    void removeWork();
    void step();

    QString m_appDir;
};
