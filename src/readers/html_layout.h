// SPDX-License-Identifier: MIT
// A web page laid out as the main-text finder sees it: its block-level
// elements (boxes) in document order, each with its parent, and the runs of
// text (blocks) that lie directly in them, with what tells content from
// boilerplate: length, link text, punctuation, tag kind, class and id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brennic::readers::html {

inline constexpr std::size_t no_box = static_cast<std::size_t>(-1);

// What a box is, as far as finding the main text goes.
enum class BoxKind : std::uint8_t {
    root,       // html, body
    division,   // div, section, center, main, header, form and the like
    article,    // article
    paragraph,  // p
    heading,    // h1 to h6
    list,       // ul, ol, dl, menu
    item,       // li, dd, dt
    table,      // table and its row groups and rows
    cell,       // td, th
    quote,      // blockquote
    caption,    // figcaption, caption, figure
    other,      // address, details, fieldset and other blocks
};

// A block-level element. Boxes come in document order, so the boxes of a
// subtree are those from the box itself to `end`, and their blocks are
// those from `first_block` to `end_block`.
struct Box {
    std::size_t parent = no_box;
    std::size_t end = 0;
    std::size_t first_block = 0;
    std::size_t end_block = 0;
    BoxKind kind = BoxKind::other;
    std::uint8_t heading_level = 0;  // 1 to 6 for headings
    int hint = 0;                    // from class and id: > 0 content, < 0 boilerplate
    bool stated_body = false;        // itemprop="articleBody"
    bool asks_email = false;         // holds an email address field
    std::uint32_t look = 0;          // its tag and class names, hashed: boxes alike look the same
};

// A run of text that lies directly in one box, whitespace collapsed, with a
// line break ('\n') for each <br>. Lengths count characters, a CJK
// character as three (about what a word of an alphabetic script is).
struct Block {
    std::size_t box = 0;
    std::string text;
    std::size_t length = 0;       // weighted characters, spaces not counted
    std::size_t link_length = 0;  // the part inside links
    std::size_t commas = 0;       // commas and the like
    std::size_t stops = 0;        // sentence-ending punctuation
};

struct Layout {
    std::vector<Box> boxes;
    std::vector<Block> blocks;
    std::string title;     // <title>
    std::string og_title;  // <meta property="og:title">
    std::string language;  // lang of <html>, else of <body>, else of an <article>
};

// How much of a page is parsed at once. The parser's string memory slows
// down as it fills (freed pieces are looked through one by one), so a larger
// page is parsed a piece at a time, each piece a document of its own that
// starts at a tag and goes on in the <body> of the first: its time stays
// linear in its size. Elements open where a piece ends are closed there.
inline constexpr std::size_t max_piece_bytes = std::size_t{4} << 20;

// Parses the UTF-8 page and lays it out, leaving out what is never content:
// scripts, styles, forms' controls, embedded frames and objects, navigation,
// asides, footers, hidden elements and preformatted blocks. No recursion:
// any depth of nesting is fine.
Layout lay_out(std::string_view utf8, std::size_t piece_bytes = max_piece_bytes);

}  // namespace brennic::readers::html
