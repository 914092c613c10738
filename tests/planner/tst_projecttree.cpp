#include "common/MainWindowFixture.h"

#include "planner/ProjectTree.h"
#include "toolkit/Gauge.h"

#include <QAction>
#include <QCalendarWidget>
#include <QTableView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolTip>

class TestProjectTree : public QObject {
    Q_OBJECT

private:
    static QTreeView *tree(TMainWindowFixture &f) { return f.child<QTreeView>("tvwMain"); }
    // Root r, or its child c.
    static QModelIndex node(TMainWindowFixture &f, int root, int child = -1)
    {
        const QModelIndex r = tree(f)->model()->index(root, 0);
        return child < 0 ? r : tree(f)->model()->index(child, 0, r);
    }

    // The tree as text: "A(P1,P3) B(P2)"; a '*' marks the selected node.
    static QString shape(TMainWindowFixture &f)
    {
        QStringList roots;
        QTreeView *t = tree(f);
        const QAbstractItemModel &model = *t->model();
        const auto mark = [t](const QModelIndex &node) {
            const bool selected = t->currentIndex() == node && t->selectionModel()->isSelected(node);
            return node.data().toString() + (selected ? QStringLiteral("*") : QString());
        };
        for (int r = 0; r < model.rowCount(); ++r) {
            const QModelIndex root = model.index(r, 0);
            QStringList children;
            for (int c = 0; c < model.rowCount(root); ++c)
                children << mark(model.index(c, 0, root));
            roots << mark(root) + (children.isEmpty() ? QString()
                                                      : QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')'));
        }
        return roots.join(QLatin1Char(' '));
    }

    static void selectNode(TMainWindowFixture &f, int root, int child = -1)
    {
        tree(f)->setCurrentIndex(node(f, root, child));
    }

    static void trigger(TMainWindowFixture &f, const char *action)
    {
        f.frm->projectTree().mnuTree().findChild<QAction *>(QLatin1String(action))->trigger();
    }

    static TfrmMain &openBook(TMainWindowFixture &f)
    {
        f.writeFile(QStringLiteral("categories.dat"), "A\r\nB\r\n");
        f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^A^^^\r\nEndProject\r\n"
                                                    "Header^P2^B^^^\r\nEndProject\r\n"
                                                    "Header^P3^A^^^\r\nEndProject\r\n"
                                                    "Header^P4^C^^^\r\nEndProject\r\n");
        return f.open();
    }

    static void newProject(const QString &name, QString *preselected = nullptr)
    {
        TMainWindowFixture::nextDialog([name, preselected](QDialog &dialog) {
            if (preselected)
                *preselected = dialog.findChild<QComboBox *>(QStringLiteral("cbxCategories"))->currentText();
            TMainWindowFixture::setField(dialog, "edtName", name);
            return true;
        });
    }

private Q_SLOTS:
    void rebuild_groupsProjectsUnderTheirCategoriesExactly();
    void menu_hasItsItemsInOrder();
    void select_projectShowsItAndCategoryClearsDetails();
    void newProject_preselectsCategoryOfSelection_data();
    void newProject_preselectsCategoryOfSelection();
    void newProject_isSelectedAndShownEmpty();
    void newProject_pickedDate_isStoredAsTheShortDateWritesIt();
    void newProject_withoutCategories_getsNoNode();
    void newProject_sameNameAsExisting_showsTheFirst();
    void newCategory_addsOnceIgnoringCase();
    void editProject_renamesKeyAndKeepsTasks();
    void editCategory_movesExactlyItsProjects();
    void deleteProject_askedAndConfirmed();
    void deleteProject_cancel_changesNothing();
    void deleteCategory_withProjects_isRefusedAfterTheQuestion();
    void deleteCategory_empty_isRemoved();
    void noSelection_editAndDeleteDoNothing();
    void nothingSelected_commandsLeaveTheFocusedNodeAlone_data();
    void nothingSelected_commandsLeaveTheFocusedNodeAlone();
    void duplicateNames_resolveToTheFirst();
    void rightClick_selectsTheNode();
    void rebuild_columnFitsTheWidestName();
    void f2_editsTheClickedNode_data();
    void f2_editsTheClickedNode();
    void clippedName_showsWholeAsToolTip();
};

void TestProjectTree::rebuild_groupsProjectsUnderTheirCategoriesExactly()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Web\r\nB\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^Web^^^\r\nEndProject\r\n"
                                                "Header^P2^web^^^\r\nEndProject\r\n"
                                                "Header^P3^B^^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    QCOMPARE(shape(f), QStringLiteral("Web(P1) B(P3)"));
    QVERIFY(tree(f)->isExpanded(node(f, 0)));
    QCOMPARE(frm.projects().count(), 3); // P2 has no node but stays in the book

    QVERIFY(frm.btnSaveClick());
    QVERIFY(f.readFile(QStringLiteral("Projects.dat")).contains("Header^P2^web^^^\r\n"));
}

void TestProjectTree::menu_hasItsItemsInOrder()
{
    TMainWindowFixture f;
    f.open();
    QStringList items;
    for (QAction *action : f.frm->projectTree().mnuTree().actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(items, (QStringList{QStringLiteral("New Category"), QStringLiteral("-"),
                                 QStringLiteral("New Project"), QStringLiteral("Edit"),
                                 QStringLiteral("Delete"), QStringLiteral("-"),
                                 QStringLiteral("Export Project..."),
                                 QStringLiteral("Export All..."), QStringLiteral("Print...")}));
}

void TestProjectTree::select_projectShowsItAndCategoryClearsDetails()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    QCOMPARE(shape(f), QStringLiteral("A(P1,P3) B(P2)"));
    selectNode(f, 0, 1);
    QCOMPARE(frm.context().currentProject, frm.projects().object(2));
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  P3"));
    selectNode(f, 1);
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  "));
    QCOMPARE(f.child<QLabel>("lblStartDate")->text(), QStringLiteral("Start Date: "));
    QCOMPARE(f.child<TGauge>("MainGauge")->text(), QStringLiteral("0/0 tasks  0%"));
}

void TestProjectTree::newProject_preselectsCategoryOfSelection_data()
{
    QTest::addColumn<int>("root");
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("category");
    QTest::newRow("project of B") << 1 << 0 << "B";
    QTest::newRow("category B") << 1 << -1 << "B";
    QTest::newRow("nothing selected") << -1 << -1 << "A";
}

void TestProjectTree::newProject_preselectsCategoryOfSelection()
{
    QFETCH(int, root);
    QFETCH(int, child);
    QFETCH(QString, category);
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    if (root >= 0)
        selectNode(f, root, child);
    QString preselected;
    newProject(QStringLiteral("P5"), &preselected);
    QTest::mouseClick(f.child<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(preselected, category);
    QCOMPARE(frm.projects().object(4)->Category, category.toLatin1());
}

void TestProjectTree::newProject_isSelectedAndShownEmpty()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    selectNode(f, 1);
    newProject(QStringLiteral("P5"));
    trigger(f, "AddProject1");
    QCOMPARE(shape(f), QStringLiteral("A(P1,P3) B(P2,P5*)"));
    QCOMPARE(frm.context().currentProject, frm.projects().object(4));
    QCOMPARE(frm.projects().key(4), QByteArray("P5"));
    QCOMPARE(frm.projects().object(4)->Tasks.count(), 0);
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  P5"));
    QCOMPARE(f.child<TGauge>("MainGauge")->text(), QStringLiteral("0/0 tasks  0%"));
    QVERIFY(frm.isModified());
}

// Picked from the drop-down: "1/20/2027", never " 1/20/2027".
void TestProjectTree::newProject_pickedDate_isStoredAsTheShortDateWritesIt()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    TMainWindowFixture::nextDialog([](QDialog &dialog) {
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("P5"));
        auto *start = dialog.findChild<TDateEdit *>(QStringLiteral("edtStartDate"));
        start->showCalendar();
        start->calendar()->setSelectedDate(QDate(2027, 1, 20));
        QTest::keyClick(start->calendar()->findChild<QTableView *>(), Qt::Key_Return);
        return start->text() == QStringLiteral("1/20/2027");
    });
    QTest::mouseClick(f.child<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(frm.projects().count(), 5);
    QCOMPARE(frm.projects().object(4)->StartDate, QByteArray("1/20/2027"));
    QVERIFY(frm.btnSaveClick());
    QVERIFY(f.readFile(QStringLiteral("Projects.dat")).contains("Header^P5^A^1/20/2027^"));
}

void TestProjectTree::newProject_withoutCategories_getsNoNode()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    newProject(QStringLiteral("Lonely"));
    QTest::mouseClick(f.child<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(frm.projects().count(), 1);
    QCOMPARE(frm.projects().object(0)->Category, QByteArray());
    QCOMPARE(tree(f)->model()->rowCount(), 0);
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  "));
}

void TestProjectTree::newProject_sameNameAsExisting_showsTheFirst()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    selectNode(f, 1);
    newProject(QStringLiteral("P1"));
    QTest::mouseClick(f.child<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(frm.projects().count(), 5);
    QCOMPARE(frm.context().currentProject, frm.projects().object(0));
}

void TestProjectTree::newCategory_addsOnceIgnoringCase()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    QString caption;
    f.nextDialog([&caption](QDialog &dialog) {
        caption = dialog.windowTitle();
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("Mail"));
        return true;
    });
    trigger(f, "NewCategory1");
    QCOMPARE(caption, QStringLiteral("Add new category"));
    QCOMPARE(shape(f), QStringLiteral("A(P1,P3) B(P2) Mail*")); // the new category is selected

    f.nextDialog([](QDialog &dialog) {
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("mail"));
        return true;
    });
    trigger(f, "NewCategory1");
    QCOMPARE(frm.projects().Categories.count(), 3);
    QVERIFY(f.messages().isEmpty());
}

void TestProjectTree::editProject_renamesKeyAndKeepsTasks()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\nB\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^a^1/2/2008^^\r\n^False^,^T^,^^,^^,^^\r\nEndProject\r\n");
    f.writeFile(QStringLiteral("categories.dat"), "A\r\nB\r\na\r\n");
    TfrmMain &frm = f.open();
    selectNode(f, 2, 0);
    QString caption, shownName, shownCategory, shownStart;
    f.nextDialog([&](QDialog &dialog) {
        caption = dialog.windowTitle();
        shownName = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text();
        shownCategory = dialog.findChild<QComboBox *>(QStringLiteral("cbxCategories"))->currentText();
        shownStart = TMainWindowFixture::field(dialog, "edtStartDate");
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("Renamed"));
        dialog.findChild<QComboBox *>(QStringLiteral("cbxCategories"))->setCurrentIndex(1);
        return true;
    });
    trigger(f, "Rename1");
    QCOMPARE(caption, QStringLiteral("Edit current project"));
    QCOMPARE(shownName, QStringLiteral("P1"));
    QCOMPARE(shownCategory, QStringLiteral("A")); // first entry equal ignoring case
    QCOMPARE(shownStart, QStringLiteral("1/2/2008"));
    const TProject &project = *frm.projects().object(0);
    QCOMPARE(project.Name, QByteArray("Renamed"));
    QCOMPARE(frm.projects().key(0), QByteArray("Renamed"));
    QCOMPARE(project.Category, QByteArray("B"));
    QCOMPARE(project.Tasks.count(), 1);
    QCOMPARE(shape(f), QStringLiteral("A B(Renamed*) a"));
}

void TestProjectTree::editCategory_movesExactlyItsProjects()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\nB\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^P1^A^^^\r\nEndProject\r\n"
                                                "Header^P2^a^^^\r\nEndProject\r\n"
                                                "Header^P3^A^^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    selectNode(f, 0);
    QString caption, shownName;
    f.nextDialog([&](QDialog &dialog) {
        caption = dialog.windowTitle();
        shownName = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->text();
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("Alpha"));
        return true;
    });
    trigger(f, "Rename1");
    QCOMPARE(caption, QStringLiteral("Edit category"));
    QCOMPARE(shownName, QStringLiteral("A"));
    QCOMPARE(frm.projects().Categories.toList(), (QList<QByteArray>{"Alpha", "B"}));
    QCOMPARE(frm.projects().object(0)->Category, QByteArray("Alpha"));
    QCOMPARE(frm.projects().object(1)->Category, QByteArray("a"));
    QCOMPARE(frm.projects().object(2)->Category, QByteArray("Alpha"));
    QCOMPARE(shape(f), QStringLiteral("Alpha*(P1,P3) B")); // the edited category is selected
}

void TestProjectTree::deleteProject_askedAndConfirmed()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    selectNode(f, 0, 0);
    QTest::keyClick(tree(f), Qt::Key_Delete);
    QCOMPARE(f.messages(), QList<QString>{QStringLiteral("Are you sure to delete current project?")});
    QCOMPARE(frm.msgMain().log().first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(frm.projects().count(), 3);
    QCOMPARE(frm.context().currentProject, nullptr);
    QCOMPARE(shape(f), QStringLiteral("A(P3) B(P2)"));
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  "));
}

void TestProjectTree::deleteProject_cancel_changesNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    selectNode(f, 0, 0);
    frm.msgMain().scriptAnswers({QMessageBox::Cancel});
    trigger(f, "Delete1");
    QCOMPARE(frm.projects().count(), 4);
    QVERIFY(!frm.isModified());
}

void TestProjectTree::deleteCategory_withProjects_isRefusedAfterTheQuestion()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    selectNode(f, 1);
    trigger(f, "Delete1");
    QCOMPARE(f.messages(),
             (QList<QString>{QStringLiteral("Are you sure to delete current category?"),
                             QStringLiteral("You can't delete a category with asociated projects! "
                                            "Please remove first the projects and try again.")}));
    QCOMPARE(frm.projects().Categories.count(), 2);
    QCOMPARE(shape(f), QStringLiteral("A(P1,P3) B*(P2)"));
    QVERIFY(!frm.context().updating);
    QVERIFY(!frm.isModified());
}

void TestProjectTree::deleteCategory_empty_isRemoved()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\nEmpty\r\n");
    TfrmMain &frm = f.open();
    selectNode(f, 1);
    trigger(f, "Delete1");
    QCOMPARE(frm.projects().Categories.toList(), QList<QByteArray>{"A"});
    QCOMPARE(shape(f), QStringLiteral("A"));
    QVERIFY(frm.isModified());
}

void TestProjectTree::noSelection_editAndDeleteDoNothing()
{
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    bool shown = false;
    f.nextDialog([&shown](QDialog &) { return shown = true; });
    trigger(f, "Rename1");
    QTest::keyClick(tree(f), Qt::Key_Delete);
    QVERIFY(!shown);
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(frm.projects().count(), 4);
    SetDialogScript({});
}

void TestProjectTree::nothingSelected_commandsLeaveTheFocusedNodeAlone_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("after start-up") << "start-up";
    QTest::newRow("after Tab into the tree") << "tab";
    QTest::newRow("after Ctrl+click deselects a project") << "ctrl-click project";
    QTest::newRow("after Ctrl+click deselects a category") << "ctrl-click category";
}

// The focused node may be unselected; then the tree has no node to act on.
void TestProjectTree::nothingSelected_commandsLeaveTheFocusedNodeAlone()
{
    QFETCH(QString, how);
    TMainWindowFixture f;
    TfrmMain &frm = openBook(f);
    QTreeView *t = tree(f);
    if (how == QLatin1String("tab")) {
        f.child<QPushButton>("btnSave")->setFocus(Qt::TabFocusReason);
        t->setFocus(Qt::TabFocusReason);
    } else if (how.startsWith(QLatin1String("ctrl-click"))) {
        const QModelIndex clicked = how.endsWith(QLatin1String("project")) ? node(f, 1, 0) : node(f, 1);
        const QPoint at = t->visualRect(clicked).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(t->selectionModel()->isSelected(clicked));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(t->currentIndex(), clicked);
    }
    QVERIFY(!t->selectionModel()->hasSelection());

    bool shown = false;
    f.nextDialog([&shown](QDialog &) { return shown = true; });
    trigger(f, "Rename1");
    trigger(f, "Delete1");
    QTest::keyClick(t, Qt::Key_Delete);
    QVERIFY(!shown);
    QCOMPARE(f.messages(), QList<QString>());
    QCOMPARE(frm.projects().count(), 4);
    QCOMPARE(frm.projects().Categories.count(), 2);

    // New Project takes no category from the focused node: the first one is offered.
    QString preselected;
    newProject(QStringLiteral("P5"), &preselected);
    QTest::mouseClick(f.child<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(preselected, QStringLiteral("A"));
}

void TestProjectTree::duplicateNames_resolveToTheFirst()
{
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "A\r\nB\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Twin^A^1/1/2001^^\r\nEndProject\r\n"
                                                "Header^Twin^B^2/2/2002^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    QCOMPARE(shape(f), QStringLiteral("A(Twin) B(Twin)"));
    selectNode(f, 1, 0);
    QCOMPARE(frm.context().currentProject, frm.projects().object(0));
    QCOMPARE(f.child<QLabel>("lblStartDate")->text(), QStringLiteral("Start Date:  1/1/2001"));
    trigger(f, "Delete1");
    QCOMPARE(frm.projects().count(), 1);
    QCOMPARE(frm.projects().object(0)->Category, QByteArray("B"));
}

void TestProjectTree::rightClick_selectsTheNode()
{
    TMainWindowFixture f;
    openBook(f);
    const QModelIndex clicked = node(f, 1, 0);
    const QPoint at = tree(f)->visualRect(clicked).center();
    QMenu &menu = f.frm->projectTree().mnuTree();
    emit tree(f)->customContextMenuRequested(at);
    QCOMPARE(tree(f)->currentIndex(), clicked);
    QTRY_VERIFY(menu.isVisible());
    menu.hide();
}

// Long names scroll sideways: the column is as wide as the widest node, whichever it is.
void TestProjectTree::rebuild_columnFitsTheWidestName()
{
    TMainWindowFixture f;
    QByteArray projects;
    for (int p = 0; p < 40; ++p)
        projects += "Header^" + QByteArray(p == 17 ? "WWWWWWWWWWWWWWWWWWWWWWWWWWWW" : "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii")
                    + QByteArray::number(p) + "^B^^^\r\nEndProject\r\n";
    f.writeFile(QStringLiteral("categories.dat"), "A\r\nB\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), projects);
    f.open();
    QTreeView *t = tree(f);
    QApplication::processEvents();
    const int needed = static_cast<QAbstractItemView *>(t)->sizeHintForColumn(0);
    QVERIFY2(t->columnWidth(0) >= needed, qPrintable(QStringLiteral("%1 < %2").arg(t->columnWidth(0)).arg(needed)));
    QVERIFY(t->columnWidth(0) <= needed + 8);
    QVERIFY(t->horizontalScrollBar()->maximum() > 0);
}

void TestProjectTree::f2_editsTheClickedNode_data()
{
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shape");
    QTest::newRow("project") << 0 << "Edit current project" << "A(P1,P3) B(Renamed*)";
    QTest::newRow("category") << -1 << "Edit category" << "A(P1,P3) Renamed*(P2)";
}

void TestProjectTree::f2_editsTheClickedNode()
{
    QFETCH(int, child);
    QFETCH(QString, caption);
    QFETCH(QString, shape);
    TMainWindowFixture f;
    openBook(f);
    QTest::mouseClick(tree(f)->viewport(), Qt::LeftButton, {}, tree(f)->visualRect(node(f, 1, child)).center());
    QVERIFY(tree(f)->hasFocus());
    QString shown;
    f.nextDialog([&shown](QDialog &dialog) {
        shown = dialog.windowTitle();
        TMainWindowFixture::setField(dialog, "edtName", QStringLiteral("Renamed"));
        return true;
    });
    QTest::keyClick(tree(f), Qt::Key_F2);
    QCOMPARE(shown, caption);
    QCOMPARE(this->shape(f), shape);
}

// A name the pane cuts off shows whole as a tool tip; one that fits shows none.
void TestProjectTree::clippedName_showsWholeAsToolTip()
{
    TMainWindowFixture f;
    const QByteArray longName = QByteArray("Launch ").repeated(20).trimmed();
    f.writeFile(QStringLiteral("categories.dat"), "A\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Short^A^^^\r\nEndProject\r\nHeader^" + longName +
                                                    "^A^^^\r\nEndProject\r\n");
    f.open();
    QTreeView *t = tree(f);
    QApplication::processEvents();
    const auto hover = [t](const QModelIndex &at) {
        const QPoint centre = QPoint(t->visualRect(at).left() + 30, t->visualRect(at).center().y());
        QHelpEvent help(QEvent::ToolTip, centre, t->viewport()->mapToGlobal(centre));
        QApplication::sendEvent(t->viewport(), &help);
    };
    QVERIFY(t->visualRect(node(f, 0, 1)).right() > t->viewport()->width());
    hover(node(f, 0, 1));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QString::fromLatin1(longName));
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    hover(node(f, 0, 0));
    QTest::qWait(50);
    QVERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestProjectTree)
#include "tst_projecttree.moc"
