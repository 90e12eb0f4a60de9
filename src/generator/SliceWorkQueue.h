#pragma once

#include "geo/Point2D.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The updates of placement as a queue of slice work, so that the search for the next copy need not wait
// for the update of the last one. The placing thread submits an update as one task per slice it reaches
// and goes on; pool helpers take the tasks. Before the placing thread reads a slice it waits for the
// slice's tasks, working through the queue meanwhile. Tasks on one slice never run at the same time; in
// which order they run does not matter, since an update only lowers free space.
//
// Helpers sleep when the queue stays empty, are woken only when many tasks wait, and hand their pool
// threads back after a short idle spell.
// Without helpers (one thread) every task runs at once in the submitting thread.
class SliceWorkQueue
{
public:
    struct Update {
        geo::Point2D center;
        qint64 reach = 0;
        qint64 nextRadius = 0;
    };
    using Work = std::function<void(std::size_t slice, const Update& update)>;

    // helperLimit: the most pool threads to take besides the submitting one.
    SliceWorkQueue(std::size_t sliceCount, Work work, std::size_t helperLimit);
    // Drops the tasks not started and waits for those running.
    ~SliceWorkQueue();
    SliceWorkQueue(const SliceWorkQueue&) = delete;
    SliceWorkQueue& operator=(const SliceWorkQueue&) = delete;

    void submit(const std::vector<std::size_t>& slices, const Update& update);
    // Whether the slice has tasks not yet finished; a slice without is safe to read.
    bool isPending(std::size_t slice) const noexcept;
    // Works through the queue until the slice has no task left. The first failure of any task is passed
    // on here.
    void waitFor(std::size_t slice);
    void waitForAll();

    struct Shared;

private:
    void startHelpers();
    void rethrowFailure();

    std::shared_ptr<Shared> m_shared;
    std::size_t m_helperLimit;
};
