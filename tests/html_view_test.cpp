// SPDX-License-Identifier: MIT
// The web page view and the keywords: hostile bytes stay inside their
// elements, the page declares the encoding its bytes are in, paragraphs and
// vell words show as they are in the text, keywords come in a fixed order.
#include "view/html_view.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "html_check.h"
#include "view/keywords.h"

namespace {

using html_check::Page;
using namespace std::string_literals;

brennic::Summary summarize(const std::vector<std::string>& texts, brennic::Options& o) {
    o.diagnostics = true;
    return brennic::summarize(std::span<const std::string>(texts), o);
}

Page render(const std::vector<std::string>& texts, const std::vector<std::string>& names,
            brennic::Options o) {
    const brennic::Summary s = summarize(texts, o);
    return html_check::parse(brennic::view::render_html(texts, names, o, s));
}

TEST(HtmlView, HostileBytesStayInTheirElements) {
    struct Case {
        const char* what;
        std::string text;
        std::string name;
        const char* charset;
        std::vector<std::string> sentences;  // as the page shows them, in UTF-8
    };
    const std::vector<Case> cases = {
        {"markup",
         "Run <script>alert('x')</script> now & \"then\". Close </mark></p><!-- it.",
         "<b>&\"'.txt",
         "utf-8",
         {"Run <script>alert('x')</script> now & \"then\".", "Close </mark></p><!-- it."}},
        {"NUL and C0 controls",
         "A\0B is \x01here\x1B[0m and\vDEL\x7F now. The second one."s,
         "n.txt",
         "utf-8",
         {"A\uFFFDB is \u2401here\u241B[0m and DEL\u2421 now. The second one."}},
        {"UTF-8 with a C1 control",
         "Na\xC3\xAFve caf\xC3\xA9 \xE2\x80\x9Cquote\xE2\x80\x9D. "
         "Odd \xC2\x85 control.",
         "caf\xC3\xA9.txt",
         "utf-8",
         {"Na\u00EFve caf\u00E9 \u201Cquote\u201D.", "Odd \uFFFD control."}},
        {"Windows-1252",
         "Caf\xE9 au lait. \x93Quoted\x94 and \x81 undefined.",
         "\xE9t\xE9.txt",
         "windows-1252",
         {"Caf\u00E9 au lait.", "\u201CQuoted\u201D and \uFFFD undefined."}},
        {"invalid UTF-8",
         "Valid caf\xC3\xA9 here. Bad \xC3( and \xED\xA0\x80 there.",
         "x.txt",
         "windows-1252",
         {"Valid caf\u00C3\u00A9 here.", "Bad \u00C3( and \u00ED\u00A0\u20AC there."}},
        {"nothing to read", "\0\0 \0"s, "0.txt", "utf-8", {"\uFFFD\uFFFD \uFFFD"}},
        {"empty", "", "e.txt", "utf-8", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        brennic::Options o;
        o.query = "<q>\"&'";
        o.compression_rate = 0.5f;
        const Page page = render({c.text}, {c.name}, o);
        EXPECT_EQ(page.charset, c.charset);
        EXPECT_EQ(page.title, html_check::as_utf8(c.name) + " \u2014 extract");
        EXPECT_EQ(page.h1, html_check::as_utf8(c.name));
        EXPECT_EQ(page.figures.at("Query"), "<q>\"&'");
        std::vector<std::string> shown;
        for (const auto& s : page.sentences) shown.push_back(html_check::collapse(s.text));
        EXPECT_EQ(shown, c.sentences);
    }
}

// Paragraphs come from blank lines; vell words are underlined wherever they
// occur, whole characters included.
TEST(HtmlView, ParagraphsAndVellWords) {
    struct Case {
        std::string text;
        std::vector<int> paragraphs;  // of each sentence
        std::vector<std::string> underlined;
        brennic::Encoding encoding = brennic::Encoding::automatic;
        std::string language = "en";
    };
    const std::vector<Case> cases = {
        {"Ferries cross. Ferries sail.\r\n\r\nA ferry docks.\n \t\nThe end.\nAgain.",
         {0, 0, 1, 2, 2},
         {"Ferries", "cross", "Ferries", "ferry"}},
        // Read as UTF-8, "café" is a word; its stem is that of its last run
        // of ASCII letters, so "cafés" stems to "s", a vell word too.
        {"Caf\xC3\xA9 caf\xC3\xA9s open. The caf\xC3\xA9 is shut.",
         {0, 0},
         {"Caf\u00E9", "caf\u00E9s", "open", "caf\u00E9"}},
        // Read byte by byte, "Caf\xC3" is the word (0xA9 is no letter
        // byte); the underline takes the whole character, but never part of
        // a word as read: "caf\xC3\xA9s" is two words, so not underlined.
        {"Caf\xC3\xA9 caf\xC3\xA9s open. The caf\xC3\xA9 is shut.",
         {0, 0},
         {"Caf\u00E9", "open", "caf\u00E9"},
         brennic::Encoding::latin1},
        // Vell words 7 and 4 are not underlined inside "7.4%".
        {"Prices rose 7 points. Prices rose 7.4% today.",
         {0, 0},
         {"Prices", "rose", "7", "Prices", "rose", "today"}},
        // Chinese: each vell word of a run of ideographs, and the Latin
        // word beside them.
        {"老桥用iPhone拍照。老桥关闭了。",
         {0, 0},
         {"老", "桥", "iPhone", "拍照", "老", "桥"},
         brennic::Encoding::automatic,
         "zh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        brennic::Options o;
        o.compression_rate = -1;
        o.encoding = c.encoding;
        o.language = c.language;
        const Page page = render({c.text}, {"t.txt"}, o);
        std::vector<int> paragraphs;
        std::vector<std::string> underlined;
        for (const auto& s : page.sentences) {
            paragraphs.push_back(s.paragraph);
            underlined.insert(underlined.end(), s.underlined.begin(), s.underlined.end());
        }
        EXPECT_EQ(paragraphs, c.paragraphs);
        EXPECT_EQ(underlined, c.underlined);
    }
}

TEST(Keywords, MostFrequentContentStemsFirstOccurrenceBreaksTies) {
    struct Case {
        std::string text;
        std::size_t n;
        std::string lines;
        std::string language = "en";
        std::string words = "";  // the words shown for the stems, when given
    };
    const std::vector<Case> cases = {
        // "happens" is a stop word but "happened" is not: the stem is a
        // content stem, counted with both.
        {"Anything happens. Cats chase dogs. Dogs chase cats. Things happened.", 4,
         "happen\t2\ncat\t2\tvell\nchase\t2\tvell\ndog\t2\tvell\n"},
        {"Anything, anything, anything. Dogs bark.", 5, "dog\t1\tvell\nbark\t1\tvell\n"},
        {"", 5, ""},
        // Words are found in the language the text was read in: German
        // stems and stop words, and numbers no keywords.
        {"Die Häuser stehen 1954 am Fluss. Das Haus am Fluss steht 1954 leer.", 3,
         "haus\t2\tvell\nfluss\t2\tvell\nsteh\t1\n", "de",
         "Häuser\t2\tvell\nFluss\t2\tvell\nstehen\t1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        brennic::Options o;
        o.language = c.language;
        const std::vector<std::string> texts = {c.text};
        const brennic::Summary s = summarize(texts, o);
        EXPECT_EQ(brennic::view::keyword_lines(brennic::view::keywords(*s.diagnostics, c.n)),
                  c.lines);
        if (!c.words.empty()) {
            EXPECT_EQ(brennic::view::keyword_lines(
                          brennic::view::keywords(*s.diagnostics, c.n, texts), false),
                      c.words);
        }
    }
}

}  // namespace

namespace {

// The page of an input of several megabytes shows only the paragraphs that
// hold a sentence of the extract, says so, and stays a fraction of the
// input's size; every sentence of the extract is on it, and every paragraph
// on it holds one.
TEST(HtmlView, LargeInputIsAbridged) {
    std::string text;
    for (int i = 0; text.size() < (5u << 20); ++i) {
        const std::string n = std::to_string(i);
        text += "Harbour " + n + " keeps ships. The ferry " + n +
                " crosses the river at noon. Gulls wait on the pier.\n\n";
    }
    brennic::Options o;
    o.compression_rate = 0.999f;
    const brennic::Summary s = summarize({text}, o);
    const std::string html = brennic::view::render_html(std::vector<std::string>{text},
                                                        std::vector<std::string>{"big.txt"}, o, s);
    EXPECT_LT(html.size(), text.size() / 4);
    EXPECT_NE(html.find("too large for one page"), std::string::npos);
    const Page page = html_check::parse(html);
    std::map<int, int> chosen_in_paragraph;
    for (const html_check::Sentence& sentence : page.sentences)
        chosen_in_paragraph[sentence.paragraph] += sentence.classes.find('x') != std::string::npos;
    std::size_t chosen = 0;
    for (const auto& [paragraph, count] : chosen_in_paragraph) {
        EXPECT_GT(count, 0) << paragraph;
        chosen += static_cast<std::size_t>(count);
    }
    EXPECT_EQ(chosen, s.sentences.size());

    // An extract too large for a page is cut short, and the page says so.
    o.compression_rate = 0.5f;
    const std::string cut =
        brennic::view::render_html(std::vector<std::string>{text},
                                   std::vector<std::string>{"big.txt"}, o, summarize({text}, o));
    EXPECT_LT(cut.size(), std::size_t{9} << 20);
    EXPECT_NE(cut.find("The page ends here"), std::string::npos);
}

}  // namespace
