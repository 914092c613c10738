#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The brander's check of a settings file: reads it exactly as the program does (the same
// parser) and says, in plain words, what the program will take from it and what it will lose
// or ignore.

enum class TBrandingFinding {
    Unreadable,         // neither deciphers nor holds any tag: the program starts unbranded
    TextAfterNul,       // a NUL byte ends the text the program reads
    OutOfOrder,         // stands before a tag read earlier: not found
    MissingClosingTag,  // opening tag without a closing tag after it: value empty
    TagInsideValue,     // a value holds another tag: a closing tag is probably misplaced
    AfterGap,           // numbered entry after a missing or empty one: never read
    BeyondSixteen,      // numbered entry above 16: never read
    LineBreakInValue,   // a one-line value holds a line break
    BlanksAroundValue,  // an address, id or level with blanks around it (values are not trimmed)
    UnknownNewsLevel,   // BranderType is none of Master, Platinum, Gold, Free
    NewsLevelIncomplete, // the level's publisher id or news base URL is empty
    EntryWithoutCaret,  // banner or link entry that does not split into two parts at "^"
    BannerFileMissing,  // bannerN.dat is not beside the settings file
    UnknownTag,         // a tag the program never reads (misspelt?)
    RepeatedTag,        // a tag written more than once: only one is read
    PlaceholderCase,    // "%%AFFILIATEID%%" in another letter case: never replaced
    PageReference,      // a welcome page asks for a picture or style sheet by file or address
    NotWebAddress,      // an address that is not http or https (mailto too for links)
    BannerUnreadable,   // bannerN.dat cannot be shown: damaged or no picture at all
    BannerWrongFormat,  // bannerN.dat cannot be shown: its format is not the one its name says
};

struct TBrandingIssue {
    TBrandingFinding kind;
    QByteArray tag; // the tag concerned, e.g. "Banner2"; empty for the whole file
    QString message;
};

struct TBrandingCheck {
    enum class TForm { Enciphered, Plain, Unreadable };
    TForm form = TForm::Unreadable;
    QStringList values;          // what the program will read, one line each
    QList<TBrandingIssue> issues; // what will be lost or ignored
    bool clean() const { return issues.isEmpty(); }
};

// What reading a banner's picture the way the program shows it found.
struct TBannerPictureReading {
    bool shown = false;      // the program can show it
    QByteArray namedFormat;  // the format its file name says ("gif", "jpeg"); empty when the
                             // name says none the program knows (the contents then decide)
    QByteArray contentFormat; // the format of its contents; empty when none is recognised
};
// Reads the picture stored at path for a banner entry whose file name is fileName.
using TBannerPictureReader =
    std::function<TBannerPictureReading(const QString &path, const QByteArray &fileName)>;

// Checks the bytes of a settings file, enciphered or plain. bannerDir is the folder beside
// the file, where bannerN.dat must stand; it ends with a separator. With readPicture, every
// banner picture found is read too.
TBrandingCheck CheckBrandingFile(const QByteArray &fileBytes, const QString &bannerDir,
                                 const TBannerPictureReader &readPicture = {});

// The whole report as the tool prints it.
QString FormatBrandingCheck(const TBrandingCheck &check, const QString &fileName);
