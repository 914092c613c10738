#include "model/OrderedPieces.h"

#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

class TPieceWorkers {
public:
    TPieceWorkers(int count, const std::function<void(int, QByteArray &)> &make, int threads)
        : m_count(count), m_make(make), m_ready(size_t(count)), m_ahead(2 * threads + 2)
    {
        for (int t = 0; t < threads; ++t)
            m_threads.emplace_back([this] { work(); });
    }
    ~TPieceWorkers()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        for (std::thread &thread : m_threads)
            thread.join();
    }

    // A piece's buffer handed back once taken, so that the next piece fills memory that is
    // already there instead of fresh pages.
    void recycle(QByteArray &&buffer)
    {
        buffer.resize(0);
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(buffer));
    }

    // Piece i, once made; throws what making a piece threw.
    QByteArray take(int i)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_ready[size_t(i)].has_value() || m_error; });
        if (m_error)
            std::rethrow_exception(m_error);
        QByteArray piece = std::move(*m_ready[size_t(i)]);
        m_ready[size_t(i)].reset();
        m_taken = i + 1;
        lock.unlock();
        m_changed.notify_all();
        return piece;
    }

private:
    void work()
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] {
                return m_stop || m_error || m_next >= m_count || m_next - m_taken < m_ahead;
            });
            if (m_stop || m_error || m_next >= m_count)
                return;
            const int i = m_next++;
            QByteArray piece;
            if (!m_free.empty()) {
                piece = std::move(m_free.back());
                m_free.pop_back();
            }
            lock.unlock();
            std::exception_ptr error;
            try {
                m_make(i, piece);
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            if (error)
                m_error = error;
            else
                m_ready[size_t(i)] = std::move(piece);
            lock.unlock();
            m_changed.notify_all();
        }
    }

    const int m_count;
    const std::function<void(int, QByteArray &)> &m_make;
    std::vector<std::optional<QByteArray>> m_ready;
    const int m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_next = 0;  // the next piece to make
    int m_taken = 0; // pieces handed over
    bool m_stop = false;
    std::exception_ptr m_error;
    std::vector<QByteArray> m_free;
    std::vector<std::thread> m_threads;
};

} // namespace

void MakePiecesInOrder(int count, const std::function<void(int, QByteArray &)> &make,
                       const std::function<void(const QByteArray &)> &take)
{
    const int threads = std::min(4, QThread::idealThreadCount());
    if (count <= 1 || threads <= 1) {
        QByteArray piece;
        for (int i = 0; i < count; ++i) {
            piece.resize(0);
            make(i, piece);
            take(piece);
        }
        return;
    }
    TPieceWorkers workers(count, make, threads);
    for (int i = 0; i < count; ++i) {
        QByteArray piece = workers.take(i);
        take(piece);
        workers.recycle(std::move(piece));
    }
}
