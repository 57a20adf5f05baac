// SPDX-License-Identifier: MIT
// Word lists the segmenter consults when a full stop follows a word.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace talven {

// How a word written before a full stop behaves at a possible sentence end.
enum class AbbrevKind {
    None,       // not an abbreviation: the full stop is a sentence end
    Title,      // Mr., Dr., St., Gen.: a name follows, never a sentence end
    Reference,  // vol., sec., pp.: a number follows, never a sentence end
    Joining,    // e.g., i.e., cf., viz., vs.: always continues the sentence
    Time,       // a.m., p.m.: ends a sentence before a capitalised word
    Word,       // on the list but also an everyday word (cat, long, no, etc.)
    Abbrev,     // a true abbreviation: ends a sentence only before a typical opener
};

// Kind of the lower-case word `w` (without its final full stop), by the
// English lists.
AbbrevKind abbrev_kind(std::string_view lower_word);

// True for closed-class words (pronouns, determiners, conjunctions, common
// adverbs and prepositions) that typically open an English sentence. Takes
// the word with its first letter in any case; the rest must be lower case.
bool is_sentence_opener(std::string_view word);

// True for short words a title-case heading may leave in lower case.
bool is_heading_minor_word(std::string_view word);

// The word lists of one language other than English, filled from its data
// files. Words are looked up in lower case (fold_case, language.h).
class Lexicon {
public:
    AbbrevKind kind(std::string_view lower_word) const {
        auto it = kinds_.find(lower_word);
        return it == kinds_.end() ? AbbrevKind::None : it->second;
    }
    bool is_opener(std::string_view lower_word) const { return openers_.contains(lower_word); }
    bool is_month(std::string_view lower_word) const { return months_.contains(lower_word); }
    bool has_openers() const { return !openers_.empty(); }

    // A later kind of the same word replaces an earlier one.
    void add_kind(std::string_view lower_word, AbbrevKind kind) { kinds_[keep(lower_word)] = kind; }
    void add_opener(std::string_view lower_word) { openers_.insert(keep(lower_word)); }
    void add_month(std::string_view lower_word) { months_.insert(keep(lower_word)); }

private:
    std::string_view keep(std::string_view w) { return store_.emplace_back(w); }

    std::deque<std::string> store_;  // the words the tables below point into
    std::unordered_map<std::string_view, AbbrevKind> kinds_;
    std::unordered_set<std::string_view> openers_;
    std::unordered_set<std::string_view> months_;
};

}  // namespace talven
