// SPDX-License-Identifier: MIT
// What a page says of its own article in its structured data: the body's
// plain text that JSON-LD (schema.org's articleBody) carries. The main-text
// finder takes it as a guide to which part of the page is the article, and
// as the text itself only when the page shows little of it; shingles of four
// words tell how much of a stretch of the page it covers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace brennic::readers::html {

// The longest "articleBody" string of the JSON in the UTF-8 page, its escapes
// and character references decoded and any markup in it dropped (a line
// break where the JSON says "\n" or a block's tag stood); empty when there
// is none. One pass over the page.
std::string stated_article_body(std::string_view utf8);

// A stated body as a main text: a paragraph for each of its lines, white
// space collapsed, paragraphs apart by a blank line.
std::string stated_paragraphs(std::string_view stated);

// The runs of four words of a text (a run of a CJK script counts a word a
// character; a text of fewer words is one short run), hashed.
class Shingles {
public:
    explicit Shingles(std::string_view text);

    std::size_t size() const { return count_; }

    struct Match {
        std::size_t total = 0;  // runs of four words in the text
        std::size_t found = 0;  // of which this set holds
    };
    // How many of the runs of four words of `text` this set holds.
    Match match(std::string_view text) const;

private:
    std::unordered_set<std::uint64_t> set_;
    std::size_t count_ = 0;  // with repeats
};

}  // namespace brennic::readers::html
