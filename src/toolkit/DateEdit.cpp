#include "toolkit/DateEdit.h"

#include <QRegularExpression>

#include "util/ShortDate.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCalendarWidth = 200;
constexpr int kCalendarHeight = 150;

// Characters with a meaning in a QLineEdit input mask; a separator that is one of them is
// escaped.
const QString kMaskMeta = QStringLiteral("AaNnXx90Dd#HhBb<>!;[]{}\\");

QString Padded(int number, int width, QChar pad)
{
    return QStringLiteral("%1").arg(number, width, 10, pad);
}

} // namespace

TDateEdit::TDateEdit(QWidget *parent)
    : QLineEdit(parent), m_format(ShortDateFormat())
{
    m_layout = LayoutOf(m_format);
    setInputMask(MaskOf(m_format));

    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("btnDropDown"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setToolTip(tr("Choose a date"));
    m_button->setAccessibleName(tr("Choose a date"));
    connect(m_button, &QToolButton::clicked, this, &TDateEdit::showCalendar);

    setText(TextOf(QDate::currentDate(), m_format));
}

QString TDateEdit::text() const
{
    const QString shown = displayText();
    return shown == m_shownForStored ? m_stored : shown;
}

void TDateEdit::setText(const QString &text)
{
    QLineEdit::setText(shownFormOf(text));
    m_stored = text;
    m_shownForStored = displayText();
}

QString TDateEdit::shownFormOf(const QString &text) const
{
    if (fitsLayout(text))
        return text;
    static const QRegularExpression number(QStringLiteral("\\d+"));
    QStringList numbers;
    for (auto match = number.globalMatch(text); match.hasNext();)
        numbers << match.next().captured();
    if (numbers.size() != m_layout.fields.size())
        return text;
    QString shown = m_layout.skeleton;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const Field &f = m_layout.fields[i];
        if (numbers[i].size() > f.width)
            return text;
        shown.replace(f.position, f.width, numbers[i].rightJustified(f.width, f.pad));
    }
    return shown;
}

// The text has the mask's length and its separators at the mask's places.
bool TDateEdit::fitsLayout(const QString &text) const
{
    const QString &skeleton = m_layout.skeleton;
    if (text.size() != skeleton.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool inField = std::any_of(m_layout.fields.cbegin(), m_layout.fields.cend(),
                                         [i](const Field &f) {
                                             return i >= f.position && i < f.position + f.width;
                                         });
        if (!inField && text[i] != skeleton[i])
            return false;
    }
    return true;
}

TDateEdit::Layout TDateEdit::LayoutOf(const QString &format)
{
    Layout layout;
    QString &skeleton = layout.skeleton;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            qsizetype run = 1;
            while (i + run < format.size() && format[i + run] == c)
                ++run;
            i += run;
            const Part part = c == QLatin1Char('d') ? Part::Day
                              : c == QLatin1Char('M') ? Part::Month
                                                      : Part::Year;
            const int width = part == Part::Year ? 4 : 2;
            // "d" and "M" write one digit where they can: the field pads with a blank.
            const QChar pad = run == 1 && part != Part::Year ? QLatin1Char(' ') : QLatin1Char('0');
            layout.fields.append({part, int(skeleton.size()), width, pad});
            skeleton += QString(width, QLatin1Char(' '));
            continue;
        }
        if (c == QLatin1Char('\'')) { // quoted literal text; '' stands for a quote
            ++i;
            if (i < format.size() && format[i] == QLatin1Char('\'')) {
                skeleton += QLatin1Char('\'');
                ++i;
                continue;
            }
            while (i < format.size()) {
                if (format[i] == QLatin1Char('\'')) {
                    if (i + 1 < format.size() && format[i + 1] == QLatin1Char('\'')) {
                        skeleton += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                skeleton += format[i++];
            }
            continue;
        }
        skeleton += c;
        ++i;
    }
    return layout;
}

QString TDateEdit::MaskOf(const QString &format)
{
    // Each field place takes a digit or a blank ('0'); literal text is kept, escaped where
    // the character means something in a mask. "; " shows blanks as spaces.
    const Layout layout = LayoutOf(format);
    QString mask;
    for (qsizetype i = 0; i < layout.skeleton.size(); ++i) {
        const bool inField = std::any_of(layout.fields.cbegin(), layout.fields.cend(),
                                         [i](const Field &f) {
                                             return i >= f.position && i < f.position + f.width;
                                         });
        if (inField) {
            mask += QLatin1Char('0');
            continue;
        }
        if (kMaskMeta.contains(layout.skeleton[i]))
            mask += QLatin1Char('\\');
        mask += layout.skeleton[i];
    }
    return mask + QStringLiteral("; ");
}

QString TDateEdit::TextOf(const QDate &date, const QString &format)
{
    const Layout layout = LayoutOf(format);
    QString text = layout.skeleton;
    for (const Field &f : layout.fields) {
        const int number = f.part == Part::Day ? date.day()
                           : f.part == Part::Month ? date.month()
                                                   : date.year();
        text.replace(f.position, f.width, Padded(number, f.width, f.pad).right(f.width));
    }
    return text;
}

QDate TDateEdit::shownDate() const
{
    const QString shown = displayText();
    int day = 0, month = 0, year = 0;
    for (const Field &f : m_layout.fields) {
        bool ok = false;
        const int number = shown.mid(f.position, f.width).trimmed().toInt(&ok);
        if (!ok)
            return QDate();
        (f.part == Part::Day ? day : f.part == Part::Month ? month : year) = number;
    }
    return QDate(year, month, day);
}

void TDateEdit::showCalendar()
{
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("popDropDown"));
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(QStringLiteral("calDropDown"));
        m_calendar->setFirstDayOfWeek(Qt::Sunday);
        m_calendar->setFixedSize(kCalendarWidth, kCalendarHeight);
        auto *layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::clicked, this, &TDateEdit::pickDate);
        connect(m_calendar, &QCalendarWidget::activated, this, &TDateEdit::pickDate);
    }
    const QDate shown = shownDate();
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

void TDateEdit::pickDate(const QDate &date)
{
    m_popup->hide();
    QLineEdit::setText(TextOf(date, m_format));
    setModified(true);
    setFocus(Qt::PopupFocusReason);
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
    QLineEdit::keyPressEvent(event);
}
