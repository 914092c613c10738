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
