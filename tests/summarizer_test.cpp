// SPDX-License-Identifier: MIT
// The text model and the summarization stages, driven through the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "brennic/failure.h"
#include "brennic/run_state.h"

namespace brennic {
namespace {

const char* const kWorkedExample =
    "Cats drink milk.\nThe dog eats fish.\nDogs drink milk too.\nA cat sleeps.\n";

std::vector<std::string> sentence_texts(const RunState& state) {
    std::vector<std::string> texts;
    state.sentences.walk(
        [&](const block_sentence&, const SentenceText& t) { texts.emplace_back(t.sentence()); });
    return texts;
}

std::vector<long long> sentence_words(const RunState& state) {
    std::vector<long long> words;
    state.sentences.walk([&](const block_sentence&, const SentenceText& t) {
        words.push_back(t.number_of_words());
    });
    return words;
}

// The stems with their frequencies, in index order.
std::vector<std::pair<std::string, int>> stems(const WordIndex& index) {
    std::vector<std::pair<std::string, int>> result;
    for (WordId id = 0; id < index.size(); ++id)
        result.emplace_back(index.word(id), static_cast<int>(index[id].frequency));
    return result;
}

std::vector<std::string> vell_words(const RunState& state) {
    std::vector<std::string> vell;
    for (WordId id = 0; id < state.words.size(); ++id)
        if (state.words[id].vell_word) vell.emplace_back(state.words.word(id));
    return vell;
}

std::vector<float> scores(const RunState& state) {
    std::vector<float> result;
    for (const block_sentence& s : state.sentences) result.push_back(s.score);
    return result;
}

// The positions (from 1) of the marked sentences.
std::vector<int> marked(const RunState& state) {
    std::vector<int> result;
    for (std::size_t i = 0; i < state.sentences.size(); ++i) {
        if (state.sentences[i].summary_worthy) result.push_back(static_cast<int>(i) + 1);
    }
    return result;
}

// Reads a sentence file's content and runs scoring and selection.
void summarize(RunState& state, const std::string& seg, float rate, const char* query = nullptr,
               bool ak = false, bool is = false) {
    read_sentences(state, seg);
    state.compression_rate = rate;
    state.test_ak = ak ? TRUE : FALSE;
    state.test_is = is ? TRUE : FALSE;
    if (query != nullptr) {
        state.test_query = TRUE;
        state.query = query;
    }
    if (is) intrasumm(state);
    score_sentences(state);
    select_sentences(state);
}

TEST(WordIndex, KeepsInsertionOrderAndCounts) {
    WordIndex index;
    for (const char* w : {"cat", "apple", "dog", "cat"}) index.put_word(w);
    ASSERT_EQ(index.size(), 3u);
    EXPECT_EQ(index.word(0), "cat");
    EXPECT_EQ(index.word(1), "apple");
    EXPECT_EQ(index.word(2), "dog");
    EXPECT_EQ(index.get_freq("cat"), 2);
    EXPECT_EQ(index.get_freq("apple"), 1);
    for (int i = 0; i < 4; ++i) index.put_word("apple");
    EXPECT_EQ(index.get_freq("apple"), 5);
    EXPECT_EQ(index.is_vellword("dog"), FALSE);
    index.make_vellword("dog", TRUE);
    EXPECT_EQ(index.is_vellword("dog"), TRUE);
    EXPECT_EQ(index.is_vellword("cat"), FALSE);
}

TEST(WordIndex, MissingWordFailsTheRun) {
    WordIndex index;
    index.put_word("cat");
    for (auto op : {+[](WordIndex& i) { i.get_freq("dog"); },
                    +[](WordIndex& i) { i.make_vellword("dog", TRUE); },
                    +[](WordIndex& i) { i.is_vellword("dog"); }}) {
        try {
            op(index);
            ADD_FAILURE() << "no failure";
        } catch (const Failure& f) { EXPECT_STREQ(f.what(), "word dog not found!"); }
    }
}

TEST(WordIndex, SortedInputStaysFast) {
    // A sorted word list is the worst case of an unbalanced tree; hashing
    // keeps it linear.
    WordIndex index;
    for (int i = 0; i < 200000; ++i) index.put_word(std::to_string(1000000 + i).append("w"));
    EXPECT_EQ(index.size(), 200000u);
    EXPECT_EQ(index.get_freq("1199999w"), 1);
}

TEST(Reader, SplitsLinesAsTheSentenceFileHoldsThem) {
    struct Case {
        const char* name;
        std::string seg;
        std::vector<std::string> sentences;
        std::vector<long long> words;
    };
    const Case cases[] = {
        {"last line without line end", "One two.\nThree four", {"One two.", "Three four"}, {2, 2}},
        {"empty file", "", {}, {}},
        {"empty and blank lines skipped", "A b.\n\n \t \n\nC d.\n", {"A b.", "C d."}, {2, 2}},
        {"first line of blanks kept", "  \nA cat sat.\n", {"  ", "A cat sat."}, {0, 3}},
        {"leading blanks of later lines skipped",
         "X.\n  A cat sat.\n",
         {"X.", "A cat sat."},
         {1, 3}},
        {"leading blanks of the first line kept", "  A cat sat.\n", {"  A cat sat."}, {3}},
        {"trailing blanks kept", "A b. \t\n", {"A b. \t"}, {2}},
        {"stop words counted", "The cat, the hat.\n", {"The cat, the hat."}, {4}},
        {"punctuation only", "***\n", {"***"}, {0}},
        {"0xFF is ordinary",
         "a\xFF"
         "b\nc\n",
         {"a\xFF"
          "b",
          "c"},
         {2, 1}},
        {"CRLF line ends", "One.\r\nTwo.\r\n\r\nThree\r", {"One.", "Two.", "Three\r"}, {1, 1, 1}},
        {"NUL bytes dropped before splitting", std::string("ab\0cd ef\n", 9), {"abcd ef"}, {2}},
        {"line of NULs is empty", std::string("\0\0\nx\n", 5), {"x"}, {1}},
        {"leading newline", "\nA b\n", {"A b"}, {2}},
    };
    for (const Case& c : cases) {
        RunState state;
        read_sentences(state, c.seg);
        EXPECT_EQ(sentence_texts(state), c.sentences) << c.name;
        const std::vector<long long> words = sentence_words(state);
        long long total = 0;
        for (long long n : words) total += n;
        EXPECT_EQ(words, c.words) << c.name;
        EXPECT_EQ(state.size_text, total) << c.name;
    }
}

TEST(Reader, CountsEveryStemAndKeepsFirstOccurrenceOrder) {
    RunState state;
    read_sentences(state, kWorkedExample);
    read_sentences(state, "Cats again.\n");
    const std::vector<std::pair<std::string, int>> words = stems(state.words);
    const std::vector<std::pair<std::string, int>> expected = {
        {"cat", 3},  {"drink", 2}, {"milk", 2}, {"the", 1},   {"dog", 2},   {"eat", 1},
        {"fish", 1}, {"too", 1},   {"a", 1},    {"sleep", 1}, {"again", 1},
    };
    EXPECT_EQ(words, expected);
    EXPECT_EQ(state.size_text, 16);
    EXPECT_EQ(state.sentences.size(), 5u);
}

TEST(Reader, KeepsSentencesOfAnyLength) {
    RunState state;
    std::string line;
    for (int i = 0; i < 100000; ++i) line += "word ";
    line += std::string(5000, 'x');
    read_sentences(state, line);
    ASSERT_EQ(state.sentences.size(), 1u);
    EXPECT_EQ(sentence_texts(state), std::vector<std::string>{line});
    EXPECT_EQ(sentence_words(state), std::vector<long long>{100001});
    EXPECT_EQ(state.words.get_freq("word"), 100000);
    EXPECT_EQ(state.words.get_freq(std::string(5000, 'x')), 1);
}

TEST(Scoring, WorkedExample) {
    RunState state;
    summarize(state, kWorkedExample, 0.7f);
    EXPECT_EQ(scores(state), (std::vector<float>{6, 4, 6, 3}));
    EXPECT_EQ(state.p_vellsent, &state.sentences[0]);
    EXPECT_EQ(state.threshold, 4.75f);
    EXPECT_EQ(state.size_text, 14);
    EXPECT_EQ(state.size_extract, 4);
    EXPECT_EQ(vell_words(state), (std::vector<std::string>{"cat", "drink", "milk"}));
}

TEST(Scoring, AveragedWithAk) {
    RunState state;
    summarize(state, kWorkedExample, 0.7f, nullptr, true);
    EXPECT_EQ(scores(state), (std::vector<float>{2.0f, 4.0f / 3.0f, 2.0f, 1.5f}));
    EXPECT_EQ(state.threshold, 1.7083334f);
    EXPECT_EQ(state.p_vellsent, &state.sentences[0]);
}

TEST(Scoring, QueryChoosesTheVellSentence) {
    RunState state;
    summarize(state, kWorkedExample, 0.7f, "fish");
    EXPECT_EQ(state.p_vellsent, &state.sentences[1]);
    EXPECT_EQ(state.sentences[1].score, 7.0f);
    EXPECT_EQ(state.threshold, 4.75f);
    EXPECT_EQ(vell_words(state), (std::vector<std::string>{"dog", "eat", "fish"}));
}

TEST(Scoring, QueryWithoutSharedStemIsIgnored) {
    for (const char* query : {"the and of", "zebra", ""}) {
        RunState state;
        summarize(state, kWorkedExample, 0.7f, query);
        EXPECT_EQ(state.p_vellsent, &state.sentences[0]) << query;
        EXPECT_EQ(state.sentences[0].score, 6.0f) << query;
    }
}

TEST(Scoring, EdgeCases) {
    {
        RunState state;  // no content words anywhere
        summarize(state, "The and of.\nIt is.\n", 0.5f, nullptr, true);
        EXPECT_EQ(scores(state), (std::vector<float>{0, 0}));
        EXPECT_EQ(state.p_vellsent, &state.sentences[0]);
        EXPECT_EQ(marked(state), (std::vector<int>{1}));
    }
    {
        RunState state;  // a repeated stem adds its frequency per occurrence
        summarize(state, "cat cat cat.\ndog.\n", 0.0f);
        EXPECT_EQ(scores(state), (std::vector<float>{9, 1}));
    }
    {
        RunState state;  // a single sentence scores the threshold
        summarize(state, "Lonely words here.\n", 0.5f);
        EXPECT_EQ(state.threshold, state.sentences[0].score);
        EXPECT_EQ(marked(state), (std::vector<int>{1}));
    }
    {
        RunState state;  // ties for the highest cosine: the earliest wins
        summarize(state, "Cats sleep.\nFish swim.\nFish swim.\n", 0.0f, "fish");
        EXPECT_EQ(state.p_vellsent, &state.sentences[1]);
    }
}

TEST(Scoring, EmptyInputScoresNothing) {
    RunState state;
    summarize(state, "", 0.5f);
    EXPECT_EQ(state.p_vellsent, nullptr);
    EXPECT_EQ(state.threshold, 0.0f);
    EXPECT_TRUE(marked(state).empty());
}

TEST(ExtractSize, FollowsTheRate) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int max = std::numeric_limits<int>::max();
    struct Case {
        long long words;
        float rate;
        int expected;
    };
    // A negative rate leaves more than the text, and a number of words may
    // pass it: selection, not the size, keeps the extract within the text.
    const Case cases[] = {
        {100, 0.7f, 30},
        {100, 0.3f, 69},
        {10, 0.1f, 8},
        {14, 0.5f, 7},
        {14, 0.0f, 14},
        {14, 0.7f, 4},
        {14, 1.0f, 1},
        {14, 12.7f, 12},
        {14, -1.0f, 28},
        {14, -0.5f, 21},
        {14, inf, max},
        {14, 1e12f, max},
        {14, -inf, max},
        {0, -inf, 0},
        {0, 0.5f, 0},
        {0, 2.5f, 2},
        {14, nan, 0},
        {14, 40.0f, 40},
        {3000000000LL, 1e12f, max},
        {3000000000LL, -1.0f, max},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(extract_size(c.words, c.rate), c.expected) << c.words << " at " << c.rate;
    }
}

TEST(Cosine, WorkedValues) {
    RunState state;
    const char* sentence = "The dog eats fish.";
    struct Case {
        const char* query;
        float expected;
    };
    const Case cases[] = {
        {"fish", 0.57735026f},
        {"fish fish", 0.57735026f},
        {"fish dog", 0.8164966f},
        {"fish dog dog", 0.7745967f},
        {"dog eats fish", 1.0f},
        {"Fish", 0.57735026f},
        {"fishes", 0.57735026f},
        {"the of and", 0.0f},
        {"", 0.0f},
        {"cats", 0.0f},
    };
    for (const Case& c : cases) EXPECT_EQ(cosine(state, c.query, sentence), c.expected) << c.query;
    EXPECT_EQ(cosine(state, "fish", "Cats drink milk."), 0.0f);
    EXPECT_EQ(cosine(state, "fish", ""), 0.0f);
}

TEST(Selection, WorkedExample) {
    struct Case {
        float rate;
        const char* query;
        std::vector<int> extract;
    };
    const Case cases[] = {
        {0.7f, nullptr, {1}},   {0.5f, nullptr, {1, 3}}, {0.9f, nullptr, {1}},
        {-1.0f, nullptr, {1}},  {0.0f, nullptr, {1, 3}}, {0.7f, "fish", {2}},
        {0.4f, "fish", {2, 3}},
    };
    for (const Case& c : cases) {
        RunState state;
        summarize(state, kWorkedExample, c.rate, c.query);
        EXPECT_EQ(marked(state), c.extract) << c.rate << " " << (c.query ? c.query : "");
    }
}

TEST(Selection, TrimsLowestScoresAndLaterTiesFirst) {
    // Scores: the vell sentence is first; "apple" sentences are worthy.
    const char* seg =
        "apple apple apple pear.\n"  // vell sentence
        "apple pear.\n"
        "plum.\n"
        "apple pear.\n"
        "apple apple.\n"
        "kiwi.\n"
        "lime.\n"
        "grape.\n";
    struct Case {
        float rate;
        std::vector<int> extract;
    };
    // Words: 4, 2, 1, 2, 2, 1, 1, 1; scores 24, 10, 1, 10, 14, 1, 1, 1 (mean 7.75).
    const Case cases[] = {
        {0.0f, {1, 2, 4, 5}},  // all 10 marked words fit
        {9.0f, {1, 2, 5}},     // the later of the tied 9s goes first
        {7.0f, {1, 5}},       {5.0f, {1}},
        {2.0f, {1}},  // the vell sentence stays although it is larger
        {-0.5f, {1}},
    };
    for (const Case& c : cases) {
        RunState state;
        summarize(state, seg, c.rate);
        EXPECT_EQ(marked(state), c.extract) << c.rate;
    }
}

// Trimming removes the lowest score first and, of equal scores, the later
// sentence first, as a stable sort of the marked sentences would order them;
// here on scores that tie, differ in their last bit only, or are zeros of
// either sign, and on sentences without words.
TEST(Selection, TrimsInTheOrderOfASortByScore) {
    const float pool[] = {0.0f, -0.0f, 1.0f, 2.0f, std::nextafter(2.0f, 3.0f), 2.015625f, 1e6f};
    std::mt19937 rng(5);
    for (int round = 0; round < 500; ++round) {
        std::string seg;
        const int n = 1 + static_cast<int>(rng() % 40);
        for (int k = 0; k < n; ++k) {
            const int words = static_cast<int>(rng() % 4);
            seg += words == 0 ? "..." : "x";
            for (int w = 1; w < words; ++w) seg += " x";
            seg += ".\n";
        }
        RunState state;
        read_sentences(state, seg);
        state.compression_rate = 0.5f;
        state.threshold = std::numeric_limits<float>::infinity();  // no new marks
        for (block_sentence& s : state.sentences) {
            s.summary_worthy = rng() % 3 != 0 ? TRUE : FALSE;
            s.score = pool[rng() % std::size(pool)];
        }
        const std::vector<long long> words = sentence_words(state);
        std::vector<std::size_t> order;
        long long counter = 0;
        for (std::size_t i = 0; i < state.sentences.size(); ++i) {
            if (state.sentences[i].summary_worthy) {
                order.push_back(i);
                counter += words[i];
            }
        }
        state.size_extract = static_cast<int>(rng() % static_cast<unsigned>(counter + 2));
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const float sa = state.sentences[a].score;
            const float sb = state.sentences[b].score;
            return sa != sb ? sa < sb : a > b;
        });
        std::vector<int> expected;
        std::vector<bool> removed(state.sentences.size());
        for (auto it = order.begin(); counter > state.size_extract && it != order.end(); ++it) {
            removed[*it] = true;
            counter -= words[*it];
        }
        for (std::size_t i = 0; i < state.sentences.size(); ++i) {
            if (state.sentences[i].summary_worthy && !removed[i])
                expected.push_back(static_cast<int>(i) + 1);
        }
        select_sentences(state);
        ASSERT_EQ(marked(state), expected) << seg << " size " << state.size_extract;
    }
}

// A budget in sentences is met: trimmed down to it, or filled up to it with
// the best of the other sentences (the higher score, then the earlier),
// while their words fit the size in words; never filled where that size
// removed a worthy sentence, nor for a negative rate.
TEST(Selection, SentenceBudgetIsTrimmedOrFilled) {
    const char* fruit =
        "apple apple apple pear.\napple pear.\nplum.\napple pear.\n"
        "apple apple.\nkiwi.\nlime.\ngrape.\n";
    const char* cat = "the cat cat cat.\nthe dog.\nthe hat hat.\n";
    struct Case {
        const char* seg;
        float rate;
        std::size_t budget;
        std::vector<int> extract;
    };
    // fruit: words 4, 2, 1, 2, 2, 1, 1, 1; scores 24, 10, 1, 10, 14, 1, 1, 1;
    // worthy 1, 2, 4, 5. cat: scores 9, 1, 4; worthy 1.
    const Case cases[] = {
        {fruit, 0.0f, 2, {1, 5}},
        {fruit, 0.0f, 4, {1, 2, 4, 5}},
        {fruit, 0.0f, 5, {1, 2, 3, 4, 5}},            // equal scores: the earlier first
        {fruit, 0.0f, 20, {1, 2, 3, 4, 5, 6, 7, 8}},  // no more than the text has
        {fruit, 12.0f, 6, {1, 2, 3, 4, 5, 6}},        // 12 words
        {fruit, 11.0f, 6, {1, 2, 3, 4, 5}},           // the next would be the 12th word
        {fruit, 9.0f, 6, {1, 2, 5}},                  // trimmed: no filling
        {fruit, -1.0f, 3, {1}},
        {cat, 0.0f, 2, {1, 3}},  // the higher score, though later
        {cat, 0.0f, 0, {1}},     // no budget
    };
    for (const Case& c : cases) {
        RunState state;
        state.sentence_budget = c.budget;
        summarize(state, c.seg, c.rate);
        EXPECT_EQ(marked(state), c.extract) << c.seg << c.rate << " " << c.budget;
    }
}

TEST(Selection, WorthyNeedsAContentWordOfTheVellSentence) {
    // "hat" sentences score above the mean but share nothing with the vell
    // sentence; a stop word of the vell sentence does not count.
    RunState state;
    summarize(state, "the cat cat cat.\nthe hat hat.\nthe hat hat.\nthe dog.\n", 0.0f);
    EXPECT_EQ(marked(state), (std::vector<int>{1}));
}

TEST(Condensation, DeletesStopWords) {
    RunState state;
    const std::pair<const char*, const char*> cases[] = {
        {"Cats drink milk.", "Cats drink milk. "},
        {"The dog eats fish.", "Dog eats fish. "},
        {"Dogs drink milk too.", "Dogs drink milk . "},
        {"A cat sleeps.", "Cat sleeps. "},
        {"Rain, snow  and ice", "Rain, snow ice"},
        {"It is.", ". "},
        {"the and of  it", ""},
        {"THE Cat", "Cat"},
        {"  ...leading, punctuation", "Leading, punctuation"},
        {"cats don't", "Cats don' "},
        {"x\ty", "\t "},
        {"\xE9t\xE9 chaud", "\xE9t\xE9 chaud"},
        {"milk!!! now", "Milk! "},
    };
    for (const auto& [sentence, expected] : cases) {
        EXPECT_EQ(condense(state, sentence), expected) << sentence;
    }
}

// Outside English only whole stop words go: numbers, signs and the text
// between the words kept stay as they were.
TEST(Condensation, OtherLanguagesDeleteWholeStopWords) {
    struct Case {
        const char* language;
        const char* sentence;
        const char* expected;
    };
    const Case cases[] = {
        {"de", "Um 3.000 vor Christus bauten sie eine Mauer.", "3.000 Christus bauten Mauer."},
        {"de", "Die Stadt (in der Mitte) wuchs, sagte er.", "Stadt (Mitte) wuchs, sagte."},
        {"de", "\u201EDie Welt\u201C ist (und) gro\u00DF.", "\u201EWelt\u201C gro\u00DF."},
        {"de", "Im Jahr 1954, 1954 und 4\u00B0 kam er.", "Jahr 1954, 1954 4\u00B0 kam."},
        {"de", "Preis:  12,50 \u20AC  oder Geld", "Preis:  12,50 \u20AC  Geld"},
        {"de", "und oder aber", ""},
        {"de", "und/oder Hund", "Und/oder Hund"},
        {"fr", "Il a vu l\u2019homme et l'enfant \u00AB dans la maison \u00BB.",
         "A vu homme enfant \u00AB maison \u00BB."},
        {"fr", "Il a vu l\x92homme de Paris.", "A vu homme Paris."},
        {"ru", "\u041E\u043D \u043A\u0443\u043F\u0438\u043B \u0434\u043E\u043C.",
         "\u041A\u0443\u043F\u0438\u043B \u0434\u043E\u043C."},
    };
    RunState state;
    for (const Case& c : cases) {
        const Language* language = Language::get(c.language);
        ASSERT_NE(language, nullptr);
        Stemmer stemmer(*language);
        const Reading reading = Reading::of(c.sentence, Encoding::automatic, language, &stemmer);
        EXPECT_EQ(condense(state, c.sentence, reading), c.expected) << c.sentence;
    }
}

TEST(Condensation, NeverCutsLongSentences) {
    RunState state;
    std::string sentence;
    for (int i = 0; i < 50000; ++i) sentence += "ox,";
    const std::string condensed = condense(state, sentence);
    EXPECT_EQ(condensed.size(), 200000u);
    EXPECT_EQ(condensed.substr(0, 8), "Ox, ox, ");
}

TEST(Condensation, ChangesNoSelection) {
    const char* seg =
        "The cats of the town drink milk every morning.\n"
        "A dog, the neighbour's, eats fish and bread.\n"
        "Dogs and cats drink milk too!\n"
        "It is what it is.\n"
        "Milk (fresh milk) is what cats want.\n";
    for (float rate : {0.0f, 0.3f, 0.5f, 0.8f, -1.0f, 12.0f}) {
        for (const char* query : {static_cast<const char*>(nullptr), "dog fish", "milk"}) {
            for (bool ak : {false, true}) {
                RunState plain;
                RunState condensed;
                summarize(plain, seg, rate, query, ak, false);
                summarize(condensed, seg, rate, query, ak, true);
                EXPECT_EQ(marked(plain), marked(condensed)) << rate;
                EXPECT_EQ(scores(plain), scores(condensed)) << rate;
                EXPECT_EQ(plain.threshold, condensed.threshold);
            }
        }
    }
}

}  // namespace
}  // namespace brennic
