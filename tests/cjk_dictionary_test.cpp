// SPDX-License-Identifier: MIT
// Chinese and Japanese cut by ICU's dictionary without ICU's iterator: the
// same words as the iterator, on real sentences and on characters drawn at
// random from them.
#include "languages/cjk_dictionary.h"

#include <gtest/gtest.h>
#include <unicode/ubrk.h>

#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/utf8.h"
#include "languages/reading.h"

namespace brennic {
namespace {

std::u16string utf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t len = utf8_sequence_length(utf8, i);
        const char32_t cp = utf8_decode(utf8, i, len);
        if (cp > 0xFFFF) {
            out += static_cast<char16_t>(0xD7C0 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

// Where ICU's word break iterator ends the words of run.
std::vector<std::uint32_t> iterator_ends(std::u16string_view run) {
    UErrorCode code = U_ZERO_ERROR;
    const std::unique_ptr<UBreakIterator, void (*)(UBreakIterator*)> it(
        ubrk_open(UBRK_WORD, "", run.data(), static_cast<int32_t>(run.size()), &code), ubrk_close);
    EXPECT_TRUE(U_SUCCESS(code));
    std::vector<std::uint32_t> ends;
    ubrk_first(it.get());
    for (int32_t end = ubrk_next(it.get()); end != UBRK_DONE; end = ubrk_next(it.get())) {
        ends.push_back(static_cast<std::uint32_t>(end));
    }
    return ends;
}

// Runs of ideographs and hiragana only, as the reader hands them over.
const char* const kRuns[] = {
    "老桥去年冬天因为桥墩出现裂缝而关闭",
    "市政府表示修复工程还需要两年时间",
    "中华人民共和国国务院总理",
    "研究生命起源",
    "南京市长江大桥",
    "古い橋は去年の冬に閉鎖された",
    "技術者たちは修理にあと二年かかると言っている",
    "東京都知事選挙の投票率は過去最低だった",
    "すもももももももものうち",
    "人々は時々山々を見る",
    "ぁぃゕゖゝゞ丨丶乂㐀䶿鿿",  // rare kana, radicals, the ends of the blocks
};

TEST(CjkDictionary, CutsAsIcusIteratorDoes) {
    std::vector<std::uint32_t> ends;
    std::u16string pool;
    for (const char* run : kRuns) {
        const std::u16string units = utf16(run);
        ASSERT_TRUE(cut_by_cjk_dictionary(units, ends)) << run;
        pool += units;
        EXPECT_EQ(ends, iterator_ends(units)) << run;
    }
    // Characters of the runs strung together at random make cuts that no
    // sentence asks for: unknown characters, ties, words cut at their end.
    std::mt19937 random(31);
    for (int k = 0; k < 400; ++k) {
        std::u16string units(1 + random() % 40, u' ');
        for (char16_t& c : units) c = pool[random() % pool.size()];
        ASSERT_TRUE(cut_by_cjk_dictionary(units, ends));
        EXPECT_EQ(ends, iterator_ends(units)) << "string " << k;
    }
}

// The places remembered in the dictionary are shared by every thread: cuts
// made at once, from a cold start, agree with the iterator's.
TEST(CjkDictionary, ThreadsCutAlike) {
    std::vector<std::u16string> runs;
    std::vector<std::vector<std::uint32_t>> expected;
    for (const char* run : kRuns) {
        runs.push_back(utf16(run));
        expected.push_back(iterator_ends(runs.back()));
    }
    constexpr int kThreads = 4;
    std::vector<int> wrong(kThreads, 0);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                std::vector<std::uint32_t> ends;
                for (int round = 0; round < 20; ++round) {
                    for (std::size_t k = 0; k < runs.size(); ++k) {
                        const std::size_t r = (k + static_cast<std::size_t>(t)) % runs.size();
                        if (!cut_by_cjk_dictionary(runs[r], ends) || ends != expected[r])
                            ++wrong[static_cast<std::size_t>(t)];
                    }
                }
            });
        }
    }
    EXPECT_EQ(wrong, std::vector<int>(kThreads, 0));
}

// What the dictionary takes, and what it leaves to the iterator.
TEST(CjkDictionary, TakesIdeographsAndHiraganaOnly) {
    struct Case {
        const char* run;
        bool taken;
    };
    const Case cases[] = {
        {"", true},
        {"桥", true},
        {"ブレグジット", false},  // katakana: one word, never looked up
        {"สะพาน", false},         // Thai
        {"𠀋中", false},          // an ideograph beyond the basic plane
        {"\uF900", false},        // a compatibility ideograph
        {"ゟ", false},            // the hiragana digraph yori
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> ends{7};
        EXPECT_EQ(cut_by_cjk_dictionary(utf16(c.run), ends), c.taken) << c.run;
        if (!c.taken) { EXPECT_TRUE(ends.empty()) << c.run; }
    }
}

// A run of the unspaced scripts gives all its letters as words, whichever
// way each part of it is cut, and a run too long for the iterator too.
TEST(CjkDictionary, RunsLoseNoLetter) {
    const std::string long_run = [] {
        std::string s;
        while (s.size() < (std::size_t{3} << 20)) s += "中国人民";
        return s + "𠀋";
    }();
    const std::string cases[] = {
        "古いブレグジット橋は閉鎖",
        "𠀋中国人",
        "東京タワー",
        long_run,
    };
    for (const std::string& run : cases) {
        std::vector<std::string_view> words;
        unspaced_words(run, words);
        std::string joined;
        for (const std::string_view w : words) {
            EXPECT_EQ(w.data(), run.data() + joined.size()) << "a gap before a word";
            joined += w;
        }
        EXPECT_EQ(joined, run) << run.substr(0, 40);
    }
}

}  // namespace
}  // namespace brennic
