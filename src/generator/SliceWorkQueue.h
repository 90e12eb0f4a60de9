#pragma once

#include "geo/Point2D.h"

#include <QtGlobal>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// The updates of placement as a queue of slice work, so that the search for the next copy need not wait
// for the update of the last one. The placing thread submits an update as one task per slice it reaches
// and goes on; pool helpers take the tasks. Before the placing thread reads a slice it waits for the
// slice's tasks, working through the queue meanwhile. Tasks on one slice run one at a time and in the
// order they were submitted, as if the updates ran one after another, so what a task counts (the points it
// removed) never depends on the threads. The counts of a submission are added up and handed back in the
// order of submission, each sum once all its tasks have finished.
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
    // Returns what the task counts; the counts of a submission are added up.
    using Work = std::function<quint64(std::size_t slice, const Update& update)>;

    // helperLimit: the most pool threads to take besides the submitting one.
    SliceWorkQueue(std::size_t sliceCount, Work work, std::size_t helperLimit);
    // Drops the tasks not started and waits for those running.
    ~SliceWorkQueue();
    SliceWorkQueue(const SliceWorkQueue&) = delete;
    SliceWorkQueue& operator=(const SliceWorkQueue&) = delete;

    void submit(const std::vector<std::size_t>& slices, const Update& update);
    // The sum of the counts of the oldest submission not yet taken, once all its tasks have finished; false
    // while it has tasks unfinished, or when every submission was taken.
    bool takeFinishedSum(quint64& sum);
    // Whether the slice has tasks not yet finished; a slice without is safe to read.
    bool isPending(std::size_t slice) const noexcept;
    // Works through the queue until the slice has no task left. The first failure of any task is passed
    // on here.
    void waitFor(std::size_t slice);
    void waitForAll();

    struct Shared;
    // One submission: its tasks add their counts and leave.
    struct Submission {
        explicit Submission(std::size_t taskCount) noexcept
            : remaining(taskCount)
        {
        }
        std::atomic<quint64> sum{0};
        std::atomic<std::size_t> remaining;
    };

private:
    void startHelpers();
    void rethrowFailure();

    std::shared_ptr<Shared> m_shared;
    std::size_t m_helperLimit;
    // Only the submitting thread reads and changes these. The submissions not yet taken, oldest first; a
    // deque keeps the places of those the tasks point to while new ones are added.
    std::deque<Submission> m_submissions;
    std::vector<quint64> m_submittedTasks; // per slice
};
