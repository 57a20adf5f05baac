// SPDX-License-Identifier: MIT
// A guard against pages nested deeper than any real page: the HTML5 tree
// builder looks through the stack of open elements at each tag, so a page
// of 100,000 nested elements would take quadratic time. Browsers cap the
// depth of their trees for the same reason.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brennic::readers::html {

// How deep elements may nest before further start tags are dropped.
inline constexpr std::size_t max_nesting = 512;

// The page as the parser needs it, in `out`: every start tag (and its end
// tag) that would open an element deeper than `limit` left out, their text
// kept, and comments and the bodies of scripts and styles left out (never
// text, and much of many pages' bytes). False, and `out` untouched, when there is nothing
// to leave out. Tags are told apart as an HTML tokenizer does (comments,
// quoted attribute values, raw text); elements whose end tag is optional,
// void elements and raw-text elements do not count.
bool prepare_for_parsing(std::string_view page, std::string& out, std::size_t limit = max_nesting);

}  // namespace brennic::readers::html
