// SPDX-License-Identifier: MIT
// Writes the extract file, and the diagnostic dump of a run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "system/quote.h"
#include "system/signal_cleanup.h"

namespace brennic {

bool write_all(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

namespace {

// Writes content to a file without a name (O_TMPFILE) in dir, the directory
// part of name, and only when it is complete links it under a temporary
// name and renames that over name, with the signals held in between. So
// even a run killed by SIGKILL leaves nothing beside the extract. Returns
// nothing, having changed nothing, when the file system or a missing /proc
// does not allow this.
std::optional<bool> write_unnamed(const std::string& dir, const std::string& name,
                                  std::string_view content, unsigned mode) {
    // The mode is subject to the umask, as for any new file.
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) return std::nullopt;
    std::optional<bool> done;
    if (!write_all(fd, content)) done = false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (unsigned attempt = 0; !done && attempt < 100; ++attempt) {
        // A short name of its own, so that a name near the file system's
        // limit still leaves room for the temporary one.
        const std::string tmp =
            dir + ".brennic-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const signal_cleanup::Hold hold;
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            break;
        }
        done = ::rename(tmp.c_str(), name.c_str()) == 0;
        if (!*done) ::unlink(tmp.c_str());
    }
    ::close(fd);
    return done;
}

// Creates a new file with a name of the form dir + ".brennic-" + six random
// letters and the permission bits mode less the creation mask (so the
// folder's default ACL applies too). Returns its descriptor, or -1 with
// errno set. Safe in several threads at once: the creation mask is never
// changed.
int create_temporary(const std::string& dir, std::string& name, unsigned mode) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}() ^
                                        static_cast<std::uint64_t>(::getpid()) << 32};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = dir + ".brennic-";
        std::uint64_t bits = random();
        for (int i = 0; i < 6; ++i, bits /= 62) name += kLetters[bits % 62];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void append_format(std::string& out, const char* format, auto... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n) + 1);
    std::snprintf(out.data() + at, static_cast<std::size_t>(n) + 1, format, args...);
    out.pop_back();
}

// Writes content over what name opens in place (see written_in_place);
// no file is created.
bool write_in_place(const std::string& name, std::string_view content) {
    int fd = -1;
    do fd = ::open(name.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    bool ok = write_all(fd, content);
    const int reason = errno;
    if (::close(fd) != 0 && ok) return false;
    errno = reason;
    return ok;
}

// Thrown through a content's writer to stop the making of what can no
// longer be written.
struct WriteStopped {};

// Writes a file's content to fd, making it piece by piece when it has a
// writer, which is stopped at the first failed write: errno tells why.
bool write_content(int fd, const FileContent& file) {
    if (!file.write) return write_all(fd, file.content);
    int reason = 0;
    try {
        file.write([&](std::string_view piece) {
            if (write_all(fd, piece)) return;
            reason = errno;
            throw WriteStopped{};
        });
    } catch (const WriteStopped&) {
        errno = reason;
        return false;
    }
    return true;
}

// Writes a file's content over what its name opens in place.
bool write_in_place(const FileContent& file) {
    if (!file.write) return write_in_place(file.name, file.content);
    int fd = -1;
    do fd = ::open(file.name.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    bool ok = false;
    try {
        ok = write_content(fd, file);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const int reason = errno;
    if (::close(fd) != 0 && ok) return false;
    errno = reason;
    return ok;
}

// Names that stand for a descriptor of the process: what they lead to is
// somebody else's open file, never to be swapped for a copy.
bool system_path(const std::string& name) {
    return name.starts_with("/proc/") || name.starts_with("/dev/fd/") || name == "/dev/stdout" ||
           name == "/dev/stderr" || name == "/dev/stdin";
}

}  // namespace

bool written_in_place(const std::string& name) {
    struct stat link {};
    if (::lstat(name.c_str(), &link) != 0) return false;
    if (S_ISLNK(link.st_mode) && !system_path(name) && link.st_uid != ::geteuid() &&
        link.st_uid != 0)
        return false;
    struct stat target {};
    if (::stat(name.c_str(), &target) != 0 || S_ISDIR(target.st_mode)) return false;
    return !S_ISREG(target.st_mode) || system_path(name);
}

bool writable_in_place(const std::string& name) {
    return ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) == 0;
}

// Writes content to name through a temporary file in the same directory
// that is renamed over name, so an earlier file is never left half-written.
// Returns false, leaving no temporary file, when any step fails; a signal
// that ends the run meanwhile removes the temporary file as well. The
// signals are held off from the creation of the named temporary file to its
// rename: there is one slot for it, which the threads of a program share.
bool write_file_atomically(const std::string& name, std::string_view content, unsigned mode) {
    if (written_in_place(name)) return write_in_place(name, content);
    mode &= 0666;
    const std::size_t slash = name.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    if (const std::optional<bool> done = write_unnamed(dir, name, content, mode)) return *done;

    std::string tmp;
    const signal_cleanup::Hold hold;
    const int fd = create_temporary(dir, tmp, mode);
    if (fd < 0) return false;
    signal_cleanup::track_file(tmp);
    bool ok = write_all(fd, content);
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), name.c_str()) != 0) ok = false;
    if (!ok) {
        const int reason = errno;
        ::unlink(tmp.c_str());
        errno = reason;
    }
    signal_cleanup::forget_file();
    return ok;
}

std::size_t write_files_atomically(std::span<const FileContent> files, unsigned mode) {
    mode &= 0666;
    // Each regular file's content, written to an unnamed file in its folder.
    struct Staged {
        std::size_t index;
        std::string dir;
        int fd;
    };
    std::vector<Staged> staged;
    std::vector<std::size_t> in_place;
    const auto close_all = [&] {
        const int reason = errno;
        for (const Staged& s : staged) ::close(s.fd);
        errno = reason;
    };
    bool unnamed = true;
    for (std::size_t i = 0; i < files.size() && unnamed; ++i) {
        if (written_in_place(files[i].name)) {
            in_place.push_back(i);
            continue;
        }
        const std::size_t slash = files[i].name.rfind('/');
        std::string dir =
            slash == std::string::npos ? std::string() : files[i].name.substr(0, slash + 1);
        const int fd =
            ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
            unnamed = false;
            break;
        }
        if (fd < 0) {
            close_all();
            return i;
        }
        staged.push_back({i, std::move(dir), fd});
        bool written = false;
        try {
            written = write_content(fd, files[i]);
        } catch (...) {
            close_all();
            throw;
        }
        if (!written) {
            close_all();
            return i;
        }
    }
    if (!unnamed) {
        close_all();
        for (std::size_t i = 0; i < files.size(); ++i) {
            // Without unnamed files a made content is held whole.
            std::string made;
            std::string_view content = files[i].content;
            if (files[i].write && !written_in_place(files[i].name)) {
                files[i].write([&](std::string_view piece) { made += piece; });
                content = made;
            } else if (files[i].write) {
                if (!write_in_place(files[i])) return i;
                continue;
            }
            if (!write_file_atomically(files[i].name, content, mode)) return i;
        }
        return files.size();
    }
    {
        const signal_cleanup::Hold hold;
        for (const Staged& s : staged) {
            const std::string self = "/proc/self/fd/" + std::to_string(s.fd);
            bool done = false;
            for (unsigned attempt = 0; !done && attempt < 100; ++attempt) {
                const std::string tmp = s.dir + ".brennic-" + std::to_string(::getpid()) + "-" +
                                        std::to_string(s.fd) + "-" + std::to_string(attempt);
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) !=
                    0) {
                    if (errno == EEXIST) continue;
                    break;
                }
                done = ::rename(tmp.c_str(), files[s.index].name.c_str()) == 0;
                if (!done) {
                    const int reason = errno;
                    ::unlink(tmp.c_str());
                    errno = reason;
                }
                break;
            }
            if (!done) {
                close_all();
                return s.index;
            }
        }
    }
    close_all();
    for (const std::size_t i : in_place) {
        if (!write_in_place(files[i])) return i;
    }
    return files.size();
}

std::string extract_file_name(const std::string& base_name) {
    // Only the last path component can hold the extension.
    const std::size_t slash = base_name.rfind('/');
    const std::size_t component = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = base_name.rfind('.');
    const bool has_dot = dot != std::string::npos && dot >= component;
    return (has_dot ? base_name.substr(0, dot) : base_name) + ".sum";
}

void print_extract(const RunState& state, const std::string& filename) {
    const std::string out = extract_file_name(filename);
    // The extract is sized first, so the buffer never grows by copying. A
    // condensed text is at most half as long again as the text it comes
    // from; the capacity not written to takes no memory.
    std::size_t size = 0;
    const std::size_t factor = state.sentences.condensed() ? 2 : 1;
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        if (s.summary_worthy) size += factor * text.text.size() + 1;
    });
    std::string content;
    content.reserve(size);
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        if (s.summary_worthy) {
            content += text.sentence();
            content += '\n';
        }
    });
    if (!write_file_atomically(out, content, state.output_mode))
        throw Failure("can not open " + quote(out));
}

void debug(const RunState& state) {
    std::string content = "NUMBER_OF_WORDS, SCORE, SUMMARY_WORTHY & SENTENCE\n\n";
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        append_format(content, "%lld\t%f\t%d\t", text.number_of_words(),
                      static_cast<double>(s.score), static_cast<int>(s.summary_worthy));
        content += text.sentence();
        content += '\n';
    });
    content += "\nFREQUENCY, VELL_WORD & WORD\n\n";
    for (WordId id = 0; id < state.words.size(); ++id) {
        const block_word& w = state.words[id];
        append_format(content, "%d\t%d\t", static_cast<int>(w.frequency),
                      static_cast<int>(w.vell_word));
        content += shown_stem(state.words.word(id));
        content += '\n';
    }
    append_format(content, "\nSIZE OF TEXT = %lld words\n", state.size_text);
    append_format(content, "MAXIMUM SIZE OF EXTRACT = %d words\n", state.size_extract);
    append_format(content, "COMPRESSION RATE = %f\n", static_cast<double>(state.compression_rate));
    append_format(content, "\nTHRESHOLD = %f", static_cast<double>(state.threshold));
    if (!write_file_atomically("debug.txt", content, state.output_mode))
        throw Failure("can not open debug.txt");
}

}  // namespace brennic
