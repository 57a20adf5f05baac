// The tokenizing walk shared by every pass over a text.
#pragma once

#include <string_view>

#include "brennic/run_state.h"

namespace brennic {

// Calls f(word) for every maximal run of letters in text, in order.
template <class F>
void for_each_word(std::string_view text, F&& f) {
    std::size_t start = 0;
    const std::size_t n = text.size();
    while (start < n) {
        while (start < n && !is_letter(text[start])) ++start;
        std::size_t end = start;
        while (end < n && is_letter(text[end])) ++end;
        if (end > start) f(text.substr(start, end - start));
        start = end;
    }
}

}  // namespace brennic
