// SPDX-License-Identifier: MIT
// The tokenizing walk of a text read byte by byte (ISO 8859-1); a text read
// otherwise is walked by its Reading.
#pragma once

#include <string_view>

#include "brennic/run_state.h"
#include "languages/language_res.h"
#include "languages/reading.h"

namespace brennic {

// is_letter without a call, for the per-byte loops of the word walks.
inline bool letter_byte(char c) { return letter_bytes[static_cast<unsigned char>(c)]; }

// Calls f(word) for every maximal run of letter bytes in text, in order.
template <class F>
void for_each_word(std::string_view text, F&& f) {
    Reading::latin1().for_each_word(text, f);
}

}  // namespace brennic
