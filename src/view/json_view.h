// SPDX-License-Identifier: MIT
// A summarized input as one JSON document: the run's figures, every
// sentence with where it lies in its text, its score and its marks, and the
// keywords. docs/brennic.schema.json describes the document.
#pragma once

#include <brennic/brennic.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brennic::view {

// How the texts of an input were read: the language of the (first) text's
// stop list and stemmer, and each text's encoding, which its character
// offsets count in: "utf-8" for a text read as UTF-8; else one byte one
// character, "latin1" in English and "windows-1252" in the other languages.
// encoding is the texts' common one, or "mixed".
struct Reading {
    std::string language;
    std::string encoding;
    std::vector<std::string> encodings;  // one per text
};
Reading reading_of(std::span<const std::string> texts, const Options& options,
                   const Summary& summary);

// What the texts of an input were read as: "text", "html", "markdown" (or
// "mixed" when they differ), and the title of the first that has one.
struct Source {
    std::string input = "text";
    std::string title;
};

// The document for texts (named names, one per text; name is the input's
// own name) summarized with options into summary, whose diagnostics it
// needs; `keywords` keywords at most; source says what the texts were read
// as (their offsets count in the texts given: the main texts of web pages
// and Markdown). One line, ended by a line end.
// Throws std::invalid_argument when summary has no diagnostics.
std::string render_json(std::span<const std::string> texts, std::span<const std::string> names,
                        std::string_view name, const Options& options, const Summary& summary,
                        std::size_t keywords, const Source& source = {});

// The record of an input that failed, in place of its document:
// {"name": ..., "error": ...} on one line, ended by a line end.
std::string render_json_error(std::string_view name, std::string_view error);

}  // namespace brennic::view
