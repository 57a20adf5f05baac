// SPDX-License-Identifier: MIT
// Chinese and Japanese words from ICU's dictionary of both languages,
// without ICU's word break iterator.
//
// The iterator finds the words of a run of ideographs and kana as the
// cheapest path through it: every word of the dictionary found in the run
// costs the weight the dictionary gives it, and a character that starts no
// word of one character costs 255 on its own. Most of the iterator's time
// goes to looking each character up from the dictionary's root again, and
// to walking its text through ICU's text abstraction. Here the same path is
// found over the run's UTF-16 units, and the place in the dictionary after
// each first character is remembered for the life of the process, so the
// same words come out several times faster.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace brennic {

// Whether the dictionary cut below takes cp: the ideographs of the basic
// plane (U+3400 to U+4DBF, U+4E00 to U+9FFF), the ideographic iteration
// mark 々 and hiragana without its combining marks and digraph (U+3041 to
// U+3096, ゝ, ゞ). Every one is a single UTF-16 unit that normalisation
// leaves as it is, and one the iterator hands to its dictionary (it does
// not hand it 〆, say).
constexpr bool in_cjk_dictionary_set(char32_t cp) {
    return (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
           (cp >= 0x3041 && cp <= 0x3096) || cp == 0x3005 || cp == 0x309D || cp == 0x309E;
}

// Cuts run, made only of characters of in_cjk_dictionary_set(), into the
// words ICU's word break iterator finds in it, and sets ends to the offset
// (in UTF-16 units) where each word ends, in order; the last is run.size().
// Returns false, leaving ends empty, when ICU's dictionary cannot be opened
// or is not of the form read here: the caller then asks the iterator.
bool cut_by_cjk_dictionary(std::u16string_view run, std::vector<std::uint32_t>& ends);

}  // namespace brennic
