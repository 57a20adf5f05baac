// scripts/summarize-corpus on a folder of 50 texts: the extracts it writes in
// parallel are the ones Brennic.exe writes when run on each text by hand.
// Skipped when GNU parallel is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "test_support.h"

namespace {

using test_support::ProcessResult;
using test_support::TempDir;
namespace fs = std::filesystem;

const std::string kStubDir = TEST_DATA_DIR "/stub";
const std::string kScript =
    (fs::path(TEST_DATA_DIR).parent_path().parent_path() / "scripts" / "summarize-corpus").string();
const std::string kPath = "PATH=" + kStubDir + ":/usr/local/bin:/usr/bin:/bin";

bool gnu_parallel_installed() {
    TempDir dir;
    const ProcessResult r = test_support::run_process({"/bin/sh", "-c", "parallel --version"},
                                                      dir.path().string(), {kPath});
    return r.status == 0 && r.out.find("GNU parallel") != std::string::npos;
}

#define SKIP_WITHOUT_PARALLEL()                                                             \
    if (!gnu_parallel_installed()) {                                                        \
        GTEST_SKIP() << "GNU parallel is not installed (Debian: apt-get install parallel)"; \
    }

// Fifty texts, one sentence a line (the stand-in segmenter's rule), made from
// a small vocabulary so that words repeat within and across texts. Some names
// need quoting in a shell.
std::map<std::string, std::string> corpus() {
    static const char* const words[] = {
        "river", "boats", "the",     "harbour", "of",      "storm",  "a",      "fishing",
        "nets",  "and",   "winter",  "market",  "town",    "ferry",  "engine", "crossing",
        "in",    "tide",  "sailors", "is",      "weather", "bridge", "lights", "cargo"};
    const std::size_t n_words = sizeof words / sizeof words[0];
    std::map<std::string, std::string> texts;
    unsigned state = 12345;
    auto next = [&state](unsigned bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    for (int t = 0; t < 50; ++t) {
        std::string name = "text" + std::to_string(t) + ".txt";
        if (t == 7) name = "with space.txt";
        if (t == 13) name = "it's $HOME; (x).txt";
        if (t == 21) name = "-dash.txt";
        std::string text;
        const unsigned sentences = 3 + next(12);
        for (unsigned s = 0; s < sentences; ++s) {
            const unsigned length = 2 + next(14);
            for (unsigned w = 0; w < length; ++w) {
                std::string word = words[next(n_words)];
                if (w == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
                text += (w ? " " : "") + word;
            }
            text += ".\n";
        }
        texts[name] = text;
    }
    return texts;
}

std::string sum_name(const std::string& text) { return text.substr(0, text.rfind('.')) + ".sum"; }

struct Variant {
    std::vector<std::string> script_options;  // before the folder
    std::vector<std::string> before_text;     // Brennic.exe's switches
    std::vector<std::string> after_text;      // query and rate
};

TEST(SummarizeCorpus, SameExtractsAsOneByOne) {
    SKIP_WITHOUT_PARALLEL();
    const Variant variants[] = {
        {{}, {}, {"0.7"}},
        {{"-r", "0.5", "-q", "river boats"}, {}, {"river boats", "0.5"}},
        {{"-i", "-r", "12", "-j", "3"}, {"-is"}, {"12"}},
        {{"-a", "-i", "-r", "-1"}, {"-is", "-ak"}, {"-1"}},
        {{"-a", "-q", "storm's tide; echo $HOME", "-j", "1"},
         {"-ak"},
         {"storm's tide; echo $HOME", "0.7"}},
    };
    const std::map<std::string, std::string> texts = corpus();
    ASSERT_EQ(texts.size(), 50u);
    for (const Variant& v : variants) {
        SCOPED_TRACE(::testing::PrintToString(v.script_options));
        TempDir work;
        fs::create_directory(work.path() / "corpus");
        fs::create_directory(work.path() / "single");
        for (const auto& [name, text] : texts) {
            work.write("corpus/" + name, text);
            work.write("single/" + name, text);
        }
        // One by one.
        const std::string single = work.file("single");
        for (const auto& [name, text] : texts) {
            std::vector<std::string> argv = {BRENNIC_EXE};
            argv.insert(argv.end(), v.before_text.begin(), v.before_text.end());
            argv.push_back(name);
            argv.insert(argv.end(), v.after_text.begin(), v.after_text.end());
            ASSERT_EQ(test_support::run_process(argv, single, {kPath}).status, 0) << name;
        }
        // All at once.
        std::vector<std::string> argv = {"/bin/bash", kScript, "-B", BRENNIC_EXE, "-l", "logs/run"};
        argv.insert(argv.end(), v.script_options.begin(), v.script_options.end());
        argv.push_back("corpus");
        fs::create_directory(work.path() / "logs");
        const ProcessResult r = test_support::run_process(argv, work.path().string(), {kPath});
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_EQ(work.read("logs/run.failed"), "");
        EXPECT_TRUE(work.exists("logs/run.joblog"));

        std::set<std::string> expected_entries;
        for (const auto& [name, text] : texts) {
            expected_entries.insert(name);
            expected_entries.insert(sum_name(name));
            EXPECT_EQ(work.read("corpus/" + sum_name(name)), work.read("single/" + sum_name(name)))
                << name;
        }
        std::set<std::string> entries;
        for (const auto& e : fs::directory_iterator(work.path() / "corpus"))
            entries.insert(e.path().filename());
        EXPECT_EQ(entries, expected_entries);  // no .seg file left, nothing else written
    }
}

TEST(SummarizeCorpus, ListsTheTextsThatFailed) {
    SKIP_WITHOUT_PARALLEL();
    TempDir work;
    fs::create_directory(work.path() / "corpus");
    const std::set<std::string> names = {"a.txt", "bad one.txt", "c.txt",
                                         "d.txt", "bad2.txt",    "notes.md"};
    for (const std::string& name : names)
        work.write("corpus/" + name, "Ships sail.\nShips sink.\n");
    // A Brennic.exe that fails on the texts whose names hold "bad".
    work.write("failing-brennic",
               "#!/bin/sh\n"
               "for a; do case $a in *bad*) printf '\\tERROR: can not open %s.seg\\n' \"$a\"; exit "
               "1;; esac; done\n"
               "exec '" BRENNIC_EXE "' \"$@\"\n");
    fs::permissions(work.path() / "failing-brennic", fs::perms::owner_all);

    const ProcessResult r = test_support::run_process(
        {"/bin/bash", kScript, "-B", "failing-brennic", "corpus"}, work.path().string(), {kPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ERROR: can not open bad one.txt.seg"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("2 of 5 texts failed"), std::string::npos) << r.err;
    EXPECT_EQ(work.read("summarize-corpus.failed"), "corpus/bad one.txt\ncorpus/bad2.txt\n");
    for (const char* done : {"a.sum", "c.sum", "d.sum"})
        EXPECT_TRUE(work.exists(std::string("corpus/") + done));
    for (const char* skipped : {"bad one.sum", "bad2.sum", "notes.sum"}) {
        EXPECT_FALSE(work.exists(std::string("corpus/") + skipped));
    }
}

// Texts whose extracts would share a name, or whose extract would be a text,
// are not summarized: they are listed as failed, with the reason, and
// nothing is overwritten.
TEST(SummarizeCorpus, TextsWhoseExtractsShareANameFail) {
    SKIP_WITHOUT_PARALLEL();
    TempDir work;
    fs::create_directory(work.path() / "corpus");
    for (const char* name : {"a.txt", "report.txt", "report.md"}) {
        work.write(std::string("corpus/") + name, "Ships sail.\nShips sink.\n");
    }
    work.write("corpus/report.sum", "earlier extract\n");
    const ProcessResult r =
        test_support::run_process({"/bin/bash", kScript, "-B", BRENNIC_EXE, "-p", "*", "corpus"},
                                  work.path().string(), {kPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(work.read("summarize-corpus.failed"),
              "corpus/report.md\ncorpus/report.sum\ncorpus/report.txt\n");
    EXPECT_NE(r.err.find("corpus/report.md not summarized: another text has the same extract name, "
                         "report.sum"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(work.read("corpus/report.sum"), "earlier extract\n");
    EXPECT_TRUE(work.exists("corpus/a.sum"));
}

TEST(SummarizeCorpus, BadCommandLines) {
    SKIP_WITHOUT_PARALLEL();
    TempDir work;
    fs::create_directory(work.path() / "corpus");
    const std::vector<std::string> cases[] = {
        {}, {"-x", "corpus"}, {"corpus", "extra"}, {"missing"}, {"-r"}};
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        std::vector<std::string> argv = {"/bin/bash", kScript, "-B", BRENNIC_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        const ProcessResult r = test_support::run_process(argv, work.path().string(), {kPath});
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.empty());
    }
}

}  // namespace
