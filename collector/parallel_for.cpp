#include "collector/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

void ParallelFor(std::size_t count, std::size_t maxParallel,
                 const std::function<void(std::size_t)>& task) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < count; index = next++) {
            task(index);
        }
    };
    const std::size_t threadCount = std::min(count, std::max<std::size_t>(maxParallel, 1));
    std::vector<std::thread> threads;
    threads.reserve(threadCount);
    try {
        // The calling thread is one of the workers.
        for (std::size_t i = 1; i < threadCount; ++i) {
            threads.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for: the ones running share the work.
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
}
