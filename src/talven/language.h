// SPDX-License-Identifier: MIT
// Languages: the rule set the segmenter applies to a text, chosen by the
// ISO 639-1 code of the text's language.
//
// English ("en", the default) keeps the English rules and word lists and
// nothing else. Every other language takes the general rules: the stops of
// every script (script_stops.h), case read in every cased script, and its
// own abbreviation lists in place of the English ones, plus the rules that
// data/segmenter/languages.txt gives it (ordinals, a question mark or a
// full stop written with ASCII punctuation). The tables are compiled in
// from data/.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "talven/chars.h"
#include "talven/lexicon.h"

namespace talven {

struct Language {
    std::string code;
    bool english = false;            // the English rules and lists only
    bool ordinals = false;           // "am 3. Oktober": ordinal full stops
    bool nouns = false;              // every noun capitalised (German)
    bool semicolon_asks = false;     // ";" is the question mark (Greek)
    bool colon_ends = false;         // ":" ends a sentence (Armenian)
    bool syllable_initials = false;  // one syllable and a full stop is an initial (Tamil)
    bool thai_spaces = false;        // a space between Thai words ends a sentence
    Lexicon lexicon;                 // unused for English
};

// A language code that names no language.
class UnknownLanguage : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The rules for `code`: an ISO 639-1 code in lower case ("de"), or "" for
// English. "auto" must be resolved first (resolve_language). Throws
// UnknownLanguage for anything else. The result lives as long as the
// process; any thread may ask.
const Language& language_rules(std::string_view code);

// The English rules, the default.
const Language& english();

// The code a text's language option stands for: "auto" becomes the code of
// the language the text is written in, anything else is returned as given.
std::string resolve_language(std::string_view code, std::string_view text);

// The contents of data/<name>, compiled in; empty when there is none.
std::string_view data_file(std::string_view name);

// The case of a letter of any cased script: Latin, Greek, Cyrillic,
// Armenian (case_of reads the few ranges the English rules know).
Case wide_case_of(std::uint32_t cp);

// `w` in lower case, in every cased script; other bytes unchanged.
std::string fold_case(std::string_view w);

}  // namespace talven
