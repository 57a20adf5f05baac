// SPDX-License-Identifier: MIT
// Case folding of ASCII letters alone, for what markup and page furniture
// spell in ASCII whatever the case: tag, attribute and charset names, and
// words such as "copyright" or "by". Every other byte (UTF-8 included) is
// left as it is.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace brennic {

constexpr char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string ascii_lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
}

// Whether s starts with prefix (given in lower case), whatever the case of s.
inline bool ascii_starts_with_nocase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), s.begin(),
                      [](char p, char c) { return p == ascii_lower(c); });
}

}  // namespace brennic
