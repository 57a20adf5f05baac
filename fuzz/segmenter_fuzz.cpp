// SPDX-License-Identifier: MIT
// Fuzzes the sentence segmenter on random bytes, by the English rules and
// by those of another language picked from the input's length: it loses and
// invents nothing but white space, and every sentence is one non-empty line
// without white space at either end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "talven/language.h"
#include "talven/segmenter.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool is_white(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

void append_non_white(std::string& out, std::string_view text) {
    for (char c : text) {
        if (!is_white(c)) out.push_back(c);
    }
}

void check_sentences(std::string_view text, const std::vector<std::string>& sentences) {
    std::string expected;
    append_non_white(expected, text);
    std::string got;
    for (const std::string& s : sentences) {
        check(!s.empty());
        check(s.find('\n') == std::string::npos);
        check(!is_white(s.front()) && !is_white(s.back()));
        append_non_white(got, s);
    }
    check(got == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check_sentences(text, talven::segment(text));
    static constexpr const char* languages[] = {"de", "fr", "hi", "ja", "el", "hy", "tr", "ar"};
    const talven::Language& lang = talven::language_rules(languages[size % 8]);
    check_sentences(text, talven::segment(text, lang));
    return 0;
}
