// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <dirent.h>
#include <errno.h>  // program_invocation_short_name
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "batch/progress.h"
#include "brennic/command_line.h"
#include "brennic/main_text.h"
#include "brennic/run_state.h"
#include "common/worker_pool.h"
#include "languages/language_detect.h"
#include "readers/input_kind.h"
#include "system/quote.h"
#include "system/safe_files.h"
#include "system/signal_cleanup.h"
#include "view/html_view.h"
#include "view/json_view.h"
#include "view/keywords.h"

namespace brennic::batch {
namespace {

// A failure of one text, with its reason.
class TextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string reason(int error) { return std::strerror(error); }

// What an output holds: the extract, the web page, the JSON document or
// the keywords.
enum class Product { extract, page, json, keywords };

// One product of a job: a file, or a piece of standard output.
struct Output {
    std::string path;  // empty: standard output
    std::string content;
    Product product = Product::extract;
};

// A path under --output-dir: the text's path below the folder -R found it
// in (the first `root` bytes), or as given. A path that is absolute or
// climbs out with ".." keeps its last component alone.
std::string mirrored(std::string_view path, std::size_t root) {
    bool outside = root == 0 && path.starts_with('/');
    std::string out;
    for (std::size_t at = root; at < path.size() && !outside;) {
        std::size_t end = path.find('/', at);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(at, end - at);
        if (part == "..") outside = true;
        if (!part.empty() && part != ".") (out += out.empty() ? "" : "/") += part;
        at = end + 1;
    }
    if (outside) return std::string(path.substr(path.rfind('/') + 1));
    return out;
}

// What a run does, job by job: a job is one text or, with --together, all
// of them. Little is kept per text (its name, and a failure when its names
// clash), so a list of a million texts costs some tens of megabytes.
class Plan {
public:
    // roots: for each text -R found, the length of the folder's path it was
    // found under (empty: no text was found so).
    Plan(const Settings& settings, const std::vector<std::string>& texts, bool dash_is_stdin,
         const std::vector<std::size_t>& roots = {})
        : settings_(settings), texts_(texts), dash_is_stdin_(dash_is_stdin), roots_(roots) {}

    std::size_t size() const { return settings_.together ? 1 : texts_.size(); }
    std::span<const std::string> texts(std::size_t job) const {
        return settings_.together ? std::span(texts_) : std::span(texts_).subspan(job, 1);
    }
    bool is_stdin(const std::string& text) const { return dash_is_stdin_ && text == "-"; }
    // The name the outputs are named after, as Brennic.exe's output base name.
    std::string base_name(std::size_t job) const {
        const std::span<const std::string> t = texts(job);
        return t.size() > 1 ? multidoc_name(t.back()) : t.back();
    }
    bool to_stdout(std::size_t job) const {
        return !settings_.to_files() || is_stdin(texts(job).back());
    }
    // Whether a job writes to standard output, and its turn there: without
    // files, or with --keywords, every job has one, in order; otherwise only
    // the job of standard input writes there.
    bool writes_stdout(std::size_t job) const { return to_stdout(job) || keyword_lines(); }
    std::size_t stdout_turn(std::size_t job) const {
        return !settings_.to_files() || keyword_lines() ? job : 0;
    }
    // --keywords prints keyword lines, but for JSON, whose documents hold
    // the keywords.
    bool keyword_lines() const {
        return settings_.keywords.has_value() && settings_.format != Format::json;
    }
    // Extracts of several jobs on standard output each come under a header
    // line, as head(1) writes them.
    bool headers() const {
        return size() > 1 && !settings_.to_files() && settings_.format == Format::text &&
               !keyword_lines();
    }
    // The name a job is reported under.
    std::string display_name(std::size_t job) const {
        const std::span<const std::string> t = texts(job);
        return t.size() == 1 ? t.front() : extract_file_name(base_name(job));
    }

    // The outputs of a job, before their contents are known. This and
    // render() are the one place that knows what a run writes. Standard
    // output takes the place of the files: it gets the page with --html, or
    // else the keywords with --keywords, or else the extract.
    std::vector<Output> planned_outputs(std::size_t job) const {
        std::vector<Output> outputs;
        if (!to_stdout(job)) {
            std::string extract = extract_file_name(base_name(job));
            if (settings_.output_dir) {
                const std::size_t last = settings_.together ? texts_.size() - 1 : job;
                extract = *settings_.output_dir +
                          (settings_.output_dir->ends_with('/') ? "" : "/") +
                          mirrored(extract, roots_.empty() ? 0 : roots_[last]);
            }
            const std::string stem = extract.substr(0, extract.size() - 4);
            outputs.push_back({extract, {}, Product::extract});
            if (settings_.format == Format::html)
                outputs.push_back({stem + ".html", {}, Product::page});
            if (settings_.format == Format::json)
                outputs.push_back({stem + ".json", {}, Product::json});
        } else if (settings_.format == Format::html) {
            outputs.push_back({{}, {}, Product::page});
        } else if (settings_.format == Format::json) {
            outputs.push_back({{}, {}, Product::json});
        } else if (!keyword_lines()) {
            outputs.push_back({{}, {}, Product::extract});
        }
        if (keyword_lines()) outputs.push_back({{}, {}, Product::keywords});
        return outputs;
    }
    // The names of a job's texts as its page shows them.
    std::vector<std::string> page_names(std::size_t job) const {
        std::vector<std::string> names;
        for (const std::string& text : texts(job))
            names.push_back(is_stdin(text) ? "standard input" : text);
        return names;
    }
    // With several jobs each keyword line starts with the job's name.
    std::string keyword_prefix(std::size_t job) const {
        return size() > 1 ? display_name(job) + '\t' : std::string();
    }

    // Fails, before anything is read, every job that would overwrite a text
    // of the run and every job whose output another job writes too.
    void check_names();
    void fail(std::size_t job, std::string why) { failures_.try_emplace(job, std::move(why)); }
    const std::string* failure(std::size_t job) const {
        const auto found = failures_.find(job);
        return found == failures_.end() ? nullptr : &found->second;
    }

private:
    const Settings& settings_;
    const std::vector<std::string>& texts_;
    const bool dash_is_stdin_;
    const std::vector<std::size_t>& roots_;
    std::unordered_map<std::size_t, std::string> failures_;  // found by check_names
};

// What the texts of a job were read as, once their main texts took their
// place: the languages the documents name, and the kind and title the JSON
// document reports.
struct Sources {
    std::vector<std::string> hints;
    std::vector<std::string> titles;  // each document's title, for --method centrality
    view::Source json;
};

// Replaces each text of a job by its main text, as --input and its name
// (or, for standard input, its content) say it is read.
Sources read_main_texts(const Settings& settings, const Plan& plan, std::size_t job,
                        std::vector<std::string>& contents) {
    Sources sources;
    const std::span<const std::string> names = plan.texts(job);
    std::string_view kinds;
    for (std::size_t i = 0; i < contents.size() && i < names.size(); ++i) {
        const std::string_view name = plan.is_stdin(names[i]) ? std::string_view() : names[i];
        const readers::InputKind kind =
            readers::choose_kind(to_kind(settings.input), name, contents[i]);
        const std::string_view kind_name = readers::input_kind_name(kind);
        kinds = i == 0 || kinds == kind_name ? kind_name : "mixed";
        if (kind == readers::InputKind::text) {
            sources.hints.emplace_back();
            sources.titles.emplace_back();
            continue;
        }
        readers::Document doc = readers::read_input(contents[i], kind);
        contents[i] = std::move(doc.text);
        sources.hints.push_back(std::move(doc.language));
        sources.titles.push_back(doc.title);
        if (sources.json.title.empty()) sources.json.title = std::move(doc.title);
    }
    sources.json.input = std::string(kinds.empty() ? "text" : kinds);
    return sources;
}

// The main texts of a job as --main-text prints them: one paragraph a line,
// a blank line between paragraphs and between texts.
void render_main_texts(const Plan& plan, std::size_t job, std::span<const std::string> contents,
                       std::vector<Output>& outputs) {
    for (Output& out : outputs) {
        if (out.product != Product::extract) continue;
        if (out.path.empty() && plan.headers())
            out.content = (job > 0 ? "\n==> " : "==> ") + plan.display_name(job) + " <==\n";
        bool first = true;
        for (std::string_view text : contents) {
            while (!text.empty() && (text.back() == '\n' || text.back() == ' ' ||
                                     text.back() == '\r' || text.back() == '\t'))
                text.remove_suffix(1);
            if (text.empty()) continue;
            if (!first) out.content += '\n';
            (out.content += text) += '\n';
            first = false;
        }
    }
}

// Fills the outputs of a job from its texts and their summary.
void render(const Settings& settings, const Plan& plan, std::size_t job,
            std::span<const std::string> contents, const Summary& summary,
            const view::Source& source, std::vector<Output>& outputs) {
    for (Output& out : outputs) {
        switch (out.product) {
            case Product::extract:
                if (out.path.empty() && plan.headers())
                    out.content = (job > 0 ? "\n==> " : "==> ") + plan.display_name(job) + " <==\n";
                for (const std::string& sentence : summary.sentences)
                    (out.content += sentence) += '\n';
                break;
            case Product::page:
                out.content =
                    view::render_html(contents, plan.page_names(job), settings.summary, summary);
                break;
            case Product::json: {
                // A file is made as it is written: see complete().
                if (!out.path.empty()) break;
                const std::span<const std::string> names = plan.texts(job);
                out.content = view::render_json(
                    contents, names, plan.base_name(job), settings.summary, summary,
                    settings.keywords.value_or(Settings::kJsonKeywords), source);
                break;
            }
            case Product::keywords: {
                const std::string prefix = plan.keyword_prefix(job);
                const std::string lines =
                    view::keyword_lines(view::keywords(*summary.diagnostics, *settings.keywords,
                                                       contents, settings.summary.encoding),
                                        settings.stems);
                for (std::size_t at = 0; at < lines.size();) {
                    const std::size_t end = lines.find('\n', at) + 1;
                    (out.content += prefix).append(lines, at, end - at);
                    at = end;
                }
                break;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Reading

std::string read_fd(int fd) {
    std::string data;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw TextError(reason(errno));
        if (n == 0) return data;
        data.append(chunk, static_cast<std::size_t>(n));
        // A text longer than a chunk gets its whole size at once.
        struct stat st {};
        if (data.size() == sizeof chunk && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            data.reserve(static_cast<std::size_t>(st.st_size) + 1);
        }
    }
}

// A text's bytes; mode is narrowed to the permission bits its outputs may
// have. A FIFO, socket or device is refused rather than waited on (see
// open_text); standard input is read whatever it is.
std::string read_text(const std::string& name, bool from_stdin, unsigned& mode, bool list = false) {
    if (from_stdin) return read_fd(STDIN_FILENO);
    const OpenedText text = list ? open_list(name) : open_text(name);
    if (text.fd < 0) throw TextError(text.error);
    mode &= text.mode;
    const int fd = text.fd;
    try {
        std::string data = read_fd(fd);
        ::close(fd);
        return data;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

// The names in a list (standard input for "-"): one a line, or
// NUL-separated; empty ones skipped.
std::vector<std::string> read_list(const std::string& list, bool null_separated) {
    std::string data;
    unsigned mode = 07777;  // a list has no outputs of its own
    try {
        data = read_text(list, list == "-", mode, true);
    } catch (const TextError& e) {
        throw UsageError("--files-from " + quote(list) + ": " + e.what());
    }
    const char separator = null_separated ? '\0' : '\n';
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t end = data.find(separator, at);
        if (end == std::string::npos) end = data.size();
        if (end > at) names.push_back(data.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

// ---------------------------------------------------------------------------
// Folders (-R): the texts in them and below, as grep -r finds files. Links
// met on the way are not followed, and only regular files whose names match
// a pattern are texts; each folder is read in the order of its names.

struct Found {
    std::vector<std::string> texts;
    std::vector<std::size_t> roots;                             // see Plan
    std::vector<std::pair<std::size_t, std::string>> failures;  // text index, why
};

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void walk(const std::string& top, const std::vector<std::string>& patterns,
          const std::optional<FileId>& skip, Found& found) {
    const auto matches = [&](const std::string& name) {
        return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
            return ::fnmatch(p.c_str(), name.c_str(), 0) == 0;
        });
    };
    // Folders still to read, the next one last: a folder's own texts come
    // first, then its subfolders' in the order of their names.
    std::vector<std::string> pending{top};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            found.failures.emplace_back(found.texts.size(), reason(errno));
            found.texts.push_back(folder);
            found.roots.push_back(top.size());
            continue;
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") names.emplace_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        std::vector<std::string> subfolders;
        for (const std::string& name : names) {
            std::string path = folder + (folder.ends_with('/') ? "" : "/") + name;
            struct stat st {};
            if (::lstat(path.c_str(), &st) != 0) continue;  // gone meanwhile
            if (S_ISDIR(st.st_mode)) {
                if (!skip || FileId{st.st_dev, st.st_ino} != *skip)
                    subfolders.push_back(std::move(path));
            } else if (S_ISREG(st.st_mode) && matches(name)) {
                found.texts.push_back(std::move(path));
                found.roots.push_back(top.size());
            }
        }
        pending.insert(pending.end(), std::make_move_iterator(subfolders.rbegin()),
                       std::make_move_iterator(subfolders.rend()));
    }
}

// The texts of the run with each folder among them replaced by its texts.
Found expand_folders(const Settings& settings, std::vector<std::string> texts) {
    std::vector<std::string> patterns = settings.include;
    if (patterns.empty())
        patterns.assign(std::begin(Settings::kTextPatterns), std::end(Settings::kTextPatterns));
    // The output folder, when it lies inside a folder read, holds no texts.
    std::optional<FileId> skip;
    if (settings.output_dir) skip = file_id(*settings.output_dir);
    Found found;
    for (std::string& text : texts) {
        if (text != "-" && is_folder(text)) {
            walk(text, patterns, skip, found);
        } else {
            found.texts.push_back(std::move(text));
            found.roots.push_back(0);
        }
    }
    return found;
}

// ---------------------------------------------------------------------------
// Name checks

// Which file a path will name once written: its directory and its last
// component (the path itself when the directory is not there). `dirs`
// remembers the directories already looked at.
std::pair<std::optional<FileId>, std::string_view> output_identity(
    std::string_view path, std::map<std::string, std::optional<FileId>, std::less<>>& dirs) {
    const std::size_t slash = path.rfind('/');
    const std::string_view dir = slash == std::string_view::npos ? "." : path.substr(0, slash + 1);
    auto known = dirs.find(dir);
    if (known == dirs.end()) {
        std::optional<FileId> id;
        struct stat st {};
        if (::stat(std::string(dir).c_str(), &st) == 0) id = FileId{st.st_dev, st.st_ino};
        known = dirs.emplace(std::string(dir), id).first;
    }
    if (!known->second) return {std::nullopt, path};
    return {known->second, path.substr(slash == std::string_view::npos ? 0 : slash + 1)};
}

void Plan::check_names() {
    // The extracts that exist already, and so might be texts of the run.
    std::vector<std::tuple<FileId, std::size_t, std::size_t>> existing;  // file, job, output
    for (std::size_t j = 0; j < size(); ++j) {
        const std::vector<Output> outputs = planned_outputs(j);
        for (std::size_t o = 0; o < outputs.size(); ++o) {
            struct stat st {};
            if (!outputs[o].path.empty() && ::stat(outputs[o].path.c_str(), &st) == 0) {
                existing.emplace_back(FileId{st.st_dev, st.st_ino}, j, o);
            }
        }
    }
    std::sort(existing.begin(), existing.end());
    for (std::size_t t = 0; t < texts_.size() && !existing.empty(); ++t) {
        struct stat st {};
        if (!(is_stdin(texts_[t]) ? ::fstat(STDIN_FILENO, &st) == 0
                                  : ::stat(texts_[t].c_str(), &st) == 0)) {
            continue;
        }
        const FileId id{st.st_dev, st.st_ino};
        for (auto e = std::lower_bound(existing.begin(), existing.end(),
                                       std::tuple(id, std::size_t{0}, std::size_t{0}));
             e != existing.end() && std::get<0>(*e) == id; ++e) {
            const auto [file, job, output] = *e;
            failures_.try_emplace(job, quote(planned_outputs(job)[output].path) +
                                           " would overwrite the text " + quote(texts_[t]));
        }
    }

    // The outputs by a hash of the file they name, sorted, so that the jobs
    // writing the same file are next to each other: 16 bytes an output.
    std::map<std::string, std::optional<FileId>, std::less<>> dirs;
    const auto identity_hash = [&](const std::string& path) {
        const auto [dir, name] = output_identity(path, dirs);
        std::size_t h = std::hash<std::string_view>{}(name);
        if (dir)
            h ^= (std::hash<dev_t>{}(dir->dev) * 31 + std::hash<ino_t>{}(dir->ino)) *
                 0x9e3779b97f4a7c15u;
        return h;
    };
    struct Named {
        std::size_t hash;
        std::size_t job;
        std::size_t output;  // its index in planned_outputs(job)
        auto operator<=>(const Named&) const = default;
    };
    std::vector<Named> outputs;
    for (std::size_t j = 0; j < size(); ++j) {
        const std::vector<Output> planned = planned_outputs(j);
        for (std::size_t o = 0; o < planned.size(); ++o) {
            if (planned[o].path.empty()) continue;
            outputs.push_back({identity_hash(planned[o].path), j, o});
        }
    }
    std::sort(outputs.begin(), outputs.end());
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t k = i + 1; k < outputs.size() && outputs[k].hash == outputs[i].hash; ++k) {
            const std::size_t a = outputs[i].job;
            const std::size_t b = outputs[k].job;
            const std::string path_a = planned_outputs(a)[outputs[i].output].path;
            const std::string path_b = planned_outputs(b)[outputs[k].output].path;
            if (a == b || output_identity(path_a, dirs) != output_identity(path_b, dirs)) continue;
            failures_.try_emplace(
                a, quote(path_a) + " would also be written for " + quote(texts(b).back()));
            failures_.try_emplace(
                b, quote(path_b) + " would also be written for " + quote(texts(a).back()));
        }
    }
}

// ---------------------------------------------------------------------------
// The pipeline: this thread reads the texts in order into a queue, the
// workers summarize and write. A text counts as in flight from the moment
// it is read until its outputs are written, and no more than two a worker
// (and two) are in flight at once, so memory does not grow with the corpus.

class Pipeline {
public:
    Pipeline(const Settings& settings, const Plan& plan, Progress& progress, unsigned workers)
        : settings_(settings),
          plan_(plan),
          progress_(progress),
          workers_(workers),
          limit_(2 * std::size_t{workers} + 2) {}

    // Runs every job; returns the failures in the order of the jobs. When
    // fewer workers can be started than asked for (a limit on processes),
    // the run goes on with those there are, after a warning; with none it
    // fails.
    std::vector<std::pair<std::size_t, std::string>> run() {
        {
            std::vector<std::jthread> pool;
            try {
                pool.reserve(workers_);
                for (unsigned k = 0; k < workers_; ++k) pool.emplace_back([this] { work(); });
            } catch (const std::system_error& e) {
                if (pool.empty())
                    throw std::runtime_error(std::string("can not start a worker thread: ") +
                                             e.code().message());
                std::fprintf(stderr, "%s: started %zu of %u workers (%s); going on with them\n",
                             program_invocation_short_name, pool.size(), workers_,
                             e.code().message().c_str());
            }
            read_all();
        }
        std::sort(failures_.begin(), failures_.end());
        return std::move(failures_);
    }

    // The failures so far, for a run cut short, and the permission bits of
    // the texts read so far.
    std::vector<std::pair<std::size_t, std::string>> failures_so_far() {
        std::lock_guard lock(failures_mutex_);
        auto copy = failures_;
        std::sort(copy.begin(), copy.end());
        return copy;
    }
    unsigned texts_mode() const { return texts_mode_; }

private:
    struct Item {
        std::size_t job = 0;
        std::vector<std::string> contents;
        unsigned mode = 0666;  // the permission bits its outputs may have
    };

    void read_all() {
        for (std::size_t j = 0; j < plan_.size(); ++j) {
            if (const std::string* failure = plan_.failure(j)) {
                complete(j, *failure, {}, 0);
                continue;
            }
            {
                std::unique_lock lock(queue_mutex_);
                room_.wait(lock, [this] { return in_flight_ < limit_; });
                ++in_flight_;
            }
            Item item{j, {}};
            try {
                const std::span<const std::string> texts = plan_.texts(j);
                for (const std::string& text : texts) {
                    try {
                        item.contents.push_back(read_text(text, plan_.is_stdin(text), item.mode));
                    } catch (const TextError& e) {
                        std::string why = e.what();
                        if (!plan_.is_stdin(text) && is_folder(text))
                            why = "a folder (-R reads the texts in it)";
                        throw TextError(texts.size() > 1 ? quote(text) + ": " + why : why);
                    }
                }
                texts_mode_ &= item.mode;
            } catch (const std::exception& e) {
                complete(j, describe(e), {}, 0);
                release();
                continue;
            }
            {
                std::lock_guard lock(queue_mutex_);
                queue_.push_back(std::move(item));
            }
            queue_ready_.notify_one();
        }
        {
            std::lock_guard lock(queue_mutex_);
            closed_ = true;
        }
        queue_ready_.notify_all();
    }

    void work() {
        for (;;) {
            Item item;
            {
                std::unique_lock lock(queue_mutex_);
                queue_ready_.wait(lock, [this] { return closed_ || !queue_.empty(); });
                if (queue_.empty()) return;
                item = std::move(queue_.front());
                queue_.pop_front();
            }
            std::optional<std::string> failure;
            std::vector<Output> outputs = plan_.planned_outputs(item.job);
            bool streamed = false;
            std::optional<Sources> sources;
            std::optional<Summary> summary;
            const std::span<const std::string> contents(item.contents);
            try {
                sources = read_main_texts(settings_, plan_, item.job, item.contents);
                if (settings_.main_text) {
                    render_main_texts(plan_, item.job, contents, outputs);
                } else {
                    summary = summarize_job(item.job, contents, sources->hints, sources->titles);
                    streamed = stream_json(item.job, contents, *summary, sources->json, outputs);
                    if (!streamed)
                        render(settings_, plan_, item.job, contents, *summary, sources->json,
                               outputs);
                }
            } catch (const std::exception& e) { failure = describe(e); }
            // A JSON file is made as it is written, a piece at a time.
            JsonWriter json;
            if (summary)
                json = [&](const std::function<void(std::string_view)>& put) {
                    view::render_json(contents, plan_.texts(item.job), plan_.base_name(item.job),
                                      settings_.summary, *summary,
                                      settings_.keywords.value_or(Settings::kJsonKeywords),
                                      sources->json, put);
                };
            complete(item.job, failure, std::move(outputs), item.mode, streamed, json);
            item.contents = {};  // the text is no longer needed
            release();
        }
    }

    // The summary of a job. With -l auto, a text read as English for want of
    // a language says why on standard error, unless --quiet. Without
    // diagnostics a lone text's language is found here, once. A web page's
    // language (hints[t]) stands in when detection cannot tell.
    Summary summarize_job(std::size_t job, std::span<const std::string> contents,
                          std::span<const std::string> hints, std::span<const std::string> titles) {
        const Options& options = settings_.summary;
        const std::vector<std::string_view> views(contents.begin(), contents.end());
        const auto summarize = [&](const Options& o) {
            return summarize_main_texts(views, hints, o, titles);
        };
        if (options.language != "auto" || settings_.quiet) return summarize(options);
        std::vector<LanguageReport> languages;
        Summary summary;
        if (options.diagnostics) {
            summary = summarize(options);
            languages = summary.diagnostics->languages;
        } else {
            for (std::size_t t = 0; t < contents.size(); ++t) {
                LanguageGuess guess = guess_language(contents[t]);
                languages.push_back({std::move(guess.code), true, std::move(guess.fallback)});
                const std::string hinted = t < hints.size() && !languages.back().fallback.empty()
                                               ? hinted_language(hints[t])
                                               : std::string();
                if (!hinted.empty()) languages.back() = {hinted, false, {}};
            }
            Options found = options;
            if (contents.size() == 1) found.language = languages.front().language;
            summary = summarize(found);
        }
        const std::span<const std::string> texts = plan_.texts(job);
        for (std::size_t t = 0; t < languages.size() && t < texts.size(); ++t) {
            // An empty text has no language to miss.
            if (languages[t].fallback.empty() ||
                contents[t].find_first_not_of(" \t\n\r\f\v") == std::string::npos)
                continue;
            progress_.note(plan_.is_stdin(texts[t]) ? "standard input" : quote(texts[t]),
                           "read as English: " + languages[t].fallback);
        }
        return summary;
    }

    // A text is done with. The reader, when it waits for room, is woken only
    // once half the texts in flight are done, so that it reads a run of texts
    // for each wake-up rather than one.
    void release() {
        bool wake = false;
        {
            std::lock_guard lock(queue_mutex_);
            wake = --in_flight_ == limit_ / 2;
        }
        if (wake) room_.notify_one();
    }

    // A job whose one output is a JSON document for standard output, when
    // its turn there has come, writes the document as it is made, a piece
    // at a time, so that a large one is never held whole. Returns whether
    // it did; its turn has then passed. A failure to make the document
    // leaves the turn to complete().
    bool stream_json(std::size_t job, std::span<const std::string> contents, const Summary& summary,
                     const view::Source& source, const std::vector<Output>& outputs) {
        if (outputs.size() != 1 || outputs[0].product != Product::json || !outputs[0].path.empty())
            return false;
        std::lock_guard lock(stdout_mutex_);
        if (plan_.stdout_turn(job) != next_turn_) return false;
        view::render_json(contents, plan_.texts(job), plan_.base_name(job), settings_.summary,
                          summary, settings_.keywords.value_or(Settings::kJsonKeywords), source,
                          [&](std::string_view piece) { write_stdout(piece); });
        ++next_turn_;
        write_waiting();
        return true;
    }

    // Writes the outputs of a job, or records its failure. A job that
    // streamed its document has had its turn on standard output.
    using JsonWriter = std::function<void(const std::function<void(std::string_view)>&)>;

    void complete(std::size_t job, std::optional<std::string> failure, std::vector<Output> outputs,
                  unsigned mode, bool streamed = false, const JsonWriter& json = {}) {
        if (!failure) {
            // The files of a job replace the earlier ones together, or none does.
            std::vector<FileContent> files;
            for (const Output& out : outputs) {
                if (out.path.empty()) continue;
                if (settings_.output_dir) {
                    // Mirrored folders are made as they are needed.
                    std::error_code error;
                    std::filesystem::create_directories(
                        std::filesystem::path(out.path).parent_path(), error);
                    if (error) {
                        failure = "can not make the folder of " + quote(out.path) + ": " +
                                  error.message();
                        break;
                    }
                }
                files.push_back({out.path, out.content, {}});
                if (out.product == Product::json && json) files.back().write = json;
            }
            if (!failure) {
                try {
                    const std::size_t failed = write_files_atomically(files, mode);
                    if (failed < files.size())
                        failure =
                            "can not write " + quote(files[failed].name) + ": " + reason(errno);
                } catch (const std::exception& e) { failure = describe(e); }
            }
        }
        if (failure) {
            std::lock_guard lock(failures_mutex_);
            failures_.emplace_back(job, *failure);
        }
        if (plan_.writes_stdout(job) && !streamed) {
            std::string text;
            if (!failure) {
                // Moved, not copied, when it is one: a large document is
                // then held once.
                for (Output& out : outputs) {
                    if (!out.path.empty()) continue;
                    if (text.empty())
                        text = std::move(out.content);
                    else
                        text += out.content;
                }
            } else if (settings_.format == Format::json && plan_.to_stdout(job)) {
                // A stream of JSON documents keeps its failures in place.
                text = view::render_json_error(plan_.display_name(job), *failure);
            }
            to_stdout(plan_.stdout_turn(job), std::move(text));
        }
        if (failure) progress_.report_failure(quote(plan_.display_name(job)), *failure);
        progress_.advance();
    }

    // Writes the stdout part of the job whose turn it is, and of every later
    // one already waiting.
    void to_stdout(std::size_t turn, std::string text) {
        std::lock_guard lock(stdout_mutex_);
        waiting_.emplace(turn, std::move(text));
        write_waiting();
    }

    // Writes the parts waiting whose turn has come; stdout_mutex_ is held.
    void write_waiting() {
        for (auto next = waiting_.begin(); next != waiting_.end() && next->first == next_turn_;
             next = waiting_.begin()) {
            write_stdout(next->second);
            waiting_.erase(next);
            ++next_turn_;
        }
    }

    // Writes to standard output, unless it failed before; stdout_mutex_ is
    // held.
    void write_stdout(std::string_view bytes) {
        if (stdout_ok_ && !write_all(STDOUT_FILENO, bytes)) {
            stdout_ok_ = false;
            // A reader that went away (| head) ends the run as the signal
            // would, quietly, once the failure list is written.
            if (errno == EPIPE)
                ::kill(::getpid(), SIGPIPE);
            else
                progress_.report_failure("standard output", reason(errno));
            std::lock_guard failures(failures_mutex_);
            failures_.emplace_back(plan_.size(), "standard output: " + reason(errno));
        }
    }

    const Settings& settings_;
    const Plan& plan_;
    Progress& progress_;
    const unsigned workers_;
    const std::size_t limit_;  // texts in flight at most

    std::mutex queue_mutex_;
    std::condition_variable queue_ready_;
    std::condition_variable room_;
    std::size_t in_flight_ = 0;  // read and not yet written
    std::deque<Item> queue_;
    bool closed_ = false;

    std::mutex stdout_mutex_;
    std::map<std::size_t, std::string> waiting_;  // finished, not yet its turn
    std::size_t next_turn_ = 0;
    bool stdout_ok_ = true;

    std::mutex failures_mutex_;
    std::vector<std::pair<std::size_t, std::string>> failures_;
    std::atomic<unsigned> texts_mode_{0666};
};

// The failure list: the failed texts in order, each ended by the separator.
std::string failure_list(const Plan& plan,
                         const std::vector<std::pair<std::size_t, std::string>>& failures,
                         char separator) {
    std::string list;
    for (const auto& [job, why] : failures) {
        if (job >= plan.size()) continue;  // not a text's failure
        for (const std::string& text : plan.texts(job)) (list += text) += separator;
    }
    return list;
}

// Why the failure list may not be written where it is asked for: it would
// replace a text of the run or an output of one of its jobs.
std::optional<std::string> failure_list_clash(const Plan& plan, const std::string& list_name) {
    const std::optional<FileId> list = file_id(list_name);
    for (std::size_t j = 0; j < plan.size(); ++j) {
        for (const std::string& text : plan.texts(j)) {
            if (list && !plan.is_stdin(text) && file_id(text) == list)
                return "it is the text " + quote(text);
        }
        for (const Output& out : plan.planned_outputs(j)) {
            if (out.path.empty()) continue;
            if (out.path == list_name || (list && file_id(out.path) == list))
                return "it would be written for " + quote(plan.display_name(j)) + " too";
        }
    }
    return std::nullopt;
}

// What a signal that ends the run finds: the failure list to write, with
// the failures so far.
struct CutShort {
    std::mutex mutex;
    const Settings* settings = nullptr;
    const Plan* plan = nullptr;
    Pipeline* pipeline = nullptr;
};
CutShort& cut_short() {
    static CutShort state;
    return state;
}

void write_failures_so_far() {
    CutShort& c = cut_short();
    std::lock_guard lock(c.mutex);
    if (c.pipeline == nullptr || !c.settings->failed_list || *c.settings->failed_list == "-")
        return;
    const char separator = c.settings->null_separated ? '\0' : '\n';
    write_file_atomically(*c.settings->failed_list,
                          failure_list(*c.plan, c.pipeline->failures_so_far(), separator),
                          c.pipeline->texts_mode());
}

}  // namespace

std::string describe(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "out of memory";
    return e.what();
}

void clean_up_on_signals() { signal_cleanup::install_for_threads(write_failures_so_far); }

int run(const Settings& settings) {
    // "-" is standard input among the texts of the command line, a file of
    // that name in a list.
    const bool dash_is_stdin = !settings.files_from;
    std::vector<std::string> texts = settings.texts;
    if (settings.files_from) {
        std::vector<std::string> list = read_list(*settings.files_from, settings.null_separated);
        texts.insert(texts.end(), std::make_move_iterator(list.begin()),
                     std::make_move_iterator(list.end()));
    }
    // A text named twice among files is summarized once: both would write
    // the same outputs.
    if (settings.to_files() && !settings.together) {
        std::vector<bool> first(texts.size());
        {
            std::unordered_set<std::string_view> seen;
            for (std::size_t t = 0; t < texts.size(); ++t) first[t] = seen.insert(texts[t]).second;
        }
        std::vector<std::string> unique;
        for (std::size_t t = 0; t < texts.size(); ++t) {
            if (first[t]) unique.push_back(std::move(texts[t]));
        }
        texts = std::move(unique);
    }
    const char separator = settings.null_separated ? '\0' : '\n';
    if (settings.output_dir) {
        struct stat st {};
        if (::stat(settings.output_dir->c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            throw UsageError("--output-dir " + quote(*settings.output_dir) + ": " +
                             reason(ENOTDIR));
    }
    std::vector<std::size_t> roots;
    std::vector<std::pair<std::size_t, std::string>> unread_folders;
    if (settings.recursive) {
        Found found = expand_folders(settings, std::move(texts));
        // A file the run writes (a page beside its text) is no text of it.
        if (settings.to_files()) {
            const Plan outputs_of(settings, found.texts, dash_is_stdin, found.roots);
            std::unordered_set<std::string> written;
            for (std::size_t j = 0; j < outputs_of.size(); ++j)
                for (Output& out : outputs_of.planned_outputs(j))
                    written.insert(std::move(out.path));
            std::size_t kept = 0;
            auto failure = found.failures.begin();
            for (std::size_t t = 0; t < found.texts.size(); ++t) {
                const bool failed = failure != found.failures.end() && failure->first == t;
                if (!failed && found.roots[t] > 0 && written.contains(found.texts[t])) continue;
                if (failed) (failure++)->first = kept;
                if (kept != t) found.texts[kept] = std::move(found.texts[t]);
                found.roots[kept++] = found.roots[t];
            }
            found.texts.resize(kept);
            found.roots.resize(kept);
        }
        texts = std::move(found.texts);
        roots = std::move(found.roots);
        unread_folders = std::move(found.failures);
    }
    // Standard output holds one web page at most.
    if (settings.format == Format::html && !settings.to_files() && !settings.together &&
        texts.size() > 1)
        throw UsageError(
            "--format html writes one page to standard output: give one text, -n, "
            "--sum or --output-dir");

    Plan plan(settings, texts, dash_is_stdin, roots);
    for (auto& [text, why] : unread_folders)
        plan.fail(settings.together ? 0 : text, std::move(why));
    // A failure list that cannot be written is found before the work starts;
    // one that would replace a text or an output is refused. It is created
    // private to the user and gets the texts' permission bits once written.
    const bool list_to_stdout = settings.failed_list == "-";
    if (settings.failed_list && !list_to_stdout) {
        const std::optional<std::string> clash = failure_list_clash(plan, *settings.failed_list);
        // A device or FIFO is only checked: an empty write would end the
        // reader's list before it begins.
        const bool ready = clash ? false
                           : written_in_place(*settings.failed_list)
                               ? writable_in_place(*settings.failed_list)
                               : write_file_atomically(*settings.failed_list, "", 0600);
        if (clash || !ready) {
            std::fprintf(stderr, "%s: can not write the failure list %s: %s\n",
                         program_invocation_short_name, quote(*settings.failed_list).c_str(),
                         clash ? clash->c_str() : reason(errno).c_str());
            return 2;
        }
    }
    if (texts.empty()) {
        if (settings.recursive)
            std::fprintf(stderr, "%s: no texts found\n", program_invocation_short_name);
        return 0;
    }

    plan.check_names();
    // The output folder is made once the names are known to fit.
    if (settings.output_dir && !settings.dry_run) {
        std::error_code error;
        std::filesystem::create_directories(*settings.output_dir, error);
        if (error)
            throw UsageError("--output-dir " + *settings.output_dir + ": " + error.message());
    }

    std::vector<std::pair<std::size_t, std::string>> failures;
    unsigned list_mode = 0600;  // no text was read: the user's alone
    if (settings.dry_run) {
        std::string list;
        for (std::size_t j = 0; j < plan.size(); ++j) {
            if (const std::string* failure = plan.failure(j)) {
                failures.emplace_back(j, *failure);
                std::fprintf(stderr, "%s: %s: %s\n", program_invocation_short_name,
                             quote(plan.display_name(j)).c_str(), failure->c_str());
                continue;
            }
            for (const std::string& text : plan.texts(j)) (list += text) += separator;
        }
        if (!write_all(STDOUT_FILENO, list)) {
            std::fprintf(stderr, "%s: standard output: %s\n", program_invocation_short_name,
                         reason(errno).c_str());
            return 1;
        }
    } else {
        const unsigned workers = worker_count(settings.jobs, plan.size());
        Progress progress(plan.size(), settings.progress && ::isatty(STDERR_FILENO));
        Pipeline pipeline(settings, plan, progress, workers);
        {
            std::lock_guard lock(cut_short().mutex);
            cut_short().settings = &settings;
            cut_short().plan = &plan;
            cut_short().pipeline = &pipeline;
        }
        failures = pipeline.run();
        {
            std::lock_guard lock(cut_short().mutex);
            cut_short().pipeline = nullptr;
        }
        list_mode = pipeline.texts_mode();
        progress.finish();
    }

    int status = failures.empty() ? 0 : 1;
    if (settings.failed_list &&
        !(list_to_stdout
              ? write_all(STDOUT_FILENO, failure_list(plan, failures, separator))
              : write_file_atomically(*settings.failed_list,
                                      failure_list(plan, failures, separator), list_mode))) {
        std::fprintf(stderr, "%s: can not write the failure list %s: %s\n",
                     program_invocation_short_name, quote(*settings.failed_list).c_str(),
                     reason(errno).c_str());
        status = 1;
    }
    // A failed standard output was reported as itself, not as a text.
    const auto failed_texts = static_cast<std::size_t>(std::count_if(
        failures.begin(), failures.end(), [&](const auto& f) { return f.first < plan.size(); }));
    if (failed_texts > 0 && plan.size() > 1) {
        std::fprintf(stderr, "%s: %zu of %zu texts failed\n", program_invocation_short_name,
                     failed_texts, plan.size());
    }
    return status;
}

}  // namespace brennic::batch
