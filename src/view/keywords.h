// SPDX-License-Identifier: MIT
// The topic words of a summarized input: its most frequent content stems.
#pragma once

#include <brennic/brennic.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace brennic::view {

struct Keyword {
    std::string stem;
    int frequency = 0;  // as the summarizer counts it: stop words included
    bool vell_word = false;
    friend bool operator==(const Keyword&, const Keyword&) = default;
};

// The n most frequent content stems of the diagnostics (stems of at least
// one word not on the stop list): most frequent first, equal frequencies in
// the order in which the stems first occur in the input.
std::vector<Keyword> keywords(const Diagnostics& diagnostics, std::size_t n);

// One line per keyword: the stem, a tab, its frequency, and for a vell word
// a tab and "vell".
std::string keyword_lines(std::span<const Keyword> keywords);

}  // namespace brennic::view
