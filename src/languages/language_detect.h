// SPDX-License-Identifier: MIT
// Finds the language of a text among the languages Brennic reads.
#pragma once

#include <string>
#include <string_view>

namespace brennic {

struct LanguageGuess {
    std::string code;  // ISO 639-1, one of language_table(); "en" when falling back
    // Empty when the language was found; otherwise why the text is read as
    // English: too short to tell, a language Brennic does not read, or a
    // mix where no language stands out.
    std::string fallback;
};

// The language of text (UTF-8, or else Windows-1252), judged from its
// first kDetectionBytes bytes.
LanguageGuess guess_language(std::string_view text);

inline constexpr std::size_t kDetectionBytes = std::size_t{1} << 18;

}  // namespace brennic
