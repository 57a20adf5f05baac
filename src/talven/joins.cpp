// SPDX-License-Identifier: MIT
// Joins: finding the one place where a word holds two sentences.
#include "talven/joins.h"

#include <string>

#include "talven/chars.h"
#include "talven/lexicon.h"

namespace talven {
namespace {

bool is_terminator_byte(char c) { return c == '.' || c == '!' || c == '?'; }

// Openers a sentence end may sit behind: "(noon.It", "\"noon.It".
bool is_ascii_opener(char c) { return c == '"' || c == '\'' || c == '(' || c == '['; }

// What may follow the capitalised word: closing punctuation only.
bool is_closing_byte(char c) {
    switch (c) {
        case '.':
        case ',':
        case ';':
        case ':':
        case '!':
        case '?':
        case '"':
        case '\'':
        case ')':
        case ']':
            return true;
        default:
            return false;
    }
}

// The UTF-8 right quotes ’ and ” (E2 80 99, E2 80 9D) at p, before end.
bool is_right_quote_at(std::string_view s, std::size_t p, std::size_t end) {
    return p + 2 < end && s[p] == '\xE2' && s[p + 1] == '\x80' &&
           (s[p + 2] == '\x99' || s[p + 2] == '\x9D');
}

// The UTF-8 left quotes ‘ and “ (E2 80 98, E2 80 9C) at p, before end: openers
// as '\'' and '"' are.
bool is_left_quote_at(std::string_view s, std::size_t p, std::size_t end) {
    return p + 2 < end && s[p] == '\xE2' && s[p + 1] == '\x80' &&
           (s[p + 2] == '\x98' || s[p + 2] == '\x9C');
}

// text[from, end) is one capitalised word, "It" or "Mrs", with at least one
// lower-case letter after the capital, then closing punctuation only.
bool capitalised_word_then_closers(std::string_view text, std::size_t from, std::size_t end) {
    std::size_t p = from + 1;
    if (p >= end || !is_ascii_lower(text[p])) return false;
    while (p < end && (is_ascii_letter(text[p]) || text[p] == '\'' || text[p] == '-' ||
                       is_right_quote_at(text, p, end))) {
        p += text[p] == '\xE2' ? 3 : 1;
    }
    while (p < end && (is_closing_byte(text[p]) || is_right_quote_at(text, p, end))) {
        p += text[p] == '\xE2' ? 3 : 1;
    }
    return p == end;
}

// Whether text[from, to) can close a sentence: a word of two lower-case
// letters or more, capitalised or not ("noon", "don't", "Tuesday"; before
// a title only), or a number ("2,000", "4.7.2021",
// "5%").
class SentenceEndShape {
public:
    // Feeds the next byte of the word; false once the word cannot be one.
    void add(char c) {
        const bool first = count_++ == 0;
        if (first && c >= 'A' && c <= 'Z') {
            number_ = false;
            capitalised_ = true;
        } else if (is_ascii_lower(c)) {
            number_ = false;
            ++letters_;
        } else if (is_ascii_digit(c)) {
            word_ = false;
            ++digits_;
        } else if ((c == '\'' || c == '-') && !first) {
            number_ = false;  // "don't", "well-known"
        } else if ((c == ',' || c == '.') && !first && number_ && last_digit_) {
            word_ = false;  // "2,000", "4.7"
        } else if (c == '%' && number_ && last_digit_) {
            word_ = false;
            percent_ = true;
        } else {
            word_ = number_ = false;
        }
        last_digit_ = is_ascii_digit(c) && !percent_;
    }
    bool word() const { return word_ && letters_ >= 2; }
    bool capitalised() const { return capitalised_; }
    bool number() const { return number_ && digits_ > 0 && (last_digit_ || percent_); }

private:
    std::size_t count_ = 0;
    std::size_t letters_ = 0;
    std::size_t digits_ = 0;
    bool word_ = true;
    bool number_ = true;
    bool last_digit_ = false;
    bool percent_ = false;
    bool capitalised_ = false;
};

// The letters from q on are a title ("Mr", "Dr").
bool title_at(std::string_view text, std::size_t q, std::size_t end) {
    std::string lower;
    for (std::size_t e = q; e < end && is_ascii_letter(text[e]); ++e) lower += to_lower(text[e]);
    return abbrev_kind(lower) == AbbrevKind::Title;
}

// "Mrs.Smith", "Inc.The": a capitalised word on the abbreviation lists
// stays whole.
bool is_listed(std::string_view word) {
    std::string lower(word);
    for (char& c : lower) c = to_lower(c);
    return abbrev_kind(lower) != AbbrevKind::None;
}

}  // namespace

std::size_t join_cut(std::string_view text, std::size_t begin, std::size_t end) {
    std::size_t p = begin;
    while (p < end && (is_ascii_opener(text[p]) || is_left_quote_at(text, p, end))) {
        p += text[p] == '\xE2' ? 3 : 1;
    }
    SentenceEndShape shape;
    const std::size_t word_begin = p;
    for (; p < end; ++p) {
        const char c = text[p];
        if (c == '\xE2' && is_right_quote_at(text, p, end) && text[p + 2] == '\x99') {
            shape.add('\'');  // ’ inside a word is an apostrophe: "don’t"
            p += 2;
            continue;
        }
        if (is_terminator_byte(c) && (shape.word() || shape.number()) &&
            !(shape.capitalised() && is_listed(text.substr(word_begin, p - word_begin)))) {
            std::size_t q = p;
            while (q < end && is_terminator_byte(text[q])) ++q;
            if (q < end && text[q] >= 'A' && text[q] <= 'Z') {
                // After a capitalised word ("One.Two") only a title makes
                // the cut ("Tuesday.Mr. Smith").
                if (shape.capitalised() && !title_at(text, q, end)) return end;
                return capitalised_word_then_closers(text, q, end) ? q : end;
            }
        }
        shape.add(c);
    }
    return end;
}

}  // namespace talven
