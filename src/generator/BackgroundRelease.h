#pragma once

#include <QThreadPool>

#include <memory>
#include <utility>

// Hands a large container to a pool thread to be freed there. Giving back gigabytes of grid or copies
// takes a noticeable part of a second; a run that ends (or is cancelled) should not wait for it, nor
// should the next run. When no task can be started, the value is freed here: so it is once the
// application object has gone, which takes the global pool with it.
template <typename T>
void releaseInBackground(T&& value) noexcept
{
    std::shared_ptr<T> holder;
    try {
        holder = std::make_shared<T>(std::forward<T>(value));
        if (QThreadPool* pool = QThreadPool::globalInstance()) {
            pool->start([holder]() mutable { holder.reset(); });
        }
    } catch (...) {
        // The holder, or the value still in place, is freed on the way out.
    }
}
