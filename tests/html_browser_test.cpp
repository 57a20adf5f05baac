// The web page in a real browser: headless chromium loads it, and the
// sentences that its DOM holds highlighted are exactly the extract's lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "html_check.h"
#include "test_support.h"
#include "view/html_view.h"

namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

const fs::path kExamples = fs::path(TEST_DATA_DIR).parent_path().parent_path() / "examples";

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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

// The text of the elements of class "s x" in a serialized DOM, tags
// stripped, references read, white space collapsed.
std::vector<std::string> highlighted(const std::string& dom, std::string* vell) {
    static const std::regex mark(R"re(<mark class="s x( v)?"[^>]*>([\s\S]*?)</mark>)re");
    static const std::regex tag("<[^>]*>");
    std::vector<std::string> out;
    for (std::sregex_iterator m(dom.begin(), dom.end(), mark), e; m != e; ++m) {
        std::string text = std::regex_replace((*m)[2].str(), tag, "");
        for (const auto& [ref, c] : std::vector<std::pair<std::string, std::string>>{
                 {"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", "\u00A0"}, {"&amp;", "&"}}) {
            for (std::size_t at = text.find(ref); at != std::string::npos;
                 at = text.find(ref, at + c.size()))
                text.replace(at, ref.size(), c);
        }
        out.push_back(html_check::collapse(text));
        if ((*m)[1].matched) *vell = out.back();
    }
    return out;
}

TEST(HtmlBrowser, HighlightedSentencesAreTheExtract) {
    const std::optional<std::string> chromium = find_chromium();
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed: the page is not checked in a browser";

    struct Case {
        std::vector<std::string> names;
        brennic::Options options;
    };
    brennic::Options plain;
    brennic::Options query_mean;
    query_mean.query = "ferry engineers";
    query_mean.mean = true;
    query_mean.compression_rate = 0.8f;
    brennic::Options half;
    half.compression_rate = 0.5f;
    // Windows-1252, with markup and quotes.
    const std::string latin1 =
        "Caf\xE9 owners say <script>alert(1)</script> & \"quotes\" are fine.\n\n"
        "\x93"
        "Caf\xE9s\x94 open at dawn, the caf\xE9 owners say. Nothing else.\n"
        "Owners of the caf\xE9"
        " agree </mark> it is <b>late</b>.\n";
    const std::vector<Case> cases = {
        {{"sample.txt"}, plain},
        {{"glass-museum.txt", "ferry-report.txt"}, query_mean},
        {{"caf\xE9.txt"}, half},
    };
    bool first = true;
    for (Case c : cases) {
        SCOPED_TRACE(c.names[0]);
        TempDir dir;
        std::vector<std::string> texts;
        for (const std::string& name : c.names)
            texts.push_back(name.starts_with("caf") ? latin1 : slurp(kExamples / name));
        c.options.diagnostics = true;
        const brennic::Summary s =
            brennic::summarize(std::span<const std::string>(texts), c.options);
        dir.write("page.html", brennic::view::render_html(texts, c.names, c.options, s));
        const test_support::ProcessResult r = dump_dom(*chromium, dir, "page.html");
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
        EXPECT_EQ(is_1252, texts[0] == latin1);
        std::vector<std::string> expected;
        for (const std::string& line : s.sentences)
            expected.push_back(html_check::as_utf8(line, is_1252));
        EXPECT_EQ(shown, expected);
        const auto& d = *s.diagnostics;
        ASSERT_TRUE(d.vell_sentence.has_value());
        EXPECT_EQ(vell, html_check::as_utf8(d.sentences[*d.vell_sentence].text, is_1252));
    }
}

}  // namespace
