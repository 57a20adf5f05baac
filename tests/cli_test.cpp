// SPDX-License-Identifier: MIT
// Brennic.exe end to end, with a stand-in segmenter that makes every line of
// a text one sentence.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "brennic/command_line.h"
#include "brennic/run_state.h"
#include "test_support.h"

namespace {

using test_support::ProcessResult;
using test_support::TempDir;
namespace fs = std::filesystem;

const std::string kStubDir = TEST_DATA_DIR "/stub";
const char* const kWorkedExample =
    "Cats drink milk.\nThe dog eats fish.\nDogs drink milk too.\nA cat sleeps.\n";

// Runs Brennic.exe in dir with the stand-in segmenter first on PATH.
ProcessResult brennic(const TempDir& dir, const std::vector<std::string>& args,
                      std::vector<std::string> env = {}) {
    std::vector<std::string> argv = {BRENNIC_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    env.push_back("PATH=" + kStubDir + ":/usr/bin:/bin");
    env.push_back("STUB_LOG=" + dir.file("stub.log"));
    return test_support::run_process(argv, dir.path().string(), env);
}

TEST(CommandLine, UsageWhenTooFewArguments) {
    const std::string usage =
        "\nExecuting Brennic for Windows/MSDOS:\n"
        "Brennic [-is] [-ak] [-nM] text1 [... textM] [query] compression_rate\n\n"
        "Executing Brennic for Unix/Linux:\n"
        "./Brennic.exe [-is] [-ak] [-nM] text1 [... textM] [query] compression_rate\n";
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"paper.txt"},
                                                 {"-n3", "a", "b", "0.5"},
                                                 {"-n", "a", "0.5"},
                                                 {"-n0", "a", "0.5"},
                                                 {"-n-1", "a", "0.5"},
                                                 {"-nx", "a", "0.5"},
                                                 {"-is", "paper.txt"},
                                                 {"-is", "-ak", "a"},
                                                 {"-n5", "a.txt", "b.txt", "0.5"},
                                                 {"-n2", "a.txt", "b.txt"}}) {
        TempDir dir;
        dir.write("a", "Some text.\n");
        const ProcessResult r = brennic(dir, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, usage);
        EXPECT_EQ(r.err, "");
        // Nothing was read and nothing written.
        EXPECT_EQ(dir.entries(), (std::set<std::string>{"a"}));
    }
}

struct ParseCase {
    std::vector<const char*> args;
    bool is;
    bool ak;
    std::vector<std::string> texts;
    std::optional<std::string> query;
    float rate;
    std::string filename;
};

TEST(CommandLine, ParsesTheGrammar) {
    const ParseCase cases[] = {
        {{"paper.txt", "0.7"}, false, false, {"paper.txt"}, std::nullopt, 0.7f, "paper.txt"},
        {{"paper.txt", "cells", "0.7"}, false, false, {"paper.txt"}, "cells", 0.7f, "paper.txt"},
        {{"paper.txt", "cells", "0.7", "extra"},
         false,
         false,
         {"paper.txt"},
         "cells",
         0.7f,
         "paper.txt"},
        {{"-is", "-ak", "paper.txt", "0.7"},
         true,
         true,
         {"paper.txt"},
         std::nullopt,
         0.7f,
         "paper.txt"},
        {{"-ak", "-is", "paper.txt", "0.7"}, false, true, {"-is"}, "paper.txt", 0.7f, "-is"},
        {{"-ak", "paper.txt", "3"}, false, true, {"paper.txt"}, std::nullopt, 3.0f, "paper.txt"},
        {{"-n3", "a.txt", "b.txt", "c.txt", "0.5"},
         false,
         false,
         {"a.txt", "b.txt", "c.txt"},
         std::nullopt,
         0.5f,
         "multidoc-c.txt"},
        {{"-n1", "a.txt", "0.5"}, false, false, {"a.txt"}, std::nullopt, 0.5f, "a.txt"},
        {{"-n2x", "a.txt", "b.txt", "0.5"},
         false,
         false,
         {"a.txt", "b.txt"},
         std::nullopt,
         0.5f,
         "multidoc-b.txt"},
        {{"-n2", "a.txt", "dir/c.txt", "q", "0.5"},
         false,
         false,
         {"a.txt", "dir/c.txt"},
         "q",
         0.5f,
         "dir/multidoc-c.txt"},
        {{"-n 2", "a", "b", "1"}, false, false, {"a", "b"}, std::nullopt, 1.0f, "multidoc-b"},
        {{"-n+01", "a", "0.5"}, false, false, {"a"}, std::nullopt, 0.5f, "a"},
        {{"paper.txt", "abc"}, false, false, {"paper.txt"}, std::nullopt, 0.0f, "paper.txt"},
        {{"paper.txt", "nan"}, false, false, {"paper.txt"}, std::nullopt, 0.0f, "paper.txt"},
        {{"paper.txt", "0x1p-1"}, false, false, {"paper.txt"}, std::nullopt, 0.5f, "paper.txt"},
        {{"paper.txt", ".25xyz"}, false, false, {"paper.txt"}, std::nullopt, 0.25f, "paper.txt"},
        {{"paper.txt", "-1"}, false, false, {"paper.txt"}, std::nullopt, -1.0f, "paper.txt"},
    };
    for (const ParseCase& c : cases) {
        std::vector<const char*> argv = {"Brennic.exe"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto cl = brennic::parse_command_line(static_cast<int>(argv.size()), argv.data());
        ASSERT_TRUE(cl.has_value()) << c.args[0];
        EXPECT_EQ(cl->test_is, c.is) << c.args[0];
        EXPECT_EQ(cl->test_ak, c.ak) << c.args[0];
        EXPECT_EQ(cl->texts, c.texts) << c.args[0];
        EXPECT_EQ(cl->query, c.query) << c.args[0];
        EXPECT_EQ(cl->compression_rate, c.rate) << c.args[0];
        EXPECT_EQ(cl->filename, c.filename) << c.args[0];
    }
    // "-n" takes at most nine characters: the tenth digit is not part of it.
    const char* ten[] = {"Brennic.exe", "-n0000000001234", "a", "0.5"};
    EXPECT_FALSE(brennic::parse_command_line(4, ten).has_value());
    const char* inf[] = {"Brennic.exe", "a", "inf"};
    EXPECT_TRUE(std::isinf(brennic::parse_command_line(3, inf)->compression_rate));
}

TEST(CommandLine, ExtractFileNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"paper.txt", "paper.sum"},
        {"report.v2.txt", "report.v2.sum"},
        {"notes", "notes.sum"},
        {"multidoc-c.txt", "multidoc-c.sum"},
        {"../notes", "../notes.sum"},
        {"dir.d/notes", "dir.d/notes.sum"},
        {"dir/multidoc-c.txt", "dir/multidoc-c.sum"},
        {".hidden", ".sum"},
    };
    for (const auto& [base, expected] : cases) {
        EXPECT_EQ(brennic::extract_file_name(base), expected) << base;
    }
}

TEST(EndToEnd, WorkedExample) {
    struct Case {
        std::vector<std::string> args;
        std::string extract;
    };
    const Case cases[] = {
        {{"ex.txt", "0.7"}, "Cats drink milk.\n"},
        {{"ex.txt", "0.5"}, "Cats drink milk.\nDogs drink milk too.\n"},
        {{"ex.txt", "0.9"}, "Cats drink milk.\n"},
        {{"ex.txt", "-1"}, "Cats drink milk.\n"},
        {{"-ak", "ex.txt", "0.5"}, "Cats drink milk.\nDogs drink milk too.\n"},
        {{"ex.txt", "fish", "0.7"}, "The dog eats fish.\n"},
        {{"ex.txt", "fish", "0.4"}, "The dog eats fish.\nDogs drink milk too.\n"},
        {{"-is", "ex.txt", "0.5"}, "Cats drink milk. \nDogs drink milk . \n"},
        {{"-is", "-ak", "ex.txt", "fish", "0.4"}, "Dog eats fish. \nDogs drink milk . \n"},
        {{"ex.txt", "abc"}, "Cats drink milk.\nDogs drink milk too.\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("ex.txt", kWorkedExample);
        const ProcessResult r = brennic(dir, c.args);
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(dir.read("ex.sum"), c.extract) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(dir.entries(), (std::set<std::string>{"ex.txt", "ex.sum", "stub.log"}));
        EXPECT_EQ(dir.read("ex.txt"), kWorkedExample);
    }
}

TEST(EndToEnd, DebugDumpOfTheWorkedExample) {
    TempDir dir;
    dir.write("ex.txt", kWorkedExample);
    const ProcessResult r = brennic(dir, {"ex.txt", "0.7"}, {"BRENNIC_DEBUG=1"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(dir.read("debug.txt"),
              "NUMBER_OF_WORDS, SCORE, SUMMARY_WORTHY & SENTENCE\n\n"
              "3\t6.000000\t1\tCats drink milk.\n"
              "4\t4.000000\t0\tThe dog eats fish.\n"
              "4\t6.000000\t0\tDogs drink milk too.\n"
              "3\t3.000000\t0\tA cat sleeps.\n"
              "\nFREQUENCY, VELL_WORD & WORD\n\n"
              "2\t1\tcat\n2\t1\tdrink\n2\t1\tmilk\n1\t0\tthe\n2\t0\tdog\n1\t0\teat\n"
              "1\t0\tfish\n1\t0\ttoo\n1\t0\ta\n1\t0\tsleep\n"
              "\nSIZE OF TEXT = 14 words\n"
              "MAXIMUM SIZE OF EXTRACT = 4 words\n"
              "COMPRESSION RATE = 0.700000\n"
              "\nTHRESHOLD = 4.750000");
    // Without the variable, or with it empty, no dump is written.
    TempDir quiet;
    quiet.write("ex.txt", kWorkedExample);
    ASSERT_EQ(brennic(quiet, {"ex.txt", "0.7"}, {"BRENNIC_DEBUG="}).status, 0);
    EXPECT_FALSE(quiet.exists("debug.txt"));
}

// The dump's size is the rate's, whatever selection does with it: more than
// the text for a negative rate, the rate itself past the text's words. The
// worked example read byte by byte, and again with a UTF-8 word in it.
TEST(EndToEnd, DebugDumpShowsTheRatesSize) {
    struct Case {
        const char* rate;
        const char* size;
        const char* extract;
    };
    const Case cases[] = {
        {"-1", "28", "Cats drink milk.\n"},
        {"-0.5", "21", "Cats drink milk.\n"},
        {"40", "40", "Cats drink milk.\nDogs drink milk too.\n"},
        {"1e12", "2147483647", "Cats drink milk.\nDogs drink milk too.\n"},
        {"0.7", "4", "Cats drink milk.\n"},
    };
    for (const bool utf8 : {false, true}) {
        std::string text = kWorkedExample;
        if (utf8) text.replace(text.find("fish"), 4, "f\xC3\xAFsh");
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.rate) + (utf8 ? " utf-8" : " latin1"));
            TempDir dir;
            dir.write("ex.txt", text);
            ASSERT_EQ(brennic(dir, {"ex.txt", c.rate}, {"BRENNIC_DEBUG=1"}).status, 0);
            EXPECT_NE(dir.read("debug.txt")
                          .find("SIZE OF TEXT = 14 words\nMAXIMUM SIZE OF EXTRACT = " +
                                std::string(c.size) + " words\n"),
                      std::string::npos);
            std::string extract = c.extract;
            if (utf8 && extract.find("fish") != std::string::npos)
                extract.replace(extract.find("fish"), 4, "f\xC3\xAFsh");
            EXPECT_EQ(dir.read("ex.sum"), extract);
        }
    }
}

TEST(EndToEnd, SeveralTextsAreOneInput) {
    TempDir dir;
    fs::create_directory(dir.path() / "sub");
    dir.write("a.txt", "Cats drink milk.\nThe dog eats fish.\n");
    dir.write("sub/c.txt", "Dogs drink milk too.\nA cat sleeps.\n");
    const ProcessResult r = brennic(dir, {"-n2", "a.txt", "sub/c.txt", "0.5"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(dir.read("sub/multidoc-c.sum"), "Cats drink milk.\nDogs drink milk too.\n");
    // The segmenter met each text, in order, as a link of the text's own
    // name in a private directory of its own, gone after the run.
    std::istringstream log(dir.read("stub.log"));
    std::vector<fs::path> seen;
    for (std::string line; std::getline(log, line);) seen.emplace_back(line);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].filename(), "a.txt");
    EXPECT_EQ(seen[1].filename(), "c.txt");
    for (const fs::path& link : seen) {
        EXPECT_TRUE(link.parent_path().filename().string().starts_with("brennic-")) << link;
        EXPECT_FALSE(fs::exists(link.parent_path())) << link;
    }
    EXPECT_NE(seen[0].parent_path(), seen[1].parent_path());
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"a.txt", "sub", "stub.log"}));

    // The same texts one after the other give the example's sizes: 14 words,
    // so 7 at 0.5 and the S1, S3 extract.
    TempDir one;
    one.write("x", "Cats drink milk.\nThe dog eats fish.\n");
    one.write("y", "Dogs drink milk too.\nA cat sleeps.\n");
    ASSERT_EQ(brennic(one, {"-n2", "x", "y", "0.5"}, {"BRENNIC_DEBUG=1"}).status, 0);
    EXPECT_NE(one.read("debug.txt").find("SIZE OF TEXT = 14 words\nMAXIMUM SIZE OF EXTRACT = 7"),
              std::string::npos);
}

TEST(EndToEnd, ExtractBesideTextsInOtherDirectories) {
    TempDir dir;
    fs::create_directory(dir.path() / "work");
    dir.write("notes", kWorkedExample);
    std::vector<std::string> argv = {BRENNIC_EXE, "../notes", "0.5"};
    const ProcessResult r = test_support::run_process(argv, (dir.path() / "work").string(),
                                                      {"PATH=" + kStubDir + ":/usr/bin:/bin"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(dir.exists("notes.sum"));
    EXPECT_TRUE(fs::is_empty(dir.path() / "work"));
}

TEST(EndToEnd, EmptyTextGivesAnEmptyExtract) {
    for (const char* content : {"", "\n\n  \t\n"}) {
        TempDir dir;
        dir.write("e.txt", content);
        const ProcessResult r = brennic(dir, {"e.txt", "0.5"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(dir.exists("e.sum"));
        EXPECT_EQ(dir.read("e.sum"), "");
    }
}

TEST(EndToEnd, NamesAreNeverHandedToAShell) {
    for (const std::string& name : std::vector<std::string>{
             "a;touch pwned.txt", "$(touch pwned.txt).txt", "`touch pwned.txt`", "with space.txt",
             "quo\"te's.txt", "-dash.txt", std::string(250, 'n')}) {
        TempDir dir;
        dir.write(name, kWorkedExample);
        const ProcessResult r = brennic(dir, {name, "0.5"});
        EXPECT_EQ(r.status, 0) << name.substr(0, 40) << r.out;
        EXPECT_FALSE(dir.exists("pwned.txt"));
        EXPECT_EQ(dir.read(brennic::extract_file_name(name)),
                  "Cats drink milk.\nDogs drink milk too.\n")
            << name.substr(0, 40);
    }
}

TEST(EndToEnd, MissingSentenceFileFailsTheRun) {
    TempDir dir;
    dir.write("a.txt", kWorkedExample);
    dir.write("b.txt", kWorkedExample);
    // The stand-in copies nothing for a missing text: reading it fails after
    // the first text was read, and the first text's file is already gone.
    const ProcessResult r = brennic(dir, {"-n2", "a.txt", "missing.txt", "0.5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\tERROR: can not open missing.txt.seg\n");
    EXPECT_FALSE(dir.exists("a.txt.seg"));
    EXPECT_FALSE(dir.exists("multidoc-missing.sum"));
}

TEST(EndToEnd, SegmenterFoundBesideTheExecutable) {
    TempDir dir;
    fs::create_directory(dir.path() / "bin");
    fs::copy_file(BRENNIC_EXE, dir.path() / "bin" / "Brennic.exe");
    dir.write("ex.txt", kWorkedExample);
    const std::vector<std::string> env = {"PATH=/usr/bin:/bin"};

    // Neither on PATH nor beside: a hint on standard error, the usual error.
    ProcessResult r = test_support::run_process({dir.file("bin/Brennic.exe"), "ex.txt", "0.5"},
                                                dir.path().string(), env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\tERROR: can not open ex.txt.seg\n");
    EXPECT_NE(r.err.find("TALVEN_En.exe"), std::string::npos);

    fs::copy_file(kStubDir + "/TALVEN_En.exe", dir.path() / "bin" / "TALVEN_En.exe");
    r = test_support::run_process({dir.file("bin/Brennic.exe"), "ex.txt", "0.5"},
                                  dir.path().string(), env);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.read("ex.sum"), "Cats drink milk.\nDogs drink milk too.\n");
}

TEST(EndToEnd, UnwritableExtractKeepsTheEarlierOne) {
    // A directory in the way of the extract cannot be replaced, even by root.
    TempDir dir;
    dir.write("ex.txt", kWorkedExample);
    fs::create_directory(dir.path() / "ex.sum");
    ProcessResult r = brennic(dir, {"ex.txt", "0.5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\tERROR: can not open ex.sum\n");
    EXPECT_TRUE(fs::is_directory(dir.path() / "ex.sum"));
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"ex.txt", "ex.sum", "stub.log"}));

    // A second run replaces an earlier extract whole.
    TempDir again;
    again.write("ex.txt", kWorkedExample);
    again.write("ex.sum", "old extract\n");
    ASSERT_EQ(brennic(again, {"ex.txt", "0.7"}).status, 0);
    EXPECT_EQ(again.read("ex.sum"), "Cats drink milk.\n");
}

}  // namespace
