#include "files_support.h"
#include "model/SaveTransaction.h"
#include "model/UProjects.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>

// A save killed at any moment leaves every data file with its complete old or complete new
// content, and no temporary file behind. The saving process is this executable started
// again as a child (ZELVO_SAVE_CHILD names its application directory); it saves two books
// in turn until it is killed.

namespace {

const char *const kChildVariable = "ZELVO_SAVE_CHILD";
const QStringList kNames{QStringLiteral("Hours.dat"), QStringLiteral("Projects.dat"),
                         QStringLiteral("categories.dat")};

// Book 0 or book 1; they differ in every file and in size, so that a mix or a cut shows.
void Fill(TProjects &book, THours &hours, int which)
{
    const int projects = which == 0 ? 30 : 37;
    for (int c = 0; c < 5 + which; ++c)
        book.Categories.append("Category " + QByteArray::number(c) + (which ? " b" : " a"));
    for (int p = 0; p < projects; ++p) {
        auto project = std::make_unique<TProject>();
        project->Name = "Project " + QByteArray::number(p) + (which ? " b" : " a");
        project->Category = "Category 0";
        for (int t = 0; t < 1000; ++t) {
            const QByteArray description = "task " + QByteArray::number(t);
            project->Tasks.append(description, TTask(
                                                   t % 3 == which, description,
                                                   QByteArray(60 + which, 'n'), "1/2/2020", ""));
        }
        const QByteArray name = project->Name;
        book.append(name, std::move(project));
    }
    for (int h = 0; h < 2000 + which * 500; ++h)
        hours.append(PlannerKey("1/1/2020", QByteArray::number(h)),
                     std::make_unique<TToDoHour>("1/1/2020", QByteArray::number(h), "action"));
}

void SaveBook(const QString &appDir, int which)
{
    TProjects book(appDir);
    THours hours(appDir);
    Fill(book, hours, which);
    TSaveTransaction transaction;
    AddDataFiles(transaction, book, hours);
    transaction.run();
}

int RunChild(const QString &appDir)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives the test
    TProjects books[2]{TProjects(appDir), TProjects(appDir)};
    THours hours[2]{THours(appDir), THours(appDir)};
    for (int which = 0; which < 2; ++which)
        Fill(books[which], hours[which], which);
    for (int round = 0; round < 100000; ++round) {
        const int which = (round + 1) % 2;
        TSaveTransaction transaction;
        AddDataFiles(transaction, books[which], hours[which]);
        transaction.run();
        std::printf("saved\n");
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

class TestKillDuringSave : public QObject {
    Q_OBJECT

private slots:
    void killAtRandomMoments_leavesOldOrNewFilesAndNoTemporaries();
};

void TestKillDuringSave::killAtRandomMoments_leavesOldOrNewFilesAndNoTemporaries()
{
    // The exact bytes of both books, saved where nothing disturbs them.
    QList<QList<QByteArray>> books;
    for (int which = 0; which < 2; ++which) {
        QTemporaryDir reference;
        SaveBook(reference.path() + QLatin1Char('/'), which);
        QList<QByteArray> files;
        for (const QString &name : kNames)
            files << ReadBytes(reference.filePath(name));
        books << files;
    }
    QVERIFY(books[0][1].size() > 2 * (1 << 20)); // several blocks per save

    QTemporaryDir temp;
    const QString appDir = temp.path() + QLatin1Char('/');
    SaveBook(appDir, 0);

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int savesSeen = 0;
    for (int round = 0; round < 20; ++round) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildVariable), appDir);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForStarted(10000));
        QTest::qWait(int(random.bounded(20, 1500)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        savesSeen += int(child.readAllStandardOutput().count("saved"));

        const QString where = QStringLiteral("round %1, seed %2").arg(round).arg(seed);
        QVERIFY2(EntriesOf(temp.path()) == kNames, qPrintable(where + QStringLiteral(": ")
                                                              + EntriesOf(temp.path()).join(u' ')));
        for (int f = 0; f < kNames.size(); ++f) {
            const QByteArray bytes = ReadBytes(appDir + kNames[f]);
            QVERIFY2(bytes == books[0][f] || bytes == books[1][f],
                     qPrintable(where + QStringLiteral(": %1 is neither book (%2 bytes)")
                                            .arg(kNames[f])
                                            .arg(bytes.size())));
        }
    }
    QVERIFY2(savesSeen > 0, "no save finished before a kill: the kills came too early");
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kChildVariable))
        return RunChild(qEnvironmentVariable(kChildVariable));
    QCoreApplication app(argc, argv);
    TestKillDuringSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killduringsave.moc"
