#include "EntryDialogFixture.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QtTest>

class TestTaskDialog : public QObject
{
    Q_OBJECT

private slots:
    void notes_comeBackWithTheirLineBreaks_data();
    void notes_comeBackWithTheirLineBreaks();
    void fields_givenThenOk_readBackExactly();
    void done_tickedByTheUser_isReturned();
};

namespace {

TfrmTask &TaskDialog(TEntryDialogFixture &f)
{
    return *qobject_cast<TfrmTask *>(f.dialog.get());
}

// Types into the notes: "\n" is the Enter key, U+2028 is Shift+Enter, the rest is text.
void TypeNotes(QWidget *notes, const QString &typed)
{
    QString run;
    for (const QChar c : typed) {
        if (c != u'\n' && c != QChar(QChar::LineSeparator)) {
            run += c;
            continue;
        }
        TypeText(notes, run);
        run.clear();
        QTest::keyClick(notes, Qt::Key_Return, c == u'\n' ? Qt::NoModifier : Qt::ShiftModifier);
    }
    TypeText(notes, run);
}

} // namespace

void TestTaskDialog::notes_comeBackWithTheirLineBreaks_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QString>("typedAtEnd");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("CR LF untouched") << QByteArray("a\r\nb") << QString() << QByteArray("a\r\nb");
    QTest::newRow("LF untouched") << QByteArray("a\nb") << QString() << QByteArray("a\nb");
    QTest::newRow("CR untouched") << QByteArray("a\rb") << QString() << QByteArray("a\rb");
    QTest::newRow("trailing break untouched") << QByteArray("a\r\n") << QString() << QByteArray("a\r\n");
    QTest::newRow("no-break space untouched") << QByteArray("a\xa0" "b") << QString()
                                              << QByteArray("a\xa0" "b");
    QTest::newRow("typed Enter is CR LF") << QByteArray() << QStringLiteral("one\ntwo")
                                          << QByteArray("one\r\ntwo");
    QTest::newRow("typed Shift+Enter is CR LF") << QByteArray() << QStringLiteral("one\u2028two")
                                                << QByteArray("one\r\ntwo");
    QTest::newRow("edited notes write CR LF") << QByteArray("a\nb") << QStringLiteral("c")
                                              << QByteArray("a\r\nbc");
    QTest::newRow("edited notes keep a no-break space") << QByteArray("a\xa0" "b") << QStringLiteral("c")
                                                        << QByteArray("a\xa0" "bc");
    QTest::newRow("caret and 1252 letters") << QByteArray() << QStringLiteral("x^2 \u20ac \u00e9")
                                            << QByteArray("x^2 \x80 \xe9");
}

void TestTaskDialog::notes_comeBackWithTheirLineBreaks()
{
    QFETCH(QByteArray, given);
    QFETCH(QString, typedAtEnd);
    QFETCH(QByteArray, expected);
    TEntryDialogFixture f(TEntryDialogKind::Task);
    TaskDialog(f).setName("Task");
    TaskDialog(f).setNotes(given);
    QVERIFY(f.open());
    QWidget *notes = f.child(QStringLiteral("memNotes"));
    notes->setFocus();
    QTest::keyClick(notes, Qt::Key_End, Qt::ControlModifier);
    TypeNotes(notes, typedAtEnd);
    f.clickOk();
    QVERIFY(f.accepted());
    QCOMPARE(TaskDialog(f).notes(), expected);
}

void TestTaskDialog::fields_givenThenOk_readBackExactly()
{
    TEntryDialogFixture f(TEntryDialogKind::Task);
    TfrmTask &dialog = TaskDialog(f);
    dialog.setWindowTitle(QStringLiteral("Edit task"));
    dialog.setName(" Write copy ");
    dialog.setNotes("Ten chapters\r\nBonus");
    dialog.setDone(true);
    dialog.setStartDate(" 4/ 1/2008");
    dialog.setEndDate("");
    QVERIFY(f.open());
    QVERIFY(f.child<QCheckBox>(QStringLiteral("chkDone"))->isChecked());
    f.clickOk();
    QVERIFY(f.accepted());
    QCOMPARE(dialog.name(), QByteArray(" Write copy "));
    QCOMPARE(dialog.notes(), QByteArray("Ten chapters\r\nBonus"));
    QVERIFY(dialog.done());
    QCOMPARE(dialog.startDate(), QByteArray(" 4/ 1/2008"));
    QCOMPARE(dialog.endDate(), QByteArray());
}

void TestTaskDialog::done_tickedByTheUser_isReturned()
{
    TEntryDialogFixture f(TEntryDialogKind::Task);
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), QStringLiteral("Task"));
    QTest::mouseClick(f.child(QStringLiteral("chkDone")), Qt::LeftButton);
    f.clickOk();
    QVERIFY(f.accepted());
    QVERIFY(TaskDialog(f).done());
}

QTEST_MAIN(TestTaskDialog)
#include "tst_ftask.moc"
