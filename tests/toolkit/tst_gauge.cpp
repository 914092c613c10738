#include "toolkit/Gauge.h"

#include "toolkit/Skin.h"

#include <QApplication>
#include <QtTest>

class TestGauge : public QObject
{
    Q_OBJECT

private slots:
    void caption_isProgressTextThenValueAndPercent_data();
    void caption_isProgressTextThenValueAndPercent();
    void fresh_readsZeroPercent();
    void caption_staysDarkOverTheBar_data();
    void caption_staysDarkOverTheBar();
};

namespace {

// Pixels of the painted gauge, in the middle third where the caption stands, that are as dark
// as text (the bar and its groove are light).
int DarkPixelsInTheMiddle(TGauge &gauge)
{
    const QImage shot = gauge.grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = shot.width() / 3; x < shot.width() * 2 / 3; ++x)
            dark += qGray(shot.pixel(x, y)) < 90;
    return dark;
}

} // namespace

void TestGauge::caption_staysDarkOverTheBar_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("bar short of the caption") << 10;
    QTest::newRow("bar under half the caption") << 50;
    QTest::newRow("bar under the whole caption") << 100;
}

void TestGauge::caption_staysDarkOverTheBar()
{
    QFETCH(int, value);
    ApplySkin(BuiltInSkin());
    const auto unskin = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    TGauge gauge;
    gauge.resize(400, 24);
    gauge.setProgressText(QStringLiteral("8/8 tasks  "));
    gauge.setValue(0);
    const int withoutBar = DarkPixelsInTheMiddle(gauge);
    QVERIFY(withoutBar > 30); // the caption is there
    gauge.setValue(value);
    // The same caption, as dark over the bar as beside it (100% is one digit longer).
    QVERIFY2(DarkPixelsInTheMiddle(gauge) >= withoutBar * 9 / 10,
             qPrintable(QStringLiteral("%1 dark pixels, %2 without the bar")
                            .arg(DarkPixelsInTheMiddle(gauge)).arg(withoutBar)));
}

void TestGauge::caption_isProgressTextThenValueAndPercent_data()
{
    QTest::addColumn<QString>("progressText");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("task count") << QStringLiteral("3/11 tasks  ") << 27 << QStringLiteral("3/11 tasks  27%");
    QTest::newRow("no tasks") << QStringLiteral("0/0 tasks  ") << 0 << QStringLiteral("0/0 tasks  0%");
    QTest::newRow("all done") << QStringLiteral("4/4 tasks  ") << 100 << QStringLiteral("4/4 tasks  100%");
    QTest::newRow("no progress text") << QString() << 50 << QStringLiteral("50%");
    // A format placeholder in the progress text is text, not a placeholder.
    QTest::newRow("percent signs kept") << QStringLiteral("%p %v %m 100% ") << 5
                                        << QStringLiteral("%p %v %m 100% 5%");
}

void TestGauge::caption_isProgressTextThenValueAndPercent()
{
    QFETCH(QString, progressText);
    QFETCH(int, value);
    QFETCH(QString, expected);
    TGauge gauge;
    gauge.setValue(value);
    gauge.setProgressText(progressText);
    QCOMPARE(gauge.text(), expected);
    QCOMPARE(gauge.progressText(), progressText);
    QCOMPARE(gauge.value(), value);
    QVERIFY(gauge.isTextVisible());
}

void TestGauge::fresh_readsZeroPercent()
{
    TGauge gauge;
    QCOMPARE(gauge.minimum(), 0);
    QCOMPARE(gauge.maximum(), 100);
    QCOMPARE(gauge.text(), QStringLiteral("0%"));
}

QTEST_MAIN(TestGauge)
#include "tst_gauge.moc"
