#include "model/Tasks.h"
#include "util/CodePage.h"

#include <QRandomGenerator>
#include <QTest>

using ByteList = QList<QByteArray>;

namespace {

// What a task list should hold: each task with its key, in list order.
struct TExpected {
    QByteArray key;
    TTask task;
};

bool SameTask(const TTask &a, const TTask &b)
{
    return a.Done == b.Done && a.Description == b.Description && a.Notes == b.Notes
        && a.StartDate == b.StartDate && a.EndDate == b.EndDate;
}

// Fails unless list holds exactly expected: every field through every accessor, the done
// count, and for each key the first match ignoring case.
void Verify(const TTasks &list, const QList<TExpected> &expected, const QString &where)
{
    const auto fail = [&](const QString &what) {
        QTest::qFail(qPrintable(where + QStringLiteral(": ") + what), __FILE__, __LINE__);
    };
    if (list.count() != expected.size() || list.isEmpty() != expected.isEmpty())
        return fail(QStringLiteral("%1 tasks, expected %2").arg(list.count()).arg(expected.size()));
    int done = 0;
    for (int i = 0; i < list.count(); ++i) {
        const TTask &want = expected.at(i).task;
        done += want.Done;
        const TTask got = list.at(i);
        if (!SameTask(got, want) || list.key(i) != expected.at(i).key
            || list.done(i) != want.Done || list.description(i) != want.Description
            || list.notes(i) != want.Notes || list.startDate(i) != want.StartDate
            || list.endDate(i) != want.EndDate)
            return fail(QStringLiteral("task %1 is \"%2\" keyed \"%3\", expected \"%4\" keyed \"%5\"")
                            .arg(i)
                            .arg(QString::fromLatin1(got.Description),
                                 QString::fromLatin1(list.key(i).toByteArray()),
                                 QString::fromLatin1(want.Description),
                                 QString::fromLatin1(expected.at(i).key)));
    }
    if (list.doneCount() != done)
        return fail(QStringLiteral("done count %1, expected %2").arg(list.doneCount()).arg(done));
    for (const TExpected &e : expected) {
        for (const QByteArray &query : {e.key, e.key.toUpper(), e.key.toLower()}) {
            int first = -1;
            for (int i = 0; i < expected.size() && first < 0; ++i)
                if (SameTextIgnoringCase(expected.at(i).key, query))
                    first = i;
            if (list.indexOf(query) != first)
                return fail(QStringLiteral("\"%1\" found at %2, expected %3")
                                .arg(QString::fromLatin1(query))
                                .arg(list.indexOf(query))
                                .arg(first));
        }
    }
}

TTask Task(const QByteArray &description, bool done = false, const QByteArray &notes = {})
{
    return TTask(done, description, notes, "1/2/2027", "");
}

// Runs a script of changes on a list and on its expected contents. Steps: "+key" appends a
// task of that description, "<i key" inserts one before position i, "-i" removes task i,
// "=i text" gives task i new fields (description text, notes twice that), "xi" flips the done
// flag of task i, "?key" looks key up (so the index exists from there on), "clear" empties it.
void Run(TTasks &list, QList<TExpected> &expected, const QStringList &steps)
{
    for (const QString &step : steps) {
        const QByteArray arg = step.mid(1).toLatin1();
        const qsizetype blank = arg.indexOf(' ');
        const int i = arg.left(blank).toInt();
        const QByteArray text = arg.mid(blank + 1);
        switch (step.at(0).toLatin1()) {
        case '+':
            list.append(arg, Task(arg));
            expected.append({arg, Task(arg)});
            break;
        case '<':
            list.insert(i, text, Task(text));
            expected.insert(i, {text, Task(text)});
            break;
        case '-':
            list.removeAt(i);
            expected.removeAt(i);
            break;
        case '=': {
            const TTask task = Task(text, expected.at(i).task.Done, text + text);
            list.replace(i, task);
            expected[i].task = task;
            break;
        }
        case 'x':
            list.setDone(i, !list.done(i));
            expected[i].task.Done = !expected[i].task.Done;
            break;
        case '?':
            list.indexOf(arg);
            break;
        default:
            QCOMPARE(step, QStringLiteral("clear"));
            list.clear();
            expected.clear();
        }
    }
}

} // namespace

class TestTasks : public QObject {
    Q_OBJECT

private slots:
    void changes_keepTasksKeysAndFirstMatches_data();
    void changes_keepTasksKeysAndFirstMatches();
    void fields_anyBytesAndLengths_comeBackExactly_data();
    void fields_anyBytesAndLengths_comeBackExactly();
    void randomChanges_agreeWithPlainList();
    void repeatedEdits_storageStaysBounded_data();
    void repeatedEdits_storageStaysBounded();
};

void TestTasks::changes_keepTasksKeysAndFirstMatches_data()
{
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("appends with duplicates: the first")
        << QStringList{"+Alpha", "+beta", "+ALPHA"};
    QTest::newRow("look-up first, then appends keep the first match")
        << QStringList{"+b", "?b", "+B", "+a", "+A"};
    QTest::newRow("insert before a duplicate becomes the first match")
        << QStringList{"+x", "+a", "?a", "<1 A", "<0 a"};
    QTest::newRow("insert at the end appends") << QStringList{"+x", "?x", "<1 y", "<2 X"};
    QTest::newRow("removing the first duplicate finds the next at its new place")
        << QStringList{"+a", "+b", "+A", "?a", "-0"};
    QTest::newRow("removing an earlier task renumbers later ones")
        << QStringList{"+x", "+y", "+z", "?x", "-0", "-1"};
    QTest::newRow("removing the last of a key forgets it")
        << QStringList{"+x", "+y", "?x", "-0", "+Y"};
    QTest::newRow("edits keep the key, not the new description")
        << QStringList{"+Old", "+other", "?old", "=0 New", "=0 Newer", "<0 NEW"};
    QTest::newRow("edit back to the key") << QStringList{"+k", "=0 K", "=0 k"};
    QTest::newRow("ticks count, survive edits and removals")
        << QStringList{"+a", "+b", "+c", "x0", "x2", "=0 a2", "-2", "x0", "x1", "x1"};
    QTest::newRow("clear, then the list works again")
        << QStringList{"+a", "x0", "?a", "clear", "+A", "+b", "x1"};
    QTest::newRow("empty keys") << QStringList{"+", "+a", "?", "<0 x", "-1"};
    QTest::newRow("folded capitals of Windows-1252")
        << QStringList{"+\xC9t\xE9", "+\x8A", "?\xE9T\xC9", "+\x9A"};
}

// After every change, every view of every task, the done count and the first matches agree
// with a plain list of the same changes.
void TestTasks::changes_keepTasksKeysAndFirstMatches()
{
    QFETCH(QStringList, steps);
    for (int upTo = 1; upTo <= steps.size(); ++upTo) {
        TTasks list;
        QList<TExpected> expected;
        Run(list, expected, steps.mid(0, upTo));
        Verify(list, expected, QStringLiteral("after %1").arg(steps.mid(0, upTo).join(u' ')));
        if (QTest::currentTestFailed())
            return;
    }
}

void TestTasks::fields_anyBytesAndLengths_comeBackExactly_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QByteArray>("notes");
    QTest::addColumn<QByteArray>("startDate");
    QTest::addColumn<QByteArray>("endDate");

    QTest::newRow("all empty") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("line breaks and carets")
        << QByteArray("a^b") << QByteArray("one\r\ntwo\rthree\n") << QByteArray("^")
        << QByteArray("\xA5\xA5");
    QTest::newRow("every byte value") << QByteArray("x") << [] {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        return all;
    }() << QByteArray(1, '\0') << QByteArray("\xFF");
    // Lengths of one, two and three bytes in the entry's length encoding.
    QTest::newRow("127 and 128 bytes")
        << QByteArray(127, 'd') << QByteArray(128, 'n') << QByteArray(129, 's') << QByteArray();
    QTest::newRow("16383 and 16384 bytes")
        << QByteArray(16383, 'd') << QByteArray(16384, 'n') << QByteArray() << QByteArray(1, 'e');
    QTest::newRow("a megabyte of notes")
        << QByteArray("big") << QByteArray(1 << 20, 'n') << QByteArray() << QByteArray();
}

// Each field of a task comes back byte for byte, through append, insert, an edit and
// afterwards next to its neighbours.
void TestTasks::fields_anyBytesAndLengths_comeBackExactly()
{
    QFETCH(QByteArray, description);
    QFETCH(QByteArray, notes);
    QFETCH(QByteArray, startDate);
    QFETCH(QByteArray, endDate);
    const TTask task(true, description, notes, startDate, endDate);

    TTasks list;
    QList<TExpected> expected;
    list.append("before", Task("before"));
    expected.append({"before", Task("before")});
    list.append(description, task);
    expected.append({description, task});
    list.insert(0, "key", task);
    expected.insert(0, {"key", task});
    list.append(false, description, notes, startDate, endDate);
    expected.append({description, TTask(false, description, notes, startDate, endDate)});
    Verify(list, expected, QStringLiteral("added"));
    list.replace(1, task);
    expected[1].task = task;
    list.replace(2, Task("after"));
    expected[2].task = Task("after");
    Verify(list, expected, QStringLiteral("edited"));
}

// Random changes of every kind, among keys that differ in letter case only, with notes long
// enough that edits and removals make the list rewrite its storage now and then.
void TestTasks::randomChanges_agreeWithPlainList()
{
    QRandomGenerator random(15);
    const ByteList keys{"a", "A", "b", "B", "Long key", "LONG KEY", ""};
    TTasks list;
    QList<TExpected> expected;
    TTasks copy;
    QList<TExpected> copied;
    for (int step = 0; step < 3000; ++step) {
        const QByteArray key = keys.at(random.bounded(int(keys.size())));
        const TTask task(random.bounded(2), key + QByteArray::number(step),
                         QByteArray(random.bounded(300), 'n'), QByteArray::number(step), "e");
        const int op = random.bounded(12);
        const int i = expected.isEmpty() ? 0 : random.bounded(int(expected.size()));
        if (op < 4 || expected.isEmpty()) {
            list.append(key, task);
            expected.append({key, task});
        } else if (op < 6) {
            list.insert(i, key, task);
            expected.insert(i, {key, task});
        } else if (op < 8) {
            list.replace(i, task);
            expected[i].task = task;
        } else if (op < 10) {
            list.removeAt(i);
            expected.removeAt(i);
        } else if (op < 11) {
            list.setDone(i, !expected.at(i).task.Done);
            expected[i].task.Done = !expected.at(i).task.Done;
        } else if (random.bounded(10) == 0) {
            list.clear();
            expected.clear();
        }
        Verify(list, expected, QStringLiteral("step %1").arg(step));
        if (QTest::currentTestFailed())
            return;
        // A copy keeps what it held while the original changes on.
        if (step == 1500) {
            copy = list;
            copied = expected;
        }
    }
    Verify(copy, copied, QStringLiteral("the copy"));
}

void TestTasks::repeatedEdits_storageStaysBounded_data()
{
    QTest::addColumn<bool>("remove"); // removing and adding instead of editing in place

    QTest::newRow("edits") << false;
    QTest::newRow("removals and appends") << true;
}

// Tasks edited over and over leave their old bytes behind; the list gives them back instead of
// growing with every edit.
void TestTasks::repeatedEdits_storageStaysBounded()
{
    QFETCH(bool, remove);
    TTasks list;
    for (int t = 0; t < 100; ++t)
        list.append("task " + QByteArray::number(t), Task("task", false, QByteArray(100, 'n')));
    const qsizetype live = list.storageBytes();
    for (int edit = 0; edit < 20000; ++edit) {
        const int i = edit % 100;
        const TTask task = Task("edit " + QByteArray::number(edit), edit % 2, QByteArray(100, 'm'));
        if (remove) {
            list.removeAt(i);
            list.append("task", task);
        } else {
            list.replace(i, task);
        }
    }
    QCOMPARE(list.count(), 100);
    QVERIFY2(list.storageBytes() < 4 * live + 16384,
             qPrintable(QStringLiteral("%1 bytes for tasks that took %2")
                            .arg(list.storageBytes())
                            .arg(live)));
    QCOMPARE(list.at(99).Notes, QByteArray(100, 'm'));
}

QTEST_GUILESS_MAIN(TestTasks)
#include "tst_tasks.moc"
