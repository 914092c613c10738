#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The values a brander's settings file (dbsettings.dat) gives the program, read once at
// start-up. All text is Windows-1252 bytes exactly as stored: values are never trimmed.
struct TBrandingSettings {
    QByteArray ApplicationName;
    QByteArray BranderCode;
    QByteArray BranderType; // news level: "Master", "Platinum", "Gold" or "Free" (exact case)
    QByteArray AffiliateURL; // after "%%AFFILIATEID%%" was replaced by AffiliateID (empty
                             // when that would make it longer than 1 MiB)
    QByteArray AffiliateTYPE;
    QByteArray AffiliateID;
    QByteArray MasterNewsBaseURL;
    QByteArray PlatinumNewsBaseURL;
    QByteArray GoldNewsBaseURL;
    QByteArray MasterPublID;
    QByteArray PlatinumPublID;
    QByteArray GoldPublID;
    QByteArray MakeMoneyButton; // caption as stored; empty means "Make Money"
    QByteArray AppHelpURL;
    QByteArray CopyrightYears;
    QByteArray CopyrightCompany;
    QByteArray AboutText;

    // Candidates, Welcome1.., Banner1.., Link1.. up to 16 each, stopping at the first empty.
    QList<QByteArray> WelcomePages;
    QList<QByteArray> Banners;
    QList<QByteArray> Links;

    // Chosen at start-up from the candidates; empty when nothing was chosen.
    QByteArray WelcomeHTML;
    QByteArray BannerFile;
    QByteArray BannerURL;
    int BannerNumber = 0; // 1-based entry number of the chosen banner (its file is bannerN.dat)
    QByteArray Link1Caption;
    QByteArray Link1URL;
    QByteArray Link2Caption;
    QByteArray Link2URL;
};

// What reading the settings file found.
enum class TSettingsFileState {
    Missing, // no dbsettings.dat: the program runs unbranded
    Damaged, // present but its verifier or authentication code failed, it could not be read,
             // or it is larger than 64 MiB: treated as missing, and never rewritten
    Loaded,
};

// Cuts the value between the first open tag (ASCII case ignored) and the next close tag out
// of the working text, shortening it so that the next search starts where this value ended.
QByteArray ExtractTaggedValue(QByteArray &text, const QByteArray &openTag,
                              const QByteArray &closeTag);

// Reads every tag from a deciphered settings text in the fixed reading order (no choices made).
TBrandingSettings ParseBrandingSettings(const QByteArray &plainText);

// One tag as the ordered reading met it, for the brander's check.
struct TTagReading {
    QByteArray name;        // "ApplicationName", "Welcome3", ...
    qsizetype searchFrom = 0; // where the search for its opening tag began
    qsizetype openAt = -1;  // offset of its opening tag in the plain text; -1 when not found
    qsizetype closeAt = -1; // offset of its closing tag; -1 when not found
    QByteArray value;
};
// The same reading, also telling where every tag read was found (in reading order).
TBrandingSettings ParseBrandingSettings(const QByteArray &plainText,
                                        QList<TTagReading> *readings);

// The opening and closing tag of a name: "<%%Name%%>" and "<%%/Name%%>".
QByteArray OpeningTag(const QByteArray &name);
QByteArray ClosingTag(const QByteArray &name);
// Where needle first occurs in text at or after from, ASCII letters compared without regard
// to case; -1 when it does not.
qsizetype IndexOfIgnoringAsciiCase(QByteArrayView text, QByteArrayView needle,
                                   qsizetype from = 0);

// Whether the news button is shown for these settings (level table of the news levels).
bool NewsButtonVisible(const TBrandingSettings &settings);

// Deciphers appDir's dbsettings.dat in memory into its plain text (lines joined with CR LF
// after each). Nothing deciphered touches the disk.
TSettingsFileState ReadSettingsText(const QString &appDir, QByteArray &plainText);

// The stored LastNewsId, or empty (also when the file is missing or damaged).
QByteArray ReadLastNewsId(const QString &appDir);

// Whether id may be stored as LastNewsId: a decimal number of 1 to 10 digits, nothing else
// (no sign, blanks, line breaks or tags), so that a news service can never write into the
// settings file.
bool IsStorableNewsId(const QByteArray &id);

// Stores id as LastNewsId, re-enciphering the file through a save file. Only the text that
// reading sees is edited (up to a NUL; what follows it is kept as it was): the first tag found
// (letter case ignored) gets the new value, through its closing tag when that follows on the
// same line, else up to the next tag or the end of the line, whichever comes first, so no
// other tag is lost; the rest of the file stays as it was. Without the tag a line is added.
// Refuses (false, nothing written) an id that IsStorableNewsId refuses. Does nothing (true)
// without a file; never rewrites a damaged file (false). False when the file could not be
// written; the old file then stays whole.
bool SaveLastNewsId(const QString &appDir, const QByteArray &id);
