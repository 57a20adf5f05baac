// SPDX-License-Identifier: MIT
// Runs Brennic.exe over the small texts of tests/data/golden in every mode
// listed in cases.tsv and compares each extract, byte for byte, with the one
// stored in expected/ (written by scripts/regenerate-golden). Any change of
// output, intended or not, shows up here.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::run_process;
using test_support::TempDir;

const fs::path kGolden = fs::path(TEST_DATA_DIR) / "golden";

struct GoldenCase {
    std::string name;
    std::vector<std::string> args;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

std::vector<GoldenCase> load_cases() {
    std::vector<GoldenCase> cases;
    std::ifstream in(kGolden / "cases.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        GoldenCase c;
        std::istringstream fields(line);
        std::string field;
        std::getline(fields, c.name, '\t');
        while (std::getline(fields, field, '\t')) c.args.push_back(field);
        cases.push_back(std::move(c));
    }
    return cases;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The byte offset of the first difference, for a readable failure.
std::size_t first_difference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, ExtractMatchesStoredOne) {
    const GoldenCase& c = GetParam();
    const fs::path expected_path = kGolden / "expected" / (c.name + ".sum");
    ASSERT_TRUE(fs::exists(expected_path)) << expected_path;
    const std::string expected = read_file(expected_path);

    TempDir dir;
    for (const auto& entry : fs::directory_iterator(kGolden)) {
        if (entry.path().extension() == ".txt") {
            fs::copy_file(entry.path(), dir.path() / entry.path().filename());
        }
    }
    std::vector<std::string> argv{BRENNIC_EXE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const char* path = std::getenv("PATH");
    const std::string stub = std::string(TEST_DATA_DIR) + "/stub";
    const auto result = run_process(argv, dir.path().string(),
                                    {"PATH=" + stub + ":" + (path ? path : "/usr/bin:/bin")});
    ASSERT_EQ(result.status, 0) << result.out << result.err;

    std::vector<std::string> sums;
    for (const std::string& name : dir.entries()) {
        if (name.size() > 4 && name.ends_with(".sum")) sums.push_back(name);
    }
    ASSERT_EQ(sums.size(), 1u) << "extracts left by the run";
    const std::string actual = dir.read(sums[0]);
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected)
        << "first difference at byte " << first_difference(actual, expected) << "\nexpected:\n"
        << expected << "\nactual:\n"
        << actual;
}

INSTANTIATE_TEST_SUITE_P(Modes, GoldenTest, ::testing::ValuesIn(load_cases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             std::string name;
                             for (char ch : info.param.name)
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

// Every stored extract belongs to a case, and the cases cover what they claim.
TEST(GoldenCases, ListAndStoredExtractsAgree) {
    const auto cases = load_cases();
    ASSERT_GE(cases.size(), 20u);
    std::set<std::string> names;
    for (const auto& c : cases) names.insert(c.name + ".sum");
    for (const auto& entry : fs::directory_iterator(kGolden / "expected")) {
        EXPECT_TRUE(names.contains(entry.path().filename().string())) << entry.path();
    }
    bool flags[4] = {};
    for (const auto& c : cases) {
        for (const std::string& a : c.args) {
            flags[0] |= a == "-is";
            flags[1] |= a == "-ak";
            flags[2] |= a.starts_with("-n") && a != "-n1";
            flags[3] |= a.find(' ') != std::string::npos;  // a query of several words
        }
    }
    for (bool f : flags) EXPECT_TRUE(f);
}

}  // namespace
