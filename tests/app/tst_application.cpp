#include "app/Application.h"
#include "toolkit/ErrorReport.h"
#include "util/FileError.h"

#include <QTest>
#include <stdexcept>

namespace {

// Throws from its first event, as a handler with an uncaught error does.
class TThrowingHandler : public QObject {
public:
    explicit TThrowingHandler(int kind) : m_kind(kind) {}
    int handled = 0;

    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (++handled > 1)
            return true;
        if (m_kind == 0)
            throw TFileError(QStringLiteral("/data/Projects.dat"), QStringLiteral("disk full"));
        if (m_kind == 1)
            throw std::runtime_error("bad thing");
        throw 42;
    }

private:
    int m_kind;
};

} // namespace

// What a handler does not catch reaches the error report, and the program goes on.
class TestApplication : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void uncaughtError_isReportedAndTheProgramGoesOn_data();
    void uncaughtError_isReportedAndTheProgramGoesOn();
};

void TestApplication::uncaughtError_isReportedAndTheProgramGoesOn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("report");
    QTest::newRow("file error") << 0 << "/data/Projects.dat: disk full";
    QTest::newRow("other error") << 1 << "bad thing";
    QTest::newRow("anything else") << 2 << "An unexpected error occurred.";
}

void TestApplication::uncaughtError_isReportedAndTheProgramGoesOn()
{
    QFETCH(int, kind);
    QFETCH(QString, report);
    QStringList reports;
    SetErrorReportSink([&reports](const QString &text) { reports << text; });
    TThrowingHandler handler(kind);
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&handler, &event);
    QCOMPARE(reports, QStringList{report});
    QCoreApplication::sendEvent(&handler, &event);
    QCOMPARE(handler.handled, 2);
    SetErrorReportSink({});
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_application.moc"
