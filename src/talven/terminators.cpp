// SPDX-License-Identifier: MIT
// Terminators: reading the end of a word (terminator, closing marks,
// footnote numbers) and finding the word that closes a sentence.
#include "talven/terminators.h"

#include "talven/script_stops.h"

namespace talven {
namespace {

// "[12]", "[3, 4]", "[2–11]": a footnote or citation mark.
bool is_citation(std::string_view inner) {
    if (inner.empty()) return false;
    bool digit = false;
    for (std::size_t k = 0; k < inner.size(); ++k) {
        char c = inner[k];
        if (is_ascii_digit(c)) {
            digit = true;
        } else if (c != ',' && c != '-' && static_cast<u8>(c) < 0x80) {
            return false;
        }
    }
    return digit;
}

// "decision.“ However": an opening quote mark right after a terminator
// opens nothing; it is a closing one typed the wrong way round.
// In other languages "«" closes too ("Tak.«", Danish), and the stops of
// every script count.
bool is_misplaced_opener(std::string_view w, std::size_t e, Decoded d, const Language& lang) {
    if ((d.cp != 0x201C && d.cp != 0x2018 && (lang.english || d.cp != 0xAB)) || e == d.len) {
        return false;
    }
    Sym before = terminator_sym(decode_before(w, e - d.len).cp, lang);
    return before == Sym::Period || before == Sym::Bang || before == Sym::Ellipsis;
}

std::size_t strip_closers(std::string_view w, std::size_t e, const Language& lang) {
    while (e > 0) {
        if (w[e - 1] == ']') {
            // Citation marks are short: look back a few bytes only, which
            // also keeps a word of a million brackets linear.
            std::size_t from = e > 16 ? e - 16 : 0;
            std::size_t open = w.substr(from, e - 1 - from).rfind('[');
            if (open != std::string_view::npos) {
                open += from;
                if (is_citation(w.substr(open + 1, e - open - 2))) {
                    e = open;
                    continue;
                }
            }
        }
        Decoded d = decode_before(w, e);
        if (!is_closer(sym_of(d.cp)) && !(!lang.english && is_corner_closer(d.cp)) &&
            !is_misplaced_opener(w, e, d, lang)) {
            break;
        }
        e -= d.len;
    }
    return e;
}

// The end e of w without a footnote number glued to the terminator
// ("consultation.11", "(1987).1"); sets `footnote` when there is one.
std::size_t strip_footnote(std::string_view w, std::size_t e, bool& footnote) {
    if (e == 0 || !is_ascii_digit(w[e - 1])) return e;
    std::size_t d = e;
    while (d > 0 && is_ascii_digit(w[d - 1])) --d;
    if (d < 2 || e - d > 3 || w[d - 1] != '.') return e;
    char before = w[d - 2];
    bool word_before = d >= 3 && is_ascii_letter(before) && is_ascii_letter(w[d - 3]);
    if (!word_before && before != ')' && before != ']') return e;
    footnote = true;
    return d;
}

// The run of terminators that ends where the closing marks begin.
struct TerminatorRun {
    std::size_t begin = 0;
    int stops = 0;
    bool bang = false;
    bool ellipsis = false;
    bool stop_after_ellipsis = false;

    Term term() const {
        if (bang) return Term::Bang;
        if (ellipsis || stops >= 2) {
            return (stop_after_ellipsis || stops >= 4) ? Term::EllipsisStop : Term::Ellipsis;
        }
        return Term::Stop;
    }
};

TerminatorRun terminators_before(std::string_view w, std::size_t e, const Language& lang) {
    TerminatorRun run;
    std::size_t t = e;
    while (t > 0) {
        Decoded d = decode_before(w, t);
        Sym s = terminator_sym(d.cp, lang);
        if (s == Sym::Period) {
            ++run.stops;
        } else if (s == Sym::Bang) {
            run.bang = true;
        } else if (s == Sym::Ellipsis) {
            if (run.stops > 0) run.stop_after_ellipsis = true;
            run.ellipsis = true;
        } else {
            break;
        }
        t -= d.len;
    }
    run.begin = t;
    return run;
}

// A dash right before a closing quote at e: "we're doing our best, to--\"".
bool dash_before_quote(std::string_view w, std::size_t e) {
    if (e >= w.size() || e == 0 || sym_of(decode_before(w, e).cp) != Sym::Dash) return false;
    Decoded q = decode_at(w, e);
    return q.cp == '"' || q.cp == 0x201D || q.cp == 0x2019 || q.cp == '\'';
}

}  // namespace

bool is_citation_only(std::string_view w) {
    return !w.empty() && w[0] == '[' && strip_closers(w, w.size(), english()) == 0;
}

WordEnd analyse_end(std::string_view w, const Language& lang) {
    WordEnd out;
    // Most words end in a letter or a comma: nothing to strip, no terminator.
    if (w.empty() || is_ascii_letter(w.back()) || w.back() == ',' ||
        (w.back() == ';' && !lang.semicolon_asks)) {
        return out;
    }
    const std::size_t e = strip_footnote(w, strip_closers(w, w.size(), lang), out.footnote);
    const TerminatorRun run = terminators_before(w, e, lang);
    const std::size_t t = run.begin;
    // "[...]" and "(...)" mark an omission, not an end.
    if (t > 0 && (run.ellipsis || run.stops >= 2) && !run.bang &&
        (w[t - 1] == '[' || w[t - 1] == '(')) {
        return out;
    }
    if (t == e) {
        if (dash_before_quote(w, e)) out.term = Term::Interrupted;
        return out;
    }
    out.term = run.term();
    std::size_t b = 0;
    while (b < t) {
        Decoded d = decode_at(w, b);
        if (!is_opener(sym_of(d.cp))) break;
        b += d.len;
    }
    if (b < t) {
        Decoded last = decode_before(w, t);
        out.closed_core = is_closer(sym_of(last.cp));
        out.core = w.substr(b, t - b);
    }
    return out;
}

bool is_dots_only(std::string_view w) {
    for (std::size_t k = 0; k < w.size();) {
        Decoded d = decode_at(w, k);
        Sym s = sym_of(d.cp);
        if (s != Sym::Period && s != Sym::Ellipsis) return false;
        k += d.len;
    }
    return true;
}

bool detached_terminator_at(const Words& words, std::size_t k) {
    if (k == 0 || words.glued(k)) return false;
    const std::string_view w = words[k];
    for (std::size_t p = 0; p < w.size();) {
        const Decoded d = decode_at(w, p);
        if (d.cp != '.' && d.cp != '!' && d.cp != '?' && d.cp != 0x2026) return false;
        p += d.len;
    }
    const std::string_view before = words[k - 1];
    const Case c = case_of(decode_before(before, before.size()).cp);
    if (c != Case::Upper && c != Case::Lower && c != Case::Digit) return false;
    // It ends the sentence: the line or the text ends after it, or a
    // capitalised word follows. Before a lower-case word it is an
    // ellipsis spaced out in running text ("that\n... perhaps").
    return k + 1 == words.size() || words.breaks(k + 1) > 0 ||
           words.start_after(k).kind == Case::Upper;
}

std::optional<std::size_t> closing_word(const Words& words, std::size_t first, std::size_t i) {
    // A citation mark standing alone ("in 1971. [1] He") belongs to the
    // sentence before it; the word before it decides.
    if (is_citation_only(words[i + 1])) return std::nullopt;
    std::size_t ender = i;
    while (ender > first && is_citation_only(words[ender])) --ender;
    // "a gap.11 12 Take": a second footnote number after one glued to the
    // full stop belongs to the sentence too.
    if (is_number(words[i + 1]) && analyse_end(words[ender], words.language()).footnote)
        return std::nullopt;
    if (ender > first && is_number(words[ender]) &&
        analyse_end(words[ender - 1], words.language()).footnote) {
        --ender;
    }
    return ender;
}

}  // namespace talven
