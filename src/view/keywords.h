// SPDX-License-Identifier: MIT
// The topic words of a summarized input: its most frequent content stems,
// each shown as the word the text writes most often for it.
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
    std::string word;  // the commonest content word with this stem; the stem when none is known
    // Whether word and stem are UTF-8, as they are but for an English text
    // read byte by byte, whose words and stems are its ISO 8859-1 bytes.
    bool utf8 = true;
    friend bool operator==(const Keyword&, const Keyword&) = default;
};

// The n most frequent content stems of the diagnostics (stems of at least
// one word not on the stop list): most frequent first, equal frequencies in
// the order in which the stems first occur in the input. With the texts,
// each gets its word: of the content words of the texts with its stem, the
// one written most often, of equal counts the first met, each text read as
// encoding chose when it was summarized. A word of a text read as
// Windows-1252 in another language than English is given in UTF-8, as its
// stem is.
std::vector<Keyword> keywords(const Diagnostics& diagnostics, std::size_t n,
                              std::span<const std::string> texts = {},
                              Encoding encoding = Encoding::automatic);

// One line per keyword: the word (or, with stems, the stem), a tab, its
// frequency, and for a vell word a tab and "vell".
std::string keyword_lines(std::span<const Keyword> keywords, bool stems = false);

}  // namespace brennic::view
