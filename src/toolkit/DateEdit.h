#pragma once

#include <QDate>
#include <QLineEdit>
#include <QList>
#include <QString>

class QCalendarWidget;
class QFrame;
class QToolButton;

// The masked date field: a date of at most 10 characters in the order of the short date
// format (ShortDate.h, read when the field is made), two positions each for day and month
// and four for the year, the format's separators kept in the text, blanks shown as spaces.
// It starts with today's date, and a small button drops down a month calendar (200 x 150,
// weeks starting on Sunday) whose pick is written into the field.
//
// The planner keeps dates as text and never converts them, so text() and setText() carry
// the text exactly: a text given to setText() reads back unchanged (even "" or a text that
// does not fit the mask) until the user edits the field; after that text() is the text
// shown. They hide QLineEdit's own text()/setText(), which would drop the blanks of the
// mask; call them on a TDateEdit.
class TDateEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TDateEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

    // The QLineEdit input mask for a date format, e.g. "M/d/yyyy" -> "00/00/0000; ".
    static QString MaskOf(const QString &format);
    // date laid into the mask of format: a one-letter day or month is padded with a blank
    // (" 4/ 1/2008" for M/d/yyyy), a two-letter one with a zero, the year has four digits.
    static QString TextOf(const QDate &date, const QString &format);

    // Opens the drop-down calendar (also Alt+Down or F4 in the field).
    void showCalendar();
    // The drop-down calendar, or nullptr before it was first opened.
    QCalendarWidget *calendar() const { return m_calendar; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Part { Day, Month, Year };
    struct Field
    {
        Part part;
        int position;
        int width;
        QChar pad;
    };
    // A format taken apart: its literal text with the fields' places left blank, and the
    // fields.
    struct Layout
    {
        QString skeleton;
        QList<Field> fields;
    };
    static Layout LayoutOf(const QString &format);
    // A stored date laid into the mask for display: "10/3/2026" shows as "10/ 3/2026".
    // Texts that are not such a date are shown as they are.
    QString shownFormOf(const QString &text) const;
    bool fitsLayout(const QString &text) const;

    QDate shownDate() const;
    void pickDate(const QDate &date);

    QString m_format;
    Layout m_layout;
    QString m_stored;         // the text last given to setText()
    QString m_shownForStored; // how the mask displayed it
    QToolButton *m_button = nullptr;
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
};
