#include "generator/ParallelWork.h"

#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// How long an idle thread keeps watching for the next step before it sleeps, and how long the calling
// thread watches for the end of a step before it sleeps.
constexpr auto helperWakefulness = std::chrono::microseconds(300);
constexpr auto callerWakefulness = std::chrono::microseconds(100);

// One parallel step. Helpers that start after its list is done leave at once; they may outlive the call
// (they hold the step), but they only touch the work and the list for positions they claimed before the
// list ran out, and the call waits for those.
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
        m_finished.wait(lock, [this] { return m_isFinished || m_done.load(std::memory_order_acquire) >= m_count; });
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

std::size_t helperCountFor(std::size_t workCount)
{
    const int threads = std::max(QThreadPool::globalInstance()->maxThreadCount(), 1);
    return std::min(static_cast<std::size_t>(threads), workCount) - 1;
}

} // namespace

void runOnGlobalPool(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work)
{
    if (indices.empty()) {
        return;
    }
    const auto step = std::make_shared<ParallelStep>(indices, work);
    const std::size_t helperCount = helperCountFor(indices.size());
    for (std::size_t helper = 0; helper < helperCount; ++helper) {
        QThreadPool::globalInstance()->start([step] { step->drain(); });
    }
    step->drain();
    step->waitAndRethrow();
}

struct WorkTeam::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<quint64> generation{0};
    std::atomic<bool> isStopping{false};
    std::shared_ptr<ParallelStep> step;
    int sleepers = 0;

    // A helper's life: wait for a new step, help with it, until the team stops.
    void serve()
    {
        quint64 seen = 0;
        for (;;) {
            const auto deadline = std::chrono::steady_clock::now() + helperWakefulness;
            while (generation.load(std::memory_order_acquire) == seen && !isStopping.load(std::memory_order_acquire)
                   && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            std::shared_ptr<ParallelStep> current;
            {
                std::unique_lock<std::mutex> lock(mutex);
                ++sleepers;
                wake.wait(lock, [&] { return generation.load(std::memory_order_relaxed) != seen || isStopping.load(); });
                --sleepers;
                if (isStopping.load()) {
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
    // Wakeful helpers beyond the processor count would only take turns with the working ones.
    const std::size_t helperCount = helperCountFor(static_cast<std::size_t>(std::max(QThread::idealThreadCount(), 1)));
    for (std::size_t helper = 0; helper < helperCount; ++helper) {
        QThreadPool::globalInstance()->start([shared = m_shared] { shared->serve(); });
    }
}

WorkTeam::~WorkTeam()
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->isStopping.store(true);
    m_shared->step.reset();
    m_shared->wake.notify_all();
}

void WorkTeam::run(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work)
{
    if (indices.empty()) {
        return;
    }
    const auto step = std::make_shared<ParallelStep>(indices, work);
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->step = step;
        m_shared->generation.fetch_add(1, std::memory_order_release);
        if (m_shared->sleepers > 0) {
            m_shared->wake.notify_all();
        }
    }
    step->drain();
    step->waitAndRethrow();
}
