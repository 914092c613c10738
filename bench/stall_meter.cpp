#include "stall_meter.h"

#include <QEvent>
#include <QWidget>

TStallMeter::TStallMeter(QWidget &window) : m_window(window)
{
    window.installEventFilter(this);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
}

void TStallMeter::start()
{
    m_longest = 0;
    m_paints = 0;
    m_clock.start();
    m_last = 0;
    m_lastFrame = 0;
    m_timer.start();
}

void TStallMeter::stop()
{
    tick();
    m_timer.stop();
}

bool TStallMeter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++m_paints;
    return false;
}

void TStallMeter::tick()
{
    const qint64 now = m_clock.elapsed();
    m_longest = qMax(m_longest, now - m_last);
    m_last = now;
    if (now - m_lastFrame >= 16) {
        m_lastFrame = now;
        m_window.update();
    }
}
