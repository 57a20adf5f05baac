// SPDX-License-Identifier: MIT
#include "system/signal_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>

namespace signal_cleanup {

const int kSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGUSR1,   SIGUSR2,
                        SIGALRM, SIGPIPE, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};
const int kSignalCount = sizeof kSignals / sizeof kSignals[0];

namespace {

// Set once by install() or install_for_threads(), before anything is tracked.
bool installed = false;
bool threaded = false;

// With threads, a Hold and the cleanup exclude each other through this lock.
std::recursive_mutex& hold_lock() {
    static std::recursive_mutex lock;
    return lock;
}

// The slots the cleanup reads. A path is kept only when it fits; no longer
// path can name a file anyway.
volatile std::sig_atomic_t child = 0;
volatile std::sig_atomic_t dir_fd = -1;
char dir_path[PATH_MAX];
char file_path[PATH_MAX];  // empty when no file is tracked

bool keep_path(char (&slot)[PATH_MAX], const std::string& path) {
    if (path.empty() || path.size() >= sizeof slot) return false;
    std::memcpy(slot, path.c_str(), path.size() + 1);
    return true;
}

sigset_t caught_set() {
    sigset_t set;
    ::sigemptyset(&set);
    for (int i = 0; i < kSignalCount; ++i) ::sigaddset(&set, kSignals[i]);
    return set;
}

// Undoes what the slots name. Async-signal-safe.
void clean_up() {
    if (const pid_t pid = child; pid > 0) {
        ::kill(-pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
        child = 0;
    }
    if (const int fd = dir_fd; fd >= 0) {
        remove_directory(fd, dir_path);
        dir_fd = -1;
    }
    if (file_path[0] != '\0') {
        ::unlink(file_path);
        file_path[0] = '\0';
    }
}

// Dies as the signal would have made us die.
[[noreturn]] void die_by(int sig) {
    ::signal(sig, SIG_DFL);
    sigset_t only;
    ::sigemptyset(&only);
    ::sigaddset(&only, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(sig);
    // A signal whose default action was changed meanwhile: end anyway.
    ::_exit(128 + sig);
}

extern "C" void on_signal(int sig) {
    clean_up();
    die_by(sig);
}

bool is_dot_or_dot_dot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Removes everything in the directory open as fd; folders in it are
// emptied the same way, down to a depth at which a private directory of
// ours never reaches.
void empty_directory(int fd, int depth) noexcept {
    // Entries removed while the directory is read may make the reading skip
    // others, so it is read again until a pass removes nothing.
    alignas(struct dirent64) char buffer[2048];
    for (int pass = 0; pass < 16; ++pass) {
        if (::lseek(fd, 0, SEEK_SET) < 0) break;
        bool removed = false;
        ssize_t got = 0;
        while ((got = ::getdents64(fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
                at += entry->d_reclen;
                if (is_dot_or_dot_dot(entry->d_name)) continue;
                if (::unlinkat(fd, entry->d_name, 0) == 0) {
                    removed = true;
                    continue;
                }
                if (errno != EISDIR || depth >= 64) continue;
                const int sub =
                    ::openat(fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub < 0) continue;
                empty_directory(sub, depth + 1);
                ::close(sub);
                if (::unlinkat(fd, entry->d_name, AT_REMOVEDIR) == 0) removed = true;
            }
        }
        if (!removed) break;
    }
}

}  // namespace

void install() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    action.sa_mask = caught_set();
    for (int s : kSignals) {
        struct sigaction before {};
        if (::sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
    installed = true;
}

void install_for_threads(void (*last_words)()) {
    // Only the signals not ignored from the start are waited for.
    sigset_t wanted;
    ::sigemptyset(&wanted);
    for (int s : kSignals) {
        struct sigaction before {};
        if (::sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaddset(&wanted, s);
    }
    // Blocked first, so the waiting thread starts with them blocked too.
    ::pthread_sigmask(SIG_BLOCK, &wanted, nullptr);
    std::thread waiter;
    try {
        waiter = std::thread([wanted, last_words] {
            int sig = 0;
            while (::sigwait(&wanted, &sig) != 0) {}
            if (last_words != nullptr) last_words();
            // Held for good: no thread creates a thing to clean up any more.
            hold_lock().lock();
            clean_up();
            die_by(sig);
        });
    } catch (const std::system_error&) {
        // No thread to spare (a limit on processes): a handler, which
        // cleans up the same slots but writes no last words.
        ::pthread_sigmask(SIG_UNBLOCK, &wanted, nullptr);
        install();
        return;
    }
    installed = true;
    threaded = true;
    waiter.detach();
}

Hold::Hold() {
    if (installed && threaded) {
        hold_lock().lock();
        locked_ = true;
        ::pthread_sigmask(SIG_SETMASK, nullptr, &previous_);
        const sigset_t caught = caught_set();
        for (int s : kSignals) {
            if (::sigismember(&caught, s)) ::sigdelset(&previous_, s);
        }
        return;
    }
    sigset_t block;
    ::sigemptyset(&block);
    if (installed) block = caught_set();
    // With nothing to block this only reads the current mask.
    active_ = ::pthread_sigmask(SIG_BLOCK, &block, &previous_) == 0 && installed;
}

Hold::~Hold() {
    if (locked_) hold_lock().unlock();
    if (active_) ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

void track_child(pid_t pid) {
    if (installed) child = pid;
}

void forget_child() {
    if (installed) child = 0;
}

bool track_directory(int fd, const std::string& path) {
    if (!installed) return true;
    if (!keep_path(dir_path, path)) return false;
    dir_fd = fd;
    return true;
}

void forget_directory() {
    if (installed) dir_fd = -1;
}

bool track_file(const std::string& path) { return !installed || keep_path(file_path, path); }

void forget_file() {
    if (installed) file_path[0] = '\0';
}

bool remove_directory(int fd, const char* path) noexcept {
    empty_directory(fd, 0);
    return ::rmdir(path) == 0;
}

}  // namespace signal_cleanup
