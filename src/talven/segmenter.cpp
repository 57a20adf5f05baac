// SPDX-License-Identifier: MIT
// Sentence segmentation in one pass over the words of the text: the driver.
//
// The text is first cut into words (words.h: maximal runs of non-white
// bytes, also cut after a full-width stop, which takes no space after it,
// and where a sentence end has no space after it, "noon.It", joins.h); the
// white space before each word tells how many line breaks it holds.
// Quotations are found once for the whole text (quotations.h). Then, for
// every gap between two words, the rules below decide whether a sentence
// ends there. The decision looks at the end of the word before the gap and
// at the start of at most the next three words, so the whole run is linear.
//
// Rules, in the order they are tried, and the file that holds each:
//  1. A word that opens sentences but is never capitalised inside one
//     ("In", "We"), in the middle of a line after a word ending in a letter
//     or a digit and before a word in lower case, starts a sentence with no
//     terminator before it ("of the Ferry Party In the north ward";
//     run_in_openers.h). No other rule cuts or joins at such a gap, so it
//     is asked first, in the walk, with a test of a few instructions.
//  2. A blank line (two or more line breaks, or a form feed) ends a
//     sentence (here). A detached terminator, a run of terminators alone
//     at the start of a line after a word ("for pricing\n.\n"), never
//     starts one: it closes the sentence of the word before it and is
//     written right after that word, the line break dropped
//     (terminators.h).
//  3. A bullet (•, ‣, ⁃, ...) starts a new sentence wherever it stands
//     (list_markers.h).
//  4. At a line break: a list marker ("-", "*", "1.", "(a)", "iv)") opening
//     the next line starts a new sentence; so does any line after a list
//     item or after a title-case line without final punctuation (a
//     heading), unless the next line starts in lower case. Short lines
//     (three words at most) without final punctuation, two or more in a
//     row, are one sentence each (lines.h).
//  5. Footnote and citation marks after a terminator stay with its
//     sentence, and the word before them decides (terminators.h). A
//     dateline ("Friday, May 5, 2023") after a headline or before the story
//     is a sentence of its own (lines.h).
//  6. Inline list markers ("... first item 2. The second item") start a new
//     sentence when they follow a sentence end, continue the sequence of
//     the marker that opened the sentence, or are bracketed and followed by
//     a capitalised word (list_markers.h).
//  7. In Thai, a space between two Thai words ends a sentence outside
//     brackets and quotations (thai_spaces.h).
//  8. Otherwise a sentence ends only after a terminator (".", "!", "?",
//     runs of them, "..." or "…"; terminators.h), and only when not inside
//     brackets opened in the sentence nor inside a quotation that closes
//     later in the same paragraph (quotations.h), unless the gap lies
//     between two statements of a long quotation (quoted_statements.h).
//     What follows decides: a lower-case word, a digit or punctuation
//     continues the sentence (except before a run of short lines); before a
//     capitalised word "!" and "?" end it, an ellipsis ends it unless the
//     word is "I" (decision.h), and a full stop depends on the word it
//     closes (abbreviations.h): numbers and ordinary words end it, titles
//     and initials do not, other abbreviations only before a typical
//     sentence opener ("U.S. The" splits, "U.S. Army" does not), and
//     acronyms in capitals before a capitalised word ("SEC. Shares").
//
// Characters are read by chars.h; the word lists are in lexicon.h, but for
// the five run-in openers (run_in_openers.h).
#include "talven/segmenter.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "talven/abbreviations.h"
#include "talven/decision.h"
#include "talven/gap.h"
#include "talven/lines.h"
#include "talven/list_markers.h"
#include "talven/quotations.h"
#include "talven/run_in_openers.h"
#include "talven/terminators.h"
#include "talven/thai_spaces.h"
#include "talven/words.h"

namespace talven {
namespace {

class Segmenter {
public:
    // last_marker: the list marker met last in the text before this one.
    Segmenter(std::string_view text, const Language& lang, std::optional<Marker> last_marker,
              Words::Table table)
        : words_(text, std::move(table), lang), quotes_(find_quotations(words_)) {
        if (!lang.english) unclosed_ = unclosed_brackets(words_);
        sentence_.last_marker = last_marker;
    }

    const std::optional<Marker>& last_marker() const { return sentence_.last_marker; }
    const Words& words() const { return words_; }
    Words::Table take_table() { return words_.take_table(); }

    // Calls emit(first_word, last_word) for every sentence, in order.
    template <class Emit>
    void run(Emit&& emit) {
        const std::size_t n = words_.size();
        std::size_t first = 0;
        start_sentence(0);
        for (std::size_t i = 0; i < n; ++i) {
            if (i == 0 || words_.breaks(i) > 0) start_line(line_, words_[i], i);
            if (next_unclosed_ < unclosed_.size() && unclosed_[next_unclosed_] == i) {
                ++next_unclosed_;  // a bracket never closed holds off nothing
            } else {
                count_brackets(words_[i], sentence_.depth);
            }
            add_to_line(line_, words_[i], i);
            if (i + 1 == n || opener_runs_in(words_, quotes_, sentence_, i) || ends_after(i)) {
                emit(first, i);
                first = i + 1;
                if (first < n) start_sentence(first);
            }
        }
    }

private:
    Words words_;
    Quotations quotes_;
    SentenceState sentence_;
    LineState line_;
    std::size_t short_line_run_end_ = no_word;  // first word after a short line ended
    std::vector<std::size_t> unclosed_;         // unclosed_brackets, other languages
    std::size_t next_unclosed_ = 0;

    void start_sentence(std::size_t i) {
        sentence_.first = i;
        sentence_.marker = no_word;
        sentence_.depth = 0;
        std::size_t m = i;
        if (m < words_.size() && is_lone_bullet(words_[m]) && m + 1 < words_.size()) ++m;
        if (m < words_.size()) {
            if (auto mk = marker_in(words_[m])) {
                sentence_.marker = m;
                sentence_.last_marker = mk;
            }
        }
    }

    // Does a sentence end in the gap after word i (i + 1 exists)?
    bool ends_after(std::size_t i) {
        const std::string_view next = words_[i + 1];
        if (words_.breaks(i + 1) >= 2) return true;
        if (i == sentence_.first && is_lone_bullet(words_[i])) return false;
        if (starts_with_bullet(next)) return true;

        std::optional<Marker> marker = parse_marker(next);
        if (words_.breaks(i + 1) > 0) {
            if (is_detached_terminator(words_, i + 1)) return false;
            if (line_break_ends(words_, sentence_, line_, marker, i)) return true;
            if (short_line_run_ends(words_, sentence_, line_, short_line_run_end_, i)) {
                short_line_run_end_ = i + 1;
                return true;
            }
        }
        if (i == sentence_.marker) return false;  // "1. The first item"
        if (words_.language().thai_spaces && sentence_.depth == 0 && !quotes_.inside[i] &&
            thai_space_ends(words_, i)) {
            return true;
        }

        std::optional<std::size_t> ender = closing_word(words_, sentence_.first, i);
        // "« C'est fini. » Puis": a closing quote standing apart after
        // its terminator, as French sets it, belongs to the word before.
        if (ender == i && i > sentence_.first && !words_.language().english &&
            is_closers_only(words_[i])) {
            ender = i - 1;
        }
        if (!ender) return false;
        const WordEnd end = analyse_end(words_[*ender], words_.language());

        // "(age 30) Fort": a number closing a bracket opened in the sentence
        // is no list marker. "see Fig. 2. It shows": a number after an
        // abbreviation is its argument, not a list marker.
        if (marker && marker->form == MarkerForm::Paren && sentence_.depth > 0) marker.reset();
        if (marker && marker->form == MarkerForm::Dot && is_ascii_digit(marker->label[0]) &&
            ends_in_abbreviation(end, words_.language())) {
            marker.reset();
        }
        if (dateline_ends(words_, sentence_.first, end, i)) return true;

        if (marker) {
            // After a sentence end the marker stands for a capitalised word.
            if (end.term != Term::None) {
                WordStart capitalised;
                capitalised.kind = Case::Upper;
                capitalised.rest = next;
                capitalised.none = false;
                return ends_before(words_, sentence_.first, end, *ender, i, capitalised);
            }
            return starts_inline_item(words_, i, *marker, sentence_.last_marker,
                                      sentence_.marker != no_word);
        }
        return terminator_ends(words_, quotes_, sentence_, end, *ender, i);
    }
};

template <class Emit>
void segment_chunks(std::string_view text, const Language& lang, std::size_t chunk_bytes,
                    Emit&& emit) {
    std::optional<Marker> last_marker;
    Words::Table table;  // the word table, reused from group to group
    std::size_t begin = 0;
    while (begin < text.size()) {
        // The gap is looked for after the first word, so every group holds
        // one at least and the walk always advances.
        std::size_t word = begin;
        while (word < text.size() && is_space(static_cast<u8>(text[word]))) ++word;
        const std::size_t end =
            chunk_bytes >= text.size() - begin
                ? text.size()
                : next_paragraph_gap(text, std::max(word + 1, begin + chunk_bytes));
        Segmenter seg(text.substr(begin, end - begin), lang, last_marker, std::move(table));
        seg.run([&](std::size_t first, std::size_t last) { emit(seg.words(), first, last); });
        last_marker = seg.last_marker();
        table = seg.take_table();
        begin = end;
    }
}

// Appends the words first..last of a sentence, one space between them, none
// before a word glued to the one before or a detached terminator.
void append_sentence(std::string& out, const Words& words, std::size_t first, std::size_t last) {
    for (std::size_t k = first; k <= last; ++k) {
        if (k > first && !words.glued(k) && !is_detached_terminator(words, k)) out += ' ';
        out += words[k];
    }
}

}  // namespace

std::vector<std::string> segment(std::string_view text) { return segment(text, english()); }

std::vector<std::string> segment(std::string_view text, const Language& lang) {
    std::vector<std::string> out;
    segment_chunks(text, lang, kChunkBytes,
                   [&](const Words& words, std::size_t first, std::size_t last) {
                       std::string s;
                       append_sentence(s, words, first, last);
                       out.push_back(std::move(s));
                   });
    return out;
}

std::string segment_lines(std::string_view text, std::size_t chunk_bytes) {
    return segment_lines(text, english(), chunk_bytes);
}

std::string segment_lines(std::string_view text, const Language& lang, std::size_t chunk_bytes) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 1);
    segment_chunks(text, lang, chunk_bytes,
                   [&](const Words& words, std::size_t first, std::size_t last) {
                       append_sentence(out, words, first, last);
                       out += '\n';
                   });
    return out;
}

void segment_lines_to(std::string_view text, const std::function<void(std::string_view)>& put,
                      std::size_t chunk_bytes) {
    segment_lines_to(text, english(), put, chunk_bytes);
}

void segment_lines_to(std::string_view text, const Language& lang,
                      const std::function<void(std::string_view)>& put, std::size_t chunk_bytes) {
    std::string out;
    segment_chunks(text, lang, chunk_bytes,
                   [&](const Words& words, std::size_t first, std::size_t last) {
                       append_sentence(out, words, first, last);
                       out += '\n';
                       if (out.size() >= kChunkBytes) {
                           put(out);
                           out.clear();
                       }
                   });
    if (!out.empty()) put(out);
}

}  // namespace talven
