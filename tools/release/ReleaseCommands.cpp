#include "ReleaseCommands.h"

#include "release/ProgramVersion.h"
#include "release/ReleaseLocation.h"
#include "release/ReleaseVersion.h"

#include <QDir>
#include <QFileInfo>

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

enum class TKeyKind { Any, Private, Public };

// The key in the file at path, of the kind the command needs; a key of the other kind is
// refused, naming which it is (a public key cannot sign, and a private key has no place
// where only the public one is wanted).
std::optional<TReleaseKey> ReadKey(const QString &path, TKeyKind wanted, const QString &command,
                                   QTextStream &err, int &code)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        code = Fail(err, ExitFileError, QStringLiteral("The key file \"%1\" cannot be read.").arg(path));
        return std::nullopt;
    }
    std::optional<TReleaseKey> key = TReleaseKey::fromPem(file.read(64 * 1024));
    if (!key) {
        code = Fail(err, ExitFileError,
                    QStringLiteral("The file \"%1\" holds no Ed25519 key in PEM form.").arg(path));
        return std::nullopt;
    }
    if (wanted == TKeyKind::Private && !key->isPrivate()) {
        code = Fail(err, ExitFileError,
                    QStringLiteral("\"%1\" is a public key; %2 needs the private key.").arg(path, command));
        return std::nullopt;
    }
    if (wanted == TKeyKind::Public && key->isPrivate()) {
        code = Fail(err, ExitFileError,
                    QStringLiteral("\"%1\" is a private key; %2 needs the public key (keep the private key "
                                   "off the machines that check and build).").arg(path, command));
        return std::nullopt;
    }
    return key;
}

// Empty when the folder of path exists; else the sentence saying it does not.
QString MissingFolder(const QString &path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (folder.isDir())
        return QString();
    return QStringLiteral("The folder \"%1\" does not exist; make it first (for example mkdir -p %1).")
        .arg(QDir::toNativeSeparators(QFileInfo(path).path()));
}

int Keygen(const QString &privatePath, const QString &publicPath, QTextStream &out, QTextStream &err)
{
    if (QFile::exists(privatePath) || QFile::exists(publicPath))
        return Fail(err, ExitFileError, QStringLiteral("A key file already exists; keys are never overwritten."));
    for (const QString &path : {privatePath, publicPath})
        if (const QString missing = MissingFolder(path); !missing.isEmpty())
            return Fail(err, ExitFileError, missing);
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

// Why make must not sign folder as version into out: a program of another version, or a
// location that already offers a newer one. Empty when nothing stands in the way; a bad
// version or a missing folder is left to MakeReleaseLocation to name.
QString MakeRefusal(const QString &folder, const QByteArray &version, const QString &out, bool replaceNewer)
{
    if (!IsReleaseVersion(version) || !QFileInfo(folder).isDir())
        return QString();
    if (const QString problem = ReleaseProgramProblem(folder, version); !problem.isEmpty())
        return problem;
    const std::optional<QByteArray> published = LocationVersion(out);
    if (!published || CompareReleaseVersions(*published, version) <= 0 || replaceNewer)
        return QString();
    return QStringLiteral("The location \"%1\" holds version %2, newer than %3: users would be offered the "
                          "older version, and those who have %2 would never get it. Nothing was written. To "
                          "replace it all the same, add --replace-newer.")
        .arg(out, QString::fromUtf8(*published), QString::fromUtf8(version));
}

// make FOLDER VERSION PRIVATE OUT, with --replace-newer anywhere after "make".
int Make(QStringList a, QTextStream &out, QTextStream &err)
{
    const bool replaceNewer = a.removeAll(QStringLiteral("--replace-newer")) > 0;
    int code = ExitOk;
    const std::optional<TReleaseKey> key = ReadKey(a[2], TKeyKind::Private, QStringLiteral("make"), err, code);
    if (!key)
        return code;
    const QByteArray version = a[1].toUtf8();
    if (const QString refusal = MakeRefusal(a[0], version, a[3], replaceNewer); !refusal.isEmpty())
        return Fail(err, ExitRefused, refusal);
    return Finish(MakeReleaseLocation(a[0], version, *key, a[3]), QStringLiteral("Made and signed"), out, err);
}

int Verify(const QStringList &a, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    const std::optional<TReleaseKey> key = ReadKey(a[1], TKeyKind::Public, QStringLiteral("verify"), err, code);
    if (!key)
        return code;
    return Finish(VerifyReleaseLocation(a[0], *key), QStringLiteral("Verified"), out, err);
}

int Fingerprint(const QString &path, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    const std::optional<TReleaseKey> key = ReadKey(path, TKeyKind::Any, QString(), err, code);
    if (!key)
        return code;
    out << "Fingerprint: " << key->fingerprint() << Qt::endl
        << (key->isPrivate() ? "(of the public half of the private key " : "(of the public key ") << path
        << "; Updater --trusted-key shows the fingerprint of the key a built updater trusts)" << Qt::endl;
    return ExitOk;
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
        "  make [--replace-newer] FOLDER VERSION PRIVATE OUT\n"
        "      Writes the update location OUT for every file under FOLDER: copies of the files,\n"
        "      release.manifest for VERSION (a decimal number such as 2.1), its signature\n"
        "      release.manifest.sig made with the private key PRIVATE, and mainappupdate.inf.\n"
        "      FOLDER must hold the program ProjectZelvo built as VERSION (-DZELVO_VERSION).\n"
        "      A location that holds a newer version is refused unless --replace-newer is given.\n"
        "  verify LOCATION PUBLIC\n"
        "      Checks the update location LOCATION (a folder) as the updater does, with the\n"
        "      public key PUBLIC: signature, manifest, every file's size and SHA-256, and the\n"
        "      version in mainappupdate.inf.\n"
        "  fingerprint KEY\n"
        "      Shows the fingerprint of a key file (of its public half for a private key), to\n"
        "      compare with what a built updater trusts: Updater --trusted-key.\n"
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
    const qsizetype makeWords = rest.size() - rest.count(QStringLiteral("--replace-newer"));
    if (command == QLatin1String("make") && makeWords == 4 && rest.size() <= 5)
        return Make(rest, out, err);
    if (command == QLatin1String("fingerprint") && rest.size() == 1)
        return Fingerprint(rest[0], out, err);
    if (command == QLatin1String("verify") && rest.size() == 2)
        return Verify(rest, out, err);
    err << ReleaseToolUsage();
    return ExitUsage;
}
