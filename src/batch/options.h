// SPDX-License-Identifier: MIT
// What a run of brennic (also installed as brennic-batch) is told on its
// command line; src/cli/arguments.cpp reads it from argv.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "brennic/brennic.h"

namespace brennic::batch {

// What a text's output holds on standard output, or beside its extract.
enum class Format { text, json, html };

// Everything a run is told on its command line. New kinds of output add a
// field here and are produced where the run writes its outputs (batch.cpp).
struct Settings {
    Options summary;  // the length, --query, --condense, --mean, --encoding, --language
    std::vector<std::string> texts;          // as given; "-" is standard input
    std::optional<std::string> files_from;   // --files-from FILE ("-": standard input)
    bool null_separated = false;             // -0: the list and the failure list use NUL
    bool beside = false;                     // --sum: NAME.sum beside each text
    std::optional<std::string> output_dir;   // --output-dir DIR: the files go there
    bool together = false;                   // -n: all texts are one input
    bool recursive = false;                  // -R: folders' texts, and their folders'
    std::vector<std::string> include;        // --include GLOB (empty: kTextSuffixes)
    bool quiet = false;                      // --quiet: no note on a fallback to English
    bool dry_run = false;                    // check the names, list what would be done
    bool progress = true;                    // --no-progress turns the bar off
    unsigned jobs = 0;                       // -j; 0: one per core
    std::optional<std::string> failed_list;  // --failed FILE
    Format format = Format::text;            // --format
    std::optional<std::size_t> keywords;     // --keywords N: the top N keywords
    bool stems = false;                      // --stems: keywords as stems, not words
    Input input = Input::automatic;          // --input: what the texts are
    bool main_text = false;                  // --main-text: print the main texts instead

    // The outputs go to files (beside the texts or into the output folder)
    // rather than to standard output.
    bool to_files() const { return beside || output_dir.has_value(); }
    // The texts -R reads when no --include says.
    static constexpr const char* kTextPatterns[] = {"*.txt",   "*.html", "*.htm",
                                                    "*.xhtml", "*.md",   "*.markdown"};
    // Keywords in a JSON document when --keywords does not say.
    static constexpr std::size_t kJsonKeywords = 10;
};

// A command line that does not fit; main prints it on one line, exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace brennic::batch
