// The topic words of a summarized input: its most frequent content stems.
#pragma once

#include <brennic/brennic.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace brennic::view {

// What the summarizer makes of a word as written: the stem it is counted
// under and whether it is a content word (not on the stop list). Each
// distinct word is stemmed once.
class WordTable {
public:
    struct Entry {
        std::string stem;
        bool content = false;
    };
    const Entry& operator[](std::string_view word);

private:
    std::unordered_map<std::string, Entry> known_;
};

// Where each sentence of each text lies: segment_spans() of every text.
std::vector<std::vector<Span>> sentence_spans(std::span<const std::string> texts);

// The stems of the content words of the texts, walking every sentence's
// words as the summarizer does.
std::unordered_set<std::string> content_stems(std::span<const std::string> texts,
                                              const std::vector<std::vector<Span>>& spans,
                                              WordTable& table);

struct Keyword {
    std::string stem;
    int frequency = 0;  // as the summarizer counts it: stop words included
    bool vell_word = false;
    friend bool operator==(const Keyword&, const Keyword&) = default;
};

// The n most frequent stems of diagnostics that are in content: most
// frequent first, equal frequencies in the order the stems first occur.
std::vector<Keyword> top_stems(const Diagnostics& diagnostics,
                               const std::unordered_set<std::string>& content, std::size_t n);

// The n most frequent content stems of the texts whose diagnostics these are.
std::vector<Keyword> keywords(std::span<const std::string> texts, const Diagnostics& diagnostics,
                              std::size_t n);

// One line per keyword: the stem, a tab, its frequency, and for a vell word
// a tab and "vell".
std::string keyword_lines(std::span<const Keyword> keywords);

}  // namespace brennic::view
