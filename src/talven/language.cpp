// SPDX-License-Identifier: MIT
// Languages: reading the language tables compiled in from data/ and
// building the rule set of a language on first use.
#include "talven/language.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "common/utf8.h"
#include "languages/language_detect.h"
#include "talven/segmenter.h"

namespace talven {
namespace {

// The lines of a data file, without comments ("#" to the end of the line)
// and surrounding white space; empty lines dropped.
std::vector<std::string_view> data_lines(std::string_view contents) {
    std::vector<std::string_view> out;
    while (!contents.empty()) {
        std::size_t nl = contents.find('\n');
        std::string_view line = contents.substr(0, nl);
        contents = nl == std::string_view::npos ? std::string_view{} : contents.substr(nl + 1);
        if (std::size_t hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        while (!line.empty() && is_space(static_cast<u8>(line.front()))) line.remove_prefix(1);
        while (!line.empty() && is_space(static_cast<u8>(line.back()))) line.remove_suffix(1);
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

// The words of a line, separated by spaces or tabs.
std::vector<std::string_view> split_words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_space(static_cast<u8>(line[i]))) ++i;
        std::size_t b = i;
        while (i < line.size() && !is_space(static_cast<u8>(line[i]))) ++i;
        if (i > b) out.push_back(line.substr(b, i - b));
    }
    return out;
}

// An abbreviation list: one entry a line, the final full stop optional.
// Entries of several words cannot be the one word before a full stop.
void add_list(Lexicon& lex, std::string_view file, AbbrevKind kind) {
    for (std::string_view line : data_lines(data_file(file))) {
        if (line.find(' ') != std::string_view::npos) continue;
        if (line.size() > 1 && line.back() == '.') line.remove_suffix(1);
        lex.add_kind(fold_case(line), kind);
    }
}

// A word list of our own: "key: word word ...".
void add_words(Lexicon& lex, std::string_view file) {
    for (std::string_view line : data_lines(data_file(file))) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, colon);
        for (std::string_view w : split_words(line.substr(colon + 1))) {
            const std::string lower = fold_case(w);
            if (key == "months") {
                lex.add_month(lower);
            } else if (key == "openers") {
                lex.add_opener(lower);
            } else if (key == "abbreviations") {
                lex.add_kind(lower, AbbrevKind::Abbrev);
            } else if (key == "titles") {
                lex.add_kind(lower, AbbrevKind::Title);
            } else if (key == "numbers") {
                lex.add_kind(lower, AbbrevKind::Reference);
            } else if (key == "joining") {
                lex.add_kind(lower, AbbrevKind::Joining);
            } else if (key == "words") {
                lex.add_kind(lower, AbbrevKind::None);
            }
        }
    }
}

void add_language_lists(Lexicon& lex, std::string_view code) {
    const std::string c(code);
    add_list(lex, "abbreviations/" + c + ".txt", AbbrevKind::Abbrev);
    add_list(lex, "abbreviations/" + c + ".number.txt", AbbrevKind::Reference);
    add_list(lex, "abbreviations/" + c + ".prepositive.txt", AbbrevKind::Title);
}

std::unique_ptr<Language> build(std::string_view code) {
    auto lang = std::make_unique<Language>();
    lang->code = code;
    std::vector<std::string_view> borrowed;
    for (std::string_view line : data_lines(data_file("segmenter/languages.txt"))) {
        std::vector<std::string_view> words = split_words(line);
        if (words.empty() || words[0] != code) continue;
        for (std::size_t k = 1; k < words.size(); ++k) {
            const std::string_view rule = words[k];
            if (rule == "english") lang->english = true;
            if (rule == "ordinals") lang->ordinals = true;
            if (rule == "nouns") lang->nouns = true;
            if (rule == "semicolon-asks") lang->semicolon_asks = true;
            if (rule == "colon-ends") lang->colon_ends = true;
            if (rule == "syllable-initials") lang->syllable_initials = true;
            if (rule == "thai-spaces") lang->thai_spaces = true;
            if (rule.starts_with("abbreviations=")) borrowed.push_back(rule.substr(14));
        }
    }
    if (lang->english) return lang;
    add_words(lang->lexicon, "segmenter/common.txt");
    for (std::string_view other : borrowed) add_language_lists(lang->lexicon, other);
    add_language_lists(lang->lexicon, code);
    add_words(lang->lexicon, "segmenter/" + std::string(code) + ".txt");
    return lang;
}

bool is_language_code(std::string_view code) {
    static const std::unordered_set<std::string_view> codes = [] {
        std::unordered_set<std::string_view> set;
        for (std::string_view line : data_lines(data_file("segmenter/iso639-1.txt"))) {
            for (std::string_view w : split_words(line)) set.insert(w);
        }
        return set;
    }();
    return codes.contains(code);
}

// Latin Extended-A: pairs with the capital first, but for 0x139-0x148 and
// 0x179-0x17E, where the capital is odd, and a few letters of one case.
std::uint32_t lower_latin_a(std::uint32_t cp) {
    if (cp == 0x130) return 'i';
    if (cp == 0x178) return 0xFF;
    const bool odd_capitals = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
    return ((cp & 1) == (odd_capitals ? 1u : 0u)) ? cp + 1 : cp;
}

// The lower-case form of cp, or cp itself.
std::uint32_t lower_of(std::uint32_t cp) {
    if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
    if (cp >= 0x100 && cp <= 0x17F) return lower_latin_a(cp);
    if ((cp >= 0x200 && cp <= 0x233) || (cp >= 0x1E00 && cp <= 0x1EFF)) {
        return (cp & 1) == 0 ? cp + 1 : cp;
    }
    if (cp == 0x386) return 0x3AC;
    if (cp >= 0x388 && cp <= 0x38A) return cp + 37;
    if (cp == 0x38C) return 0x3CC;
    if (cp == 0x38E || cp == 0x38F) return cp + 63;
    if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 32;
    if (cp >= 0x400 && cp <= 0x40F) return cp + 80;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 32;
    if ((cp >= 0x460 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4BF) ||
        (cp >= 0x4D0 && cp <= 0x52F)) {
        return (cp & 1) == 0 ? cp + 1 : cp;
    }
    if (cp == 0x4C0) return 0x4CF;
    if (cp >= 0x4C1 && cp <= 0x4CE) return (cp & 1) == 1 ? cp + 1 : cp;
    if (cp >= 0x531 && cp <= 0x556) return cp + 48;
    if (cp >= 0xFF21 && cp <= 0xFF3A) return cp + 32;
    return cp;
}

bool is_lower_letter(std::uint32_t cp) {
    return (cp >= 0xDF && cp <= 0xFF && cp != 0xF7) ||
           (cp >= 0x100 && cp <= 0x17F && lower_latin_a(cp) == cp) ||
           (((cp >= 0x200 && cp <= 0x233) || (cp >= 0x1E00 && cp <= 0x1EFF)) && (cp & 1) == 1) ||
           (cp >= 0x3AC && cp <= 0x3CE) || cp == 0x390 || (cp >= 0x430 && cp <= 0x45F) ||
           (((cp >= 0x460 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4BF) ||
             (cp >= 0x4D0 && cp <= 0x52F)) &&
            (cp & 1) == 1) ||
           (cp >= 0x561 && cp <= 0x587) || (cp >= 0xFF41 && cp <= 0xFF5A);
}

}  // namespace

Case wide_case_of(std::uint32_t cp) {
    if (cp < 0x80) return case_of(cp);
    if (lower_of(cp) != cp) return Case::Upper;
    if (is_lower_letter(cp)) return Case::Lower;
    // Digits of the Arabic and Indic scripts.
    if ((cp >= 0x660 && cp <= 0x669) || (cp >= 0x6F0 && cp <= 0x6F9) ||
        (cp >= 0x966 && cp <= 0x96F) || (cp >= 0xFF10 && cp <= 0xFF19)) {
        return Case::Digit;
    }
    // The Arabic comma and semicolon, like their ASCII forms.
    if (cp == 0x60C || cp == 0x61B || cp == 0x2026) return Case::Punct;
    return Case::Other;
}

std::string fold_case(std::string_view w) {
    std::string out;
    out.reserve(w.size());
    for (std::size_t i = 0; i < w.size();) {
        const std::size_t n = static_cast<u8>(w[i]) < 0x80 ? 1 : utf8_len_at(w, i);
        if (n == 0) {
            out += w[i++];
            continue;
        }
        brennic::append_utf8(out, lower_of(n == 1 ? static_cast<u8>(w[i]) : decode_utf8(w, i, n)));
        i += n;
    }
    return out;
}

const Language& english() {
    static const Language& en = language_rules("en");
    return en;
}

const Language& language_rules(std::string_view code) {
    if (code.empty()) code = "en";
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Language>, std::less<>> built;
    const std::lock_guard lock(mutex);
    if (auto it = built.find(code); it != built.end()) return *it->second;
    if (!is_language_code(code)) {
        throw UnknownLanguage("unknown language \"" + std::string(code) +
                              "\": give an ISO 639-1 code such as \"en\" or \"de\", or \"auto\"");
    }
    return *built.emplace(std::string(code), build(code)).first->second;
}

// "auto" stands for the language the text is written in, as language
// detection finds it (English when it cannot tell).
std::string resolve_language(std::string_view code, std::string_view text) {
    if (code == "auto") return brennic::guess_language(text).code;
    return std::string(code);
}

}  // namespace talven
