// SPDX-License-Identifier: MIT
// Rendering that another thread can stop: while a StopWhen lives in a
// thread, the pages and documents rendered in it look at its flag every so
// often and throw Cancelled once the flag is set.
#pragma once

#include <brennic/brennic.h>

#include <atomic>

namespace brennic::view {

inline thread_local const std::atomic<bool>* stop_flag = nullptr;

class StopWhen {
public:
    explicit StopWhen(const std::atomic<bool>* flag) : previous_(stop_flag) { stop_flag = flag; }
    ~StopWhen() { stop_flag = previous_; }
    StopWhen(const StopWhen&) = delete;
    StopWhen& operator=(const StopWhen&) = delete;

private:
    const std::atomic<bool>* previous_;
};

// Throws Cancelled when this thread's flag is set.
inline void check_stop() {
    if (stop_flag != nullptr && stop_flag->load(std::memory_order_relaxed)) throw Cancelled();
}

}  // namespace brennic::view
