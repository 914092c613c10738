#include "export/ExportCommands.h"

#include "export/BookExport.h"
#include "export/ProjectSheet.h"
#include "model/TextFile.h"
#include "model/UProjects.h"
#include "toolkit/BackgroundWork.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"
#include "util/FileError.h"
#include "util/ShortDate.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

namespace {

const QStringList kFilters = {QStringLiteral("iCalendar (*.ics)"), QStringLiteral("CSV (*.csv)"),
                              QStringLiteral("PDF (*.pdf)")};

// A project's name as a file name: characters that file systems refuse become "_".
QString FileNameOf(const QByteArray &name)
{
    QString text = FromAnsi(name).trimmed();
    for (QChar &c : text)
        if (c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return text.isEmpty() ? QStringLiteral("Project") : text;
}

// Writes the PDF through a temporary file beside path. Throws TFileError on failure.
void WritePdf(const QString &path, const QList<const TProject *> &projects,
              std::atomic<qint64> &done)
{
    QSaveFile file(path);
    errno = 0;
    const auto fail = [&](int error) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw TFileError(path, reason, SaveFailureText(path, error, reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(errno);
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(projects.size() == 1 ? FromAnsi(projects.first()->Name) : QString());
        pdf.setCreator(QStringLiteral("Project Zelvo"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        if (!PaintProjectSheets(pdf, projects, &done))
            fail(errno);
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        fail(errno);
}

} // namespace

TExportCommands::TExportCommands(QWidget &window, TMessageBox &msgMain,
                                 const TProjects &projects, const THours &hours,
                                 QAbstractItemView &tree, QMenu &mnuTree)
    : m_window(window), m_msgMain(msgMain), m_projects(projects),
      m_hours(hours), m_tree(tree),
      m_folder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
    const auto add = [&](const char *name, const QString &caption, void (TExportCommands::*handler)()) {
        QAction *action = mnuTree.addAction(caption, this, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuTree.addSeparator()->setObjectName(QStringLiteral("N2"));
    m_exportProject = add("ExportProject1", QStringLiteral("Export Project..."),
                          &TExportCommands::ExportProject1Click);
    add("ExportAll1", QStringLiteral("Export All..."), &TExportCommands::ExportAll1Click);
    m_print = add("Print1", QStringLiteral("Print..."), &TExportCommands::Print1Click);
    connect(&mnuTree, &QMenu::aboutToShow, this, &TExportCommands::updateActions);
}

// The project of the selected node, resolved by its text as the tree's own commands do: the
// first project of that name. None when a category or nothing is selected.
const TProject *TExportCommands::clickedProject() const
{
    const QModelIndexList selected = m_tree.selectionModel()->selectedIndexes();
    if (selected.isEmpty() || !selected.first().parent().isValid())
        return nullptr;
    QByteArray name;
    if (!ToAnsi(selected.first().data().toString(), &name))
        return nullptr;
    int index = -1;
    return m_projects.FindProjectByName(name, index);
}

void TExportCommands::updateActions()
{
    const bool onProject = clickedProject() != nullptr;
    m_exportProject->setEnabled(onProject);
    m_print->setEnabled(onProject);
}

void TExportCommands::ExportProject1Click()
{
    if (const TProject *project = clickedProject())
        exportTo(FileNameOf(project->Name), {project}, false);
}

void TExportCommands::ExportAll1Click()
{
    exportTo(QStringLiteral("Projects"), ProjectsInTreeOrder(m_projects), true);
}

void TExportCommands::exportTo(const QString &suggestedName,
                               const QList<const TProject *> &projects, bool withHours)
{
    const QString path = RunSaveFileDialog(
        {&m_window, QStringLiteral("Export"),
         QDir(m_folder).filePath(suggestedName), kFilters});
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();
    write(path, projects, withHours);
}

bool TExportCommands::write(const QString &path, const QList<const TProject *> &projects,
                            bool withHours)
{
    const std::optional<TExportFormat> format = ExportFormatOfPath(path);
    if (!format) {
        m_msgMain.show(QStringLiteral("%1 was not exported: choose a file of the type .ics "
                                      "(iCalendar), .csv (CSV) or .pdf (PDF).")
                           .arg(QFileInfo(path).fileName()),
                       QMessageBox::Warning, QMessageBox::Ok);
        return false;
    }
    TBookExport job{*format, path, projects, nullptr, QDateTime::currentDateTimeUtc()};
    if (withHours && *format == TExportFormat::ICal)
        job.hours = &m_hours;
    int hoursLeftOut = 0;
    const TBackgroundWork work{
        QStringLiteral("dlgExportProgress"), QStringLiteral("Exporting..."), job.size(),
        [&](std::atomic<qint64> &done) {
            if (*format == TExportFormat::Pdf)
                WritePdf(path, projects, done);
            else
                hoursLeftOut = job.run(&done);
        }};
    if (const std::exception_ptr failure = work.run(m_window)) {
        try {
            std::rethrow_exception(failure);
        } catch (const TFileError &error) {
            m_msgMain.show(error.message() + QStringLiteral("\n\nNothing was exported."),
                           QMessageBox::Warning, QMessageBox::Ok);
            return false;
        }
    }
    if (hoursLeftOut > 0)
        m_msgMain.information(
            QStringLiteral("%1 was exported, but %2 planned hours were left out: their day is "
                           "not a date of the form %3, or their hour is not one of the "
                           "planner's rows.")
                .arg(QFileInfo(path).fileName())
                .arg(hoursLeftOut)
                .arg(ShortDateFormat()));
    return true;
}

void TExportCommands::Print1Click()
{
    const TProject *project = clickedProject();
    if (!project)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(FromAnsi(project->Name));
    QPrintDialog dialog(&printer, &m_window);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    bool painted = false;
    const QList<const TProject *> projects{project};
    const TBackgroundWork work{QStringLiteral("dlgPrintProgress"), QStringLiteral("Printing..."),
                               project->Tasks.count(), [&](std::atomic<qint64> &done) {
                                   painted = PaintProjectSheets(printer, projects, &done);
                               }};
    work.run(m_window);
    if (!painted)
        m_msgMain.show(QStringLiteral("%1 could not be printed: the printer could not be "
                                      "started.")
                           .arg(FromAnsi(project->Name)),
                       QMessageBox::Warning, QMessageBox::Ok);
}
