// SPDX-License-Identifier: MIT
// brennic-batch --html and --keywords: what goes to which file and what to
// standard output, and the command lines that are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "html_check.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

const fs::path kExamples = fs::path(TEST_DATA_DIR).parent_path().parent_path() / "examples";

// The lines of an extract file.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// The sentences a page highlights.
std::vector<std::string> highlighted(const std::string& page) {
    std::vector<std::string> out;
    for (const auto& s : html_check::parse(page).sentences) {
        if (s.classes.find(" x") != std::string::npos) out.push_back(html_check::collapse(s.text));
    }
    return out;
}

TEST(BatchViews, OutputsGoWhereAsked) {
    const std::string sample_keywords = "tree\t9\tvell\nfruit\t8\tvell\norchard\t5\n";
    const struct Case {
        std::vector<std::string> args;
        int status;
        std::set<std::string> written;  // beside the texts
        std::string out;                // standard output; "<page>" for a web page
    } cases[] = {
        {{"--html", "--sum", "sample.txt", "glass-museum.txt"},
         0,
         {"sample.sum", "sample.html", "glass-museum.sum", "glass-museum.html"},
         ""},
        {{"-n", "--format=html", "--sum", "sample.txt", "glass-museum.txt", "-r", "0.9"},
         0,
         {"multidoc-glass-museum.sum", "multidoc-glass-museum.html"},
         ""},
        // With several texts each line starts with the text's name.
        {{"--keywords", "3", "--stems", "--sum", "sample.txt", "glass-museum.txt"},
         0,
         {"sample.sum", "glass-museum.sum"},
         "sample.txt\ttree\t9\tvell\nsample.txt\tfruit\t8\tvell\nsample.txt\torchard\t5\n"
         "glass-museum.txt\tmuseum\t9\tvell\nglass-museum.txt\tglass\t9\n"
         "glass-museum.txt\tin\t7\n"},
        // Standard output takes one product, in place of the files.
        {{"-c", "--keywords=3", "--stems", "sample.txt"}, 0, {}, sample_keywords},
        {{"--keywords=3", "--stems", "-"}, 0, {}, sample_keywords},
        // Keywords are words unless --stems.
        {{"--keywords=3", "sample.txt"}, 0, {}, "trees\t9\tvell\nfruit\t8\tvell\norchard\t5\n"},
        {{"--html", "-c", "sample.txt"}, 0, {}, "<page>"},
        {{"--keywords=0", "sample.txt"}, 2, {}, ""},
        {{"--keywords", "x", "sample.txt"}, 2, {}, ""},
        {{"--html", "--keywords=2", "-c", "sample.txt"}, 2, {}, ""},
        {{"--html", "-c", "sample.txt", "glass-museum.txt"}, 2, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        TempDir dir;
        for (const char* name : {"sample.txt", "glass-museum.txt"})
            fs::copy_file(kExamples / name, dir.path() / name);
        // The text "-" is sample.txt on standard input.
        std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" < sample.txt",
                                         BATCH_EXE};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto r = test_support::run_process(argv, dir.path().string());
        EXPECT_EQ(r.status, c.status) << r.err;
        std::set<std::string> written = dir.entries();
        written.erase("sample.txt");
        written.erase("glass-museum.txt");
        EXPECT_EQ(written, c.written);
        if (c.out == "<page>") {
            EXPECT_EQ(highlighted(r.out),
                      lines(test_support::slurp(kExamples / "expected" / "sample.plain.sum")));
        } else {
            EXPECT_EQ(r.out, c.out);
        }
        // Every page highlights exactly the lines of the extract beside it.
        for (const std::string& name : written) {
            if (!name.ends_with(".html")) continue;
            const std::string sum = name.substr(0, name.size() - 5) + ".sum";
            EXPECT_EQ(highlighted(dir.read(name)), lines(dir.read(sum))) << name;
        }
    }
}

}  // namespace
