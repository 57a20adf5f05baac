// SPDX-License-Identifier: MIT
// The tokenizing walk shared by every pass over a text.
#pragma once

#include <string_view>

#include "brennic/run_state.h"
#include "language_res.h"

namespace brennic {

// is_letter without a call, for the per-byte loops of the word walks.
inline bool letter_byte(char c) { return letter_bytes[static_cast<unsigned char>(c)]; }

// Calls f(word) for every maximal run of letters in text, in order.
template <class F>
void for_each_word(std::string_view text, F&& f) {
    std::size_t start = 0;
    const std::size_t n = text.size();
    while (start < n) {
        while (start < n && !letter_byte(text[start])) ++start;
        std::size_t end = start;
        while (end < n && letter_byte(text[end])) ++end;
        if (end > start) f(text.substr(start, end - start));
        start = end;
    }
}

}  // namespace brennic
