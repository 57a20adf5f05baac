// SPDX-License-Identifier: MIT
// What an interrupted run must undo before it dies: every catchable signal
// whose default action ends the process (HUP, INT, QUIT, TERM, USR1, USR2,
// ALRM, PIPE, XCPU, XFSZ, VTALRM, PROF) stops the process group of a running
// child program, removes a private directory with everything in it and
// removes one temporary file, then ends the process by the same signal with
// its default action.
//
// A single-threaded program catches the signals with a handler (install()).
// The handler only reads the slots below, which live in static storage and
// are set and cleared while the signals are blocked (see Hold), so it never
// sees a half-written slot and needs nothing but async-signal-safe calls.
// A program with threads blocks the signals in every thread and takes them
// in a thread of their own (install_for_threads()); there a Hold is a lock
// that the cleanup takes too. Until one of them has been called every
// function here does nothing, so code shared with a library does not touch
// process-wide state.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>

namespace signal_cleanup {

// The signals caught, and how many there are.
extern const int kSignals[];
extern const int kSignalCount;

// Catches the signals, except those ignored when the program started
// (nohup, background jobs), which stay ignored. For programs, not libraries.
void install();

// For a program that starts threads: call it before starting any. The
// signals are blocked in this thread, and so in every thread it starts
// afterwards, and a thread of their own waits for them. On a signal it
// calls last_words (in that thread; it may lock and allocate), cleans up as
// the handler of install() does, and ends the process by the signal.
void install_for_threads(void (*last_words)());

// Blocks the signals for its lifetime (or, with threads, holds the cleanup
// off), so that creating or removing a thing and setting or clearing its
// slot happen together.
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
    bool locked_ = false;
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

// Removes every entry of the directory open as dir_fd, folders in it with
// all they hold, then the directory itself at path. Async-signal-safe.
// Returns false when the directory could not be removed.
bool remove_directory(int dir_fd, const char* path) noexcept;

}  // namespace signal_cleanup
