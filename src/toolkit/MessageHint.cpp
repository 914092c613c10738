#include "toolkit/MessageHint.h"

#include <QAccessible>
#include <QApplication>
#include <QBitmap>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

namespace {

constexpr int kShadow = 4;       // shadow depth, right and below
constexpr int kTipHeight = 12;   // from the tip down to the body
constexpr int kTipWidth = 16;    // of the tip where it meets the body
constexpr int kTipInset = 28;    // from the body's right edge to the tip
constexpr int kPadding = 10;     // around the text
constexpr int kRadius = 6;
constexpr int kMaxTextWidth = 400;

QFont BalloonFont()
{
    QFont font = QToolTip::font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QToolTip::font().family()});
    font.setPixelSize(11);
    return font;
}

} // namespace

TMessageHint::TMessageHint(QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("hintAlert"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(BalloonFont());
    setPalette(QToolTip::palette());
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
        if (isVisible())
            hide();
    });
}

void TMessageHint::showMessage(const QString &text, const QPoint &tip)
{
    hide();
    m_text = text;
    m_tip = tip;
    QString spoken = text;
    spoken.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setAccessibleName(spoken);
    layOut();
    qApp->installEventFilter(this);
    show();
    raise();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// Sizes the balloon round its text and places it so that the tip touches m_tip, keeping the
// body on the screen.
void TMessageHint::layOut()
{
    QString shown = m_text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // Words too long for the balloon's width (a server's title without blanks) are broken.
    const QFontMetrics metrics(font());
    const QRect room(0, 0, kMaxTextWidth, 10000);
    m_textFlags = Qt::TextWordWrap;
    QRect textBounds = metrics.boundingRect(room, m_textFlags, shown);
    if (textBounds.width() > kMaxTextWidth) {
        m_textFlags = Qt::TextWrapAnywhere;
        textBounds = metrics.boundingRect(room, m_textFlags, shown);
    }
    const int bodyWidth = qMax(textBounds.width() + 2 * kPadding, kTipInset + kTipWidth);
    const int bodyHeight = textBounds.height() + 2 * kPadding;
    m_textRect = QRect(kPadding, kTipHeight + kPadding, textBounds.width(), textBounds.height());
    resize(bodyWidth + kShadow, kTipHeight + bodyHeight + kShadow);

    int left = m_tip.x() - (bodyWidth - kTipInset);
    const QScreen *screen = QGuiApplication::screenAt(m_tip);
    if (screen) {
        const QRect area = screen->availableGeometry();
        left = qBound(area.left(), left, qMax(area.left(), area.right() - width()));
    }
    m_tipX = qBound(kRadius + kTipWidth, m_tip.x() - left, bodyWidth - kRadius);
    move(left, m_tip.y());

    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setBrush(Qt::color1);
    painter.setPen(Qt::color1);
    painter.drawPath(balloonPath());
    painter.drawPath(balloonPath().translated(kShadow, kShadow));
    painter.end();
    setMask(mask);
}

// The body with the tip rising from its top edge to the point.
QPainterPath TMessageHint::balloonPath() const
{
    const QRectF body(0.5, kTipHeight + 0.5, width() - kShadow - 1, height() - kTipHeight - kShadow - 1);
    QPainterPath path;
    path.addRoundedRect(body, kRadius, kRadius);
    QPainterPath tip;
    tip.moveTo(m_tipX - kTipWidth, body.top() + 1);
    tip.lineTo(m_tipX, 0.5);
    tip.lineTo(m_tipX, body.top() + 1);
    tip.closeSubpath();
    return path.united(tip);
}

void TMessageHint::paintEvent(QPaintEvent *)
{
    // No antialiasing: the window's shape is a one-bit mask of the same paths.
    QPainter painter(this);
    const QPainterPath path = balloonPath();
    painter.fillPath(path.translated(kShadow, kShadow), QColor(128, 128, 128));
    painter.fillPath(path, palette().color(QPalette::ToolTipBase));
    painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
    painter.drawPath(path);
    QString shown = m_text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    painter.drawText(m_textRect, m_textFlags, shown);
}

void TMessageHint::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
    emit closed();
}

bool TMessageHint::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::ApplicationDeactivate:
        hide(); // the click or key still goes where it was meant to
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
