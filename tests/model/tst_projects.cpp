#include "book_support.h"
#include "files_support.h"
#include "model/UProjects.h"
#include "util/FileError.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using ByteList = QList<QByteArray>;
using BookBuilder = std::function<void(TProjects &)>;
Q_DECLARE_METATYPE(BookBuilder)

namespace {

TProject *AddProject(TProjects &book, const QByteArray &name, const QByteArray &category = {},
                     const QByteArray &start = {}, const QByteArray &end = {})
{
    auto project = std::make_unique<TProject>();
    project->Name = name;
    project->Category = category;
    project->StartDate = start;
    project->EndDate = end;
    TProject *p = project.get();
    book.append(name, std::move(project));
    return p;
}

void AddTask(TProject *project, bool done, const QByteArray &description,
             const QByteArray &notes = {}, const QByteArray &start = {}, const QByteArray &end = {})
{
    project->Tasks.append(description,
                          TTask(done, description, notes, start, end));
}

const QByteArray kOneProject("Header^P^^^^\r\n");

} // namespace

class TestProjects : public QObject {
    Q_OBJECT

private slots:
    void init();

    void percentDone_data();
    void percentDone();
    void addDefaultTasks_projectWithTasks_hasExactlyTheElevenDefaults();
    void findProjectByName_data();
    void findProjectByName();

    void splitTaskFields_data();
    void splitTaskFields();
    void loadProjects_taskLine_data();
    void loadProjects_taskLine();
    void loadProjects_headerLine_data();
    void loadProjects_headerLine();
    void loadProjects_fileStructure_data();
    void loadProjects_fileStructure();
    void loadProjects_nonEmptyBook_appendsAfterExistingProjects();

    void saveProjects_writesExactBytesAndReadsBack_data();
    void saveProjects_writesExactBytesAndReadsBack();
    void saveProjects_targetIsDirectory_throws();

    void categories_saveThenLoad_data();
    void categories_saveThenLoad();
    void loadCategories_missingFile_keepsList();

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_appDir;
};

void TestProjects::init()
{
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_appDir = m_temp->path() + QLatin1Char('/');
}

// ---- the model ------------------------------------------------------------------------------

void TestProjects::percentDone_data()
{
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("percent");

    QTest::newRow("no tasks") << 0 << 0 << 0;
    QTest::newRow("none done") << 0 << 5 << 0;
    QTest::newRow("1 of 8: 12.5 goes to the even 12") << 1 << 8 << 12;
    QTest::newRow("3 of 8: 37.5 goes to the even 38") << 3 << 8 << 38;
    QTest::newRow("5 of 8: 62.5 goes to the even 62") << 5 << 8 << 62;
    QTest::newRow("1 of 3") << 1 << 3 << 33;
    QTest::newRow("2 of 3") << 2 << 3 << 67;
    QTest::newRow("3 of 11") << 3 << 11 << 27;
    QTest::newRow("23 of 40: a true half that floating point misses") << 23 << 40 << 58;
    QTest::newRow("all done") << 11 << 11 << 100;
}

void TestProjects::percentDone()
{
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(int, percent);

    TProject project;
    for (int i = 0; i < total; ++i)
        AddTask(&project, i >= total - done, "t");
    QCOMPARE(project.DoneCount(), done);
    QCOMPARE(project.PercentDone(), percent);
}

void TestProjects::addDefaultTasks_projectWithTasks_hasExactlyTheElevenDefaults()
{
    TProject project;
    AddTask(&project, true, "old task", "notes", "1/1/2008", "1/2/2008");

    project.AddDefaultTasks();

    const ByteList expected{"Purchase Domain Name",
                            "Purchase Web Hosting",
                            "Develop Info Product",
                            "Write Web Sales Copy",
                            "Header & Box Graphics",
                            "Setup Web Sites Pages",
                            "Gather Testimonial",
                            "New Click Bank Account",
                            "Solo & Affiliate Ads",
                            "Send Mailing To Lists",
                            "Sell one"};
    QCOMPARE(project.Tasks.count(), int(expected.size()));
    for (int i = 0; i < project.Tasks.count(); ++i) {
        const TTask task = project.Tasks.at(i);
        QCOMPARE(project.Tasks.key(i).toByteArray(), expected.at(i));
        QCOMPARE(task.Description, expected.at(i));
        QVERIFY(!task.Done);
        QVERIFY(task.Notes.isEmpty() && task.StartDate.isEmpty() && task.EndDate.isEmpty());
    }
    QCOMPARE(project.PercentDone(), 0);
}

void TestProjects::findProjectByName_data()
{
    QTest::addColumn<ByteList>("names"); // "key=name" where the entry key differs
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("index"); // -1: none, the caller's index untouched

    QTest::newRow("exact match") << ByteList{"Alpha", "Beta"} << QByteArray("Beta") << 1;
    QTest::newRow("case differs: none") << ByteList{"Alpha"} << QByteArray("alpha") << -1;
    QTest::newRow("same name twice: the first")
        << ByteList{"Other", "Same", "Same"} << QByteArray("Same") << 1;
    QTest::newRow("compares the name, not the key")
        << ByteList{"Old=New"} << QByteArray("New") << 0;
    QTest::newRow("the key alone does not match") << ByteList{"Old=New"} << QByteArray("Old") << -1;
    QTest::newRow("empty book") << ByteList{} << QByteArray("Alpha") << -1;
}

void TestProjects::findProjectByName()
{
    QFETCH(ByteList, names);
    QFETCH(QByteArray, query);
    QFETCH(int, index);

    TProjects book(m_appDir);
    for (const QByteArray &entry : names) {
        const qsizetype eq = entry.indexOf('=');
        TProject *p = AddProject(book, entry.mid(eq + 1));
        if (eq >= 0)
            book.setKey(book.count() - 1, entry.left(eq));
        Q_UNUSED(p);
    }

    int found = 42;
    TProject *project = book.FindProjectByName(query, found);
    if (index < 0) {
        QCOMPARE(project, nullptr);
        QCOMPARE(found, 42);
    } else {
        QCOMPARE(found, index);
        QCOMPARE(project, book.object(index));
    }
}

// ---- reading Projects.dat -------------------------------------------------------------------

void TestProjects::splitTaskFields_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<ByteList>("fields");

    QTest::newRow("a written task line")
        << QByteArray("^False^,^Buy domain^,^at the registrar^,^10/14/2008^,^ 4/ 1/2008^")
        << ByteList{"False", "Buy domain", "at the registrar", "10/14/2008", " 4/ 1/2008"};
    QTest::newRow("two quotes in a row are one quote")
        << QByteArray("^a^^b^,^^^^^") << ByteList{"a^b", "^"};
    QTest::newRow("empty quoted fields") << QByteArray("^^,^^") << ByteList{"", ""};
    QTest::newRow("commas, blanks and line breaks inside quotes kept")
        << QByteArray("^ a, b ^,^x\r\ny^") << ByteList{" a, b ", "x\r\ny"};
    QTest::newRow("blanks around fields and delimiters skipped")
        << QByteArray(" \t^a^ \t, ^b^  ") << ByteList{"a", "b"};
    QTest::newRow("bare fields end at blanks and delimiters")
        << QByteArray("ab cd,ef") << ByteList{"ab", "cd", "ef"};
    QTest::newRow("quote inside a bare field is kept")
        << QByteArray("a^b,c") << ByteList{"a^b", "c"};
    QTest::newRow("text after a closing quote is the next field")
        << QByteArray("^a^b") << ByteList{"a", "b"};
    QTest::newRow("no closing quote: to the end less the last character")
        << QByteArray("^False^,^abc") << ByteList{"False", "ab"};
    QTest::newRow("no closing quote after doubled quotes")
        << QByteArray("^a^^bc") << ByteList{"a^b"};
    QTest::newRow("opening quote alone") << QByteArray("^") << ByteList{""};
    QTest::newRow("delimiter ending the line adds one empty field")
        << QByteArray("^a^,") << ByteList{"a", ""};
    QTest::newRow("delimiter followed by blanks adds no field")
        << QByteArray("^a^, ") << ByteList{"a"};
    QTest::newRow("delimiters alone") << QByteArray(",,") << ByteList{"", "", ""};
    QTest::newRow("empty line") << QByteArray() << ByteList{};
    QTest::newRow("blank line") << QByteArray(" \t ") << ByteList{};
}

void TestProjects::splitTaskFields()
{
    QFETCH(QByteArray, line);
    QFETCH(ByteList, fields);
    QCOMPARE(SplitTaskFields(line), fields);
}

void TestProjects::loadProjects_taskLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("task");

    QTest::newRow("not done") << QByteArray("^False^,^Buy^,^cheap^,^1/2/2008^,^1/3/2008^")
                              << QStringLiteral("T 0|Buy|cheap|1/2/2008|1/3/2008");
    QTest::newRow("done") << QByteArray("^True^,^Buy^,^^,^^,^^") << QStringLiteral("T 1|Buy|||");
    QTest::newRow("done word is case-sensitive")
        << QByteArray("^true^,^Buy^,^^,^^,^^") << QStringLiteral("T 0|Buy|||");
    QTest::newRow("unknown done word") << QByteArray("^Yes^,^Buy^") << QStringLiteral("T 0|Buy|||");
    QTest::newRow("missing fields are empty") << QByteArray("^True^") << QStringLiteral("T 1||||");
    QTest::newRow("fields beyond the fifth ignored")
        << QByteArray("^False^,^a^,^b^,^c^,^d^,^e^,^f^") << QStringLiteral("T 0|a|b|c|d");
    QTest::newRow("escaped CR LF in notes comes back")
        << QByteArray("^False^,^a^,^one\xA5\xA5\xA7\xA7two^,^^,^^")
        << QStringLiteral("T 0|a|one\\r\\ntwo||");
    QTest::newRow("commas and blanks kept inside fields")
        << QByteArray("^False^,^ a, b ^,^,^,^^,^^") << QStringLiteral("T 0| a, b |,||");
    QTest::newRow("doubled quote is one quote")
        << QByteArray("^False^,^1^^2^,^^,^^,^^") << QStringLiteral("T 0|1^2|||");
    QTest::newRow("notes saying EndProject and Header")
        << QByteArray("^False^,^EndProject^,^Header^^x^^^,^^,^^")
        << QStringLiteral("T 0|EndProject|Header^x^||");
    QTest::newRow("leading blanks before the line")
        << QByteArray("  ^True^,^a^") << QStringLiteral("T 1|a|||");
}

void TestProjects::loadProjects_taskLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, task);

    QVERIFY(WriteBytes(m_appDir + QStringLiteral("Projects.dat"),
                       kOneProject + line + "\r\nEndProject\r\n"));
    TProjects book(m_appDir);
    book.LoadProjects();
    QCOMPARE(Dump(book), (QStringList{QStringLiteral("P P|||"), task}));
}

void TestProjects::loadProjects_headerLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("project");

    QTest::newRow("all fields") << QByteArray("Header^Site^Web^10/14/2008^ 4/ 1/2009^")
                                << QStringLiteral("P Site|Web|10/14/2008| 4/ 1/2009");
    QTest::newRow("ends after the name")
        << QByteArray("Header^Site^") << QStringLiteral("P Site|||");
    QTest::newRow("last field without its caret") << QByteArray("Header^Site^Web^1/1/2008^1/2/2008")
                                                  << QStringLiteral("P Site|Web|1/1/2008|1/2/2008");
    QTest::newRow("extra fields ignored")
        << QByteArray("Header^a^b^c^d^e^f^") << QStringLiteral("P a|b|c|d");
    QTest::newRow("empty fields kept in place")
        << QByteArray("Header^^Web^^x^") << QStringLiteral("P |Web||x");
    QTest::newRow("leading blanks")
        << QByteArray(" \tHeader^Site^Web^^^") << QStringLiteral("P Site|Web||");
    QTest::newRow("escape pairs become line breaks") << QByteArray("Header^A\xA5\xA5"
                                                                   "B^C\xA7\xA7^^^")
                                                     << QStringLiteral("P A\\rB|C\\n||");
}

void TestProjects::loadProjects_headerLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, project);

    QVERIFY(WriteBytes(m_appDir + QStringLiteral("Projects.dat"), line + "\r\nEndProject\r\n"));
    TProjects book(m_appDir);
    book.LoadProjects();
    QCOMPARE(Dump(book), QStringList{project});
}

void TestProjects::loadProjects_fileStructure_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("book");

    const QByteArray a("^False^,^a^,^^,^^,^^\r\n");
    const QByteArray b("^True^,^b^,^^,^^,^^\r\n");

    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("project without tasks")
        << QByteArray("Header^P^^^^\r\nEndProject\r\n") << QStringList{"P P|||"};
    QTest::newRow("two projects in order")
        << QByteArray("Header^P^^^^\r\n" + a + "EndProject\r\nHeader^Q^^^^\r\n" + b
                      + "EndProject\r\n")
        << QStringList{"P P|||", "T 0|a|||", "P Q|||", "T 1|b|||"};
    QTest::newRow("missing EndProject at the end drops the project")
        << QByteArray("Header^P^^^^\r\nEndProject\r\nHeader^Q^^^^\r\n" + a)
        << QStringList{"P P|||"};
    QTest::newRow("header before EndProject drops the open project with its tasks")
        << QByteArray("Header^P^^^^\r\n" + a + "Header^Q^^^^\r\n" + b + "EndProject\r\n")
        << QStringList{"P Q|||", "T 1|b|||"};
    QTest::newRow("task lines after EndProject join the closed project")
        << QByteArray("Header^P^^^^\r\n" + a + "EndProject\r\n" + b)
        << QStringList{"P P|||", "T 0|a|||", "T 1|b|||"};
    QTest::newRow("stray lines before the first header ignored")
        << QByteArray(a + "EndProject\r\nHeader^P^^^^\r\n" + b + "EndProject\r\n")
        << QStringList{"P P|||", "T 1|b|||"};
    QTest::newRow("second EndProject does not enter the project again")
        << QByteArray("Header^P^^^^\r\n" + a + "EndProject\r\n" + b + "EndProject\r\n")
        << QStringList{"P P|||", "T 0|a|||", "T 1|b|||"};
    QTest::newRow("blank lines skipped, padded EndProject accepted")
        << QByteArray("\r\n  \r\nHeader^P^^^^\r\n\t\r\n" + a + "  EndProject \r\n\r\n")
        << QStringList{"P P|||", "T 0|a|||"};
    QTest::newRow("any line ends") << QByteArray("Header^P^^^^\r^False^,^a^,^^,^^,^^\nEndProject")
                                   << QStringList{"P P|||", "T 0|a|||"};
    QTest::newRow("NUL ends the text")
        << QByteArrayLiteral("Header^P^^^^\r\nEndProject\r\n\0Header^Q^^^^\r\nEndProject\r\n")
        << QStringList{"P P|||"};
    QTest::newRow("EndProject in another case is a task line")
        << QByteArray("Header^P^^^^\r\nendproject\r\nEndProject\r\n")
        << QStringList{"P P|||", "T 0||||"};
    QTest::newRow("header word in another case is a task line")
        << QByteArray("Header^P^^^^\r\nheader^Q^^^^\r\nEndProject\r\n")
        << QStringList{"P P|||", "T 0||||"};
}

void TestProjects::loadProjects_fileStructure()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, book);

    QVERIFY(WriteBytes(m_appDir + QStringLiteral("Projects.dat"), file));
    TProjects loaded(m_appDir);
    loaded.LoadProjects();
    QCOMPARE(Dump(loaded), book);
    QVERIFY(!loaded.ProjectsLoadFailed());
}

void TestProjects::loadProjects_nonEmptyBook_appendsAfterExistingProjects()
{
    QVERIFY(WriteBytes(m_appDir + QStringLiteral("Projects.dat"),
                       "Header^New^^^^\r\n^True^,^t^\r\nEndProject\r\n"));
    TProjects book(m_appDir);
    AddTask(AddProject(book, "Old"), false, "x");
    book.LoadProjects();
    QCOMPARE(Dump(book), (QStringList{"P Old|||", "T 0|x|||", "P New|||", "T 1|t|||"}));
}

// ---- writing Projects.dat -------------------------------------------------------------------

void TestProjects::saveProjects_writesExactBytesAndReadsBack_data()
{
    QTest::addColumn<BookBuilder>("build");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty book, empty file") << BookBuilder([](TProjects &) {}) << QByteArray();
    QTest::newRow("project without tasks") << BookBuilder([](TProjects &b) {
        AddProject(b, "Site", "Web", "10/14/2008", " 4/ 1/2009");
    }) << QByteArray("Header^Site^Web^10/14/2008^ 4/ 1/2009^\r\nEndProject\r\n");
    QTest::newRow("tasks done and not, empty fields")
        << BookBuilder([](TProjects &b) {
               TProject *p = AddProject(b, "Site", "Web");
               AddTask(p, true, "Buy", "cheap", "1/2/2008", "1/3/2008");
               AddTask(p, false, "");
           })
        << QByteArray("Header^Site^Web^^^\r\n"
                      "^True^,^Buy^,^cheap^,^1/2/2008^,^1/3/2008^\r\n"
                      "^False^,^^,^^,^^,^^\r\n"
                      "EndProject\r\n");
    QTest::newRow("notes with CR LF on one line")
        << BookBuilder([](TProjects &b) { AddTask(AddProject(b, "P"), false, "a", "one\r\ntwo"); })
        << QByteArray(
               "Header^P^^^^\r\n^False^,^a^,^one\xA5\xA5\xA7\xA7two^,^^,^^\r\nEndProject\r\n");
    QTest::newRow("commas and blanks in fields")
        << BookBuilder([](TProjects &b) { AddTask(AddProject(b, "P"), false, " a, b ", ",", " "); })
        << QByteArray("Header^P^^^^\r\n^False^,^ a, b ^,^,^,^ ^,^^\r\nEndProject\r\n");
    QTest::newRow("notes saying EndProject and Header stay in their project")
        << BookBuilder([](TProjects &b) {
               AddTask(AddProject(b, "P"), false, "EndProject", "x\r\nEndProject\r\nHeader");
               AddProject(b, "Q");
           })
        << QByteArray("Header^P^^^^\r\n"
                      "^False^,^EndProject^,^x\xA5\xA5\xA7\xA7"
                      "EndProject\xA5\xA5\xA7\xA7"
                      "Header^,^^,^^\r\nEndProject\r\n"
                      "Header^Q^^^^\r\nEndProject\r\n");
    QTest::newRow("quote in task fields written doubled")
        << BookBuilder([](TProjects &b) { AddTask(AddProject(b, "P"), false, "^a^", "^", "x^^y"); })
        << QByteArray("Header^P^^^^\r\n^False^,^^^a^^^,^^^^,^x^^^^y^,^^\r\nEndProject\r\n");
    QTest::newRow("line breaks in header fields escaped")
        << BookBuilder([](TProjects &b) { AddProject(b, "A\r\nB", "C\n"); })
        << QByteArray("Header^A\xA5\xA5\xA7\xA7"
                      "B^C\xA7\xA7^^^\r\nEndProject\r\n");
    // Far longer than the room a piece starts with, and twice as long once escaped.
    QTest::newRow("long fields made of nothing but bytes to escape")
        << BookBuilder([](TProjects &b) {
               AddTask(AddProject(b, "P"), false, QByteArray(70000, '^'), QByteArray(100000, '\n'),
                       QByteArray(30000, '\r'));
           })
        << "Header^P^^^^\r\n^False^,^" + QByteArray(140000, '^') + "^,^"
               + QByteArray("\xA7\xA7").repeated(100000) + "^,^"
               + QByteArray("\xA5\xA5").repeated(30000) + "^,^^\r\nEndProject\r\n";
    QTest::newRow("same name twice, Windows-1252 bytes")
        << BookBuilder([](TProjects &b) {
               AddTask(AddProject(b, "Caf\xE9", "\x80uro"), true, "\xE9t\xE9");
               AddProject(b, "Caf\xE9");
           })
        << QByteArray("Header^Caf\xE9^\x80uro^^^\r\n^True^,^\xE9t\xE9^,^^,^^,^^\r\nEndProject\r\n"
                      "Header^Caf\xE9^^^^\r\nEndProject\r\n");
}

void TestProjects::saveProjects_writesExactBytesAndReadsBack()
{
    QFETCH(BookBuilder, build);
    QFETCH(QByteArray, bytes);

    TProjects book(m_appDir);
    build(book);
    book.SaveProjects();
    QCOMPARE(Show(ReadBytes(m_appDir + QStringLiteral("Projects.dat"))), Show(bytes));

    TProjects loaded(m_appDir);
    loaded.LoadProjects();
    QCOMPARE(Dump(loaded), Dump(book));
}

void TestProjects::saveProjects_targetIsDirectory_throws()
{
    TProjects book(m_appDir);
    AddProject(book, "P");
    QVERIFY(QDir(m_appDir).mkdir(QStringLiteral("Projects.dat")));
    QVERIFY_THROWS_EXCEPTION(TFileError, book.SaveProjects());
}

// ---- categories.dat -------------------------------------------------------------------------

void TestProjects::categories_saveThenLoad_data()
{
    QTest::addColumn<ByteList>("categories");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty list, empty file") << ByteList{} << QByteArray();
    QTest::newRow("names as they are, empty ones included")
        << ByteList{"Web", "", " Mail ", "\xC9t\xE9^x"}
        << QByteArray("Web\r\n\r\n Mail \r\n\xC9t\xE9^x\r\n");
    QTest::newRow("names differing in case both kept")
        << ByteList{"Web", "WEB"} << QByteArray("Web\r\nWEB\r\n");
}

void TestProjects::categories_saveThenLoad()
{
    QFETCH(ByteList, categories);
    QFETCH(QByteArray, bytes);

    TProjects book(m_appDir);
    for (const QByteArray &c : categories)
        book.Categories.append(c);
    book.SaveCategories();
    QCOMPARE(ReadBytes(m_appDir + QStringLiteral("categories.dat")), bytes);

    TProjects loaded(m_appDir);
    loaded.Categories.append("replaced by the file");
    loaded.LoadCategories();
    QCOMPARE(loaded.Categories.toList(), categories);
}

void TestProjects::loadCategories_missingFile_keepsList()
{
    TProjects book(m_appDir);
    book.Categories.append("Web");
    book.LoadCategories();
    book.LoadProjects();
    QCOMPARE(book.Categories.toList(), ByteList{"Web"});
    QCOMPARE(book.count(), 0);
    QVERIFY(!book.CategoriesLoadFailed() && !book.ProjectsLoadFailed());
}

QTEST_GUILESS_MAIN(TestProjects)
#include "tst_projects.moc"
