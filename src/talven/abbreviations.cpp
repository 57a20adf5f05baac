// SPDX-License-Identifier: MIT
// Abbreviations: classifying the word before a full stop by its shape
// (initial, dotted acronym, number sign) and by the word lists of lexicon.h.
#include "talven/abbreviations.h"

#include <string>

#include "talven/lexicon.h"

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

}  // namespace

CoreKind classify_core(std::string_view core) {
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
    switch (abbrev_kind(lower)) {
        case AbbrevKind::Title:
            return CoreKind::Title;
        case AbbrevKind::Reference:
            return is_capitals(core) ? CoreKind::Acronym : CoreKind::Title;
        case AbbrevKind::Joining:
            return CoreKind::Joining;
        case AbbrevKind::Time:
            return CoreKind::Time;
        case AbbrevKind::Word:
            return CoreKind::Everyday;
        case AbbrevKind::Abbrev:
            return is_capitals(core) ? CoreKind::Acronym : CoreKind::Abbrev;
        case AbbrevKind::None:
            break;
    }
    if (dotted && is_dotted_acronym(core)) return CoreKind::Abbrev;
    return CoreKind::Plain;
}

bool ends_in_abbreviation(const WordEnd& end) {
    return end.term == Term::Stop && !end.core.empty() && !end.closed_core &&
           classify_core(end.core) != CoreKind::Plain;
}

bool full_stop_ends(const Words& words, std::size_t first, std::size_t ender, std::string_view core,
                    const WordStart& next) {
    const bool digit = next.kind == Case::Digit;
    switch (classify_core(core)) {
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
