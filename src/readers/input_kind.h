// SPDX-License-Identifier: MIT
// What kind of document a text is (plain text, a web page, Markdown), and
// its main text read by the reader of that kind.
#pragma once

#include <optional>
#include <string_view>

#include "readers/document.h"

namespace brennic::readers {

enum class InputKind { automatic, text, html, markdown };

// "auto", "text", "html" or "markdown"; nothing for any other name.
std::optional<InputKind> parse_input_kind(std::string_view name);
// The name parse_input_kind reads.
std::string_view input_kind_name(InputKind kind);

// The kind a file's name says: html for .html, .htm, .xhtml; markdown for
// .md, .markdown; text for .txt, .text (in any case); automatic when the
// name says nothing.
InputKind kind_by_name(std::string_view name);

// Whether bytes read as a web page: after a BOM, white space and comments
// they open with <!doctype html, <html, or an XML prologue followed by
// <html; or their first 4 KiB are mostly markup.
bool looks_like_html(std::string_view bytes);

// The kind to read a text as: `requested` unless automatic; then what the
// name says (name is empty for standard input), else html when the bytes
// look like a page, else text.
InputKind choose_kind(InputKind requested, std::string_view name, std::string_view bytes);

// The main text of bytes read as kind (text: the bytes as they are; an
// automatic kind is chosen by the bytes alone).
Document read_input(std::string_view bytes, InputKind kind);

}  // namespace brennic::readers
