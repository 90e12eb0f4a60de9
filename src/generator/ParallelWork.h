#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// Runs work(index) for every index of the list on the global thread pool and waits for all of them. The
// list is the split of the work; it never depends on the number of threads (only how many threads help
// does). The calling thread works through the list too. The first exception thrown by any work item is
// passed on to the caller after all work items have ended; items not yet started by then are skipped.
void runOnGlobalPool(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work);

// A team of pool threads kept ready for a series of short parallel steps, such as the updates after
// every placed item: between steps its helpers wait briefly awake before they sleep, so a step starts
// without waiting for threads to wake up. While the team lives it occupies the pool's threads.
class WorkTeam
{
public:
    WorkTeam();
    ~WorkTeam();
    WorkTeam(const WorkTeam&) = delete;
    WorkTeam& operator=(const WorkTeam&) = delete;

    // Like runOnGlobalPool, with the team's helpers.
    void run(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work);

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};
