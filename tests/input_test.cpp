// SPDX-License-Identifier: MIT
// Inputs other than plain text: Markdown read into its prose, the kind of a
// text told by its name or content, and the command line's --input and
// --main-text.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "brennic/brennic.h"
#include "brennic/main_text.h"
#include "readers/input_kind.h"
#include "readers/markdown.h"
#include "test_support.h"

namespace {

using brennic::readers::InputKind;
using test_support::ProcessResult;
using test_support::TempDir;

TEST(Markdown, ProseWithoutMarkup) {
    const struct Case {
        const char* what;
        std::string markdown;
        std::string text;
        std::string title;
    } cases[] = {
        {"heading, emphasis", "# Tool\n\nSome *soft* and **strong** words.\n",
         "Tool\n\nSome soft and strong words.\n", "Tool"},
        {"setext heading", "Tool\n====\n\nBody.\n", "Tool\n\nBody.\n", "Tool"},
        {"second-level heading is no title", "## Usage\n\nRun it.\n", "Usage\n\nRun it.\n", ""},
        {"link text stays", "See [the guide](https://x.org/guide \"t\") now.\n",
         "See the guide now.\n", ""},
        {"badges and images go",
         "[![CI](https://ci.org/b.svg)](https://ci.org) ![logo](l.png)\n\nText.\n", "Text.\n", ""},
        {"list items", "- one\n- two\n  1. three\n", "one\n\ntwo\n\nthree\n", ""},
        {"quotation", "> quoted\n> words\n", "quoted words\n", ""},
        {"fenced and indented code", "Before.\n\n```sh\nmake\n```\n\n    code();\n\nAfter.\n",
         "Before.\n\nAfter.\n", ""},
        {"inline code keeps its text", "Call `init()` first.\n", "Call init() first.\n", ""},
        {"pipe table", "Intro.\n| a | b |\n|---|:-:|\n| 1 | 2 |\n\nAfter.\n", "Intro.\n\nAfter.\n",
         ""},
        {"table without outer pipes", "a | b\n--|--\n1 | 2\n", "", ""},
        {"YAML front matter", "---\ntitle: \"Front\"\ntags: [a]\n---\nBody.\n", "Body.\n", "Front"},
        {"TOML front matter", "+++\ntitle = 'T'\n+++\nBody.\n", "Body.\n", "T"},
        {"a rule is no front matter", "---\nBody.\n", "Body.\n", ""},
        {"HTML comment", "<!-- hidden -->\n\nShown.\n", "Shown.\n", ""},
        {"inline HTML tags go", "A <b>bold</b> word.\n", "A bold word.\n", ""},
        {"bare URL", "Get it from https://example.org/dl today.\n", "Get it from today.\n", ""},
        {"URL in brackets", "Home page (http://example.org).\n", "Home page.\n", ""},
        {"heading written without its space", "#Tool\n", "Tool\n", ""},
        {"soft and hard line breaks", "one\ntwo  \nthree\n", "one two\nthree\n", ""},
        {"entities", "Tom &amp; Jerry &copy;\n", "Tom & Jerry \xC2\xA9\n", ""},
        {"NUL bytes and Windows-1252", std::string("caf\xE9 \0ok\n", 9), "caf\xC3\xA9 ok\n", ""},
        {"BOM and CR LF", "\xEF\xBB\xBF# T\r\n\r\nx\r\n", "T\n\nx\n", "T"},
        {"nothing but markup", "***\n\n```\ncode\n```\n", "", ""},
        {"empty", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const brennic::readers::Document doc = brennic::readers::read_markdown(c.markdown);
        EXPECT_EQ(doc.text, c.text);
        EXPECT_EQ(doc.title, c.title);
        EXPECT_EQ(doc.language, "");
    }
}

// Deep nesting and long runs of markup never crash (nor hang: the parser's
// time is linear in them).
TEST(Markdown, HostileNesting) {
    const std::size_t deep = 100000;
    std::string nested_lists;
    for (std::size_t i = 0; i < 2000; ++i) nested_lists += std::string(2 * i, ' ') + "- x\n";
    const std::string cases[] = {
        std::string(deep, '>') + " deep\n" + std::string(deep / 10, 'y') + "\n",
        [&] {
            std::string s;
            for (std::size_t i = 0; i < deep / 2; ++i) s += "- ";
            return s + "x\n";
        }(),
        nested_lists,
        std::string(deep, '*') + "a" + std::string(deep, '*'),
        std::string(deep, '[') + "a" + std::string(deep, ']') + "(u)",
        std::string(deep, '`'),
        "| a |\n|---|\n" +
            [&] {
                std::string rows;
                for (std::size_t i = 0; i < deep / 10; ++i) rows += "| x |\n";
                return rows;
            }(),
    };
    for (const std::string& markdown : cases) {
        const brennic::readers::Document doc = brennic::readers::read_markdown(markdown);
        EXPECT_LE(doc.text.size(), markdown.size() + 1);
    }
}

TEST(InputKind, ByNameThenByContent) {
    const struct Case {
        std::string name;
        std::string bytes;
        InputKind kind;
    } cases[] = {
        {"page.html", "plain words", InputKind::html},
        {"dir.d/PAGE.HTM", "", InputKind::html},
        {"a.xhtml", "", InputKind::html},
        {"README.md", "<html>", InputKind::markdown},
        {"notes.Markdown", "", InputKind::markdown},
        {"story.txt", "<!doctype html><p>x</p>", InputKind::text},
        {"", "<!DOCTYPE html>\n<html><body>x", InputKind::html},
        {"", "\xEF\xBB\xBF  <html lang=\"de\">", InputKind::html},
        {"", "<?xml version=\"1.0\"?>\n<!DOCTYPE html PUBLIC \"x\">\n<html>", InputKind::html},
        {"", "<!-- saved from url=(0042)x -->\n<html>", InputKind::html},
        {"saved", "<div><p>One.</p><p>Two.</p><br/></div>", InputKind::html},
        {"", "a < b and c > d in plain text, <tag> once", InputKind::text},
        {"", "<?xml version=\"1.0\"?><note>x</note>", InputKind::text},
        {".md", "# heading", InputKind::text},
        {"", "", InputKind::text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " | " + c.bytes);
        EXPECT_EQ(brennic::readers::choose_kind(InputKind::automatic, c.name, c.bytes), c.kind);
        // A kind asked for wins over name and content.
        EXPECT_EQ(brennic::readers::choose_kind(InputKind::text, c.name, c.bytes), InputKind::text);
    }
    for (const char* name : {"auto", "text", "html", "markdown"})
        EXPECT_TRUE(brennic::parse_input(name).has_value()) << name;
    for (const char* name : {"", "md", "HTML", "txt"})
        EXPECT_FALSE(brennic::parse_input(name).has_value()) << name;
}

TEST(InputKind, LibrarySummarizesTheMainText) {
    const std::string markdown =
        "# Ferries\n\nThe ferry crossed the [bay](https://bay.org) at dawn. The ferry carried "
        "forty cars. Cars and ferry crews waited.\n\n| ferry | cars |\n|---|---|\n| a | 1 |\n";
    brennic::Options o;
    o.input = brennic::Input::markdown;
    o.diagnostics = true;
    const brennic::Summary s = brennic::summarize(markdown, o);
    const std::string main = brennic::main_text(markdown, brennic::Input::markdown).text;
    ASSERT_TRUE(s.diagnostics.has_value());
    for (const brennic::SentenceReport& r : s.diagnostics->sentences) {
        // Offsets count in the main text.
        EXPECT_EQ(main.substr(r.span.offset, r.span.length), r.text);
        EXPECT_EQ(r.text.find('|'), std::string::npos);
        EXPECT_EQ(r.text.find("]("), std::string::npos);
    }
    EXPECT_EQ(brennic::main_text(markdown, brennic::Input::automatic, "x.md").input,
              brennic::Input::markdown);
    EXPECT_EQ(brennic::main_text(markdown).input, brennic::Input::text);
    EXPECT_EQ(brennic::read_markdown(markdown).title, "Ferries");
}

// A document's language stands in for detection that cannot tell, and only
// then.
TEST(InputKind, LanguageHints) {
    const struct Case {
        std::string hint;
        std::string code;
    } codes[] = {{"de", "de"},    {"pt-BR", "pt"}, {"EN_gb", "en"}, {"nb", "no"},
                 {"nn-NO", "no"}, {"xx", ""},      {"", ""},        {"-", ""}};
    for (const Case& c : codes) EXPECT_EQ(brennic::hinted_language(c.hint), c.code) << c.hint;

    brennic::Options o;
    o.language = "auto";
    o.diagnostics = true;
    const std::string german_long =
        "Die Fähre fuhr am frühen Morgen über die Bucht. Sie trug vierzig Autos und ihre "
        "Fahrer. Die Mannschaft wartete am Hafen, bis alle Wagen an Land waren.";
    const struct Row {
        std::string text;
        std::string hint;
        std::string language;
    } rows[] = {
        {"Kurz.", "de", "de"},      // too short to tell: the hint
        {"Kurz.", "", "en"},        // no hint: the fallback
        {german_long, "fr", "de"},  // detection is sure: the text's own
        {"Kurz.", "tlh", "en"},     // a language not read: the fallback
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text + " | " + r.hint);
        const std::string_view text = r.text;
        const std::vector<std::string> hints = {r.hint};
        const brennic::Summary s =
            brennic::summarize_main_texts(std::span<const std::string_view>(&text, 1), hints, o);
        EXPECT_EQ(s.diagnostics->languages.at(0).language, r.language);
    }
}

// ---------------------------------------------------------------------------
// The command line

namespace fs = std::filesystem;
const std::string kPath =
    "PATH=" + fs::path(BRENNIC_EXE).parent_path().string() + ":/usr/local/bin:/usr/bin:/bin";

ProcessResult brennic(const std::vector<std::string>& args, const TempDir& dir,
                      const std::string& input = "") {
    std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$0\" \"$@\" < \"$IN\"", COMMAND_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return test_support::run_process(
        argv, dir.path().string(),
        {kPath, "IN=" + (input.empty() ? "/dev/null" : dir.file(input))});
}

TEST(InputKind, CommandLines) {
    const std::string readme =
        "---\ntitle: x\n---\n# Lamps\n\nLamps light the *hall*. See [docs](https://d.org).\n\n"
        "```\nmake lamps\n```\n\n- Oil lamps burn long.\n";
    const std::string prose = "Lamps\n\nLamps light the hall. See docs.\n\nOil lamps burn long.\n";
    const struct Case {
        std::vector<std::string> args;
        std::string input;  // standard input: a file of the folder
        std::string out;    // standard output; for JSON a part of it
        int status = 0;
    } cases[] = {
        {{"--main-text", "readme.md"}, "", prose},
        {{"--main-text", "--input=markdown"}, "readme.md", prose},
        {{"--main-text", "readme.txt"}, "", readme},
        {{"--main-text", "--input", "markdown", "readme.txt"}, "", prose},
        {{"--main-text", "-n", "readme.md", "readme.md"}, "", prose + "\n" + prose},
        {{"--main-text", "readme.md", "-"},
         "readme.md",
         "==> readme.md <==\n" + prose + "\n==> - <==\n" + readme},
        {{"--sentences=1", "readme.md"}, "", "Oil lamps burn long.\n"},
        {{"--format=json", "readme.md"}, "", "\"input\":\"markdown\",\"title\":\"Lamps\""},
        {{"--format=json", "readme.txt"}, "", "\"input\":\"text\",\"title\":null"},
        {{"--input=md"}, "readme.md", "", 2},
        {{"--main-text", "--format=json"}, "readme.md", "", 2},
        {{"--main-text", "--sum", "readme.md"}, "", "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        TempDir dir;
        dir.write("readme.md", readme);
        dir.write("readme.txt", readme);
        const ProcessResult r = brennic(c.args, dir, c.input);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.args.front() == "--format=json") {
            EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        } else {
            EXPECT_EQ(r.out, c.out);
        }
        if (c.status == 2) { EXPECT_NE(r.err.find("brennic: "), std::string::npos); }
    }
}

}  // namespace
