// SPDX-License-Identifier: MIT
// The "centrality" method: sentences scored by where they stand, how much
// they share with the rest of their text and with its title, then chosen
// best first, each discounted by what the sentences already chosen say.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "brennic/brennic.h"
#include "brennic/run_state.h"

namespace brennic {

// Where a sentence stands in its text.
struct SentencePlace {
    std::uint32_t document = 0;    // which text it comes from
    bool paragraph_start = false;  // first of its text, paragraph or section
    bool heading = false;          // a short line standing alone, without a sentence stop
};

// The places of a text's sentences, appended to places: sentences are the
// segmenter's lines of text, spans where they lie (segment_spans, or none
// when unknown), and only the lines that become sentences (those holding
// more than NUL bytes) get a place. A heading
// needs a line of its own, no stop at its end and at most a few words; a
// paragraph starts after a blank line, after a heading, or at any line
// start in a text without blank lines.
void add_places(std::vector<SentencePlace>& places, std::string_view text,
                std::span<const std::string> sentences, std::span<const Span> spans,
                std::uint32_t document);

// When the segmenter ran a text's first line on into the next sentence
// (a single line break joins lines) and that line reads as a headline, the
// line becomes a sentence of its own: no sentence stop at its end, at most
// a few words, the next line not going on in lower case, and shorter than
// the lines that follow, or than the next when that one ends as a sentence
// (a hard-wrapped sentence's first line is as long as the rest, and its
// next line seldom ends a sentence). sentences are the segmenter's lines
// of the text.
void set_headline_apart(std::string_view text, std::vector<std::string>& sentences);

// Scores and marks the extract's sentences by the centrality method, as
// summarize_read_texts does by frequency; places holds one entry per
// sentence (or none: one paragraph, no headings). The title is the given
// one for every text, else titles[d] for text d where given and not empty,
// else a text's first line when it stands alone. Fills state.parts.
void summarize_by_centrality(RunState& state, std::span<const SentencePlace> places,
                             const std::optional<std::string>& query,
                             const std::optional<std::string>& title,
                             std::span<const std::string> titles, float compression_rate);

}  // namespace brennic
