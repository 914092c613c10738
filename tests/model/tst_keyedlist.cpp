#include "model/KeyedList.h"
#include "util/CodePage.h"

#include <QRandomGenerator>
#include <QTest>

using ByteList = QList<QByteArray>;

namespace {

struct TCounted {
    explicit TCounted(int *alive) : alive(alive) { ++*alive; }
    ~TCounted() { --*alive; }
    int *alive;
};

struct TItem {
    int id = 0;
};

// Runs a script of changes on a list. Steps: "+key" appends, "-i" removes entry i,
// "=i key" gives entry i a new key, "?key" looks key up (so the index exists from there on),
// "clear" empties the list.
void Run(TKeyedList<TItem> &list, const QStringList &steps)
{
    int next = 0;
    for (const QString &step : steps) {
        const QByteArray arg = step.mid(1).toLatin1();
        switch (step.at(0).toLatin1()) {
        case '+':
            list.append(arg, std::make_unique<TItem>(TItem{next++}));
            break;
        case '-':
            list.removeAt(arg.toInt());
            break;
        case '=': {
            const qsizetype blank = arg.indexOf(' ');
            list.setKey(arg.left(blank).toInt(), arg.mid(blank + 1));
            break;
        }
        case '?':
            list.indexOf(arg);
            break;
        default:
            QCOMPARE(step, QStringLiteral("clear"));
            list.clear();
        }
    }
}

} // namespace

class TestKeyedList : public QObject {
    Q_OBJECT

private slots:
    void indexOf_afterChanges_findsFirstMatchIgnoringCase_data();
    void indexOf_afterChanges_findsFirstMatchIgnoringCase();
    void indexOf_randomChanges_agreesWithLinearScan();
    void indexesOf_withAndWithoutIndex_findsFirstMatches_data();
    void indexesOf_withAndWithoutIndex_findsFirstMatches();
    void removeAndClear_destroyOwnedObjects();
    void stringList_replaceAndRemove_keepFirstMatch();
};

void TestKeyedList::indexOf_afterChanges_findsFirstMatchIgnoringCase_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("keys");    // the list's keys afterwards
    QTest::addColumn<QStringList>("queries"); // "key=position"

    QTest::newRow("duplicate keys: the first")
        << QStringList{"+Alpha", "+beta", "+ALPHA"} << QStringList{"Alpha", "beta", "ALPHA"}
        << QStringList{"alpha=0", "BETA=1", "gamma=-1"};
    QTest::newRow("removing the first duplicate finds the next at its new place")
        << QStringList{"+a", "+b", "+A", "?a", "-0"} << QStringList{"b", "A"}
        << QStringList{"a=1", "b=0"};
    QTest::newRow("removing an earlier entry renumbers later ones")
        << QStringList{"+x", "+y", "+z", "?x", "-0"} << QStringList{"y", "z"}
        << QStringList{"x=-1", "y=0", "z=1"};
    QTest::newRow("removing the last entry") << QStringList{"+a", "+b", "+a", "?a", "-2", "-0"}
                                             << QStringList{"b"} << QStringList{"a=-1", "b=0"};
    QTest::newRow("appending after a look-up")
        << QStringList{"+a", "?a", "+b", "+A"} << QStringList{"a", "b", "A"}
        << QStringList{"a=0", "B=1"};
    QTest::newRow("new key ahead of an existing match becomes the first")
        << QStringList{"+x", "+y", "+B", "?b", "=0 b"} << QStringList{"b", "y", "B"}
        << QStringList{"b=0", "x=-1", "y=1"};
    QTest::newRow("new key behind an existing match stays second")
        << QStringList{"+B", "+y", "+x", "?b", "=2 b", "-0"} << QStringList{"y", "b"}
        << QStringList{"b=1", "x=-1"};
    QTest::newRow("key moved away uncovers the next match")
        << QStringList{"+k", "+m", "+K", "?k", "=0 z"} << QStringList{"z", "m", "K"}
        << QStringList{"k=2", "z=0"};
    QTest::newRow("key changed in case only")
        << QStringList{"+Abc", "?abc", "=0 ABC"} << QStringList{"ABC"} << QStringList{"abc=0"};
    QTest::newRow("key inserted between two matches keeps their order")
        << QStringList{"+a", "+q", "+a", "+q", "?a", "=3 A", "-0"} << QStringList{"q", "a", "A"}
        << QStringList{"a=1", "q=0"};
    QTest::newRow("cleared list then reused") << QStringList{"+a", "+b", "?a", "clear", "+b"}
                                              << QStringList{"b"} << QStringList{"a=-1", "b=0"};
    QTest::newRow("changes before the first look-up")
        << QStringList{"+a", "+A", "-0", "=0 c", "+a"} << QStringList{"c", "a"}
        << QStringList{"a=1", "C=0"};
    QTest::newRow("accented capitals fold") << QStringList{QString::fromLatin1("+\xC9T\xC9")}
                                            << QStringList{QString::fromLatin1("\xC9T\xC9")}
                                            << QStringList{QString::fromLatin1("\xE9t\xE9=0")};
}

void TestKeyedList::indexOf_afterChanges_findsFirstMatchIgnoringCase()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, queries);

    TKeyedList<TItem> list;
    Run(list, steps);

    QStringList actualKeys;
    for (int i = 0; i < list.count(); ++i)
        actualKeys << QString::fromLatin1(list.key(i));
    QCOMPARE(actualKeys, keys);
    for (const QString &query : queries) {
        const qsizetype eq = query.indexOf(QLatin1Char('='));
        QVERIFY2(list.indexOf(query.left(eq).toLatin1()) == query.mid(eq + 1).toInt(),
                 qPrintable(query));
    }
}

// Many mixed changes on a list with few distinct keys, every look-up checked against a plain
// scan from the front.
void TestKeyedList::indexOf_randomChanges_agreesWithLinearScan()
{
    const ByteList variants{"a", "A", "b", "B", "c", "\xC0", "\xE0", "d"};
    QRandomGenerator random(20240611);
    TKeyedList<TItem> list;
    ByteList keys; // the expected keys, in order

    for (int step = 0; step < 4000; ++step) {
        const QByteArray key = variants.at(random.bounded(int(variants.size())));
        const int op = random.bounded(10);
        if (op < 5 || keys.isEmpty()) {
            list.append(key, std::make_unique<TItem>());
            keys.append(key);
        } else if (op < 7) {
            const int i = random.bounded(int(keys.size()));
            list.removeAt(i);
            keys.removeAt(i);
        } else if (op < 9) {
            const int i = random.bounded(int(keys.size()));
            list.setKey(i, key);
            keys[i] = key;
        } else if (random.bounded(20) == 0) {
            list.clear();
            keys.clear();
        }

        for (const QByteArray &query : variants) {
            int expected = -1;
            for (int i = 0; i < keys.size() && expected < 0; ++i)
                if (SameTextIgnoringCase(keys.at(i), query))
                    expected = i;
            if (list.indexOf(query) != expected)
                QFAIL(qPrintable(QStringLiteral("step %1: %2 found at %3, expected %4")
                                     .arg(step)
                                     .arg(QString::fromLatin1(query))
                                     .arg(list.indexOf(query))
                                     .arg(expected)));
        }
    }
}

void TestKeyedList::indexesOf_withAndWithoutIndex_findsFirstMatches_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<ByteList>("wanted");
    QTest::addColumn<QList<int>>("expected");
    const QStringList book{"+1/5/2027-1:00 AM", "+1/5/2027-12:00 M", "+1/5/2027-1:00 am",
                           "+1/6/2027-1:00 AM", "+1/7/2027-1:00 PM"};
    QTest::newRow("each found, first match, case ignored")
        << book << ByteList{"1/5/2027-1:00 am", "1/5/2027-12:00 m", "1/6/2027-1:00 AM"}
        << QList<int>{0, 1, 3};
    QTest::newRow("missing keys and other lengths") << book
        << ByteList{"1/5/2027-2:00 AM", "", "1/5/2027-1:00 AMX"} << QList<int>{-1, -1, -1};
    QTest::newRow("the same key twice") << book << ByteList{"1/6/2027-1:00 AM", "1/6/2027-1:00 am"}
                                        << QList<int>{3, 3};
    QTest::newRow("after changes") << book + QStringList{"-0", "=2 X"}
                                   << ByteList{"1/5/2027-1:00 AM", "x", "1/6/2027-1:00 AM"}
                                   << QList<int>{1, 2, -1};
    QTest::newRow("empty list") << QStringList{} << ByteList{"a"} << QList<int>{-1};
}

// The same answers whether the index exists or not; asking many keys does not build it.
void TestKeyedList::indexesOf_withAndWithoutIndex_findsFirstMatches()
{
    QFETCH(QStringList, steps);
    QFETCH(ByteList, wanted);
    QFETCH(QList<int>, expected);
    TKeyedList<TItem> scanned;
    Run(scanned, steps);
    QCOMPARE(scanned.indexesOf(wanted), expected);
    QVERIFY(!scanned.isIndexed());

    TKeyedList<TItem> indexed;
    Run(indexed, steps + QStringList{"?"});
    QVERIFY(indexed.isIndexed());
    QCOMPARE(indexed.indexesOf(wanted), expected);
}

void TestKeyedList::removeAndClear_destroyOwnedObjects()
{
    int alive = 0;
    {
        TKeyedList<TCounted> list;
        for (const char *key : {"a", "b", "c", "d"})
            list.append(key, std::make_unique<TCounted>(&alive));
        list.removeAt(1);
        QCOMPARE(alive, 3);
        std::unique_ptr<TCounted> taken = list.takeAt(0);
        QCOMPARE(list.count(), 2);
        QCOMPARE(alive, 3);
        taken.reset();
        list.clear();
        QCOMPARE(alive, 0);
        QVERIFY(list.isEmpty());
        list.append("e", std::make_unique<TCounted>(&alive));
    }
    QCOMPARE(alive, 0);
}

void TestKeyedList::stringList_replaceAndRemove_keepFirstMatch()
{
    TStringList names;
    for (const char *name : {"Web", "Mail", "web", "Ads"})
        names.append(name);
    QCOMPARE(names.indexOf("WEB"), 0);

    names.replace(0, "Print");
    QCOMPARE(names.indexOf("web"), 2);
    QCOMPARE(names.indexOf("print"), 0);
    names.removeAt(1);
    QCOMPARE(names.indexOf("WEB"), 1);
    QCOMPARE(names.indexOf("mail"), -1);
    QCOMPARE(names.toList(), (ByteList{"Print", "web", "Ads"}));
}

QTEST_GUILESS_MAIN(TestKeyedList)
#include "tst_keyedlist.moc"
