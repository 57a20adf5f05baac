// SPDX-License-Identifier: MIT
#include "talven/seg_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "system/safe_files.h"
#include "system/signal_cleanup.h"
#include "talven/segmenter.h"

namespace talven {
namespace {

constexpr const char* program = "TALVEN_En.exe";

std::string errno_text(int err) { return std::strerror(err); }

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { close(); }
    int get() const { return fd_; }
    int close() {
        int rc = 0;
        if (fd_ >= 0) rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

// Removes the temporary file unless it was renamed into place; a signal
// that ends the program meanwhile removes it too (it is tracked from its
// creation on).
class TempFile {
public:
    explicit TempFile(std::string path) : path_(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        signal_cleanup::Hold hold;
        if (!path_.empty()) ::unlink(path_.c_str());
        signal_cleanup::forget_file();
    }
    const std::string& path() const { return path_; }
    // Call with the signals held, right after the rename.
    void release() {
        path_.clear();
        signal_cleanup::forget_file();
    }

private:
    std::string path_;
};

std::string read_file(const std::string& name, std::string& data) {
    Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return "cannot open " + name + ": " + errno_text(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return "cannot read " + name + ": " + errno_text(errno);
    if (S_ISDIR(st.st_mode)) return "cannot read " + name + ": Is a directory";
    if (S_ISREG(st.st_mode) && st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
    std::string chunk(1 << 16, '\0');
    for (;;) {
        ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return "cannot read " + name + ": " + errno_text(errno);
        }
        if (got == 0) break;
        data.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return {};
}

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

std::string write_seg_file(const std::string& name, std::string_view language) {
    std::string data;
    if (std::string err = read_file(name, data); !err.empty()) return err;
    const Language* lang = nullptr;
    try {
        lang = &language_rules(resolve_language(language, data));
    } catch (const UnknownLanguage& e) { return e.what(); }

    const std::string target = name + ".seg";
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "cannot write " + target + ": Is a directory";
        if (::access(target.c_str(), W_OK) != 0) {
            return "cannot write " + target + ": " + errno_text(errno);
        }
    }

    // A fresh name beside the target; mode 0666 lets the umask decide the
    // permissions exactly as for any newly created file.
    int fd_value = -1;
    std::string temp_path;
    {
        signal_cleanup::Hold hold;
        for (unsigned attempt = 0; fd_value < 0; ++attempt) {
            temp_path =
                target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            fd_value = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_value < 0 && (errno != EEXIST || attempt >= 100)) {
                return "cannot write " + target + ": " + errno_text(errno);
            }
        }
        signal_cleanup::track_file(temp_path);
    }
    Fd fd(fd_value);
    TempFile temp(std::move(temp_path));
    // The sentences go to the file as they are found, so that the output
    // is never held whole beside the text.
    try {
        segment_lines_to(data, *lang, [&fd](std::string_view lines) {
            if (!write_all(fd.get(), lines))
                throw std::system_error(errno, std::generic_category());
        });
    } catch (const std::system_error& e) {
        return "cannot write " + target + ": " + errno_text(e.code().value());
    }
    if (fd.close() != 0) return "cannot write " + target + ": " + errno_text(errno);
    signal_cleanup::Hold hold;
    if (::rename(temp.path().c_str(), target.c_str()) != 0) {
        return "cannot write " + target + ": " + errno_text(errno);
    }
    temp.release();
    return {};
}

namespace {

int run(int argc, char** argv) {
    // Exactly these two arguments are options; a text of that name is ./--help.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "usage: %s NAME\n"
            "Writes the sentences of the text NAME, one a line, to NAME.seg.\n"
            "  --help     this text\n"
            "  --version  the version\n"
            "Exit status: 0 done, 1 the text could not be read or NAME.seg written, 2 bad "
            "usage.\n",
            program);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", program, BRENNIC_VERSION);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s NAME   (writes the sentences of NAME to NAME.seg)\n",
                     program);
        return 2;
    }
    const char* language = std::getenv("BRENNIC_LANGUAGE");
    if (language == nullptr || *language == '\0') language = "en";
    if (std::string_view(language) != "auto") {
        try {
            language_rules(language);
        } catch (const UnknownLanguage& e) {
            std::fprintf(stderr, "%s: BRENNIC_LANGUAGE: %s\n", program, e.what());
            return 2;
        }
    }
    signal_cleanup::install();
    std::string err;
    try {
        err = write_seg_file(argv[1], language);
    } catch (const std::bad_alloc&) {
        // Everything the run held is released by now, the temporary file too.
        std::fprintf(stderr, "%s: out of memory\n", program);
        return 1;
    }
    if (!err.empty()) {
        std::fprintf(stderr, "%s: %s\n", program, err.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int run_command_line(int argc, char** argv) {
    brennic::open_standard_descriptors();
    const int status = run(argc, argv);
    return brennic::standard_output_flushed(program) ? status : 1;
}

}  // namespace talven
