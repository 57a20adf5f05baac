// SPDX-License-Identifier: MIT
#include "view/charset.h"

#include "common/utf8.h"

namespace brennic::view {

namespace {

// The characters of Windows-1252 from 0x80 to 0x9F. The five bytes it
// leaves undefined decode to the C1 controls of the same value, as browsers
// decode them.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

Char decode(std::string_view s, std::size_t i, Charset charset) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (charset == Charset::windows1252) {
        return {c >= 0x80 && c <= 0x9F ? kWindows1252High[c - 0x80] : char32_t{c}, 1};
    }
    const std::size_t n = utf8_sequence_length(s, i);
    if (n == 0) return {0xFFFD, 1};
    if (n == 1) return {c, 1};
    char32_t code = c & (0xFFu >> (n + 1));
    for (std::size_t k = 1; k < n; ++k)
        code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    return {code, n};
}

}  // namespace brennic::view
