#include "batch/batch.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "batch/progress.h"
#include "brennic/command_line.h"
#include "brennic/run_state.h"

namespace brennic::batch {
namespace {

// A failure of one text, with its reason.
class TextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string reason(int error) { return std::strerror(error); }

// One unit of work: one text, or with --together all of them.
struct Job {
    std::vector<std::string> texts;
    std::string base_name;  // the name the outputs are named after, as Brennic.exe's
    bool to_stdout = false;
    std::optional<std::string> failure;  // known before anything is read
};

// One product of a job: a file, or a piece of standard output.
struct Output {
    std::string path;  // empty: standard output
    std::string content;
};

// The outputs of a job, before their contents are known. This and render()
// are the one place that knows what a run writes.
std::vector<Output> planned_outputs(const Job& job) {
    if (job.to_stdout) return {Output{}};
    return {Output{extract_file_name(job.base_name), {}}};
}

void render(const Summary& summary, std::vector<Output>& outputs) {
    for (Output& out : outputs) {
        for (const std::string& sentence : summary.sentences) (out.content += sentence) += '\n';
    }
}

// ---------------------------------------------------------------------------
// Reading

std::string read_fd(int fd, std::size_t size_hint) {
    std::string data;
    data.reserve(size_hint);
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw TextError(reason(errno));
        if (n == 0) return data;
        data.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string read_text(const std::string& name, bool dash_is_stdin) {
    if (dash_is_stdin && name == "-") return read_fd(STDIN_FILENO, 0);
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw TextError(reason(errno));
    struct stat st{};
    std::string data;
    try {
        if (::fstat(fd, &st) != 0) throw TextError(reason(errno));
        if (S_ISDIR(st.st_mode)) throw TextError(reason(EISDIR));
        data = read_fd(fd, S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return data;
}

// The names on standard input: one a line, or NUL-separated; empty ones skipped.
std::vector<std::string> read_list(bool null_separated) {
    const std::string data = read_fd(STDIN_FILENO, 0);
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
// Planning

std::vector<Job> plan_jobs(const Settings& settings, const std::vector<std::string>& texts,
                           bool dash_is_stdin) {
    const auto from_stdin = [&](const std::string& name) { return dash_is_stdin && name == "-"; };
    std::vector<Job> jobs;
    if (settings.together) {
        Job job;
        job.texts = texts;
        job.base_name = texts.size() > 1 ? multidoc_name(texts.back()) : texts.back();
        job.to_stdout = settings.to_stdout || from_stdin(texts.back());
        jobs.push_back(std::move(job));
        return jobs;
    }
    jobs.reserve(texts.size());
    for (const std::string& text : texts) {
        Job job;
        job.texts = {text};
        job.base_name = text;
        job.to_stdout = settings.to_stdout || from_stdin(text);
        jobs.push_back(std::move(job));
    }
    return jobs;
}

std::string file_key(const struct stat& st) {
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino);
}

// Which file a path will name once written: its directory's identity and
// its last component, or the path itself when the directory is not there.
// `dirs` remembers the directories already looked at.
std::string output_key(const std::string& path,
                       std::unordered_map<std::string, std::string>& dirs) {
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    auto known = dirs.find(dir);
    if (known == dirs.end()) {
        struct stat st{};
        known = dirs.emplace(dir, ::stat(dir.c_str(), &st) == 0 ? file_key(st) : "").first;
    }
    if (known->second.empty()) return "?" + path;
    return known->second + '/' + path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// Fails, before anything is read, every job that would overwrite a text of
// the run and every job whose output another job writes too.
void check_names(std::vector<Job>& jobs, bool dash_is_stdin) {
    std::unordered_map<std::string, std::string> inputs;  // file identity -> text
    for (const Job& job : jobs) {
        for (const std::string& text : job.texts) {
            struct stat st{};
            const bool known = dash_is_stdin && text == "-" ? ::fstat(STDIN_FILENO, &st) == 0
                                                            : ::stat(text.c_str(), &st) == 0;
            if (known) inputs.emplace(file_key(st), text);
        }
    }
    std::unordered_map<std::string, std::size_t> writer;  // output -> first job writing it
    std::unordered_map<std::string, std::string> dirs;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        for (const Output& out : planned_outputs(jobs[j])) {
            if (out.path.empty()) continue;
            struct stat st{};
            if (::stat(out.path.c_str(), &st) == 0) {
                const auto input = inputs.find(file_key(st));
                if (input != inputs.end() && !jobs[j].failure) {
                    jobs[j].failure = out.path + " would overwrite the text " + input->second;
                }
            }
            const auto [first, inserted] = writer.emplace(output_key(out.path, dirs), j);
            if (inserted) continue;
            Job& other = jobs[first->second];
            if (!jobs[j].failure) {
                jobs[j].failure = out.path + " would also be written for " + other.texts.back();
            }
            if (!other.failure) {
                other.failure = out.path + " would also be written for " + jobs[j].texts.back();
            }
        }
    }
}

unsigned cores() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// ---------------------------------------------------------------------------
// The pipeline: this thread reads the texts in order into a queue, the
// workers summarize and write. A text holds a slot from the moment it is
// read until its outputs are written, so no more than `in_flight` texts are
// in memory at once, whatever the size of the corpus.

class Pipeline {
public:
    Pipeline(const Settings& settings, const std::vector<Job>& jobs, bool dash_is_stdin,
             Progress& progress, unsigned workers)
        : settings_(settings),
          jobs_(jobs),
          dash_is_stdin_(dash_is_stdin),
          progress_(progress),
          workers_(workers),
          limit_(2 * std::size_t{workers} + 2) {
        // Standard output takes the extracts in the order of the texts.
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            if (jobs[j].to_stdout) stdout_turn_.emplace(j, stdout_turn_.size());
        }
    }

    // Runs every job; returns the failures in the order of the jobs.
    std::vector<std::pair<std::size_t, std::string>> run() {
        {
            std::vector<std::jthread> pool;
            pool.reserve(workers_);
            for (unsigned k = 0; k < workers_; ++k) pool.emplace_back([this] { work(); });
            read_all();
        }
        std::sort(failures_.begin(), failures_.end());
        return std::move(failures_);
    }

private:
    struct Item {
        std::size_t job;
        std::vector<std::string> contents;
    };

    void read_all() {
        for (std::size_t j = 0; j < jobs_.size(); ++j) {
            if (jobs_[j].failure) {
                complete(j, *jobs_[j].failure, {});
                continue;
            }
            {
                std::unique_lock lock(queue_mutex_);
                room_.wait(lock, [this] { return in_flight_ < limit_; });
                ++in_flight_;
            }
            Item item{j, {}};
            try {
                for (const std::string& text : jobs_[j].texts) {
                    try {
                        item.contents.push_back(read_text(text, dash_is_stdin_));
                    } catch (const TextError& e) {
                        throw TextError(jobs_[j].texts.size() > 1 ? text + ": " + e.what()
                                                                  : e.what());
                    }
                }
            } catch (const std::exception& e) {
                complete(j, e.what(), {});
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
            std::vector<Output> outputs = planned_outputs(jobs_[item.job]);
            try {
                const Summary summary =
                    summarize(std::span<const std::string>(item.contents), settings_.summary);
                item.contents = {};  // the text is no longer needed
                render(summary, outputs);
            } catch (const std::exception& e) { failure = e.what(); }
            complete(item.job, failure, std::move(outputs));
            release();
        }
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

    // Writes the outputs of a job, or records its failure.
    void complete(std::size_t job, std::optional<std::string> failure,
                  std::vector<Output> outputs) {
        if (!failure) {
            for (const Output& out : outputs) {
                if (out.path.empty()) continue;
                if (!write_file_atomically(out.path, out.content)) {
                    failure = "can not write " + out.path + ": " + reason(errno);
                    break;
                }
            }
        }
        if (failure) {
            std::lock_guard lock(failures_mutex_);
            failures_.emplace_back(job, *failure);
        }
        if (const auto turn = stdout_turn_.find(job); turn != stdout_turn_.end()) {
            std::string text;
            if (!failure) {
                for (const Output& out : outputs) {
                    if (out.path.empty()) text += out.content;
                }
            }
            to_stdout(turn->second, std::move(text));
        }
        if (failure) progress_.report_failure(display_name(job), *failure);
        progress_.advance();
    }

    // Writes the stdout part of the job whose turn it is, and of every later
    // one already waiting.
    void to_stdout(std::size_t turn, std::string text) {
        std::lock_guard lock(stdout_mutex_);
        waiting_.emplace(turn, std::move(text));
        for (auto next = waiting_.begin(); next != waiting_.end() && next->first == next_turn_;
             next = waiting_.begin()) {
            if (stdout_ok_ && !write_all(STDOUT_FILENO, next->second)) {
                stdout_ok_ = false;
                std::lock_guard failures(failures_mutex_);
                failures_.emplace_back(jobs_.size(), "standard output: " + reason(errno));
            }
            waiting_.erase(next);
            ++next_turn_;
        }
    }

    std::string display_name(std::size_t job) const {
        const std::vector<std::string>& texts = jobs_[job].texts;
        if (texts.size() == 1) return texts.front();
        return extract_file_name(jobs_[job].base_name);
    }

    const Settings& settings_;
    const std::vector<Job>& jobs_;
    const bool dash_is_stdin_;
    Progress& progress_;
    const unsigned workers_;
    const std::size_t limit_;  // texts in flight at most

    std::mutex queue_mutex_;
    std::condition_variable queue_ready_;
    std::condition_variable room_;
    std::size_t in_flight_ = 0;  // read and not yet written
    std::deque<Item> queue_;
    bool closed_ = false;

    std::unordered_map<std::size_t, std::size_t> stdout_turn_;  // job -> its turn on stdout
    std::mutex stdout_mutex_;
    std::map<std::size_t, std::string> waiting_;  // finished, not yet its turn
    std::size_t next_turn_ = 0;
    bool stdout_ok_ = true;

    std::mutex failures_mutex_;
    std::vector<std::pair<std::size_t, std::string>> failures_;
};

// The failure list: the failed texts in order, each ended by the separator.
std::string failure_list(const std::vector<Job>& jobs,
                         const std::vector<std::pair<std::size_t, std::string>>& failures,
                         char separator) {
    std::string list;
    for (const auto& [job, why] : failures) {
        if (job >= jobs.size()) continue;  // not a text's failure
        for (const std::string& text : jobs[job].texts) (list += text) += separator;
    }
    return list;
}

}  // namespace

int run(const Settings& settings) {
    const bool dash_is_stdin = !settings.texts.empty();
    const std::vector<std::string> texts =
        dash_is_stdin ? settings.texts : read_list(settings.null_separated);
    const char separator = settings.null_separated ? '\0' : '\n';

    // A failure list that cannot be written is found before the work starts.
    const bool list_to_stdout = settings.failed_list == "-";
    if (settings.failed_list && !list_to_stdout &&
        !write_file_atomically(*settings.failed_list, "")) {
        std::fprintf(stderr, "brennic-batch: can not write the failure list %s: %s\n",
                     settings.failed_list->c_str(), reason(errno).c_str());
        return 2;
    }
    if (texts.empty()) return 0;

    std::vector<Job> jobs = plan_jobs(settings, texts, dash_is_stdin);
    check_names(jobs, dash_is_stdin);

    std::vector<std::pair<std::size_t, std::string>> failures;
    if (settings.dry_run) {
        std::string list;
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            if (jobs[j].failure) {
                failures.emplace_back(j, *jobs[j].failure);
                std::fprintf(stderr, "brennic-batch: %s: %s\n", jobs[j].texts.back().c_str(),
                             jobs[j].failure->c_str());
                continue;
            }
            for (const std::string& text : jobs[j].texts) (list += text) += separator;
        }
        if (!write_all(STDOUT_FILENO, list)) {
            std::fprintf(stderr, "brennic-batch: standard output: %s\n", reason(errno).c_str());
            return 1;
        }
    } else {
        const unsigned workers = static_cast<unsigned>(
            std::min<std::size_t>(settings.jobs ? settings.jobs : cores(), jobs.size()));
        Progress progress(jobs.size(), settings.progress && ::isatty(STDERR_FILENO));
        failures = Pipeline(settings, jobs, dash_is_stdin, progress, workers).run();
        progress.finish();
    }

    int status = failures.empty() ? 0 : 1;
    if (settings.failed_list &&
        !(list_to_stdout ? write_all(STDOUT_FILENO, failure_list(jobs, failures, separator))
                         : write_file_atomically(*settings.failed_list,
                                                 failure_list(jobs, failures, separator)))) {
        std::fprintf(stderr, "brennic-batch: can not write the failure list %s: %s\n",
                     settings.failed_list->c_str(), reason(errno).c_str());
        status = 1;
    }
    if (!failures.empty() && jobs.size() > 1) {
        std::fprintf(stderr, "brennic-batch: %zu of %zu texts failed\n", failures.size(),
                     jobs.size());
    }
    return status;
}

int main_entry(int argc, char** argv) {
    Settings settings;
    try {
        switch (parse_arguments(argc, argv, settings)) {
            case Action::help:
                std::fputs(kUsage, stdout);
                return 0;
            case Action::version:
                std::printf("brennic-batch %s\n", version());
                return 0;
            case Action::run:
                break;
        }
        if (settings.texts.empty() && ::isatty(STDIN_FILENO)) {
            throw UsageError(
                "no text: give the texts as arguments or their list on standard input");
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "brennic-batch: %s\n%s", e.what(), kUsage);
        return 2;
    }
    try {
        return run(settings);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brennic-batch: %s\n", e.what());
        return 1;
    }
}

}  // namespace brennic::batch
