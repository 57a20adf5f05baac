// SPDX-License-Identifier: MIT
// Markdown in: the prose of a CommonMark document, without its markup.
#pragma once

#include <string_view>

#include "readers/document.h"

namespace brennic::readers {

// The text of the Markdown document held in bytes (UTF-8, or Windows-1252
// when the bytes are not valid UTF-8). Every heading, paragraph, list item
// paragraph and quoted paragraph becomes a paragraph of its own; emphasis
// marks, link targets, images (badges too), bare URLs, code blocks, pipe
// tables, YAML or TOML front matter and HTML comments are left out, and an
// HTML block is read as a page would be. The title is the text of the first
// level-1 heading, which stays a paragraph as well.
Document read_markdown(std::string_view bytes);

}  // namespace brennic::readers
