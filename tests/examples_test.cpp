// The example texts in examples/ against their stored extracts, summarized by
// the built Brennic.exe with the built segmenter.
#include <gtest/gtest.h>

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
const fs::path kExpected = kExamples / "expected";

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The names (without ".txt") of the example texts.
std::vector<std::string> example_names() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kExamples)) {
        if (e.is_regular_file() && e.path().extension() == ".txt") names.push_back(e.path().stem());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// name -> query, from expected/queries.tsv ("name<TAB>query", '#' comments).
std::map<std::string, std::string> example_queries() {
    std::map<std::string, std::string> queries;
    std::istringstream in(slurp(kExpected / "queries.tsv"));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        queries[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return queries;
}

// The built segmenter works when it splits a two-sentence text; the
// placeholder that stands in until it is written exits 1.
bool segmenter_works() {
    TempDir dir;
    dir.write("probe.txt", "One sentence. Another one.\n");
    const ProcessResult r = test_support::run_process({TALVEN_EXE, "probe.txt"}, dir.path().string());
    return r.status == 0 && dir.exists("probe.txt.seg");
}

TEST(Examples, EveryTextHasAQueryAndStoredExtracts) {
    const std::vector<std::string> names = example_names();
    ASSERT_GE(names.size(), 3u);
    const std::map<std::string, std::string> queries = example_queries();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(queries.count(name) == 1 && !queries.at(name).empty());
        for (const char* kind : {"plain", "query", "is"}) {
            const fs::path sum = kExpected / (name + "." + kind + ".sum");
            ASSERT_TRUE(fs::exists(sum)) << sum;
            EXPECT_FALSE(slurp(sum).empty()) << sum;
        }
    }
}

struct Variant {
    const char* kind;
    bool condensed;
    bool with_query;
};

TEST(Examples, ExtractsMatchTheStoredOnes) {
    if (!segmenter_works()) {
        GTEST_SKIP() << TALVEN_EXE << " is still the placeholder (it fails on a two-sentence text); "
                     << "the stored extracts can only be checked with the real segmenter";
    }
    const std::string path = "PATH=" + fs::path(TALVEN_EXE).parent_path().string() + ":/usr/bin:/bin";
    const std::map<std::string, std::string> queries = example_queries();
    const Variant variants[] = {{"plain", false, false}, {"query", false, true}, {"is", true, false}};
    for (const std::string& name : example_names()) {
        for (const Variant& v : variants) {
            SCOPED_TRACE(name + " " + v.kind);
            TempDir dir;
            dir.write(name + ".txt", slurp(kExamples / (name + ".txt")));
            std::vector<std::string> argv = {BRENNIC_EXE};
            if (v.condensed) argv.push_back("-is");
            argv.push_back(name + ".txt");
            if (v.with_query) argv.push_back(queries.at(name));
            argv.push_back("0.7");
            const ProcessResult r = test_support::run_process(argv, dir.path().string(), {path});
            ASSERT_EQ(r.status, 0) << r.out;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(dir.read(name + ".sum"), slurp(kExpected / (name + "." + v.kind + ".sum")));
            // The segmenter's file is gone; nothing else was left behind.
            EXPECT_EQ(dir.entries(), (std::set<std::string>{name + ".txt", name + ".sum"}));
        }
    }
}

}  // namespace
