#include "stall_meter.h"

#include <QEvent>
#include <QWidget>

#include <ctime>

namespace {

// Processor time of the calling thread, in milliseconds.
double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

} // namespace

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
    m_longestBusy = 0;
    m_lastCpu = ThreadCpuMs();
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
    const double cpu = ThreadCpuMs();
    m_longestBusy = qMax(m_longestBusy, cpu - m_lastCpu);
    m_lastCpu = cpu;
    if (now - m_lastFrame >= 16) {
        m_lastFrame = now;
        m_window.update();
    }
}
