// SPDX-License-Identifier: MIT
// Rule-based sentence segmenter: English rules by default, or the rules of
// another language (language.h).
//
// The text is taken as bytes (ISO 8859-1, Windows-1252 or UTF-8); bytes are
// never changed, only white space is rewritten. White space is the six ASCII
// bytes space, tab, LF, VT, FF and CR; every other byte (NUL, 0xA0, a UTF-8
// no-break space...) is an ordinary non-white byte. Sentences are only ever
// cut at white space, so each sentence is a run of whole words.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "talven/language.h"

namespace talven {

// True for the bytes the segmenter treats as white space.
constexpr bool is_space(unsigned char c) {
    // Bits 9 to 13 (tab, LF, VT, FF, CR) and 32 (space).
    return c <= ' ' && ((std::uint64_t{1} << c) & 0x100003E00u) != 0;
}

// The sentences of `text` in order. Inside each, every run of white space is
// one space, but none is left before a detached terminator ("for pricing\n."
// gives "for pricing.", terminators.h), and there is no white space at
// either end; none is empty.
std::vector<std::string> segment(std::string_view text);
// The same by the rules of `lang`.
std::vector<std::string> segment(std::string_view text, const Language& lang);

// Long texts are segmented a group of paragraphs of about this many bytes at
// a time; the result does not depend on it.
inline constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// The same sentences as the contents of a .seg file: each followed by "\n".
std::string segment_lines(std::string_view text, std::size_t chunk_bytes = kChunkBytes);
std::string segment_lines(std::string_view text, const Language& lang,
                          std::size_t chunk_bytes = kChunkBytes);

// The contents of the .seg file handed to put as they are made, whole lines
// of about kChunkBytes at a time, so that they are never all held at once.
void segment_lines_to(std::string_view text, const std::function<void(std::string_view)>& put,
                      std::size_t chunk_bytes = kChunkBytes);
void segment_lines_to(std::string_view text, const Language& lang,
                      const std::function<void(std::string_view)>& put,
                      std::size_t chunk_bytes = kChunkBytes);

}  // namespace talven
