#include "updater/FUpdater.h"
#include "updater/UpdateNotice.h"
#include "updater/UpdaterArguments.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The three words the program starts the updater with, and what any other command line gets;
// and the words the updater starts the program with afterwards, and what the program says.
class TestUpdaterArguments : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void usage_isShownInTheWindowAndClosesWithCodeTwo();
    void afterUpdateNotice_data();
    void afterUpdateNotice();
    void otherCommandLines_haveNoNotice_data();
    void otherCommandLines_haveNoNotice();
};

void TestUpdaterArguments::parse_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("baseUrl");

    const QString base = QStringLiteral("http://127.0.0.1:8471/liveupdate/project_zelvo/");
    QTest::newRow("the program's three words") << QStringList{base, "2.0", "A"} << true << base;
    QTest::newRow("https") << QStringList{"https://updates.example.com/zelvo/", "2.0", "A"} << true
                           << QStringLiteral("https://updates.example.com/zelvo/");
    QTest::newRow("a base without the final slash gets it")
        << QStringList{"http://127.0.0.1:8471/liveupdate/project_zelvo", "2.0", "A"} << true << base;
    QTest::newRow("no words") << QStringList{} << false << QString();
    QTest::newRow("two words") << QStringList{base, "2.0"} << false << QString();
    QTest::newRow("four words") << QStringList{base, "2.0", "A", "B"} << false << QString();
    QTest::newRow("the letter is not A") << QStringList{base, "2.0", "B"} << false << QString();
    QTest::newRow("a lowercase a") << QStringList{base, "2.0", "a"} << false << QString();
    QTest::newRow("the words in one") << QStringList{base + " 2.0 A"} << false << QString();
    QTest::newRow("a version that is no number") << QStringList{base, "2.0.1", "A"} << false << QString();
    QTest::newRow("an empty version") << QStringList{base, "", "A"} << false << QString();
    QTest::newRow("a file URL") << QStringList{"file:///tmp/release/", "2.0", "A"} << false << QString();
    QTest::newRow("an ftp URL") << QStringList{"ftp://127.0.0.1/release/", "2.0", "A"} << false << QString();
    QTest::newRow("no host") << QStringList{"http:///release/", "2.0", "A"} << false << QString();
    QTest::newRow("a query") << QStringList{"http://127.0.0.1/u/?x=1", "2.0", "A"} << false << QString();
    QTest::newRow("not a URL") << QStringList{"--help", "2.0", "A"} << false << QString();
}

void TestUpdaterArguments::parse()
{
    QFETCH(QStringList, words);
    QFETCH(bool, valid);
    QFETCH(QString, baseUrl);

    const std::optional<TUpdaterArguments> arguments = ParseUpdaterArguments(words);

    QCOMPARE(arguments.has_value(), valid);
    if (valid) {
        QCOMPARE(arguments->baseUrl.toString(), baseUrl);
        QCOMPARE(arguments->runningVersion, QByteArray("2.0"));
    }
}

void TestUpdaterArguments::usage_isShownInTheWindowAndClosesWithCodeTwo()
{
    TfrmUpdater window;
    QSignalSpy exit(&window, &TfrmUpdater::exitRequested);
    window.showUsage(UpdaterUsage());
    window.show();

    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(), UpdaterUsage());
    QVERIFY(UpdaterUsage().startsWith(QStringLiteral("Usage: Updater BASEURL VERSION A\n")));
    QVERIFY(UpdaterUsage().endsWith(QStringLiteral("Nothing was changed.")));
    QVERIFY(!window.findChild<QProgressBar *>(QStringLiteral("pbrDownload"))->isVisible());
    auto *button = window.findChild<QPushButton *>(QStringLiteral("btnCancel"));
    QCOMPARE(button->text(), QStringLiteral("Close"));

    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(exit.size(), 1);
    QCOMPARE(exit.at(0).at(0).toInt(), 2);
}


void TestUpdaterArguments::afterUpdateNotice_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("notice");

    const QString refused = QStringLiteral("The update offers version 2.1, which is not newer than the installed "
                                           "version 2.2. Version 2.2 is still installed.");
    QTest::newRow("installed") << int(TUpdateResult::Installed)
                               << QStringLiteral("The update is installed: this is version 2.2.");
    QTest::newRow("refused") << int(TUpdateResult::Failed)
                             << QStringLiteral("The update was not installed, so the version you had is kept "
                                               "(version 2.2).\n\n") + refused;
    // The user chose it: nothing to tell.
    QTest::newRow("cancelled") << int(TUpdateResult::Cancelled) << QString();
}

void TestUpdaterArguments::afterUpdateNotice()
{
    QFETCH(int, result);
    QFETCH(QString, notice);
    const TUpdateOutcome outcome{TUpdateResult(result),
                                 QStringLiteral("The update offers version 2.1, which is not newer than the "
                                                "installed version 2.2. Version 2.2 is still installed."),
                                 true};

    QCOMPARE(AfterUpdateNotice(ProgramNotice(outcome), "2.2"), notice);
}

void TestUpdaterArguments::otherCommandLines_haveNoNotice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("kept without a reason") << QStringList{UpdateKeptArgument};
    QTest::newRow("updated with more") << QStringList{UpdatedArgument, QStringLiteral("x")};
    QTest::newRow("something else") << QStringList{QStringLiteral("--help")};
}

void TestUpdaterArguments::otherCommandLines_haveNoNotice()
{
    QFETCH(QStringList, arguments);
    QCOMPARE(AfterUpdateNotice(arguments, "2.0"), QString());
}

QTEST_MAIN(TestUpdaterArguments)
#include "tst_updaterarguments.moc"
