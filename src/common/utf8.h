// SPDX-License-Identifier: MIT
// UTF-8 by hand, for the few things every room needs of it: whether bytes
// are well-formed, how long the sequence at a byte is, its code point, and
// the bytes of a code point.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brennic {

// Whether the bytes are well-formed UTF-8: no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut at the end.
bool is_valid_utf8(std::string_view bytes);

// The length of the well-formed UTF-8 sequence at s[i] (i < s.size()), or 0
// when none starts there.
std::size_t utf8_sequence_length(std::string_view s, std::size_t i);

// The code point of the well-formed sequence of n bytes at s[i].
inline char32_t utf8_decode(std::string_view s, std::size_t i, std::size_t n) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (n == 1) return byte(0);
    char32_t cp = byte(0) & (0x7Fu >> n);
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (byte(k) & 0x3Fu);
    return cp;
}

// Appends the UTF-8 form of cp.
void append_utf8(std::string& out, char32_t cp);

}  // namespace brennic
