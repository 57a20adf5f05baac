// SPDX-License-Identifier: MIT
// What an interrupted run must undo before it dies: SIGINT, SIGTERM and
// SIGHUP stop the process group of a running child program, remove a
// private directory with everything in it and remove one temporary file,
// then end the process by the same signal with its default action.
//
// The handler only reads the slots below, which live in static storage and
// are set and cleared while the three signals are blocked (see Hold), so it
// never sees a half-written slot and needs nothing but async-signal-safe
// calls. Until install() has been called every function here does nothing,
// so code shared with a library does not touch process-wide state.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>

namespace signal_cleanup {

// Catches the three signals, except those ignored when the program started
// (nohup, background jobs), which stay ignored. For programs, not libraries.
void install();

// Blocks the three signals for its lifetime, so that creating or removing a
// thing and setting or clearing its slot happen together.
class Hold {
public:
    Hold();
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    // The signal mask before the hold; a child program should start with it.
    const sigset_t& previous_mask() const { return previous_; }

private:
    sigset_t previous_;
    bool active_ = false;
};

// A child that leads a process group of its own; on a signal the whole group
// is killed and the child reaped. Forget it once it has ended (still unreaped,
// so its number cannot be reused meanwhile).
void track_child(pid_t pid);
void forget_child();

// A directory open as dir_fd whose path is path. Returns false when the path
// is too long to be kept (no path that long can be created anyway).
bool track_directory(int dir_fd, const std::string& path);
void forget_directory();

// One file. Returns false when the path is too long to be kept.
bool track_file(const std::string& path);
void forget_file();

// Removes every entry of the directory open as dir_fd (empty subdirectories
// included), then the directory itself at path. Async-signal-safe. Returns
// false when the directory could not be removed.
bool remove_directory(int dir_fd, const char* path) noexcept;

}  // namespace signal_cleanup
