// SPDX-License-Identifier: MIT
// Quoted statements: measuring the statements on both sides of a full stop
// inside a quotation.
#include "talven/quoted_statements.h"

#include "talven/abbreviations.h"

namespace talven {
namespace {

// A full stop after an ordinary word, not after an abbreviation, title or
// initial that a sentence goes on after.
bool is_statement_stop(const WordEnd& end, const Language& lang) {
    if (end.term != Term::Stop || end.core.empty()) return false;
    switch (classify_core(end.core, lang)) {
        case CoreKind::Plain:
        case CoreKind::Everyday:
        case CoreKind::Time:
            return true;
        default:
            return false;
    }
}

// A statement goes on after a word without a terminator and after an
// abbreviation, title or initial ("access for U.S. visitors").
bool goes_on(const WordEnd& end, const Language& lang) {
    if (end.term == Term::None) return true;
    return end.term == Term::Stop && !end.core.empty() && !end.closed_core &&
           !is_statement_stop(end, lang);
}

// "251",", "251,"": a comma right before or after the closing quotes.
bool comma_at_close(std::string_view w) {
    if (w.ends_with(',')) return true;
    std::size_t e = w.size();
    while (e > 0) {
        Decoded d = decode_before(w, e);
        if (!is_closer(sym_of(d.cp))) break;
        e -= d.len;
    }
    return e < w.size() && e > 0 && w[e - 1] == ',';
}

// The words of the statement that ends with word i: back to the last word
// after which no statement goes on, within the sentence begun at `first`.
std::size_t words_back(const Words& words, std::size_t first, std::size_t i) {
    std::size_t start = i;
    while (start > first &&
           goes_on(analyse_end(words[start - 1], words.language()), words.language()))
        --start;
    return i + 1 - start;
}

// Whether a statement starts at word i + 1 and ends within the quotation.
bool statement_follows(const Words& words, const Quotations& quotes, std::size_t i) {
    for (std::size_t j = i + 1; j < words.size() && quotes.inside[j - 1]; ++j) {
        const WordEnd e = analyse_end(words[j], words.language());
        const bool closes = !quotes.inside[j];
        if (goes_on(e, words.language()) && !closes) continue;
        if (j - i < min_statement_words) return false;
        return is_statement_stop(e, words.language()) ||
               (e.term == Term::None && comma_at_close(words[j]));
    }
    return false;
}

}  // namespace

bool between_statements(const Words& words, const Quotations& quotes, std::size_t first,
                        const WordEnd& end, std::size_t i) {
    return is_statement_stop(end, words.language()) && !end.closed_core &&
           words.start_after(i).kind == Case::Upper &&
           words_back(words, first, i) >= min_statement_words &&
           statement_follows(words, quotes, i);
}

}  // namespace talven
