#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// Runs work(index) for every index of the list on the global thread pool and waits for all of them. The
// list is the split of the work; it never depends on the number of threads. The first exception thrown
// by any work item is passed on to the caller after all work items have ended; work items not yet
// started when it was thrown are skipped.
void runOnGlobalPool(const std::vector<std::size_t>& indices, const std::function<void(std::size_t)>& work);

// The same in the calling thread when the work is too small to be worth handing to the pool.
void runSplitWork(const std::vector<std::size_t>& indices, bool isWorthSplitting,
                  const std::function<void(std::size_t)>& work);
