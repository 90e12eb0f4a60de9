#include "generator/ParallelWork.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <atomic>
#include <exception>
#include <mutex>

void runOnGlobalPool(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work)
{
    std::atomic<bool> hasFailed{false};
    std::mutex failureMutex;
    std::exception_ptr firstFailure;
    QtConcurrent::blockingMap(QThreadPool::globalInstance(), indices, [&](const std::size_t& index) {
        if (hasFailed.load(std::memory_order_relaxed)) {
            return;
        }
        try {
            work(index);
        } catch (...) {
            std::lock_guard<std::mutex> lock(failureMutex);
            if (!firstFailure) {
                firstFailure = std::current_exception();
            }
            hasFailed.store(true, std::memory_order_relaxed);
        }
    });
    if (firstFailure) {
        std::rethrow_exception(firstFailure);
    }
}

void runSplitWork(const std::vector<std::size_t>& indices, bool isWorthSplitting,
                  const std::function<void(std::size_t)>& work)
{
    if (isWorthSplitting && indices.size() > 1) {
        runOnGlobalPool(indices, work);
        return;
    }
    for (const std::size_t index : indices) {
        work(index);
    }
}
