#include "common/MainWindowFixture.h"

#include "planner/ProjectTree.h"
#include "planner/TaskList.h"
#include "toolkit/Gauge.h"

#include <QLabel>

namespace {

// A book of one category "Web" and the project "Shop" with tasks; done ones marked by '+'.
QByteArray ProjectFile(const QList<QByteArray> &tasks)
{
    QByteArray file = "Header^Shop^Web^1/2/2008^3/4/2008^\r\n";
    for (const QByteArray &task : tasks) {
        const bool done = task.startsWith('+');
        file += (done ? "^True^,^" : "^False^,^") + task.mid(done ? 1 : 0) + "^,^^,^^,^^\r\n";
    }
    return file + "EndProject\r\n";
}

} // namespace

class TestTaskList : public QObject {
    Q_OBJECT

private:
    // Opens the book and selects the project "Shop".
    TfrmMain &openShop(TMainWindowFixture &f, const QList<QByteArray> &tasks)
    {
        f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
        f.writeFile(QStringLiteral("Projects.dat"), ProjectFile(tasks));
        TfrmMain &frm = f.open();
        auto *tree = f.child<QTreeWidget>("tvwMain");
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        return frm;
    }
    static QTreeWidget *list(TMainWindowFixture &f) { return f.child<QTreeWidget>("lvwItems"); }
    static QString gauge(TMainWindowFixture &f) { return f.child<TGauge>("MainGauge")->text(); }
    static void select(TMainWindowFixture &f, int row)
    {
        list(f)->setCurrentItem(list(f)->topLevelItem(row));
    }

private Q_SLOTS:
    void show_projectOf11With3Done_showsHeaderAndGauge();
    void leaveAndReturn_largeProject_emptiesAtOnceAndShowsItAgain();
    void show_notesWithLineBreaks_areFlattenedOnOneLine();
    void tick_updatesTaskAndGaugeAtOnce();
    void add_appendsTaskAsLastRow();
    void add_withoutProject_isRefused();
    void add_cancel_changesNothing();
    void edit_replacesFieldsAndKeepsRowSelected();
    void edit_offersNotesWithTheirLineBreaks();
    void refusals_data();
    void refusals();
    void remove_askedAndConfirmed_removesTaskAndUpdatesGauge();
    void remove_cancel_changesNothing();
    void keys_deleteRemovesAndDoubleClickEdits();
};

void TestTaskList::show_projectOf11With3Done_showsHeaderAndGauge()
{
    TMainWindowFixture f;
    QList<QByteArray> tasks;
    for (int i = 0; i < 11; ++i)
        tasks << (i < 3 ? "+T" : "T") + QByteArray::number(i);
    openShop(f, tasks);
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  Shop"));
    QCOMPARE(f.child<QLabel>("lblStartDate")->text(), QStringLiteral("Start Date:  1/2/2008"));
    QCOMPARE(f.child<QLabel>("lblEndDate")->text(), QStringLiteral("End Date:  3/4/2008"));
    QCOMPARE(f.child<TGauge>("MainGauge")->value(), 27);
    QCOMPARE(gauge(f), QStringLiteral("3/11 tasks  27%"));
    QCOMPARE(list(f)->topLevelItemCount(), 11);
    QCOMPARE(list(f)->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(list(f)->topLevelItem(3)->checkState(0), Qt::Unchecked);
    QCOMPARE(list(f)->topLevelItem(3)->text(0), QString());
    QCOMPARE(list(f)->topLevelItem(3)->text(1), QStringLiteral("T3"));
}

void TestTaskList::show_notesWithLineBreaks_areFlattenedOnOneLine()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Shop^Web^^^\r\n"
                                                "^False^,^Call^,^a\xA5\xA5\xA7\xA7" "b^,^1/2/2008^,^^\r\n"
                                                "EndProject\r\n");
    f.open();
    auto *tree = f.child<QTreeWidget>("tvwMain");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    QCOMPARE(list(f)->topLevelItem(0)->text(2), QStringLiteral("a  b"));
    QCOMPARE(list(f)->topLevelItem(0)->text(3), QStringLiteral("1/2/2008"));
    QCOMPARE(gauge(f), QStringLiteral("0/1 tasks  0%"));
}

void TestTaskList::tick_updatesTaskAndGaugeAtOnce()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B", "C"});
    QTreeWidgetItem *row = list(f)->topLevelItem(1);
    row->setCheckState(0, Qt::Checked);
    QVERIFY(frm.projects().object(0)->Tasks.done(1));
    QCOMPARE(gauge(f), QStringLiteral("1/3 tasks  33%"));
    QVERIFY(frm.isModified());
    row->setCheckState(0, Qt::Unchecked);
    QVERIFY(!frm.projects().object(0)->Tasks.done(1));
    QCOMPARE(gauge(f), QStringLiteral("0/3 tasks  0%"));
}

void TestTaskList::add_appendsTaskAsLastRow()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A"});
    QString caption;
    f.nextDialog([&caption](QDialog &dialog) {
        caption = dialog.windowTitle();
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("  Write copy "));
        TMainWindowFixture::setField(dialog, "memNotes", QStringLiteral("line 1\nline 2"));
        dialog.findChild<QCheckBox *>(QStringLiteral("chkDone"))->setChecked(true);
        TMainWindowFixture::setField(dialog, "edtStartDate", QStringLiteral("10/14/2008"));
        return true;
    });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Add task"));
    const TProject &shop = *frm.projects().object(0);
    QCOMPARE(shop.Tasks.count(), 2);
    const TTask task = shop.Tasks.at(1);
    QCOMPARE(task.Description, QByteArray("  Write copy "));
    QCOMPARE(shop.Tasks.key(1).toByteArray(), QByteArray("  Write copy "));
    QCOMPARE(task.Notes, QByteArray("line 1\r\nline 2"));
    QVERIFY(task.Done);
    QCOMPARE(task.StartDate, QByteArray("10/14/2008"));
    QCOMPARE(list(f)->topLevelItemCount(), 2);
    QCOMPARE(list(f)->topLevelItem(1)->text(1), QStringLiteral("  Write copy "));
    // The new task is selected, so the user sees what happened.
    QCOMPARE(list(f)->selectedItems(), QList<QTreeWidgetItem *>{list(f)->topLevelItem(1)});
    QCOMPARE(gauge(f), QStringLiteral("1/2 tasks  50%"));
    QVERIFY(frm.isModified());
}

void TestTaskList::add_withoutProject_isRefused()
{
    TMainWindowFixture f;
    openShop(f, {"A"});
    auto *tree = f.child<QTreeWidget>("tvwMain");
    tree->setCurrentItem(tree->topLevelItem(0)); // the category node clears the details
    bool shown = false;
    f.nextDialog([&shown](QDialog &) { return shown = true; });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QVERIFY(!shown);
    QCOMPARE(f.messages(), QList<QString>{QStringLiteral(
                               "You have to create a new project or open an existing before add tasks!")});
    QCOMPARE(f.frm->msgMain().log().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestTaskList::add_cancel_changesNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A"});
    f.nextDialog([](QDialog &dialog) {
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("B"));
        return false;
    });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QCOMPARE(frm.projects().object(0)->Tasks.count(), 1);
    QVERIFY(!frm.isModified());
}

void TestTaskList::edit_replacesFieldsAndKeepsRowSelected()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B", "C"});
    select(f, 1);
    QString caption, shownName;
    f.nextDialog([&](QDialog &dialog) {
        caption = dialog.windowTitle();
        shownName = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text();
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("B2"));
        dialog.findChild<QCheckBox *>(QStringLiteral("chkDone"))->setChecked(true);
        return true;
    });
    QTest::mouseClick(f.child<QPushButton>("btnEdit"), Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Edit task"));
    QCOMPARE(shownName, QStringLiteral("B"));
    const TProject &shop = *frm.projects().object(0);
    QCOMPARE(shop.Tasks.at(1).Description, QByteArray("B2"));
    // The key keeps the description it was added with.
    QCOMPARE(shop.Tasks.key(1).toByteArray(), QByteArray("B"));
    QCOMPARE(list(f)->topLevelItem(1)->text(1), QStringLiteral("B2"));
    QCOMPARE(list(f)->selectedItems(), QList<QTreeWidgetItem *>{list(f)->topLevelItem(1)});
    QCOMPARE(gauge(f), QStringLiteral("1/3 tasks  33%"));
}

void TestTaskList::edit_offersNotesWithTheirLineBreaks()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Shop^Web^^^\r\n"
                                                "^False^,^Call^,^a\xA5\xA5\xA7\xA7" "b^,^^,^^\r\n"
                                                "EndProject\r\n");
    TfrmMain &frm = f.open();
    auto *tree = f.child<QTreeWidget>("tvwMain");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    select(f, 0);
    QString notes;
    f.nextDialog([&notes](QDialog &dialog) {
        notes = dialog.findChild<QPlainTextEdit *>(QStringLiteral("memNotes"))->toPlainText();
        return true;
    });
    QTest::mouseClick(f.child<QPushButton>("btnEdit"), Qt::LeftButton);
    QCOMPARE(notes, QStringLiteral("a\nb"));
    QCOMPARE(frm.projects().object(0)->Tasks.at(0).Notes, QByteArray("a\r\nb"));
}

void TestTaskList::refusals_data()
{
    QTest::addColumn<QList<QByteArray>>("tasks");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("edit, no tasks") << QList<QByteArray>{} << "btnEdit" << "There is not tasks to edit!";
    QTest::newRow("edit, none selected")
        << QList<QByteArray>{"A"} << "btnEdit" << "Please select a task to edit!";
    QTest::newRow("remove, no tasks")
        << QList<QByteArray>{} << "btnRemove" << "There is not tasks to remove!";
    QTest::newRow("remove, none selected")
        << QList<QByteArray>{"A"} << "btnRemove" << "Please select a task to remove!";
}

void TestTaskList::refusals()
{
    QFETCH(QList<QByteArray>, tasks);
    QFETCH(QString, button);
    QFETCH(QString, message);
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, tasks);
    bool shown = false;
    f.nextDialog([&shown](QDialog &) { return shown = true; });
    QTest::mouseClick(frm.findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(!shown);
    QCOMPARE(f.messages(), QList<QString>{message});
    QCOMPARE(frm.msgMain().log().first().kind, QMessageBox::Information);
    QCOMPARE(frm.projects().object(0)->Tasks.count(), tasks.size());
    QVERIFY(!frm.isModified());
    SetDialogScript({});
}

void TestTaskList::remove_askedAndConfirmed_removesTaskAndUpdatesGauge()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"+A", "B", "C"});
    select(f, 1);
    QTest::mouseClick(f.child<QPushButton>("btnRemove"), Qt::LeftButton);
    QCOMPARE(f.messages(), QList<QString>{QStringLiteral("Are you sure do you want remove this taks?")});
    QCOMPARE(frm.msgMain().log().first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    const TProject &shop = *frm.projects().object(0);
    QCOMPARE(shop.Tasks.count(), 2);
    QCOMPARE(shop.Tasks.at(1).Description, QByteArray("C"));
    QCOMPARE(list(f)->topLevelItemCount(), 2);
    QCOMPARE(list(f)->topLevelItem(1)->text(1), QStringLiteral("C"));
    QCOMPARE(gauge(f), QStringLiteral("1/2 tasks  50%"));
    QVERIFY(frm.isModified());
}

void TestTaskList::remove_cancel_changesNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B"});
    select(f, 0);
    frm.msgMain().scriptAnswers({QMessageBox::Cancel});
    QTest::mouseClick(f.child<QPushButton>("btnRemove"), Qt::LeftButton);
    QCOMPARE(frm.projects().object(0)->Tasks.count(), 2);
    QCOMPARE(list(f)->topLevelItemCount(), 2);
    QVERIFY(!frm.isModified());
}

void TestTaskList::keys_deleteRemovesAndDoubleClickEdits()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B"});
    select(f, 0);
    QTest::keyClick(list(f), Qt::Key_Delete);
    QCOMPARE(frm.projects().object(0)->Tasks.count(), 1);

    bool edited = false;
    f.nextDialog([&edited](QDialog &dialog) {
        edited = dialog.windowTitle() == QStringLiteral("Edit task");
        return false;
    });
    QTreeWidgetItem *row = list(f)->topLevelItem(0);
    const QPoint centre = list(f)->visualItemRect(row).center();
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list(f)->viewport(), Qt::LeftButton, {}, centre);
    QVERIFY(edited);
}

// A large list is emptied at once and its rows freed over the next turns of the event loop;
// coming back, or closing the window meanwhile, works as with a small one.
void TestTaskList::leaveAndReturn_largeProject_emptiesAtOnceAndShowsItAgain()
{
    TMainWindowFixture f;
    QByteArray file = "Header^Big^A^^^\r\n";
    for (int t = 0; t < 6000; ++t)
        file += "^" + QByteArray(t % 3 == 0 ? "True" : "False") + "^,^Task " + QByteArray::number(t) + "^,^^,^^,^^\r\n";
    file += "EndProject\r\n";
    f.writeFile(QStringLiteral("categories.dat"), "A\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), file);
    f.open();
    QTreeWidget *tree = f.child<QTreeWidget>("tvwMain");
    QTreeWidgetItem *project = tree->topLevelItem(0)->child(0);
    for (int round = 0; round < 2; ++round) {
        tree->setCurrentItem(project);
        QCOMPARE(list(f)->topLevelItemCount(), 6000);
        QCOMPARE(list(f)->topLevelItem(5999)->text(1), QStringLiteral("Task 5999"));
        QCOMPARE(gauge(f), QStringLiteral("2000/6000 tasks  33%"));
        tree->setCurrentItem(tree->topLevelItem(0));
        QCOMPARE(list(f)->topLevelItemCount(), 0);
        QCOMPARE(list(f)->currentItem(), nullptr);
        QCOMPARE(gauge(f), QStringLiteral("0/0 tasks  0%"));
        if (round == 0)
            QTest::qWait(50); // the first time the rows are freed; the second, the window goes first
    }
}

QTEST_MAIN(TestTaskList)
#include "tst_tasklist.moc"
