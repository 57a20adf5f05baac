// SPDX-License-Identifier: MIT
#include "signal_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace signal_cleanup {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Set once by install(), before anything is tracked.
bool installed = false;

// The slots the handler reads. A path is kept only when it fits; no longer
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

extern "C" void on_signal(int sig) {
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
    // Die as the signal would have made us die.
    ::signal(sig, SIG_DFL);
    sigset_t only;
    ::sigemptyset(&only);
    ::sigaddset(&only, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(sig);
}

bool is_dot_or_dot_dot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

void install() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    ::sigemptyset(&action.sa_mask);
    for (int s : kSignals) ::sigaddset(&action.sa_mask, s);
    for (int s : kSignals) {
        struct sigaction before {};
        if (::sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
    installed = true;
}

Hold::Hold() {
    sigset_t block;
    ::sigemptyset(&block);
    if (installed) {
        for (int s : kSignals) ::sigaddset(&block, s);
    }
    // With nothing to block this only reads the current mask.
    active_ = ::pthread_sigmask(SIG_BLOCK, &block, &previous_) == 0 && installed;
}

Hold::~Hold() {
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
    // Entries removed while the directory is read may make the reading skip
    // others, so it is read again until a pass removes nothing.
    alignas(struct dirent64) char buffer[4096];
    for (int pass = 0; pass < 16; ++pass) {
        if (::lseek(fd, 0, SEEK_SET) < 0) break;
        bool removed = false;
        ssize_t got = 0;
        while ((got = ::getdents64(fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
                at += entry->d_reclen;
                if (is_dot_or_dot_dot(entry->d_name)) continue;
                if (::unlinkat(fd, entry->d_name, 0) == 0 ||
                    (errno == EISDIR && ::unlinkat(fd, entry->d_name, AT_REMOVEDIR) == 0)) {
                    removed = true;
                }
            }
        }
        if (!removed) break;
    }
    return ::rmdir(path) == 0;
}

}  // namespace signal_cleanup
