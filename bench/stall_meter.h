#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Counts a window's paints and the longest gap between the ticks of a 5 ms timer that asks
// it to paint at 60 frames a second, as a display would: the longest gap is how long the
// window stood still. On a machine busier than its cores a gap also holds the time the
// window's thread waited for a core; the processor time that thread used within the gap
// tells what the program itself kept it from its events.
class TStallMeter : public QObject {
public:
    explicit TStallMeter(QWidget &window);

    void start();
    void stop();
    qint64 longestGapMs() const { return m_longest; }
    // The most processor time the window's thread used between two ticks.
    double longestBusyMs() const { return m_longestBusy; }
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
    double m_lastCpu = 0;
    double m_longestBusy = 0;
    int m_paints = 0;
};
