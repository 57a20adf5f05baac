// SPDX-License-Identifier: MIT
// Terminators: how a word ends, and which word closes a sentence.
//
// A sentence can only end after a terminator: ".", "!", "?", runs of them,
// "..." or "…", or a dash before a closing quote ("our best, to--\"").
// Closing quotes and brackets after the terminator stay with the sentence
// (an opening quote typed there by mistake, "decision.“", counts as one),
// and so do footnote marks glued to it ("consultation.11", "(1987).1") or
// standing alone after it ("in 1971. [1] He"): the word before the marks is
// the one whose end decides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "talven/words.h"

namespace talven {

// Interrupted: a dash before a closing quote, as in "we're doing our best, to--".
enum class Term : std::uint8_t { None, Stop, Bang, Ellipsis, EllipsisStop, Interrupted };

struct WordEnd {
    Term term = Term::None;
    std::string_view core;     // the word before the terminator, openers stripped
    bool closed_core = false;  // a bracket or quote stands between core and terminator
    bool footnote = false;     // a footnote number follows the terminator
};

// How word w ends, by the terminators of `lang` (script_stops.h).
WordEnd analyse_end(std::string_view w, const Language& lang);

// "[1]", "[2, 3]": a word that is nothing but citation marks.
bool is_citation_only(std::string_view w);

// A word made only of full stops and ellipses (".", "...", "…").
bool is_dots_only(std::string_view w);

// Word k is a detached terminator: a run of ".", "!", "?" or "…" alone at
// the start of a line, right after a word ending in a letter or a digit,
// that ends the line or comes before a capitalised word ("for pricing\n.\n",
// "for pricing\n. Prices"). It belongs to that word's sentence and is written
// right after it, with the line break before it dropped ("for pricing.").
// Asked of every word, so the rare candidates are picked out here, inline.
bool detached_terminator_at(const Words& words, std::size_t k);
inline bool is_detached_terminator(const Words& words, std::size_t k) {
    if (words.breaks(k) != 1) return false;
    const char c = words[k][0];
    return (c == '.' || c == '!' || c == '?' || c == '\xE2' || c == '\x85') &&
           detached_terminator_at(words, k);
}

// The word whose end decides the gap after word i of the sentence that
// began at word `first`: word i, or the word before the footnote marks that
// end at word i. Nothing when the gap lies between a terminator and its
// footnote marks.
std::optional<std::size_t> closing_word(const Words& words, std::size_t first, std::size_t i);

}  // namespace talven
