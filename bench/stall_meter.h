#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Counts a window's paints and the longest gap between the ticks of a 5 ms timer that asks
// it to paint at 60 frames a second, as a display would: the longest gap is how long the
// window stood still.
class TStallMeter : public QObject {
public:
    explicit TStallMeter(QWidget &window);

    void start();
    void stop();
    qint64 longestGapMs() const { return m_longest; }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject *, QEvent *event) override;

private:
    void tick();

    QWidget &m_window;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_lastFrame = 0;
    qint64 m_longest = 0;
    int m_paints = 0;
};
