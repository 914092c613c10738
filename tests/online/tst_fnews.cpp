#include "online/FNews.h"
#include "online/HttpExchange.h"
#include "online_support.h"
#include "toolkit/HtmlView.h"
#include "toolkit/MessageBox.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using ByteList = QList<QByteArray>;

namespace {

const QString kDetails = QStringLiteral("/getnewsdetails.php");

// A news window over three records, its details requests answered by a scripted server, in
// an application directory with a settings file whose LastNewsId is 5.
struct TNewsWindowFixture {
    explicit TNewsWindowFixture(ByteList records = {"12^Spring offer^May 1, 2026",
                                                    "11^Winter tips^Jan 3, 2026",
                                                    "7^Welcome^Dec 1, 2025"})
        : items(std::move(records))
    {
        msgMain.setScripted(true);
        settings = MasterBrand(server.baseUrl());
        WriteSettingsFile(appDir.path(), MasterSettingsText(server.baseUrl(), "5"));
        frm = std::make_unique<TfrmNews>(
            TOnlineContext{&http, &msgMain, &settings, appDir.path() + QLatin1Char('/')}, items);
        frm->show();
        list = frm->findChild<QTreeWidget *>(QStringLiteral("lvwItems"));
        body = frm->findChild<THtmlView *>(QStringLiteral("prfEditorNews"));
    }

    void clickRow(int row) const
    {
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    int selectedRow() const
    {
        const auto selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
    }
    QByteArray storedId() const { return ReadLastNewsId(appDir.path() + QLatin1Char('/')); }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &shown : msgMain.log())
            texts << shown.text;
        return texts;
    }

    TScriptedServer server;
    QTemporaryDir appDir;
    QNetworkAccessManager http;
    TMessageBox msgMain;
    TBrandingSettings settings;
    const ByteList items;
    std::unique_ptr<TfrmNews> frm;
    QTreeWidget *list = nullptr;
    THtmlView *body = nullptr;
};

} // namespace

class TestNewsWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void show_listsTitlesAndDatesInOrder_withoutIds();
    void longTitle_isOneElidedLine();
    void openRow_sendsItsIdShowsTheBodyAndStoresTheId_data();
    void openRow_sendsItsIdShowsTheBodyAndStoresTheId();
    void clickWhileLoading_doesNotMoveTheSelection();
    void failedBody_keepsThePreviousOneAndStoresNothing();
    void closeWhileLoading_endsTheRequestQuietly();
    void withoutLevel_requestsAndStoresNothing();
};

void TestNewsWindow::initTestCase()
{
    if (!TPhpServer::phpAvailable())
        QFAIL("php is needed for the network tests (scripts/deps.sh installs php-cli)");
}

void TestNewsWindow::show_listsTitlesAndDatesInOrder_withoutIds()
{
    TNewsWindowFixture f;
    QCOMPARE(f.frm->windowTitle(), QStringLiteral("News"));
    QCOMPARE(f.frm->size(), QSize(682, 411));
    QCOMPARE(f.frm->findChild<QPushButton *>(QStringLiteral("btnExit"))->text(),
             QStringLiteral("Close"));
    QCOMPARE(f.list->topLevelItemCount(), 3);
    const QList<QStringList> rows = {
        {QStringLiteral("Spring offer"), QStringLiteral("May 1, 2026")},
        {QStringLiteral("Winter tips"), QStringLiteral("Jan 3, 2026")},
        {QStringLiteral("Welcome"), QStringLiteral("Dec 1, 2025")},
    };
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(f.list->topLevelItem(i)->text(0), rows[i][0]);
        QCOMPARE(f.list->topLevelItem(i)->text(1), rows[i][1]);
    }
    QCOMPARE(f.list->headerItem()->text(0), QStringLiteral("News Title"));
    QCOMPARE(f.list->headerItem()->text(1), QStringLiteral("Published"));
    QCOMPARE(f.list->columnWidth(1), 160);
    for (int column = 2; column < f.list->columnCount(); ++column)
        QVERIFY(f.list->isColumnHidden(column));
    QCOMPARE(f.selectedRow(), -1);
    QVERIFY(f.body->toPlainText().isEmpty());
    QCOMPARE(f.server.requests().size(), 0);
}

// A server's title of thousands of characters with line breaks neither widens the window nor
// makes its row taller.
void TestNewsWindow::longTitle_isOneElidedLine()
{
    const QByteArray longTitle = QByteArray("Line one\r\nline two ").repeated(400);
    TNewsWindowFixture f({"12^" + longTitle + "^May 1, 2026", "11^Short^Jan 3, 2026"});
    QVERIFY(QTest::qWaitForWindowExposed(f.frm.get()));

    QCOMPARE(f.frm->size(), QSize(682, 411));
    const QTreeWidgetItem *row = f.list->topLevelItem(0);
    QVERIFY(!row->text(0).contains(QLatin1Char('\n')));
    QVERIFY(!row->text(0).contains(QLatin1Char('\r')));
    QCOMPARE(f.list->visualItemRect(row).height(),
             f.list->visualItemRect(f.list->topLevelItem(1)).height());
    QVERIFY(f.list->columnWidth(0) + f.list->columnWidth(1) <= f.list->viewport()->width());
    QVERIFY(!f.list->horizontalScrollBar()->isVisible());
    QVERIFY(row->toolTip(0).startsWith(QStringLiteral("Line one  line two")));
    QVERIFY(row->toolTip(0).size() < 1000);
}

void TestNewsWindow::openRow_sendsItsIdShowsTheBodyAndStoresTheId_data()
{
    QTest::addColumn<QList<int>>("rowsOpened");
    QTest::addColumn<QByteArray>("storedId");
    QTest::newRow("newest") << QList<int>{0} << QByteArray("12");
    QTest::newRow("older after newer is stored too") << QList<int>{0, 2} << QByteArray("7");
}

void TestNewsWindow::openRow_sendsItsIdShowsTheBodyAndStoresTheId()
{
    QFETCH(QList<int>, rowsOpened);
    TNewsWindowFixture f;
    QVERIFY(f.server.isRunning());
    f.server.reply(kDetails, "$3Ch1$3EHello$3C/h1$3E$3Cp$3EA $24 sign$3C/p$3E\xAF" "OK");
    for (const int row : rowsOpened)
        f.clickRow(row);
    QCOMPARE(f.selectedRow(), rowsOpened.last());
    const auto requests = f.server.requests();
    QCOMPARE(requests.size(), rowsOpened.size());
    for (int i = 0; i < rowsOpened.size(); ++i)
        QCOMPARE(requests[i].fields.value(3),
                 (std::pair<QByteArray, QByteArray>("newsid", f.items[rowsOpened[i]].split('^')[0])));
    QCOMPARE(f.body->toPlainText(), QStringLiteral("Hello\nA $ sign"));
    QTEST(f.storedId(), "storedId");
    QCOMPARE(f.messages(), QStringList());
    QVERIFY(!f.frm->isBusy());
}

void TestNewsWindow::clickWhileLoading_doesNotMoveTheSelection()
{
    TNewsWindowFixture f;
    QVERIFY(f.server.isRunning());
    f.server.stall(kDetails, 1);
    f.server.reply(kDetails, "first body\xAF" "OK");
    bool checked = false;
    QTimer::singleShot(300, [&] {
        QVERIFY(f.frm->isBusy());
        QCOMPARE(f.list->cursor().shape(), Qt::WaitCursor);
        QCOMPARE(f.frm->cursor().shape(), Qt::WaitCursor);
        f.clickRow(1);
        QTest::keyClick(f.list, Qt::Key_Down);
        QCOMPARE(f.selectedRow(), 0);
        checked = true;
    });
    f.clickRow(0);
    QVERIFY(checked);
    QCOMPARE(f.selectedRow(), 0);
    QCOMPARE(f.server.requests().size(), 1);
    QCOMPARE(f.body->toPlainText(), QStringLiteral("first body"));
    QCOMPARE(f.list->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!f.frm->isBusy());
}

void TestNewsWindow::failedBody_keepsThePreviousOneAndStoresNothing()
{
    TNewsWindowFixture f;
    QVERIFY(f.server.isRunning());
    f.server.reply(kDetails, "first body\xAF" "OK");
    f.clickRow(1);
    QCOMPARE(f.storedId(), QByteArray("11"));
    f.server.reply(kDetails, "INVALIDNEWS");
    f.clickRow(0);
    QCOMPARE(f.body->toPlainText(), QStringLiteral("first body"));
    QCOMPARE(f.storedId(), QByteArray("11"));
    QCOMPARE(f.messages(),
             QStringList{QStringLiteral("There is a trouble with this news. Contact your provider.")});
    QVERIFY(!f.frm->isBusy());
}

void TestNewsWindow::closeWhileLoading_endsTheRequestQuietly()
{
    TNewsWindowFixture f;
    QVERIFY(f.server.isRunning());
    f.server.stall(kDetails, 5);
    f.server.reply(kDetails, "late body\xAF" "OK");
    QTimer::singleShot(300, f.frm.get(), [&] {
        QTest::mouseClick(f.frm->findChild<QPushButton *>(QStringLiteral("btnExit")),
                          Qt::LeftButton);
    });
    QElapsedTimer clock;
    clock.start();
    f.clickRow(0);
    QVERIFY(clock.elapsed() < 4000);
    QVERIFY(!f.frm->isVisible());
    QVERIFY(!f.frm->isBusy());
    QVERIFY(!HttpWaiting(f.http));
    QCOMPARE(f.messages(), QStringList());
    QCOMPARE(f.storedId(), QByteArray("5"));
    QVERIFY(f.body->toPlainText().isEmpty());
}

void TestNewsWindow::withoutLevel_requestsAndStoresNothing()
{
    TNewsWindowFixture f;
    QVERIFY(f.server.isRunning());
    f.settings.MasterPublID.clear();
    f.clickRow(0);
    QCOMPARE(f.server.requests().size(), 0);
    QCOMPARE(f.storedId(), QByteArray("5"));
    QVERIFY(!f.frm->isBusy());
    QCOMPARE(f.list->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestNewsWindow)
#include "tst_fnews.moc"
