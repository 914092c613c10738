#include "toolkit/Gauge.h"

#include <QtTest>

class TestGauge : public QObject
{
    Q_OBJECT

private slots:
    void caption_isProgressTextThenValueAndPercent_data();
    void caption_isProgressTextThenValueAndPercent();
    void fresh_readsZeroPercent();
};

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
