// The planner window with the large book (10,000 projects in 100 categories, 1,000,000 tasks,
// one project with 100,000 of them), each operation beside its floor, measured in the same run:
//
//   project tree rebuild      against a bare QTreeWidget filled with the same nodes (icons
//                             made once, detached nodes handed over in one call)
//   select the large project  against a bare list filled with the same rows, detached, in one
//   until its list is filled  call
//   leave it                  against clearing that bare list
//
// Every operation ends with a synchronous repaint of the view, so that work a view defers to
// its next paint is counted on both sides. Best of the rounds (default 5).
//
//   bench_ui [rounds]

#include "bench_support.h"

#include "planner/ProjectTree.h"
#include "planner/TaskList.h"
#include "shell/FMain.h"
#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

namespace {

double BestMs(int rounds, const std::function<void()> &prepare, const std::function<void()> &run)
{
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (round == 0 || ms < best)
            best = ms;
    }
    return best;
}

void Report(const char *what, double ms, double floorMs)
{
    std::printf("%-38s %9.1f ms   floor %9.1f ms   %5.2fx\n", what, ms, floorMs, ms / floorMs);
    std::fflush(stdout);
}

// The floor of the tree: the same nodes with the same two icons, detached, in one call.
void FillTreeFloor(QTreeWidget &tree, const TProjects &book, const QIcon &categoryIcon,
                   const QIcon &projectIcon)
{
    tree.clear();
    QHash<QByteArray, QList<QTreeWidgetItem *>> children;
    for (int p = 0; p < book.count(); ++p) {
        const TProject &project = *book.object(p);
        auto *node = new QTreeWidgetItem(QStringList(FromAnsi(project.Name)));
        node->setIcon(0, projectIcon);
        children[project.Category].append(node);
    }
    QList<QTreeWidgetItem *> roots;
    for (int c = 0; c < book.Categories.count(); ++c) {
        auto *root = new QTreeWidgetItem(QStringList(FromAnsi(book.Categories.at(c))));
        root->setIcon(0, categoryIcon);
        root->addChildren(children.take(book.Categories.at(c)));
        roots.append(root);
    }
    tree.addTopLevelItems(roots);
    for (QTreeWidgetItem *root : std::as_const(roots))
        root->setExpanded(true);
    tree.viewport()->repaint();
}

// The floor of the task list: the project's rows, detached, in one call.
void FillListFloor(QTreeWidget &list, const TProject &project)
{
    QList<QTreeWidgetItem *> rows;
    rows.reserve(project.Tasks.count());
    for (int i = 0; i < project.Tasks.count(); ++i) {
        const TTask task = project.Tasks.at(i);
        auto *row = new QTreeWidgetItem(QStringList{
            QString(), FromAnsi(FlattenLineBreaks(task.Description)),
            FromAnsi(FlattenLineBreaks(task.Notes)), FromAnsi(task.StartDate),
            FromAnsi(task.EndDate)});
        row->setCheckState(0, task.Done ? Qt::Checked : Qt::Unchecked);
        rows.append(row);
    }
    list.addTopLevelItems(rows);
    list.viewport()->repaint();
}

QTreeWidgetItem *NodeOf(QTreeWidget &tree, const QByteArray &name)
{
    const QString text = FromAnsi(name);
    for (int r = 0; r < tree.topLevelItemCount(); ++r) {
        QTreeWidgetItem *root = tree.topLevelItem(r);
        for (int c = 0; c < root->childCount(); ++c)
            if (root->child(c)->text(0) == text)
                return root->child(c);
    }
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dir;
    const QString appDir = dir.path() + QLatin1Char('/');
    const TLargeBook shape;
    WriteLargeBook(appDir, shape);
    std::printf("book: %d categories, %d projects, %lld tasks (one project with %d), %d hours\n\n",
                shape.categories, shape.projects, static_cast<long long>(shape.tasks),
                shape.bigProjectTasks, shape.hours);

    TfrmMain frm(appDir);
    frm.show();
    QApplication::processEvents();
    auto *tvwMain = frm.findChild<QTreeWidget *>(QStringLiteral("tvwMain"));
    auto *lvwItems = frm.findChild<QTreeWidget *>(QStringLiteral("lvwItems"));
    const TProjects &book = frm.projects();
    const QByteArray bigName = book.object(shape.bigProject)->Name;

    // The floors live in a window of their own, shown at the sizes the main window gives.
    QWidget floorWindow;
    floorWindow.resize(frm.size());
    auto *floorTree = new QTreeWidget(&floorWindow);
    floorTree->setGeometry(tvwMain->geometry());
    floorTree->setHeaderHidden(true);
    auto *floorList = new QTreeWidget(&floorWindow);
    floorList->setColumnCount(5);
    floorList->setGeometry(QRect(tvwMain->width() + 10, 0, lvwItems->width(), lvwItems->height()));
    floorWindow.show();
    QApplication::processEvents();
    const QIcon categoryIcon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon projectIcon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);

    const double rebuild = BestMs(rounds, [] {}, [&] {
        frm.projectTree().RebuildProjectTree(QByteArray());
        tvwMain->viewport()->repaint();
    });
    const double rebuildFloor = BestMs(rounds, [] {}, [&] {
        FillTreeFloor(*floorTree, book, categoryIcon, projectIcon);
    });
    Report("project tree rebuild", rebuild, rebuildFloor);

    QTreeWidgetItem *bigNode = NodeOf(*tvwMain, bigName);
    QTreeWidgetItem *categoryNode = bigNode->parent();
    const double select = BestMs(
        rounds, [&] { tvwMain->setCurrentItem(categoryNode); },
        [&] {
            tvwMain->setCurrentItem(bigNode);
            lvwItems->viewport()->repaint();
        });
    const TProject &big = *book.object(shape.bigProject);
    const double selectFloor = BestMs(
        rounds, [&] { floorList->clear(); }, [&] { FillListFloor(*floorList, big); });
    Report("select the 100,000-task project", select, selectFloor);

    const double leave = BestMs(
        rounds, [&] { tvwMain->setCurrentItem(bigNode); },
        [&] {
            tvwMain->setCurrentItem(categoryNode);
            lvwItems->viewport()->repaint();
        });
    const double leaveFloor = BestMs(
        rounds, [&] { FillListFloor(*floorList, big); },
        [&] {
            floorList->clear();
            floorList->viewport()->repaint();
        });
    Report("leave it (select its category)", leave, leaveFloor);
    std::fflush(stdout);
    _exit(0); // skip tearing down a million objects
}
