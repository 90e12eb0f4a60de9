#pragma once

#include <QtGlobal>

#include <atomic>
#include <mutex>

class ProgressInterface;

// Shares one progress band between work items on several threads: every finished step moves the reported
// value from start towards start + share. Values are passed on in order, never decreasing, and only when
// the reported thousandth changes.
class ProgressHandler
{
public:
    ProgressHandler(ProgressInterface* progress, qint64 total, int start, int share) noexcept;

    void stepDone(qint64 steps = 1);

private:
    ProgressInterface* m_progress;
    std::mutex m_mutex;
    qint64 m_total;
    qint64 m_done = 0;
    int m_start;
    int m_share;
    int m_lastReported = -1;
};

// Watches for a cancel request on behalf of many threads. Workers poll it often; it asks the progress
// interface at most once per interval, so a cancel is noticed within a few milliseconds without every
// thread queueing on the interface's lock.
class CancelWatch
{
public:
    explicit CancelWatch(ProgressInterface* progress) noexcept;

    bool isCancelled() const noexcept { return m_isCancelled.load(std::memory_order_relaxed); }
    // Asks the progress interface when the interval has passed since the last question; true once a
    // cancel was seen.
    bool poll();
    // Asks the progress interface now.
    bool askNow();

private:
    static constexpr qint64 pollIntervalNanoseconds = 5000000;

    ProgressInterface* m_progress;
    std::atomic<bool> m_isCancelled{false};
    std::atomic<qint64> m_lastAsked{0};
};

// Publishes a cancel watch through a pointer slot for the length of a scope.
class ActiveCancelWatch
{
public:
    ActiveCancelWatch(CancelWatch*& slot, CancelWatch& watch) noexcept
        : m_slot(slot)
    {
        m_slot = &watch;
    }
    ~ActiveCancelWatch() { m_slot = nullptr; }
    ActiveCancelWatch(const ActiveCancelWatch&) = delete;
    ActiveCancelWatch& operator=(const ActiveCancelWatch&) = delete;

private:
    CancelWatch*& m_slot;
};
