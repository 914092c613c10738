#include "EntryDialogFixture.h"

#include <QLabel>
#include <QtTest>

class TestActionDialog : public QObject
{
    Q_OBJECT

private slots:
    void labels_showDayAndHour();
    void enter_inTheActionField_actsAsOk_data();
    void enter_inTheActionField_actsAsOk();
};

namespace {

TfrmHour &HourDialog(TEntryDialogFixture &f)
{
    return *qobject_cast<TfrmHour *>(f.dialog.get());
}

} // namespace

void TestActionDialog::labels_showDayAndHour()
{
    TEntryDialogFixture f(TEntryDialogKind::Hour);
    HourDialog(f).setDay("12/13/2007");
    HourDialog(f).setHour("12:00 M");
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblDay"))->text(), QStringLiteral("Day: 12/13/2007"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblHour"))->text(), QStringLiteral("Hour: 12:00 M"));
}

void TestActionDialog::enter_inTheActionField_actsAsOk_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("action");
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        const char *k = key == Qt::Key_Return ? "Return" : "keypad Enter";
        QTest::addRow("%s, empty", k) << key << QByteArray() << QString() << false << QByteArray();
        QTest::addRow("%s, blanks", k) << key << QByteArray() << QStringLiteral("  ") << false << QByteArray();
        QTest::addRow("%s, typed", k) << key << QByteArray() << QStringLiteral(" Call Bob ") << true
                                      << QByteArray(" Call Bob ");
        QTest::addRow("%s, shown action kept", k) << key << QByteArray("Write post") << QString() << true
                                                  << QByteArray("Write post");
    }
}

void TestActionDialog::enter_inTheActionField_actsAsOk()
{
    QFETCH(Qt::Key, key);
    QFETCH(QByteArray, given);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, action);
    TEntryDialogFixture f(TEntryDialogKind::Hour);
    HourDialog(f).setName(given);
    QVERIFY(f.open());
    auto *name = f.child<QLineEdit>(QStringLiteral("edtName"));
    name->setFocus();
    TypeText(name, typed);
    QTest::keyClick(name, key);
    if (accepted) {
        QVERIFY(f.accepted());
        QCOMPARE(f.messages(), QStringList());
        QCOMPARE(HourDialog(f).name(), action);
    } else {
        QCOMPARE(f.messages(), QStringList{QStringLiteral("A valid action is required!")});
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(QApplication::focusWidget(), name);
    }
}

QTEST_MAIN(TestActionDialog)
#include "tst_fhour.moc"
