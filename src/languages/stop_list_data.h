// SPDX-License-Identifier: MIT
// The stop lists of the languages other than English, as shipped in
// data/stopwords/ and compiled into the library.
#pragma once

#include <span>
#include <string_view>

namespace brennic {

struct StopListText {
    std::string_view language;  // ISO 639-1 code
    std::string_view words;     // one word a line, UTF-8; a line starting with # is a comment
};

// Every list, by language code in ascending order.
std::span<const StopListText> stop_list_texts();

}  // namespace brennic
