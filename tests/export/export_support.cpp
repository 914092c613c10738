#include "export_support.h"

#include <QFile>
#include <QProcess>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// A task line as the project file holds it: line breaks escaped.
QByteArray TaskLine(bool done, const QByteArray &description, const QByteArray &notes,
                    const QByteArray &start, const QByteArray &end)
{
    QByteArray line = (done ? "^True^,^" : "^False^,^") + description + "^,^" + notes + "^,^"
                    + start + "^,^" + end + "^";
    line.replace('\r', "\xA5\xA5").replace('\n', "\xA7\xA7");
    return line + "\r\n";
}

} // namespace

QByteArray SampleCategories()
{
    return "Web\r\nPrint \xE9\r\n";
}

QByteArray SampleProjects()
{
    return "Header^Caf\xE9, \"Grand\" \x80^Web^1/5/2027^2/28/2027^\r\n"
         + TaskLine(true, "Write \"copy\"; check \x80 and a\\b", "line one\r\nline two \xE9\r\nthree, with a comma",
                    "1/5/2027", "1/20/2027")
         + TaskLine(false, "Call back", "", "soon", "")
         + TaskLine(false, "Call back", "tab\there; semi", "", "13/45/2027")
         + TaskLine(false,
                    "A long description \xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"
                    "\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9"
                    " that needs folding \x93quoted\x94 \x80\x80\x80\x80\x80\x80\x80\x80\x80\x80",
                    "lone LF\nlone CR\rend", "2/29/2028", "3/1/2028")
         + "EndProject\r\n"
           "Header^Empty^Print \xE9^^^\r\nEndProject\r\n"
           "Header^Unlisted^Nowhere^^^\r\n"
         + TaskLine(false, "Orphan task", "", "", "") + "EndProject\r\n";
}

QByteArray SampleHours()
{
    return "1/5/2027^9:00 AM^Meet Zo\xEB, then \"lunch\"^\r\n"
           "1/5/2027^12:00 M^Noon\xA5\xA5\xA7\xA7" "call^\r\n"
           "1/5/2027^12:00 PM^Midnight^\r\n"
           "someday^3:00 PM^Not placed^\r\n"
           "1/6/2027^13:00 PM^No such row^\r\n";
}

void WriteSampleBook(const QString &dir)
{
    WriteFile(dir + QStringLiteral("categories.dat"), SampleCategories());
    WriteFile(dir + QStringLiteral("Projects.dat"), SampleProjects());
    WriteFile(dir + QStringLiteral("Hours.dat"), SampleHours());
}

QJsonDocument ReadWithPython(const char *script, const QString &file, QString *error)
{
    QProcess python;
    // Debian's Python, which has the packages that deps.sh installs.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(TEST_DATA_DIR "/export/") + QLatin1String(script), file});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        *error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return {};
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(python.readAllStandardOutput(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        *error = parseError.errorString();
    return doc;
}
