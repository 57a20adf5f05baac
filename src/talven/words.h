// SPDX-License-Identifier: MIT
// Words and gaps: the units every rule works on.
//
// A word is a maximal run of non-white bytes, also cut after a full-width
// or ideographic stop, which takes no space after it ("end．Next"), and
// where two sentences meet with no space between them ("noon.It", joins.h).
// A gap is the white space between two words, empty between the parts of a
// cut word; the only thing about it that matters is how many line breaks
// it holds (a form feed counts as two, a blank line). Sentences are only
// ever cut in gaps, so each sentence is a run of whole words and no byte of
// a word is ever lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "common/flat_array.h"
#include "talven/chars.h"
#include "talven/language.h"

namespace talven {

// How a word starts once openers (quotes, brackets, emphasis) and dashes
// are skipped: the case of its first real character and its leading ASCII
// letters. Camel-case names ("eBay", "wikiHow") count as capitalised.
struct WordStart {
    Case kind = Case::Other;
    std::string_view letters;  // leading ASCII letters of the real word
    std::string_view rest;     // the word from its first real character on
    bool none = true;          // nothing but openers and dashes
};

// With `wide_case`, the case of letters of every cased script is read
// (wide_case_of, language.h); without, that of the English rules.
WordStart word_start(std::string_view w, bool wide_case = false);

// One to three ASCII digits: a list label or a footnote number.
inline bool is_number(std::string_view s) {
    if (s.empty() || s.size() > 3) return false;
    for (char c : s) {
        if (!is_ascii_digit(c)) return false;
    }
    return true;
}

// The words of one text. A word is kept as one 64-bit value, so the table
// takes 8 bytes a word however the text is shaped (a file of one-letter
// lines is a word every 2 or 3 bytes): from the top, 40 bits of offset,
// 21 bits of length and 3 bits of the gap before it. A word too long for
// its length field (2 MB) ends where the white space before the next word,
// or the end of the text, begins.
class Words {
public:
    // The table to fill is handed in so that one can serve the paragraph
    // groups of a long text in turn (take_table gives it back).
    using Table = brennic::FlatArray<std::uint64_t>;
    // The words of `text`, a text in language `lang`, whose rules they
    // carry to every rule that reads them (start_after reads the case of
    // every cased script in languages other than English).
    explicit Words(std::string_view text, Table table = {}, const Language& lang = english());
    Table take_table() { return std::move(words_); }

    std::size_t size() const { return words_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint64_t w = words_[i];
        const std::size_t begin = static_cast<std::size_t>(w >> kBeginShift);
        std::size_t length = static_cast<std::size_t>((w >> kFlagBits) & kLongWord);
        if (length == kLongWord) length = long_word_end(i) - begin;
        return {text_.data() + begin, length};
    }
    // Line breaks in the gap before word i; 3 stands for three or more,
    // since the rules only ask for none, one, or a blank line.
    int breaks(std::size_t i) const { return static_cast<int>(words_[i] & kBreaksMask); }
    bool glued(std::size_t i) const { return (words_[i] & kGluedBit) != 0; }
    const Language& language() const { return *lang_; }

    // What follows word i: the start of the first word from i + 1 on that
    // is more than openers and dashes, looking at no more than three words
    // and not across a blank line.
    WordStart start_after(std::size_t i) const;

private:
    static constexpr std::uint64_t kBreaksMask = 3;
    static constexpr std::uint64_t kGluedBit = 4;
    static constexpr int kFlagBits = 3;
    static constexpr int kLengthBits = 21;
    static constexpr int kBeginShift = kFlagBits + kLengthBits;
    static constexpr std::uint64_t kLongWord = (std::uint64_t{1} << kLengthBits) - 1;

    std::size_t long_word_end(std::size_t i) const;

    std::string_view text_;
    Table words_;
    const Language* lang_;
    bool wide_case_;
};

// Where the white space holding the first blank line at or after `from`
// begins, or the end of the text.
std::size_t next_paragraph_gap(std::string_view text, std::size_t from);

}  // namespace talven
