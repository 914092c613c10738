#pragma once
// The window's stalls while long work runs: a 5 ms timer ticks on the window's thread and asks
// for a repaint at 60 frames a second, as a display would; the longest gap between ticks is
// how long the window stood still.

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

// Counts the window's paints and the longest gap between the ticks of a 5 ms timer that
// asks for them.
class TStallMeter : public QObject {
public:
    explicit TStallMeter(QWidget &window) : m_window(window)
    {
        window.installEventFilter(this);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }
    void start()
    {
        m_longest = 0;
        m_paints = 0;
        m_clock.start();
        m_last = 0;
        m_lastFrame = 0;
        m_timer.start();
    }
    void stop()
    {
        tick();
        m_timer.stop();
    }
    qint64 longestGapMs() const { return m_longest; }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = qMax(m_longest, now - m_last);
        m_last = now;
        if (now - m_lastFrame >= 16) {
            m_lastFrame = now;
            m_window.update();
        }
    }

    QWidget &m_window;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_lastFrame = 0;
    qint64 m_longest = 0;
    int m_paints = 0;
};
