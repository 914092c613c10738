#include "common/MainWindowFixture.h"

#include "planner/ProjectTree.h"
#include "planner/TaskList.h"
#include "toolkit/Gauge.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTreeView>

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
        selectShop(f);
        return frm;
    }
    static void selectShop(TMainWindowFixture &f)
    {
        auto *tree = f.child<QTreeView>("tvwMain");
        tree->setCurrentIndex(tree->model()->index(0, 0, tree->model()->index(0, 0)));
    }
    static QTableView *list(TMainWindowFixture &f) { return f.child<QTableView>("lvwItems"); }
    static int rows(TMainWindowFixture &f) { return list(f)->model()->rowCount(); }
    static QModelIndex cell(TMainWindowFixture &f, int row, int column = 0)
    {
        return list(f)->model()->index(row, column);
    }
    static QString text(TMainWindowFixture &f, int row, int column) { return cell(f, row, column).data().toString(); }
    static Qt::CheckState checkState(TMainWindowFixture &f, int row)
    {
        return cell(f, row).data(Qt::CheckStateRole).value<Qt::CheckState>();
    }
    static void setCheckState(TMainWindowFixture &f, int row, Qt::CheckState state)
    {
        list(f)->model()->setData(cell(f, row), state, Qt::CheckStateRole);
    }
    // The rows selected, by position.
    static QList<int> selectedRows(TMainWindowFixture &f)
    {
        QList<int> selected;
        for (const QModelIndex &index : list(f)->selectionModel()->selectedRows())
            selected << index.row();
        return selected;
    }
    static QString gauge(TMainWindowFixture &f) { return f.child<TGauge>("MainGauge")->text(); }
    static void select(TMainWindowFixture &f, int row)
    {
        list(f)->setCurrentIndex(cell(f, row));
    }

    // Where the check box of row's "Done" cell is drawn.
    static QPoint checkBoxOf(TMainWindowFixture &f, int row)
    {
        QTableView *view = list(f);
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.widget = view;
        option.rect = view->visualRect(cell(f, row));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view).center();
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
    void keys_enterAndF2EditTheSelectedTask_data();
    void keys_enterAndF2EditTheSelectedTask();
    void click_onTheCheckBox_ticksTheTaskInTheBook();
    void rightClick_opensTheTaskMenu();
    void selectedTickedRow_showsItsTick();
    void selectProject_resetsTheListOnceAndSingleEditsDoNot();
    void accessible_treeAndListCellsCarryTheirTexts();
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
    QCOMPARE(rows(f), 11);
    QCOMPARE(checkState(f, 0), Qt::Checked);
    QCOMPARE(checkState(f, 3), Qt::Unchecked);
    QCOMPARE(text(f, 3, 0), QString());
    QCOMPARE(text(f, 3, 1), QStringLiteral("T3"));
}

void TestTaskList::show_notesWithLineBreaks_areFlattenedOnOneLine()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Shop^Web^^^\r\n"
                                                "^False^,^Call^,^a\xA5\xA5\xA7\xA7" "b^,^1/2/2008^,^^\r\n"
                                                "EndProject\r\n");
    f.open();
    selectShop(f);
    QCOMPARE(text(f, 0, 2), QStringLiteral("a  b"));
    QCOMPARE(text(f, 0, 3), QStringLiteral("1/2/2008"));
    QCOMPARE(gauge(f), QStringLiteral("0/1 tasks  0%"));
}

void TestTaskList::tick_updatesTaskAndGaugeAtOnce()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B", "C"});
    setCheckState(f, 1, Qt::Checked);
    QVERIFY(frm.projects().object(0)->Tasks.done(1));
    QCOMPARE(gauge(f), QStringLiteral("1/3 tasks  33%"));
    QVERIFY(frm.isModified());
    setCheckState(f, 1, Qt::Unchecked);
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
    QCOMPARE(rows(f), 2);
    QCOMPARE(text(f, 1, 1), QStringLiteral("  Write copy "));
    // The new task is selected, so the user sees what happened.
    QCOMPARE(selectedRows(f), QList<int>{1});
    QCOMPARE(gauge(f), QStringLiteral("1/2 tasks  50%"));
    QVERIFY(frm.isModified());
}

void TestTaskList::add_withoutProject_isRefused()
{
    TMainWindowFixture f;
    openShop(f, {"A"});
    auto *tree = f.child<QTreeView>("tvwMain");
    tree->setCurrentIndex(tree->model()->index(0, 0)); // the category node clears the details
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
    QCOMPARE(text(f, 1, 1), QStringLiteral("B2"));
    QCOMPARE(selectedRows(f), QList<int>{1});
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
    selectShop(f);
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
    QCOMPARE(rows(f), 2);
    QCOMPARE(text(f, 1, 1), QStringLiteral("C"));
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
    QCOMPARE(rows(f), 2);
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
    const QPoint centre = list(f)->visualRect(cell(f, 0, 1)).center();
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list(f)->viewport(), Qt::LeftButton, {}, centre);
    QVERIFY(edited);
}

// A large project is shown, left and shown again, and the window closed after it, as a small one.
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
    auto *tree = f.child<QTreeView>("tvwMain");
    const QModelIndex category = tree->model()->index(0, 0);
    const QModelIndex project = tree->model()->index(0, 0, category);
    for (int round = 0; round < 2; ++round) {
        tree->setCurrentIndex(project);
        QCOMPARE(rows(f), 6000);
        QCOMPARE(text(f, 5999, 1), QStringLiteral("Task 5999"));
        QCOMPARE(gauge(f), QStringLiteral("2000/6000 tasks  33%"));
        tree->setCurrentIndex(category);
        QCOMPARE(rows(f), 0);
        QVERIFY(!list(f)->currentIndex().isValid());
        QCOMPARE(gauge(f), QStringLiteral("0/0 tasks  0%"));
        if (round == 0)
            QTest::qWait(50); // the first time the rows are freed; the second, the window goes first
    }
}

void TestTaskList::keys_enterAndF2EditTheSelectedTask_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter);
    QTest::newRow("F2") << int(Qt::Key_F2);
}

void TestTaskList::keys_enterAndF2EditTheSelectedTask()
{
    QFETCH(int, key);
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B"});
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, list(f)->visualRect(cell(f, 1, 1)).center());
    QVERIFY(list(f)->hasFocus());
    QString shownName;
    f.nextDialog([&shownName](QDialog &dialog) {
        shownName = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text();
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("B2"));
        return true;
    });
    QTest::keyClick(list(f), Qt::Key(key));
    QCOMPARE(shownName, QStringLiteral("B"));
    QCOMPARE(frm.projects().object(0)->Tasks.description(1).toByteArray(), QByteArray("B2"));
    QCOMPARE(text(f, 1, 1), QStringLiteral("B2"));
    QCOMPARE(selectedRows(f), QList<int>{1});
}

// A click on the check box ticks the task; a click elsewhere in the row only selects it.
void TestTaskList::click_onTheCheckBox_ticksTheTaskInTheBook()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B", "C"});
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, list(f)->visualRect(cell(f, 2, 2)).center());
    QVERIFY(!frm.projects().object(0)->Tasks.done(2));
    QVERIFY(!frm.isModified());
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, checkBoxOf(f, 1));
    QVERIFY(frm.projects().object(0)->Tasks.done(1));
    QCOMPARE(checkState(f, 1), Qt::Checked);
    QCOMPARE(gauge(f), QStringLiteral("1/3 tasks  33%"));
    QVERIFY(frm.isModified());
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, checkBoxOf(f, 1));
    QVERIFY(!frm.projects().object(0)->Tasks.done(1));
    QCOMPARE(gauge(f), QStringLiteral("0/3 tasks  0%"));
}

void TestTaskList::rightClick_opensTheTaskMenu()
{
    TMainWindowFixture f;
    TfrmMain &frm = openShop(f, {"A", "B"});
    QMenu &menu = frm.taskList().mnuTasks();
    QStringList captions;
    for (const QAction *action : menu.actions())
        captions << action->text();
    QCOMPARE(captions, (QStringList{QStringLiteral("Add New Task"), QStringLiteral("Edit Selected Task"),
                                    QStringLiteral("Remove Selected Task")}));
    // The right button selects the row it presses on, then asks for the menu.
    const QPoint at = list(f)->visualRect(cell(f, 1, 1)).center();
    QTest::mousePress(list(f)->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(list(f)->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, list(f)->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list(f)->viewport(), &request);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(selectedRows(f), QList<int>{1});
    bool edited = false;
    f.nextDialog([&edited](QDialog &dialog) {
        edited = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text() == QStringLiteral("B");
        return false;
    });
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.actions().at(1)).center());
    QVERIFY(edited);
}

// On the blue of a selected row the tick stands out as on a white one: the ticked box and
// the unticked one, each on its selected row, differ by a dark mark.
void TestTaskList::selectedTickedRow_showsItsTick()
{
    TMainWindowFixture f;
    openShop(f, {"+A", "B"});
    const auto selectedBox = [&f](int row) {
        QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, list(f)->visualRect(cell(f, row, 1)).center());
        QApplication::processEvents();
        QImage shot = list(f)->viewport()->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const QRect box(checkBoxOf(f, row) * ratio - QPoint(6, 6) * ratio, QSize(13, 13) * ratio);
        return shot.copy(box);
    };
    const QImage ticked = selectedBox(0);
    const QImage unticked = selectedBox(1);
    QCOMPARE(selectedRows(f), QList<int>{1});
    int mark = 0;
    for (int x = 0; x < ticked.width(); ++x)
        for (int y = 0; y < ticked.height(); ++y)
            if (unticked.pixelColor(x, y).lightness() - ticked.pixelColor(x, y).lightness() > 100)
                ++mark;
    QVERIFY2(mark >= 8, qPrintable(QStringLiteral("%1 pixels of the tick stand out").arg(mark)));
}

void TestTaskList::selectProject_resetsTheListOnceAndSingleEditsDoNot()
{
    TMainWindowFixture f;
    openShop(f, {"A"});
    QSignalSpy resets(&f.taskRows(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&f.taskRows(), &QAbstractItemModel::rowsInserted);
    f.selectTreeNode(0);
    f.selectTreeNode(0, 0);
    QCOMPARE(resets.count(), 2);
    f.nextDialog([](QDialog &dialog) {
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("B"));
        return true;
    });
    QTest::mouseClick(f.child<QPushButton>("btnAdd"), Qt::LeftButton);
    QCOMPARE(resets.count(), 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(rows(f), 2);
}

// Assistive technology finds every node and every cell, with its text and the Done box's state.
void TestTaskList::accessible_treeAndListCellsCarryTheirTexts()
{
    TMainWindowFixture f;
    openShop(f, {"+Write", "Sell"});
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(f.child<QTreeView>("tvwMain"));
    QCOMPARE(tree->text(QAccessible::Name), QStringLiteral("Projects"));
    QCOMPARE(tree->role(), QAccessible::Tree);
    QCOMPARE(tree->tableInterface()->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("Web"));
    QCOMPARE(tree->tableInterface()->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("Shop"));

    QAccessibleInterface *tasks = QAccessible::queryAccessibleInterface(list(f));
    QCOMPARE(tasks->text(QAccessible::Name), QStringLiteral("Tasks"));
    QAccessibleTableInterface *table = tasks->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->columnCount(), 5);
    QCOMPARE(table->columnDescription(1), QStringLiteral("Task Description"));
    QCOMPARE(table->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("Sell"));
    QVERIFY(table->cellAt(0, 0)->state().checked);
    QVERIFY(!table->cellAt(1, 0)->state().checked);
}

QTEST_MAIN(TestTaskList)
#include "tst_tasklist.moc"
