#include "model/SaveTransaction.h"

#include "model/UProjects.h"
#include "util/FileError.h"

#include <QFile>
#include <QFileInfo>

#include <memory>
#include <vector>

namespace {

QString FileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// Copies the file as it is now through a writer of its own, so that the copy replaces
// nothing until every other file of the save was written too.
std::unique_ptr<TTextFileWriter> CopyForBackup(const QString &from, const QString &to,
                                               std::atomic<qint64> *progress)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw TFileError(from, source.errorString(),
                         QStringLiteral("%1 is damaged, and it could not be read again to keep "
                                        "a copy of it before saving: %2.")
                             .arg(FileName(from), source.errorString()));
    auto copy = std::make_unique<TTextFileWriter>(to);
    copy->setProgressCounter(progress);
    for (;;) {
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty())
            break;
        copy->write(block);
    }
    if (source.error() != QFileDevice::NoError)
        throw TFileError(from, source.errorString(),
                         QStringLiteral("%1 is damaged, and it could not be read again to keep "
                                        "a copy of it before saving: %2.")
                             .arg(FileName(from), source.errorString()));
    copy->finish();
    return copy;
}

} // namespace

void AddDataFiles(TSaveTransaction &transaction, TProjects &projects, THours &hours)
{
    transaction.add(projects.CategoriesPath(), projects.CategoriesState(),
                    [&projects](TTextFileWriter &out) { projects.WriteCategories(out); });
    transaction.add(projects.ProjectsPath(), projects.ProjectsState(),
                    [&projects](TTextFileWriter &out) { projects.WriteProjects(out); });
    transaction.add(hours.HoursPath(), hours.HoursState(),
                    [&hours](TTextFileWriter &out) { hours.WriteHours(out); });
}

bool IsReadOnlyFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir() && !(info.permissions() & QFileDevice::WriteOwner);
}

void TSaveTransaction::add(const QString &path, TDataFileState &state, TWrite write)
{
    m_entries.append(TEntry{path, &state, std::move(write)});
}

qint64 TSaveTransaction::expectedBytes() const
{
    qint64 total = 0;
    for (const TEntry &entry : m_entries)
        total += QFileInfo(entry.path).size();
    return total;
}

void TSaveTransaction::run(std::atomic<qint64> *progress)
{
    m_skipped.clear();
    std::vector<std::unique_ptr<TTextFileWriter>> backups;
    std::vector<std::unique_ptr<TTextFileWriter>> written;
    std::vector<TDataFileState *> backedUp;

    // Every file is written whole before any is replaced; a throw here destroys the
    // writers, which removes their temporary files and leaves every old file as it was.
    for (const TEntry &entry : m_entries) {
        const QString name = FileName(entry.path);
        if (entry.state->loadFailed) {
            m_skipped.append({entry.path,
                              QStringLiteral("%1 was left untouched: it could not be read when "
                                             "the program started, so saving would overwrite "
                                             "what is in it.")
                                  .arg(name),
                              false});
            continue;
        }
        if (IsReadOnlyFile(entry.path)) {
            m_skipped.append({entry.path,
                              QStringLiteral("%1 is read-only, so it was left untouched and your "
                                             "changes to it are not saved.")
                                  .arg(name),
                              true});
            continue;
        }
        if (entry.state->needsBackup() && QFileInfo::exists(entry.path)) {
            QString backup = entry.state->backupPath;
            if (backup.isEmpty() || QFileInfo::exists(backup))
                backup = FreeBackupPath(entry.path);
            backups.push_back(CopyForBackup(entry.path, backup, progress));
            entry.state->backupPath = backup;
            backedUp.push_back(entry.state);
        }
        auto writer = std::make_unique<TTextFileWriter>(entry.path);
        writer->setProgressCounter(progress);
        entry.write(*writer);
        writer->finish();
        written.push_back(std::move(writer));
    }

    // Replacing a finished file in its own folder fails only in rare cases (the folder was
    // taken away meanwhile); the message then says which files were already replaced.
    QStringList replaced;
    const auto replace = [&replaced](TTextFileWriter &writer) {
        try {
            writer.replace();
        } catch (const TFileError &error) {
            if (replaced.isEmpty())
                throw;
            throw TFileError(error.path(), error.reason(),
                             error.message()
                                 + QStringLiteral(" These files were saved before it: %1.")
                                       .arg(replaced.join(QStringLiteral(", "))));
        }
        replaced << FileName(writer.path());
    };
    for (const auto &backup : backups)
        replace(*backup);
    for (TDataFileState *state : backedUp)
        state->backupKept = true;
    for (const auto &writer : written)
        replace(*writer);
}
