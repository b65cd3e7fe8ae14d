#pragma once

#include <cstddef>
#include <functional>

// Calls task(0) to task(count - 1), at most maxParallel at a time, and
// returns when all have returned. When no thread can be started, the tasks
// run one after another on the calling thread.
void ParallelFor(std::size_t count, std::size_t maxParallel,
                 const std::function<void(std::size_t)>& task);
