// SPDX-License-Identifier: MIT
// How a text's bytes become words: UTF-8 texts by characters, every other
// text byte by byte as before. Through the real executables.
#include <brennic/brennic.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <sstream>

#include "languages/reading.h"
#include "test_support.h"

namespace {

using test_support::TempDir;

// What one run of Brennic.exe on one text gave.
struct RunResult {
    std::string extract;
    std::vector<long long> counts;    // words of each sentence
    std::vector<std::string> stems;   // the word index, in order
    std::vector<std::string> chosen;  // summary_worthy of each sentence
};

RunResult run_brennic(const std::string& text, std::vector<std::string> args,
                      const std::string& encoding = "", bool stub = true) {
    TempDir dir;
    dir.write("text.txt", text);
    std::vector<std::string> argv = {BRENNIC_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    const std::string segmenter_dir =
        stub ? TEST_DATA_DIR "/stub" : std::filesystem::path(TALVEN_EXE).parent_path().string();
    const auto r = test_support::run_process(argv, dir.path().string(),
                                             {"PATH=" + segmenter_dir + ":/usr/bin:/bin",
                                              "BRENNIC_DEBUG=1", "BRENNIC_ENCODING=" + encoding});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    RunResult run;
    run.extract = dir.read("text.sum");
    std::istringstream dump(dir.read("debug.txt"));
    std::string line;
    std::getline(dump, line);
    std::getline(dump, line);
    while (std::getline(dump, line) && !line.empty()) {
        std::istringstream fields(line);
        std::string count, score, mark;
        std::getline(fields, count, '\t');
        std::getline(fields, score, '\t');
        std::getline(fields, mark, '\t');
        run.counts.push_back(std::stoll(count));
        run.chosen.push_back(mark);
    }
    std::getline(dump, line);
    std::getline(dump, line);
    while (std::getline(dump, line) && !line.empty()) {
        run.stems.push_back(line.substr(line.rfind('\t') + 1));
    }
    return run;
}

// One sentence a row: its words as the word index counts them (stems, in
// order of first occurrence), and its condensed line, which is valid UTF-8.
TEST(Utf8Text, SentencesByCharacters) {
    struct Case {
        const char* text;
        long long count;
        std::vector<std::string> stems;
        const char* condensed;
    };
    const Case cases[] = {
        // Typographic punctuation ends words; the apostrophe's s is a word.
        {"The council\u2019s plan \u201cworks\u201d \u2014 everyone agrees\u2026",
         7,
         {"the", "council", "s", "plan", "work", "everyon", "agre"},
         "Council\u2019 plan works\u201d agrees\u2026 "},
        // Accented letters stay inside words, and upper and lower case meet.
        {"Caf\u00e9 owners say the CAF\u00c9 and the caf\u00e9 agree.",
         9,
         {"caf", "owner", "sai", "the", "and", "agre"},
         "Caf\u00e9 owners CAF\u00c9 caf\u00e9 agree. "},
        // A word without ASCII letters is counted under its lower case.
        {"\u0391\u03b8\u03ae\u03bd\u03b1 and \u0391\u0398\u0389\u039d\u0391 meet "
         "\u041c\u043e\u0441\u043a\u0432\u0430.",
         5,
         {"\u03b1\u03b8\u03ae\u03bd\u03b1", "and", "meet", "\u043c\u043e\u0441\u043a\u0432\u0430"},
         "\u0391\u03b8\u03ae\u03bd\u03b1 \u0391\u0398\u0389\u039d\u0391 meet "
         "\u041c\u043e\u0441\u043a\u0432\u0430. "},
        // Ideographs are letters; the ideographic full stop is not.
        {"\u6771\u4eac\u306f\u5927\u304d\u3044\u3002Tokyo grows.",
         3,
         {"\u6771\u4eac\u306f\u5927\u304d\u3044", "tokyo", "grow"},
         "\u6771\u4eac\u306f\u5927\u304d\u3044\u3002 Tokyo grows. "},
        // A combining mark stays in its word; an emoji ends it.
        {"e\u0301te\u0301 fun\U0001F600party",
         3,
         {"te", "fun", "parti"},
         "E\u0301te\u0301 fun\U0001F600 party"},
        // A four-byte character at the end of a sentence, after a stop word.
        {"\u00e9cole is here\U0001F600", 3, {"cole", "is", "here"}, "\u00c9cole \U0001F600 "},
        // Only a letter is upper-cased: \u00ff is none (its upper case,
        // U+0178, would be one).
        {"the\u00ff cats", 2, {"the", "cat"}, "\u00ff cats"},
        // A first character whose upper case is another length in UTF-8
        // (U+0250 upper-cases to U+2C6F).
        {"\u0250bc rises", 2, {"bc", "rise"}, "\u2C6Fbc rises"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RunResult run = run_brennic(std::string(c.text) + "\n", {"-is", "text.txt", "-1"});
        EXPECT_EQ(run.counts, std::vector<long long>{c.count});
        EXPECT_EQ(run.stems, c.stems);
        EXPECT_EQ(run.extract, std::string(c.condensed) + "\n");
        EXPECT_TRUE(brennic::is_valid_utf8(run.extract));
    }
}

// Texts that are not UTF-8, or are ASCII, are read byte by byte, whatever
// bytes from 0x80 up they hold; and either reading can be forced.
TEST(Utf8Text, OtherTextsReadByteByByte) {
    struct Case {
        const char* name;
        std::string text;
        const char* encoding;
        long long count;
        std::vector<std::string> stems;
    };
    const Case cases[] = {
        {"Windows-1252 quotes",
         "The council\x92s plan \x93works\x94.",
         "",
         5,
         {"the", "council", "s", "plan", "work"}},
        {"ISO 8859-1 letters", "Caf\xe9 \xc0\xe0.", "", 2, {"caf", "\xc0\xe0"}},
        {"an overlong slash",
         "Cats\xc0\xaf"
         "dogs.",
         "",
         2,
         {"cat", "dog"}},
        {"a surrogate", "Cats \xed\xa0\x80 dogs.", "", 3, {"cat", "\xed", "dog"}},
        {"a sequence cut short", "Caf\xc3 owners.", "", 2, {"caf", "owner"}},
        {"above U+10FFFF", "Cats \xf4\x90\x80\x80 dogs.", "", 3, {"cat", "\xf4", "dog"}},
        // UTF-8 read byte by byte when asked: 0xC3 is a letter, 0x80 and
        // 0xA0 are not.
        {"forced latin1", "\u00c0\u00e0 owners.", "latin1", 3, {"\xc3", "owner"}},
        // ASCII read as UTF-8 is the same; a stray byte is no letter.
        {"forced utf-8", "Caf\xe9owners.", "utf-8", 2, {"caf", "owner"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult run = run_brennic(c.text + "\n", {"text.txt", "-1"}, c.encoding);
        EXPECT_EQ(run.counts, std::vector<long long>{c.count});
        EXPECT_EQ(run.stems, c.stems);
    }
}

TEST(Utf8Text, BadEncodingSettingFails) {
    TempDir dir;
    dir.write("text.txt", "Cats drink milk.\n");
    const auto r = test_support::run_process(
        {BRENNIC_EXE, "text.txt", "0.5"}, dir.path().string(),
        {"PATH=" TEST_DATA_DIR "/stub:/usr/bin:/bin", "BRENNIC_ENCODING=ebcdic"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\tERROR: BRENNIC_ENCODING is ebcdic: it must be auto, latin1 or utf-8\n");
    EXPECT_FALSE(dir.exists("text.sum"));
}

// In -nM each text is read in its own way: a Windows-1252 text and a UTF-8
// one count "café" as the same word only where each spells it.
TEST(Utf8Text, EachTextOfSeveralReadItsOwnWay) {
    TempDir dir;
    dir.write("a.txt", "\xc0\xe0 news.\n");
    dir.write("b.txt", "\u00c0\u00e0 news.\n");
    const auto r = test_support::run_process(
        {BRENNIC_EXE, "-n2", "a.txt", "b.txt", "0.5"}, dir.path().string(),
        {"PATH=" TEST_DATA_DIR "/stub:/usr/bin:/bin", "BRENNIC_DEBUG=1"});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string dump = dir.read("debug.txt");
    EXPECT_NE(dump.find("\t\xc0\xe0\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\t\u00e0\u00e0\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\n2\t1\tnew\n"), std::string::npos) << dump;
}

// An ASCII text and its typographic twin (’ ‘ “ ” … for ' ' " " ...), with
// the real segmenter, give the same extract once it is mapped back, in
// every mode. Condensed, an ellipsis right after a word keeps one
// character, as "..." keeps its first full stop.
TEST(Utf8Text, TypographicTwinGivesTheSameExtract) {
    const std::string ascii =
        "The harbour council met on Monday. \"We can't wait,\" said the mayor, "
        "'the walls are failing.' Nobody disagreed...\n\n"
        "Fishermen said the storm walls were too low. \"It's the tide,\" one said. "
        "The council's engineers agreed... and then they left.\n\n"
        "A new wall will cost 4 million. The mayor's office said 'soon'. "
        "\"When?\" asked a fisherman. Nobody knew... The harbour waits.\n\n"
        "Storm walls protect the harbour's boats. The council will meet again.\n";
    std::string twin;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        const char c = ascii[i];
        // A quote mark after a space or at a line's start opens.
        const bool closes = i > 0 && !std::isspace(static_cast<unsigned char>(ascii[i - 1]));
        if (c == '\'') {
            twin += closes ? "\u2019" : "\u2018";
        } else if (c == '"') {
            twin += closes ? "\u201d" : "\u201c";
        } else if (ascii.compare(i, 3, "...") == 0) {
            twin += "\u2026";
            i += 2;
        } else {
            twin += c;
        }
    }
    const auto map_back = [](std::string s, bool condensed) {
        const std::pair<std::string, std::string> pairs[] = {{"\u2019", "'"},
                                                             {"\u2018", "'"},
                                                             {"\u201c", "\""},
                                                             {"\u201d", "\""},
                                                             {"\u2026", condensed ? "." : "..."}};
        for (const auto& [from, to] : pairs) {
            for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at))
                s.replace(at, from.size(), to);
        }
        return s;
    };
    const std::vector<std::vector<std::string>> modes = {
        {"text.txt", "0.6"},
        {"-ak", "text.txt", "0.6"},
        {"text.txt", "harbour", "0.7"},
        {"-is", "text.txt", "0.6"},
        {"-is", "-ak", "text.txt", "council\u2019s tide", "0.5"}};
    for (const auto& args : modes) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        const bool condensed = args[0] == "-is";
        const RunResult original = run_brennic(ascii, args, "", false);
        const RunResult typographic = run_brennic(twin, args, "", false);
        EXPECT_FALSE(original.extract.empty());
        EXPECT_EQ(map_back(typographic.extract, condensed), original.extract);
        EXPECT_EQ(typographic.counts, original.counts);
        EXPECT_EQ(typographic.chosen, original.chosen);
        EXPECT_TRUE(brennic::is_valid_utf8(typographic.extract));
    }
}

// brennic-batch reads as Brennic.exe does, told by --encoding or else by
// BRENNIC_ENCODING; its keywords are the stems of the words so read.
TEST(Utf8Text, BatchKeywordsReadAsTold) {
    struct Case {
        std::vector<std::string> args;
        const char* environment;
        const char* keywords;
    };
    const Case cases[] = {
        {{}, "", "\u03b1\u03b8\u03ae\u03bd\u03b1\t2\tvell\ncaf\t1\tvell\n"},
        {{"--encoding=utf-8"}, "latin1", "\u03b1\u03b8\u03ae\u03bd\u03b1\t2\tvell\ncaf\t1\tvell\n"},
        {{}, "latin1", "\xce\t10\tvell\ncaf\t2\tvell\n"},
        {{"--encoding", "LATIN1"}, "", "\xce\t10\tvell\ncaf\t2\tvell\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        TempDir dir;
        dir.write("t.txt",
                  "\u0391\u03b8\u03ae\u03bd\u03b1 caf\u00e9 \u0391\u0398\u0389\u039d\u0391 "
                  "caf\u00e9s.\n");
        std::vector<std::string> argv = {BATCH_EXE, "-l", "en", "--keywords=2", "--stems", "-c"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        argv.push_back("t.txt");
        const auto r = test_support::run_process(
            argv, dir.path().string(), {std::string("BRENNIC_ENCODING=") + c.environment});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.keywords);
    }
}

// The library reads as the program does, and can be told how.
TEST(Utf8Text, LibraryEncodingOption) {
    const std::string text = "Caf\u00e9 owners say caf\u00e9s thrive. Rain falls.";
    EXPECT_EQ(brennic::reading_of(text, brennic::Encoding::automatic), brennic::Encoding::utf8);
    EXPECT_EQ(brennic::reading_of("plain", brennic::Encoding::automatic),
              brennic::Encoding::latin1);
    EXPECT_EQ(brennic::word_spans("Caf\u00e9 x").size(), 2u);
    EXPECT_EQ(brennic::word_spans("Caf\u00e9 x", brennic::Encoding::latin1)[0].length, 4u);
    EXPECT_EQ(brennic::stem("CAF\u00c9S"), "s");
    EXPECT_EQ(brennic::stem("\u00c0\u00e0"), "\u00e0\u00e0");
    EXPECT_EQ(brennic::stem("\u00c0\u00e0", brennic::Encoding::latin1), "\u00c0\u00e0");
    brennic::Options o;
    o.compression_rate = -1;
    o.condense = true;
    o.diagnostics = true;
    const brennic::Summary utf8 = brennic::summarize(text, o);
    EXPECT_EQ(utf8.diagnostics->sentences[0].words, 5);
    o.encoding = brennic::Encoding::latin1;
    const brennic::Summary latin1 = brennic::summarize(text, o);
    EXPECT_EQ(latin1.diagnostics->sentences[0].words, 6);
    for (const auto& [name, e] : {std::pair{"auto", brennic::Encoding::automatic},
                                  {"LATIN1", brennic::Encoding::latin1},
                                  {"utf-8", brennic::Encoding::utf8},
                                  {"UTF8", brennic::Encoding::utf8}}) {
        EXPECT_EQ(brennic::parse_encoding(name), e) << name;
    }
    EXPECT_EQ(brennic::parse_encoding("cp1252"), std::nullopt);
}

}  // namespace
