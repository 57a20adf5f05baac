// SPDX-License-Identifier: MIT
// Lines: where the layout of the text, rather than its punctuation, ends a
// sentence.
//
// Text copied from web pages, reports and news wires holds lines that are
// sentences without final punctuation: list items, headings, datelines,
// menu entries and keyword lists. At a line break a sentence ends before a
// line bullet ("-", "*") or a list marker, after a list item or a title-case
// line without final punctuation (a heading), unless the next line starts
// in lower case, which is a line wrapped inside a sentence. Short lines
// (three words at most) without final punctuation, two or more in a row,
// are one sentence each; so is a dateline ("Friday, May 5, 2023").
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "talven/gap.h"
#include "talven/terminators.h"
#include "talven/words.h"

namespace talven {

// A new line starts at word i, which is w.
void start_line(LineState& line, std::string_view w, std::size_t i);

// Word i, which is w, joins the line (after start_line for its first word).
void add_to_line(LineState& line, std::string_view w, std::size_t i);

// Whether the line break after word i ends the sentence because of a line
// bullet or list marker opening the next line (`marker`, if it is one), a
// list item, or a heading.
bool line_break_ends(const Words& words, const SentenceState& sentence, const LineState& line,
                     const std::optional<Marker>& marker, std::size_t i);

// Whether the line break after word i ends a short line of a run of short
// lines; `run_end` is the first word after the short line that ended last.
bool short_line_run_ends(const Words& words, const SentenceState& sentence, const LineState& line,
                         std::size_t run_end, std::size_t i);

// "in the city. features\ncontact us\n": whether two short lines start
// right after word i.
bool short_lines_follow(const Words& words, std::size_t i);

// Whether the gap after word i starts or ends a dateline: after a headline
// ("... wins a prize Friday, March 3, 2023"), or before the story.
bool dateline_ends(const Words& words, std::size_t first, const WordEnd& end, std::size_t i);

}  // namespace talven
