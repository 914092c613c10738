// What the four entry dialogs share: their frames, tab order, labels, fonts, and the Ok check.

#include "EntryDialogFixture.h"

#include "planner/PlannerText.h"
#include "toolkit/DateEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using Kind = TEntryDialogKind;

class TestEntryDialogs : public QObject
{
    Q_OBJECT

private slots:
    void frame_hasCaptionClientSizeAndOnlyAClosingButton_data();
    void frame_hasCaptionClientSizeAndOnlyAClosingButton();
    void open_focusStartsAtFirstControlAndTabFollowsTheOrder_data();
    void open_focusStartsAtFirstControlAndTabFollowsTheOrder();
    void fields_areNamedByTheirLabelsAndUseArial14_data();
    void fields_areNamedByTheirLabelsAndUseArial14();
    void fresh_projectDialog_startsEmptyWithTodayAndFirstCategory();
    void fresh_taskDialog_startsEmptyWithTodayAndNotDone();
    void fresh_categoryAndActionDialogs_startEmpty();

    void ok_blankName_isRefusedWithTheDialogsMessage_data();
    void ok_blankName_isRefusedWithTheDialogsMessage();
    void ok_nameWithBlanksAtTheEnds_isAcceptedUntrimmed_data();
    void ok_nameWithBlanksAtTheEnds_isAcceptedUntrimmed();
    void ok_characterTheFieldCannotKeep_isRefusedByName_data();
    void ok_characterTheFieldCannotKeep_isRefusedByName();
    void ok_textTheFilesCannotGiveBack_isRefusedAndShown_data();
    void ok_textTheFilesCannotGiveBack_isRefusedAndShown();
    void enter_onFocusedButton_clicksIt_data();
    void enter_onFocusedButton_clicksIt();
    void enter_inAnyOneLineField_accepts_data();
    void enter_inAnyOneLineField_accepts();
    void enter_inNotes_addsALineAndCtrlEnterAccepts();
    void cancelOrClose_endsWithCancelWithoutChecking_data();
    void cancelOrClose_endsWithCancelWithoutChecking();
};

void TestEntryDialogs::frame_hasCaptionClientSizeAndOnlyAClosingButton_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("clientSize");
    QTest::newRow("project") << Kind::Project << QStringLiteral("Create new project") << QSize(415, 147);
    QTest::newRow("task") << Kind::Task << QStringLiteral("Task details") << QSize(451, 261);
    QTest::newRow("category") << Kind::Category << QStringLiteral("Add category") << QSize(330, 80);
    QTest::newRow("action") << Kind::Hour << QStringLiteral("Edit action") << QSize(330, 114);
}

void TestEntryDialogs::frame_hasCaptionClientSizeAndOnlyAClosingButton()
{
    QFETCH(Kind, kind);
    QFETCH(QString, caption);
    QFETCH(QSize, clientSize);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    QCOMPARE(f.dialog->windowTitle(), caption);
    QCOMPARE(f.dialog->size(), clientSize);
    QCOMPARE(f.dialog->minimumSize(), clientSize);
    QCOMPARE(f.dialog->maximumSize(), clientSize);
    const Qt::WindowFlags flags = f.dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!f.dialog->isSizeGripEnabled());
}

void TestEntryDialogs::open_focusStartsAtFirstControlAndTabFollowsTheOrder_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("order"); // visible controls; chkDefault is hidden
    // The fields as they stand on screen, then Ok, then Cancel.
    QTest::newRow("project") << Kind::Project
                             << QStringList{"edtName", "cbxCategories", "edtStartDate",
                                            "edtEndDate", "btnOk", "btnCancel"};
    QTest::newRow("task") << Kind::Task
                          << QStringList{"edtName", "memNotes", "edtStartDate", "edtEndDate",
                                         "chkDone", "btnOk", "btnCancel"};
    QTest::newRow("category") << Kind::Category << QStringList{"edtName", "btnOk", "btnCancel"};
    QTest::newRow("action") << Kind::Hour << QStringList{"edtName", "btnOk", "btnCancel"};
}

void TestEntryDialogs::open_focusStartsAtFirstControlAndTabFollowsTheOrder()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, order);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    QStringList visited;
    for (qsizetype i = 0; i <= order.size(); ++i) { // once round, back to the first
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, order + QStringList{order.first()});
}

void TestEntryDialogs::fields_areNamedByTheirLabelsAndUseArial14_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("labelled"); // "label=control"
    QTest::addColumn<QStringList>("textFields");
    QTest::newRow("project") << Kind::Project
                             << QStringList{"lblName=edtName", "lblStartDate=edtStartDate",
                                            "lblEndDate=edtEndDate", "lblCategory=cbxCategories"}
                             << QStringList{"edtName", "edtStartDate", "edtEndDate"};
    QTest::newRow("task") << Kind::Task
                          << QStringList{"lblName=edtName", "lblNotes=memNotes",
                                         "lblStartDate=edtStartDate", "lblEndDate=edtEndDate"}
                          << QStringList{"edtName", "memNotes", "edtStartDate", "edtEndDate"};
    QTest::newRow("category") << Kind::Category << QStringList{"lblName=edtName"}
                              << QStringList{"edtName"};
    QTest::newRow("action") << Kind::Hour << QStringList{"lblName=edtName"} << QStringList{"edtName"};
}

void TestEntryDialogs::fields_areNamedByTheirLabelsAndUseArial14()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, labelled);
    QFETCH(QStringList, textFields);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    for (const QString &pair : labelled) {
        auto *label = f.child<QLabel>(pair.section(u'=', 0, 0));
        QWidget *control = f.child(pair.section(u'=', 1, 1));
        QVERIFY2(label && control, qPrintable(pair));
        QCOMPARE(label->buddy(), control);
        QCOMPARE(control->accessibleName(), label->text());
    }
    // Buttons and check boxes are named by their captions.
    const auto buttons = f.dialog->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly);
    QVERIFY(!buttons.isEmpty());
    for (QAbstractButton *button : buttons)
        QCOMPARE(button->accessibleName(), button->text());
    for (const QString &name : textFields) {
        const QFont font = f.child(name)->font();
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QCOMPARE(font.pixelSize(), 14);
    }
}

void TestEntryDialogs::fresh_projectDialog_startsEmptyWithTodayAndFirstCategory()
{
    TEntryDialogFixture f(Kind::Project);
    QVERIFY(f.open());
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblName"))->text(), QStringLiteral("Project Name:"));
    QCOMPARE(f.child<QLineEdit>(QStringLiteral("edtName"))->text(), QString());
    QCOMPARE(f.child<TDateEdit>(QStringLiteral("edtStartDate"))->text(), TodayInField());
    QCOMPARE(f.child<TDateEdit>(QStringLiteral("edtEndDate"))->text(), TodayInField());
    auto *categories = f.child<QComboBox>(QStringLiteral("cbxCategories"));
    QVERIFY(!categories->isEditable());
    QCOMPARE(categories->currentText(), QStringLiteral("Ebooks"));
    auto *useDefault = f.child<QCheckBox>(QStringLiteral("chkDefault"));
    QCOMPARE(useDefault->text(), QStringLiteral("Use Default Project To Do List"));
    QVERIFY(!useDefault->isVisible());
    QVERIFY(!useDefault->isChecked());
    QVERIFY(!qobject_cast<TfrmCreateProject *>(f.dialog.get())->useDefault());
}

void TestEntryDialogs::fresh_taskDialog_startsEmptyWithTodayAndNotDone()
{
    TEntryDialogFixture f(Kind::Task);
    QVERIFY(f.open());
    QCOMPARE(f.child<QLabel>(QStringLiteral("lblName"))->text(), QStringLiteral("Description:"));
    QCOMPARE(f.child<QLineEdit>(QStringLiteral("edtName"))->text(), QString());
    auto *notes = f.child<QPlainTextEdit>(QStringLiteral("memNotes"));
    QCOMPARE(notes->toPlainText(), QString());
    QCOMPARE(notes->height(), 121);
    QCOMPARE(notes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    auto *done = f.child<QCheckBox>(QStringLiteral("chkDone"));
    QCOMPARE(done->text(), QStringLiteral("Task is done"));
    QVERIFY(done->isVisible());
    QVERIFY(!done->isChecked());
    QCOMPARE(f.child<TDateEdit>(QStringLiteral("edtStartDate"))->text(), TodayInField());
    QCOMPARE(f.child<TDateEdit>(QStringLiteral("edtEndDate"))->text(), TodayInField());
}

void TestEntryDialogs::fresh_categoryAndActionDialogs_startEmpty()
{
    TEntryDialogFixture category(Kind::Category);
    QCOMPARE(category.child<QLabel>(QStringLiteral("lblName"))->text(), QStringLiteral("Category Name:"));
    QCOMPARE(category.child<QLineEdit>(QStringLiteral("edtName"))->text(), QString());

    TEntryDialogFixture action(Kind::Hour);
    QCOMPARE(action.child<QLabel>(QStringLiteral("lblName"))->text(), QStringLiteral("Action:"));
    QCOMPARE(action.child<QLineEdit>(QStringLiteral("edtName"))->text(), QString());
    QCOMPARE(action.child<QLabel>(QStringLiteral("lblDay"))->text(), QStringLiteral("Day:"));
    QCOMPARE(action.child<QLabel>(QStringLiteral("lblHour"))->text(), QStringLiteral("Hour:"));
}

void TestEntryDialogs::ok_blankName_isRefusedWithTheDialogsMessage_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("typed");  // typed into edtName
    QTest::addColumn<QByteArray>("set"); // or given to the dialog, as an edit use does
    QTest::addColumn<QString>("message");
    const QList<QPair<Kind, QString>> dialogs{
        {Kind::Project, QStringLiteral("A valid project name is required!")},
        {Kind::Task, QStringLiteral("A valid task description is required!")},
        {Kind::Category, QStringLiteral("A valid category name is required!")},
        {Kind::Hour, QStringLiteral("A valid action is required!")}};
    for (const auto &[kind, message] : dialogs) {
        const QString name = message.section(u' ', 3, 3);
        QTest::addRow("%s, empty", qPrintable(name)) << kind << QString() << QByteArray() << message;
        QTest::addRow("%s, blanks typed", qPrintable(name)) << kind << QStringLiteral("   ")
                                                           << QByteArray() << message;
        QTest::addRow("%s, tabs and blanks given", qPrintable(name))
            << kind << QString() << QByteArray("\t \t") << message;
        QTest::addRow("%s, control characters given", qPrintable(name))
            << kind << QString() << QByteArray("\x01\x1f ") << message;
    }
}

void TestEntryDialogs::ok_blankName_isRefusedWithTheDialogsMessage()
{
    QFETCH(Kind, kind);
    QFETCH(QString, typed);
    QFETCH(QByteArray, set);
    QFETCH(QString, message);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    auto *name = f.child<QLineEdit>(QStringLiteral("edtName"));
    if (!set.isEmpty())
        name->setText(QString::fromLatin1(set));
    TypeText(name, typed);

    f.clickOk();
    QCOMPARE(f.messages(), QStringList{message});
    QCOMPARE(f.msg.log().first().kind, QMessageBox::Information);
    QCOMPARE(f.msg.log().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(f.dialog->isVisible());
    QVERIFY(f.dialog->result() != QDialog::Accepted);
    QCOMPARE(QApplication::focusWidget(), name);
}

void TestEntryDialogs::ok_nameWithBlanksAtTheEnds_isAcceptedUntrimmed_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("project") << Kind::Project << QStringLiteral("  Dog Training ") << QByteArray("  Dog Training ");
    QTest::newRow("task") << Kind::Task << QStringLiteral(" Write copy") << QByteArray(" Write copy");
    QTest::newRow("category") << Kind::Category << QStringLiteral("Ebooks  ") << QByteArray("Ebooks  ");
    QTest::newRow("action") << Kind::Hour << QStringLiteral(" Call Bob ") << QByteArray(" Call Bob ");
    QTest::newRow("one character") << Kind::Category << QStringLiteral(" x ") << QByteArray(" x ");
    QTest::newRow("Windows-1252 letters") << Kind::Project << QStringLiteral("Caf\u00e9 \u20ac")
                                          << QByteArray("Caf\xe9 \x80");
}

void TestEntryDialogs::ok_nameWithBlanksAtTheEnds_isAcceptedUntrimmed()
{
    QFETCH(Kind, kind);
    QFETCH(QString, typed);
    QFETCH(QByteArray, expected);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), typed);
    f.clickOk();
    QVERIFY(f.accepted());
    QCOMPARE(f.messages(), QStringList());
    QCOMPARE(f.name(), expected);
}

void TestEntryDialogs::ok_characterTheFieldCannotKeep_isRefusedByName_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // empty: accepted

    QTest::newRow("caret in project name") << Kind::Project << "edtName" << QStringLiteral("Big^Launch")
        << QStringLiteral("The character \"^\" cannot be used in a project name.");
    QTest::newRow("caret in category name") << Kind::Category << "edtName" << QStringLiteral("^Ebooks")
        << QStringLiteral("The character \"^\" cannot be used in a category name.");
    QTest::newRow("caret in action") << Kind::Hour << "edtName" << QStringLiteral("Call^Bob")
        << QStringLiteral("The character \"^\" cannot be used in an action.");
    QTest::newRow("caret in task description") << Kind::Task << "edtName" << QStringLiteral("2^10 visitors")
        << QString();
    QTest::newRow("caret in notes") << Kind::Task << "memNotes" << QStringLiteral("x^2") << QString();

    QTest::newRow("Greek in project name") << Kind::Project << "edtName" << QStringLiteral("\u03a9mega")
        << QStringLiteral("The character \"\u03a9\" (U+03A9) cannot be stored in a project name.");
    QTest::newRow("emoji in task description") << Kind::Task << "edtName" << QStringLiteral("Launch \U0001F680")
        << QStringLiteral("The character \"\U0001F680\" (U+1F680) cannot be stored in a task description.");
    QTest::newRow("Cyrillic in notes") << Kind::Task << "memNotes" << QStringLiteral("see \u0436")
        << QStringLiteral("The character \"\u0436\" (U+0436) cannot be stored in the notes.");
    QTest::newRow("CJK in category name") << Kind::Category << "edtName" << QStringLiteral("\u4e2d")
        << QStringLiteral("The character \"\u4e2d\" (U+4E2D) cannot be stored in a category name.");
    QTest::newRow("arrow in action") << Kind::Hour << "edtName" << QStringLiteral("A \u2192 B")
        << QStringLiteral("The character \"\u2192\" (U+2192) cannot be stored in an action.");
    QTest::newRow("euro and accents fit") << Kind::Task << "memNotes" << QStringLiteral("\u20ac5 \u00e0 \u0153")
        << QString();
}

void TestEntryDialogs::ok_characterTheFieldCannotKeep_isRefusedByName()
{
    QFETCH(Kind, kind);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    auto *name = f.child<QLineEdit>(QStringLiteral("edtName"));
    if (field != QLatin1String("edtName"))
        TypeText(name, QStringLiteral("Valid"));
    QWidget *target = f.child(field);
    TypeText(target, typed);

    f.clickOk();
    if (message.isEmpty()) {
        QVERIFY(f.accepted());
        QCOMPARE(f.messages(), QStringList());
        return;
    }
    QCOMPARE(f.messages(), QStringList{message});
    QCOMPARE(f.msg.log().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(f.dialog->isVisible());
    QVERIFY(f.dialog->result() != QDialog::Accepted);
    QCOMPARE(QApplication::focusWidget(), target);
    // Nothing typed was altered.
    if (auto *edit = qobject_cast<QLineEdit *>(target))
        QCOMPARE(edit->text(), typed);
    else
        QCOMPARE(qobject_cast<QPlainTextEdit *>(target)->toPlainText(), typed);
}

void TestEntryDialogs::ok_textTheFilesCannotGiveBack_isRefusedAndShown_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("selected"); // the characters shown as the fault
    QTest::addColumn<QString>("message");  // empty: accepted

    const QString nul(QChar(0));
    // A line break, a NUL or another control character in a one-line field.
    QTest::newRow("category copied with its line end") << Kind::Category << "edtName"
        << QStringLiteral("Ebooks\r\n") << QStringLiteral("\r")
        << QStringLiteral("The line break (U+000D) at position 7 cannot be stored in a category name.");
    QTest::newRow("line break in project name") << Kind::Project << "edtName"
        << QStringLiteral("Dog\nTraining") << QStringLiteral("\n")
        << QStringLiteral("The line break (U+000A) at position 4 cannot be stored in a project name.");
    QTest::newRow("line break in task description") << Kind::Task << "edtName"
        << QStringLiteral("Write\ncopy") << QStringLiteral("\n")
        << QStringLiteral("The line break (U+000A) at position 6 cannot be stored in a task description.");
    QTest::newRow("line break in action") << Kind::Hour << "edtName"
        << QStringLiteral("Call\r\nBob") << QStringLiteral("\r")
        << QStringLiteral("The line break (U+000D) at position 5 cannot be stored in an action.");
    QTest::newRow("line break after a date") << Kind::Project << "edtEndDate"
        << QStringLiteral("1/5/2027\n") << QStringLiteral("\n")
        << QStringLiteral("The line break (U+000A) at position 9 cannot be stored in a date.");
    QTest::newRow("tab in action") << Kind::Hour << "edtName"
        << QStringLiteral("Call\tBob") << QStringLiteral("\t")
        << QStringLiteral("The tab character (U+0009) at position 5 cannot be stored in an action.");
    QTest::newRow("control character in task description") << Kind::Task << "edtName"
        << QStringLiteral("Fix\u0001it") << QStringLiteral("\u0001")
        << QStringLiteral("The control character U+0001 at position 4 cannot be stored in a task description.");
    QTest::newRow("C1 control in category name") << Kind::Category << "edtName"
        << QStringLiteral("Web\u0081") << QStringLiteral("\u0081")
        << QStringLiteral("The control character U+0081 at position 4 cannot be stored in a category name.");
    QTest::newRow("NUL in project name") << Kind::Project << "edtName"
        << QStringLiteral("Dog") + nul + QStringLiteral("s") << nul
        << QStringLiteral("The NUL character (U+0000) at position 4 cannot be stored in a project name.");
    QTest::newRow("NUL in notes") << Kind::Task << "memNotes"
        << QStringLiteral("first\nse") + nul + QStringLiteral("cond") << nul
        << QStringLiteral("The NUL character (U+0000) in line 2 at position 3 cannot be stored in the notes.");
    QTest::newRow("NUL in a date") << Kind::Task << "edtStartDate"
        << nul + QStringLiteral("1/5/2027") << nul
        << QStringLiteral("The NUL character (U+0000) at position 1 cannot be stored in a date.");

    // Text the line-break escape would not give back.
    QTest::newRow("section signs in notes") << Kind::Task << "memNotes"
        << QStringLiteral("See \u00a7\u00a7 12") << QStringLiteral("\u00a7\u00a7")
        << QStringLiteral("The characters \"\u00a7\u00a7\" in line 1 at position 5 cannot be stored in the "
                          "notes: they would be read back as a line break.");
    QTest::newRow("section signs in project name") << Kind::Project << "edtName"
        << QStringLiteral("Terms \u00a7\u00a7 4-5") << QStringLiteral("\u00a7\u00a7")
        << QStringLiteral("The characters \"\u00a7\u00a7\" at position 7 cannot be stored in a project "
                          "name: they would be read back as a line break.");
    QTest::newRow("yen signs in category name") << Kind::Category << "edtName"
        << QStringLiteral("Yen \u00a5\u00a5") << QStringLiteral("\u00a5\u00a5")
        << QStringLiteral("The characters \"\u00a5\u00a5\" at position 5 cannot be stored in a category "
                          "name: they would be read back as a line break.");
    QTest::newRow("three section signs in action") << Kind::Hour << "edtName"
        << QStringLiteral("Read \u00a7\u00a7\u00a7 1") << QStringLiteral("\u00a7\u00a7")
        << QStringLiteral("The characters \"\u00a7\u00a7\" at position 6 cannot be stored in an action: "
                          "they would be read back as a line break.");
    QTest::newRow("yen signs in a date") << Kind::Task << "edtEndDate"
        << QStringLiteral("\u00a5\u00a5") << QStringLiteral("\u00a5\u00a5")
        << QStringLiteral("The characters \"\u00a5\u00a5\" at position 1 cannot be stored in a date: "
                          "they would be read back as a line break.");
    QTest::newRow("yen sign before a line break") << Kind::Task << "memNotes"
        << QStringLiteral("Rule \u00a5\nnext") << QStringLiteral("\u00a5")
        << QStringLiteral("The character \"\u00a5\" just before a line break in line 1 at position 6 "
                          "cannot be stored in the notes: the two would be read back in the other order.");
    QTest::newRow("yen sign before a line break, second line") << Kind::Task << "memNotes"
        << QStringLiteral("a\nb\u00a5\nc") << QStringLiteral("\u00a5")
        << QStringLiteral("The character \"\u00a5\" just before a line break in line 2 at position 2 "
                          "cannot be stored in the notes: the two would be read back in the other order.");

    // What reads back unchanged is kept.
    QTest::newRow("single marks in notes") << Kind::Task << "memNotes"
        << QStringLiteral("\u00a7 12 and \u00a5 5 \u00a7x\u00a7") << QString() << QString();
    QTest::newRow("marks after line breaks") << Kind::Task << "memNotes"
        << QStringLiteral("a\n\u00a7b\n\u00a5c\u00a5\u00a7") << QString() << QString();
    QTest::newRow("section sign before a line break") << Kind::Task << "memNotes"
        << QStringLiteral("Rule \u00a7\nnext") << QString() << QString();
    QTest::newRow("single marks in project name") << Kind::Project << "edtName"
        << QStringLiteral("\u00a71 \u00a52") << QString() << QString();
}

void TestEntryDialogs::ok_textTheFilesCannotGiveBack_isRefusedAndShown()
{
    QFETCH(Kind, kind);
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, selected);
    QFETCH(QString, message);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    auto *name = f.child<QLineEdit>(QStringLiteral("edtName"));
    if (field != QLatin1String("edtName"))
        TypeText(name, QStringLiteral("Valid"));
    QWidget *target = f.child(field);
    target->setFocus();
    // As a paste delivers it: the whole text at once, replacing what was there.
    auto *edit = qobject_cast<QLineEdit *>(target);
    auto *memo = qobject_cast<QPlainTextEdit *>(target);
    if (edit) {
        edit->selectAll();
        edit->insert(pasted);
        QCOMPARE(edit->text(), pasted);
    } else {
        memo->selectAll();
        memo->insertPlainText(pasted);
    }

    f.clickOk();
    if (message.isEmpty()) {
        QVERIFY(f.accepted());
        QCOMPARE(f.messages(), QStringList());
        return;
    }
    QCOMPARE(f.messages(), QStringList{message});
    QCOMPARE(f.msg.log().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(f.dialog->isVisible());
    QVERIFY(f.dialog->result() != QDialog::Accepted);
    QCOMPARE(QApplication::focusWidget(), target);
    // The text is left as it was, with the fault selected.
    if (edit) {
        QCOMPARE(edit->text(), pasted);
        QCOMPARE(edit->selectedText(), selected);
    } else {
        QString shown = memo->textCursor().selectedText();
        shown.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
        QCOMPARE(shown, selected);
        QCOMPARE(memo->toPlainText(), pasted);
    }
}

void TestEntryDialogs::enter_onFocusedButton_clicksIt_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("result");
    const QList<QPair<Kind, const char *>> dialogs{
        {Kind::Project, "project"}, {Kind::Task, "task"}, {Kind::Category, "category"}, {Kind::Hour, "action"}};
    for (const auto &[kind, name] : dialogs) {
        QTest::addRow("%s Ok, Return", name) << kind << "btnOk" << Qt::Key_Return << int(QDialog::Accepted);
        QTest::addRow("%s Ok, Enter", name) << kind << "btnOk" << Qt::Key_Enter << int(QDialog::Accepted);
        QTest::addRow("%s Cancel, Return", name) << kind << "btnCancel" << Qt::Key_Return << int(QDialog::Rejected);
    }
}

void TestEntryDialogs::enter_onFocusedButton_clicksIt()
{
    QFETCH(Kind, kind);
    QFETCH(QString, button);
    QFETCH(Qt::Key, key);
    QFETCH(int, result);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), QStringLiteral("Valid name"));
    auto *target = f.child<QPushButton>(button);
    target->setFocus(Qt::TabFocusReason);
    QTest::keyClick(target, key);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.dialog->result(), result);
    QCOMPARE(f.messages(), QStringList());
}

void TestEntryDialogs::enter_inAnyOneLineField_accepts_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("name");    // typed into edtName first
    QTest::addColumn<QString>("message"); // empty: the dialog closes with OK
    const QList<QPair<Kind, QStringList>> dialogs{
        {Kind::Project, {"edtName", "cbxCategories", "edtStartDate", "edtEndDate"}},
        {Kind::Task, {"edtName", "edtStartDate", "edtEndDate", "chkDone"}},
        {Kind::Category, {"edtName"}},
        {Kind::Hour, {"edtName"}}};
    for (const auto &[kind, fields] : dialogs)
        for (const QString &field : fields) {
            QTest::addRow("%d %s Return", int(kind), qPrintable(field))
                << kind << field << Qt::Key_Return << QStringLiteral("Valid name") << QString();
            QTest::addRow("%d %s Enter", int(kind), qPrintable(field))
                << kind << field << Qt::Key_Enter << QStringLiteral("Valid name") << QString();
        }
    // Enter is Ok, check included.
    QTest::newRow("blank action") << Kind::Hour << "edtName" << Qt::Key_Return << QStringLiteral("  ")
                                  << QStringLiteral("A valid action is required!");
    QTest::newRow("blank category") << Kind::Category << "edtName" << Qt::Key_Return << QString()
                                    << QStringLiteral("A valid category name is required!");
    QTest::newRow("blank project, Enter in a date") << Kind::Project << "edtEndDate" << Qt::Key_Enter
                                                    << QString() << QStringLiteral("A valid project name is required!");
}

void TestEntryDialogs::enter_inAnyOneLineField_accepts()
{
    QFETCH(Kind, kind);
    QFETCH(QString, field);
    QFETCH(Qt::Key, key);
    QFETCH(QString, name);
    QFETCH(QString, message);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), name);
    QWidget *target = f.child(field);
    target->setFocus(Qt::TabFocusReason);
    QTest::keyClick(target, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    if (message.isEmpty()) {
        QVERIFY(f.accepted());
        QCOMPARE(f.messages(), QStringList());
        QCOMPARE(f.name(), AnsiOf(name));
        return;
    }
    QCOMPARE(f.messages(), QStringList{message});
    QVERIFY(f.dialog->isVisible());
    QCOMPARE(QApplication::focusWidget(), f.child(QStringLiteral("edtName")));
}

void TestEntryDialogs::enter_inNotes_addsALineAndCtrlEnterAccepts()
{
    TEntryDialogFixture f(Kind::Task);
    QVERIFY(f.open());
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), QStringLiteral("Write copy"));
    auto *notes = f.child<QPlainTextEdit>(QStringLiteral("memNotes"));
    notes->setFocus(Qt::TabFocusReason);
    TypeText(notes, QStringLiteral("first"));
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClick(notes, Qt::Key_Enter, Qt::KeypadModifier);
    TypeText(notes, QStringLiteral("third"));
    QVERIFY(f.dialog->isVisible());
    QTest::keyClick(notes, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(f.accepted());
    QCOMPARE(qobject_cast<TfrmTask *>(f.dialog.get())->notes(), QByteArray("first\r\n\r\nthird"));
}

void TestEntryDialogs::cancelOrClose_endsWithCancelWithoutChecking_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("byCloseButton");
    const QList<QPair<Kind, const char *>> dialogs{
        {Kind::Project, "project"}, {Kind::Task, "task"}, {Kind::Category, "category"}, {Kind::Hour, "action"}};
    for (const auto &[kind, name] : dialogs) {
        QTest::addRow("%s, Cancel", name) << kind << false;
        QTest::addRow("%s, close button", name) << kind << true;
    }
}

void TestEntryDialogs::cancelOrClose_endsWithCancelWithoutChecking()
{
    QFETCH(Kind, kind);
    QFETCH(bool, byCloseButton);
    TEntryDialogFixture f(kind);
    QVERIFY(f.open());
    // A name that Ok would refuse: ending with Cancel does not look at it.
    TypeText(f.child<QLineEdit>(QStringLiteral("edtName")), QStringLiteral("   "));
    if (byCloseButton)
        f.dialog->close();
    else
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("btnCancel")), Qt::LeftButton);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(f.messages(), QStringList());
}

QTEST_MAIN(TestEntryDialogs)
#include "tst_entrydialogs.moc"
