// SPDX-License-Identifier: MIT
#include "batch/progress.h"

#include <errno.h>  // program_invocation_short_name

#include <cstdio>

namespace brennic::batch {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarWidth = 24;

// "1:02:03" or "2:03".
std::string clock_time(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    char out[32];
    if (s >= 3600) {
        std::snprintf(out, sizeof out, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(out, sizeof out, "%ld:%02ld", s / 60, s % 60);
    }
    return out;
}

}  // namespace

Progress::Progress(std::size_t total, bool show_bar)
    : total_(total), show_bar_(show_bar && total > 0) {
    start_ = last_draw_ = std::chrono::steady_clock::now();
    if (show_bar_) {
        std::lock_guard lock(mutex_);
        draw(true);
    }
}

Progress::~Progress() { finish(); }

void Progress::advance() {
    std::lock_guard lock(mutex_);
    ++finished_;
    draw(false);
}

void Progress::report_failure(const std::string& name, const std::string& reason) {
    std::lock_guard lock(mutex_);
    erase();
    std::string line =
        std::string(program_invocation_short_name) + ": " + name + ": " + reason + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    draw(true);
}

void Progress::finish() {
    std::lock_guard lock(mutex_);
    if (!drawn_) return;
    draw(true);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    drawn_ = false;
    show_bar_ = false;
}

void Progress::erase() {
    if (drawn_) std::fputs("\r\x1b[K", stderr);
    drawn_ = false;
}

void Progress::draw(bool force) {
    if (!show_bar_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_draw_ < kRedrawEvery && finished_ < total_) return;
    last_draw_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double rate = elapsed > 0 ? static_cast<double>(finished_) / elapsed : 0.0;
    const int filled = static_cast<int>(kBarWidth * finished_ / total_);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    const std::string left =
        rate > 0 ? clock_time(static_cast<double>(total_ - finished_) / rate) : "-:--";
    std::fprintf(stderr, "\r[%s] %zu/%zu texts  %.0f texts/s  %s left\x1b[K", bar.c_str(),
                 finished_, total_, rate, left.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

}  // namespace brennic::batch
