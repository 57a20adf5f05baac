// SPDX-License-Identifier: MIT
// The web page of brennic --format=html in a real browser: headless
// chromium loads it, and both the extract block at its top and the
// sentences that its DOM holds highlighted are exactly the lines of the
// extract written beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "html_check.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

const fs::path kExamples = fs::path(TEST_DATA_DIR).parent_path().parent_path() / "examples";

// The browser: $BRENNIC_CHROMIUM, or chromium on PATH.
std::optional<std::string> find_chromium() {
    if (const char* set = std::getenv("BRENNIC_CHROMIUM"); set != nullptr && *set != '\0')
        return std::string(set);
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        for (const char* name : {"chromium", "chromium-browser"}) {
            const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
            if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        }
    }
    return std::nullopt;
}

// The DOM of page as chromium builds it, serialized. The browser's profile,
// caches and home are all kept inside dir.
test_support::ProcessResult dump_dom(const std::string& chromium, const TempDir& dir,
                                     const std::string& page) {
    const std::string home = dir.file("home");
    return test_support::run_process(
        {chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--user-data-dir=" + dir.file("profile"), "--dump-dom",
         "file://" + dir.file(page)},
        dir.path().string(), {"HOME=" + home, "XDG_CONFIG_HOME=" + home, "XDG_CACHE_HOME=" + home},
        std::chrono::minutes(2));
}

// The text of dom[from, to): tags stripped, references read, white space
// collapsed.
std::string text_between(const std::string& dom, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        if (dom[i] == '<') {
            i = dom.find('>', i);
        } else {
            text += dom[i];
        }
    }
    for (const auto& [ref, c] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", "\u00A0"}, {"&amp;", "&"}}) {
        for (std::size_t r = text.find(ref); r != std::string::npos;
             r = text.find(ref, r + c.size()))
            text.replace(r, ref.size(), c);
    }
    return html_check::collapse(text);
}

// The text of the elements of class "s x" in a serialized DOM; *vell gets
// the one of class "s x v".
std::vector<std::string> highlighted(const std::string& dom, std::string* vell) {
    const std::string open = "<mark class=\"s x";
    std::vector<std::string> out;
    for (std::size_t at = dom.find(open); at != std::string::npos; at = dom.find(open, at)) {
        const bool is_vell = dom.compare(at + open.size(), 3, " v\"") == 0;
        const std::size_t from = dom.find('>', at) + 1;
        const std::size_t to = dom.find("</mark>", from);
        out.push_back(text_between(dom, from, to));
        if (is_vell) *vell = out.back();
        at = to;
    }
    return out;
}

// The items of the extract block at the top of the page.
std::vector<std::string> extract_block(const std::string& dom) {
    std::vector<std::string> out;
    const std::size_t start = dom.find("<section class=\"extract\">");
    const std::size_t end = dom.find("</section>", start);
    if (start == std::string::npos || end == std::string::npos) return out;
    for (std::size_t at = dom.find("<li", start); at < end; at = dom.find("<li", at)) {
        const std::size_t from = dom.find('>', at) + 1;
        const std::size_t to = dom.find("</li>", from);
        out.push_back(text_between(dom, from, to));
        at = to;
    }
    return out;
}

TEST(HtmlBrowser, HighlightedSentencesAreTheExtract) {
    const std::optional<std::string> chromium = find_chromium();
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed: the page is not checked in a browser";

    // Windows-1252, with markup and quotes.
    const std::string latin1 =
        "Caf\xE9 owners say <script>alert(1)</script> & \"quotes\" are fine.\n\n"
        "\x93"
        "Caf\xE9s\x94 open at dawn, the caf\xE9 owners say. Nothing else.\n"
        "Owners of the caf\xE9"
        " agree </mark> it is <b>late</b>.\n";
    const struct Case {
        std::vector<std::string> args;
        std::string page;
    } cases[] = {
        {{"sample.txt", "-r", "0.7"}, "sample"},
        {{"-n", "-a", "-q", "ferry engineers", "glass-museum.txt", "ferry-report.txt", "--rate",
          "0.8"},
         "multidoc-ferry-report"},
        {{"caf\xE9.txt", "--keep=50%"}, "caf\xE9"},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        TempDir dir;
        for (const char* name : {"sample.txt", "glass-museum.txt", "ferry-report.txt"})
            fs::copy_file(kExamples / name, dir.path() / name);
        dir.write("caf\xE9.txt", latin1);
        std::vector<std::string> argv = {COMMAND_EXE, "--format=html", "--sum"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const auto batch = test_support::run_process(argv, dir.path().string());
        ASSERT_EQ(batch.status, 0) << batch.err;

        const test_support::ProcessResult r = dump_dom(*chromium, dir, c.page + ".html");
        if (first && (r.status != 0 || r.out.find("<html") == std::string::npos)) {
            GTEST_SKIP() << "chromium cannot run here (exit status " << r.status
                         << "); its messages end with:\n"
                         << r.err.substr(r.err.size() > 2000 ? r.err.size() - 2000 : 0);
        }
        first = false;
        ASSERT_EQ(r.status, 0) << r.err;
        std::string vell;
        const std::vector<std::string> shown = highlighted(r.out, &vell);
        // The browser read the bytes in the encoding the page declares.
        const bool is_1252 = r.out.find("windows-1252") != std::string::npos;
        EXPECT_EQ(is_1252, c.page == "caf\xE9");
        std::vector<std::string> expected;
        const std::string extract = dir.read(c.page + ".sum");
        for (std::size_t at = 0; at < extract.size(); at = extract.find('\n', at) + 1)
            expected.push_back(
                html_check::as_utf8(extract.substr(at, extract.find('\n', at) - at), is_1252));
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(extract_block(r.out), expected);
        EXPECT_TRUE(std::find(expected.begin(), expected.end(), vell) != expected.end()) << vell;
    }
}

}  // namespace
