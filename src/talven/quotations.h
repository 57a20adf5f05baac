// SPDX-License-Identifier: MIT
// Quotations and brackets: the stretches of text inside which a sentence
// does not end.
//
// A quotation opens at a word starting with a quote mark and closes at the
// next word of the same paragraph ending with one, at most
// max_quote_words later; the gaps inside it are not sentence ends ("'Well!'
// thought Alice, 'after such a fall as this, I shall think nothing of it!
// How brave they'll all think me!'"), except between two statements of a
// long quotation (quoted_statements.h). An opening mark never closed that way
// (the apostrophe of "the 'nineties") is ignored, so a stray quote cannot
// swallow the rest of the text.
//
// Other languages quote with more marks: „…“ and ‚…‘ (German, Czech),
// «…» with spaces inside (French), »…« and »…» (Danish, Swedish), ”…”
// (Swedish, Finnish), 「…」 and 『…』 (Japanese, Chinese).
//
// Brackets are counted per sentence: a sentence does not end while a
// bracket opened in it is still open, and a short bracket followed by a
// lower-case word ("the film Why? (A Comedy, 1950) and then") is an aside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "talven/words.h"

namespace talven {

inline constexpr std::size_t max_quote_words = 150;

// For every word, whether the gap after it lies inside a quotation; for
// every word closing a quotation, the word that opened it.
struct Quotations {
    std::vector<bool> inside;
    // The words that close a quotation, in order, each with the word that
    // opened it: few in any text, so kept apart rather than one a word.
    std::vector<std::pair<std::size_t, std::size_t>> closers;

    // The word that opened the quotation word i closes, or SIZE_MAX.
    std::size_t opened_at(std::size_t i) const;
};

Quotations find_quotations(const Words& words);

// A word of closing quote marks and brackets only ("»", "”)").
bool is_closers_only(std::string_view w);

// The words, in order, holding an opening bracket that no bracket closes
// in the same paragraph ("(Ak tenli. Boyu boyuma denk."): in languages
// other than English such a bracket holds off no sentence end.
std::vector<std::size_t> unclosed_brackets(const Words& words);

// Adds the brackets that word w opens and closes to `depth`, the brackets
// open in the sentence (never below zero).
void count_brackets(std::string_view w, int& depth);

// "the film Why? (A Comedy, 1950) and then": a short bracket opened at word
// j, closed within eight words and followed by a lower-case word, is an
// aside inside the sentence.
bool bracket_then_lower(const Words& words, std::size_t j);

// "... off the roof!' (Which was true.)": a bracketed aside after word i,
// which closes a quotation that opened inside the sentence begun at word
// `first`, belongs to that sentence; after a sentence that is all quotation
// it stands alone.
bool aside_after_quotation(const Words& words, const Quotations& quotes, std::size_t i,
                           std::size_t first);

}  // namespace talven
