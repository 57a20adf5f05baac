// SPDX-License-Identifier: MIT
#include "talven/thai_spaces.h"

#include <cstdint>
#include <string_view>

namespace talven {
namespace {

// A Thai letter, vowel or tone mark (U+0E01 to U+0E4E): not its digits,
// nor the signs ๏ ๚ ๛.
bool is_thai_letter(std::uint32_t cp) { return cp >= 0x0E01 && cp <= 0x0E4E; }

// The code point of a three-byte UTF-8 sequence at w[at], or 0.
std::uint32_t three_bytes_at(std::string_view w, std::size_t at) {
    if (at + 3 > w.size()) return 0;
    const auto b0 = static_cast<unsigned char>(w[at]);
    const auto b1 = static_cast<unsigned char>(w[at + 1]);
    const auto b2 = static_cast<unsigned char>(w[at + 2]);
    if ((b0 & 0xF0) != 0xE0 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return 0;
    return ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
}

}  // namespace

bool thai_space_ends(const Words& words, std::size_t i) {
    if (words.glued(i + 1)) return false;
    const std::string_view before = words[i];
    const std::string_view after = words[i + 1];
    return before.size() >= 3 && is_thai_letter(three_bytes_at(before, before.size() - 3)) &&
           is_thai_letter(three_bytes_at(after, 0));
}

}  // namespace talven
