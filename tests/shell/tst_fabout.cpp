#include "branding_support.h"
#include "common/MainWindowFixture.h"

#include "shell/FAbout.h"

#include <QLabel>
#include <QPlainTextEdit>

class TestAbout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void about_showsTheBrandersTexts_data();
    void about_showsTheBrandersTexts();
};

void TestAbout::about_showsTheBrandersTexts_data()
{
    QTest::addColumn<QByteArray>("plain"); // empty: no settings file
    QTest::addColumn<QStringList>("texts"); // caption, name, version, copyright, memo

    QTest::newRow("every value")
        << TaggedText({{"ApplicationName", "My Planner"},
                       {"CopyrightYears", "2007-2026"},
                       {"CopyrightCompany", "Planner Ltd."},
                       {"AboutText", "First line\r\nSecond line\r\n\r\nAfter a blank"}})
        << QStringList{"About My Planner...", "My Planner", "Product Version: 2.0",
                       "Copyright (c) 2007-2026 Planner Ltd.",
                       "First line\nSecond line\n\nAfter a blank"};
    QTest::newRow("no settings file")
        << QByteArray()
        << QStringList{"About ...", "", "Product Version: 2.0", "Copyright (c)  ", ""};
    QTest::newRow("Windows-1252 text")
        << TaggedText({{"ApplicationName", "Caf\xE9"}, {"CopyrightCompany", "M\xFCller"},
                       {"AboutText", "\x93Quoted\x94"}})
        << QStringList{QStringLiteral(u"About Café..."), QStringLiteral(u"Café"),
                       "Product Version: 2.0", QStringLiteral(u"Copyright (c)  Müller"),
                       QStringLiteral(u"“Quoted”")};
}

// "About" opens the box through the modal runner; "Ok" closes it.
void TestAbout::about_showsTheBrandersTexts()
{
    QFETCH(QByteArray, plain);
    QFETCH(QStringList, texts);
    TMainWindowFixture f;
    if (!plain.isEmpty())
        WriteSettingsFile(f.dir.path(), plain);
    f.open();
    QStringList shown;
    bool bold = false, readOnly = false;
    QString okCaption;
    int result = -1;
    SetDialogScript([&](QDialog &dialog) {
        SetDialogScript({});
        shown << dialog.windowTitle();
        for (const char *name : {"lblProductName", "lblProductVersion", "lblCopyright1"})
            shown << dialog.findChild<QLabel *>(QLatin1String(name))->text();
        shown << dialog.findChild<QPlainTextEdit *>(QStringLiteral("memAbout"))->toPlainText();
        bold = dialog.findChild<QLabel *>(QStringLiteral("lblProductName"))->font().bold();
        readOnly = dialog.findChild<QPlainTextEdit *>(QStringLiteral("memAbout"))->isReadOnly();
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("editAbout"));
        okCaption = ok->text();
        QTest::mouseClick(ok, Qt::LeftButton);
        result = dialog.result();
        return result;
    });

    QTest::mouseClick(f.child<QPushButton>("btnAbout"), Qt::LeftButton);

    QCOMPARE(shown, texts);
    QVERIFY(bold);
    QVERIFY(readOnly);
    QCOMPARE(okCaption, QStringLiteral("Ok"));
    QCOMPARE(result, int(QDialog::Accepted));
}

QTEST_MAIN(TestAbout)
#include "tst_fabout.moc"
