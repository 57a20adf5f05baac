// Reads one input text: runs the sentence segmenter on it, then turns each
// non-empty line of the sentence file into a sentence and counts its words.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "brennic/words.h"

extern char** environ;

namespace brennic {
namespace {

constexpr const char* kSegmenter = "TALVEN_En.exe";

// Starts program with the one argument arg, without a command interpreter,
// and waits for it. Returns false when the program could not be started.
bool run_and_wait(const std::string& program, bool search_path, const std::string& arg) {
    std::string argv0 = kSegmenter;
    std::string argv1 = arg;
    char* argv[] = {argv0.data(), argv1.data(), nullptr};
    pid_t pid = 0;
    const int rc = search_path
                       ? posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ)
                       : posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    if (rc != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return true;  // the segmenter's own result is not examined: its file is
}

// The segmenter that ships beside the running executable.
std::string segmenter_beside_executable() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return (self.parent_path() / kSegmenter).string();
}

void run_segmenter(const std::string& filename) {
    if (run_and_wait(kSegmenter, true, filename)) return;
    const std::string beside = segmenter_beside_executable();
    if (!beside.empty() && run_and_wait(beside, false, filename)) return;
    std::fprintf(stderr, "Brennic.exe: cannot start the sentence segmenter %s (not on PATH%s%s)\n",
                 kSegmenter, beside.empty() ? "" : " nor at ", beside.c_str());
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> read_whole_file(const std::string& name) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::string data;
    char chunk[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) data.append(chunk, got);
    if (std::ferror(file.get())) return std::nullopt;
    return data;
}

bool is_line_gap(char c) { return c == ' ' || c == '\n' || c == '\t'; }

// Appends one line of the sentence file as a sentence, unless it is empty.
// NUL bytes are dropped before the line is split into words, so every later
// pass over the stored sentence meets exactly the words counted here.
void add_sentence(RunState& state, std::string_view line) {
    block_sentence record;
    record.sentence.reserve(line.size());
    for (char c : line) {
        if (c != '\0') record.sentence.push_back(c);
    }
    if (record.sentence.empty()) return;

    for_each_word(record.sentence, [&](std::string_view word) {
        ++record.number_of_words;
        auto known = state.known_words.find(word);
        if (known != state.known_words.end()) {
            ++state.words[known->second.id].frequency;
        } else {
            const WordId id = state.words.put_word(state.stemming(word));
            const bool content = state.is_stopword(word) == FALSE;
            known = state.known_words.emplace(std::string(word), RunState::Term{id, content}).first;
        }
        if (known->second.content) record.content_words.push_back(known->second.id);
    });
    state.size_text += record.number_of_words;
    state.sentences.push_back(std::move(record));
}

}  // namespace

void read_sentences(RunState& state, std::string_view text) {
    // The first line is taken from its first character; after every line
    // end, blanks, tabs and empty lines are skipped. A "\r" right before a
    // line end belongs to the line end.
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::size_t line_end = eol;
        if (eol < text.size() && line_end > pos && text[line_end - 1] == '\r') --line_end;
        add_sentence(state, text.substr(pos, line_end - pos));
        pos = eol + 1;
        while (pos < text.size() && is_line_gap(text[pos])) ++pos;
    }
}

void read_text(RunState& state, const std::string& filename) {
    run_segmenter(filename);
    const std::string seg_name = filename + ".seg";
    const std::optional<std::string> data = read_whole_file(seg_name);
    if (!data) throw Failure("can not open " + seg_name);
    read_sentences(state, *data);
    ::unlink(seg_name.c_str());
}

}  // namespace brennic
