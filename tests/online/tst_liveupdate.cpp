#include "common/DrippingServer.h"
#include "common/RecordingPlatform.h"
#include "online/HttpExchange.h"
#include "online/LiveUpdate.h"
#include "online/UpdateBaseURL.h"
#include "online/UpdateInfo.h"
#include "online_support.h"
#include "toolkit/MessageBox.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace std::chrono_literals;

namespace {

const QString kInfoPath = QStringLiteral("liveupdate/project_zelvo/mainappupdate.inf");
const QString kNoUpdates = QStringLiteral("There's no new updates for this application!");
const QString kMissingUpdater =
    QStringLiteral("The updater module is missing. Please reinstall again the current version!");
const QString kCloseQuestion = QStringLiteral(
    "To update your software the application will close to\n\rreplace some files. Do you want "
    "to update now?");

QString Offer(const QString &version)
{
    return QStringLiteral("There is a new update: (version ") + version +
           QStringLiteral(") available for your application!. Do you want download this update "
                          "now?");
}

// A main window stand-in whose close can be refused, as the close question does.
class TWindow : public QWidget {
public:
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }
};

struct TUpdateFixture {
    TUpdateFixture()
    {
        msgMain.setScripted(true);
        window.show();
        if (server.isRunning())
            SetUpdateBaseURL(server.url(QStringLiteral("liveupdate/project_zelvo/")).toLatin1());
    }
    ~TUpdateFixture()
    {
        SetUpdateBaseURL(QByteArray());
        SetHttpTransferTimeout(30s);
        SetHttpDeadline(THttpPurpose::LiveUpdate, 30s);
    }

    QString appFile(const QString &name) const { return appDir.filePath(name); }
    void putUpdater() const
    {
        QFile file(appFile(kUpdaterFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    void publish(const QByteArray &version)
    {
        server.putFile(kInfoPath, "[APPLICATION]\r\nName=Project Zelvo\r\nVersion=" + version +
                                      "\r\n");
    }
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
    TRecordingPlatform platform;
    TWindow window;
    TLiveUpdate update{http, msgMain, window, appDir.path() + QLatin1Char('/')};
};

} // namespace

class TestLiveUpdate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void iniValue_data();
    void iniValue();
    void publishedVersion_decidesTheOffer_data();
    void publishedVersion_decidesTheOffer();
    void failedDownload_leavesNoFile_andSpeaksOnlyWhenNotSilent_data();
    void failedDownload_leavesNoFile_andSpeaksOnlyWhenNotSilent();
    void redirect_isFollowed();
    void stallingLocation_timesOut();
    void answers_decideWhatHappens_data();
    void answers_decideWhatHappens();
    void questions_areInformationBoxesWithOkAndCancel();
    void refusedClose_startsNoUpdater();
    void updateButton_whileARequestWaits_isIgnored();
};

void TestLiveUpdate::iniValue_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("plain") << QByteArray("[APPLICATION]\r\nName=X\r\nVersion=2.1\r\n")
                           << QByteArray("2.1");
    QTest::newRow("names ignore case, blanks dropped")
        << QByteArray("[application]\nversion = 2.5 \n") << QByteArray("2.5");
    QTest::newRow("other section") << QByteArray("[OTHER]\nVersion=9\n[APPLICATION]\nName=X\n")
                                   << QByteArray();
    QTest::newRow("first of two") << QByteArray("[APPLICATION]\rVersion=3\rVersion=4\r")
                                  << QByteArray("3");
    QTest::newRow("quoted") << QByteArray("[APPLICATION]\nVersion=\"2.2\"\n") << QByteArray("2.2");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[APPLICATION]\nVersion=2.3\n")
                                     << QByteArray("2.3");
    QTest::newRow("missing key") << QByteArray("[APPLICATION]\nName=X\n") << QByteArray();
}

void TestLiveUpdate::iniValue()
{
    QFETCH(QByteArray, ini);
    QTEST(ReadIniValue(ini, "APPLICATION", "Version"), "value");
}

void TestLiveUpdate::publishedVersion_decidesTheOffer_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QStringList>("messages");
    const QStringList none{kNoUpdates};
    QTest::newRow("2.0") << QByteArray("2.0") << none;
    QTest::newRow("2.1") << QByteArray("2.1") << QStringList{Offer(QStringLiteral("2.1"))};
    QTest::newRow("10") << QByteArray("10") << QStringList{Offer(QStringLiteral("10"))};
    QTest::newRow("1.9") << QByteArray("1.9") << none;
    QTest::newRow("2.1.1") << QByteArray("2.1.1") << none;
    QTest::newRow("2,1") << QByteArray("2,1") << none;
    QTest::newRow("2.00000001 is 2 in single precision") << QByteArray("2.00000001") << none;
    QTest::newRow("2.10 shown as published") << QByteArray("2.10")
                                             << QStringList{Offer(QStringLiteral("2.10"))};
    QTest::newRow("empty") << QByteArray() << none;
    QTest::newRow("inf") << QByteArray("inf") << none;
    QTest::newRow("nan") << QByteArray("nan") << none;
    QTest::newRow("beyond single precision") << QByteArray("1" + QByteArray(50, '0')) << none;
}

void TestLiveUpdate::publishedVersion_decidesTheOffer()
{
    QFETCH(QByteArray, version);
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.publish(version);
    // Decimal commas must not matter.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German));
    f.msgMain.scriptAnswers({QMessageBox::Cancel});
    f.update.CheckForUpdate(false);
    QLocale::setDefault(previous);
    QTEST(f.messages(), "messages");
    QVERIFY(f.window.isVisible());
    QVERIFY(QFile::exists(f.appFile(kUpdateInfoFileName)));
}

void TestLiveUpdate::failedDownload_leavesNoFile_andSpeaksOnlyWhenNotSilent_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("silent");
    for (const QString &failure : {QStringLiteral("404"), QStringLiteral("500"),
                                   QStringLiteral("unreachable"),
                                   QStringLiteral("larger than 64 KiB"),
                                   QStringLiteral("dripping past the deadline")}) {
        QTest::addRow("%s, button", qPrintable(failure)) << failure << false;
        QTest::addRow("%s, silent", qPrintable(failure)) << failure << true;
    }
}

void TestLiveUpdate::failedDownload_leavesNoFile_andSpeaksOnlyWhenNotSilent()
{
    QFETCH(QString, failure);
    QFETCH(bool, silent);
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    TDrippingServer dripping(200ms);
    if (failure == QLatin1String("unreachable")) {
        SetUpdateBaseURL(UnreachableBaseUrl() + "liveupdate/project_zelvo/");
    } else if (failure == QLatin1String("500")) {
        f.server.reply(QLatin1Char('/') + kInfoPath, "[APPLICATION]\r\nVersion=9.0\r\n", 500);
    } else if (failure.startsWith(QLatin1String("larger"))) {
        f.server.sizedReply(QLatin1Char('/') + kInfoPath, kMaxUpdateInfoBytes + 1);
    } else if (failure.startsWith(QLatin1String("dripping"))) {
        // Well under the size limit, and never quiet long enough for the inactivity limit.
        SetUpdateBaseURL(dripping.baseUrl());
        SetHttpDeadline(THttpPurpose::LiveUpdate, 1s);
    }
    // A copy from an earlier check must not be read instead.
    QFile old(f.appFile(kUpdateInfoFileName));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("[APPLICATION]\r\nVersion=9.0\r\n");
    old.close();

    f.update.CheckForUpdate(silent);
    QCOMPARE(f.messages(), silent ? QStringList() : QStringList{kUpdateLocationUnreachable});
    QCOMPARE(QDir(f.appDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestLiveUpdate::redirect_isFollowed()
{
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.server.putFile(QStringLiteral("moved/mainappupdate.inf"), "[APPLICATION]\nVersion=2.5\n");
    f.server.redirect(QLatin1Char('/') + kInfoPath, f.server.url(QStringLiteral("moved/mainappupdate.inf")));
    f.msgMain.scriptAnswers({QMessageBox::Cancel});
    f.update.CheckForUpdate(true);
    QCOMPARE(f.messages(), QStringList{Offer(QStringLiteral("2.5"))});
}

void TestLiveUpdate::stallingLocation_timesOut()
{
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.server.stall(QLatin1Char('/') + kInfoPath, 5);
    f.server.reply(QLatin1Char('/') + kInfoPath, "[APPLICATION]\nVersion=3\n");
    SetHttpTransferTimeout(1s);
    QElapsedTimer clock;
    clock.start();
    f.update.CheckForUpdate(false);
    QVERIFY2(clock.elapsed() < 4000, "the stalled download was not cut off");
    QCOMPARE(f.messages(), QStringList{kUpdateLocationUnreachable});
    QVERIFY(!QFile::exists(f.appFile(kUpdateInfoFileName)));
}

void TestLiveUpdate::answers_decideWhatHappens_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("updater");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("started");
    const QString offer = Offer(QStringLiteral("2.1"));
    using Answers = QList<QMessageBox::StandardButton>;
    for (const bool silent : {false, true}) {
        const char *mode = silent ? "silent" : "button";
        QTest::addRow("%s: Cancel on the first question", mode)
            << silent << true << Answers{QMessageBox::Cancel} << QStringList{offer} << false;
        QTest::addRow("%s: no updater", mode)
            << silent << false << Answers{QMessageBox::Ok} << QStringList{offer, kMissingUpdater}
            << false;
        QTest::addRow("%s: Cancel on the second question", mode)
            << silent << true << Answers{QMessageBox::Ok, QMessageBox::Cancel}
            << QStringList{offer, kCloseQuestion} << false;
        QTest::addRow("%s: OK on both", mode)
            << silent << true << Answers{QMessageBox::Ok, QMessageBox::Ok}
            << QStringList{offer, kCloseQuestion} << true;
    }
}

void TestLiveUpdate::answers_decideWhatHappens()
{
    QFETCH(bool, silent);
    QFETCH(bool, updater);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(bool, started);
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.publish("2.1");
    if (updater)
        f.putUpdater();
    f.msgMain.scriptAnswers(answers);
    f.update.CheckForUpdate(silent);
    QTEST(f.messages(), "messages");
    QCOMPARE(f.window.isVisible(), !started);
    const QString parameters = f.server.url(QStringLiteral("liveupdate/project_zelvo/")) +
                               QStringLiteral(" 2.0 A");
    QCOMPARE(f.platform.calls,
             started ? QStringList{QStringLiteral("shellOpen(%1, %2)")
                                       .arg(f.appFile(kUpdaterFileName), parameters)}
                     : QStringList());
}

void TestLiveUpdate::questions_areInformationBoxesWithOkAndCancel()
{
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.publish("3.0");
    f.putUpdater();
    f.msgMain.scriptAnswers({QMessageBox::Ok, QMessageBox::Cancel});
    f.update.CheckForUpdate(false);
    const auto &log = f.msgMain.log();
    QCOMPARE(log.size(), 2);
    for (const auto &shown : log) {
        QCOMPARE(shown.kind, QMessageBox::Information);
        QCOMPARE(shown.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }
}

void TestLiveUpdate::refusedClose_startsNoUpdater()
{
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.publish("2.1");
    f.putUpdater();
    f.window.refuseClose = true;
    f.msgMain.scriptAnswers({QMessageBox::Ok, QMessageBox::Ok});
    f.update.CheckForUpdate(false);
    QVERIFY(f.window.isVisible());
    QCOMPARE(f.platform.calls, QStringList());
}

void TestLiveUpdate::updateButton_whileARequestWaits_isIgnored()
{
    TUpdateFixture f;
    QVERIFY(f.server.isRunning());
    f.server.stall(QLatin1Char('/') + kInfoPath, 1);
    f.server.reply(QLatin1Char('/') + kInfoPath, "[APPLICATION]\nVersion=2.0\n");
    bool clicked = false;
    QTimer::singleShot(200, [&] {
        clicked = true;
        f.update.btnUpdateClick();
    });
    f.update.btnUpdateClick();
    QVERIFY(clicked);
    QCOMPARE(f.messages(), QStringList{kNoUpdates});
    QCOMPARE(f.server.requests().size(), 1);
}

QTEST_MAIN(TestLiveUpdate)
#include "tst_liveupdate.moc"
