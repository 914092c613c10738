#include "ReleaseCommands.h"

#include "release/ReleaseLocation.h"

#include <QFile>
#include <QLocale>

#include <optional>

namespace {

int Fail(QTextStream &err, int code, const QString &message)
{
    for (const QString &line : message.split(QLatin1Char('\n')))
        err << "zelvo-release: " << line << Qt::endl;
    return code;
}

// A new file only: a key is never written over another.
bool WriteNewFile(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    // Narrow the permissions before the key is in the file.
    file.setPermissions(permissions);
    if (file.write(bytes) == bytes.size() && file.flush())
        return true;
    file.close();
    file.remove();
    return false;
}

std::optional<TReleaseKey> ReadKey(const QString &path, QTextStream &err, int &code)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        code = Fail(err, ExitFileError, QStringLiteral("The key file \"%1\" cannot be read.").arg(path));
        return std::nullopt;
    }
    std::optional<TReleaseKey> key = TReleaseKey::fromPem(file.read(64 * 1024));
    if (!key)
        code = Fail(err, ExitFileError,
                    QStringLiteral("The file \"%1\" holds no Ed25519 key in PEM form.").arg(path));
    return key;
}

int Keygen(const QString &privatePath, const QString &publicPath, QTextStream &out, QTextStream &err)
{
    if (QFile::exists(privatePath) || QFile::exists(publicPath))
        return Fail(err, ExitFileError, QStringLiteral("A key file already exists; keys are never overwritten."));
    const TReleaseKey key = TReleaseKey::generate();
    if (!WriteNewFile(privatePath, key.privatePem(), QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return Fail(err, ExitFileError, QStringLiteral("The private key cannot be written to \"%1\".").arg(privatePath));
    if (!WriteNewFile(publicPath, key.publicPem(),
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                          | QFileDevice::ReadOther)) {
        QFile::remove(privatePath);
        return Fail(err, ExitFileError, QStringLiteral("The public key cannot be written to \"%1\".").arg(publicPath));
    }
    out << "Wrote the private key to " << privatePath << " (keep it secret and offline) and the public key to "
        << publicPath << '.' << Qt::endl;
    return ExitOk;
}

int Finish(const TLocationOutcome &outcome, const QString &done, QTextStream &out, QTextStream &err)
{
    switch (outcome.result) {
    case TLocationResult::Ok:
        break;
    case TLocationResult::Refused:
        return Fail(err, ExitRefused, outcome.error);
    case TLocationResult::FileError:
        return Fail(err, ExitFileError, outcome.error);
    }
    qint64 bytes = 0;
    for (const TReleaseFile &file : outcome.manifest.files)
        bytes += file.size;
    out << done << ": " << QString::fromUtf8(outcome.manifest.product) << ' '
        << QString::fromUtf8(outcome.manifest.version) << ", " << outcome.manifest.files.size()
        << (outcome.manifest.files.size() == 1 ? " file, " : " files, ")
        << QLocale::c().formattedDataSize(bytes) << '.' << Qt::endl;
    return ExitOk;
}

int Make(const QStringList &a, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    const std::optional<TReleaseKey> key = ReadKey(a[2], err, code);
    if (!key)
        return code;
    if (!key->isPrivate())
        return Fail(err, ExitFileError, QStringLiteral("\"%1\" is a public key; make needs the private key.").arg(a[2]));
    return Finish(MakeReleaseLocation(a[0], a[1].toUtf8(), *key, a[3]),
                  QStringLiteral("Made and signed"), out, err);
}

int Verify(const QStringList &a, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    const std::optional<TReleaseKey> key = ReadKey(a[1], err, code);
    if (!key)
        return code;
    return Finish(VerifyReleaseLocation(a[0], *key), QStringLiteral("Verified"), out, err);
}

} // namespace

QString ReleaseToolUsage()
{
    return QStringLiteral(
        "Usage: zelvo-release COMMAND ARGUMENTS\n"
        "Makes and checks signed releases of Project Zelvo for its updater.\n"
        "\n"
        "  keygen PRIVATE PUBLIC\n"
        "      Makes a new Ed25519 key pair: the private key (PEM, PKCS#8) and the public key\n"
        "      (PEM). Existing files are never overwritten.\n"
        "  make FOLDER VERSION PRIVATE OUT\n"
        "      Writes the update location OUT for every file under FOLDER: copies of the files,\n"
        "      release.manifest for VERSION (a decimal number such as 2.1), its signature\n"
        "      release.manifest.sig made with the private key PRIVATE, and mainappupdate.inf.\n"
        "  verify LOCATION PUBLIC\n"
        "      Checks the update location LOCATION (a folder) as the updater does, with the\n"
        "      public key PUBLIC: signature, manifest, every file's size and SHA-256, and the\n"
        "      version in mainappupdate.inf.\n"
        "  --help\n"
        "      Shows this text.\n"
        "\n"
        "Exit codes: 0 done; 1 refused (not a valid release, or a folder that cannot be one);\n"
        "2 wrong command line; 3 a key or file could not be read or written.\n");
}

int RunReleaseTool(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (arguments.size() == 1 && (command == QLatin1String("--help") || command == QLatin1String("-h"))) {
        out << ReleaseToolUsage();
        return ExitOk;
    }
    if (command == QLatin1String("keygen") && rest.size() == 2)
        return Keygen(rest[0], rest[1], out, err);
    if (command == QLatin1String("make") && rest.size() == 4)
        return Make(rest, out, err);
    if (command == QLatin1String("verify") && rest.size() == 2)
        return Verify(rest, out, err);
    err << ReleaseToolUsage();
    return ExitUsage;
}
