#include "updater/UpdateInstaller.h"

#include "release/ReleaseFormat.h"
#include "release/ReleasePaths.h"
#include "util/AppFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const QByteArray JournalHeader = QByteArrayLiteral("zelvo-update-journal 1");

fs::path FsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(QFile::encodeName(path).toStdString());
#endif
}

// Renames from over to, replacing to at once where it exists.
bool ReplaceWith(const QString &from, const QString &to)
{
    std::error_code error;
    fs::rename(FsPath(from), FsPath(to), error);
    return !error;
}

// A copy of target at backup that appears whole or not at all.
bool KeepBackup(const QString &target, const QString &backup)
{
#ifdef Q_OS_WIN
    // A running program cannot be replaced on Windows, but it can be moved aside.
    return ReplaceWith(target, backup);
#else
    // A hard link keeps the old file without a moment in which the target is missing.
    std::error_code error;
    fs::create_hard_link(FsPath(target), FsPath(backup), error);
    if (!error)
        return true;
    const QString part = backup + QLatin1String(".part");
    QFile::remove(part);
    return QFile::copy(target, part) && ReplaceWith(part, backup);
#endif
}

// Renames backup over target. On Windows a running program cannot be replaced, but it can be
// moved aside: when the program at start-up rolls back its own new executable, that file goes
// to aside first (removed with the work folder once it no longer runs).
bool PutBack(const QString &backup, const QString &target, const QString &aside)
{
    if (ReplaceWith(backup, target))
        return true;
#ifdef Q_OS_WIN
    return ReplaceWith(target, aside) && ReplaceWith(backup, target);
#else
    Q_UNUSED(aside);
    return false;
#endif
}

void SetMode(const QString &path, bool executable)
{
    QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (executable)
        mode |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    QFile::setPermissions(path, mode);
}

} // namespace

TUpdateInstaller::TUpdateInstaller(const QString &appDir) : m_appDir(appDir) {}

QString TUpdateInstaller::workDir() const
{
    return m_appDir + UpdateWorkDirName;
}

QString TUpdateInstaller::stagingFile(qsizetype index) const
{
    return workDir() + QStringLiteral("/staging/%1").arg(index);
}

QString TUpdateInstaller::journalFile() const
{
    return workDir() + QStringLiteral("/journal");
}

QString TUpdateInstaller::backupFile(qsizetype index) const
{
    return workDir() + QStringLiteral("/backup/%1").arg(index);
}

void TUpdateInstaller::step()
{
    if (afterStep)
        afterStep();
}

bool TUpdateInstaller::prepareStaging()
{
    removeWork();
    return QDir().mkpath(workDir() + QStringLiteral("/staging"))
        && QDir().mkpath(workDir() + QStringLiteral("/backup"));
}

void TUpdateInstaller::discard()
{
    removeWork();
}

void TUpdateInstaller::removeWork()
{
    // The journal goes first: without it the rest is only leftovers.
    QFile::remove(journalFile());
    step();
    QDir(workDir()).removeRecursively();
}

// The file a release path replaces: each folder and the file matched without regard to
// letter case, as the program matches its own files. A folder that is a link could lead out
// of the application directory, so none is followed.
QString TUpdateInstaller::resolveTarget(const QString &path, QString &error) const
{
    QString resolved;
    const QStringList segments = path.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString full = ResolveFileName(m_appDir + resolved, segments[i]);
        resolved = full.mid(m_appDir.size());
        const QFileInfo info(full);
        const bool last = i == segments.size() - 1;
        if (!last && info.isSymLink()) {
            error = QStringLiteral("the folder \"%1\" is a link").arg(resolved);
            return QString();
        }
        if (!last && info.exists() && !info.isDir()) {
            error = QStringLiteral("\"%1\" is a file, not a folder").arg(resolved);
            return QString();
        }
        if (last && info.isDir() && !info.isSymLink()) {
            error = QStringLiteral("\"%1\" is a folder").arg(resolved);
            return QString();
        }
        if (!last)
            resolved += QLatin1Char('/');
    }
    return resolved;
}

TUpdateInstaller::TPlan TUpdateInstaller::plan(const TReleaseManifest &manifest, QString &error) const
{
    TPlan plan;
    for (qsizetype i = 0; i < manifest.files.size(); ++i) {
        const QString target = resolveTarget(manifest.files[i].path, error);
        if (target.isEmpty())
            return {};
        const QFileInfo info(m_appDir + target);
        plan.entries.append({i, info.exists() || info.isSymLink(), target, false, manifest.files[i].executable});
        for (qsizetype slash = target.indexOf(QLatin1Char('/')); slash >= 0;
             slash = target.indexOf(QLatin1Char('/'), slash + 1)) {
            const QString folder = target.left(slash);
            if (!QFileInfo::exists(m_appDir + folder) && !plan.newFolders.contains(folder))
                plan.newFolders.append(folder);
        }
    }
    // The release's manifest, staged after its files, becomes the installed manifest.
    const QString installed = ResolveFileName(m_appDir, InstalledManifestFileName).mid(m_appDir.size());
    plan.entries.append({manifest.files.size(), QFileInfo::exists(m_appDir + installed), installed, false, false});
    planRemovals(manifest, plan);
    return plan;
}

// The files of the installed release that manifest does not list (in any letter case), where
// they are still there as files; their backup slots follow the staged files.
void TUpdateInstaller::planRemovals(const TReleaseManifest &manifest, TPlan &plan) const
{
    const std::optional<TReleaseManifest> installed = installedManifest();
    if (!installed)
        return;
    QSet<QString> kept;
    for (const TReleaseFile &file : manifest.files)
        kept.insert(file.path.toCaseFolded());
    qsizetype index = manifest.files.size() + 1;
    for (const TReleaseFile &file : installed->files) {
        if (kept.contains(file.path.toCaseFolded()))
            continue;
        QString error;
        const QString target = resolveTarget(file.path, error);
        const QFileInfo info(m_appDir + target);
        if (!target.isEmpty() && (info.isFile() || info.isSymLink()))
            plan.entries.append({index++, true, target, true, false});
    }
}

bool TUpdateInstaller::writeJournal(const QByteArray &state, const TPlan &plan)
{
    QByteArray text = JournalHeader + "\nstate " + state + '\n';
    for (const TEntry &entry : plan.entries)
        text += (entry.remove ? "remove " : "file ") + QByteArray::number(entry.index)
              + (entry.existed ? " 1 " : " 0 ") + entry.target.toUtf8() + '\n';
    for (const QString &folder : plan.newFolders)
        text += "folder " + folder.toUtf8() + '\n';
    // QSaveFile: the journal on disk is always a whole one, the old or the new.
    QSaveFile file(journalFile());
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

QString TUpdateInstaller::readJournal(QByteArray &state, TPlan &plan) const
{
    const QString damaged = QStringLiteral("the journal of an interrupted update is damaged");
    QFile file(journalFile());
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the journal of an interrupted update cannot be read");
    QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.value(0) != JournalHeader || !lines.value(1).startsWith("state "))
        return damaged;
    state = lines[1].mid(6);
    if (state != "installing" && state != "committed")
        return damaged;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const QList<QByteArray> fields = line.split(' ');
        QString path;
        if ((fields[0] == "file" || fields[0] == "remove") && fields.size() >= 4) {
            path = QString::fromUtf8(line.mid(fields[0].size() + fields[1].size() + fields[2].size() + 3));
            plan.entries.append({fields[1].toLongLong(), fields[2] == "1", path, fields[0] == "remove", false});
        } else if (fields[0] == "folder" && fields.size() >= 2) {
            path = QString::fromUtf8(line.mid(7));
            plan.newFolders.append(path);
        } else if (line.isEmpty() && i == lines.size() - 1) {
            continue;
        } else {
            return damaged;
        }
        // Only paths a release may name, and the installed manifest, are ever put back or
        // removed.
        if (!ReleasePathProblem(path).isEmpty() && path.compare(InstalledManifestFileName, Qt::CaseInsensitive) != 0)
            return damaged;
    }
    return QString();
}

QString TUpdateInstaller::moveIn(const TEntry &entry)
{
    const QString target = m_appDir + entry.target;
    if (entry.remove) {
        // Moved aside whole: a roll-back renames it back.
        if (!ReplaceWith(target, backupFile(entry.index)))
            return QStringLiteral("\"%1\", which this version no longer has, could not be removed").arg(entry.target);
        step();
        return QString();
    }
    if (entry.existed) {
        if (!KeepBackup(target, backupFile(entry.index)))
            return QStringLiteral("\"%1\" could not be kept aside").arg(entry.target);
        step();
    }
    const QString staged = stagingFile(entry.index);
    SetMode(staged, entry.executable);
    if (!QDir().mkpath(QFileInfo(target).path()) || !ReplaceWith(staged, target))
        return QStringLiteral("\"%1\" could not be replaced").arg(entry.target);
    step();
    return QString();
}

TUpdateInstaller::TInstallResult TUpdateInstaller::undo(const TPlan &plan, const QString &error)
{
    const QString lost = rollBack(plan);
    if (!lost.isEmpty())
        return {error + QStringLiteral(", and ") + lost, false};
    removeWork();
    return {error, true};
}

TUpdateInstaller::TInstallResult TUpdateInstaller::install(const TReleaseManifest &manifest)
{
    QString error;
    const TPlan planned = plan(manifest, error);
    if (!error.isEmpty()) {
        removeWork();
        return {error, true};
    }
    const QByteArray manifestText = WriteManifest(manifest);
    QSaveFile staged(stagingFile(manifest.files.size()));
    if (!staged.open(QIODevice::WriteOnly) || staged.write(manifestText) != manifestText.size() || !staged.commit())
        return undo({}, QStringLiteral("the release's manifest could not be kept in the program's folder"));
    if (!writeJournal("installing", planned))
        return undo({}, QStringLiteral("the update's journal could not be written"));
    step();
    for (const TEntry &entry : planned.entries)
        if (error = moveIn(entry); !error.isEmpty())
            return undo(planned, error);
    if (!writeJournal("committed", planned))
        return undo(planned, QStringLiteral("the update's journal could not be written"));
    step();
    removeWork();
    return {};
}

// Puts back every file as it was before the install. A backup means the file was replaced
// or is about to be: renaming it back restores the old file either way. A file that did not
// exist before is removed once its staged copy has moved in, and so are the folders made
// for such files, when they are empty.
QString TUpdateInstaller::rollBack(const TPlan &plan)
{
    QStringList kept;
    for (auto it = plan.entries.crbegin(); it != plan.entries.crend(); ++it) {
        const QString target = m_appDir + it->target;
        if (it->existed) {
            const QString backup = backupFile(it->index);
            if (QFileInfo::exists(backup) && !PutBack(backup, target, workDir() + QStringLiteral("/displaced-%1").arg(it->index)))
                kept << it->target;
        } else if (!QFileInfo::exists(stagingFile(it->index)) && QFileInfo::exists(target)) {
            QFile::remove(target);
        }
        step();
    }
    for (auto it = plan.newFolders.crbegin(); it != plan.newFolders.crend(); ++it)
        QDir(m_appDir).rmdir(*it);
    if (kept.isEmpty())
        return QString();
    return QStringLiteral("the previous %1 could not be put back (it is kept in %2)")
        .arg(kept.join(QStringLiteral(", ")), QDir::toNativeSeparators(workDir() + QStringLiteral("/backup")));
}

std::optional<TReleaseManifest> TUpdateInstaller::installedManifest() const
{
    QFile file(ResolveFileName(m_appDir, InstalledManifestFileName));
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxManifestSize)
        return std::nullopt;
    TManifestReading reading = ParseManifest(file.readAll());
    if (!reading.error.isEmpty())
        return std::nullopt;
    return reading.manifest;
}

bool TUpdateInstaller::hasJournal() const
{
    return QFileInfo::exists(journalFile());
}

QString TUpdateInstaller::recover(TRecovered *what)
{
    if (what)
        *what = TRecovered::Nothing;
    if (!QFileInfo::exists(workDir()))
        return QString();
    if (!QFileInfo::exists(journalFile())) {
        // Killed while downloading, or while removing a finished update's work folder.
        removeWork();
        return QString();
    }
    QByteArray state;
    TPlan plan;
    if (const QString problem = readJournal(state, plan); !problem.isEmpty())
        return problem;
    if (state == "installing") {
        if (const QString lost = rollBack(plan); !lost.isEmpty())
            return lost;
    }
    removeWork();
    if (what)
        *what = state == "installing" ? TRecovered::RolledBack : TRecovered::Completed;
    return QString();
}
