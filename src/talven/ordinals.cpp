// SPDX-License-Identifier: MIT
// Ordinals: recognising an ordinal number and the word it counts.
#include "talven/ordinals.h"

#include "talven/abbreviations.h"

namespace talven {
namespace {

// One to three digits, or a Roman numeral in capitals.
bool is_ordinal_number(std::string_view core) {
    if (core.empty() || core.size() > 8) return false;
    if (is_number(core)) return true;
    for (char c : core) {
        if (c != 'I' && c != 'V' && c != 'X' && c != 'L' && c != 'C' && c != 'M') return false;
    }
    return core.size() >= 2;  // "I." alone is an initial or the pronoun
}

// The word's letters, lower-cased: "Oktober," gives "oktober".
std::string first_word(const WordStart& next) {
    std::size_t e = 0;
    while (e < next.rest.size()) {
        const Decoded d = decode_at(next.rest, e);
        const Case k = wide_case_of(d.cp);
        if (k != Case::Upper && k != Case::Lower) break;
        e += d.len;
    }
    return fold_case(next.rest.substr(0, e));
}

}  // namespace

bool ordinal_continues(std::string_view core, const WordStart& next, const Language& lang) {
    if (!lang.ordinals || next.kind != Case::Upper || !is_ordinal_number(core)) return false;
    if (lang.lexicon.is_month(first_word(next))) return true;
    return lang.nouns && !opens_sentence(next, lang);
}

}  // namespace talven
