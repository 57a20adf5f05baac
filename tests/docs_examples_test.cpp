// SPDX-License-Identifier: MIT
// The examples of the README and of docs/*.md: every ```console block holds
// commands ("$ " lines) each followed by what it prints. Each command runs
// with the built programs first on PATH, in a folder holding a copy of
// examples/, and must print exactly what the page shows (standard output;
// a page that shows standard error says 2>&1). scripts/regenerate-doc-examples
// rewrites the outputs after a deliberate change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using test_support::TempDir;
namespace fs = std::filesystem;

const fs::path kRoot = fs::path(TEST_DATA_DIR).parent_path().parent_path();

struct Example {
    std::string where;  // page:line
    std::string command;
    std::string output;
};

// The examples of one page.
std::vector<Example> examples_of(const fs::path& page) {
    std::ifstream in(page);
    std::vector<Example> examples;
    bool in_block = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!in_block) {
            in_block = line == "```console";
            continue;
        }
        if (line == "```") {
            in_block = false;
        } else if (line.starts_with("$ ")) {
            examples.push_back({fs::relative(page, kRoot).string() + ":" + std::to_string(number),
                                line.substr(2),
                                {}});
        } else if (!examples.empty()) {
            examples.back().output += line + "\n";
        }
    }
    return examples;
}

std::vector<fs::path> pages() {
    std::vector<fs::path> found = {kRoot / "README.md"};
    for (const auto& e : fs::directory_iterator(kRoot / "docs"))
        if (e.path().extension() == ".md") found.push_back(e.path());
    return found;
}

TEST(DocsExamples, PrintWhatThePagesShow) {
    const std::string path =
        "PATH=" + fs::path(COMMAND_EXE).parent_path().string() + ":/usr/bin:/bin";
    std::size_t checked = 0;
    for (const fs::path& page : pages()) {
        for (const Example& example : examples_of(page)) {
            SCOPED_TRACE(example.where + ": " + example.command);
            TempDir dir;
            fs::create_directory(dir.path() / "examples");
            for (const auto& e : fs::directory_iterator(kRoot / "examples"))
                if (e.path().extension() == ".txt")
                    fs::copy_file(e.path(), dir.path() / "examples" / e.path().filename());
            const auto r = test_support::run_process(
                {"/bin/sh", "-c", example.command}, dir.path().string(),
                {path, "LC_ALL=C.UTF-8", "BRENNIC_LANGUAGE=", "BRENNIC_ENCODING="});
            EXPECT_EQ(r.out, example.output);
            ++checked;
        }
    }
    EXPECT_GE(checked, 5u);  // the README's examples at least
}

}  // namespace
