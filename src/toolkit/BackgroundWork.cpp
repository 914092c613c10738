#include "toolkit/BackgroundWork.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

// Work shorter than this shows only the busy cursor.
constexpr int kProgressDelayMs = 300;
constexpr int kProgressStepMs = 50;
// The bar's steps from start to end.
constexpr int kProgressSteps = 1000;

// Swallows the user's input to one window and its children (not to other windows, such as
// the progress dialog), and shows the busy cursor, while it lives. Painting, timers and
// everything else go on.
class TInputBlock : public QObject {
public:
    explicit TInputBlock(QWidget &window) : m_window(window)
    {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~TInputBlock() override
    {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!IsInput(event->type()) || !watched->isWidgetType())
            return false;
        const auto *widget = static_cast<QWidget *>(watched);
        return widget == &m_window || m_window.isAncestorOf(widget);
    }

private:
    static bool IsInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

    QWidget &m_window;
};

// The progress of long work, in a window-modal dialog without buttons. It appears only once
// the work has taken a while.
class TProgress {
public:
    TProgress(QWidget &window, const TBackgroundWork &work, const std::atomic<qint64> &done)
        : m_window(window), m_work(work), m_done(done)
    {
        m_clock.start();
        m_timer.setInterval(kProgressStepMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
        m_timer.start();
    }
    ~TProgress() { delete m_dialog; }

private:
    void step()
    {
        if (!m_dialog && m_clock.elapsed() >= kProgressDelayMs)
            open();
        if (!m_dialog || m_work.expected <= 0)
            return;
        const qint64 done = m_done.load(std::memory_order_relaxed);
        const double share = double(qMin(done, m_work.expected)) / double(m_work.expected);
        m_dialog->setValue(qMin(int(share * kProgressSteps), kProgressSteps - 1));
    }
    void open()
    {
        m_dialog = new QProgressDialog(&m_window);
        m_dialog->setObjectName(m_work.objectName);
        m_dialog->setWindowTitle(m_window.windowTitle());
        m_dialog->setLabelText(m_work.label);
        m_dialog->setCancelButton(nullptr);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        // Without a size to go by, the bar only shows that the work goes on.
        m_dialog->setRange(0, m_work.expected > 0 ? kProgressSteps : 0);
        m_dialog->show();
    }

    QWidget &m_window;
    const TBackgroundWork &m_work;
    const std::atomic<qint64> &m_done;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace

std::exception_ptr TBackgroundWork::run(QWidget &window) const
{
    std::atomic<qint64> done{0};
    std::exception_ptr failure;
    const TInputBlock block(window);
    const TProgress progress(window, *this, done);
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work(done);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    return failure;
}
