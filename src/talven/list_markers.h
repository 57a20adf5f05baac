// SPDX-License-Identifier: MIT
// List markers and bullets: where a list item starts.
//
// A marker is a short label with its punctuation: "1.", "12)", "(a)",
// "a.)", "iv)", "(IX)". It opens a new sentence at the start of a line,
// and inside a line when it continues the sequence of the marker met last
// ("1. Buy bread 2. Bake a cake"), since prose rarely counts that way. A
// bullet (•, ‣, ⁃, ...) opens a new sentence wherever it stands; "-", "*",
// "+" and "o" only at the start of a line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "talven/words.h"

namespace talven {

enum class MarkerForm : std::uint8_t { Dot, Paren, BothParens, DotParen };

struct Marker {
    MarkerForm form;
    std::string_view label;
};

std::optional<Marker> parse_marker(std::string_view w);

// A list marker, after any bullet glued to it ("⁃9.").
std::optional<Marker> marker_in(std::string_view w);

// cur continues the list of prev: same form, next number, letter or numeral.
bool is_successor(const Marker& prev, const Marker& cur);

// A word made only of a bullet character, or starting with one.
bool starts_with_bullet(std::string_view w);

// A word that is one bullet character and nothing else.
bool is_lone_bullet(std::string_view w);

// Bullets that count only at the start of a line, where they open a list
// item: "-", "*", "+", "–", "—", "o".
bool is_line_bullet(std::string_view w);

// Whether a marker opening a line opens a list item: "E." opening a line is
// more likely an initial, unless it continues the last list.
bool opens_line_item(const Marker& m, const std::optional<Marker>& last);

// "(a) builds a ship, (b) raises fares, and\n(c) continues": whether
// `marker`, opening the line after word i, continues a list running inline
// in the sentence that began at word `first`: its predecessor stands inside
// that sentence (not opening it) and word i ends without a terminator.
bool continues_inline_list(const Words& words, std::size_t first, std::size_t i,
                           const Marker& marker);

// Whether the marker after word i (not after a terminator) starts an inline
// list item: it continues the last list; or it starts a list again in a
// sentence that a marker of the same form opened, and a capitalised word
// follows; or it is bracketed and a capitalised word follows.
bool starts_inline_item(const Words& words, std::size_t i, const Marker& marker,
                        const std::optional<Marker>& last, bool sentence_has_marker);

}  // namespace talven
