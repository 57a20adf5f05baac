// SPDX-License-Identifier: MIT
// The command brennic through its command lines: as a filter, on files and
// lists, into files beside the texts or in a folder, with each length and
// each format, and the command lines it refuses; --help and --version of
// every program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "brennic/brennic.h"
#include "test_support.h"
#include "view/json_view.h"

namespace {

namespace fs = std::filesystem;
using test_support::ProcessResult;
using test_support::TempDir;

const fs::path kExamples = fs::path(TEST_DATA_DIR).parent_path().parent_path() / "examples";
const std::string kPath =
    "PATH=" + fs::path(BRENNIC_EXE).parent_path().string() + ":/usr/local/bin:/usr/bin:/bin";

std::string expected(const std::string& name) {
    return test_support::slurp(kExamples / "expected" / name);
}

// Fills dir with the three examples, sample.txt also in sub/, and two lists.
void add_examples(const TempDir& dir) {
    fs::create_directory(dir.path() / "sub");
    for (const char* name : {"sample.txt", "glass-museum.txt", "ferry-report.txt"})
        fs::copy_file(kExamples / name, dir.path() / name);
    fs::copy_file(kExamples / "sample.txt", dir.path() / "sub" / "sample.txt");
    dir.write("list", "sample.txt\nglass-museum.txt\n");
    dir.write("list0", std::string("sample.txt\0glass-museum.txt\0", 28));
}

// Runs program with args in dir, standard input read from the file `input`
// of dir ("" for /dev/null).
ProcessResult run(const std::string& program, const std::vector<std::string>& args,
                  const TempDir& dir, const std::string& input) {
    std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" < \"$IN\"", program};
    argv.insert(argv.end(), args.begin(), args.end());
    return test_support::run_process(
        argv, dir.path().string(),
        {kPath, "IN=" + (input.empty() ? "/dev/null" : dir.file(input))});
}

ProcessResult brennic(const std::vector<std::string>& args, const TempDir& dir,
                      const std::string& input = "") {
    return run(COMMAND_EXE, args, dir, input);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1)
        out.push_back(text.substr(at, text.find('\n', at) - at));
    return out;
}

TEST(Command, CommandLines) {
    const std::string sample = expected("sample.plain.sum");
    const std::string glass = expected("glass-museum.plain.sum");
    const std::string both =
        "==> sample.txt <==\n" + sample + "\n==> glass-museum.txt <==\n" + glass;
    const struct Case {
        std::vector<std::string> args;
        std::string input;              // standard input: a file of the folder
        std::string out;                // standard output
        std::set<std::string> written;  // new files, with the content of an extract named alike
    } cases[] = {
        // A filter, and files to standard output.
        {{}, "sample.txt", sample, {}},
        {{"-"}, "sample.txt", sample, {}},
        {{"sample.txt"}, "", sample, {}},
        {{"sample.txt", "glass-museum.txt"}, "", both, {}},
        {{"--files-from", "list"}, "", both, {}},
        {{"--files-from=-"}, "list", both, {}},
        {{"-0", "--files-from", "-", "--sum"}, "list0", "", {"sample.sum", "glass-museum.sum"}},
        // Files beside the texts, or in a folder; standard input still to standard output.
        {{"--sum", "sample.txt", "glass-museum.txt"}, "", "", {"sample.sum", "glass-museum.sum"}},
        {{"--output-dir", "out", "sample.txt", "glass-museum.txt"},
         "",
         "",
         {"out/sample.sum", "out/glass-museum.sum"}},
        {{"--sum", "-"}, "sample.txt", sample, {}},
        // The folder made, the texts' folders mirrored in it.
        {{"--output-dir", "new/out", "sample.txt", "sub/sample.txt"},
         "",
         "",
         {"new/out/sample.sum", "new/out/sub/sample.sum"}},
        // Folders read; the output folder inside is no input.
        {{"-R", "--output-dir", "out", "."},
         "",
         "",
         {"out/sample.sum", "out/sub/sample.sum", "out/glass-museum.sum", "out/ferry-report.sum"}},
        {{"--recursive", "--include=g*", "--output-dir=out", "."},
         "",
         "",
         {"out/glass-museum.sum"}},
        // Each length.
        {{"--keep", "30%", "sample.txt"}, "", sample, {}},
        {{"--keep=0.3", "sample.txt"}, "", sample, {}},
        {{"-r", "0.7", "sample.txt"}, "", sample, {}},
        {{"--query", "council trees", "-"}, "sample.txt", expected("sample.query.sum"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        TempDir dir;
        add_examples(dir);
        fs::create_directory(dir.path() / "out");
        const std::set<std::string> before = dir.entries();
        const ProcessResult r = brennic(c.args, dir, c.input);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, c.out);
        std::set<std::string> written;
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            const std::string rel = fs::relative(e.path(), dir.path()).string();
            if (e.is_regular_file() && !before.contains(rel) && !rel.starts_with("sub/"))
                written.insert(rel);
        }
        EXPECT_EQ(written, c.written);
        for (const std::string& file : written) {
            const std::string name = fs::path(file).stem().string();
            EXPECT_EQ(dir.read(file), expected(name + ".plain.sum")) << file;
        }
    }
}

// Lengths that must give the same extract as another command line.
TEST(Command, LengthsAgree) {
    const struct Case {
        std::vector<std::string> args, same_as;
    } cases[] = {
        {{"--words", "50"}, {"--rate", "50"}},
        {{"--keep", "100%"}, {"--rate", "0"}},
        {{"--keep", "0.25"}, {"--rate", "0.75"}},
        // One sentence: the vell sentence, the highest score.
        {{"--sentences", "1"}, {"--rate", "-1"}},
        // Both limits: the tighter one holds.
        {{"--words", "1000", "--sentences", "1"}, {"--sentences", "1"}},
        {{"--sentences", "1000", "--words", "30"}, {"--words", "30"}},
        {{"--keep", "100%", "--sentences", "2"}, {"--sentences", "2"}},
    };
    TempDir dir;
    add_examples(dir);
    for (const Case& c : cases) {
        for (const char* text : {"sample.txt", "ferry-report.txt"}) {
            SCOPED_TRACE(::testing::PrintToString(c.args) + text);
            std::vector<std::string> a = c.args, b = c.same_as;
            a.push_back(text);
            b.push_back(text);
            const ProcessResult ra = brennic(a, dir), rb = brennic(b, dir);
            EXPECT_EQ(ra.status, 0) << ra.err;
            EXPECT_EQ(ra.out, rb.out);
            EXPECT_FALSE(ra.out.empty());
        }
    }
    // A budget beyond the worthy sentences is filled: the whole text for
    // more sentences than it has.
    const std::vector<std::string> worthy = lines(brennic({"--rate", "0", "sample.txt"}, dir).out);
    const std::vector<std::string> every =
        lines(brennic({"--sentences", "1000", "sample.txt"}, dir).out);
    const std::vector<std::string> more =
        lines(brennic({"--sentences", std::to_string(worthy.size() + 1), "sample.txt"}, dir).out);
    EXPECT_EQ(every.size(),
              brennic::segment(test_support::slurp(dir.path() / "sample.txt")).size());
    ASSERT_EQ(more.size(), worthy.size() + 1);
    EXPECT_TRUE(std::includes(more.begin(), more.end(), worthy.begin(), worthy.end(),
                              [&](const std::string& a, const std::string& b) {
                                  return std::find(every.begin(), every.end(), a) <
                                         std::find(every.begin(), every.end(), b);
                              }));
    // The web page says why the others are in.
    EXPECT_NE(brennic({"--format", "html", "--sentences", "1000", "sample.txt"}, dir)
                  .out.find("the others fill the budget of 1000 sentences"),
              std::string::npos);
    // ... and only there: not where the worthy ones meet the budget, nor
    // under centrality, whose page tells its own way of choosing.
    EXPECT_EQ(brennic({"--format", "html", "--sentences", "2", "sample.txt"}, dir)
                  .out.find("the others fill"),
              std::string::npos);
    const std::string by_centrality =
        brennic({"--format", "html", "--method", "centrality", "--sentences", "1000", "sample.txt"},
                dir)
            .out;
    EXPECT_EQ(by_centrality.find("holds a vell word"), std::string::npos);
    EXPECT_NE(by_centrality.find("discounted by what the extract already says"), std::string::npos);
    // Two sentences: the two best of the worthy ones, in text order.
    const std::vector<std::string> two =
        lines(brennic({"--sentences", "2", "sample.txt"}, dir).out);
    const std::vector<std::string> all = lines(brennic({"--rate", "0", "sample.txt"}, dir).out);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_LT(std::find(all.begin(), all.end(), two[0]), std::find(all.begin(), all.end(), two[1]));
}

// Refused command lines: exit status 2, one line naming the option, nothing read or written.
TEST(Command, BadCommandLines) {
    const struct Case {
        std::vector<std::string> args;
        std::string err;  // the whole of standard error after "brennic: "
    } cases[] = {
        {{"--keep", "abc"},
         "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, not 'abc'"},
        {{"--keep", ""},
         "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, not ''"},
        {{"--keep=nan"},
         "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, not 'nan'"},
        {{"--keep=101%"},
         "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, not '101%'"},
        {{"--keep=1.5"},
         "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, not '1.5'"},
        {{"--keep=0.3x"},
         "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, not '0.3x'"},
        {{"--words", "0"}, "--words wants a whole number of words from 1 to 16777216, not '0'"},
        {{"--words", "2.5"}, "--words wants a whole number of words from 1 to 16777216, not '2.5'"},
        {{"--words", "-3"}, "--words wants a whole number of words from 1 to 16777216, not '-3'"},
        {{"--sentences", "two"},
         "--sentences wants a whole number of sentences from 1 on, not 'two'"},
        {{"--sentences", "0"}, "--sentences wants a whole number of sentences from 1 on, not '0'"},
        {{"--rate", "abc"}, "--rate wants a number, not 'abc'"},
        {{"-r", ""}, "--rate wants a number, not ''"},
        {{"--rate=nan"}, "--rate wants a number, not 'nan'"},
        {{"--rate=-inf"}, "--rate wants a number, not '-inf'"},
        {{"-r0.7abc"}, "--rate wants a number, not '0.7abc'"},
        {{"--keep", "30%", "--words", "3"},
         "give one length in words at most: --keep, --words or --rate"},
        {{"--sentences", "2", "--sentences", "3"}, "give --sentences once"},
        {{"--include=*.txt", "sample.txt"}, "--include goes with -R"},
        {{"--format", "xml"}, "--format wants text, json or html, not 'xml'"},
        {{"--format", "html", "sample.txt", "glass-museum.txt"},
         "--format html writes one page to standard output: give one text, -n, --sum or "
         "--output-dir"},
        {{"--files-from", "list", "-"}, "standard input (-) cannot be a text with --files-from"},
        {{"--files-from", "no-such-list"}, "--files-from no-such-list: No such file or directory"},
        {{"-", "-"}, "standard input (-) can be read only once"},
        {{"--format=html", "--keywords=2", "sample.txt"},
         "--format html and --keywords cannot share standard output"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"--output-dir", "list", "sample.txt"}, "--output-dir list: Not a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        TempDir dir;
        add_examples(dir);
        const std::set<std::string> before = dir.entries();
        const ProcessResult r = brennic(c.args, dir, "sample.txt");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "brennic: " + c.err + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(dir.entries(), before);
    }
    // Outputs that clash fail, both, and the others are done.
    TempDir dir;
    add_examples(dir);
    const ProcessResult r =
        brennic({"--output-dir", ".", "sample.txt", "./sample.txt", "glass-museum.txt"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("brennic: ./sample.txt: ./sample.sum would also be written for "
                         "sample.txt"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(dir.exists("sample.sum"));
    EXPECT_TRUE(dir.exists("glass-museum.sum"));
}

// JSON: one document a line, each what the library's own diagnostics give.
TEST(Command, JsonIsTheDiagnostics) {
    TempDir dir;
    add_examples(dir);
    const ProcessResult r =
        brennic({"--format=json", "sample.txt", "-", "ferry-report.txt"}, dir, "glass-museum.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> docs = lines(r.out);
    ASSERT_EQ(docs.size(), 3u);
    const char* names[] = {"sample.txt", "-", "ferry-report.txt"};
    const char* texts[] = {"sample.txt", "glass-museum.txt", "ferry-report.txt"};
    for (int i = 0; i < 3; ++i) {
        const std::vector<std::string> text = {dir.read(texts[i])};
        brennic::Options o;
        o.diagnostics = true;
        const brennic::Summary s = brennic::summarize(std::span<const std::string>(text), o);
        const std::vector<std::string> name = {names[i]};
        EXPECT_EQ(docs[i] + "\n", brennic::view::render_json(text, name, names[i], o, s, 10));
    }
    // --keywords sets how many the document holds, and prints no lines of its own.
    const ProcessResult two = brennic({"--format=json", "--keywords=2", "sample.txt"}, dir);
    const std::vector<std::string> text = {dir.read("sample.txt")};
    brennic::Options o;
    o.diagnostics = true;
    const std::vector<std::string> name = {"sample.txt"};
    EXPECT_EQ(two.out, brennic::view::render_json(text, name, "sample.txt", o,
                                                  brennic::summarize(text, o), 2));
    // The extract's own list, and a record in place of a text that fails.
    std::string extract = "\"extract\":[";
    for (const std::string& line : lines(expected("sample.plain.sum")))
        if (!line.empty()) extract += (extract.ends_with('[') ? "\"" : ",\"") + line + '"';
    EXPECT_NE(docs[0].find(extract + "],"), std::string::npos) << docs[0];
    const ProcessResult failed = brennic({"--format=json", "missing.txt", "sample.txt"}, dir);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(lines(failed.out).front(),
              R"({"name":"missing.txt","error":"No such file or directory"})");
    EXPECT_EQ(lines(failed.out)[1], docs[0]);
    // With files, NAME.json beside NAME.sum.
    ASSERT_EQ(brennic({"--format=json", "--sum", "sample.txt"}, dir).status, 0);
    EXPECT_EQ(dir.read("sample.json"), docs[0] + "\n");
    EXPECT_EQ(dir.read("sample.sum"), expected("sample.plain.sum"));
}

TEST(Command, HelpAndVersionOfEveryProgram) {
    const struct Case {
        std::string program, option, out_starts;
    } cases[] = {
        {COMMAND_EXE, "--help", "usage: brennic [OPTIONS] [FILE...]\n"},
        {COMMAND_EXE, "--version", "brennic " + std::string(brennic::version()) + "\n"},
        {BATCH_EXE, "--version", "brennic-batch " + std::string(brennic::version()) + "\n"},
        {BRENNIC_EXE, "--help", "Brennic.exe writes the extract"},
        {BRENNIC_EXE, "--version", "Brennic.exe " + std::string(brennic::version()) + "\n"},
        {TALVEN_EXE, "--help", "usage: TALVEN_En.exe NAME\n"},
        {TALVEN_EXE, "--version", "TALVEN_En.exe " + std::string(brennic::version()) + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " " + c.option);
        TempDir dir;
        const ProcessResult r = run(c.program, {c.option}, dir, "");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind(c.out_starts, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(dir.entries().empty());
    }
}

// Brennic.exe says why a text cannot be read, naming it as given (not by
// its link in the private directory).
TEST(Command, SegmenterMessagesNameTheUsersFile) {
    TempDir dir;
    const ProcessResult r = run(BRENNIC_EXE, {"missing.txt", "0.7"}, dir, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\tERROR: can not open missing.txt.seg\n");
    EXPECT_EQ(r.err, "Brennic.exe: cannot open missing.txt: No such file or directory\n");
}

}  // namespace
