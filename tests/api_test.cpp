// SPDX-License-Identifier: MIT
// The public library against Brennic.exe: the same extracts from the same
// bytes, in any number of threads, with diagnostics equal to the debug dump.
#include <brennic/brennic.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <thread>

#include "brennic/command_line.h"
#include "brennic/run_state.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

const fs::path kGolden = fs::path(TEST_DATA_DIR) / "golden";
const fs::path kExamples = fs::path(TEST_DATA_DIR).parent_path().parent_path() / "examples";
const std::string kPath = "PATH=" + fs::path(TALVEN_EXE).parent_path().string() + ":/usr/bin:/bin";

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) (out += line) += '\n';
    return out;
}

// A Brennic.exe command line (without the program) as library calls.
struct Call {
    std::vector<std::string> texts;
    brennic::Options options;
};

Call call_for(const std::vector<std::string>& args, const fs::path& dir) {
    std::vector<const char*> argv = {"Brennic.exe"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    const auto cl = brennic::parse_command_line(static_cast<int>(argv.size()), argv.data());
    if (!cl) throw std::runtime_error("bad command line");
    Call call;
    for (const std::string& name : cl->texts) call.texts.push_back(slurp(dir / name));
    call.options.condense = cl->test_is;
    call.options.mean = cl->test_ak;
    call.options.query = cl->query;
    call.options.compression_rate = brennic::parse_rate(args.back());
    return call;
}

// Brennic.exe's extract and debug dump for args, run on the texts in a
// scratch directory.
std::pair<std::string, std::string> run_brennic(const std::vector<std::string>& args,
                                                const std::vector<std::string>& texts) {
    TempDir dir;
    for (std::size_t i = 0; i < texts.size(); ++i)
        dir.write("t" + std::to_string(i) + ".txt", texts[i]);
    std::vector<std::string> argv = {BRENNIC_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r = test_support::run_process(argv, dir.path().string(), {kPath, "BRENNIC_DEBUG=1"});
    if (r.status != 0) throw std::runtime_error("Brennic.exe failed: " + r.out + r.err);
    const std::string sum =
        texts.size() > 1 ? "multidoc-t" + std::to_string(texts.size() - 1) : "t0";
    return {dir.read(sum + ".sum"), dir.read("debug.txt")};
}

// The debug dump, written from the diagnostics.
std::string dump(const brennic::Diagnostics& d) {
    std::string out = "NUMBER_OF_WORDS, SCORE, SUMMARY_WORTHY & SENTENCE\n\n";
    char buf[128];
    for (const auto& s : d.sentences) {
        std::snprintf(buf, sizeof buf, "%lld\t%f\t%d\t", s.words, static_cast<double>(s.score),
                      s.in_extract ? 1 : 0);
        (out += buf) += s.text + "\n";
    }
    out += "\nFREQUENCY, VELL_WORD & WORD\n\n";
    for (const auto& w : d.stems) {
        std::snprintf(buf, sizeof buf, "%d\t%d\t", w.frequency, w.vell_word ? 1 : 0);
        (out += buf) += w.stem + "\n";
    }
    std::snprintf(buf, sizeof buf,
                  "\nSIZE OF TEXT = %lld words\nMAXIMUM SIZE OF EXTRACT = %d words\n", d.text_words,
                  d.extract_size);
    out += buf;
    std::snprintf(buf, sizeof buf, "COMPRESSION RATE = %f\n\nTHRESHOLD = %f",
                  static_cast<double>(d.compression_rate), static_cast<double>(d.threshold));
    return out + buf;
}

// Random texts of words, abbreviations, numbers, quotes, line breaks and
// the odd stray byte, with Brennic.exe command lines to summarize them.
std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> random_cases() {
    static const char* const pieces[] = {
        "The",  "harbour",   "ferry",     "council",     "Mr.",      "Dr.",     "U.S.",
        "said", "engineers", "boat",      "river",       "3.14",     "e.g.",    "and",
        "of",   "\"Yes",     "no.\"",     "(see",        "it)",      "Velport", "mill",
        "year", "2023",      "\xE9t\xE9", "caf\xC3\xA9", "\x93Q\x94"};
    static const char* const ends[] = {".", "!", "?", "...", ".\n\n", ";", ",", ""};
    std::mt19937 rng(20261207);
    std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases;
    for (int c = 0; c < 24; ++c) {
        const int documents = c % 4 == 3 ? 2 : 1;
        std::vector<std::string> texts;
        for (int d = 0; d < documents; ++d) {
            std::string text;
            const int words = 20 + static_cast<int>(rng() % 300);
            for (int w = 0; w < words; ++w) {
                text += pieces[rng() % std::size(pieces)];
                text += rng() % 6 == 0 ? ends[rng() % std::size(ends)] : "";
                text += rng() % 9 == 0 ? "\n" : " ";
            }
            texts.push_back(text);
        }
        std::vector<std::string> args;
        if (c % 3 == 0) args.push_back("-is");
        if (c % 5 == 0) args.push_back("-ak");
        if (documents > 1) args.push_back("-n2");
        for (int d = 0; d < documents; ++d) args.push_back("t" + std::to_string(d) + ".txt");
        if (c % 4 == 1) args.push_back("river ferry");
        const char* rates[] = {"0.7", "0.5", "40", "-1", "0", "0x1p-1"};
        args.push_back(rates[c % std::size(rates)]);
        cases.emplace_back(args, texts);
    }
    return cases;
}

TEST(Api, GoldenCasesAndExamplesMatchBrennicExe) {
    std::ifstream in(kGolden / "cases.tsv");
    int checked = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name;
        std::getline(fields, name, '\t');
        std::vector<std::string> args;
        for (std::string f; std::getline(fields, f, '\t');) args.push_back(f);
        SCOPED_TRACE(name);
        // The stored golden extracts take each line as a sentence; here the
        // texts go through the bundled segmenter, in Brennic.exe as in the
        // library.
        const Call call = call_for(args, kGolden);
        const brennic::Summary s = brennic::summarize(call.texts, call.options);
        std::vector<std::string> renamed = args;
        for (std::size_t i = 0, t = 0; i < renamed.size(); ++i) {
            if (renamed[i].ends_with(".txt")) renamed[i] = "t" + std::to_string(t++) + ".txt";
        }
        EXPECT_EQ(joined(s.sentences), run_brennic(renamed, call.texts).first);
        ++checked;
    }
    EXPECT_GE(checked, 30);

    const std::string queries = slurp(kExamples / "expected" / "queries.tsv");
    for (const char* name : {"sample", "glass-museum", "ferry-report"}) {
        SCOPED_TRACE(name);
        const std::size_t at = queries.find(std::string(name) + "\t");
        ASSERT_NE(at, std::string::npos);
        const std::size_t from = at + std::string(name).size() + 1;
        const std::string query = queries.substr(from, queries.find('\n', from) - from);
        const std::string text = slurp(kExamples / (std::string(name) + ".txt"));
        brennic::Options o;
        EXPECT_EQ(joined(brennic::summarize(text, o).sentences),
                  slurp(kExamples / "expected" / (std::string(name) + ".plain.sum")));
        o.query = query;
        EXPECT_EQ(joined(brennic::summarize(text, o).sentences),
                  slurp(kExamples / "expected" / (std::string(name) + ".query.sum")));
        o.query.reset();
        o.condense = true;
        EXPECT_EQ(joined(brennic::summarize(text, o).sentences),
                  slurp(kExamples / "expected" / (std::string(name) + ".is.sum")));
    }
}

// Extracts, diagnostics (as the debug dump) and sentence spans on random texts.
TEST(Api, RandomTextsMatchBrennicExe) {
    for (const auto& [args, texts] : random_cases()) {
        std::string trace;
        for (const std::string& a : args) trace += a + " ";
        SCOPED_TRACE(trace);
        TempDir dir;
        for (std::size_t i = 0; i < texts.size(); ++i)
            dir.write("t" + std::to_string(i) + ".txt", texts[i]);
        Call call = call_for(args, dir.path());
        call.options.diagnostics = true;
        const brennic::Summary s = brennic::summarize(call.texts, call.options);
        const auto [extract, debug_dump] = run_brennic(args, texts);
        EXPECT_EQ(joined(s.sentences), extract);
        ASSERT_TRUE(s.diagnostics.has_value());
        EXPECT_EQ(dump(*s.diagnostics), debug_dump);

        for (std::size_t d = 0; d < texts.size(); ++d) {
            const std::vector<std::string> sentences = brennic::segment(texts[d]);
            const std::vector<brennic::Span> spans = brennic::segment_spans(texts[d]);
            ASSERT_EQ(spans.size(), sentences.size());
            for (std::size_t k = 0; k < spans.size(); ++k) {
                std::string collapsed;
                for (char c : texts[d].substr(spans[k].offset, spans[k].length)) {
                    const bool white = c == ' ' || (c >= '\t' && c <= '\r');
                    if (!white) {
                        collapsed += c;
                    } else if (collapsed.back() != ' ') {
                        collapsed += ' ';
                    }
                }
                EXPECT_EQ(collapsed, sentences[k]);
            }
        }
        // Each sentence report points at the segment it was read from.
        for (const auto& r : s.diagnostics->sentences) {
            if (call.options.condense) break;
            EXPECT_EQ(r.text, brennic::segment(call.texts[r.document]).at(r.segment));
        }
    }
}

// A terminator alone at the start of a line is written right after the
// word before it; its sentence's span reaches over the line break.
TEST(Api, SpansOfDetachedTerminators) {
    const std::string text = "Ask us for pricing\n.\n\nPrices\n. Next one";
    EXPECT_EQ(brennic::segment(text),
              (std::vector<std::string>{"Ask us for pricing.", "Prices.", "Next one"}));
    EXPECT_EQ(brennic::segment_spans(text),
              (std::vector<brennic::Span>{{0, 20}, {22, 8}, {31, 8}}));
}

TEST(Api, ThreadsGiveTheSequentialResults) {
    std::vector<std::string> texts;
    for (const auto& [args, case_texts] : random_cases()) texts.push_back(case_texts[0]);
    for (const char* name : {"sample", "glass-museum", "ferry-report"})
        texts.push_back(slurp(kExamples / (std::string(name) + ".txt")));
    brennic::Options o;
    o.query = "river ferry engineers";
    std::vector<std::string> expected;
    for (const std::string& t : texts)
        expected.push_back(joined(brennic::summarize(t, o).sentences));

    std::vector<std::vector<std::string>> got(8);
    {
        std::vector<std::jthread> threads;
        for (auto& mine : got) {
            threads.emplace_back([&] {
                for (int round = 0; round < 10; ++round) {
                    for (const std::string& t : texts)
                        mine.push_back(joined(brennic::summarize(t, o).sentences));
                }
            });
        }
    }
    for (const auto& mine : got) {
        ASSERT_EQ(mine.size(), 10 * texts.size());
        for (std::size_t i = 0; i < mine.size(); ++i)
            EXPECT_EQ(mine[i], expected[i % texts.size()]);
    }

    const std::vector<std::string_view> views(texts.begin(), texts.end());
    const std::vector<brennic::Outcome> many = brennic::summarize_many(views, o, 8);
    ASSERT_EQ(many.size(), texts.size());
    for (std::size_t i = 0; i < many.size(); ++i) {
        ASSERT_TRUE(many[i]) << *many[i].error;
        EXPECT_EQ(joined(many[i].summary.sentences), expected[i]);
    }
    const std::vector<brennic::Summary> all = brennic::summarize_all(views, o, 3);
    for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(joined(all[i].sentences), expected[i]);
}

TEST(Api, FailuresAreErrors) {
    EXPECT_THROW(brennic::summarize(std::span<const std::string>(), brennic::Options{}),
                 brennic::Error);
    // An empty text is no failure: its extract is empty.
    EXPECT_TRUE(brennic::summarize(std::string_view(), brennic::Options{}).sentences.empty());
}

}  // namespace

namespace {

// A cancel flag that stays clear changes nothing, also for a text the
// segmenter hands over in several parts; one that is set stops single
// calls and lists of texts alike. A NaN rate is rate 0, as parse_rate reads
// "nan", and a negative one gives the vell sentence alone with an extract
// size of 0.
TEST(Api, CancelFlagAndOddRates) {
    std::string big;
    const std::string sample = slurp(kExamples / "sample.txt");
    while (big.size() < (3u << 20)) big += sample + "\n\n";
    std::atomic<bool> cancel{false};
    brennic::Options plain;
    brennic::Options watched;
    watched.cancel = &cancel;
    EXPECT_EQ(brennic::summarize(big, plain).sentences, brennic::summarize(big, watched).sentences);
    cancel = true;
    EXPECT_THROW(brennic::summarize(big, watched), brennic::Cancelled);
    const std::vector<std::string_view> views(3, sample);
    EXPECT_THROW(brennic::summarize_many(views, watched, 2), brennic::Cancelled);

    struct Rate {
        float rate;
        float same_as;
    };
    for (const Rate r : {Rate{std::numeric_limits<float>::quiet_NaN(), 0.0f},
                         Rate{brennic::parse_rate("nan"), 0.0f}, Rate{-1.0f, -5.0f}}) {
        brennic::Options a;
        a.diagnostics = true;
        a.compression_rate = r.rate;
        brennic::Options b = a;
        b.compression_rate = r.same_as;
        const brennic::Summary x = brennic::summarize(sample, a);
        const brennic::Summary y = brennic::summarize(sample, b);
        EXPECT_EQ(x.sentences, y.sentences) << r.rate;
        // The size is the rate's, as the debug dump shows it, even past the text.
        const float rate = std::isnan(r.rate) ? 0.0f : r.rate;
        EXPECT_EQ(x.diagnostics->extract_size,
                  brennic::extract_size(x.diagnostics->text_words, rate))
            << r.rate;
    }
}

}  // namespace
