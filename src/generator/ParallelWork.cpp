#include "generator/ParallelWork.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// How long an idle helper keeps watching for the next step before it leaves, and how long the calling
// thread watches for the end of a step before it sleeps.
constexpr auto helperWakefulness = std::chrono::microseconds(300);
constexpr auto callerWakefulness = std::chrono::microseconds(100);

// One parallel step. Helpers may outlive the call (they hold the step), but they touch the work and the
// list only for positions they claimed before the list ran out, and the call waits for those.
class ParallelStep
{
public:
    ParallelStep(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work)
        : m_indices(indices)
        , m_work(work)
        , m_count(indices.size())
    {
    }

    void drain()
    {
        for (;;) {
            const std::size_t position = m_next.fetch_add(1, std::memory_order_relaxed);
            if (position >= m_count) {
                return;
            }
            if (!m_hasFailed.load(std::memory_order_relaxed)) {
                try {
                    m_work(m_indices[position]);
                } catch (...) {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    if (!m_failure) {
                        m_failure = std::current_exception();
                    }
                    m_hasFailed.store(true, std::memory_order_relaxed);
                }
            }
            if (m_done.fetch_add(1, std::memory_order_acq_rel) + 1 == m_count) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_isFinished = true;
                m_finished.notify_all();
            }
        }
    }

    // Waits until every work item has ended, then passes on the first failure.
    void waitAndRethrow()
    {
        const auto deadline = std::chrono::steady_clock::now() + callerWakefulness;
        while (m_done.load(std::memory_order_acquire) < m_count && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_finished.wait(lock, [this] { return m_isFinished; });
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
    }

private:
    const std::vector<std::size_t>& m_indices;
    const std::function<void(std::size_t)>& m_work;
    const std::size_t m_count;
    std::atomic<std::size_t> m_next{0};
    std::atomic<std::size_t> m_done{0};
    std::atomic<bool> m_hasFailed{false};
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_isFinished = false;
    std::exception_ptr m_failure;
};

// Helpers beyond the processor count would only take turns with the working threads. Without a pool (the
// application object has gone) the calling thread works alone.
std::size_t helperLimit(const QThreadPool* pool, std::size_t workCount)
{
    if (pool == nullptr) {
        return 0;
    }
    const int threads = std::min(pool->maxThreadCount(), QThread::idealThreadCount());
    return std::min(static_cast<std::size_t>(std::max(threads, 1)), workCount) - 1;
}

} // namespace

struct WorkTeam::Shared {
    std::mutex mutex;
    std::atomic<quint64> generation{0};
    std::atomic<bool> isStopping{false};
    std::shared_ptr<ParallelStep> step; // guarded by mutex
    std::size_t helperCount = 0;        // guarded by mutex: helpers started and not yet gone

    // A helper's life: help with every step after the one numbered `seen`; leave when the team stops or
    // no step comes for a while.
    void serve(quint64 seen)
    {
        for (;;) {
            const auto deadline = std::chrono::steady_clock::now() + helperWakefulness;
            while (generation.load(std::memory_order_acquire) == seen && !isStopping.load(std::memory_order_acquire)
                   && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            std::shared_ptr<ParallelStep> current;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (isStopping.load(std::memory_order_relaxed) || generation.load(std::memory_order_relaxed) == seen) {
                    --helperCount;
                    return;
                }
                seen = generation.load(std::memory_order_relaxed);
                current = step;
            }
            current->drain();
        }
    }
};

WorkTeam::WorkTeam()
    : m_shared(std::make_shared<Shared>())
{
}

WorkTeam::~WorkTeam()
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->isStopping.store(true, std::memory_order_release);
    m_shared->step.reset();
}

void WorkTeam::run(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work)
{
    if (indices.empty()) {
        return;
    }
    const auto step = std::make_shared<ParallelStep>(indices, work);
    QThreadPool* pool = QThreadPool::globalInstance();
    quint64 generation = 0;
    std::size_t missing = 0;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->step = step;
        generation = m_shared->generation.fetch_add(1, std::memory_order_release) + 1;
        const std::size_t wanted = helperLimit(pool, indices.size());
        if (m_shared->helperCount < wanted) {
            missing = wanted - m_shared->helperCount;
            m_shared->helperCount = wanted;
        }
    }
    // The step must be waited for whatever happens here: helpers already started may be working on it.
    for (; missing > 0; --missing) {
        try {
            pool->start([shared = m_shared, generation] { shared->serve(generation - 1); });
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->helperCount -= missing;
            break;
        }
    }
    step->drain();
    step->waitAndRethrow();
}

void runOnGlobalPool(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work)
{
    WorkTeam team;
    team.run(indices, work);
}
