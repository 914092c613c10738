// The planner window with the large book (10,000 projects in 100 categories, 1,000,000 tasks,
// one project with 100,000 of them), each operation beside its floor, measured in the same run:
//
//   project tree rebuild      against a bare QTreeView over a trivial model of the same nodes
//                             (texts converted beforehand, the same two icons), reset and
//                             expanded
//   move a project to another against the same floor: the tree is not rebuilt after an edit,
//   category, from the edit   its model announces the one node that moved; timed from the
//   dialog's OK until painted edit dialog's OK (the dialog itself left out) to the repaint
//   select the large project  against a bare QTableView of the same size and row height over
//   until its list is painted a trivial model of as many rows (texts converted beforehand),
//                             reset from none to all
//   leave it                  against resetting that trivial model to no rows
//   memory added by selecting it, resident, after the views have been used once (floor 0)
//   the window's longest stall from leaving it until half a second later, and during a
//   "Save Changes" that follows (no floor)
//
// Every operation starts from a window that has painted what came before, as a click would,
// and ends with a synchronous repaint of the view, so that work a view defers to its next
// paint is counted on both sides; the program's repaint also paints what else the operation
// changed in its window (the header, the gauge, the tree's selection). Best of the rounds
// (default 5).
//
//   bench_ui [rounds]

#include "bench_support.h"
#include "stall_meter.h"

#include "planner/ProjectTree.h"
#include "planner/ProjectTreeModel.h"
#include "shell/FMain.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

#include <array>
#include <cstdio>
#include <functional>
#include <unistd.h>

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

QString Text(QByteArrayView bytes)
{
    return FromAnsi(QByteArray(bytes.data(), bytes.size()));
}

// The floor of the tree: the same nodes, their texts ready, the same two icons.
class TTrivialTree : public QAbstractItemModel {
public:
    TTrivialTree(const TProjects &book, QIcon categoryIcon, QIcon projectIcon)
        : m_categoryIcon(std::move(categoryIcon)), m_projectIcon(std::move(projectIcon))
    {
        QHash<QByteArray, QStringList> children;
        for (int p = 0; p < book.count(); ++p)
            children[book.object(p)->Category].append(FromAnsi(book.object(p)->Name));
        for (int c = 0; c < book.Categories.count(); ++c) {
            m_roots.append(FromAnsi(book.Categories.at(c)));
            m_children.append(children.value(book.Categories.at(c)));
        }
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) + 1 : 0);
    }
    QModelIndex parent(const QModelIndex &child) const override
    {
        return child.internalId() == 0 ? QModelIndex() : createIndex(int(child.internalId()) - 1, 0, quintptr(0));
    }
    int rowCount(const QModelIndex &parent) const override
    {
        if (!parent.isValid())
            return int(m_roots.size());
        return parent.internalId() == 0 ? int(m_children.at(parent.row()).size()) : 0;
    }
    int columnCount(const QModelIndex &) const override { return 1; }
    // Leaves say so, or the view would keep every node as an expanded one.
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return index.internalId() == 0 ? flags : flags | Qt::ItemNeverHasChildren;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const bool root = index.internalId() == 0;
        if (role == Qt::DecorationRole)
            return root ? m_categoryIcon : m_projectIcon;
        if (role != Qt::DisplayRole)
            return {};
        return root ? m_roots.at(index.row()) : m_children.at(int(index.internalId()) - 1).at(index.row());
    }

private:
    QIcon m_categoryIcon, m_projectIcon;
    QStringList m_roots;
    QList<QStringList> m_children;
};

// The floor of the task list: as many rows as the project, their texts ready.
class TTrivialTable : public QAbstractTableModel {
public:
    explicit TTrivialTable(const TTasks &tasks)
    {
        m_rows.reserve(tasks.count());
        for (int i = 0; i < tasks.count(); ++i)
            m_rows.append({tasks.done(i), {Text(tasks.description(i)), Text(tasks.notes(i)),
                                           Text(tasks.startDate(i)), Text(tasks.endDate(i))}});
    }
    void show(bool rows)
    {
        beginResetModel();
        m_shown = rows ? int(m_rows.size()) : 0;
        endResetModel();
    }
    int rowCount(const QModelIndex &) const override { return m_shown; }
    int columnCount(const QModelIndex &) const override { return 5; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const Row &row = m_rows.at(index.row());
        if (role == Qt::CheckStateRole && index.column() == 0)
            return row.done ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::DisplayRole && index.column() > 0)
            return row.texts.at(index.column() - 1);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return QAbstractTableModel::flags(index) | (index.column() == 0 ? Qt::ItemIsUserCheckable : Qt::NoItemFlags);
    }

private:
    struct Row {
        bool done;
        std::array<QString, 4> texts;
    };
    QList<Row> m_rows;
    int m_shown = 0;
};

// The window's longest stall from doing what until ms milliseconds later.
qint64 StallAfter(TStallMeter &meter, const std::function<void()> &what, int ms)
{
    meter.start();
    what();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    meter.stop();
    return meter.longestGapMs();
}

// The project at position moved to the next category and back, round by round, through the
// tree's "Edit" with the dialog answered at once: the best time from its OK until the tree is
// painted.
double MoveProjectMs(TfrmMain &frm, QTreeView &tree, int position, int rounds)
{
    const TProjects &book = frm.projects();
    const QByteArray name = book.object(position)->Name;
    const int home = book.Categories.indexOf(book.object(position)->Category);
    QElapsedTimer okAt;
    int target = home;
    const TDialogScriptGuard answer([&](QDialog &dialog) {
        dialog.findChild<QComboBox *>(QStringLiteral("cbxCategories"))->setCurrentIndex(target);
        okAt.start();
        return int(QDialog::Accepted);
    });
    double best = 0;
    for (int round = 0; round < 2 * rounds; ++round) {
        target = round % 2 == 0 ? (home + 1) % book.Categories.count() : home;
        tree.setCurrentIndex(frm.projectTree().model().lastProjectNamed(name));
        QApplication::processEvents();
        frm.projectTree().Rename1Click();
        tree.viewport()->repaint();
        const double ms = double(okAt.nsecsElapsed()) / 1e6;
        int moved = -1;
        if (!book.FindProjectByName(name, moved) || book.object(moved)->Category != book.Categories.at(target)) {
            std::fprintf(stderr, "the project did not move\n");
            std::exit(1);
        }
        if (round == 0 || ms < best)
            best = ms;
    }
    return best;
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
    frm.msgMain().setScripted(true);
    frm.show();
    QApplication::processEvents();
    auto *tvwMain = frm.findChild<QTreeView *>(QStringLiteral("tvwMain"));
    auto *lvwItems = frm.findChild<QTableView *>(QStringLiteral("lvwItems"));
    const TProjects &book = frm.projects();
    const TProject &big = *book.object(shape.bigProject);

    // The floors live in a window of their own, shown at the sizes the main window gives.
    QWidget floorWindow;
    floorWindow.resize(frm.size());
    TTrivialTree floorNodes(book, QApplication::style()->standardIcon(QStyle::SP_DirIcon),
                            QApplication::style()->standardIcon(QStyle::SP_FileIcon));
    auto *floorTree = new QTreeView(&floorWindow);
    floorTree->setGeometry(tvwMain->geometry());
    floorTree->setHeaderHidden(true);
    floorTree->setUniformRowHeights(true);
    floorTree->setModel(&floorNodes);
    TTrivialTable floorRows(big.Tasks);
    auto *floorList = new QTableView(&floorWindow);
    floorList->setGeometry(QRect(tvwMain->width() + 10, 0, lvwItems->width(), lvwItems->height()));
    floorList->verticalHeader()->hide();
    floorList->verticalHeader()->setDefaultSectionSize(lvwItems->verticalHeader()->defaultSectionSize());
    floorList->setModel(&floorRows);
    floorWindow.show();
    QApplication::processEvents();

    const double rebuild = BestMs(rounds, [] { QApplication::processEvents(); }, [&] {
        frm.projectTree().RebuildProjectTree(QByteArray());
        tvwMain->viewport()->repaint();
    });
    const double rebuildFloor = BestMs(rounds, [] { QApplication::processEvents(); }, [&] {
        floorNodes.reset();
        floorTree->expandAll();
        floorTree->viewport()->repaint();
    });
    Report("project tree rebuild", rebuild, rebuildFloor);
    // One of the ordinary projects, beside the large one in the book.
    Report("move a project, from the dialog's OK", MoveProjectMs(frm, *tvwMain, shape.bigProject + 1, rounds),
           rebuildFloor);

    const QModelIndex bigNode = frm.projectTree().model().lastProjectNamed(big.Name);
    const QModelIndex categoryNode = bigNode.parent();
    const auto selectBig = [&] {
        tvwMain->setCurrentIndex(bigNode);
        lvwItems->viewport()->repaint();
    };
    const auto leaveBig = [&] {
        tvwMain->setCurrentIndex(categoryNode);
        lvwItems->viewport()->repaint();
    };
    // The user's click comes to a window that has painted what came before.
    const auto settled = [](const std::function<void()> &what) {
        return [what] {
            what();
            QApplication::processEvents();
        };
    };
    // The first showing also makes what the list keeps for any large project, beside the
    // same for the floor.
    const auto addedKb = [](const std::function<void()> &what) {
        ResetPeak();
        const long before = CurrentRssKb();
        what();
        return CurrentRssKb() - before;
    };
    const long firstAdded = addedKb(selectBig);
    const long firstAddedFloor = addedKb([&] {
        floorRows.show(true);
        floorList->viewport()->repaint();
    });
    floorRows.show(false);
    const double select = BestMs(rounds, settled(leaveBig), selectBig);
    const double selectFloor = BestMs(
        rounds, settled([&] { floorRows.show(false); }),
        [&] {
            floorRows.show(true);
            floorList->viewport()->repaint();
        });
    Report("select the 100,000-task project", select, selectFloor);

    const double leave = BestMs(rounds, settled(selectBig), leaveBig);
    const double leaveFloor = BestMs(
        rounds, settled([&] { floorRows.show(true); }),
        [&] {
            floorRows.show(false);
            floorList->viewport()->repaint();
        });
    Report("leave it (select its category)", leave, leaveFloor);

    // Resident memory added by showing the project, once the views have been used.
    long added = 0;
    for (int round = 0; round < rounds; ++round) {
        leaveBig();
        ResetPeak();
        const long before = CurrentRssKb();
        selectBig();
        const long kb = CurrentRssKb() - before;
        if (round == 0 || kb < added)
            added = kb;
    }
    std::printf("%-38s %9ld KiB   the first time %ld KiB (floor's first time %ld KiB)\n",
                "memory added by selecting it", added, firstAdded, firstAddedFloor);

    TStallMeter meter(frm);
    qint64 leaveStall = 0;
    qint64 saveStall = 0;
    double leaveBusy = 0;
    double saveBusy = 0;
    for (int round = 0; round < rounds; ++round) {
        selectBig();
        QApplication::processEvents();
        leaveStall = qMax(leaveStall, StallAfter(meter, [&] { tvwMain->setCurrentIndex(categoryNode); }, 500));
        leaveBusy = qMax(leaveBusy, meter.longestBusyMs());
        selectBig();
        tvwMain->setCurrentIndex(categoryNode);
        frm.setModified(true);
        meter.start();
        const bool saved = frm.btnSaveClick();
        meter.stop();
        if (!saved || !frm.msgMain().log().isEmpty()) {
            std::fprintf(stderr, "the save failed\n");
            return 1;
        }
        saveStall = qMax(saveStall, meter.longestGapMs());
        saveBusy = qMax(saveBusy, meter.longestBusyMs());
    }
    // Worst of the rounds; beside it the most processor time the window's thread used between
    // two turns of its event loop, which waiting for a core on a busy machine does not add to.
    std::printf("%-38s %9lld ms   its thread busy at most %.1f ms\n", "longest stall after leaving it",
                static_cast<long long>(leaveStall), leaveBusy);
    std::printf("%-38s %9lld ms   its thread busy at most %.1f ms\n", "longest stall during a save after it",
                static_cast<long long>(saveStall), saveBusy);
    std::fflush(stdout);
    _exit(0); // skip tearing down a million objects
}
