// SPDX-License-Identifier: MIT
// Abbreviations: what the word before a full stop is, which decides
// whether the full stop ends a sentence.
//
// A full stop after an ordinary word or a number ends a sentence before a
// capitalised word. After a title or prefix (Mr., St., vol.) a name or a
// number follows, so it never does; after an initial neither, except for
// "I". Joining abbreviations (e.g., cf.) never end one, times (a.m.) only
// when they do not open the sentence, and entries of the abbreviation list
// that are also everyday words (cat., long., etc.) end one like a word.
// Every other abbreviation or dotted acronym (Inc., approx., U.S.) sits
// inside sentences as often as at their end, so only a typical sentence
// opener after it ("U.S. The", not "U.S. Army") makes it an end. Written
// in capitals, such a word and a number prefix alike (SEC., INC.; not a
// title such as DR.) is more likely an acronym: a capitalised word after it
// ("the SEC. Shares rose") opens a sentence, while a number ("SEC. 12")
// or a word in capitals ("CARGO LINES INC. HOLDINGS") does not.
//
// Other languages take the same classes from their own lists (language.h),
// read in every script; a lower-case letter alone is an abbreviation only
// when listed, and ordinals follow ordinals.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "talven/language.h"
#include "talven/terminators.h"
#include "talven/words.h"

namespace talven {

enum class CoreKind : std::uint8_t {
    Plain,     // an ordinary word, a number, an address
    Initial,   // one letter
    Title,     // Mr., Dr., St., Gen., vol.
    Joining,   // e.g., i.e., cf., vs.
    Time,      // a.m., p.m.
    Everyday,  // list entries that are everyday words: cat., long., etc.
    Abbrev,    // other abbreviations and dotted acronyms: Inc., approx., U.S.
    Acronym,   // an abbreviation or number prefix in capitals: SEC., INC.
};

// The kind of the word before a full stop (openers and the stop stripped),
// by the lists of `lang`.
CoreKind classify_core(std::string_view core, const Language& lang);

// The word ends in a full stop right after an abbreviation, title,
// initial or acronym ("Fig.", "p.", "U.S.").
bool ends_in_abbreviation(const WordEnd& end, const Language& lang);

// Whether a full stop after `core`, which closes word `ender` of the
// sentence that began at word `first`, ends the sentence before `next`, a
// word that is no lower-case word nor punctuation, by the rules of the
// words' language.
bool full_stop_ends(const Words& words, std::size_t first, std::size_t ender, std::string_view core,
                    const WordStart& next);

// Whether `next` is a typical sentence opener of `lang`.
bool opens_sentence(const WordStart& next, const Language& lang);

}  // namespace talven
