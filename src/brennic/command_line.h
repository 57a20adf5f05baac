// SPDX-License-Identifier: MIT
// The command line "[-is] [-ak] [-nM] text1 [... textM] [query] compression_rate"
// and the run it drives.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brennic/brennic.h"

namespace brennic {

extern const char* const kUsageText;

struct CommandLine {
    bool test_is = false;
    bool test_ak = false;
    std::vector<std::string> texts;  // in argument order
    std::optional<std::string> query;
    float compression_rate = 0.0f;
    std::string filename;  // the output base name
};

// The output base name of several texts read together: "multidoc-" before
// the last path component of the last text.
std::string multidoc_name(const std::string& last_text);

// Parses the arguments (argv[0] is the program). Returns nothing when the
// usage text is to be printed instead: too few arguments, a missing or bad
// document count, or switches and texts that leave no compression rate.
std::optional<CommandLine> parse_command_line(int argc, const char* const* argv);

// The reading of texts chosen by the environment variable BRENNIC_ENCODING
// ("auto", "latin1" or "utf-8"; unset or empty: auto). Any other value is
// a failure.
Encoding encoding_from_environment();

// The language of texts chosen by the environment variable BRENNIC_LANGUAGE:
// an ISO 639-1 code of language_codes() or "auto" (unset or empty: "en").
// Any other value is a failure.
std::string language_from_environment();

// The whole program: parses, reads, summarizes, writes; returns the exit status.
int run_brennic(int argc, const char* const* argv);

}  // namespace brennic
