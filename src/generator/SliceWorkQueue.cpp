#include "generator/SliceWorkQueue.h"

#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// How long a helper keeps looking for work before it sleeps, and how long it sleeps before it leaves.
constexpr auto helperWatch = std::chrono::microseconds(50);
constexpr auto helperIdleLimit = std::chrono::milliseconds(2);
// A task takes a microsecond or two, waking a sleeping helper ten times as long: a sleeper is woken only
// for this many waiting tasks, and the watching helpers and the placing thread take the rest. Waking one
// per task cost the placing thread a system call each and kept the woken helpers busy with going back
// to sleep.
constexpr std::size_t tasksPerWokenHelper = 8;

struct Task {
    std::size_t slice;
    quint64 ticket; // the tasks submitted for the slice before this one
    SliceWorkQueue::Submission* submission;
    SliceWorkQueue::Update update;
};

} // namespace

struct SliceWorkQueue::Shared {
    Shared(std::size_t sliceCount, Work work)
        : work(std::move(work))
        , finishedTasks(new std::atomic<quint64>[sliceCount])
    {
        for (std::size_t slice = 0; slice < sliceCount; ++slice) {
            finishedTasks[slice].store(0, std::memory_order_relaxed);
        }
    }

    Work work;
    std::unique_ptr<std::atomic<quint64>[]> finishedTasks; // per slice

    std::mutex mutex;
    std::condition_variable hasWork;
    std::deque<Task> tasks;              // guarded by mutex
    std::atomic<std::size_t> queued{0};  // tasks.size(), readable without the lock
    std::size_t running = 0;             // guarded by mutex: tasks taken and not finished
    std::condition_variable allStopped;
    std::size_t helpers = 0;             // guarded by mutex
    std::size_t sleepers = 0;            // guarded by mutex
    bool isStopping = false;             // guarded by mutex
    std::exception_ptr failure;          // guarded by mutex

    bool take(Task& task)
    {
        if (tasks.empty() || isStopping) {
            return false;
        }
        task = tasks.front();
        tasks.pop_front();
        queued.store(tasks.size(), std::memory_order_relaxed);
        ++running;
        return true;
    }

    // Runs a task taken under the lock; the lock is not held meanwhile.
    void run(const Task& task, std::unique_lock<std::mutex>& lock)
    {
        lock.unlock();
        // The slice's earlier tasks were taken before this one, each by a thread that holds no other task,
        // so they finish without this one.
        std::atomic<quint64>& finished = finishedTasks[task.slice];
        while (finished.load(std::memory_order_acquire) != task.ticket) {
            std::this_thread::yield();
        }
        std::exception_ptr thrown;
        quint64 count = 0;
        try {
            count = work(task.slice, task.update);
        } catch (...) {
            thrown = std::current_exception();
        }
        task.submission->sum.fetch_add(count, std::memory_order_relaxed);
        finished.store(task.ticket + 1, std::memory_order_release);
        // The task's last touch of its submission, which may be taken and dropped right after.
        task.submission->remaining.fetch_sub(1, std::memory_order_release);
        lock.lock();
        if (thrown && !failure) {
            failure = thrown;
        }
        if (--running == 0 && isStopping) {
            allStopped.notify_all();
        }
    }

    // A helper's life on a pool thread: take tasks while there are any; watch briefly, then sleep, and
    // leave after an idle spell or when the queue stops.
    void serve()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            Task task;
            if (take(task)) {
                run(task, lock);
                continue;
            }
            if (isStopping) {
                break;
            }
            lock.unlock();
            const auto watchEnd = std::chrono::steady_clock::now() + helperWatch;
            while (queued.load(std::memory_order_relaxed) == 0 && std::chrono::steady_clock::now() < watchEnd) {
                std::this_thread::yield();
            }
            lock.lock();
            if (!tasks.empty() || isStopping) {
                continue;
            }
            ++sleepers;
            const bool isWoken = hasWork.wait_for(lock, helperIdleLimit, [this] { return !tasks.empty() || isStopping; });
            --sleepers;
            if (!isWoken) {
                break;
            }
        }
        --helpers;
        if (isStopping) {
            allStopped.notify_all();
        }
    }
};

SliceWorkQueue::SliceWorkQueue(std::size_t sliceCount, Work work, std::size_t helperLimit)
    : m_shared(std::make_shared<Shared>(sliceCount, std::move(work)))
    , m_helperLimit(helperLimit)
    , m_submittedTasks(sliceCount, 0)
{
}

SliceWorkQueue::~SliceWorkQueue()
{
    // Helpers may outlive the queue (they hold the shared state), but once this returns none of them
    // touches the work again.
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->isStopping = true;
    m_shared->tasks.clear();
    m_shared->queued.store(0, std::memory_order_relaxed);
    m_shared->hasWork.notify_all();
    m_shared->allStopped.wait(lock, [this] { return m_shared->running == 0; });
}

void SliceWorkQueue::submit(const std::vector<std::size_t>& slices, const Update& update)
{
    if (m_helperLimit == 0 || slices.empty()) {
        Submission& submission = m_submissions.emplace_back(0);
        quint64 sum = 0;
        for (const std::size_t slice : slices) {
            sum += m_shared->work(slice, update);
        }
        submission.sum.store(sum, std::memory_order_relaxed);
        return;
    }
    Submission& submission = m_submissions.emplace_back(slices.size());
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        for (const std::size_t slice : slices) {
            m_shared->tasks.push_back(Task{slice, m_submittedTasks[slice]++, &submission, update});
        }
        m_shared->queued.store(m_shared->tasks.size(), std::memory_order_relaxed);
        const std::size_t wanted = m_shared->tasks.size() / tasksPerWokenHelper;
        for (std::size_t woken = 0; woken < std::min(m_shared->sleepers, wanted); ++woken) {
            m_shared->hasWork.notify_one();
        }
    }
    startHelpers();
}

void SliceWorkQueue::startHelpers()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool == nullptr) {
        return;
    }
    std::size_t missing = 0;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        const std::size_t wanted = std::min(m_helperLimit, m_shared->tasks.size());
        if (m_shared->helpers < wanted) {
            missing = wanted - m_shared->helpers;
            m_shared->helpers = wanted;
        }
    }
    for (; missing > 0; --missing) {
        try {
            pool->start([shared = m_shared] { shared->serve(); });
        } catch (...) {
            // Without the helper the waiting thread does its share.
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->helpers -= missing;
            break;
        }
    }
}

bool SliceWorkQueue::takeFinishedSum(quint64& sum)
{
    if (m_submissions.empty() || m_submissions.front().remaining.load(std::memory_order_acquire) != 0) {
        return false;
    }
    sum = m_submissions.front().sum.load(std::memory_order_relaxed);
    m_submissions.pop_front();
    return true;
}

bool SliceWorkQueue::isPending(std::size_t slice) const noexcept
{
    return m_shared->finishedTasks[slice].load(std::memory_order_acquire) != m_submittedTasks[slice];
}

void SliceWorkQueue::waitFor(std::size_t slice)
{
    while (isPending(slice)) {
        // Only this thread adds tasks, so an empty queue stays empty here: the slice's last task is running
        // on a helper, which takes microseconds, and the lock is left to the helpers meanwhile.
        if (m_shared->queued.load(std::memory_order_relaxed) == 0) {
            std::this_thread::yield();
            continue;
        }
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        Task task;
        if (m_shared->take(task)) {
            m_shared->run(task, lock);
        } else {
            lock.unlock();
            std::this_thread::yield();
        }
    }
    rethrowFailure();
}

void SliceWorkQueue::waitForAll()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        Task task;
        if (m_shared->take(task)) {
            m_shared->run(task, lock);
            continue;
        }
        if (m_shared->running == 0) {
            break;
        }
        lock.unlock();
        std::this_thread::yield();
    }
    rethrowFailure();
}

void SliceWorkQueue::rethrowFailure()
{
    std::exception_ptr failure;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        failure = m_shared->failure;
        m_shared->failure = nullptr;
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}
