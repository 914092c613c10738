#include "toolkit/DateEdit.h"

#include "toolkit/MonthCalendar.h"
#include "util/ShortDate.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {

const QColor kInvalidTint(255, 215, 215);

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype LeadingDigits(const QString &text)
{
    qsizetype n = 0;
    while (n < text.size() && IsDigit(text[n]))
        ++n;
    return n;
}

QString WithoutBlanks(QString text)
{
    return text.remove(QLatin1Char(' '));
}

} // namespace

TDateEdit::TDateEdit(QWidget *parent) : QLineEdit(parent)
{
    // The year always has four digits, whatever the format asks.
    static const QRegularExpression year(QStringLiteral("y+"));
    m_format = ShortDateFormat();
    m_format.replace(year, QStringLiteral("yyyy"));
    parseFormat(m_format);
    setMaxLength(kMaxLength);

    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("btnDropDown"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setToolTip(tr("Choose a date"));
    m_button->setAccessibleName(tr("Choose a date"));
    connect(m_button, &QToolButton::clicked, this, &TDateEdit::showCalendar);
    connect(this, &QLineEdit::textChanged, this, &TDateEdit::updateMark);

    setText(QLocale::c().toString(QDate::currentDate(), m_format));
}

void TDateEdit::setText(const QString &text)
{
    setMaxLength(qMax(kMaxLength, int(text.size())));
    QLineEdit::setText(text);
    updateMark();
}

// The format taken apart into its date parts and the literal text between them; quoted text
// ('' stands for a quote) is literal as well.
void TDateEdit::parseFormat(const QString &format)
{
    QString literal;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            while (i < format.size() && format[i] == c)
                ++i;
            if (!m_parts.isEmpty())
                m_separators << literal;
            literal.clear();
            const Kind kind = c == QLatin1Char('d') ? Kind::Day
                              : c == QLatin1Char('M') ? Kind::Month
                                                      : Kind::Year;
            m_parts.append({kind, kind == Kind::Year ? 4 : 2});
            continue;
        }
        if (c != QLatin1Char('\'')) {
            literal += c;
            ++i;
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == QLatin1Char('\'')) {
            literal += QLatin1Char('\'');
            ++i;
            continue;
        }
        while (i < format.size()) {
            if (format[i] == QLatin1Char('\'')) {
                if (i + 1 < format.size() && format[i + 1] == QLatin1Char('\'')) {
                    literal += QLatin1Char('\'');
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            literal += format[i++];
        }
    }
}

QDate TDateEdit::date() const
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    const QString shown = text();
    QList<int> values;
    qsizetype end = 0;
    for (auto it = number.globalMatch(shown); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const int k = int(values.size());
        if (k >= m_parts.size())
            return QDate();
        // Between the numbers stands the format's separator, give or take blanks.
        const QString between = WithoutBlanks(shown.mid(end, match.capturedStart() - end));
        if (between != (k == 0 ? QString() : WithoutBlanks(m_separators[k - 1])))
            return QDate();
        const QString digits = match.captured();
        const bool year = m_parts[k].kind == Kind::Year;
        if (year ? digits.size() != 4 : digits.size() > 2)
            return QDate();
        values << digits.toInt();
        end = match.capturedEnd();
    }
    if (values.size() != m_parts.size() || !WithoutBlanks(shown.mid(end)).isEmpty())
        return QDate();
    int day = 0, month = 0, year = 0;
    for (qsizetype k = 0; k < m_parts.size(); ++k)
        (m_parts[k].kind == Kind::Day ? day : m_parts[k].kind == Kind::Month ? month : year) =
            values[k];
    return QDate(year, month, day);
}

TDateEdit::Place TDateEdit::placeOf(const QString &before) const
{
    Place place{0, 0, QString()};
    for (const QChar c : before) {
        if (IsDigit(c)) {
            ++place.digits;
            place.digitsText += c;
        } else if (place.digits > 0) {
            ++place.part;
            place.digits = 0;
            place.digitsText.clear();
        }
    }
    return place;
}

// Full, or a first digit that no second one can follow (no month starts with 2 to 9, no day
// with 4 to 9).
bool TDateEdit::partIsComplete(const Part &part, const QString &digits) const
{
    if (digits.size() >= part.width)
        return true;
    if (digits.size() != 1 || part.kind == Kind::Year)
        return false;
    return digits[0] > (part.kind == Kind::Month ? QLatin1Char('1') : QLatin1Char('3'));
}

void TDateEdit::replaceRange(int start, int end, const QString &with)
{
    setCursorPosition(start);
    if (end > start)
        setSelection(start, end - start);
    insert(with);
}

void TDateEdit::typeDigit(QChar digit)
{
    int start = hasSelectedText() ? selectionStart() : cursorPosition();
    int end = hasSelectedText() ? selectionEnd() : start;
    const QString current = text();
    QString after = current.mid(end);
    Place at = placeOf(current.left(start));
    if (at.part >= m_parts.size())
        return;
    QString typed;
    if (partIsComplete(m_parts[at.part], at.digitsText)) {
        if (at.part + 1 >= m_parts.size())
            return;
        // On to the next part, over its separator when it is already there.
        const QString &separator = m_separators[at.part];
        typed = separator;
        if (after.startsWith(separator)) {
            end += int(separator.size());
            after = after.mid(separator.size());
        }
        at = {at.part + 1, 0, QString()};
    }
    // Typing into a full part overwrites its next digit.
    if (start == end && at.digits + 1 + LeadingDigits(after) > m_parts[at.part].width
        && LeadingDigits(after) > 0) {
        ++end;
        after = after.mid(1);
    }
    typed += digit;
    if (after.isEmpty() && at.part + 1 < m_parts.size()
        && partIsComplete(m_parts[at.part], at.digitsText + digit))
        typed += m_separators[at.part];
    if (start + typed.size() + after.size() > maxLength())
        return;
    replaceRange(start, end, typed);
}

void TDateEdit::typeSeparator()
{
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : start;
    const QString current = text();
    const Place at = placeOf(current.left(start));
    if (at.digits == 0 || at.part + 1 >= m_parts.size())
        return;
    const QString &separator = m_separators[at.part];
    if (start == end && current.mid(end).startsWith(separator)) {
        setCursorPosition(start + int(separator.size()));
        return;
    }
    if (start + separator.size() + (current.size() - end) > maxLength())
        return;
    replaceRange(start, end, separator);
}

void TDateEdit::setStartDateField(TDateEdit *start)
{
    if (m_startField)
        disconnect(m_startField, nullptr, this, nullptr);
    m_startField = start;
    if (start)
        connect(start, &QLineEdit::textChanged, this, &TDateEdit::updateMark);
    updateMark();
}

// Why the text is marked, or nothing when it is not.
QString TDateEdit::markReason() const
{
    const QString shown = text();
    // Blanks and separators alone are an empty date, as older files hold it.
    QString left = WithoutBlanks(shown);
    for (const QString &separator : std::as_const(m_separators))
        left.remove(WithoutBlanks(separator));
    if (left.isEmpty())
        return QString();
    const QDate typed = date();
    if (typed.isValid()) {
        const QDate start = m_startField ? m_startField->date() : QDate();
        if (start.isValid() && typed < start)
            return tr("The end date is before the start date");
        return QString();
    }
    if (hasFocus()) {
        // Not while a date is still being typed.
        const Place at = placeOf(shown);
        const bool complete = at.part > m_parts.size() - 1
                              || (at.part == m_parts.size() - 1
                                  && partIsComplete(m_parts[at.part], at.digitsText));
        if (!complete)
            return QString();
    }
    return tr("Not a calendar date (%1)").arg(m_format);
}

void TDateEdit::updateMark()
{
    const QString reason = markReason();
    if (reason == toolTip() && m_markedInvalid == !reason.isEmpty())
        return;
    m_markedInvalid = !reason.isEmpty();
    setToolTip(reason);
    setAccessibleDescription(reason);
    update();
}

void TDateEdit::showCalendar()
{
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("popDropDown"));
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(QStringLiteral("calDropDown"));
        SetUpMonthCalendar(*m_calendar);
        auto *layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::clicked, this, &TDateEdit::pickDate);
        connect(m_calendar, &QCalendarWidget::activated, this, &TDateEdit::pickDate);
    }
    const QDate shown = date();
    m_calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());

    m_popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + m_popup->height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - m_popup->width())));
    }
    m_popup->move(at);
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

// The pick is written as the short date writes it ("1/20/2027"), as an edit of the field.
void TDateEdit::pickDate(const QDate &date)
{
    m_popup->hide();
    setFocus(Qt::PopupFocusReason);
    const QString picked = QLocale::c().toString(date, m_format);
    setMaxLength(qMax(kMaxLength, int(picked.size())));
    replaceRange(0, int(text().size()), picked);
}

void TDateEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int side = height() - 2 * frame;
    const int width = qMin(side, 18);
    m_button->setGeometry(this->width() - frame - width, frame, width, side);
    setTextMargins(0, 0, width, 0);
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier))) {
        showCalendar();
        return;
    }
    const QString typed = event->text();
    const Qt::KeyboardModifiers chord =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (chord != Qt::NoModifier || typed.size() != 1 || !typed[0].isPrint()) {
        QLineEdit::keyPressEvent(event); // editing keys, moves, shortcuts
        return;
    }
    const QChar c = typed[0];
    if (IsDigit(c))
        typeDigit(c);
    else if (QStringLiteral("/.-").contains(c) || m_separators.join(QString()).contains(c))
        typeSeparator();
    event->accept(); // anything else is refused
}

void TDateEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event); // selects the whole text when tabbed into
    // The press that gives the focus also places the caret: the release selects.
    m_selectAllOnRelease = event->reason() == Qt::MouseFocusReason;
    updateMark();
}

void TDateEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    // A drag that selected part of the text keeps its selection.
    if (std::exchange(m_selectAllOnRelease, false) && !hasSelectedText())
        selectAll();
}

// The tint goes over what the style painted: a style sheet decides the field's background
// and would hide a palette colour. Multiplying keeps the text and the frame readable.
void TDateEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (!m_markedInvalid)
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInvalidTint);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 2, 2);
}

void TDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    updateMark();
}
