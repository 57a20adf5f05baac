// SPDX-License-Identifier: MIT
// A web page of a summarized input: the whole text, sentence by sentence in
// its paragraphs, with the extract highlighted and the run's figures on top.
#pragma once

#include <brennic/brennic.h>

#include <span>
#include <string>

namespace brennic::view {

// The page for texts (named names, one name per text) summarized together
// with options into summary, whose diagnostics it needs. The page is one
// self-contained document: inline CSS, no script, nothing fetched. Every
// byte of the input is escaped; the page is UTF-8 when the texts are, and
// Windows-1252 (the bytes passed through as they are) otherwise.
// Throws std::invalid_argument when summary has no diagnostics or they do
// not belong to these texts.
std::string render_html(std::span<const std::string> texts, std::span<const std::string> names,
                        const Options& options, const Summary& summary);

}  // namespace brennic::view
