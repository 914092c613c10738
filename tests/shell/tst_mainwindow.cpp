#include "common/MainWindowFixture.h"

#include "toolkit/ElidedLabel.h"
#include "toolkit/GridDelegate.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWindow>

#include <QAccessible>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void create_showsMainPageWithEveryControl_data();
    void create_showsMainPageWithEveryControl();
    void create_withoutWelcomePage_switchesNewsTimerOn();
    void controls_allHaveAccessibleNames();
    void hourRowsAndTasksPage_areReadyAtStart();
    void save_writesAllThreeFilesExactly();
    void save_failingFile_replacesNoFileAndSaysWhy();
    void save_inputDuringTheSave_isNotTaken();
    void save_changeDuringTheSave_keepsModifiedFlag();
    void load_unreadableFile_isReportedAndNeverOverwritten();
    void load_damagedFile_isReportedAndKeptBeforeTheFirstSave();
    void load_damagedStartGoesOnWithTheOtherFiles();
    void close_withoutChanges_asksNothing();
    void close_withChanges_asksAndFollowsTheAnswer_data();
    void close_withChanges_asksAndFollowsTheAnswer();
    void close_saveThatFails_keepsWindowOpen();
    void close_saveWithFileLeftUntouched_data();
    void close_saveWithFileLeftUntouched();
    void tab_goesRoundTheWholeWindow_data();
    void tab_goesRoundTheWholeWindow();
    void enter_onFocusedToolbarButton_clicksIt();
    void ctrlTab_switchesPagesFromAnywhere();
    void caption_marksUnsavedChanges();
    void longNames_areCutShortWithTheirWholeTextAsToolTip();
    void splitter_treeWidensAndKeepsItsWidthWhenTheWindowIsResized_data();
    void splitter_treeWidensAndKeepsItsWidthWhenTheWindowIsResized();
    void showAgain_keepsThePageAndTheSelection_data();
    void showAgain_keepsThePageAndTheSelection();
};

void TestMainWindow::create_showsMainPageWithEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<std::pair<const char *, const char *>> controls = {
        {"btn1", "New Project"},
        {"btnSave", "Save Changes"},
        {"btnMakeMoney", "Make Money"},
        {"btnAbout", "About"},
        {"btnAdd", "Add New Task"},
        {"btnEdit", "Edit Selected Task"},
        {"btnRemove", "Remove Selected Task"},
        {"btnEditHour", "Edit selected action"},
        {"btnClearHour", "Clear selected action"},
        {"lblProjName", "Project Name:  "},
        {"lblProgress", "Progress:"},
        {"lblStartDate", "Start Date: "},
        {"lblEndDate", "End Date: "},
        {"lblLink1URL", "Google"},
        {"lblLink2URL", "Google"},
    };
    for (const auto &[name, caption] : controls)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption);
}

void TestMainWindow::create_showsMainPageWithEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    QCOMPARE(frm.windowHandle()->title(), QStringLiteral("Project Zelvo"));
    QCOMPARE(frm.size(), QSize(772, 566));

    QWidget *control = frm.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), caption);
    else
        QCOMPARE(qobject_cast<QLabel *>(control)->text(), caption);

    for (const char *other : {"btnNews", "btnUpdate", "btnHelp", "panBanner", "imgBanner",
                              "gifBanner", "panLinks", "tvwMain", "lvwItems", "lvwToDo",
                              "calPlanner", "MainGauge", "pgcMain", "pgcPrinc", "stsMain"})
        QVERIFY2(frm.findChild<QWidget *>(QLatin1String(other)), other);
    QVERIFY(!frm.findChild<QWidget *>(QStringLiteral("stsWelcome")));

    auto *pages = f.child<QTabWidget>("pgcPrinc");
    QCOMPARE(pages->count(), 1);
    QVERIFY(!pages->tabBar()->isVisible());
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("stsMain"));
    auto *work = f.child<QTabWidget>("pgcMain");
    QCOMPARE(work->tabText(0), QStringLiteral("Tasks"));
    QCOMPARE(work->tabText(1), QStringLiteral("Calendar"));
    QCOMPARE(work->currentIndex(), 0);
    QCOMPARE(f.child<QGroupBox>("grpProjects")->title(), QStringLiteral("Projects"));
    QCOMPARE(f.child<QToolButton>("btnNews")->toolTip(), QStringLiteral("Check News"));
    QCOMPARE(f.child<QToolButton>("btnUpdate")->toolTip(), QStringLiteral("Check Updates"));
    QCOMPARE(f.child<QToolButton>("btnHelp")->toolTip(), QStringLiteral("Help"));
    QCOMPARE(f.child<QCalendarWidget>("calPlanner")->size(), QSize(200, 150));
    QCOMPARE(f.child<QCalendarWidget>("calPlanner")->firstDayOfWeek(), Qt::Sunday);

    auto *tasks = f.child<QTableView>("lvwItems");
    const QStringList taskColumns = {QStringLiteral("Done"), QStringLiteral("Task Description"),
                                     QStringLiteral("Task Notes"), QStringLiteral("Start Date"),
                                     QStringLiteral("End Date")};
    QCOMPARE(tasks->model()->columnCount(), taskColumns.size());
    for (int c = 0; c < taskColumns.size(); ++c)
        QCOMPARE(tasks->model()->headerData(c, Qt::Horizontal).toString(), taskColumns[c]);
    QCOMPARE(tasks->columnWidth(0), 40);
    auto *hours = f.child<QTreeWidget>("lvwToDo");
    QCOMPARE(hours->headerItem()->text(0), QStringLiteral("Hour"));
    QCOMPARE(hours->headerItem()->text(1), QStringLiteral("Action"));
    QVERIFY(hours->columnWidth(0) >= 60);
}

void TestMainWindow::create_withoutWelcomePage_switchesNewsTimerOn()
{
    TMainWindowFixture f;
    f.open();
    auto *timer = f.frm->findChild<QTimer *>(QStringLiteral("Timer2"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 100);
    QVERIFY(timer->isActive() || timer->isSingleShot());
    QTRY_VERIFY(!timer->isActive());
}

// Every control a user can reach says what it is to a screen reader.
void TestMainWindow::controls_allHaveAccessibleNames()
{
    TMainWindowFixture f;
    f.open();
    const auto widgets = f.frm->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        const bool reachable = qobject_cast<QAbstractButton *>(widget) ||
                               qobject_cast<QAbstractItemView *>(widget) ||
                               qobject_cast<QProgressBar *>(widget) ||
                               qobject_cast<QCalendarWidget *>(widget);
        if (!reachable || widget->objectName().startsWith(QLatin1String("qt_")) ||
            widget->objectName().isEmpty())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(widget->objectName()));
    }
}

void TestMainWindow::hourRowsAndTasksPage_areReadyAtStart()
{
    TMainWindowFixture f;
    f.open();
    QCOMPARE(f.child<QTreeWidget>("lvwToDo")->topLevelItemCount(), 24);
    QCOMPARE(f.child<QCalendarWidget>("calPlanner")->selectedDate(), QDate::currentDate());
    QCOMPARE(f.child<QTreeView>("tvwMain")->model()->rowCount(), 0);
    QCOMPARE(f.child<QProgressBar>("MainGauge")->text(), QStringLiteral("0/0 tasks  0%"));
}

void TestMainWindow::save_writesAllThreeFilesExactly()
{
    TMainWindowFixture f;
    const QByteArray categories = "Web\r\nMail\r\n";
    const QByteArray projects = "Header^Shop^Web^1/2/2008^3/4/2008^\r\n"
                                "^True^,^Buy domain^,^a\xA5\xA5\xA7\xA7" "b^,^^,^^\r\n"
                                "EndProject\r\n";
    const QByteArray hours = "12/13/2007^12:00 M^Call Bob^\r\n";
    f.writeFile(QStringLiteral("categories.dat"), categories);
    f.writeFile(QStringLiteral("Projects.dat"), projects);
    f.writeFile(QStringLiteral("Hours.dat"), hours);
    TfrmMain &frm = f.open();
    QVERIFY(f.errors.isEmpty());
    QFile::remove(f.path(QStringLiteral("categories.dat")));
    QFile::remove(f.path(QStringLiteral("Projects.dat")));
    QFile::remove(f.path(QStringLiteral("Hours.dat")));

    QTest::keyClick(&frm, Qt::Key_S, Qt::ControlModifier);
    // A shortcut presses its button the way a click does, after a short animation.
    QTRY_COMPARE(f.readFile(QStringLiteral("categories.dat")), categories);
    QCOMPARE(f.readFile(QStringLiteral("Projects.dat")), projects);
    QCOMPARE(f.readFile(QStringLiteral("Hours.dat")), hours);
    QVERIFY(f.messages().isEmpty());
    QVERIFY(!frm.isModified());
}

void TestMainWindow::save_failingFile_replacesNoFileAndSaysWhy()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Old\r\n");
    TfrmMain &frm = f.open();
    frm.projects().Categories.append("Web");
    frm.setModified(true);
    // A folder where the project file should go cannot be replaced by a file.
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Projects.dat")));

    QVERIFY(!frm.btnSaveClick());
    QCOMPARE(f.readFile(QStringLiteral("categories.dat")), QByteArray("Old\r\n"));
    QVERIFY(!QFile::exists(f.path(QStringLiteral("Hours.dat"))));
    QCOMPARE(f.messages(),
             QList<QString>{QStringLiteral("Projects.dat is a folder, not a file, so it could not "
                                           "be saved.\n\nNo file was changed, and your changes "
                                           "are still here.")});
    QCOMPARE(frm.msgMain().log().first().kind, QMessageBox::Warning);
    QVERIFY(frm.isModified());
}

// Input that arrives while the save runs is not taken: the file holds what the window showed
// when the user saved. A Delete key on a selected project would otherwise ask to delete it.
void TestMainWindow::save_inputDuringTheSave_isNotTaken()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Shop^Web^^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    auto *tree = f.child<QTreeView>("tvwMain");
    tree->expandAll();
    f.selectTreeNode(0, 0);
    tree->setFocus();
    frm.setModified(true);

    QCoreApplication::postEvent(tree, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete,
                                                    Qt::NoModifier));
    QVERIFY(frm.btnSaveClick());
    QCoreApplication::processEvents();

    QVERIFY(f.messages().isEmpty());
    QCOMPARE(frm.projects().count(), 1);
    QVERIFY(!frm.isModified());
    QVERIFY(f.readFile(QStringLiteral("Projects.dat")).startsWith("Header^Shop^"));
}

// A change that comes in while the save runs (here from a timer) is not on disk: the window
// must still say there are unsaved changes.
void TestMainWindow::save_changeDuringTheSave_keepsModifiedFlag()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    frm.setModified(true);
    QTimer::singleShot(0, &frm, [&frm] { frm.setModified(true); });

    QVERIFY(frm.btnSaveClick());
    QVERIFY(frm.isModified());
    QVERIFY(frm.btnSaveClick());
    QVERIFY(!frm.isModified());
}

void TestMainWindow::load_unreadableFile_isReportedAndNeverOverwritten()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
    // A folder named like the project file exists but cannot be read as one.
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("projects.dat")));
    QVERIFY(QDir(f.path(QStringLiteral("projects.dat"))).mkdir(QStringLiteral("keep")));
    TfrmMain &frm = f.open();
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors.first().contains(QStringLiteral("projects.dat")));
    QCOMPARE(frm.projects().Categories.count(), 1);

    // The other files are saved; the unreadable one holds no change of this run.
    QVERIFY(frm.btnSaveClick());
    QVERIFY(QFileInfo(f.path(QStringLiteral("projects.dat"))).isDir());
    QVERIFY(QFileInfo::exists(f.path(QStringLiteral("projects.dat/keep"))));
    QCOMPARE(f.readFile(QStringLiteral("categories.dat")), QByteArray("Web\r\n"));
    QVERIFY(QFile::exists(f.path(QStringLiteral("Hours.dat"))));
    QCOMPARE(f.messages().size(), 1);
    QVERIFY(f.messages().first().contains(QStringLiteral("projects.dat was left untouched")));
    QCOMPARE(frm.msgMain().log().first().kind, QMessageBox::Information);
}

void TestMainWindow::load_damagedFile_isReportedAndKeptBeforeTheFirstSave()
{
    TMainWindowFixture f;
    const QByteArray damaged = QByteArrayLiteral("Header^Shop^Web^^^\r\nEndProject\r\n"
                                                 "Header^Mail^Web^^^\r\n^False^,^a\0b^,^^,^^,^^\r\n"
                                                 "EndProject\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), damaged);
    TfrmMain &frm = f.open();
    QTRY_COMPARE(f.messages().size(), 1);
    QCOMPARE(f.messages().first(),
             QStringLiteral("Some data files are damaged. Everything that could be read was "
                            "loaded; these parts were left out:\n\n"
                            "Projects.dat\n"
                            "  line 3: the project \"Mail\" has no \"EndProject\" line, so it was "
                            "left out with its 1 task(s)\n"
                            "  line 4: a NUL byte ends the text here; the 25 bytes after it were "
                            "not read\n"
                            "  Before \"Save Changes\" replaces it, the file is kept as it is now "
                            "as Projects.dat.bak."));
    QCOMPARE(frm.msgMain().log().first().kind, QMessageBox::Warning);
    QCOMPARE(frm.projects().count(), 1);

    QVERIFY(frm.btnSaveClick());
    QCOMPARE(f.readFile(QStringLiteral("Projects.dat.bak")), damaged);
    QCOMPARE(f.readFile(QStringLiteral("Projects.dat")),
             QByteArray("Header^Shop^Web^^^\r\nEndProject\r\n"));
}

void TestMainWindow::load_damagedStartGoesOnWithTheOtherFiles()
{
    TMainWindowFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Hours.dat")));
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Shop^Web^^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    QCOMPARE(f.errors.size(), 1);
    QCOMPARE(frm.projects().count(), 1);
    QCOMPARE(f.child<QTreeView>("tvwMain")->model()->rowCount(), 1);
    QCOMPARE(f.child<QTreeWidget>("lvwToDo")->topLevelItemCount(), 24);
}

void TestMainWindow::close_withoutChanges_asksNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    QVERIFY(frm.close());
    QVERIFY(f.messages().isEmpty());
    QVERIFY(!QFile::exists(f.path(QStringLiteral("Projects.dat"))));
}

void TestMainWindow::close_withChanges_asksAndFollowsTheAnswer_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("written");
    QTest::newRow("save") << int(QMessageBox::Save) << true << true;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
}

void TestMainWindow::close_withChanges_asksAndFollowsTheAnswer()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, written);
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    frm.projects().Categories.append("Web");
    frm.setModified(true);
    frm.msgMain().scriptAnswers({QMessageBox::StandardButton(answer)});

    QCOMPARE(frm.close(), closed);
    QCOMPARE(f.messages(), QList<QString>{QStringLiteral("Save changes before closing?")});
    QCOMPARE(frm.msgMain().log().first().buttons,
             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(QFile::exists(f.path(QStringLiteral("categories.dat"))), written);
    QCOMPARE(frm.isVisible(), !closed);
}

void TestMainWindow::close_saveThatFails_keepsWindowOpen()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    frm.setModified(true);
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Hours.dat")));
    frm.msgMain().scriptAnswers({QMessageBox::Save});
    QVERIFY(!frm.close());
    QVERIFY(frm.isVisible());
    QCOMPARE(f.messages().size(), 2);
    QVERIFY(f.messages().last().contains(QStringLiteral("Hours.dat")));
}

void TestMainWindow::close_saveWithFileLeftUntouched_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<int>("kind");
    // An unreadable file holds no change of this run: nothing is lost by closing.
    QTest::newRow("unreadable file: closes with a notice")
        << false << true
        << QStringLiteral("Your changes were saved, except:\n\nHours.dat was left untouched: it "
                          "could not be read when the program started, so saving would "
                          "overwrite what is in it.")
        << int(QMessageBox::Information);
    // Changes to a read-only file would be lost: the window stays open.
    QTest::newRow("read-only file: stays open with a warning")
        << true << false
        << QStringLiteral("Your changes were saved, except:\n\nHours.dat is read-only, so it "
                          "was left untouched and your changes to it are not saved.")
        << int(QMessageBox::Warning);
}

void TestMainWindow::close_saveWithFileLeftUntouched()
{
    QFETCH(bool, readOnly);
    QFETCH(bool, closed);
    QFETCH(QString, notice);
    QFETCH(int, kind);
    TMainWindowFixture f;
    if (readOnly) {
        f.writeFile(QStringLiteral("Hours.dat"), "d^h^a^\r\n");
        QVERIFY(QFile::setPermissions(f.path(QStringLiteral("Hours.dat")),
                                      QFileDevice::ReadOwner));
    } else {
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Hours.dat")));
    }
    TfrmMain &frm = f.open();
    frm.projects().Categories.append("Web");
    frm.setModified(true);
    frm.msgMain().scriptAnswers({QMessageBox::Save});

    QCOMPARE(frm.close(), closed);
    QCOMPARE(frm.isVisible(), !closed);
    QCOMPARE(f.messages(), (QList<QString>{QStringLiteral("Save changes before closing?"), notice}));
    QCOMPARE(int(frm.msgMain().log().last().kind), kind);
    QCOMPARE(f.readFile(QStringLiteral("categories.dat")), QByteArray("Web\r\n"));
}

void TestMainWindow::tab_goesRoundTheWholeWindow_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QStringList>("mustVisit");
    const QStringList common = {"btn1", "btnSave", "btnMakeMoney", "btnAbout", "tvwMain"};
    const QStringList tasks = common + QStringList{"lvwItems", "btnAdd", "btnEdit", "btnRemove"};
    const QStringList calendar = common + QStringList{"lvwToDo", "btnEditHour", "btnClearHour"};
    QTest::newRow("Tasks page, Tab") << 0 << false << tasks;
    QTest::newRow("Tasks page, Shift+Tab") << 0 << true << tasks;
    QTest::newRow("Calendar page, Tab") << 1 << false << calendar;
    QTest::newRow("Calendar page, Shift+Tab") << 1 << true << calendar;
}

// From the first button, Tab passes every control of the page shown and comes back to it.
void TestMainWindow::tab_goesRoundTheWholeWindow()
{
    QFETCH(int, page);
    QFETCH(bool, backwards);
    QFETCH(QStringList, mustVisit);
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^A^^^\r\n^False^,^T^,^^,^^,^^\r\nEndProject\r\n");
    f.open();
    f.child<QTabWidget>("pgcMain")->setCurrentIndex(page);
    auto *first = f.child<QWidget>("btn1");
    first->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int step = 0; step < 60; ++step) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QVERIFY2(!visited.contains(focus->objectName()) || focus == first,
                 qPrintable(QStringLiteral("stuck at or back to %1 after %2")
                                .arg(focus->objectName(), visited.join(QLatin1Char(',')))));
        if (focus == first && step > 0)
            break;
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QCOMPARE(QApplication::focusWidget(), first);
    for (const QString &name : mustVisit)
        QVERIFY2(visited.contains(name), qPrintable(name + QStringLiteral(" not in ") + visited.join(QLatin1Char(','))));
}

void TestMainWindow::enter_onFocusedToolbarButton_clicksIt()
{
    TMainWindowFixture f;
    f.open();
    auto *save = f.child<QPushButton>("btnSave");
    save->setFocus(Qt::TabFocusReason);
    QTest::keyClick(save, Qt::Key_Return);
    QVERIFY(QFile::exists(f.path(QStringLiteral("Projects.dat"))));

    bool added = false; // Enter on "New Project" opens its dialog
    f.nextDialog([&added](QDialog &) {
        added = true;
        return false;
    });
    auto *newProject = f.child<QPushButton>("btn1");
    newProject->setFocus(Qt::TabFocusReason);
    QTest::keyClick(newProject, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(added);
}

void TestMainWindow::ctrlTab_switchesPagesFromAnywhere()
{
    TMainWindowFixture f;
    f.open();
    auto *pages = f.child<QTabWidget>("pgcMain");
    auto *tree = f.child<QTreeView>("tvwMain");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 1);
    QTest::keyClick(tree, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 0);
    QTest::keyClick(tree, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pages->currentIndex(), 1);
}

// Qt's modified marker: "Project Zelvo*" while there are unsaved changes.
void TestMainWindow::caption_marksUnsavedChanges()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^A^^^\r\n^False^,^T^,^^,^^,^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    QCOMPARE(frm.windowHandle()->title(), QStringLiteral("Project Zelvo"));
    f.selectTreeNode(0, 0);
    f.taskRows().setData(f.taskRows().index(0, 0), Qt::Checked, Qt::CheckStateRole);
    QVERIFY(frm.isWindowModified());
    QCOMPARE(frm.windowHandle()->title(), QStringLiteral("Project Zelvo*"));
    QTest::mouseClick(f.child<QPushButton>("btnSave"), Qt::LeftButton);
    QVERIFY(!frm.isWindowModified());
    QCOMPARE(frm.windowHandle()->title(), QStringLiteral("Project Zelvo"));
    // A caption set later (a brand's name) gets the marker as well.
    frm.setWindowTitle(QStringLiteral("Planner Pro"));
    frm.setModified(true);
    QCOMPARE(frm.windowHandle()->title(), QStringLiteral("Planner Pro*"));
}

void TestMainWindow::longNames_areCutShortWithTheirWholeTextAsToolTip()
{
    TMainWindowFixture f;
    const QByteArray name = QByteArray("Launch ").repeated(60).trimmed();
    const QByteArray notes = QByteArray("step ").repeated(80).trimmed();
    f.writeFile(QStringLiteral("categories.dat"), "A\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Short^A^^^\r\n^False^,^T^,^n^,^^,^^\r\nEndProject\r\n"
                                                "Header^" + name + "^A^1/1/2027^2/1/2027^\r\n"
                                                "^False^,^Short task^,^" + notes + "^,^^,^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    const QSize size = frm.size();
    const QSize minimum = frm.minimumSizeHint();
    f.selectTreeNode(0, 0);
    QApplication::processEvents();
    const QSize minimumShort = frm.minimumSizeHint();
    f.selectTreeNode(0, 1);
    QApplication::processEvents();

    // The window keeps its size and its minimum size.
    QCOMPARE(frm.size(), size);
    QCOMPARE(frm.minimumSizeHint(), minimum);
    QCOMPARE(frm.minimumSizeHint(), minimumShort);
    auto *header = f.child<TElidedLabel>("lblProjName");
    QCOMPARE(header->text(), QStringLiteral("Project Name:  ") + QString::fromLatin1(name));
    QVERIFY(header->isElided());
    QCOMPARE(header->toolTip(), header->text());
    QVERIFY(header->width() <= frm.width());

    // A task cell cut off shows its whole text as a tool tip; one that fits shows none.
    auto *list = f.child<QTableView>("lvwItems");
    auto *grid = qobject_cast<TGridDelegate *>(list->itemDelegate());
    QVERIFY(grid);
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.widget = list;
    option.font = list->font();
    option.fontMetrics = list->fontMetrics();
    const QModelIndex notesCell = list->model()->index(0, 2);
    const QModelIndex taskCell = list->model()->index(0, 1);
    option.rect = list->visualRect(notesCell);
    QVERIFY(grid->isCutOff(option, notesCell));
    option.rect = list->visualRect(taskCell);
    QVERIFY(!grid->isCutOff(option, taskCell));

    QHelpEvent help(QEvent::ToolTip, list->visualRect(notesCell).center(),
                    list->viewport()->mapToGlobal(list->visualRect(notesCell).center()));
    QApplication::sendEvent(list->viewport(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QString::fromLatin1(notes));
    QToolTip::hideText();

    // A short name is not cut and has no tool tip.
    f.selectTreeNode(0, 0);
    QVERIFY(!header->isElided());
    QCOMPARE(header->toolTip(), QString());
}

void TestMainWindow::showAgain_keepsThePageAndTheSelection_data()
{
    QTest::addColumn<bool>("minimise");
    QTest::newRow("minimise and restore") << true;
    QTest::newRow("hide and show") << false;
}

// Only the first showing runs the start-up steps.
void TestMainWindow::showAgain_keepsThePageAndTheSelection()
{
    QFETCH(bool, minimise);
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^A^^^\r\n^False^,^T^,^^,^^,^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    auto *tree = f.child<QTreeView>("tvwMain");
    f.selectTreeNode(0, 0);
    auto *pages = f.child<QTabWidget>("pgcMain");
    pages->setCurrentIndex(1);
    if (minimise) {
        frm.showMinimized();
        QTRY_VERIFY(frm.isMinimized());
        frm.showNormal();
        QTRY_VERIFY(!frm.isMinimized());
    } else {
        frm.hide();
        frm.show();
    }
    QVERIFY(frm.isVisible());
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(tree->currentIndex(), f.treeNode(0, 0));
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  P1"));
    QCOMPARE(f.taskRows().rowCount(), 1);
}

void TestMainWindow::splitter_treeWidensAndKeepsItsWidthWhenTheWindowIsResized_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("Tasks") << 0;
    QTest::newRow("Calendar") << 1;
}

// The user drags the splitter's handle 120 pixels to the right in a window of its first size,
// then makes the window wider and narrower again.
void TestMainWindow::splitter_treeWidensAndKeepsItsWidthWhenTheWindowIsResized()
{
    QFETCH(int, page);
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    f.child<QTabWidget>("pgcMain")->setCurrentIndex(page);
    auto *splitter = f.child<QSplitter>("splMain");
    QWidget *tree = splitter->widget(0);
    const int first = tree->width();
    QSplitterHandle *handle = splitter->handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    // The pointer's way in the splitter's coordinates: the handle moves along under it.
    const QPoint start = handle->mapToParent(grip);
    const auto at = [handle, start](int dx) { return handle->mapFromParent(start + QPoint(dx, 0)); };
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    for (int dx = 20; dx <= 120; dx += 20)
        QTest::mouseMove(handle, at(dx));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, at(120));
    QTRY_COMPARE(tree->width(), first + 120);

    for (const int width : {1100, 900, 772}) {
        frm.resize(width, frm.height());
        QTRY_COMPARE(frm.width(), width);
        QCOMPARE(tree->width(), first + 120);
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
