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
#include <string_view>
#include <vector>

#include "talven/chars.h"

namespace talven {

struct Word {
    std::size_t begin;
    std::size_t end;
    int breaks;  // line breaks in the white space before the word
    bool glued;  // no white space before the word: it goes on a cut word
};

// How a word starts once openers (quotes, brackets, emphasis) and dashes
// are skipped: the case of its first real character and its leading ASCII
// letters. Camel-case names ("eBay", "wikiHow") count as capitalised.
struct WordStart {
    Case kind = Case::Other;
    std::string_view letters;  // leading ASCII letters of the real word
    bool none = true;          // nothing but openers and dashes
};

WordStart word_start(std::string_view w);

// One to three ASCII digits: a list label or a footnote number.
inline bool is_number(std::string_view s) {
    if (s.empty() || s.size() > 3) return false;
    for (char c : s) {
        if (!is_ascii_digit(c)) return false;
    }
    return true;
}

// The words of one text.
class Words {
public:
    explicit Words(std::string_view text);

    std::size_t size() const { return words_.size(); }
    std::string_view operator[](std::size_t i) const {
        return {text_.data() + words_[i].begin, words_[i].end - words_[i].begin};
    }
    // Line breaks in the gap before word i.
    int breaks(std::size_t i) const { return words_[i].breaks; }
    bool glued(std::size_t i) const { return words_[i].glued; }

    // What follows word i: the start of the first word from i + 1 on that
    // is more than openers and dashes, looking at no more than three words
    // and not across a blank line.
    WordStart start_after(std::size_t i) const;

private:
    std::string_view text_;
    std::vector<Word> words_;
};

// Where the white space holding the first blank line at or after `from`
// begins, or the end of the text.
std::size_t next_paragraph_gap(std::string_view text, std::size_t from);

}  // namespace talven
