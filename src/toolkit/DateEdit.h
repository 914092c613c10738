#pragma once

#include <QDate>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class QCalendarWidget;
class QFrame;
class QToolButton;

// The date field: a date of at most 10 characters in the order of the short date format
// (ShortDate.h, read when the field is made), starting with today's date written in that
// format. A small button drops down a month calendar (200 x 150, weeks starting on Sunday)
// whose pick is written into the field in the short date format.
//
// The planner keeps dates as text and never converts them: the field's text is exactly what
// it shows, and a text given to setText() reads back unchanged, whatever it holds.
//
// Typing follows how people write dates: digits fill the parts (day, month, year) in the
// format's order, a part that is full or cannot take another digit moves on to the next, a
// separator key moves on as well, and other characters are refused. Clicking or tabbing into
// the field selects its whole text, so that a date typed there replaces the one shown.
//
// A text that is not a calendar date in the format is marked in the field (a tinted
// background, painted over whatever the style draws, and a tool tip), once it is complete or
// the field has lost the focus; so is an end date before the start date of its start field.
// The text itself is left as it is.
class TDateEdit : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kMaxLength = 10;

    explicit TDateEdit(QWidget *parent = nullptr);

    // Shows text as it is, also one longer than a typed date may be. Hides QLineEdit's
    // setText(), which would cut such a text short; call it on a TDateEdit.
    void setText(const QString &text);

    // The calendar date the text names in the field's format (day and month of one or two
    // digits, blanks around them allowed, a four-digit year), or an invalid date.
    QDate date() const;
    // True while the field marks its text as not a calendar date, or as a date before the
    // start date.
    bool isMarkedInvalid() const { return m_markedInvalid; }
    // Makes this the end date of start: a date here before start's date is marked.
    void setStartDateField(TDateEdit *start);

    // Opens the drop-down calendar (also Alt+Down or F4 in the field).
    void showCalendar();
    // The drop-down calendar, or nullptr before it was first opened.
    QCalendarWidget *calendar() const { return m_calendar; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    enum class Kind { Day, Month, Year };
    struct Part
    {
        Kind kind;
        int width; // digits a full part holds
    };
    // Where typing stands: the part the caret is in and the digits it already holds.
    struct Place
    {
        int part;
        int digits;
        QString digitsText;
    };

    void parseFormat(const QString &format);
    Place placeOf(const QString &before) const;
    bool partIsComplete(const Part &part, const QString &digits) const;
    void typeDigit(QChar digit);
    void typeSeparator();
    void replaceRange(int start, int end, const QString &with);
    void updateMark();
    QString markReason() const;
    void pickDate(const QDate &date);

    QString m_format;
    QList<Part> m_parts;
    QStringList m_separators; // m_separators[k] stands between part k and part k + 1
    bool m_markedInvalid = false;
    bool m_selectAllOnRelease = false; // the click that gave the field the focus
    QPointer<TDateEdit> m_startField;
    QToolButton *m_button = nullptr;
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
};
