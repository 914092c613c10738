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
};

// Why text cannot be kept in a field, or an empty string when it can: a character that
// Windows-1252 cannot hold (the data files' code page), or a "^" where one is forbidden.
QString RefusalOf(const QString &text, const QString &what, bool caretForbidden);

// The Ok check: a name that is blank once trimmed is refused with blankMessage; then each
// field in turn is refused for a character it cannot keep. A refusal is shown in msg as an
// information box with one OK button and the focus goes to the field. Returns true when
// nothing was refused and the dialog may close.
bool CheckEntry(TMessageBox &msg, QLineEdit *name, const QString &blankMessage,
                const QList<TEntryField> &fields);

