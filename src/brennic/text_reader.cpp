// SPDX-License-Identifier: MIT
// Reads one input text: runs the sentence segmenter on it, then turns each
// non-empty line of the sentence file into a sentence and counts its words.
//
// The segmenter and the reader meet in a directory of the run's own: a
// fresh one under $TMPDIR (default /tmp), mode 0700, kept open from its
// creation on. The text is opened here, checked to be a regular file or an
// unnamed pipe, and handed to the segmenter as its descriptor 3, under a
// link in the private directory named like the text. The segmenter starts
// in the private directory (entered by its descriptor, so no path through
// $TMPDIR is ever looked up again) and is given the link's relative name;
// it writes the link's name + ".seg" beside it, where no one else can have
// put a file. The directory goes with everything in it when the text has
// been read, and the segmenter's process group with it. Nothing beside the
// text is created, read or removed.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "brennic/words.h"
#include "system/quote.h"
#include "system/safe_files.h"
#include "system/signal_cleanup.h"

extern char** environ;

namespace brennic {
namespace {

constexpr const char* kSegmenter = "TALVEN_En.exe";

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// A fresh directory, private to this run, under $TMPDIR (or /tmp). It is
// removed with everything in it when the object goes, and also when a
// signal ends the run while it exists.
class PrivateDir {
public:
    PrivateDir() {
        const char* tmpdir = std::getenv("TMPDIR");
        const std::string base = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
        // Another user could rename our directory there and put one of
        // theirs in its place.
        if (const std::optional<std::string> why = unsafe_shared_directory(base))
            throw Failure("the temporary folder " + quote(base) + " (TMPDIR) is " + *why);
        path_ = base + (base.ends_with('/') ? "" : "/") + "brennic-XXXXXX";
        signal_cleanup::Hold hold;
        if (::mkdtemp(path_.data()) == nullptr) fail(base, errno);
        fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_uid != ::geteuid() ||
            (st.st_mode & 077) != 0 || !signal_cleanup::track_directory(fd_, path_)) {
            const int err = fd_ < 0 ? errno : EPERM;
            if (fd_ >= 0) ::close(fd_);
            ::rmdir(path_.c_str());
            fail(base, err);
        }
    }
    ~PrivateDir() {
        signal_cleanup::Hold hold;
        signal_cleanup::remove_directory(fd_, path_.c_str());
        signal_cleanup::forget_directory();
        ::close(fd_);
    }
    PrivateDir(const PrivateDir&) = delete;
    PrivateDir& operator=(const PrivateDir&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    [[noreturn]] static void fail(const std::string& base, int err) {
        throw Failure("can not create a private directory in " + quote(base) +
                      " (TMPDIR): " + std::strerror(err));
    }

private:
    std::string path_;
    int fd_ = -1;
};

// Restores the previous signal mask in a child and gives it a process group
// of its own, so that an interrupted run can stop it with all it started.
class SpawnAttributes {
public:
    explicit SpawnAttributes(const sigset_t& mask) {
        ::posix_spawnattr_init(&attr_);
        ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
        ::posix_spawnattr_setpgroup(&attr_, 0);
        ::posix_spawnattr_setsigmask(&attr_, &mask);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
};

// Starts the child in the directory open as dir_fd, with text_fd as its
// descriptor 3 and its standard error going to the file errors, named
// relative to that directory.
class SpawnActions {
public:
    SpawnActions(int dir_fd, int text_fd, const std::string& errors) {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawn_file_actions_addfchdir_np(&actions_, dir_fd);
        ::posix_spawn_file_actions_adddup2(&actions_, text_fd, kTextFd);
        ::posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, errors.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
    }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    const posix_spawn_file_actions_t* get() const { return &actions_; }

    static constexpr int kTextFd = 3;

private:
    posix_spawn_file_actions_t actions_;
};

// Starts program with the one argument arg, without a command interpreter,
// in the directory dir_fd with the text as descriptor 3 and its standard
// error going to the file errors there, and waits for it. Whatever it
// started in its process group is ended with it. Returns whether it exited
// with status 0 (an unknown status counts as a failure), or nothing when it
// could not be started.
std::optional<bool> run_and_wait(const std::string& program, bool search_path,
                                 const std::string& arg, int dir_fd, int text_fd,
                                 const std::string& errors, char* const* envp) {
    std::string argv0 = kSegmenter;
    std::string argv1 = arg;
    char* argv[] = {argv0.data(), argv1.data(), nullptr};
    pid_t pid = 0;
    {
        signal_cleanup::Hold hold;  // a signal now finds the child tracked, or no child
        const SpawnAttributes attr(hold.previous_mask());
        const SpawnActions actions(dir_fd, text_fd, errors);
        const int rc =
            search_path
                ? ::posix_spawnp(&pid, program.c_str(), actions.get(), attr.get(), argv, envp)
                : ::posix_spawn(&pid, program.c_str(), actions.get(), attr.get(), argv, envp);
        if (rc != 0) return std::nullopt;
        signal_cleanup::track_child(pid);
    }
    // Wait without reaping, so the child's number stays its own until it is
    // no longer tracked.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {}
    signal_cleanup::Hold hold;
    // The group outlives its leader while the leader is not reaped.
    ::kill(-pid, SIGKILL);
    signal_cleanup::forget_child();
    int status = 0;
    pid_t reaped = 0;
    while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {}
    return reaped == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The segmenter that ships beside the running executable.
std::string segmenter_beside_executable() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return (self.parent_path() / kSegmenter).string();
}

// This process's environment with BRENNIC_LANGUAGE set to a language code:
// the segmenter splits the text by that language's rules.
class SegmenterEnvironment {
public:
    explicit SegmenterEnvironment(const std::string& language)
        : setting_("BRENNIC_LANGUAGE=" + language) {
        for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
            if (std::strncmp(*e, "BRENNIC_LANGUAGE=", 17) != 0) pointers_.push_back(*e);
        }
        pointers_.push_back(setting_.data());
        pointers_.push_back(nullptr);
    }
    char* const* get() const { return pointers_.data(); }

private:
    std::string setting_;
    std::vector<char*> pointers_;
};

// Runs the segmenter on name in the directory dir_fd, by the rules of
// language; true when it ran and succeeded. Its messages go to the file
// errors in that directory.
bool run_segmenter(const std::string& name, int dir_fd, int text_fd, const std::string& errors,
                   const std::string& language) {
    const SegmenterEnvironment env(language);
    std::optional<bool> succeeded =
        run_and_wait(kSegmenter, true, name, dir_fd, text_fd, errors, env.get());
    const std::string beside = succeeded ? std::string() : segmenter_beside_executable();
    if (!succeeded && !beside.empty())
        succeeded = run_and_wait(beside, false, name, dir_fd, text_fd, errors, env.get());
    if (!succeeded) {
        std::fprintf(stderr,
                     "Brennic.exe: cannot start the sentence segmenter %s (not on PATH%s%s)\n",
                     kSegmenter, beside.empty() ? "" : " nor at ", beside.c_str());
    }
    return succeeded.value_or(false);
}

// The name the text goes by in the private directory: its own file name,
// unless that leaves the segmenter no room for the names of its sentence
// file and of its temporary file beside it.
std::string link_name(const std::string& text) {
    constexpr std::size_t kLongest = NAME_MAX - 40;
    const std::string name = std::filesystem::path(text).filename().string();
    return name.empty() || name == "." || name == ".." || name.size() > kLongest ? "text" : name;
}

// The whole content of the regular file name in the directory dir_fd, not
// following a symbolic link; nothing when it is not one or cannot be read.
std::optional<std::string> read_regular_file(int dir_fd, const std::string& name) {
    const Fd fd(::openat(dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        data.append(chunk, static_cast<std::size_t>(got));
    }
    return data;
}

bool is_line_gap(char c) { return c == ' ' || c == '\n' || c == '\t'; }

// Counts the words of one sentence, read as reading reads it, adds its
// content words to the list and ends it.
//
// The words are taken in batches: the first walk hashes each word and asks
// for its place in the cache to be fetched, the second looks them up. Most
// words of a text with a large vocabulary find their place outside the
// processor's caches, and fetching a batch's places together overlaps those
// waits instead of taking them one after the other.
void add_sentence(RunState& state, Reading reading, std::string_view sentence) {
    struct Pending {
        std::string_view word;
        std::size_t hash;
    };
    constexpr std::size_t kBatch = 32;
    std::array<Pending, kBatch> batch;
    std::size_t pending = 0;
    long long words = 0;
    const auto take = [&] {
        for (std::size_t i = 0; i < pending; ++i) {
            const auto [word, hash] = batch[i];
            Term term;
            if (const Term* known = state.known_words.find(word, hash)) {
                term = *known;
                state.words.count(term.id);
            } else if (reading.language() != nullptr) {
                term.content = reading.stem_and_content(word, state.tmp_word);
                term.id = state.words.put_word(state.tmp_word);
                state.known_words.put(word, hash, term);
            } else {
                term.id = state.words.put_word(state.stemming(word, reading));
                term.content = state.is_stopword(word, reading) == FALSE;
                state.known_words.put(word, hash, term);
            }
            if (term.content) state.sentences.add_content_word(term.id);
        }
        words += static_cast<long long>(pending);
        pending = 0;
    };
    reading.for_each_word(sentence, [&](std::string_view word) {
        const std::size_t hash =
            word.size() <= KnownWords::kLongestWord ? std::hash<std::string_view>{}(word) : 0;
        state.known_words.prefetch(hash);
        batch[pending++] = {word, hash};
        if (pending == kBatch) take();
    });
    take();
    state.size_text += words;
    state.sentences.end_sentence();
}

}  // namespace

void read_sentences(RunState& state, std::string text) {
    // The first line is taken from its first character; after every line
    // end, blanks, tabs and empty lines are skipped. A "\r" right before a
    // line end belongs to the line end, and NUL bytes are dropped before a
    // line is split into words, so every later pass over the stored
    // sentence meets exactly the words counted here. A line left empty is
    // no sentence.
    //
    // The sentences are gathered at the front of text, one line end between
    // two, and the list keeps text as their store. Nothing is ever written
    // past what was read, and the sentence file of the segmenter, whose
    // lines hold neither blanks at their start nor NUL bytes, is not moved
    // at all.
    //
    // The bytes of the whole file decide how its words are read.
    const Reading reading = state.reading_of(text);
    // The cache holds words as a reading read them.
    if (reading != state.known_reading) {
        state.known_words.clear();
        state.known_words.size_for(text.size(), reading.language() != nullptr);
        state.known_reading = reading;
    }
    if (Stemmer* stemmer = reading.stemmer()) stemmer->expect_text(text.size());
    char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t kept = 0;  // the sentences so far, with the line ends between them
    try {
        std::size_t pos = 0;
        while (pos < size) {
            const void* nl = std::memchr(data + pos, '\n', size - pos);
            const std::size_t eol =
                nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data) : size;
            std::size_t line_end = eol;
            if (eol < size && line_end > pos && data[line_end - 1] == '\r') --line_end;
            const std::size_t start = kept == 0 ? 0 : kept + 1;
            std::size_t end = start;
            for (std::size_t run = pos; run < line_end;) {
                const void* nul = std::memchr(data + run, '\0', line_end - run);
                const std::size_t run_end =
                    nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : line_end;
                if (end != run) std::memmove(data + end, data + run, run_end - run);
                end += run_end - run;
                run = run_end + 1;
            }
            if (end > start) {
                if (kept > 0) data[kept] = '\n';
                add_sentence(state, reading, std::string_view(data + start, end - start));
                kept = end;
            }
            pos = eol + 1;
            while (pos < size && is_line_gap(data[pos])) ++pos;
        }
        text.resize(kept);
        state.sentences.add_texts(std::move(text), reading);
    } catch (...) {
        state.sentences.drop_unfinished();
        throw;
    }
}

// The segmenter's messages name the text by the link in the private
// directory; this names it as the user gave it, wherever the link's name
// stands as a word of its own.
static std::string name_text_in(std::string messages, const std::string& link,
                                const std::string& user) {
    auto part_of_name = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '/';
    };
    for (std::size_t at = messages.find(link); at != std::string::npos;
         at = messages.find(link, at)) {
        const std::size_t end = at + link.size();
        const bool alone =
            (at == 0 || !part_of_name(messages[at - 1])) &&
            (end == messages.size() || !part_of_name(messages[end]) || messages[end] == '.');
        if (!alone) {
            at = end;
            continue;
        }
        messages.replace(at, link.size(), user);
        at += user.size();
    }
    return messages;
}

void read_text(RunState& state, const std::string& filename) {
    const std::string seg_error = "can not open " + quote(filename + ".seg");
    const OpenedText text = open_text(filename);
    const Fd text_fd(text.fd);
    // A text that is there but not a file to read gets its own reason; one
    // that cannot be opened fails as its sentence file would.
    if (text.fd < 0 && text.error.starts_with("not a regular file"))
        throw Failure("can not open " + quote(filename) + ": " + text.error);
    if (text.fd < 0) {
        // The reason goes to standard error, naming the text as given, as
        // the segmenter would have said it.
        std::fprintf(stderr, "Brennic.exe: cannot open %s: %s\n", quote(filename).c_str(),
                     text.error.c_str());
        throw Failure(seg_error);
    }
    state.output_mode &= text.mode;
    const PrivateDir dir;
    const std::string name = link_name(filename);
    const std::string target = "/dev/fd/" + std::to_string(SpawnActions::kTextFd);
    if (::symlinkat(target.c_str(), dir.fd(), name.c_str()) != 0) throw Failure(seg_error);
    // A name of its own beside the link, for the segmenter's messages.
    const std::string errors =
        name == "segmenter.messages" ? "segmenter.log" : "segmenter.messages";
    const std::string language = state.languages.empty() ? "en" : state.languages.back().language;
    const bool segmented = run_segmenter(name, dir.fd(), text_fd.get(), errors, language);
    if (std::optional<std::string> messages = read_regular_file(dir.fd(), errors)) {
        std::fputs(name_text_in(*messages, name, quote(filename)).c_str(), stderr);
    }
    std::optional<std::string> data;
    if (segmented) data = read_regular_file(dir.fd(), name + ".seg");
    if (!data) throw Failure(seg_error);
    read_sentences(state, std::move(*data));
}

}  // namespace brennic
