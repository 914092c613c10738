#include "util/BrandingCheck.h"

#include "model/TextFile.h"
#include "util/AppFiles.h"
#include "util/AppVersion.h"
#include "util/BrandingSettings.h"
#include "util/CodePage.h"
#include "util/SettingsCipher.h"
#include "util/UUtils.h"
#include "util/WelcomePageReferences.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int kMaxNumbered = 16;
constexpr qsizetype kShownLength = 70;
const QByteArray kLastNewsIdTag = QByteArrayLiteral("LastNewsId");

// A tag as written in the text.
struct TTagOccurrence {
    QByteArray name;
    bool closing = false;
    qsizetype at = 0;
};

bool IsAsciiAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Every "<%%Name%%>" and "<%%/Name%%>" in the text.
QList<TTagOccurrence> ScanTags(const QByteArray &text)
{
    QList<TTagOccurrence> tags;
    qsizetype at = 0;
    while ((at = text.indexOf("<%%", at)) >= 0) {
        TTagOccurrence tag;
        tag.at = at;
        qsizetype p = at + 3;
        tag.closing = p < text.size() && text[p] == '/';
        if (tag.closing)
            ++p;
        const qsizetype nameStart = p;
        while (p < text.size() && IsAsciiAlnum(text[p]))
            ++p;
        if (p > nameStart && text.mid(p, 3) == "%%>") {
            tag.name = text.mid(nameStart, p - nameStart);
            tags.append(tag);
            at = p + 3;
        } else {
            at += 3;
        }
    }
    return tags;
}

// "Welcome12" -> ("Welcome", 12); 0 when the name has no number (or a leading zero).
QPair<QByteArray, int> SplitNumber(const QByteArray &name)
{
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    if (digits == name.size() || name[digits] == '0')
        return {name, 0};
    bool ok = false;
    const int number = name.mid(digits).toInt(&ok);
    return {name.left(digits), ok ? number : 0};
}

int LineOf(const QByteArray &text, qsizetype offset)
{
    return int(std::count(text.constBegin(), text.constBegin() + offset, '\n')) + 1;
}

// A value as a brander reads it: quoted, line breaks and other controls escaped, long ones cut.
QString Shown(const QByteArray &value)
{
    QString shown;
    const QString text = FromAnsi(value);
    for (const QChar c : text) {
        if (c == QLatin1Char('\r'))
            shown += QLatin1String("\\r");
        else if (c == QLatin1Char('\n'))
            shown += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            shown += QLatin1String("\\t");
        else if (c.unicode() < 0x20)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    if (shown.size() > kShownLength)
        shown = shown.left(kShownLength - 10) + QStringLiteral("... (%1 bytes)").arg(value.size());
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString Name(const QByteArray &tag)
{
    return QString::fromLatin1(tag);
}

bool IsMultiLineField(const QByteArray &name)
{
    return name == "AboutText" || SplitNumber(name).first == "Welcome";
}

// Fields compared exactly or used as an address or id: blanks around them break them.
bool IsExactField(const QByteArray &name)
{
    return name == "BranderType" || name == "BranderCode" || name.endsWith("URL")
        || name.endsWith("ID");
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// An address the program opens or asks: http or https with a host, for links also mailto.
// Blanks and line breaks around it are reported on their own.
bool IsWebAddress(const QByteArray &value, bool mailAllowed)
{
    const QUrl url(FromAnsi(value.trimmed()));
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return url.isValid() && !url.host().isEmpty();
    return mailAllowed && scheme == QLatin1String("mailto") && url.isValid()
        && !url.path().isEmpty();
}

// "jpeg" -> "JPEG", for the findings' words.
QString FormatName(const QByteArray &format)
{
    return QString::fromLatin1(format.toUpper());
}

// fileName ending in the usual extension of format instead of its own.
QByteArray NamedFor(const QByteArray &fileName, const QByteArray &format)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    const QByteArray stem = dot > 0 ? fileName.left(dot) : fileName;
    return stem + '.' + (format == "jpeg" ? QByteArray("jpg") : format);
}

class TChecker {
public:
    TChecker(const QByteArray &text, const QString &bannerDir,
             const TBannerPictureReader &readPicture)
        : m_text(text), m_bannerDir(bannerDir), m_readPicture(readPicture)
    {
    }

    void Run(TBrandingCheck &check)
    {
        m_check = &check;
        m_settings = ParseBrandingSettings(m_text, &m_readings);
        m_readings.append(ReadLastNewsId());
        m_tags = ScanTags(m_text);
        ReportValues();
        CheckReadings();
        CheckWrittenTags();
        CheckNewsLevel();
        CheckPlaceholder();
        CheckAddresses();
        CheckWelcomePages();
        CheckEntries();
    }

private:
    void Add(TBrandingFinding kind, const QByteArray &tag, const QString &message)
    {
        m_check->issues.append({kind, tag, message});
    }

    TTagReading ReadLastNewsId() const
    {
        TTagReading reading;
        reading.name = kLastNewsIdTag;
        reading.openAt = IndexOfIgnoringAsciiCase(m_text, OpeningTag(kLastNewsIdTag));
        if (reading.openAt >= 0) {
            const qsizetype from = reading.openAt + OpeningTag(kLastNewsIdTag).size();
            reading.closeAt = IndexOfIgnoringAsciiCase(m_text, ClosingTag(kLastNewsIdTag), from);
            if (reading.closeAt >= 0)
                reading.value = m_text.mid(from, reading.closeAt - from);
        }
        return reading;
    }

    const TTagReading *ReadingOf(const QByteArray &name) const
    {
        for (const TTagReading &r : m_readings)
            if (SameAscii(r.name, name))
                return &r;
        return nullptr;
    }

    static bool SameAscii(const QByteArray &a, const QByteArray &b)
    {
        return a.size() == b.size() && IndexOfIgnoringAsciiCase(a, b) == 0;
    }

    QList<TTagOccurrence> OpeningsOf(const QByteArray &name) const
    {
        QList<TTagOccurrence> found;
        for (const TTagOccurrence &t : m_tags)
            if (!t.closing && SameAscii(t.name, name))
                found.append(t);
        return found;
    }

    QString Line(qsizetype offset) const { return QString::number(LineOf(m_text, offset)); }

    void ReportValues()
    {
        QStringList &v = m_check->values;
        for (const TTagReading &r : m_readings)
            v << QStringLiteral("%1: %2").arg(Name(r.name),
                                              r.value.isEmpty() ? QStringLiteral("(empty)")
                                                                : Shown(r.value));
        v << QStringLiteral("Window caption: %1")
                 .arg(m_settings.ApplicationName.isEmpty()
                          ? QStringLiteral("\"Project Zelvo\"")
                          : Shown(m_settings.ApplicationName + " v" + AppVersion));
        v << QStringLiteral("Make Money button: %1")
                 .arg(Shown(m_settings.MakeMoneyButton.isEmpty() ? QByteArray("Make Money")
                                                                 : m_settings.MakeMoneyButton));
        if (!m_settings.AffiliateURL.isEmpty())
            v << QStringLiteral("Make Money address: %1").arg(Shown(m_settings.AffiliateURL));
        v << QStringLiteral("News button: %1")
                 .arg(NewsButtonVisible(m_settings) ? QStringLiteral("shown")
                                                    : QStringLiteral("hidden"));
        v << QStringLiteral("Welcome pages: %1, banners: %2, links: %3")
                 .arg(m_settings.WelcomePages.size())
                 .arg(m_settings.Banners.size())
                 .arg(m_settings.Links.size());
    }

    void CheckReadings()
    {
        for (qsizetype i = 0; i < m_readings.size(); ++i) {
            const TTagReading &r = m_readings[i];
            if (r.openAt < 0) {
                CheckOutOfOrder(i);
                continue;
            }
            if (r.closeAt < 0) {
                Add(TBrandingFinding::MissingClosingTag, r.name,
                    QStringLiteral("%1 (line %2) has no closing tag %3 after it: its value is "
                                   "empty, and the tags after it are searched from there.")
                        .arg(Name(r.name), Line(r.openAt), FromAnsi(ClosingTag(r.name))));
                continue;
            }
            CheckValue(r);
        }
    }

    // A tag that is written but was not found: it stands before the place the reading had
    // reached, which a tag read earlier moved past it.
    void CheckOutOfOrder(qsizetype index)
    {
        const TTagReading &r = m_readings[index];
        const QList<TTagOccurrence> written = OpeningsOf(r.name);
        if (written.isEmpty())
            return;
        QByteArray passedBy;
        for (qsizetype j = 0; j < index && passedBy.isEmpty(); ++j) {
            const TTagReading &earlier = m_readings[j];
            if (earlier.openAt >= 0 && earlier.openAt > written.first().at)
                passedBy = earlier.name;
        }
        Add(TBrandingFinding::OutOfOrder, r.name,
            QStringLiteral("%1 (line %2) stands before %3, which is read earlier: it is not "
                           "found and its value is empty. Tags must follow the reading order.")
                .arg(Name(r.name), Line(written.first().at),
                     passedBy.isEmpty() ? QStringLiteral("a tag") : Name(passedBy)));
    }

    void CheckValue(const TTagReading &r)
    {
        const QByteArray &value = r.value;
        const qsizetype nested = value.indexOf("<%%");
        if (nested >= 0) {
            // The misplaced closing tag is the cause; what else the value holds follows from it.
            Add(TBrandingFinding::TagInsideValue, r.name,
                QStringLiteral("The value of %1 (line %2) holds another tag (line %3): a closing "
                               "tag is probably missing or misplaced.")
                    .arg(Name(r.name), Line(r.openAt), Line(r.closeAt - value.size() + nested)));
            return;
        }
        if (!IsMultiLineField(r.name) && (value.contains('\r') || value.contains('\n')))
            Add(TBrandingFinding::LineBreakInValue, r.name,
                QStringLiteral("%1 (line %2) holds a line break, %3: values are not trimmed, so "
                               "it no longer matches (a level or address with a line break is not "
                               "used). Put the closing tag on the same line.")
                    .arg(Name(r.name), Line(r.openAt), Shown(value)));
        else if (IsExactField(r.name) && !value.isEmpty()
                 && (IsBlank(value.front()) || IsBlank(value.back())))
            Add(TBrandingFinding::BlanksAroundValue, r.name,
                QStringLiteral("%1 (line %2) has blanks around its value, %3: values are not "
                               "trimmed, so it no longer matches.")
                    .arg(Name(r.name), Line(r.openAt), Shown(value)));
    }

    void CheckWrittenTags()
    {
        QList<QByteArray> reported;
        for (const TTagOccurrence &t : m_tags) {
            if (t.closing || reported.contains(t.name.toLower()))
                continue;
            reported.append(t.name.toLower());
            const auto [family, number] = SplitNumber(t.name);
            const bool numbered = number > 0 && ReadingOf(family + "1");
            if (numbered && number > kMaxNumbered) {
                Add(TBrandingFinding::BeyondSixteen, t.name,
                    QStringLiteral("%1 (line %2) is never read: only %3 1 to %4 are.")
                        .arg(Name(t.name), Line(t.at), Name(family))
                        .arg(kMaxNumbered));
                continue;
            }
            if (!ReadingOf(t.name)) {
                if (numbered)
                    ReportAfterGap(t, family);
                else
                    Add(TBrandingFinding::UnknownTag, t.name,
                        QStringLiteral("%1 (line %2) is not a tag the program reads; it is "
                                       "ignored. Is it misspelt?")
                            .arg(Name(t.name), Line(t.at)));
                continue;
            }
            const QList<TTagOccurrence> all = OpeningsOf(t.name);
            if (all.size() > 1)
                Add(TBrandingFinding::RepeatedTag, t.name,
                    QStringLiteral("%1 is written %2 times (first on line %3): only one is read.")
                        .arg(Name(t.name))
                        .arg(all.size())
                        .arg(Line(all.first().at)));
        }
    }

    void ReportAfterGap(const TTagOccurrence &t, const QByteArray &family)
    {
        int read = 0;
        while (read < kMaxNumbered && ReadingOf(family + QByteArray::number(read + 1))
               && !ReadingOf(family + QByteArray::number(read + 1))->value.isEmpty())
            ++read;
        Add(TBrandingFinding::AfterGap, t.name,
            QStringLiteral("%1 (line %2) is never read: the %3 entries stop at %3%4, which is "
                           "not found or empty. Number them without gaps.")
                .arg(Name(t.name), Line(t.at), Name(family))
                .arg(read + 1));
    }

    void CheckNewsLevel()
    {
        const QByteArray &type = m_settings.BranderType;
        if (type.isEmpty())
            return;
        QByteArray level;
        if (type == "Master" || type == "Free")
            level = "Master";
        else if (type == "Platinum" || type == "Gold")
            level = type;
        if (level.isEmpty()) {
            const QByteArray trimmed = type.trimmed();
            if (trimmed == "Master" || trimmed == "Free" || trimmed == "Platinum"
                || trimmed == "Gold")
                return; // a level with a line break or blanks: reported with the value
            Add(TBrandingFinding::UnknownNewsLevel, "BranderType",
                QStringLiteral("BranderType %1 is none of \"Master\", \"Platinum\", \"Gold\", "
                               "\"Free\" (letter case counts): the news button is hidden.")
                    .arg(Shown(type)));
            return;
        }
        if (NewsButtonVisible(m_settings))
            return;
        QStringList empty;
        for (const QByteArray &name : {level + "PublID", level + "NewsBaseURL"})
            if (ReadingOf(name) && ReadingOf(name)->value.isEmpty())
                empty << Name(name);
        Add(TBrandingFinding::NewsLevelIncomplete, "BranderType",
            QStringLiteral("BranderType %1 needs %2PublID and %2NewsBaseURL, but %3 empty: the "
                           "news button is hidden and no news is fetched.")
                .arg(Shown(type), Name(level),
                     empty.join(QLatin1String(" and "))
                         + (empty.size() > 1 ? QLatin1String(" are") : QLatin1String(" is"))));
    }

    void CheckPlaceholder()
    {
        const TTagReading *r = ReadingOf("AffiliateURL");
        const QByteArray exact = "%%AFFILIATEID%%";
        for (qsizetype at = r ? IndexOfIgnoringAsciiCase(r->value, exact) : -1; at >= 0;
             at = IndexOfIgnoringAsciiCase(r->value, exact, at + exact.size())) {
            const QByteArray written = r->value.mid(at, exact.size());
            if (written == exact)
                continue;
            Add(TBrandingFinding::PlaceholderCase, "AffiliateURL",
                QStringLiteral("AffiliateURL (line %1) holds the placeholder \"%2\", which is "
                               "replaced by AffiliateID only when written exactly "
                               "\"%%AFFILIATEID%%\": the Make Money address goes out as %3.")
                    .arg(Line(r->openAt), FromAnsi(written), Shown(m_settings.AffiliateURL)));
            return;
        }
    }

    void CheckAddresses()
    {
        const QString news = QStringLiteral("no news can be fetched from it");
        CheckAddress("AffiliateURL", m_settings.AffiliateURL, false,
                     QStringLiteral("the Make Money button opens only web addresses"));
        CheckAddress("MasterNewsBaseURL", m_settings.MasterNewsBaseURL, false, news);
        CheckAddress("PlatinumNewsBaseURL", m_settings.PlatinumNewsBaseURL, false, news);
        CheckAddress("GoldNewsBaseURL", m_settings.GoldNewsBaseURL, false, news);
        CheckAddress("AppHelpURL", m_settings.AppHelpURL, false,
                     QStringLiteral("the Help button opens only web addresses"));
    }

    // An empty address is left out on purpose and is not reported.
    void CheckAddress(const QByteArray &tag, const QByteArray &address, bool mailAllowed,
                      const QString &consequence)
    {
        if (address.isEmpty() || IsWebAddress(address, mailAllowed))
            return;
        const TTagReading *r = ReadingOf(tag);
        Add(TBrandingFinding::NotWebAddress, tag,
            QStringLiteral("%1 (line %2) has the address %3, which is not an %4 address: %5. "
                           "Write it in full, beginning with http:// or https://%6.")
                .arg(Name(tag), Line(r ? r->openAt : 0), Shown(address),
                     mailAllowed ? QStringLiteral("http, https or mailto")
                                 : QStringLiteral("http or https"),
                     consequence,
                     mailAllowed ? QStringLiteral(" (or mailto:)") : QString()));
    }

    void CheckWelcomePages()
    {
        for (qsizetype i = 0; i < m_settings.WelcomePages.size(); ++i) {
            const QByteArray tag = "Welcome" + QByteArray::number(i + 1);
            const QList<TPageReference> references =
                ExternalPageReferences(m_settings.WelcomePages[i]);
            const TTagReading *r = ReadingOf(tag);
            if (references.isEmpty() || !r)
                continue;
            const qsizetype at = r->openAt + OpeningTag(tag).size() + references.first().at;
            Add(TBrandingFinding::PageReference, tag,
                QStringLiteral("%1 (line %2) refers to %3, which the program does not load (it "
                               "shows the page as it is and loads nothing from files or the "
                               "web): that picture or style sheet is missing%4. Pictures must be "
                               "data: addresses (src=\"data:image/png;base64,...\"), and styles "
                               "written in the page.")
                    .arg(Name(tag), Line(at), Shown(references.first().address),
                         references.size() > 1
                             ? QStringLiteral(" (and %1 more like it)").arg(references.size() - 1)
                             : QString()));
        }
    }

    // A picture the program cannot show hides the strip; the likely cause is a picture saved
    // in another format than its file name says, since the name decides how it is read.
    void CheckBannerPicture(const QByteArray &tag, const QString &path, const QString &stored,
                            const QByteArray &fileName)
    {
        const TBannerPictureReading picture = m_readPicture(path, fileName);
        if (picture.shown)
            return;
        const QByteArray &named = picture.namedFormat;
        const QByteArray &content = picture.contentFormat;
        if (!named.isEmpty() && !content.isEmpty() && named != content) {
            Add(TBrandingFinding::BannerWrongFormat, tag,
                QStringLiteral("%1's picture %2 holds a %3 picture, but its file name %4 says %5, "
                               "so the program cannot show it and this banner hides the banner "
                               "strip. Name it for what it holds (for example %6), or store a %5 "
                               "picture as %2.")
                    .arg(Name(tag), stored, FormatName(content), Shown(fileName),
                         FormatName(named), Shown(NamedFor(fileName, content))));
            return;
        }
        Add(TBrandingFinding::BannerUnreadable, tag,
            QStringLiteral("%1's picture %2 cannot be shown as %3 (%4): this banner hides the "
                           "banner strip.")
                .arg(Name(tag), stored,
                     named.isEmpty() ? QStringLiteral("a picture")
                                     : QStringLiteral("a %1 picture").arg(FormatName(named)),
                     content.isEmpty()
                         ? QStringLiteral("its contents are no picture format the program knows")
                         : QStringLiteral("it is damaged or cut short")));
    }

    void CheckEntries()
    {
        for (qsizetype i = 0; i < m_settings.Banners.size(); ++i) {
            const QByteArray tag = "Banner" + QByteArray::number(i + 1);
            const QList<QByteArray> parts = SplitString('^', m_settings.Banners[i]);
            m_check->values << QStringLiteral("%1: picture %2, address %3")
                                   .arg(Name(tag), Shown(parts.value(0)), Shown(parts.value(1)));
            CheckTwoParts(tag, parts.size(), QStringLiteral("picture file name"));
            CheckAddress(tag, parts.value(1), false,
                         QStringLiteral("a click on the banner opens only web addresses"));
            CheckBannerFile(tag, i + 1, parts.value(0));
        }
        for (qsizetype i = 0; i < m_settings.Links.size(); ++i) {
            const QByteArray tag = "Link" + QByteArray::number(i + 1);
            const QList<QByteArray> parts = SplitString('^', m_settings.Links[i]);
            m_check->values << QStringLiteral("%1: caption %2, address %3")
                                   .arg(Name(tag), Shown(parts.value(0)), Shown(parts.value(1)));
            CheckTwoParts(tag, parts.size(), QStringLiteral("caption"));
            CheckAddress(tag, parts.value(1), true,
                         QStringLiteral("the link opens only web and mail addresses"));
        }
    }

    void CheckBannerFile(const QByteArray &tag, qsizetype number, const QByteArray &fileName)
    {
        if (fileName.isEmpty())
            return;
        const QString stored = QStringLiteral("banner%1.dat").arg(number);
        const QString path = ResolveFileName(m_bannerDir, stored);
        if (QFileInfo::exists(path)) {
            if (m_readPicture)
                CheckBannerPicture(tag, path, stored, fileName);
            return;
        }
        Add(TBrandingFinding::BannerFileMissing, tag,
            QStringLiteral("%1 needs its picture as %2 beside the settings file; it is "
                           "missing, so this banner hides the banner strip.")
                .arg(Name(tag), stored));
    }

    void CheckTwoParts(const QByteArray &tag, qsizetype parts, const QString &first)
    {
        if (parts >= 2)
            return;
        Add(TBrandingFinding::EntryWithoutCaret, tag,
            QStringLiteral("%1 is not %2, \"^\", address: it has no address. Write it as "
                           "%2^address (or %2^^ for none).")
                .arg(Name(tag), first));
    }

    const QByteArray &m_text;
    QString m_bannerDir;
    TBannerPictureReader m_readPicture;
    TBrandingCheck *m_check = nullptr;
    TBrandingSettings m_settings;
    QList<TTagReading> m_readings;
    QList<TTagOccurrence> m_tags;
};

} // namespace

TBrandingCheck CheckBrandingFile(const QByteArray &fileBytes, const QString &bannerDir,
                                 const TBannerPictureReader &readPicture)
{
    TBrandingCheck check;
    QByteArray plain;
    if (DecryptSettingsData(fileBytes, plain)) {
        check.form = TBrandingCheck::TForm::Enciphered;
    } else if (fileBytes.contains("<%%")) {
        check.form = TBrandingCheck::TForm::Plain;
        plain = fileBytes;
    } else {
        check.issues.append({TBrandingFinding::Unreadable, {},
                             QStringLiteral("The file cannot be deciphered (it is damaged, altered "
                                            "or not a settings file) and holds no tags: the "
                                            "program would start unbranded.")});
        return check;
    }
    const qsizetype nul = plain.indexOf('\0');
    if (nul >= 0)
        check.issues.append({TBrandingFinding::TextAfterNul, {},
                             QStringLiteral("A NUL byte on line %1 ends the text: everything "
                                            "after it is never read.")
                                 .arg(LineOf(plain, nul))});
    const QByteArray text = JoinTextLines(SplitTextLines(plain));
    TChecker(text, bannerDir, readPicture).Run(check);
    return check;
}

QString FormatBrandingCheck(const TBrandingCheck &check, const QString &fileName)
{
    QString out;
    switch (check.form) {
    case TBrandingCheck::TForm::Enciphered:
        out += QStringLiteral("%1: enciphered settings file\n").arg(fileName);
        break;
    case TBrandingCheck::TForm::Plain:
        out += QStringLiteral("%1: plain settings text (the program reads it only once "
                              "enciphered with \"zelvo-brand encrypt\")\n")
                   .arg(fileName);
        break;
    case TBrandingCheck::TForm::Unreadable:
        out += QStringLiteral("%1: not readable as a settings file\n").arg(fileName);
        break;
    }
    if (check.form != TBrandingCheck::TForm::Unreadable)
        out += QStringLiteral("Line ends are read as CR LF whatever the file has: a line end "
                              "shows as \\r\\n in the quoted values.\n");
    if (!check.values.isEmpty()) {
        out += QStringLiteral("\nThe program will read:\n");
        for (const QString &line : check.values)
            out += QStringLiteral("  ") + line + QLatin1Char('\n');
    }
    if (check.clean()) {
        out += QStringLiteral("\nNothing will be lost or ignored.\n");
        return out;
    }
    out += QStringLiteral("\n%1 problem(s), something will be lost or ignored:\n")
               .arg(check.issues.size());
    for (const TBrandingIssue &issue : check.issues)
        out += QStringLiteral("  - ") + issue.message + QLatin1Char('\n');
    return out;
}
