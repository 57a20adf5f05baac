// SPDX-License-Identifier: MIT
// The letter set, the stop and abbreviation lists, the Porter stemmer and
// the stemming service.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "brennic/run_state.h"
#include "languages/english_stemmer.h"
#include "languages/language_res.h"
#include "test_support.h"

namespace brennic {
namespace {

TEST(LetterSet, HoldsExactly114Bytes) {
    int count = 0;
    for (int b = 0; b < 256; ++b) count += letter(static_cast<char>(b));
    EXPECT_EQ(count, 114);
}

TEST(LetterSet, ClassifiesBytesAsUnsigned) {
    struct Case {
        unsigned char byte;
        int expected;
    };
    const Case cases[] = {
        {'a', 1},  {'Z', 1},  {'0', 1},  {'9', 1},  {'-', 1},  {'_', 1},  {0xAA, 1}, {0xB0, 1},
        {0xC0, 1}, {0xC7, 1}, {0xE9, 1}, {0xFC, 1}, {0xD1, 1}, {'\'', 0}, {'.', 0},  {' ', 0},
        {'\t', 0}, {'\r', 0}, {'\n', 0}, {0, 0},    {'/', 0},  {0xBA, 0}, {0xC5, 0}, {0xC6, 0},
        {0xD0, 0}, {0xD7, 0}, {0xD8, 0}, {0xDF, 0}, {0xE5, 0}, {0xF7, 0}, {0xFF, 0}, {0x80, 0},
        {0xA9, 0}, {0xAB, 0}, {0xB1, 0}, {0xBF, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(letter(static_cast<char>(c.byte)), c.expected) << "byte " << int(c.byte);
        EXPECT_EQ(is_letter(static_cast<char>(c.byte)), c.expected) << "byte " << int(c.byte);
    }
}

TEST(WordLists, HaveTheirSizes) {
    EXPECT_EQ(stop_list().size(), 522u);
    EXPECT_EQ(abbreviation_list().size(), 725u);
    for (std::string_view w : stop_list()) EXPECT_EQ(stopword(w), 1) << w;
    for (std::string_view w : abbreviation_list()) EXPECT_EQ(abbrev(w), 1) << w;
}

TEST(WordLists, AnswerMembership) {
    RunState state;
    struct Case {
        const char* word;
        int stop;
        int abbreviation;
    };
    const Case cases[] = {
        {"the", 1, 0},    {"The", 1, 0},     {"THE", 1, 0},        {"therefore", 1, 0},
        {"others", 1, 0}, {"thereof", 0, 0}, {"co", 1, 1},         {"co-op", 0, 1},
        {"mr", 0, 1},     {"Mr", 0, 1},      {"mr.", 0, 0},        {"b.agr", 0, 1},
        {"l'pool", 0, 1}, {"don", 0, 0},     {"t", 1, 0},          {"z", 1, 0},
        {"Q", 1, 0},      {"1", 0, 0},       {"-", 0, 0},          {"_", 0, 0},
        {"", 0, 0},       {"x-ray", 0, 0},   {"yourselves", 1, 0}, {"zool", 0, 1},
        {"vs", 1, 1},     {"s", 1, 1},       {"vmet", 0, 1},       {"fig", 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(state.is_stopword(c.word), c.stop) << c.word;
        EXPECT_EQ(state.is_abbrev(c.word), c.abbreviation) << c.word;
    }
    // The wrappers fold case, the list lookups themselves do not.
    EXPECT_EQ(stopword("The"), 0);
    EXPECT_EQ(abbrev("Mr"), 0);
}

TEST(Lowercase, FoldsAsciiOnly) {
    RunState state;
    EXPECT_EQ(state.lowercase("\xC9"
                              "COLE"),
              "\xC9"
              "cole");
    EXPECT_EQ(state.lowercase("MiXeD-42_Z"), "mixed-42_z");
    state.is_stopword("Because");
    EXPECT_EQ(state.tmp_word, "because");
    state.lowercase("Other");
    EXPECT_EQ(state.tmp_word, "other");
}

std::string stem_of(std::string word) {
    const int k = stem(word.data(), 0, static_cast<int>(word.size()) - 1);
    word.resize(static_cast<std::size_t>(k) + 1);
    return word;
}

TEST(PorterStemmer, WorkedResults) {
    const std::pair<const char*, const char*> cases[] = {
        {"caresses", "caress"},
        {"ponies", "poni"},
        {"cats", "cat"},
        {"feed", "feed"},
        {"agreed", "agre"},
        {"hopping", "hop"},
        {"falling", "fall"},
        {"filing", "file"},
        {"happy", "happi"},
        {"sky", "sky"},
        {"ies", "i"},
        {"relational", "relat"},
        {"rational", "ration"},
        {"conditional", "condit"},
        {"generalizations", "gener"},
        {"abilities", "abil"},
        {"cement", "cement"},
        {"controlling", "control"},
        {"analogies", "analog"},
        {"possibly", "possibl"},
        {"as", "as"},
        {"ion", "ion"},
        {"is", "is"},
        {"us", "us"},
        {"eds", "ed"},
        {"replacement", "replac"},
        {"hissing", "hiss"},
        {"sing", "sing"},
        {"probate", "probat"},
        {"cease", "ceas"},
        {"rate", "rate"},
        {"roll", "roll"},
    };
    for (const auto& [word, expected] : cases) EXPECT_EQ(stem_of(word), expected) << word;
}

TEST(PorterStemmer, StemsOnlyTheGivenRange) {
    std::string buffer = "XXponiesYY";
    const int k = stem(buffer.data(), 2, 7);
    EXPECT_EQ(k, 5);
    EXPECT_EQ(buffer.substr(0, 2), "XX");
    EXPECT_EQ(buffer.substr(2, 4), "poni");
    EXPECT_EQ(buffer.substr(8), "YY");
}

TEST(PorterStemmer, ReproducesTheReferenceVocabulary) {
    std::ifstream voc(TEST_DATA_DIR "/porter/voc.txt");
    std::ifstream out(TEST_DATA_DIR "/porter/output.txt");
    ASSERT_TRUE(voc && out);
    std::string word;
    std::string expected;
    int total = 0;
    int equal = 0;
    while (std::getline(voc, word) && std::getline(out, expected)) {
        ++total;
        if (stem_of(word) == expected) {
            ++equal;
        } else {
            ADD_FAILURE() << word << " gives " << stem_of(word) << ", expected " << expected;
        }
    }
    EXPECT_EQ(total, 23531);
    EXPECT_EQ(equal, total);
}

TEST(StemmingService, StemsTheLastRunOfAsciiLetters) {
    RunState state;
    const std::pair<const char*, const char*> cases[] = {
        {"Running", "run"}, {"Is", "is"},          {"well-known", "known"},
        {"e-mail", "mail"}, {"MP3", "mp"},         {"na\xEFve", "ve"},
        {"1999", "1999"},   {"_-_", "_-_"},        {"\xC9\xC9", "\xC9\xC9"},
        {"CATS", "cat"},    {"x-rays2000", "rai"},
    };
    for (const auto& [word, expected] : cases) EXPECT_EQ(state.stemming(word), expected) << word;
}

TEST(StemmingService, GathersRunsOfAnyLength) {
    RunState state;
    std::string run;
    for (int i = 0; i < 400; ++i) run += "abc";
    EXPECT_EQ(state.stemming(run + "ING"), run);
    EXPECT_EQ(state.stemming(std::string(60, 'a') + "tional"), std::string(60, 'a') + "tion");
}

TEST(StemmingService, TouchesNoScratchFile) {
    test_support::TempDir dir;
    const auto old_cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    dir.write("_stemming_.tmp", "keep me");
    {
        RunState state;
        for (const char* w : {"Running", "cats", "1999", "well-known"}) state.stemming(w);
    }
    std::filesystem::current_path(old_cwd);
    EXPECT_EQ(dir.read("_stemming_.tmp"), "keep me");
    EXPECT_EQ(dir.entries().size(), 1u);
}

}  // namespace
}  // namespace brennic
