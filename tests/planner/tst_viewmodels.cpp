// The models under the project tree and the task list, over a book in memory.
#include "model/UProjects.h"
#include "planner/ProjectTreeModel.h"
#include "planner/TaskTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

using Col = TTaskTableModel::Column;

void AddProject(TProjects &book, const QByteArray &name, const QByteArray &category)
{
    auto project = std::make_unique<TProject>();
    project->Name = name;
    project->Category = category;
    book.append(name, std::move(project));
}

// The tree as text: "A(P1,P3) B(P2)".
QString Shape(const QAbstractItemModel &model)
{
    QStringList roots;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex root = model.index(r, 0);
        QStringList children;
        for (int c = 0; c < model.rowCount(root); ++c)
            children << model.index(c, 0, root).data().toString();
        roots << root.data().toString() +
                     (children.isEmpty() ? QString() : QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')'));
    }
    return roots.join(QLatin1Char(' '));
}

} // namespace

class TestViewModels : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tree_groupsProjectsUnderTheirCategories_data();
    void tree_groupsProjectsUnderTheirCategories();
    void tree_rebuildFollowsTheBook();
    void tree_lastProjectNamed_isTheLastInTreeOrder();
    void tree_singleEdits_data();
    void tree_singleEdits();
    void tree_singleEdits_categoryListedTwice();
    void tasks_cellsShowTheTasks_data();
    void tasks_cellsShowTheTasks();
    void tasks_headersAndFlags();
    void tasks_tick_reachesTheTaskOnceAndOnlyOnChange();
    void tasks_singleEditsAreAnnouncedRowByRow();
    void tasks_setTasks_isOneReset();
};

void TestViewModels::tree_groupsProjectsUnderTheirCategories_data()
{
    QTest::addColumn<QList<QByteArray>>("categories");
    QTest::addColumn<QList<QByteArray>>("projects"); // "name/category"
    QTest::addColumn<QString>("shape");
    QTest::newRow("book order within each category; an unlisted category has no node")
        << QList<QByteArray>{"A", "B"} << QList<QByteArray>{"P1/A", "P2/B", "P3/A", "P4/C"}
        << "A(P1,P3) B(P2)";
    QTest::newRow("the category must match exactly, letter case included")
        << QList<QByteArray>{"Web"} << QList<QByteArray>{"P1/web", "P2/Web"} << "Web(P2)";
    QTest::newRow("a category listed twice shows its projects twice")
        << QList<QByteArray>{"A", "A"} << QList<QByteArray>{"P1/A"} << "A(P1) A(P1)";
    QTest::newRow("categories without projects, no categories")
        << QList<QByteArray>{"A", "B"} << QList<QByteArray>{} << "A B";
    QTest::newRow("nothing") << QList<QByteArray>{} << QList<QByteArray>{"P1/A"} << "";
    QTest::newRow("Windows-1252 names become text")
        << QList<QByteArray>{"Caf\xE9"} << QList<QByteArray>{"\x80 5/Caf\xE9"}
        << QStringLiteral("Caf\u00E9(\u20AC 5)");
}

void TestViewModels::tree_groupsProjectsUnderTheirCategories()
{
    QFETCH(QList<QByteArray>, categories);
    QFETCH(QList<QByteArray>, projects);
    QFETCH(QString, shape);
    TProjects book(QStringLiteral("/nowhere/"));
    for (const QByteArray &category : categories)
        book.Categories.append(category);
    for (const QByteArray &project : projects)
        AddProject(book, project.left(project.indexOf('/')), project.mid(project.indexOf('/') + 1));
    TProjectTreeModel model(book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(Shape(model), shape);
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex root = model.categoryNode(r);
        QVERIFY(!model.isProject(root));
        QCOMPARE(model.nameOf(root), book.Categories.at(r));
        for (int c = 0; c < model.rowCount(root); ++c)
            QVERIFY(model.isProject(model.index(c, 0, root)));
    }
}

void TestViewModels::tree_rebuildFollowsTheBook()
{
    TProjects book(QStringLiteral("/nowhere/"));
    book.Categories.append("A");
    AddProject(book, "P1", "A");
    TProjectTreeModel model(book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    book.Categories.append("B");
    AddProject(book, "P2", "B");
    book.object(0)->Name = "P1 renamed";
    model.rebuild();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(Shape(model), QStringLiteral("A(P1 renamed) B(P2)"));
    book.removeAt(0);
    book.Categories.removeAt(0);
    model.rebuild();
    QCOMPARE(Shape(model), QStringLiteral("B(P2)"));
}

void TestViewModels::tree_lastProjectNamed_isTheLastInTreeOrder()
{
    TProjects book(QStringLiteral("/nowhere/"));
    book.Categories.append("A");
    book.Categories.append("B");
    AddProject(book, "Twin", "B");
    AddProject(book, "Twin", "A");
    AddProject(book, "Other", "A");
    TProjectTreeModel model(book);
    const QModelIndex last = model.lastProjectNamed("Twin");
    QCOMPARE(last.parent().row(), 1); // under B, though first in the book
    QCOMPARE(last.row(), 0);
    QVERIFY(!model.lastProjectNamed("twin").isValid());
}

// Each edit as the tree's commands make it: the book changed, then the model told (or, for a
// removal, told while the entry goes). The nodes must be those a regrouping of the changed book
// shows, announced row by row (checked by the tester) without a reset unless a category is
// listed twice or a root before the last goes.
void TestViewModels::tree_singleEdits_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("resets");
    QTest::newRow("add project") << "add P5 to A" << "A(P1,P3,P5) B(P2) C" << 0;
    QTest::newRow("add project to the empty category") << "add P5 to C" << "A(P1,P3) B(P2) C(P5)" << 0;
    QTest::newRow("add project without a category node") << "add P5 to Z" << "A(P1,P3) B(P2) C" << 0;
    QTest::newRow("rename project") << "rename P3" << "A(P1,P3 renamed) B(P2) C" << 0;
    QTest::newRow("move project, before the others") << "move P3 to B" << "A(P1) B(P2,P3) C" << 0;
    QTest::newRow("move project, after the others") << "move P1 to B" << "A(P3) B(P1,P2) C" << 0;
    QTest::newRow("move project to the empty category") << "move P2 to C" << "A(P1,P3) B C(P2)" << 0;
    QTest::newRow("move project out of the orphans") << "move Orphan to C" << "A(P1,P3) B(P2) C(Orphan)" << 0;
    QTest::newRow("move project to no node") << "move P1 to Z" << "A(P3) B(P2) C" << 0;
    QTest::newRow("delete project, the first") << "delete P1" << "A(P3) B(P2) C" << 0;
    QTest::newRow("delete project, the last") << "delete P3" << "A(P1) B(P2) C" << 0;
    QTest::newRow("delete the orphan") << "delete Orphan" << "A(P1,P3) B(P2) C" << 0;
    QTest::newRow("add category") << "add category D" << "A(P1,P3) B(P2) C D" << 0;
    QTest::newRow("add category of the orphan") << "add category X" << "A(P1,P3) B(P2) C X(Orphan)" << 0;
    QTest::newRow("rename category") << "rename category A to E" << "E(P1,P3) B(P2) C" << 0;
    QTest::newRow("rename category to the orphan's") << "rename category C to X" << "A(P1,P3) B(P2) X(Orphan)" << 0;
    QTest::newRow("rename category onto another") << "rename category B to A" << "A(P1,P2,P3) A(P1,P2,P3) C" << 0;
    QTest::newRow("delete the last category") << "delete category C" << "A(P1,P3) B(P2)" << 0;
    QTest::newRow("delete the first category") << "delete category A" << "B(P2) C" << 1;
}

void TestViewModels::tree_singleEdits()
{
    QFETCH(QString, edit);
    QFETCH(QString, shape);
    QFETCH(int, resets);
    TProjects book(QStringLiteral("/nowhere/"));
    for (const char *category : {"A", "B", "C"})
        book.Categories.append(category);
    AddProject(book, "P1", "A");
    AddProject(book, "P2", "B");
    AddProject(book, "Orphan", "X");
    AddProject(book, "P3", "A");
    TProjectTreeModel model(book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resetSpy(&model, &QAbstractItemModel::modelReset);
    const QStringList words = edit.split(QLatin1Char(' '));
    const auto position = [&](const QString &name) {
        int index = -1;
        book.FindProjectByName(name.toLatin1(), index);
        return index;
    };
    if (words.at(0) == QLatin1String("add") && words.at(1) != QLatin1String("category")) {
        AddProject(book, words.at(1).toLatin1(), words.at(3).toLatin1());
        model.projectAppended();
    } else if (words.at(0) == QLatin1String("rename") && words.at(1) != QLatin1String("category")) {
        const int at = position(words.at(1));
        book.object(at)->Name += " renamed";
        model.projectChanged(at, book.object(at)->Category);
    } else if (words.at(0) == QLatin1String("move")) {
        const int at = position(words.at(1));
        const QByteArray oldCategory = book.object(at)->Category;
        book.object(at)->Category = words.at(3).toLatin1();
        model.projectChanged(at, oldCategory);
    } else if (words.at(0) == QLatin1String("delete") && words.at(1) != QLatin1String("category")) {
        const int at = position(words.at(1));
        model.removeProject(at, [&] { book.removeAt(at); });
    } else if (words.at(0) == QLatin1String("add")) {
        book.Categories.append(words.at(2).toLatin1());
        model.categoryAppended();
    } else if (words.at(0) == QLatin1String("rename")) {
        const int row = book.Categories.indexOf(words.at(2).toLatin1());
        const QByteArray oldName = book.Categories.at(row);
        const QByteArray newName = words.at(4).toLatin1();
        book.Categories.replace(row, newName);
        for (int p = 0; p < book.count(); ++p)
            if (book.object(p)->Category == oldName)
                book.object(p)->Category = newName;
        model.categoryRenamed(row, oldName);
    } else {
        const int row = book.Categories.indexOf(words.at(2).toLatin1());
        model.removeCategory(row, [&] { book.Categories.removeAt(row); });
    }
    QCOMPARE(Shape(model), shape);
    QCOMPARE(resetSpy.count(), resets);
    TProjectTreeModel regrouped(book);
    QCOMPARE(Shape(regrouped), shape);
    for (int p = 0; p < book.count(); ++p) {
        const QModelIndex node = model.projectNode(p);
        if (node.isValid())
            QCOMPARE(model.nameOf(node), book.object(p)->Name);
    }
}

// A category listed twice shows the same projects under both nodes, after any edit of them.
void TestViewModels::tree_singleEdits_categoryListedTwice()
{
    TProjects book(QStringLiteral("/nowhere/"));
    book.Categories.append("A");
    book.Categories.append("B");
    book.Categories.append("A");
    AddProject(book, "P1", "A");
    AddProject(book, "P2", "B");
    TProjectTreeModel model(book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    AddProject(book, "P3", "A");
    model.projectAppended();
    QCOMPARE(Shape(model), QStringLiteral("A(P1,P3) B(P2) A(P1,P3)"));
    book.object(1)->Category = "A";
    model.projectChanged(1, "B");
    QCOMPARE(Shape(model), QStringLiteral("A(P1,P2,P3) B A(P1,P2,P3)"));
    model.removeProject(0, [&] { book.removeAt(0); });
    QCOMPARE(Shape(model), QStringLiteral("A(P2,P3) B A(P2,P3)"));
}

void TestViewModels::tasks_cellsShowTheTasks_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("display");
    QTest::addColumn<QVariant>("check");
    QTest::newRow("Done: the check box alone") << int(Col::ColDone) << QVariant(QString()) << QVariant(Qt::Checked);
    QTest::newRow("description, Windows-1252") << int(Col::ColDescription)
                                               << QVariant(QStringLiteral("Pay \u20AC 5")) << QVariant();
    QTest::newRow("notes: CR and LF each a blank") << int(Col::ColNotes) << QVariant(QStringLiteral("a  b c"))
                                                   << QVariant();
    QTest::newRow("start date as stored") << int(Col::ColStartDate) << QVariant(QStringLiteral("1/2/2008"))
                                          << QVariant();
    QTest::newRow("end date as stored") << int(Col::ColEndDate) << QVariant(QStringLiteral("31/31/31"))
                                        << QVariant();
}

void TestViewModels::tasks_cellsShowTheTasks()
{
    QFETCH(int, column);
    QFETCH(QVariant, display);
    QFETCH(QVariant, check);
    TTasks tasks;
    tasks.append("Pay", TTask(true, "Pay \x80 5", "a\r\nb\nc", "1/2/2008", "31/31/31"));
    TTaskTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setTasks(&tasks);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 5);
    const QModelIndex cell = model.index(0, column);
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), display.toString());
    QCOMPARE(cell.data(Qt::CheckStateRole).isValid(), check.isValid());
    if (check.isValid())
        QCOMPARE(cell.data(Qt::CheckStateRole).toInt(), check.toInt());
    QCOMPARE(tasks.notes(0).toByteArray(), QByteArray("a\r\nb\nc")); // the stored text is not changed
}

void TestViewModels::tasks_headersAndFlags()
{
    TTaskTableModel model;
    const QStringList captions = {QStringLiteral("Done"), QStringLiteral("Task Description"),
                                  QStringLiteral("Task Notes"), QStringLiteral("Start Date"),
                                  QStringLiteral("End Date")};
    for (int c = 0; c < captions.size(); ++c)
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), captions.at(c));
    TTasks tasks;
    tasks.append("A", TTask(false, "A", {}, {}, {}));
    model.setTasks(&tasks);
    QVERIFY(model.flags(model.index(0, Col::ColDone)) & Qt::ItemIsUserCheckable);
    for (int c = Col::ColDescription; c < Col::ColumnCount; ++c) {
        QVERIFY(!(model.flags(model.index(0, c)) & Qt::ItemIsUserCheckable));
        QVERIFY(!(model.flags(model.index(0, c)) & Qt::ItemIsEditable)); // no editing in place
    }
    QVERIFY(!model.setData(model.index(0, Col::ColDescription), QStringLiteral("B")));
    QCOMPARE(tasks.description(0).toByteArray(), QByteArray("A"));
}

void TestViewModels::tasks_tick_reachesTheTaskOnceAndOnlyOnChange()
{
    TTasks tasks;
    tasks.append("A", TTask(false, "A", {}, {}, {}));
    tasks.append("B", TTask(false, "B", {}, {}, {}));
    TTaskTableModel model;
    model.setTasks(&tasks);
    QSignalSpy ticks(&model, &TTaskTableModel::doneToggled);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(1, Col::ColDone), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(tasks.done(1));
    QVERIFY(!tasks.done(0));
    QCOMPARE(tasks.doneCount(), 1);
    QCOMPARE(ticks.count(), 1);
    QCOMPARE(ticks.first().first().toInt(), 1);
    QCOMPARE(changes.count(), 1);
    // The same value again changes nothing and tells nobody.
    QVERIFY(model.setData(model.index(1, Col::ColDone), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(ticks.count(), 1);
    QVERIFY(model.setData(model.index(1, Col::ColDone), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!tasks.done(1));
    QCOMPARE(ticks.count(), 2);
}

void TestViewModels::tasks_singleEditsAreAnnouncedRowByRow()
{
    TTasks tasks;
    tasks.append("A", TTask(false, "A", {}, {}, {}));
    TTaskTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setTasks(&tasks);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.appendTask("B", TTask(true, "B", "n", {}, {}));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 1);
    QCOMPARE(model.index(1, Col::ColDescription).data().toString(), QStringLiteral("B"));

    model.replaceTask(0, TTask(true, "A2", {}, "1/1/2001", {}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), model.index(0, 0));
    QCOMPARE(changed.first().at(1).toModelIndex(), model.index(0, Col::ColumnCount - 1));
    QCOMPARE(model.index(0, Col::ColDescription).data().toString(), QStringLiteral("A2"));
    QCOMPARE(tasks.key(0).toByteArray(), QByteArray("A")); // the key keeps the description it was added with

    model.removeTask(0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, Col::ColDescription).data().toString(), QStringLiteral("B"));
    QCOMPARE(resets.count(), 0);
}

void TestViewModels::tasks_setTasks_isOneReset()
{
    TTasks first, second;
    first.append("A", TTask(false, "A", {}, {}, {}));
    for (int i = 0; i < 3; ++i)
        second.append("B", TTask(false, "B", {}, {}, {}));
    TTaskTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QCOMPARE(model.rowCount(), 0);
    model.setTasks(&first);
    QCOMPARE(model.rowCount(), 1);
    model.setTasks(&second);
    QCOMPARE(model.rowCount(), 3);
    model.setTasks(nullptr);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.index(0, 0).data().isValid());
    QCOMPARE(resets.count(), 3);
    model.setTasks(nullptr); // none after none changes nothing
    QCOMPARE(resets.count(), 3);
}

QTEST_MAIN(TestViewModels)
#include "tst_viewmodels.moc"
