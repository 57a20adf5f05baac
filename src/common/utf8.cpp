// SPDX-License-Identifier: MIT
#include "common/utf8.h"

#include <cstdint>
#include <cstring>

namespace brennic {

std::size_t utf8_sequence_length(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) -> unsigned {
        return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u;
    };
    const unsigned c = at(0);
    if (c < 0x80) return 1;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    std::size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;  // overlong below U+0800
        if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;  // overlong below U+10000
        if (c == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (at(1) < lo || at(1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k) {
        if ((at(k) & 0xC0u) != 0x80u) return 0;
    }
    return n;
}

bool is_valid_utf8(std::string_view bytes) {
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time: most of a text is ASCII.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, 8);
            if ((word & 0x8080808080808080u) != 0) break;
            i += 8;
        }
        if (i >= n) break;
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = utf8_sequence_length(bytes, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace brennic
