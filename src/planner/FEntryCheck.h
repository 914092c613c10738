#pragma once

#include <QList>
#include <QString>

class QLineEdit;
class QWidget;
class TMessageBox;

// The check behind the Ok button of the entry dialogs.

// One field as the Ok check sees it.
struct TEntryField
{
    QWidget *widget;      // gets the focus when the field is refused
    QString text;         // the field's text as it would be stored
    QString what;         // how a message names the field: "a project name", "the notes"
    bool caretForbidden;  // "^" separates the parts of a stored record there
    bool multiLine;       // line breaks belong to the text (the notes)
};

// Why a field's text cannot be kept, and which characters of it are at fault.
struct TRefusal
{
    QString message;        // empty when the text can be kept
    qsizetype position = 0; // the offending characters in the text
    qsizetype length = 0;

    bool isRefused() const { return !message.isEmpty(); }
};

// Why text cannot be kept in a field, or no refusal when it can. The files hold one record per
// line in Windows-1252 and end the text at a NUL, so a text is refused for: a "^" where one is
// forbidden; a character Windows-1252 cannot hold; a NUL anywhere; a line break or other
// control character in a one-line field; characters that the line-break escape of the data
// files would not give back unchanged ("§§" and "¥¥" read back as line breaks, a "§" or "¥"
// just before a line break trades places with it).
TRefusal RefusalOf(const QString &text, const QString &what, bool caretForbidden,
                   bool multiLine = false);

// The Ok check: a name that is blank once trimmed is refused with blankMessage; then each
// field in turn is refused for a character it cannot keep. A refusal is shown in msg as an
// information box with one OK button; the focus goes to the field, with the offending
// characters selected. Returns true when nothing was refused and the dialog may close.
bool CheckEntry(TMessageBox &msg, QLineEdit *name, const QString &blankMessage,
                const QList<TEntryField> &fields);
