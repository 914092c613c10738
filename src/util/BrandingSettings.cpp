#include "util/BrandingSettings.h"

#include "model/TextFile.h"
#include "util/AppFiles.h"
#include "util/SettingsCipher.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QString kSettingsFileName = QStringLiteral("dbsettings.dat");
const QByteArray kLastNewsId = QByteArrayLiteral("LastNewsId");
constexpr int kMaxNumberedEntries = 16;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QString SettingsPath(const QString &appDir)
{
    const QString dir = appDir.endsWith(QLatin1Char('/')) ? appDir : appDir + QLatin1Char('/');
    return ResolveFileName(dir, kSettingsFileName);
}

// The ordered reading: each search starts where the previous value ended. position is where
// the working text begins inside the whole text.
class TOrderedReader {
public:
    TOrderedReader(const QByteArray &text, QList<TTagReading> *readings)
        : m_text(text), m_readings(readings)
    {
    }

    QByteArray Read(const QByteArray &name)
    {
        TTagReading reading;
        reading.name = name;
        reading.searchFrom = m_position;
        const QByteArray open = OpeningTag(name);
        const qsizetype openAt = IndexOfIgnoringAsciiCase(m_text, open, m_position);
        if (openAt >= 0) {
            reading.openAt = openAt;
            m_position = openAt + open.size();
            const qsizetype closeAt = IndexOfIgnoringAsciiCase(m_text, ClosingTag(name), m_position);
            if (closeAt >= 0) {
                reading.closeAt = closeAt;
                reading.value = m_text.mid(m_position, closeAt - m_position);
                m_position = closeAt;
            }
        }
        if (m_readings)
            m_readings->append(reading);
        return reading.value;
    }

    // Name1.. up to Name16, stopping at the first empty value.
    QList<QByteArray> ReadNumbered(const char *name)
    {
        QList<QByteArray> values;
        for (int n = 1; n <= kMaxNumberedEntries; ++n) {
            QByteArray value = Read(name + QByteArray::number(n));
            if (value.isEmpty())
                break;
            values.append(value);
        }
        return values;
    }

private:
    const QByteArray &m_text;
    QList<TTagReading> *m_readings;
    qsizetype m_position = 0;
};

bool LevelReady(const QByteArray &publisherId, const QByteArray &baseUrl)
{
    return !publisherId.isEmpty() && !baseUrl.isEmpty();
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// text with the LastNewsId tag set to id: see SaveLastNewsId.
QByteArray WithLastNewsId(QByteArray text, const QByteArray &id)
{
    const QByteArray open = OpeningTag(kLastNewsId);
    const QByteArray close = ClosingTag(kLastNewsId);
    const QByteArray tagged = open + id + close;
    const qsizetype openAt = IndexOfIgnoringAsciiCase(text, open);
    if (openAt < 0) {
        if (!text.isEmpty() && !IsLineEnd(text.back()))
            text += "\r\n";
        return text + tagged + "\r\n";
    }
    qsizetype lineEnd = openAt + open.size();
    while (lineEnd < text.size() && !IsLineEnd(text[lineEnd]))
        ++lineEnd;
    const qsizetype closeAt = IndexOfIgnoringAsciiCase(
        QByteArrayView(text).first(lineEnd), close, openAt + open.size());
    const qsizetype replacedEnd = closeAt >= 0 ? closeAt + close.size() : lineEnd;
    return text.replace(openAt, replacedEnd - openAt, tagged);
}

} // namespace

QByteArray OpeningTag(const QByteArray &name)
{
    return "<%%" + name + "%%>";
}

QByteArray ClosingTag(const QByteArray &name)
{
    return "<%%/" + name + "%%>";
}

qsizetype IndexOfIgnoringAsciiCase(QByteArrayView text, QByteArrayView needle, qsizetype from)
{
    if (needle.isEmpty())
        return from <= text.size() ? from : -1;
    const char first = LowerAscii(needle.front());
    for (qsizetype i = from; i + needle.size() <= text.size(); ++i) {
        if (LowerAscii(text[i]) != first)
            continue;
        qsizetype j = 1;
        while (j < needle.size() && LowerAscii(text[i + j]) == LowerAscii(needle[j]))
            ++j;
        if (j == needle.size())
            return i;
    }
    return -1;
}

QByteArray ExtractTaggedValue(QByteArray &text, const QByteArray &openTag,
                              const QByteArray &closeTag)
{
    const qsizetype openAt = IndexOfIgnoringAsciiCase(text, openTag);
    if (openAt < 0)
        return {};
    text.remove(0, openAt + openTag.size());
    const qsizetype closeAt = IndexOfIgnoringAsciiCase(text, closeTag);
    if (closeAt < 0)
        return {};
    QByteArray value = text.left(closeAt);
    text.remove(0, closeAt);
    return value;
}

TBrandingSettings ParseBrandingSettings(const QByteArray &plainText)
{
    return ParseBrandingSettings(plainText, nullptr);
}

TBrandingSettings ParseBrandingSettings(const QByteArray &plainText,
                                        QList<TTagReading> *readings)
{
    TOrderedReader reader(plainText, readings);
    TBrandingSettings s;
    s.ApplicationName = reader.Read("ApplicationName");
    s.BranderCode = reader.Read("BranderCode");
    s.BranderType = reader.Read("BranderType");
    s.AffiliateURL = reader.Read("AffiliateURL");
    s.AffiliateTYPE = reader.Read("AffiliateTYPE");
    s.AffiliateID = reader.Read("AffiliateID");
    s.AffiliateURL.replace("%%AFFILIATEID%%", s.AffiliateID);
    s.MasterNewsBaseURL = reader.Read("MasterNewsBaseURL");
    s.PlatinumNewsBaseURL = reader.Read("PlatinumNewsBaseURL");
    s.GoldNewsBaseURL = reader.Read("GoldNewsBaseURL");
    s.MasterPublID = reader.Read("MasterPublID");
    s.PlatinumPublID = reader.Read("PlatinumPublID");
    s.GoldPublID = reader.Read("GoldPublID");
    s.MakeMoneyButton = reader.Read("MakeMoneyButton");
    s.AppHelpURL = reader.Read("AppHelpURL");
    s.CopyrightYears = reader.Read("CopyrightYears");
    s.CopyrightCompany = reader.Read("CopyrightCompany");
    s.AboutText = reader.Read("AboutText");
    s.WelcomePages = reader.ReadNumbered("Welcome");
    s.Banners = reader.ReadNumbered("Banner");
    s.Links = reader.ReadNumbered("Link");
    return s;
}

bool NewsButtonVisible(const TBrandingSettings &s)
{
    if (s.BranderType == "Master" || s.BranderType == "Free")
        return LevelReady(s.MasterPublID, s.MasterNewsBaseURL);
    if (s.BranderType == "Platinum")
        return LevelReady(s.PlatinumPublID, s.PlatinumNewsBaseURL);
    if (s.BranderType == "Gold")
        return LevelReady(s.GoldPublID, s.GoldNewsBaseURL);
    return false;
}

TSettingsFileState ReadSettingsText(const QString &appDir, QByteArray &plainText)
{
    plainText.clear();
    const QString path = SettingsPath(appDir);
    QFile file(path);
    if (!file.exists())
        return TSettingsFileState::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return TSettingsFileState::Damaged;
    const QByteArray stored = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return TSettingsFileState::Damaged;
    QByteArray plain;
    if (!DecryptSettingsData(stored, plain))
        return TSettingsFileState::Damaged;
    plainText = JoinTextLines(SplitTextLines(plain));
    return TSettingsFileState::Loaded;
}

QByteArray ReadLastNewsId(const QString &appDir)
{
    QByteArray text;
    if (ReadSettingsText(appDir, text) != TSettingsFileState::Loaded)
        return {};
    return ExtractTaggedValue(text, OpeningTag(kLastNewsId), ClosingTag(kLastNewsId));
}

bool SaveLastNewsId(const QString &appDir, const QByteArray &id)
{
    const QString path = SettingsPath(appDir);
    QFile file(path);
    if (!file.exists())
        return true; // unbranded: the id is not kept anywhere
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stored = file.readAll();
    file.close();
    QByteArray plain;
    if (!DecryptSettingsData(stored, plain))
        return false; // a damaged file is left exactly as it is
    QSaveFile out(path);
    const QByteArray enciphered = EncryptSettingsData(WithLastNewsId(plain, id));
    return out.open(QIODevice::WriteOnly) && out.write(enciphered) == enciphered.size()
        && out.commit();
}
