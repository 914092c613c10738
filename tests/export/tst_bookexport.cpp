#include "common/FailingDisk.h"
#include "common/ReadOnlyDirectory.h"
#include "export/BookExport.h"
#include "export/ICalExport.h"
#include "export_support.h"
#include "model/UProjects.h"
#include "util/FileError.h"
#include "util/ShortDate.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QDateTime kStamp(QDate(2026, 12, 10), QTime(13, 5, 7), Qt::UTC);

// The sample book, loaded from its files in a temporary application directory.
struct TBookFixture {
    TBookFixture()
    {
        SetShortDateFormat(QStringLiteral("M/d/yyyy"));
        WriteSampleBook(appDir());
        projects = std::make_unique<TProjects>(appDir());
        projects->LoadCategories();
        projects->LoadProjects();
        hours = std::make_unique<THours>(appDir());
        hours->LoadHours();
    }
    ~TBookFixture() { SetShortDateFormat(QString()); }
    QString appDir() const { return dir.path() + QLatin1Char('/'); }
    QString path(const QString &name) const { return appDir() + name; }

    TBookExport all(TExportFormat format, const QString &name) const
    {
        return {format, path(name), ProjectsInTreeOrder(*projects),
                format == TExportFormat::ICal ? hours.get() : nullptr, kStamp};
    }

    QTemporaryDir dir;
    std::unique_ptr<TProjects> projects;
    std::unique_ptr<THours> hours;
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString U(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kCafe = U("Café, \"Grand\" €");
const QString kLong = U("A long description ") + QString(34, QChar(0xE9))
                    + U(" that needs folding “quoted” ") + QString(10, QChar(0x20AC));

} // namespace

class TestBookExport : public QObject {
    Q_OBJECT

private slots:
    void exportFormatOfPath_data();
    void exportFormatOfPath();
    void csv_readBackByPythonCsv();
    void ical_readBackByIcalendar();
    void ical_linesAreFoldedWholeCharactersAndEndInCrLf();
    void ical_uidsStayTheSameAndDiffer();
    void ical_dueBeforeTheStartIsKeptAsText();
    void failedWrite_leavesNothing_data();
    void failedWrite_leavesNothing();
};

void TestBookExport::exportFormatOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("format"); // -1: none

    QTest::newRow("ics") << QStringLiteral("/a/plan.ics") << int(TExportFormat::ICal);
    QTest::newRow("capital CSV") << QStringLiteral("/a/plan.CSV") << int(TExportFormat::Csv);
    QTest::newRow("pdf") << QStringLiteral("plan.pdf") << int(TExportFormat::Pdf);
    QTest::newRow("other type") << QStringLiteral("/a/plan.txt") << -1;
    QTest::newRow("no type") << QStringLiteral("/a/plan") << -1;
    QTest::newRow("type only of a folder") << QStringLiteral("/a.csv/plan") << -1;
}

void TestBookExport::exportFormatOfPath()
{
    QFETCH(QString, path);
    QFETCH(int, format);
    const std::optional<TExportFormat> found = ExportFormatOfPath(path);
    QCOMPARE(found ? int(*found) : -1, format);
}

void TestBookExport::csv_readBackByPythonCsv()
{
    TBookFixture f;
    QCOMPARE(f.all(TExportFormat::Csv, QStringLiteral("book.csv")).run(), 0);
    const QByteArray bytes = ReadAll(f.path(QStringLiteral("book.csv")));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QString error;
    const QJsonArray rows = ReadWithPython("read_csv.py", f.path(QStringLiteral("book.csv")), &error)
                                .array();
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QString print = U("Print é");
    const QList<QStringList> expected = {
        {"Category", "Project", "Project start", "Project end", "Done", "Task description",
         "Task notes", "Task start", "Task end"},
        {"Web", kCafe, "1/5/2027", "2/28/2027", "Yes", U("Write \"copy\"; check € and a\\b"),
         U("line one\r\nline two é\r\nthree, with a comma"), "1/5/2027", "1/20/2027"},
        {"Web", kCafe, "1/5/2027", "2/28/2027", "No", "Call back", "", "soon", ""},
        {"Web", kCafe, "1/5/2027", "2/28/2027", "No", "Call back", "tab\there; semi", "",
         "13/45/2027"},
        {"Web", kCafe, "1/5/2027", "2/28/2027", "No", kLong, "lone LF\nlone CR\rend",
         "2/29/2028", "3/1/2028"},
        {print, "Empty", "", "", "", "", "", "", ""},
        {"Nowhere", "Unlisted", "", "", "No", "Orphan task", "", "", ""},
    };
    QCOMPARE(rows.size(), expected.size());
    for (int r = 0; r < rows.size(); ++r) {
        QStringList row;
        for (const QJsonValue &field : rows.at(r).toArray())
            row << field.toString();
        QCOMPARE(row, expected.at(r));
    }
}

void TestBookExport::ical_readBackByIcalendar()
{
    TBookFixture f;
    // Two of the five hours cannot be placed: "someday" is no date, "13:00 PM" no row.
    QCOMPARE(f.all(TExportFormat::ICal, QStringLiteral("book.ics")).run(), 2);
    QString error;
    const QJsonObject calendar =
        ReadWithPython("read_ics.py", f.path(QStringLiteral("book.ics")), &error).object();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(calendar.value("version").toString(), QStringLiteral("2.0"));
    const QJsonArray items = calendar.value("items").toArray();

    // kind, summary, description, status, categories, start, due, end, startText, dueText;
    // "-" stands for a field that is absent.
    // Categories joined with ",": icalendar 4.0.3 also splits a value at an escaped comma (the
    // raw line is checked in the folding test).
    const QString web = QStringLiteral("Web,") + kCafe;
    const QList<QStringList> expected = {
        {"VTODO", U("Write \"copy\"; check € and a\\b"), U("line one\nline two é\nthree, with a comma"),
         "COMPLETED", web, "2027-01-05", "2027-01-20", "-", "-", "-"},
        {"VTODO", "Call back", "-", "NEEDS-ACTION", web, "-", "-", "-", "soon", "-"},
        {"VTODO", "Call back", "tab\there; semi", "NEEDS-ACTION", web, "-", "-", "-", "-",
         "13/45/2027"},
        {"VTODO", kLong, "lone LF\nlone CR\nend", "NEEDS-ACTION", web, "2028-02-29",
         "2028-03-01", "-", "-", "-"},
        {"VTODO", "Orphan task", "-", "NEEDS-ACTION", "Nowhere,Unlisted", "-", "-", "-", "-", "-"},
        {"VEVENT", U("Meet Zoë, then \"lunch\""), "-", "-", "-", "2027-01-05T09:00:00", "-",
         "2027-01-05T10:00:00", "-", "-"},
        {"VEVENT", "Noon\ncall", "-", "-", "-", "2027-01-05T12:00:00", "-", "2027-01-05T13:00:00",
         "-", "-"},
        {"VEVENT", "Midnight", "-", "-", "-", "2027-01-06T00:00:00", "-", "2027-01-06T01:00:00",
         "-", "-"},
    };
    QCOMPARE(items.size(), expected.size());
    const auto field = [](const QJsonObject &item, const char *name) {
        const QJsonValue value = item.value(QLatin1String(name));
        if (value.isArray()) {
            QStringList parts;
            for (const QJsonValue &part : value.toArray())
                parts << part.toString();
            return parts.join(QLatin1Char(','));
        }
        return value.isNull() ? QStringLiteral("-") : value.toString();
    };
    for (int i = 0; i < items.size(); ++i) {
        const QJsonObject item = items.at(i).toObject();
        const QStringList got = {field(item, "kind"),      field(item, "summary"),
                                 field(item, "description"), field(item, "status"),
                                 field(item, "categories"), field(item, "start"),
                                 field(item, "due"),         field(item, "end"),
                                 field(item, "startText"),   field(item, "dueText")};
        QCOMPARE(got, expected.at(i));
        QCOMPARE(field(item, "stamp"), QStringLiteral("2026-12-10T13:05:07+00:00"));
    }
}

// RFC 5545: lines of at most 75 octets, a continuation begins with a blank, UTF-8 characters
// are never split, every line ends with CR LF.
void TestBookExport::ical_linesAreFoldedWholeCharactersAndEndInCrLf()
{
    TBookFixture f;
    f.all(TExportFormat::ICal, QStringLiteral("book.ics")).run();
    const QByteArray bytes = ReadAll(f.path(QStringLiteral("book.ics")));
    QVERIFY(bytes.endsWith("END:VCALENDAR\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    int continuations = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray content = line.chopped(line.isEmpty() ? 0 : 1);
        QVERIFY2(content.size() <= 75, content.constData());
        QVERIFY2(content.isValidUtf8(), content.constData()); // no character split at a fold
        continuations += content.startsWith(' ');
    }
    QVERIFY(continuations >= 2); // the long description was folded
    QVERIFY(bytes.contains("CATEGORIES:Web,Caf\xC3\xA9\\, \"Grand\" \xE2\x82\xAC\r\n"));
}

void TestBookExport::ical_uidsStayTheSameAndDiffer()
{
    TBookFixture f;
    TBookExport first = f.all(TExportFormat::ICal, QStringLiteral("one.ics"));
    first.run();
    TBookExport second = f.all(TExportFormat::ICal, QStringLiteral("two.ics"));
    second.stamp = kStamp.addDays(3);
    second.run();
    const auto uids = [&f](const char *name) {
        QString error;
        QStringList found;
        const QJsonDocument doc = ReadWithPython("read_ics.py", f.path(QLatin1String(name)), &error);
        for (const QJsonValue &item : doc.object().value("items").toArray())
            found << item.toObject().value("uid").toString();
        return found;
    };
    const QStringList one = uids("one.ics");
    QCOMPARE(one.size(), 8);
    QCOMPARE(uids("two.ics"), one);
    QCOMPARE(QSet<QString>(one.begin(), one.end()).size(), one.size()); // "Call back" twice too
}

// A to-do due before it starts is invalid in iCalendar; calendar programs refuse it.
void TestBookExport::ical_dueBeforeTheStartIsKeptAsText()
{
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    TICalExport ical(kStamp);
    QByteArray out;
    ical.project(out, {"Web", "P", "", ""}, 1);
    ical.task(out, {false, "Late", "", "2/1/2027", "1/1/2027"});
    SetShortDateFormat(QString());
    QVERIFY(out.contains("\r\nDTSTART;VALUE=DATE:20270201\r\n"));
    QVERIFY(out.contains("\r\nX-ZELVO-DUE-TEXT:1/1/2027\r\n"));
    QVERIFY(!out.contains("DUE;"));
}

void TestBookExport::failedWrite_leavesNothing_data()
{
    QTest::addColumn<bool>("readOnlyFolder"); // else: the disk fills up in the middle
    QTest::newRow("read-only folder") << true;
    QTest::newRow("full disk") << false;
}

void TestBookExport::failedWrite_leavesNothing()
{
    QFETCH(bool, readOnlyFolder);
    TBookFixture f;
    QTemporaryDir target;
    const QString old = target.filePath(QStringLiteral("old.csv"));
    { QFile file(old); QVERIFY(file.open(QIODevice::WriteOnly)); file.write("old content"); }
    const QStringList before = QDir(target.path()).entryList(QDir::Files | QDir::Hidden);

    TBookExport job = f.all(TExportFormat::ICal, QString());
    std::unique_ptr<TReadOnlyDirectory> readOnly;
    std::unique_ptr<TFileSizeLimit> limit;
    for (const QString &name : {QStringLiteral("new.ics"), QStringLiteral("old.csv")}) {
        job.path = target.filePath(name);
        job.format = ExportFormatOfPath(name).value();
        if (readOnlyFolder) {
            readOnly = std::make_unique<TReadOnlyDirectory>(target.path());
            if (!readOnly->isReadOnly())
                QSKIP("this folder cannot be made read-only here");
        } else {
            limit = std::make_unique<TFileSizeLimit>(600); // the export needs some 3,000 bytes
        }
        try {
            job.run();
            QFAIL("the export did not fail");
        } catch (const TFileError &error) {
            const QString expected = readOnlyFolder ? QStringLiteral("You are not allowed to save")
                                                    : QStringLiteral("larger than this disk allows");
            QVERIFY2(error.message().contains(expected), qPrintable(error.message()));
        }
        readOnly.reset();
        limit.reset();
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), before);
        QCOMPARE(ReadAll(old), QByteArray("old content"));
    }
}

QTEST_GUILESS_MAIN(TestBookExport)
#include "tst_bookexport.moc"
