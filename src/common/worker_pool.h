// SPDX-License-Identifier: MIT
// The one way the library and the programs run work on several threads: a
// pool of workers that all run the same loop, which takes its next item
// from wherever the caller keeps them, until there is none left.
#pragma once

#include <sched.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace brennic {

// The cores this process may run on.
inline unsigned available_cores() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0)
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
    return std::max(1u, std::thread::hardware_concurrency());
}

// The number of workers for `items` items when `wanted` were asked for
// (0: one per core): never more than there are items, at least one.
inline unsigned worker_count(unsigned wanted, std::size_t items) {
    const std::size_t n = std::min<std::size_t>(wanted ? wanted : available_cores(), items);
    return static_cast<unsigned>(std::max<std::size_t>(n, 1));
}

// Runs `work` on `workers` threads and returns once every one has returned.
// Without `feed`, the calling thread is one of the workers, and when threads
// cannot be started the ones there are (the caller at least) do all the
// work. With `feed`, the calling thread runs it meanwhile, to hand the
// workers their items; then at least one thread must start, or
// std::system_error is thrown before anything ran.
inline void run_workers(unsigned workers, const std::function<void()>& work,
                        const std::function<void()>& feed = {}) {
    std::vector<std::jthread> pool;
    const unsigned started_by_caller = feed ? 0 : 1;
    try {
        pool.reserve(workers);
        for (unsigned k = started_by_caller; k < workers; ++k) pool.emplace_back(work);
    } catch (const std::system_error&) {
        if (feed && pool.empty()) throw;
    }
    if (feed) {
        feed();
    } else {
        work();
    }
}

}  // namespace brennic
