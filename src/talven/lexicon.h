// SPDX-License-Identifier: MIT
// Word lists the segmenter consults when a full stop follows a word.
#pragma once

#include <string_view>

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

// Kind of the lower-case word `w` (without its final full stop).
AbbrevKind abbrev_kind(std::string_view lower_word);

// True for closed-class words (pronouns, determiners, conjunctions, common
// adverbs and prepositions) that typically open an English sentence. Takes
// the word with its first letter in any case; the rest must be lower case.
bool is_sentence_opener(std::string_view word);

// True for short words a title-case heading may leave in lower case.
bool is_heading_minor_word(std::string_view word);

}  // namespace talven
