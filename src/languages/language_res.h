// SPDX-License-Identifier: MIT
// English language resources: the letter set, the stop list and the
// abbreviation list. Texts are handled as single bytes (ISO 8859-1).
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace brennic {

// The letter set as a table of the 256 byte values, indexed by the byte
// taken as unsigned; per-byte loops test it without a call.
extern const std::array<bool, 256> letter_bytes;

// 1 when the byte (taken as unsigned) belongs to the letter set, else 0.
int letter(char c);

// 1 when the lower-case word is on the stop list, else 0 (exact match).
int stopword(std::string_view word);

// 1 when the lower-case word is on the abbreviation list, else 0 (exact match).
int abbrev(std::string_view word);

// The lists themselves, in their published order.
std::span<const std::string_view> stop_list();
std::span<const std::string_view> abbreviation_list();

}  // namespace brennic
