#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// Runs parallel steps on the global thread pool. A step runs work(index) for every index of its list and
// waits for all of them; the calling thread works through the list too, so a step never waits for a pool
// thread to become free. The list is the split of the work; it never depends on the number of threads.
// The first exception thrown by any work item is passed on to the caller after all work items have ended;
// items not yet started by then are skipped.
//
// A team serves a series of short steps: after a step its helpers watch briefly for the next one, so a step that follows closely starts without waking threads,
// and then hand their pool threads back; so do helpers that start late and find the work done. Between
// steps and after the team ends, its helpers hold no pool thread for longer than that brief watch.
class WorkTeam
{
public:
    WorkTeam();
    ~WorkTeam();
    WorkTeam(const WorkTeam&) = delete;
    WorkTeam& operator=(const WorkTeam&) = delete;

    void run(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work);

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

// One step with a team of its own.
void runOnGlobalPool(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work);
