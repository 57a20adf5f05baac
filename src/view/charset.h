// SPDX-License-Identifier: MIT
// How the view reads the bytes of a text: as UTF-8 when they are well
// formed, as Windows-1252 otherwise.
#pragma once

#include <cstddef>
#include <string_view>

namespace brennic::view {

enum class Charset { utf8, windows1252 };

// A UTF-8 continuation byte.
inline bool continuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

struct Char {
    char32_t code;
    std::size_t length;
};

// The character at s[i] read in charset; a byte that starts no well-formed
// UTF-8 sequence reads as U+FFFD.
Char decode(std::string_view s, std::size_t i, Charset charset);

}  // namespace brennic::view
