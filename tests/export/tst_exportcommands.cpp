#include "common/MainWindowFixture.h"
#include "common/ReadOnlyDirectory.h"
#include "export_support.h"
#include "planner/ProjectTree.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>

namespace {

QString Utf8(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kCafeText = Utf8("Café, \"Grand\" €");

// The text of a PDF file, as pdftotext reads it.
QString PdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                                  QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return QStringLiteral("pdftotext failed: ") + QString::fromUtf8(pdftotext.readAllStandardError())
             + pdftotext.errorString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

} // namespace

class TestExportCommands : public QObject {
    Q_OBJECT

private:
    TfrmMain &openSample(TMainWindowFixture &f)
    {
        WriteSampleBook(f.path(QString()));
        return f.open();
    }

    static QTreeView *tree(TMainWindowFixture &f) { return f.child<QTreeView>("tvwMain"); }

    // Right-clicks the node (root, child) and clicks the menu entry, as a user does. Returns
    // false when the entry is disabled (the menu is closed then).
    static bool clickMenu(TMainWindowFixture &f, int root, int child, const char *action)
    {
        const QModelIndex node = f.treeNode(root, child);
        emit tree(f)->customContextMenuRequested(tree(f)->visualRect(node).center());
        QMenu &menu = f.frm->projectTree().mnuTree();
        if (!QTest::qWaitFor([&menu] { return menu.isVisible(); }))
            return false;
        QAction *entry = menu.findChild<QAction *>(QLatin1String(action));
        if (!entry->isEnabled()) {
            menu.hide();
            return false;
        }
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(entry).center());
        return true;
    }

    // The save-file dialog answers path; what it was asked is kept in *asked.
    static TSaveFileScriptGuard answerSaveDialog(const QString &path, TSaveFileRequest *asked)
    {
        return TSaveFileScriptGuard([path, asked](const TSaveFileRequest &request) {
            *asked = request;
            return path;
        });
    }

    static QStringList names(const QJsonArray &items, const char *field)
    {
        QStringList found;
        for (const QJsonValue &item : items)
            found << item.toObject().value(QLatin1String(field)).toString();
        return found;
    }

private slots:
    void menu_hasTheExportEntriesAfterTheTreeCommands();
    void exportProject_writesTheClickedProject_data();
    void exportProject_writesTheClickedProject();
    void exportAll_writesEveryCategoryAndTheHours();
    void exportProject_onACategoryIsNotOffered();
    void export_cancelledOrOfAnUnknownType_writesNothing();
    void export_intoAReadOnlyFolder_saysSoAndLeavesNothing();
    void print_printsTheClickedProject();
};

void TestExportCommands::menu_hasTheExportEntriesAfterTheTreeCommands()
{
    TMainWindowFixture f;
    f.open();
    QStringList items;
    for (QAction *action : f.frm->projectTree().mnuTree().actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(items, (QStringList{"New Category", "-", "New Project", "Edit", "Delete", "-",
                                 "Export Project...", "Export All...", "Print..."}));
}

void TestExportCommands::exportProject_writesTheClickedProject_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("iCalendar") << QStringLiteral("out.ics");
    QTest::newRow("CSV") << QStringLiteral("out.csv");
    QTest::newRow("PDF") << QStringLiteral("out.pdf");
}

void TestExportCommands::exportProject_writesTheClickedProject()
{
    QFETCH(QString, name);
    TMainWindowFixture f;
    openSample(f);
    QTemporaryDir target;
    const QString path = target.filePath(name);
    TSaveFileRequest asked;
    const auto answer = answerSaveDialog(path, &asked);
    QVERIFY(clickMenu(f, 0, 0, "ExportProject1"));

    // No quotes in a file name; the type comes from the chosen filter.
    QCOMPARE(QFileInfo(asked.suggestedPath).fileName(), Utf8("Café, _Grand_ €"));
    QCOMPARE(asked.filters, (QStringList{"iCalendar (*.ics)", "CSV (*.csv)", "PDF (*.pdf)"}));
    QCOMPARE(f.messages(), QStringList());
    QString error;
    if (name.endsWith(QLatin1String(".ics"))) {
        const QJsonArray items =
            ReadWithPython("read_ics.py", path, &error).object().value("items").toArray();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(names(items, "kind"), QStringList(4, QStringLiteral("VTODO"))); // no hours
    } else if (name.endsWith(QLatin1String(".csv"))) {
        const QJsonArray rows = ReadWithPython("read_csv.py", path, &error).array();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(rows.size(), 5); // the header and the project's four tasks
        for (int r = 1; r < rows.size(); ++r)
            QCOMPARE(rows.at(r).toArray().at(1).toString(), kCafeText);
    } else {
        const QString text = PdfText(path).simplified(); // pdftotext gives single blanks
        for (const QString &shown : {kCafeText, QStringLiteral("Start Date:  1/5/2027"),
                                     QStringLiteral("1/4 tasks  25%"), QStringLiteral("Task Notes"),
                                     QStringLiteral("Call back"), Utf8("line two é")})
            QVERIFY2(text.contains(shown.simplified()), qPrintable(shown + QStringLiteral(" not in: ") + text));
    }
}

void TestExportCommands::exportAll_writesEveryCategoryAndTheHours()
{
    TMainWindowFixture f;
    openSample(f);
    QTemporaryDir target;
    const QString path = target.filePath(QStringLiteral("all.ics"));
    TSaveFileRequest asked;
    const auto answer = answerSaveDialog(path, &asked);
    QVERIFY(clickMenu(f, 1, -1, "ExportAll1")); // from any node

    QString error;
    const QJsonArray items = ReadWithPython("read_ics.py", path, &error).object().value("items").toArray();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(names(items, "summary"),
             (QStringList{Utf8("Write \"copy\"; check € and a\\b"), "Call back", "Call back",
                          names(items, "summary").at(3), "Orphan task", Utf8("Meet Zoë, then \"lunch\""),
                          "Noon\ncall", "Midnight"}));
    QCOMPARE(f.messages(),
             QStringList(QStringLiteral("all.ics was exported, but 2 planned hours were left out: "
                                        "their day is not a date of the form M/d/yyyy, or their "
                                        "hour is not one of the planner's rows.")));
}

void TestExportCommands::exportProject_onACategoryIsNotOffered()
{
    TMainWindowFixture f;
    openSample(f);
    TSaveFileRequest asked;
    const auto answer = answerSaveDialog(QStringLiteral("/never"), &asked);
    QVERIFY(!clickMenu(f, 0, -1, "ExportProject1"));
    QVERIFY(!clickMenu(f, 0, -1, "Print1"));
    QVERIFY(asked.caption.isEmpty()); // no dialog was asked for
    QVERIFY(clickMenu(f, 0, 0, "ExportProject1")); // on its project it is
}

void TestExportCommands::export_cancelledOrOfAnUnknownType_writesNothing()
{
    TMainWindowFixture f;
    openSample(f);
    QTemporaryDir target;
    TSaveFileRequest asked;
    {
        const auto cancel = answerSaveDialog(QString(), &asked);
        QVERIFY(clickMenu(f, 0, 0, "ExportProject1"));
    }
    QCOMPARE(f.messages(), QStringList());
    {
        const auto answer = answerSaveDialog(target.filePath(QStringLiteral("plan.txt")), &asked);
        QVERIFY(clickMenu(f, 0, 0, "ExportProject1"));
    }
    QCOMPARE(f.messages(), QStringList(QStringLiteral(
                               "plan.txt was not exported: choose a file of the type .ics "
                               "(iCalendar), .csv (CSV) or .pdf (PDF).")));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestExportCommands::export_intoAReadOnlyFolder_saysSoAndLeavesNothing()
{
    TMainWindowFixture f;
    openSample(f);
    QTemporaryDir target;
    for (const char *name : {"plan.csv", "plan.pdf"}) {
        f.frm->msgMain().clearLog();
        const TReadOnlyDirectory readOnly(target.path());
        if (!readOnly.isReadOnly())
            QSKIP("this folder cannot be made read-only here");
        TSaveFileRequest asked;
        const auto answer = answerSaveDialog(target.filePath(QLatin1String(name)), &asked);
        QVERIFY(clickMenu(f, 0, 0, "ExportProject1"));
        QCOMPARE(f.messages(),
                 QStringList(QStringLiteral("You are not allowed to save files in the folder %1, "
                                            "so %2 could not be saved.\n\nNothing was exported.")
                                 .arg(QDir::toNativeSeparators(target.path()), QLatin1String(name))));
        QCOMPARE(f.frm->msgMain().log().first().kind, QMessageBox::Warning);
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

void TestExportCommands::print_printsTheClickedProject()
{
    TMainWindowFixture f;
    openSample(f);
    QTemporaryDir target;
    const QString path = target.filePath(QStringLiteral("printed.pdf"));
    bool asked = false;
    const TDialogScriptGuard printDialog([&](QDialog &dialog) {
        auto *print = qobject_cast<QPrintDialog *>(&dialog);
        asked = print != nullptr;
        if (print) // a printer that prints to a file, as the dialog offers
            print->printer()->setOutputFileName(path);
        return int(QDialog::Accepted);
    });
    QVERIFY(clickMenu(f, 0, 0, "Print1"));
    QVERIFY(asked);
    QCOMPARE(f.messages(), QStringList());
    const QString text = PdfText(path);
    QVERIFY2(text.contains(kCafeText), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Orphan task")), qPrintable(text)); // only that project
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
