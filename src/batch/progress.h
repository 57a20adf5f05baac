// SPDX-License-Identifier: MIT
// Standard error of a batch run: failure messages, and a progress bar while
// it is a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>

namespace brennic::batch {

class Progress {
public:
    // total: the number of texts; show_bar: draw the bar at all.
    Progress(std::size_t total, bool show_bar);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // One more text is finished, done or failed.
    void advance();
    // "brennic-batch: NAME: reason" on a line of its own.
    void report_failure(const std::string& name, const std::string& reason);
    // A note on a text, on a line of its own as a failure is.
    void note(const std::string& name, const std::string& message) {
        report_failure(name, message);
    }
    // Draws the bar a last time, completed, and leaves its line.
    void finish();

private:
    void draw(bool force);  // with mutex_ held
    void erase();           // with mutex_ held

    std::mutex mutex_;
    std::size_t total_;
    std::size_t finished_ = 0;
    bool show_bar_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace brennic::batch
