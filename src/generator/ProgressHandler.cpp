#include "generator/ProgressHandler.h"

#include "generator/ProgressInterface.h"

#include <chrono>

namespace {

qint64 steadyNanoseconds() noexcept
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

ProgressHandler::ProgressHandler(ProgressInterface* progress, qint64 total, int start, int share) noexcept
    : m_progress(progress)
    , m_total(total > 0 ? total : 1)
    , m_start(start)
    , m_share(share)
{
}

void ProgressHandler::stepDone(qint64 steps)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_done = qMin(m_done + steps, m_total);
    const int value = m_start + static_cast<int>(static_cast<qint64>(m_share) * m_done / m_total);
    if (value != m_lastReported && m_progress != nullptr) {
        m_lastReported = value;
        m_progress->progressUpdate(value);
    }
}

CancelWatch::CancelWatch(ProgressInterface* progress) noexcept
    : m_progress(progress)
{
}

bool CancelWatch::poll()
{
    if (isCancelled()) {
        return true;
    }
    const qint64 now = steadyNanoseconds();
    qint64 last = m_lastAsked.load(std::memory_order_relaxed);
    if (now - last < pollIntervalNanoseconds) {
        return false;
    }
    // Only the thread that moves the time stamp asks; the others go on working.
    if (!m_lastAsked.compare_exchange_strong(last, now, std::memory_order_relaxed)) {
        return isCancelled();
    }
    return askNow();
}

bool CancelWatch::askNow()
{
    if (!isCancelled() && m_progress != nullptr && m_progress->progressCancelRequested()) {
        m_isCancelled.store(true, std::memory_order_relaxed);
    }
    return isCancelled();
}
