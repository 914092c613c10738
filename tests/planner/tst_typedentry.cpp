// The entry dialogs as a person meets them: opened by the program's own buttons and keys,
// typed into key by key from the focus they open with, left with Tab, Enter or Escape.

#include "common/MainWindowFixture.h"
#include "common/TypingUser.h"

#include "planner/ProjectTree.h"

#include <QCalendarWidget>
#include <QTabWidget>

using namespace TypingUser;

namespace {

const QByteArray kCategories = "Ebooks\r\nSoftware\r\n";
const QByteArray kOneProject = "Header^Shop^Ebooks^1/1/2027^1/31/2027^\r\nEndProject\r\n";

// The window on a book of two categories and the project "Shop", selected.
TfrmMain &OpenOnShop(TMainWindowFixture &f)
{
    f.writeFile(QStringLiteral("categories.dat"), kCategories);
    f.writeFile(QStringLiteral("Projects.dat"), kOneProject);
    TfrmMain &frm = f.open();
    frm.projectTree().RebuildProjectTree("Shop");
    return frm;
}

const TProject *Project(TfrmMain &frm, const QByteArray &name)
{
    int index = -1;
    return frm.projects().FindProjectByName(name, index);
}

} // namespace

class TestTypedEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newProject_typedWithTabsAndEnter_isStoredAsTyped();
    void editProject_opensWithTheNameSelected_typingReplacesIt();
    void newCategory_tabToOkAndEnter();
    void addTask_typedThroughEveryField_isStoredAsTyped();
    void addTask_spaceAfterTabGoesIntoTheNotes();
    void addTask_escapeCancels();
    void hourList_enterEditsAndDeleteClearsTheSelectedHour_data();
    void hourList_enterEditsAndDeleteClearsTheSelectedHour();
};

void TestTypedEntry::newProject_typedWithTabsAndEnter_isStoredAsTyped()
{
    TMainWindowFixture f;
    TfrmMain &frm = OpenOnShop(f);
    TOpened opened;
    NextDialog(&opened, [](QDialog &) {
        Type(QStringLiteral("Dog Training"));
        Press(Qt::Key_Tab);  // the category list
        Press(Qt::Key_Down); // "Software"
        Press(Qt::Key_Tab);  // the start date, selected: typing replaces it
        Type(QStringLiteral("1/5/2027"));
        Press(Qt::Key_Tab);
        Type(QStringLiteral("2/1/2027"));
        Press(Qt::Key_Return);
    });
    QTest::mouseClick(f.child<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(opened.focus, QStringLiteral("edtName"));
    QVERIFY(!opened.stillOpen);
    const TProject *project = Project(frm, "Dog Training");
    QVERIFY(project);
    QCOMPARE(project->Category, QByteArray("Software"));
    QCOMPARE(project->StartDate, QByteArray("1/5/2027"));
    QCOMPARE(project->EndDate, QByteArray("2/1/2027"));
    QCOMPARE(f.messages(), QList<QString>());
}

void TestTypedEntry::editProject_opensWithTheNameSelected_typingReplacesIt()
{
    TMainWindowFixture f;
    TfrmMain &frm = OpenOnShop(f);
    TOpened opened;
    NextDialog(&opened, [](QDialog &) {
        Type(QStringLiteral("Web Shop"));
        Press(Qt::Key_Tab);
        Press(Qt::Key_Tab); // the start date
        Press(Qt::Key_Tab); // the end date
        Type(QStringLiteral("2/28/2027"));
        Press(Qt::Key_Enter, Qt::KeypadModifier);
    });
    frm.projectTree().Rename1Click();
    QCOMPARE(opened.focus, QStringLiteral("edtName"));
    QCOMPARE(opened.selected, QStringLiteral("Shop"));
    QVERIFY(!opened.stillOpen);
    QVERIFY(!Project(frm, "Shop"));
    const TProject *project = Project(frm, "Web Shop");
    QVERIFY(project);
    QCOMPARE(project->Category, QByteArray("Ebooks"));
    QCOMPARE(project->StartDate, QByteArray("1/1/2027"));
    QCOMPARE(project->EndDate, QByteArray("2/28/2027"));
}

void TestTypedEntry::newCategory_tabToOkAndEnter()
{
    TMainWindowFixture f;
    TfrmMain &frm = OpenOnShop(f);
    TOpened opened;
    NextDialog(&opened, [](QDialog &) {
        Type(QStringLiteral("Courses"));
        Press(Qt::Key_Tab); // Ok
        Press(Qt::Key_Return);
    });
    frm.projectTree().NewCategory1Click();
    QCOMPARE(opened.focus, QStringLiteral("edtName"));
    QVERIFY(!opened.stillOpen);
    QCOMPARE(frm.projects().Categories.toList(),
             (QList<QByteArray>{"Ebooks", "Software", "Courses"}));
}

void TestTypedEntry::addTask_typedThroughEveryField_isStoredAsTyped()
{
    TMainWindowFixture f;
    TfrmMain &frm = OpenOnShop(f);
    TOpened opened;
    NextDialog(&opened, [](QDialog &) {
        Type(QStringLiteral("Write copy"));
        Press(Qt::Key_Tab); // the notes: Enter there adds a line
        Type(QStringLiteral("Short lines"));
        Press(Qt::Key_Return);
        Type(QStringLiteral("No jargon"));
        Press(Qt::Key_Tab);
        Type(QStringLiteral("1/5/2027"));
        Press(Qt::Key_Tab);
        Type(QStringLiteral("1/9/2027"));
        Press(Qt::Key_Tab);   // "Task is done"
        Press(Qt::Key_Space); // ticks it
        Press(Qt::Key_Tab);   // Ok
        Press(Qt::Key_Space);
    });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QCOMPARE(opened.focus, QStringLiteral("edtName"));
    QVERIFY(!opened.stillOpen);
    const TProject *project = Project(frm, "Shop");
    QCOMPARE(project->Tasks.count(), 1);
    const TTask task = project->Tasks.at(0);
    QCOMPARE(task.Description, QByteArray("Write copy"));
    QCOMPARE(task.Notes, QByteArray("Short lines\r\nNo jargon"));
    QCOMPARE(task.StartDate, QByteArray("1/5/2027"));
    QCOMPARE(task.EndDate, QByteArray("1/9/2027"));
    QVERIFY(task.Done);
}

void TestTypedEntry::addTask_spaceAfterTabGoesIntoTheNotes()
{
    TMainWindowFixture f;
    TfrmMain &frm = OpenOnShop(f);
    TOpened opened;
    bool openAfterSpace = false;
    NextDialog(&opened, [&openAfterSpace](QDialog &dialog) {
        Type(QStringLiteral("Call Bob"));
        Press(Qt::Key_Tab);
        Type(QStringLiteral(" after lunch"));
        openAfterSpace = dialog.isVisible();
        Press(Qt::Key_Return, Qt::ControlModifier);
    });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QVERIFY(openAfterSpace);
    QVERIFY(!opened.stillOpen);
    const TProject *project = Project(frm, "Shop");
    QCOMPARE(project->Tasks.count(), 1);
    QCOMPARE(project->Tasks.at(0).Notes, QByteArray(" after lunch"));
}

void TestTypedEntry::addTask_escapeCancels()
{
    TMainWindowFixture f;
    TfrmMain &frm = OpenOnShop(f);
    TOpened opened;
    NextDialog(&opened, [](QDialog &) {
        Type(QStringLiteral("Half a task"));
        Press(Qt::Key_Tab);
        Type(QStringLiteral("notes"));
        Press(Qt::Key_Escape);
    });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QVERIFY(!opened.stillOpen);
    QCOMPARE(Project(frm, "Shop")->Tasks.count(), 0);
    QVERIFY(!frm.isModified());
}

void TestTypedEntry::hourList_enterEditsAndDeleteClearsTheSelectedHour_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("keypad Enter") << Qt::Key_Enter;
    QTest::newRow("F2") << Qt::Key_F2;
}

void TestTypedEntry::hourList_enterEditsAndDeleteClearsTheSelectedHour()
{
    QFETCH(Qt::Key, key);
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("Hours.dat"), "1/5/2027^9:00 AM^Call Ann^\r\n");
    TfrmMain &frm = f.open();
    f.child<QTabWidget>("pgcMain")->setCurrentIndex(1);
    f.child<QCalendarWidget>("calPlanner")->setSelectedDate(QDate(2027, 1, 5));
    auto *hours = f.child<QTreeWidget>("lvwToDo");
    hours->setFocus(Qt::TabFocusReason);
    hours->setCurrentItem(hours->topLevelItem(8)); // 9:00 AM

    TOpened opened;
    NextDialog(&opened, [](QDialog &) {
        Type(QStringLiteral("Call Bo")); // replaces the action, selected
        Press(Qt::Key_Tab);               // Ok
        Press(Qt::Key_Backtab, Qt::ShiftModifier); // back: the action is selected again
        Press(Qt::Key_End);
        Type(QStringLiteral("b"));
        Press(Qt::Key_Return);
    });
    QTest::keyClick(hours, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(opened.focus, QStringLiteral("edtName"));
    QCOMPARE(opened.selected, QStringLiteral("Call Ann"));
    QVERIFY(!opened.stillOpen);
    QCOMPARE(hours->topLevelItem(8)->text(1), QStringLiteral("Call Bob"));

    // Delete clears it as "Clear selected action" does: no question.
    QTest::keyClick(hours, Qt::Key_Delete);
    QCOMPARE(hours->topLevelItem(8)->text(1), QString());
    QCOMPARE(frm.hours().indexOf(PlannerKey("1/5/2027", "9:00 AM")), -1);
    QCOMPARE(f.messages(), QList<QString>());
}

QTEST_MAIN(TestTypedEntry)
#include "tst_typedentry.moc"
