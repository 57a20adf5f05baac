// SPDX-License-Identifier: MIT
// Lines: list items, headings, short lines and datelines at line breaks.
#include "talven/lines.h"

#include <string>

#include "talven/lexicon.h"

namespace talven {
namespace {

// "Saturday, May 4, 2021": weekday, month, day and year, words j..j+3.
bool starts_dateline(const Words& words, std::size_t j) {
    if (j + 3 >= words.size()) return false;
    // The day ("4,") is the rarest of the four shapes: it is tested first.
    std::string_view day = words[j + 2];
    if (!day.ends_with(',') || day.size() < 2 || day.size() > 3 || !is_ascii_digit(day[0]) ||
        !is_ascii_digit(day[day.size() - 2])) {
        return false;
    }
    for (std::size_t k = j + 1; k <= j + 3; ++k) {
        if (words.breaks(k) > 0) return false;
    }
    std::string_view year = words[j + 3];
    if (year.size() != 4 || !is_ascii_digit(year[0]) || !is_ascii_digit(year[3]) ||
        !is_ascii_digit(year[1]) || !is_ascii_digit(year[2])) {
        return false;
    }
    std::string_view wd = words[j];
    if (!wd.ends_with(',')) return false;
    wd.remove_suffix(1);
    static constexpr std::string_view weekdays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                    "Friday", "Saturday", "Sunday"};
    static constexpr std::string_view months[] = {"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};
    bool weekday = false;
    for (std::string_view w : weekdays) weekday = weekday || wd == w;
    bool month = false;
    for (std::string_view m : months) month = month || words[j + 1] == m;
    return weekday && month;
}

bool is_date_preposition(std::string_view w) {
    static constexpr std::string_view prepositions[] = {
        "on",   "by",   "until", "till",  "since", "from", "of", "before",  "after",
        "last", "next", "that",  "this",  "to",    "and",  "or", "every",   "than",
        "the",  "a",    "late",  "early", "for",   "at",   "in", "between",
    };
    std::string lower(w);
    for (char& c : lower) c = to_lower(c);
    for (std::string_view p : prepositions) {
        if (lower == p) return true;
    }
    return false;
}

// The last word of a short line starting at word j: at most three words
// up to the next line break (or the end), none ending a sentence or
// leading on with a comma; npos otherwise.
std::size_t short_line_from(const Words& words, std::size_t j) {
    for (std::size_t k = j; k < words.size() && k < j + 3; ++k) {
        if (k > j && words.breaks(k) > 0) return std::string_view::npos;
        std::string_view w = words[k];
        if (analyse_end(w, words.language()).term != Term::None) return std::string_view::npos;
        if (k + 1 == words.size() || words.breaks(k + 1) > 0) {
            char last = w.back();
            if (last == ',' || last == ';' || last == ':') return std::string_view::npos;
            return k;
        }
    }
    return std::string_view::npos;
}

// The line of word i, the last word of the sentence so far, is a heading:
// the sentence is the whole line, of at most twelve words in title case,
// and it has no final punctuation.
bool heading_line(const Words& words, const SentenceState& sentence, const LineState& line,
                  std::size_t i) {
    if (sentence.first < line.first || !line.title || line.capitals == 0 || line.words > 12) {
        return false;
    }
    std::string_view w = words[i];
    char last = w.back();
    if (last == ',' || last == ';' || last == ':') return false;
    return analyse_end(w, words.language()).term == Term::None;
}

}  // namespace

void start_line(LineState& line, std::string_view w, std::size_t i) {
    line.first = i;
    line.item = starts_with_bullet(w) || is_line_bullet(w) || parse_marker(w).has_value();
    line.title = true;
    line.capitals = 0;
    line.words = 0;
}

void add_to_line(LineState& line, std::string_view w, std::size_t i) {
    ++line.words;
    if (!line.title) return;  // the line can no longer be a heading
    WordStart a = word_start(w);
    if (a.kind == Case::Upper) {
        ++line.capitals;
    } else if (a.kind == Case::Lower && !(i == line.first && line.item) &&
               !is_heading_minor_word(a.letters)) {
        line.title = false;
    }
}

bool line_break_ends(const Words& words, const SentenceState& sentence, const LineState& line,
                     const std::optional<Marker>& marker, std::size_t i) {
    bool lower_next = words.start_after(i).kind == Case::Lower;
    if (is_line_bullet(words[i + 1])) return true;
    if (marker && sentence.depth == 0 && opens_line_item(*marker, sentence.last_marker) &&
        !continues_inline_list(words, sentence.first, i, *marker)) {
        return true;
    }
    if ((line.item || sentence.marker != no_word) && !lower_next) return true;
    return !lower_next && heading_line(words, sentence, line, i);
}

bool short_line_run_ends(const Words& words, const SentenceState& sentence, const LineState& line,
                         std::size_t run_end, std::size_t i) {
    // Short lines without final punctuation, one after another
    // ("features", "contact us"): menu entries and keyword lists.
    const std::size_t first = sentence.first;
    return first >= line.first && short_line_from(words, first) == i &&
           (first == run_end || short_line_from(words, i + 1) != std::string_view::npos);
}

bool short_lines_follow(const Words& words, std::size_t i) {
    std::size_t k = short_line_from(words, i + 1);
    return k != std::string_view::npos && k + 1 < words.size() &&
           short_line_from(words, k + 1) != std::string_view::npos;
}

bool dateline_ends(const Words& words, std::size_t first, const WordEnd& end, std::size_t i) {
    // A dateline ("Tuesday, May 4, 2021") after a headline, or opening the
    // story after it.
    if (end.term == Term::None && starts_dateline(words, i + 1) && !is_date_preposition(words[i])) {
        return true;
    }
    return i >= first + 3 && starts_dateline(words, i - 3) &&
           words.start_after(i).kind == Case::Upper;
}

}  // namespace talven
