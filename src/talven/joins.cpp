// Joins: finding the one place where a word holds two sentences.
#include "talven/joins.h"

#include "talven/chars.h"

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

// Whether text[from, to) can close a sentence: a lower-case word of two
// letters or more ("noon", "don't") or a number ("2,000", "4.7.2021", "5%").
class SentenceEndShape {
public:
    // Feeds the next byte of the word; false once the word cannot be one.
    void add(char c) {
        const bool first = count_++ == 0;
        if (is_ascii_lower(c)) {
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
    bool number() const { return number_ && digits_ > 0 && (last_digit_ || percent_); }

private:
    std::size_t count_ = 0;
    std::size_t letters_ = 0;
    std::size_t digits_ = 0;
    bool word_ = true;
    bool number_ = true;
    bool last_digit_ = false;
    bool percent_ = false;
};

}  // namespace

std::size_t join_cut(std::string_view text, std::size_t begin, std::size_t end) {
    std::size_t p = begin;
    while (p < end && (is_ascii_opener(text[p]) || is_left_quote_at(text, p, end))) {
        p += text[p] == '\xE2' ? 3 : 1;
    }
    SentenceEndShape shape;
    for (; p < end; ++p) {
        const char c = text[p];
        if (c == '\xE2' && is_right_quote_at(text, p, end) && text[p + 2] == '\x99') {
            shape.add('\'');  // ’ inside a word is an apostrophe: "don’t"
            p += 2;
            continue;
        }
        if (is_terminator_byte(c) && (shape.word() || shape.number())) {
            std::size_t q = p;
            while (q < end && is_terminator_byte(text[q])) ++q;
            if (q < end && text[q] >= 'A' && text[q] <= 'Z') {
                return capitalised_word_then_closers(text, q, end) ? q : end;
            }
        }
        shape.add(c);
    }
    return end;
}

}  // namespace talven
