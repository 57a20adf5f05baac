// SPDX-License-Identifier: MIT
// "-is" changes only the printed text: through the real executable, the same
// sentences are chosen with and without it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "test_support.h"

namespace {

using test_support::TempDir;

std::string read_data(const std::string& name) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The summary_worthy column of the diagnostic dump, one mark per sentence.
std::string marks_of_run(const std::string& text, const std::vector<std::string>& args) {
    TempDir dir;
    dir.write("text.txt", text);
    std::vector<std::string> argv = {BRENNIC_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r =
        test_support::run_process(argv, dir.path().string(),
                                  {"PATH=" TEST_DATA_DIR "/stub:/usr/bin:/bin", "BRENNIC_DEBUG=1"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::istringstream dump(dir.read("debug.txt"));
    std::string line;
    std::string marks;
    std::getline(dump, line);  // header
    std::getline(dump, line);  // blank line
    while (std::getline(dump, line) && !line.empty()) {
        std::istringstream fields(line);
        std::string words, score, mark;
        std::getline(fields, words, '\t');
        std::getline(fields, score, '\t');
        std::getline(fields, mark, '\t');
        marks += mark;
    }
    return marks;
}

TEST(CondensedRuns, SelectTheSameSentences) {
    const std::string texts[] = {
        "Cats drink milk.\nThe dog eats fish.\nDogs drink milk too.\nA cat sleeps.\n",
        read_data("condense/harbour.txt"),
        read_data("../../examples/sample.txt"),
    };
    struct Mode {
        bool ak;
        const char* query;
    };
    const Mode modes[] = {
        {false, nullptr},       {true, nullptr},       {false, "harbour"},
        {false, "fish market"}, {true, "storm walls"},
    };
    for (const std::string& text : texts) {
        for (const Mode& mode : modes) {
            for (const char* rate : {"0.9", "0.7", "0.5", "0.2", "0", "-1", "25"}) {
                std::vector<std::string> plain;
                if (mode.ak) plain.push_back("-ak");
                plain.push_back("text.txt");
                if (mode.query != nullptr) plain.push_back(mode.query);
                plain.push_back(rate);
                std::vector<std::string> condensed = plain;
                condensed.insert(condensed.begin(), "-is");
                const std::string expected = marks_of_run(text, plain);
                EXPECT_FALSE(expected.empty());
                EXPECT_EQ(marks_of_run(text, condensed), expected)
                    << text.substr(0, 20) << " at " << rate << (mode.ak ? " -ak " : " ")
                    << (mode.query ? mode.query : "");
            }
        }
    }
}

TEST(CondensedRuns, PrintCondensedSentences) {
    TempDir dir;
    dir.write("h.txt", read_data("condense/harbour.txt"));
    const auto r =
        test_support::run_process({BRENNIC_EXE, "-is", "h.txt", "0"}, dir.path().string(),
                                  {"PATH=" TEST_DATA_DIR "/stub:/usr/bin:/bin"});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string extract = dir.read("h.sum");
    EXPECT_EQ(extract,
              "Harbour town rebuilt spring great storm. \n"
              "Town council paid walls money national fund. \n"
              "Summer, tourists back harbour fish market reopened. \n"
              "Children town school painted museum' doors blue; fish market red . \n");
}

}  // namespace
