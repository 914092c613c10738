#include "EntryDialogFixture.h"

#include "util/CodePage.h"

#include <QComboBox>
#include <QtTest>

using Categories = QList<QByteArray>;

class TestProjectDialog : public QObject
{
    Q_OBJECT

private slots:
    void categories_areOfferedInOrderWithTheFirstSelected();
    void selectCategory_picksTheFirstMatchIgnoringCase_data();
    void selectCategory_picksTheFirstMatchIgnoringCase();
    void category_pickedByTheUser_isReturned();
    void fields_givenThenOk_readBackExactly_data();
    void fields_givenThenOk_readBackExactly();
};

namespace {

TfrmCreateProject &ProjectDialog(TEntryDialogFixture &f)
{
    return *qobject_cast<TfrmCreateProject *>(f.dialog.get());
}

} // namespace

void TestProjectDialog::categories_areOfferedInOrderWithTheFirstSelected()
{
    TEntryDialogFixture f(TEntryDialogKind::Project, {"Software", "Ebooks", "Caf\xe9"});
    auto *box = f.child<QComboBox>(QStringLiteral("cbxCategories"));
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    QCOMPARE(shown, (QStringList{"Software", "Ebooks", QStringLiteral("Caf\u00e9")}));
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(ProjectDialog(f).category(), QByteArray("Software"));
}

void TestProjectDialog::selectCategory_picksTheFirstMatchIgnoringCase_data()
{
    QTest::addColumn<Categories>("categories");
    QTest::addColumn<QByteArray>("first");  // selected before, when not empty
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("category");

    const Categories three{"Ebooks", "Software", "Web"};
    QTest::newRow("exact") << three << QByteArray() << QByteArray("Web") << 2 << QByteArray("Web");
    QTest::newRow("differs in case") << three << QByteArray() << QByteArray("sOFTWARE") << 1
                                     << QByteArray("Software");
    QTest::newRow("accented capitals") << Categories{"Other", "CAF\xc9"} << QByteArray()
                                       << QByteArray("caf\xe9") << 1 << QByteArray("CAF\xc9");
    QTest::newRow("first of two matches") << Categories{"Web", "Mail", "mail"} << QByteArray()
                                          << QByteArray("MAIL") << 1 << QByteArray("Mail");
    QTest::newRow("empty name keeps the first") << three << QByteArray() << QByteArray() << 0
                                                << QByteArray("Ebooks");
    QTest::newRow("unknown name keeps the first") << three << QByteArray() << QByteArray("Blogs") << 0
                                                  << QByteArray("Ebooks");
    QTest::newRow("prefix is not a match") << three << QByteArray() << QByteArray("Soft") << 0
                                           << QByteArray("Ebooks");
    QTest::newRow("unknown name keeps an earlier pick") << three << QByteArray("web")
                                                        << QByteArray("Blogs") << 2 << QByteArray("Web");
    QTest::newRow("empty list") << Categories{} << QByteArray() << QByteArray("Ebooks") << -1
                                << QByteArray();
}

void TestProjectDialog::selectCategory_picksTheFirstMatchIgnoringCase()
{
    QFETCH(Categories, categories);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, name);
    QFETCH(int, index);
    QFETCH(QByteArray, category);
    TEntryDialogFixture f(TEntryDialogKind::Project, categories);
    if (!first.isEmpty())
        ProjectDialog(f).SelectCategory(first);
    ProjectDialog(f).SelectCategory(name);
    auto *box = f.child<QComboBox>(QStringLiteral("cbxCategories"));
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->currentText(), FromAnsi(category));

    // What the caller reads after OK.
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), QStringLiteral("Site"));
    f.clickOk();
    QVERIFY(f.accepted());
    QCOMPARE(ProjectDialog(f).category(), category);
}

void TestProjectDialog::category_pickedByTheUser_isReturned()
{
    TEntryDialogFixture f(TEntryDialogKind::Project, {"Ebooks", "Software"});
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), QStringLiteral("Site"));
    QTest::keyClick(f.child(QStringLiteral("cbxCategories")), Qt::Key_Down);
    f.clickOk();
    QVERIFY(f.accepted());
    QCOMPARE(ProjectDialog(f).category(), QByteArray("Software"));
}

void TestProjectDialog::fields_givenThenOk_readBackExactly_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("startDate");
    QTest::addColumn<QByteArray>("endDate");
    QTest::newRow("padded and full dates") << QByteArray(" Site ") << QByteArray(" 4/ 1/2008")
                                           << QByteArray("10/14/2008");
    QTest::newRow("empty and blank dates") << QByteArray("Caf\xe9") << QByteArray()
                                           << QByteArray("  /  /    ");
    QTest::newRow("dates off the mask") << QByteArray("Old") << QByteArray("4/1/2008")
                                        << QByteArray("2008-10-14");
}

void TestProjectDialog::fields_givenThenOk_readBackExactly()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, startDate);
    QFETCH(QByteArray, endDate);
    TEntryDialogFixture f(TEntryDialogKind::Project);
    TfrmCreateProject &dialog = ProjectDialog(f);
    dialog.setWindowTitle(QStringLiteral("Edit current project"));
    dialog.setName(name);
    dialog.setStartDate(startDate);
    dialog.setEndDate(endDate);
    QVERIFY(f.open());
    f.clickOk();
    QVERIFY(f.accepted());
    QCOMPARE(dialog.name(), name);
    QCOMPARE(dialog.startDate(), startDate);
    QCOMPARE(dialog.endDate(), endDate);
    QVERIFY(!dialog.useDefault());
}

QTEST_MAIN(TestProjectDialog)
#include "tst_fnewproject.moc"
