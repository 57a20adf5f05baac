// SPDX-License-Identifier: MIT
// Abbreviations: classifying the word before a full stop by its shape
// (initial, dotted acronym, number sign) and by the word lists of lexicon.h.
#include "talven/abbreviations.h"

#include <string>

#include "talven/lexicon.h"
#include "talven/ordinals.h"

namespace talven {
namespace {

bool is_dotted_acronym(std::string_view core) {
    // U.S, e.g, Ph.D, J.C: two or more pieces of one or two letters.
    std::size_t pieces = 0;
    std::size_t len = 0;
    for (char c : core) {
        if (c == '.') {
            if (len == 0) return false;
            ++pieces;
            len = 0;
        } else if (is_ascii_letter(c)) {
            if (++len > 2) return false;
        } else {
            return false;
        }
    }
    return len > 0 && pieces >= 1;
}

// "SEC", "INC": two letters or more, all capitals.
bool is_capitals(std::string_view core) {
    if (core.size() < 2) return false;
    for (char c : core) {
        if (c < 'A' || c > 'Z') return false;
    }
    return true;
}

// "Shares", "The": a capitalised word with a lower-case letter after the
// capital, or a typical sentence opener in any case.
bool opens_after_acronym(const WordStart& next) {
    if (next.kind != Case::Upper) return false;
    return (next.letters.size() >= 2 && is_ascii_lower(next.letters[1])) ||
           is_sentence_opener(next.letters);
}

// What a listed word ending in a full stop is, by the kind of its entry;
// capitals: the word is written in capitals, as an acronym is.
CoreKind kind_of_entry(AbbrevKind kind, bool capitals) {
    switch (kind) {
        case AbbrevKind::Title:
            return CoreKind::Title;
        case AbbrevKind::Reference:
            return capitals ? CoreKind::Acronym : CoreKind::Title;
        case AbbrevKind::Joining:
            return CoreKind::Joining;
        case AbbrevKind::Time:
            return CoreKind::Time;
        case AbbrevKind::Word:
            return CoreKind::Everyday;
        case AbbrevKind::Abbrev:
            return capitals ? CoreKind::Acronym : CoreKind::Abbrev;
        case AbbrevKind::None:
            break;
    }
    return CoreKind::Plain;
}

// The English lists, exactly as the English rules have always read them.
CoreKind classify_english(std::string_view core) {
    if (core.empty()) return CoreKind::Plain;
    Decoded first = decode_at(core, 0);
    if (first.len == core.size()) {
        Case c = case_of(first.cp);
        return (c == Case::Upper || c == Case::Lower) ? CoreKind::Initial : CoreKind::Plain;
    }
    if (core.size() > 12) return CoreKind::Plain;
    // The number sign "N°" / "Nº" (UTF-8 or Latin-1), like "No.".
    if (core[0] == 'N' || core[0] == 'n') {
        std::string_view rest = core.substr(1);
        if (rest == "\xC2\xB0" || rest == "\xC2\xBA" || rest == "\xB0" || rest == "\xBA") {
            return CoreKind::Title;
        }
    }
    bool dotted = false;
    for (char c : core) {
        if (!is_ascii_letter(c) && c != '.' && c != '/' && c != '-' && c != '\'') {
            return CoreKind::Plain;
        }
        dotted = dotted || c == '.';
    }
    std::string lower(core);
    for (char& c : lower) c = to_lower(c);
    const CoreKind listed = kind_of_entry(abbrev_kind(lower), is_capitals(core));
    if (listed != CoreKind::Plain) return listed;
    if (dotted && is_dotted_acronym(core)) return CoreKind::Abbrev;
    return CoreKind::Plain;
}

// A vowel sign, virama or other combining mark of a Brahmic script
// (Devanagari to Sinhala), which belongs to the letter before it.
bool is_brahmic_mark(std::uint32_t cp) {
    if (cp < 0x0900 || cp >= 0x0E00) return false;
    const std::uint32_t off = cp & 0x7F;
    return off <= 0x03 || off == 0x3C || (off >= 0x3E && off <= 0x4D) ||
           (off >= 0x55 && off <= 0x57) || off == 0x62 || off == 0x63;
}

// The syllables of a word of a Brahmic script: its letters but the marks.
std::size_t syllables(std::string_view w) {
    std::size_t n = 0;
    for (std::size_t p = 0; p < w.size();) {
        const Decoded d = decode_at(w, p);
        p += d.len;
        n += is_brahmic_mark(d.cp) ? 0 : 1;
    }
    return n;
}

// "т.е", "z.B", "ა.შ": two or more pieces of one or two letters of any
// script, dots between.
bool is_dotted_letters(std::string_view core) {
    std::size_t pieces = 0;
    std::size_t len = 0;
    for (std::size_t p = 0; p < core.size();) {
        const Decoded d = decode_at(core, p);
        p += d.len;
        if (d.cp == '.') {
            if (len == 0) return false;
            ++pieces;
            len = 0;
        } else if (!is_brahmic_mark(d.cp) && ++len > 2) {
            return false;
        }
    }
    return len > 0 && pieces >= 1;
}

// Another language's lists, read in every script. The word may hold
// letters of any script, dots, hyphens, apostrophes and slashes.
CoreKind classify_other(std::string_view core, const Language& lang) {
    const Decoded first = decode_at(core, 0);
    const Case c = wide_case_of(first.cp);
    if (first.len == core.size()) {
        // A capital alone is an initial; any other letter alone only an
        // abbreviation when listed ("s." for a page, but Turkish "o." is a
        // pronoun).
        if (c == Case::Upper) return CoreKind::Initial;
        if (c == Case::Digit || c == Case::Punct) return CoreKind::Plain;
        return kind_of_entry(lang.lexicon.kind(fold_case(core)), false);
    }
    // Tamil and its neighbours write initials as one syllable ("கே.
    // பாலகிருஷ்ணன்").
    if (lang.syllable_initials && is_brahmic_mark(decode_at(core, first.len).cp) &&
        syllables(core) == 1) {
        return CoreKind::Initial;
    }
    if (core.size() > 24) return CoreKind::Plain;
    bool dotted = false;
    bool capitals = true;
    std::size_t letters = 0;
    for (std::size_t p = 0; p < core.size();) {
        const Decoded d = decode_at(core, p);
        p += d.len;
        const Case k = wide_case_of(d.cp);
        if (k == Case::Upper || k == Case::Lower ||
            (d.cp >= 0x80 && k == Case::Other && sym_of(d.cp) == Sym::Other)) {
            ++letters;
            capitals = capitals && k == Case::Upper;
        } else if (d.cp == '.') {
            dotted = true;
        } else if (d.cp != '-' && d.cp != '\'' && d.cp != '/') {
            return CoreKind::Plain;
        }
    }
    const CoreKind kind =
        kind_of_entry(lang.lexicon.kind(fold_case(core)), capitals && letters >= 2);
    if (kind != CoreKind::Plain) return kind;
    if (dotted && is_dotted_letters(core)) return CoreKind::Abbrev;
    return CoreKind::Plain;
}

}  // namespace

CoreKind classify_core(std::string_view core, const Language& lang) {
    if (lang.english) return classify_english(core);
    if (core.empty()) return CoreKind::Plain;
    return classify_other(core, lang);
}

bool ends_in_abbreviation(const WordEnd& end, const Language& lang) {
    return end.term == Term::Stop && !end.core.empty() && !end.closed_core &&
           classify_core(end.core, lang) != CoreKind::Plain;
}

bool opens_sentence(const WordStart& next, const Language& lang) {
    if (lang.english) return is_sentence_opener(next.letters);
    // The word's letters up to the first mark that is no letter.
    std::size_t e = 0;
    while (e < next.rest.size()) {
        const Decoded d = decode_at(next.rest, e);
        const Case k = wide_case_of(d.cp);
        if (k != Case::Upper && k != Case::Lower && !(d.cp >= 0x80 && sym_of(d.cp) == Sym::Other)) {
            break;
        }
        e += d.len;
    }
    return e > 0 && lang.lexicon.is_opener(fold_case(next.rest.substr(0, e)));
}

namespace {

// "z. B.", "u. Ä.": the next word is one letter and a full stop, the
// second half of an abbreviation spelt with a space.
bool is_spaced_abbreviation(std::string_view core, const WordStart& next) {
    const Decoded a = decode_at(core, 0);
    if (a.len != core.size() || next.rest.empty()) return false;
    const Decoded b = decode_at(next.rest, 0);
    const std::string_view rest = next.rest.substr(b.len);
    return (rest == "." || rest == ".,") && wide_case_of(b.cp) == Case::Upper;
}

bool other_full_stop_ends(std::string_view core, const WordStart& next, const Language& lang) {
    const bool digit = next.kind == Case::Digit;
    if (is_spaced_abbreviation(core, next)) return false;
    switch (classify_core(core, lang)) {
        case CoreKind::Plain:
            return !ordinal_continues(core, next, lang);
        case CoreKind::Initial:
        case CoreKind::Title:
        case CoreKind::Joining:
            return false;
        case CoreKind::Time:
        case CoreKind::Everyday:
            return !digit;
        case CoreKind::Abbrev:
            return next.kind == Case::Upper && opens_sentence(next, lang);
        case CoreKind::Acronym: {
            if (next.kind != Case::Upper) return false;
            const Decoded first = decode_at(next.rest, 0);
            return (first.len < next.rest.size() &&
                    wide_case_of(decode_at(next.rest, first.len).cp) == Case::Lower) ||
                   opens_sentence(next, lang);
        }
    }
    return false;
}

// "d. h.", "u. a.", "s. o.": core, one letter, follows a word that is one
// letter and a full stop listed as joining, the first half of an
// abbreviation spelt with a space.
bool ends_spaced_abbreviation(const Words& words, std::size_t first, std::size_t ender,
                              std::string_view core, const Language& lang) {
    if (ender <= first || decode_at(core, 0).len != core.size()) return false;
    std::string_view before = words[ender - 1];
    while (!before.empty() && before.front() == '(') before.remove_prefix(1);
    if (before.size() < 2 || before.back() != '.') return false;
    before.remove_suffix(1);
    return decode_at(before, 0).len == before.size() &&
           lang.lexicon.kind(fold_case(before)) == AbbrevKind::Joining;
}

}  // namespace

bool full_stop_ends(const Words& words, std::size_t first, std::size_t ender, std::string_view core,
                    const WordStart& next) {
    const Language& lang = words.language();
    if (!lang.english && ends_spaced_abbreviation(words, first, ender, core, lang)) {
        return next.kind == Case::Upper && opens_sentence(next, lang);
    }
    if (!lang.english) return other_full_stop_ends(core, next, lang);
    const bool digit = next.kind == Case::Digit;
    switch (classify_english(core)) {
        case CoreKind::Plain:
            return true;  // "in 1990. 25 people": numbers do open sentences
        case CoreKind::Initial:
            if (core == "I" && ender > first) {
                WordStart prev = word_start(words[ender - 1]);
                if (prev.kind == Case::Lower) return true;
            }
            return false;
        case CoreKind::Title:
        case CoreKind::Joining:
            return false;
        case CoreKind::Time:
            // "At 5 a.m. Mr. Smith left": a time opening the sentence.
            return !digit && ender - first > 2;
        case CoreKind::Everyday:
            return !digit;
        case CoreKind::Abbrev:
            return next.kind == Case::Upper && is_sentence_opener(next.letters);
        case CoreKind::Acronym:
            return opens_after_acronym(next);
    }
    return false;
}

}  // namespace talven
