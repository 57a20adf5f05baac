// Writes the extract file, and the diagnostic dump of a run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>

#include "brennic/failure.h"
#include "brennic/run_state.h"

namespace brennic {
namespace {

// The process's file mode creation mask. It is read once, and where Linux
// can tell it without changing it: setting it to learn it would give files
// that other threads create meanwhile the wrong permissions.
mode_t creation_mask() {
    static const mode_t mask = [] {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> status(std::fopen("/proc/self/status", "r"),
                                                               &std::fclose);
        char line[256];
        unsigned value = 0;
        while (status && std::fgets(line, sizeof line, status.get()) != nullptr) {
            if (std::sscanf(line, "Umask: %o", &value) == 1) return static_cast<mode_t>(value);
        }
        const mode_t old = ::umask(0);
        ::umask(old);
        return old;
    }();
    return mask;
}

}  // namespace

bool write_file_atomically(const std::string& name, std::string_view content) {
    // A short name of its own, so that a name near the file system's limit
    // still leaves room for the temporary one.
    const std::size_t slash = name.rfind('/');
    std::string tmp = (slash == std::string::npos ? std::string() : name.substr(0, slash + 1)) +
                      ".brennic-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    // Give the file the permissions an ordinary new file would have.
    bool ok = ::fchmod(fd, 0666 & ~creation_mask()) == 0;
    const char* p = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), name.c_str()) != 0) ok = false;
    if (!ok) {
        const int reason = errno;
        ::unlink(tmp.c_str());
        errno = reason;
    }
    return ok;
}

namespace {

void append_format(std::string& out, const char* format, auto... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n) + 1);
    std::snprintf(out.data() + at, static_cast<std::size_t>(n) + 1, format, args...);
    out.pop_back();
}

}  // namespace

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
    std::string content;
    for (const block_sentence& s : state.sentences) {
        if (s.summary_worthy) {
            content += s.sentence;
            content += '\n';
        }
    }
    if (!write_file_atomically(out, content)) throw Failure("can not open " + out);
}

void debug(const RunState& state) {
    std::string content = "NUMBER_OF_WORDS, SCORE, SUMMARY_WORTHY & SENTENCE\n\n";
    for (const block_sentence& s : state.sentences) {
        append_format(content, "%lld\t%f\t%d\t", s.number_of_words, static_cast<double>(s.score),
                      s.summary_worthy);
        content += s.sentence;
        content += '\n';
    }
    content += "\nFREQUENCY, VELL_WORD & WORD\n\n";
    for (const block_word& w : state.words.words()) {
        append_format(content, "%d\t%d\t", w.frequency, w.vell_word);
        content += w.word;
        content += '\n';
    }
    append_format(content, "\nSIZE OF TEXT = %lld words\n", state.size_text);
    append_format(content, "MAXIMUM SIZE OF EXTRACT = %d words\n", state.size_extract);
    append_format(content, "COMPRESSION RATE = %f\n", static_cast<double>(state.compression_rate));
    append_format(content, "\nTHRESHOLD = %f", static_cast<double>(state.threshold));
    if (!write_file_atomically("debug.txt", content)) throw Failure("can not open debug.txt");
}

}  // namespace brennic
