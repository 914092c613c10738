#include "util/AppFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAppFiles : public QObject {
    Q_OBJECT

private slots:
    void resolveFileName_data();
    void resolveFileName();
};

void TestAppFiles::resolveFileName_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("dirs");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("resolved");

    QTest::newRow("exact name exists")
        << QStringList{QStringLiteral("Projects.dat")} << QStringList{}
        << QStringLiteral("Projects.dat") << QStringLiteral("Projects.dat");
    QTest::newRow("only a case variant exists")
        << QStringList{QStringLiteral("PROJECTS.DAT")} << QStringList{}
        << QStringLiteral("Projects.dat") << QStringLiteral("PROJECTS.DAT");
    QTest::newRow("nothing matches: the name itself")
        << QStringList{QStringLiteral("Projects.bak")} << QStringList{}
        << QStringLiteral("Projects.dat") << QStringLiteral("Projects.dat");
    QTest::newRow("exact name wins over a case variant")
        << QStringList{QStringLiteral("projects.dat"), QStringLiteral("Projects.dat")}
        << QStringList{} << QStringLiteral("Projects.dat") << QStringLiteral("Projects.dat");
    QTest::newRow("of several variants the first by name")
        << QStringList{QStringLiteral("projects.DAT"), QStringLiteral("PROJECTS.dat")}
        << QStringList{} << QStringLiteral("Projects.dat") << QStringLiteral("PROJECTS.dat");
    QTest::newRow("a directory is an entry too")
        << QStringList{} << QStringList{QStringLiteral("HOURS.dat")} << QStringLiteral("Hours.dat")
        << QStringLiteral("HOURS.dat");
}

void TestAppFiles::resolveFileName()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, dirs);
    QFETCH(QString, name);
    QFETCH(QString, resolved);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString appDir = temp.path() + QLatin1Char('/');
    for (const QString &file : files) {
        QFile f(appDir + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    for (const QString &dir : dirs)
        QVERIFY(QDir(appDir).mkdir(dir));

    QCOMPARE(ResolveFileName(appDir, name), appDir + resolved);
}

QTEST_GUILESS_MAIN(TestAppFiles)
#include "tst_appfiles.moc"
