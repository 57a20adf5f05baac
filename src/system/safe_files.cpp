// SPDX-License-Identifier: MIT
#include "system/safe_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace brennic {
namespace {

// What a file of this type is, for a message.
const char* kind(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISDIR(mode)) return "a directory";
    return "not a regular file";
}

// Whether the pipe open as fd has no name in the file system.
bool is_unnamed_pipe(int fd) {
    char link[64];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(self.c_str(), link, sizeof link - 1);
    return n > 5 && std::memcmp(link, "pipe:", 5) == 0;
}

OpenedText refuse(int fd, std::string why) {
    if (fd >= 0) ::close(fd);
    return {-1, 0, std::move(why)};
}

}  // namespace

std::optional<FileId> file_id(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

std::optional<FileId> file_id(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

OpenedText check_text(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return refuse(-1, std::strerror(errno));
    if (S_ISDIR(st.st_mode)) return refuse(-1, std::strerror(EISDIR));
    if (S_ISREG(st.st_mode)) return {fd, static_cast<unsigned>(st.st_mode & 0666), {}};
    if (S_ISFIFO(st.st_mode) && is_unnamed_pipe(fd)) return {fd, 0666, {}};
    return refuse(-1, std::string("not a regular file (") + kind(st.st_mode) + ")");
}

OpenedText open_text(const std::string& path) {
    // O_NONBLOCK: opening a FIFO with no writer, or some devices, would
    // otherwise wait for ever. O_NOCTTY: a terminal never becomes ours.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (err == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return refuse(-1, std::string("not a regular file (") + kind(st.st_mode) + ")");
        return refuse(-1, std::strerror(err));
    }
    OpenedText text = check_text(fd);
    if (text.fd < 0) return refuse(fd, std::move(text.error));
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return refuse(fd, std::strerror(errno));
    return text;
}

void open_standard_descriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        // The lowest free number: fd itself, as those below it are open.
        const int opened = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_NOCTTY);
        if (opened >= 0 && opened != fd) ::close(opened);
    }
}

bool standard_output_flushed(const char* program) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    std::fprintf(stderr, "%s: standard output: %s\n", program, std::strerror(errno));
    return false;
}

OpenedText open_list(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISFIFO(st.st_mode)) return open_text(path);
    int fd = -1;
    do fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return refuse(-1, std::strerror(errno));
    if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
        // Swapped for something else meanwhile: judged as a text.
        ::close(fd);
        return open_text(path);
    }
    return {fd, 0666, {}};
}

std::optional<std::string> unsafe_shared_directory(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (st.st_mode & S_ISVTX) != 0) return std::nullopt;
    return "writable by other users without the sticky bit";
}

}  // namespace brennic
