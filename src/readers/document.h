// SPDX-License-Identifier: MIT
// A document as the input readers hand it to the summarizer: the main text
// of a web page or a Markdown file, one block (paragraph, heading, list
// item, table cell, quotation) a paragraph, paragraphs apart by a blank
// line, always UTF-8.
#pragma once

#include <string>

namespace brennic::readers {

struct Document {
    std::string title;     // the page's or file's title, apart from text; may be empty
    std::string text;      // the main text, UTF-8
    std::string language;  // a hint such as "de" from the page (lang attribute); may be empty
};

}  // namespace brennic::readers
