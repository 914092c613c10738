#include "toolkit/Gauge.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <QtGlobal>

TGauge::TGauge(QWidget *parent)
    : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setAlignment(Qt::AlignCenter);
}

void TGauge::setProgressText(const QString &text)
{
    if (text == m_progressText)
        return;
    m_progressText = text;
    update();
}

QString TGauge::text() const
{
    // A reset bar (value below the minimum) reads as its minimum rather than losing its text.
    const int shown = qMax(value(), minimum());
    return m_progressText + QString::number(shown) + QLatin1Char('%');
}

void TGauge::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionProgressBar bar;
    initStyleOption(&bar);
    const bool showText = bar.textVisible;
    bar.textVisible = false;
    painter.drawControl(QStyle::CE_ProgressBar, bar);
    if (!showText)
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}
