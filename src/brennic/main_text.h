// SPDX-License-Identifier: MIT
// Summaries of the main texts of web pages and Markdown files, for the
// command line, which reads the documents itself to show their titles and
// main texts too.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "brennic/brennic.h"
#include "readers/input_kind.h"

namespace brennic {

readers::InputKind to_kind(Input input);
Input to_input(readers::InputKind kind);

// The language code a document's language names, when it is one of
// language_codes() ("pt-BR" is "pt", "nb" and "nn" are "no"); empty
// otherwise.
std::string hinted_language(std::string_view hint);

// summarize() of texts that are main texts already (Options::input is not
// looked at), each with the language its document named (hints[i], may be
// empty; hints may be shorter than texts). With Options::language "auto" a
// text whose language detection cannot tell is read in its hint's language.
// titles[i], when given and not empty, is the title of text i for methods
// that read titles, unless Options::title gives one for all.
Summary summarize_main_texts(std::span<const std::string_view> texts,
                             std::span<const std::string> hints, const Options& options,
                             std::span<const std::string> titles = {});

}  // namespace brennic
