// SPDX-License-Identifier: MIT
// What the walk knows when it reaches a gap: the sentence it is in and the
// line it is on. The driver (segmenter.cpp) keeps this state as it goes;
// the rule families only read it.
#pragma once

#include <cstddef>
#include <optional>

#include "talven/list_markers.h"

namespace talven {

inline constexpr std::size_t no_word = SIZE_MAX;

struct SentenceState {
    std::size_t first = 0;              // the sentence's first word
    std::size_t marker = no_word;       // the list marker opening it
    int depth = 0;                      // brackets opened in it and still open
    std::optional<Marker> last_marker;  // the list marker met last in the text
};

struct LineState {
    std::size_t first = 0;  // the line's first word
    bool item = false;      // it opens with a bullet or a list marker
    bool title = true;      // no lower-case word yet, but minor ones: a heading
    int capitals = 0;       // capitalised words so far
    int words = 0;          // words so far
};

}  // namespace talven
