#include "util/BrandingSettings.h"

#include "model/TextFile.h"
#include "util/AppFiles.h"
#include "util/SettingsCipher.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString kSettingsFileName = QStringLiteral("dbsettings.dat");
const QByteArray kLastNewsId = QByteArrayLiteral("LastNewsId");
constexpr int kMaxNumberedEntries = 16;
constexpr qsizetype kMaxNewsIdDigits = 10;
// Far above what 16 welcome pages with their pictures take, far below what would exhaust
// memory.
constexpr qint64 kMaxSettingsFileSize = 64 << 20;
constexpr qint64 kMaxAddressLength = 1 << 20;

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

// The affiliate address with every "%%AFFILIATEID%%" (exact case) replaced by the id. An
// address that would grow beyond any real address (a file holding a million placeholders and
// a long id would need terabytes) is no address: empty.
QByteArray WithAffiliateId(QByteArray url, const QByteArray &id)
{
    const QByteArray placeholder = QByteArrayLiteral("%%AFFILIATEID%%");
    const qint64 grown = url.size() + url.count(placeholder) * (id.size() - placeholder.size());
    if (grown > kMaxAddressLength)
        return {};
    return url.replace(placeholder, id);
}

bool LevelReady(const QByteArray &publisherId, const QByteArray &baseUrl)
{
    return !publisherId.isEmpty() && !baseUrl.isEmpty();
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Where the LastNewsId value that opens at valueAt ends on its line: through its closing tag
// when that comes next, else before the next tag or the line end, whichever comes first, so
// that no other tag is ever overwritten.
qsizetype LastNewsIdValueEnd(const QByteArray &text, qsizetype valueAt)
{
    qsizetype lineEnd = valueAt;
    while (lineEnd < text.size() && !IsLineEnd(text[lineEnd]))
        ++lineEnd;
    const qsizetype nextTag = text.indexOf("<%%", valueAt);
    if (nextTag < 0 || nextTag >= lineEnd)
        return lineEnd;
    const QByteArray close = ClosingTag(kLastNewsId);
    const bool ownClosingTag = IndexOfIgnoringAsciiCase(text, close, nextTag) == nextTag;
    return ownClosingTag ? nextTag + close.size() : nextTag;
}

// The plain text with the LastNewsId tag set to id: see SaveLastNewsId. Only the text before
// the first NUL is edited, since reading never sees past it; the bytes after it are kept.
QByteArray WithLastNewsId(const QByteArray &plain, const QByteArray &id)
{
    const qsizetype nul = plain.indexOf('\0');
    QByteArray text = nul < 0 ? plain : plain.first(nul);
    const QByteArray unread = nul < 0 ? QByteArray() : plain.sliced(nul);
    const QByteArray open = OpeningTag(kLastNewsId);
    const QByteArray tagged = open + id + ClosingTag(kLastNewsId);
    const qsizetype openAt = IndexOfIgnoringAsciiCase(text, open);
    if (openAt < 0) {
        if (!text.isEmpty() && !IsLineEnd(text.back()))
            text += "\r\n";
        return text + tagged + "\r\n" + unread;
    }
    const qsizetype replacedEnd = LastNewsIdValueEnd(text, openAt + open.size());
    return text.replace(openAt, replacedEnd - openAt, tagged) + unread;
}

// The deciphered bytes of the settings file at path. A file larger than any brand needs is
// damaged: it is never read into memory whole.
TSettingsFileState DecipherSettingsFile(const QString &path, QByteArray &plain)
{
    QFile file(path);
    if (!file.exists())
        return TSettingsFileState::Missing;
    if (file.size() > kMaxSettingsFileSize || !file.open(QIODevice::ReadOnly))
        return TSettingsFileState::Damaged;
    const QByteArray stored = file.read(kMaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError || stored.size() > kMaxSettingsFileSize)
        return TSettingsFileState::Damaged;
    return DecryptSettingsData(stored, plain) ? TSettingsFileState::Loaded
                                              : TSettingsFileState::Damaged;
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
    s.AffiliateURL = WithAffiliateId(s.AffiliateURL, s.AffiliateID);
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
    QByteArray plain;
    const TSettingsFileState state = DecipherSettingsFile(SettingsPath(appDir), plain);
    if (state == TSettingsFileState::Loaded)
        plainText = JoinTextLines(SplitTextLines(plain));
    return state;
}

QByteArray ReadLastNewsId(const QString &appDir)
{
    QByteArray text;
    if (ReadSettingsText(appDir, text) != TSettingsFileState::Loaded)
        return {};
    return ExtractTaggedValue(text, OpeningTag(kLastNewsId), ClosingTag(kLastNewsId));
}

bool IsStorableNewsId(const QByteArray &id)
{
    if (id.isEmpty() || id.size() > kMaxNewsIdDigits)
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SaveLastNewsId(const QString &appDir, const QByteArray &id)
{
    if (!IsStorableNewsId(id))
        return false; // whatever else a news service sends never reaches the settings file
    const QString path = SettingsPath(appDir);
    QByteArray plain;
    const TSettingsFileState state = DecipherSettingsFile(path, plain);
    if (state == TSettingsFileState::Missing)
        return true; // unbranded: the id is not kept anywhere
    if (state == TSettingsFileState::Damaged)
        return false; // a damaged file is left exactly as it is
    QSaveFile out(path);
    const QByteArray enciphered = EncryptSettingsData(WithLastNewsId(plain, id));
    return out.open(QIODevice::WriteOnly) && out.write(enciphered) == enciphered.size()
        && out.commit();
}
