// zelvo-brand: the settings file for branders. Enciphers a plain settings text into
// dbsettings.dat, deciphers one back, and checks one the way the program reads it.

#include "BannerPictureReader.h"
#include "util/BrandingCheck.h"
#include "util/SettingsCipher.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {

// Exit codes: 0 done (check: nothing lost), 1 refused (check: something lost or ignored;
// decrypt: not authentic), 2 usage or file errors.
constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kError = 2;

const char kUsage[] =
    "Usage: zelvo-brand COMMAND ARGUMENTS\n"
    "\n"
    "Makes and checks the settings file (dbsettings.dat) that brands the planner.\n"
    "\n"
    "  encrypt PLAIN OUT   encipher the plain settings text PLAIN into OUT\n"
    "                      (dbsettings.dat, put it beside the program)\n"
    "  decrypt IN OUT      decipher the settings file IN into the plain text OUT;\n"
    "                      nothing is written when IN is damaged or altered\n"
    "  check FILE          read FILE (enciphered or plain) the way the program does:\n"
    "                      list every value it will read and every tag, entry,\n"
    "                      address or banner picture it will miss or ignore\n"
    "  --help              show this text\n"
    "\n"
    "Exit status: 0 when done and, for check, nothing will be lost or ignored;\n"
    "1 when check finds a problem or decrypt meets a damaged or altered file;\n"
    "2 for a wrong command line or a file that cannot be read or written.\n";

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

int Fail(int code, const QString &message)
{
    Err() << "zelvo-brand: " << message << Qt::endl;
    return code;
}

bool ReadFile(const QString &path, QByteArray &bytes, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Through a save file: an existing OUT stays whole unless the new one is complete.
bool WriteFile(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

int Encrypt(const QString &plainPath, const QString &outPath)
{
    QByteArray plain;
    QString error;
    if (!ReadFile(plainPath, plain, error))
        return Fail(kError, error);
    QByteArray already;
    if (DecryptSettingsData(plain, already))
        return Fail(kRefused, QStringLiteral("%1 is already an enciphered settings file; "
                                             "nothing was written")
                                  .arg(plainPath));
    if (!WriteFile(outPath, EncryptSettingsData(plain), error))
        return Fail(kError, error);
    Out() << "Enciphered " << plainPath << " into " << outPath << Qt::endl;
    return kOk;
}

int Decrypt(const QString &inPath, const QString &outPath)
{
    QByteArray stored, plain;
    QString error;
    if (!ReadFile(inPath, stored, error))
        return Fail(kError, error);
    if (!DecryptSettingsData(stored, plain))
        return Fail(kRefused,
                    QStringLiteral("%1 cannot be deciphered: its password check or "
                                   "authentication code does not match (the file is damaged, "
                                   "altered or not a settings file); nothing was written")
                        .arg(inPath));
    if (!WriteFile(outPath, plain, error))
        return Fail(kError, error);
    Out() << "Deciphered " << inPath << " into " << outPath << Qt::endl;
    return kOk;
}

int Check(const QString &path)
{
    QByteArray bytes;
    QString error;
    if (!ReadFile(path, bytes, error))
        return Fail(kError, error);
    const QString dir = QFileInfo(path).absolutePath() + QLatin1Char('/');
    const TBrandingCheck check = CheckBrandingFile(bytes, dir, ReadBannerPicture);
    Out() << FormatBrandingCheck(check, path) << Qt::flush;
    return check.clean() ? kOk : kRefused;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")
        || command == QLatin1String("help")) {
        Out() << kUsage << Qt::flush;
        return kOk;
    }
    if (command == QLatin1String("encrypt") && args.size() == 3)
        return Encrypt(args[1], args[2]);
    if (command == QLatin1String("decrypt") && args.size() == 3)
        return Decrypt(args[1], args[2]);
    if (command == QLatin1String("check") && args.size() == 2)
        return Check(args[1]);
    Err() << kUsage;
    return Fail(kError, args.isEmpty() ? QStringLiteral("no command given")
                                       : QStringLiteral("wrong command line: %1")
                                             .arg(args.join(QLatin1Char(' '))));
}
