#include "settings_support.h"
#include "util/SettingsCipher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Fixture(const char *name)
{
    return ReadWholeFile(QStringLiteral(TEST_DATA_DIR "/cipher/") + QLatin1String(name));
}

} // namespace

class TestSettingsCipher : public QObject {
    Q_OBJECT

private slots:
    void decryptData_storedFixture();
    void data_roundTrip_data();
    void data_roundTrip();
    void decryptData_refused_data();
    void decryptData_refused();
    void files_roundTrip();
    void decryptFile_damaged_writesNothing();
    void encryptFile_missingSource_fails();
};

void TestSettingsCipher::decryptData_storedFixture()
{
    QByteArray plain;
    QVERIFY(DecryptSettingsData(Fixture("settings-fixed-salt.dat"), plain));
    QCOMPARE(plain, Fixture("settings-fixed-salt.txt"));
}

void TestSettingsCipher::data_roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("settings text") << Fixture("settings-fixed-salt.txt");
    QTest::newRow("Windows-1252 bytes and NUL") << QByteArray("caf\xe9\0\x80\xff", 7);
    QTest::newRow("exactly one chunk") << QByteArray(262144, 'a');
}

void TestSettingsCipher::data_roundTrip()
{
    QFETCH(QByteArray, plain);
    const QByteArray stored = EncryptSettingsData(plain);
    // Mode 1: an 8-byte salt, the verifier and the code.
    QCOMPARE(stored.size(), plain.size() + 20);
    QByteArray back;
    QVERIFY(DecryptSettingsData(stored, back));
    QCOMPARE(back, plain);
    QVERIFY(EncryptSettingsData(plain) != stored); // a new salt every time
}

void TestSettingsCipher::decryptData_refused_data()
{
    QTest::addColumn<QByteArray>("stored");
    QByteArray flipped = Fixture("settings-fixed-salt.dat");
    flipped[30] = char(flipped[30] ^ 0x20);
    QTest::newRow("a flipped ciphertext byte") << flipped;
    QTest::newRow("cut short") << Fixture("settings-fixed-salt.dat").left(19);
    QTest::newRow("a plain text") << Fixture("settings-fixed-salt.txt");
    QTest::newRow("empty") << QByteArray();
}

void TestSettingsCipher::decryptData_refused()
{
    QFETCH(QByteArray, stored);
    QByteArray plain("left over");
    QVERIFY(!DecryptSettingsData(stored, plain));
    QVERIFY(plain.isEmpty());
}

void TestSettingsCipher::files_roundTrip()
{
    QTemporaryDir dir;
    const QString plainPath = dir.filePath(QStringLiteral("plain.txt"));
    const QString storedPath = dir.filePath(QStringLiteral("dbsettings.dat"));
    const QString backPath = dir.filePath(QStringLiteral("back.txt"));
    const QByteArray plain = Fixture("settings-fixed-salt.txt");
    QFile file(plainPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(plain) == plain.size());
    file.close();
    QVERIFY(EncryptSettingsFile(plainPath, storedPath));
    QVERIFY(DecryptSettingsFile(storedPath, backPath));
    QCOMPARE(ReadWholeFile(backPath), plain);
}

void TestSettingsCipher::decryptFile_damaged_writesNothing()
{
    QTemporaryDir dir;
    const QString storedPath = dir.filePath(QStringLiteral("dbsettings.dat"));
    const QString destPath = dir.filePath(QStringLiteral("out.txt"));
    QByteArray stored = EncryptSettingsData("<%%ApplicationName%%>X<%%/ApplicationName%%>");
    stored[12] = char(stored[12] ^ 1);
    QFile file(storedPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    file.close();
    QVERIFY(!DecryptSettingsFile(storedPath, destPath));
    QVERIFY(!QFile::exists(destPath));
}

void TestSettingsCipher::encryptFile_missingSource_fails()
{
    QTemporaryDir dir;
    QVERIFY(!EncryptSettingsFile(dir.filePath(QStringLiteral("none.txt")),
                                 dir.filePath(QStringLiteral("dbsettings.dat"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("dbsettings.dat"))));
}

QTEST_GUILESS_MAIN(TestSettingsCipher)
#include "tst_settingscipher.moc"
