// SPDX-License-Identifier: MIT
// The decision at a terminator: brackets and quotations around it, spaced
// ellipses, and what follows it.
#include "talven/decision.h"

#include "talven/abbreviations.h"
#include "talven/lines.h"
#include "talven/quoted_statements.h"

namespace talven {
namespace {

bool all_dots(const Words& words, std::size_t from, std::size_t to) {
    for (std::size_t k = from; k <= to; ++k) {
        if (!is_dots_only(words[k])) return false;
    }
    return true;
}

// "compounds. . . . The practice": a sentence end after word i, then a
// spaced ellipsis opening the next sentence.
bool spaced_ellipsis_opens(const Words& words, const WordEnd& end, std::size_t i) {
    return end.term == Term::Stop && !end.core.empty() && !end.closed_core &&
           classify_core(end.core, words.language()) == CoreKind::Plain && i + 4 < words.size() &&
           words.breaks(i + 4) < 2 && words[i + 1] == "." && words[i + 2] == "." &&
           words[i + 3] == "." && word_start(words[i + 4]).kind == Case::Upper;
}

// "in the world. (http://example.org/x)": an address in brackets.
bool is_bracketed_address(std::string_view w) {
    return w[0] == '(' &&
           (w.starts_with("(http://") || w.starts_with("(https://") || w.starts_with("(www."));
}

// Other languages' texts end sentences inside a quotation ("«Adoraria ser
// candidata. Tenho certeza...»") wherever a capitalised word or one of a
// script without case follows; in
// English a quotation keeps its sentences together but between long
// statements (quoted_statements.h).
bool quoted_sentence_ends(const Words& words, std::size_t i) {
    if (words.language().english) return false;
    const WordStart next = words.start_after(i);
    if (next.kind == Case::Upper) return true;
    // A letter of a script without case ("بل", "लेकिन") stands for a
    // capital.
    if (next.kind != Case::Other || next.rest.empty()) return false;
    const Decoded d = decode_at(next.rest, 0);
    return d.cp >= 0x370 && sym_of(d.cp) == Sym::Other;
}

// "「修理は二年かかる。」と述べた": a quotation in corner brackets ending
// with a stop goes on with the particle that quotes it, written right
// after it. The words that open a sentence with the particle's kana
// ("ところが", however; "とても", very) are no particle.
bool quoting_particle_follows(const Words& words, std::size_t i) {
    if (words.language().english || !words.glued(i + 1)) return false;
    const std::string_view w = words[i];
    if (w.empty() || !is_corner_closer(decode_before(w, w.size()).cp)) return false;
    const std::string_view next = words[i + 1];
    static constexpr std::string_view kOpeners[] = {"ところ",   "とても",     "とにかく",
                                                    "ともかく", "とりあえず", "とりわけ",
                                                    "とうとう", "ときどき",   "とつぜん"};
    for (const std::string_view opener : kOpeners) {
        if (next.starts_with(opener)) return false;
    }
    return next.starts_with("と") || next.starts_with("って");
}

}  // namespace

bool terminator_ends(const Words& words, const Quotations& quotes, const SentenceState& sentence,
                     const WordEnd& end, std::size_t ender, std::size_t i) {
    if (end.term == Term::None) return false;
    if (sentence.depth > 0) return false;
    if (i + 1 < words.size() && quoting_particle_follows(words, i)) return false;
    if (quotes.inside[i] && !quoted_sentence_ends(words, i) &&
        !between_statements(words, quotes, sentence.first, end, i)) {
        return false;
    }
    if (aside_after_quotation(words, quotes, i, sentence.first)) return false;

    const std::string_view next = words[i + 1];
    WordStart a = words.start_after(i);
    if (a.none) return false;
    if (is_dots_only(next)) return spaced_ellipsis_opens(words, end, i);
    // An address in brackets after a sentence end counts as capitalised.
    if (a.kind == Case::Lower && is_bracketed_address(next)) a.kind = Case::Upper;
    // "in the city. features\ncontact us\n": a sentence end, then a run of
    // short lines.
    if (a.kind == Case::Lower && end.term == Term::Stop && !end.closed_core &&
        words.breaks(i + 1) == 0 && classify_core(end.core, words.language()) == CoreKind::Plain &&
        short_lines_follow(words, i)) {
        return true;
    }
    if (a.kind == Case::Lower || a.kind == Case::Punct) return false;
    if (next[0] == '(' && bracket_then_lower(words, i + 1)) return false;
    return ends_before(words, sentence.first, end, ender, i, a);
}

bool ends_before(const Words& words, std::size_t first, const WordEnd& end, std::size_t ender,
                 std::size_t i, const WordStart& next) {
    const bool digit = next.kind == Case::Digit;
    switch (end.term) {
        case Term::None:
            return false;
        case Term::Bang:
        case Term::Interrupted:
        case Term::EllipsisStop:
            return !digit;
        case Term::Ellipsis:
            return !digit && next.letters != "I";
        case Term::Stop:
            break;
    }
    if (end.core.empty()) {
        // A full stop standing alone, or the last dot of ". . .".
        if (all_dots(words, first, i)) return false;  // ". . . The" opens a sentence
        bool spaced = i > first && is_dots_only(words[i - 1]);
        if (spaced) return !digit && next.letters != "I";
        return !digit;
    }
    if (end.closed_core) return true;
    return full_stop_ends(words, first, ender, end.core, next);
}

}  // namespace talven
