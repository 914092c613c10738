#include "common/MainWindowFixture.h"

#include "planner/ProjectTree.h"
#include "toolkit/Gauge.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QMenu>

// A user's first session from an empty folder to saved files, and a second session that finds
// everything again.
class TestEndToEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstSessionIsFoundAgainInTheNext();
};

void TestEndToEnd::firstSessionIsFoundAgainInTheNext()
{
    TMainWindowFixture f;
    TfrmMain &frm = f.open();
    const auto click = [&f](const char *name) {
        QTest::mouseClick(f.child<QPushButton>(name), Qt::LeftButton);
    };
    using Fields = QList<std::pair<const char *, QString>>;
    const auto fill = [](const Fields &fields) {
        TMainWindowFixture::nextDialog([fields](QDialog &dialog) {
            for (const auto &[name, text] : fields)
                TMainWindowFixture::setField(dialog, name, text);
            return true;
        });
    };

    fill(Fields{{"edtName", QStringLiteral("Ebooks")}});
    frm.projectTree().mnuTree().findChild<QAction *>(QStringLiteral("NewCategory1"))->trigger();
    fill(Fields{{"edtName", QStringLiteral("Dog Training")},
          {"edtStartDate", QStringLiteral("10/1/2026")},
          {"edtEndDate", QStringLiteral("12/31/2026")}});
    click("btn1");
    fill(Fields{{"edtName", QStringLiteral("Write chapters")},
          {"memNotes", QStringLiteral("Ten chapters\nBonus: checklist, 5 pages")},
          {"edtStartDate", QStringLiteral("10/2/2026")},
          {"edtEndDate", QStringLiteral("")}});
    click("btnAdd");
    fill(Fields{{"edtName", QStringLiteral("Sell one")}, {"memNotes", QStringLiteral("")},
          {"edtStartDate", QStringLiteral("")}, {"edtEndDate", QStringLiteral("")}});
    click("btnAdd");
    f.child<QTreeWidget>("lvwItems")->topLevelItem(0)->setCheckState(0, Qt::Checked);

    f.child<QCalendarWidget>("calPlanner")->setSelectedDate(QDate(2026, 12, 9));
    auto *hours = f.child<QTreeWidget>("lvwToDo");
    for (const auto &[row, text] : {std::pair{8, QStringLiteral("Outline")},
                                    std::pair{11, QStringLiteral("Lunch")}}) {
        hours->setCurrentItem(hours->topLevelItem(row));
        fill(Fields{{"edtName", text}});
        click("btnEditHour");
    }
    QVERIFY(frm.isModified());
    QTest::keyClick(&frm, Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!frm.isModified());

    QCOMPARE(f.readFile(QStringLiteral("categories.dat")), QByteArray("Ebooks\r\n"));
    QCOMPARE(f.readFile(QStringLiteral("Projects.dat")),
             QByteArray("Header^Dog Training^Ebooks^10/1/2026^12/31/2026^\r\n"
                        "^True^,^Write chapters^,^Ten chapters\xA5\xA5\xA7\xA7"
                        "Bonus: checklist, 5 pages^,^10/2/2026^,^^\r\n"
                        "^False^,^Sell one^,^^,^^,^^\r\n"
                        "EndProject\r\n"));
    QCOMPARE(f.readFile(QStringLiteral("Hours.dat")),
             QByteArray("12/9/2026^9:00 AM^Outline^\r\n12/9/2026^12:00 M^Lunch^\r\n"));
    QVERIFY(frm.close());
    QVERIFY(f.messages().isEmpty());

    TfrmMain &again = f.open();
    auto *tree = f.child<QTreeWidget>("tvwMain");
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Ebooks"));
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    QCOMPARE(f.child<QLabel>("lblProjName")->text(), QStringLiteral("Project Name:  Dog Training"));
    QCOMPARE(f.child<TGauge>("MainGauge")->text(), QStringLiteral("1/2 tasks  50%"));
    QCOMPARE(again.projects().object(0)->Tasks.at(0).Notes,
             QByteArray("Ten chapters\r\nBonus: checklist, 5 pages"));
    f.child<QCalendarWidget>("calPlanner")->setSelectedDate(QDate(2026, 12, 9));
    QCOMPARE(f.child<QTreeWidget>("lvwToDo")->topLevelItem(11)->text(1), QStringLiteral("Lunch"));
    QVERIFY(again.btnSaveClick());
    QCOMPARE(f.readFile(QStringLiteral("Hours.dat")),
             QByteArray("12/9/2026^9:00 AM^Outline^\r\n12/9/2026^12:00 M^Lunch^\r\n"));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
