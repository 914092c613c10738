#include "shell/SaveChanges.h"

#include "model/SaveTransaction.h"
#include "model/UProjects.h"
#include "toolkit/BackgroundWork.h"
#include "toolkit/MessageBox.h"
#include "util/FileError.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <exception>

TSaveChanges::TSaveChanges(QWidget &window, TMessageBox &msgMain, TProjects &projects,
                           THours &hours)
    : m_window(window), m_msgMain(msgMain), m_projects(projects), m_hours(hours)
{
}

bool TSaveChanges::run()
{
    if (m_running)
        return false;
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });

    TSaveTransaction transaction;
    AddDataFiles(transaction, m_projects, m_hours);

    const TBackgroundWork save{QStringLiteral("dlgSaveProgress"),
                               QStringLiteral("Saving your changes..."),
                               transaction.expectedBytes(),
                               [&transaction](std::atomic<qint64> &written) {
                                   transaction.run(&written);
                               }};
    const std::exception_ptr failure = save.run(m_window);

    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const TFileError &error) {
            m_msgMain.show(error.message()
                               + QStringLiteral("\n\nNo file was changed, and your changes are "
                                                "still here."),
                           QMessageBox::Warning, QMessageBox::Ok);
            return false;
        }
    }

    QStringList untouched;
    bool readOnlyLeft = false;
    for (const TSaveTransaction::TSkipped &skipped : transaction.skipped()) {
        untouched << skipped.text;
        readOnlyLeft = readOnlyLeft || skipped.readOnly;
    }
    if (!untouched.isEmpty())
        m_msgMain.show(QStringLiteral("Your changes were saved, except:\n\n")
                           + untouched.join(QStringLiteral("\n\n")),
                       readOnlyLeft ? QMessageBox::Warning : QMessageBox::Information,
                       QMessageBox::Ok);
    return !readOnlyLeft;
}

QString TSaveChanges::damagedFilesReport() const
{
    constexpr int kLinesPerFile = 20;
    QStringList parts;
    const auto add = [&parts](const QString &path, const TDataFileState &state) {
        if (state.drops.isEmpty())
            return;
        QString part = QFileInfo(path).fileName() + QLatin1Char('\n');
        for (const QString &line : DescribeDrops(state, kLinesPerFile))
            part += QStringLiteral("  ") + line + QLatin1Char('\n');
        part += QStringLiteral("  Before \"Save Changes\" replaces it, the file is kept as it is "
                               "now as %1.")
                    .arg(QFileInfo(state.backupPath).fileName());
        parts << part;
    };
    add(m_projects.CategoriesPath(), m_projects.CategoriesState());
    add(m_projects.ProjectsPath(), m_projects.ProjectsState());
    add(m_hours.HoursPath(), m_hours.HoursState());
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("Some data files are damaged. Everything that could be read was "
                          "loaded; these parts were left out:\n\n")
         + parts.join(QStringLiteral("\n\n"));
}
