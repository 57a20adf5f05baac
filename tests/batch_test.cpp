// SPDX-License-Identifier: MIT
// brennic-batch against one-by-one runs of Brennic.exe with the bundled
// segmenter, its filter mode against the stored extracts of the examples,
// its failures and exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "test_support.h"

namespace {

using test_support::ProcessResult;
using test_support::TempDir;
namespace fs = std::filesystem;

const fs::path kExamples = fs::path(TEST_DATA_DIR).parent_path().parent_path() / "examples";
// Brennic.exe finds the bundled segmenter beside itself, first on PATH.
const std::string kPath =
    "PATH=" + fs::path(BRENNIC_EXE).parent_path().string() + ":/usr/local/bin:/usr/bin:/bin";

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs brennic-batch in cwd with args and the creation mask 027, standard
// input read from the file `input`.
ProcessResult batch(const std::vector<std::string>& args, const std::string& cwd,
                    const std::string& input = "/dev/null") {
    std::vector<std::string> argv = {
        "/bin/sh", "-c", "umask 027 && exec \"$0\" \"$@\" < \"$BATCH_INPUT\"", BATCH_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return test_support::run_process(argv, cwd, {kPath, "BATCH_INPUT=" + input});
}

ProcessResult brennic(const std::vector<std::string>& args, const std::string& cwd) {
    std::vector<std::string> argv = {BRENNIC_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return test_support::run_process(argv, cwd, {kPath});
}

// Thirteen texts of a few paragraphs, words drawn from a small vocabulary so
// that they repeat; some names need care in a shell or a list, some texts
// are odd (empty, no line end, CR LF, a NUL byte).
std::map<std::string, std::string> corpus() {
    static const char* const words[] = {
        "river",   "boats",    "the",   "harbour",     "of",         "storm",   "a",
        "fishing", "nets",     "and",   "Mr.",         "market",     "town",    "ferry",
        "engine",  "crossing", "in",    "tide",        "U.S.",       "is",      "weather",
        "bridge",  "lights",   "cargo", "caf\xc3\xa9", "\"quoted\"", "(aside)", "3.5",
        "e.g.",    "Dr.",      "night", "sailors"};
    const std::size_t n_words = sizeof words / sizeof words[0];
    unsigned state = 2024;
    auto next = [&state](unsigned bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    const char* const odd_names[] = {
        "with space.txt", "-dash.txt",           "\xc3\xbcnicode \xe2\x80\x94.txt",
        "new\nline.txt",  "it's $HOME; (x).txt", "no-dot",
        "v1.2.txt"};
    std::map<std::string, std::string> texts;
    for (int t = 0; t < 13; ++t) {
        std::string name = t < 7 ? odd_names[t] : "text" + std::to_string(t) + ".txt";
        std::string text;
        const unsigned paragraphs = 1 + next(4);
        for (unsigned p = 0; p < paragraphs; ++p) {
            const unsigned sentences = 1 + next(6);
            for (unsigned s = 0; s < sentences; ++s) {
                const unsigned length = 2 + next(16);
                for (unsigned w = 0; w < length; ++w) {
                    std::string word = words[next(n_words)];
                    if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] -= 'a' - 'A';
                    text += (w ? " " : "") + word;
                }
                text += next(5) == 0 ? "? " : ". ";
            }
            text += t == 9 ? "\r\n\r\n" : "\n\n";
        }
        if (t == 10) text = "";
        if (t == 11) text.insert(text.size() / 2, 1, '\0');
        if (t == 12) text.resize(text.find_last_not_of("\n ") + 1);
        texts[name] = text;
    }
    return texts;
}

std::string sum_name(const std::string& text) {
    const std::size_t dot = text.rfind('.');
    return (dot == std::string::npos ? text : text.substr(0, dot)) + ".sum";
}

TEST(Batch, SameExtractsAsOneByOneRuns) {
    enum class Given { arguments, lines, nul };
    struct Case {
        std::vector<std::string> options;        // brennic-batch's
        std::vector<std::string> before, after;  // Brennic.exe's switches; query and rate
        Given given;
        std::string last = {};  // brennic-batch's last argument, after the texts
    };
    const Case cases[] = {
        {{}, {}, {"0.7"}, Given::arguments, "0.7"},
        {{"-r", "0.5", "-q", "river boats", "-j", "3"}, {}, {"river boats", "0.5"}, Given::nul},
        {{"--condense", "-r12", "-j1"}, {"-is"}, {"12"}, Given::lines},
        {{"-a", "-i", "--rate=-1"}, {"-is", "-ak"}, {"-1"}, Given::nul},
        {{"--mean", "--query", "storm's tide"},
         {"-ak"},
         {"storm's tide", "1e2"},
         Given::arguments,
         "1e2"},
    };
    const std::map<std::string, std::string> texts = corpus();
    TempDir work;
    fs::create_directory(work.path() / "single");
    for (const auto& [name, text] : texts) work.write("single/" + name, text);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        fs::remove_all(work.path() / "batch");
        fs::create_directory(work.path() / "batch");
        for (const auto& [name, text] : texts) {
            work.write("batch/" + name, text);
            std::vector<std::string> args = c.before;
            args.push_back(name);
            args.insert(args.end(), c.after.begin(), c.after.end());
            ASSERT_EQ(brennic(args, work.file("single")).status, 0) << name;
        }
        std::vector<std::string> args = c.options;
        args.insert(args.begin(), {"--sum", "--quiet"});
        if (c.given != Given::arguments) args.insert(args.begin(), {"--files-from", "-"});
        if (!c.last.empty()) args.insert(args.begin(), {"--rate", c.last});
        std::string list;
        const char separator = c.given == Given::nul ? '\0' : '\n';
        if (c.given == Given::arguments) args.push_back("--");
        if (c.given == Given::nul) args.insert(args.begin(), "-0");
        for (const auto& [name, text] : texts) {
            if (c.given == Given::lines && name.find('\n') != std::string::npos) continue;
            if (c.given == Given::arguments) args.push_back(name);
            (list += name) += separator;
        }
        work.write("list", list);
        const ProcessResult r = batch(args, work.file("batch"), work.file("list"));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");  // no progress bar when standard error is not a terminal
        std::set<std::string> expected;
        for (const auto& [name, text] : texts) {
            expected.insert(name);
            if (c.given == Given::lines && name.find('\n') != std::string::npos) continue;
            expected.insert(sum_name(name));
            EXPECT_EQ(work.read("batch/" + sum_name(name)), work.read("single/" + sum_name(name)))
                << name;
            // The permissions of an ordinary new file.
            EXPECT_EQ(fs::status(work.path() / "batch" / sum_name(name)).permissions(),
                      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
                << name;
        }
        std::set<std::string> entries;
        for (const auto& e : fs::directory_iterator(work.path() / "batch")) {
            entries.insert(e.path().filename());
        }
        EXPECT_EQ(entries, expected);  // no .seg, no temporary file
    }
}

// The filter mode prints what Brennic.exe writes; --together reads the texts
// as Brennic.exe -nM does and names the extract the same way.
TEST(Batch, FilterModeAndTogether) {
    std::map<std::string, std::string> queries;
    std::istringstream tsv(slurp(kExamples / "expected" / "queries.tsv"));
    for (std::string line; std::getline(tsv, line);) {
        if (!line.empty() && line[0] != '#')
            queries[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
    }
    ASSERT_EQ(queries.size(), 3u);
    TempDir work;
    for (const auto& [name, query] : queries) {
        const std::string text = (kExamples / (name + ".txt")).string();
        const std::string expected = (kExamples / "expected" / name).string();
        const struct {
            std::vector<std::string> args;
            std::string extract;
        } cases[] = {
            {{"--stdout", "-", "-r", "0.7"}, expected + ".plain.sum"},
            {{"-c", "-i", "-"}, expected + ".is.sum"},
            {{"--sum", "-q", query, "-", "--rate=0.7"},
             expected + ".query.sum"},  // "-" alone goes to stdout
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(name + " " + ::testing::PrintToString(c.args));
            const ProcessResult r = batch(c.args, work.path().string(), text);
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out, slurp(c.extract));
        }
    }
    EXPECT_TRUE(work.entries().empty());

    fs::create_directories(work.path() / "single" / "dir");
    fs::create_directories(work.path() / "batch" / "dir");
    for (const char* dir : {"single/", "batch/"}) {
        fs::copy_file(kExamples / "sample.txt", work.path() / (std::string(dir) + "sample.txt"));
        fs::copy_file(kExamples / "glass-museum.txt",
                      work.path() / (std::string(dir) + "dir/glass.txt"));
    }
    ASSERT_EQ(brennic({"-n2", "sample.txt", "dir/glass.txt", "0.9"}, work.file("single")).status,
              0);
    const ProcessResult r =
        batch({"--together", "--sum", "sample.txt", "dir/glass.txt", "-r0.9"}, work.file("batch"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(work.read("batch/dir/multidoc-glass.sum"),
              work.read("single/dir/multidoc-glass.sum"));
    const ProcessResult piped = batch({"-n", "-c", "sample.txt", "-", "-r", "0.9"},
                                      work.file("batch"), work.file("batch/dir/glass.txt"));
    EXPECT_EQ(piped.out, work.read("single/dir/multidoc-glass.sum"));
}

// Bad texts are listed with their reasons and nothing of theirs is written;
// every other text is done.
TEST(Batch, FailuresAreListedAndTheRestDone) {
    TempDir work;
    const std::string text = "Ships sail at dawn. Ships sink in storms.\n";
    for (const char* name : {"a.txt", "report.txt", "report.md", "x.sum", "b.txt", "b.sum",
                             "locked.txt", "d.txt", "z.txt"}) {
        work.write(name, text);
    }
    fs::create_directory(work.path() / "dir.txt");
    fs::create_directory(work.path() / "d.sum");  // the extract cannot be written
    const bool root = ::geteuid() == 0;           // root reads it anyway
    if (!root) fs::permissions(work.path() / "locked.txt", fs::perms::none);
    const std::vector<std::string> args = {
        "--sum",     "--failed", "failed.list", "a.txt", "missing.txt", "report.txt", "dir.txt",
        "report.md", "x.sum",    "b.txt",       "b.sum", "locked.txt",  "d.txt",      "z.txt"};
    const ProcessResult r = batch(args, work.path().string());
    EXPECT_EQ(r.status, 1);
    const std::pair<const char*, const char*> failures[] = {
        {"missing.txt", "No such file or directory"},
        {"report.txt", "report.sum would also be written for report.md"},
        {"dir.txt", "a folder (-R reads the texts in it)"},
        {"report.md", "report.sum would also be written for report.txt"},
        {"x.sum", "x.sum would overwrite the text x.sum"},
        {"b.txt", "b.sum would overwrite the text b.sum"},
        {"b.sum", "b.sum would overwrite the text b.sum"},
        {"locked.txt", "Permission denied"},
        {"d.txt", "can not write d.sum: Is a directory"},
    };
    std::string list;
    for (const auto& [name, why] : failures) {
        if (root && std::string(name) == "locked.txt") continue;
        list += std::string(name) + "\n";
        EXPECT_NE(r.err.find("brennic-batch: " + std::string(name) + ": " + why + "\n"),
                  std::string::npos)
            << name << "\n"
            << r.err;
    }
    EXPECT_EQ(work.read("failed.list"), list);
    for (const char* kept : {"x.sum", "b.sum"}) EXPECT_EQ(work.read(kept), text);
    EXPECT_FALSE(work.exists("report.sum"));
    EXPECT_TRUE(work.exists("a.sum"));
    EXPECT_TRUE(work.exists("z.sum"));
    EXPECT_EQ(work.entries().size(), 14u + (root ? 1 : 0));  // nothing else written
}

// BRENNIC_LANGUAGE stands in for -l, which wins; unset or empty, each
// text's language is found, and a text read as English for want of one says so.
TEST(Batch, LanguageFromTheEnvironment) {
    const struct {
        const char* environment;
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {"BRENNIC_LANGUAGE=",
         {"short.txt"},
         0,
         "brennic-batch: short.txt: read as English: too short to tell its language\n"},
        {"BRENNIC_LANGUAGE=en", {"short.txt"}, 0, ""},
        {"BRENNIC_LANGUAGE=xx", {"-l", "en", "short.txt"}, 0, ""},
        {"BRENNIC_LANGUAGE=xx",
         {"short.txt"},
         2,
         "brennic-batch: BRENNIC_LANGUAGE is 'xx': give one of en, "},
    };
    TempDir work;
    work.write("short.txt", "Kurz.\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.environment) + " " + ::testing::PrintToString(c.args));
        std::vector<std::string> argv = {BATCH_EXE};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const ProcessResult r =
            test_support::run_process(argv, work.path().string(), {kPath, c.environment});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        if (c.status == 0) { EXPECT_EQ(r.out, "Kurz.\n"); }
    }
}

TEST(Batch, ExitStatusesAndUsage) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;  // a part of standard error
    } cases[] = {
        {{"ok.txt"}, 0, ""},
        {{"short.txt"},
         0,
         "brennic-batch: short.txt: read as English: too short to tell its language\n"},
        {{"--quiet", "short.txt"}, 0, ""},
        {{"-l", "en", "short.txt"}, 0, ""},
        {{"--dry-run", "ok.txt", "missing.txt"}, 0, ""},
        {{"ok.txt", "missing.txt"}, 1, "brennic-batch: 1 of 2 texts failed\n"},
        {{}, 0, ""},  // an empty text on standard input
        {{"-x", "ok.txt"}, 2, "brennic-batch: unknown option -x\n"},
        {{"--frobnicate"}, 2, "unknown option --frobnicate\n"},
        {{"ok.txt", "-r"}, 2, "-r wants a value\n"},
        {{"-j", "0", "ok.txt"}, 2, "-j wants a number of jobs"},
        {{"-j", "2x", "ok.txt"}, 2, "-j wants a number of jobs"},
        {{"-", "-"}, 2, "standard input (-) can be read only once"},
        {{"--encoding=ebcdic", "ok.txt"},
         2,
         "--encoding wants auto, latin1 or utf-8, not 'ebcdic'"},
        {{"--failed", "no/such/dir/list", "ok.txt"}, 2, "can not write the failure list"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        TempDir work;
        work.write("ok.txt", "One sentence here. Another one there.\n");
        work.write("short.txt", "Kurz.\n");
        const ProcessResult r = batch(c.args, work.path().string());
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.status == 0) { EXPECT_EQ(r.err, c.err); }
    }
    TempDir work;
    const ProcessResult help = batch({"--help"}, work.path().string());
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: brennic ", 0), 0u);
}

// The progress bar is drawn on a terminal (script(1) gives the run one) and
// nowhere else (every other test checks that standard error stays empty).
TEST(Batch, ProgressBarOnATerminal) {
    TempDir work;
    if (test_support::run_process({"/bin/sh", "-c", "command -v script"}, work.path().string())
            .status != 0) {
        GTEST_SKIP() << "script(1) is not installed (Debian: bsdutils)";
    }
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        work.write(name, "Boats float. Boats sink.\n");
    const ProcessResult r = test_support::run_process(
        {"/usr/bin/env", "script", "-qec", std::string(BATCH_EXE) + " --sum a.txt b.txt c.txt",
         "/dev/null"},
        work.path().string(), {kPath});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("3/3 texts"), std::string::npos) << r.out;
    EXPECT_TRUE(work.exists("c.sum"));
}

}  // namespace
