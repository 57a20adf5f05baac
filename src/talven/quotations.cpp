// SPDX-License-Identifier: MIT
// Quotations and brackets: where a quotation opens and closes, and the
// asides in brackets that stay inside a sentence.
#include "talven/quotations.h"

#include <algorithm>
#include <array>
#include <string>

namespace talven {
namespace {

// Single-quote elisions that open a word without opening a quotation.
bool is_elision(std::string_view rest) {
    std::string lower;
    for (char c : rest) {
        if (!is_ascii_letter(c)) break;
        lower += to_lower(c);
    }
    static constexpr std::string_view elisions[] = {
        "tis", "twas", "em", "til", "cause", "n", "round", "bout", "twere", "ere", "neath", "s",
    };
    for (std::string_view e : elisions) {
        if (lower == e) return true;
    }
    return !rest.empty() && is_ascii_digit(rest[0]);  // '90s
}

struct QuoteMarks {
    bool open_double = false;
    bool close_double = false;
    bool open_single = false;
    bool close_single = false;
};

// The marks of other languages beyond the English ones: openers and
// closers of double quotations.
bool opens_double(std::uint32_t cp) {
    return cp == 0xBB || cp == 0x201D || cp == 0x300C || cp == 0x300E;
}
bool closes_double(std::uint32_t cp) {
    return cp == 0xAB || cp == 0x201C || cp == 0x300D || cp == 0x300F;
}

QuoteMarks quote_marks(std::string_view w, bool other_language) {
    QuoteMarks q;
    // Leading brackets, then the first quote mark.
    std::size_t p = 0;
    while (p < w.size() && sym_of(decode_at(w, p).cp) == Sym::OpenBracket) p += decode_at(w, p).len;
    if (p < w.size()) {
        Decoded d = decode_at(w, p);
        std::size_t after = p + d.len;
        if (d.cp == '"' || d.cp == 0x201C || d.cp == 0x201E || d.cp == 0xAB ||
            (other_language && opens_double(d.cp) && after < w.size())) {
            q.open_double = true;
        } else if (d.cp == '\'' || d.cp == '`' || d.cp == 0x2018) {
            std::string_view rest = w.substr(after);
            q.open_single = !rest.empty() && !is_elision(rest) &&
                            (is_ascii_letter(rest[0]) || static_cast<u8>(rest[0]) >= 0x80 ||
                             sym_of(decode_at(rest, 0).cp) == Sym::OpenQuote || rest[0] == '"');
        }
    }
    // Trailing punctuation, ellipses and brackets, then the last quote mark.
    std::size_t e = w.size();
    while (e > 0) {
        char c = w[e - 1];
        if (c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?' || c == ')' ||
            c == ']') {
            --e;
        } else if (static_cast<u8>(c) < 0x80) {
            break;
        } else if (const Decoded d = decode_before(w, e); sym_of(d.cp) == Sym::Ellipsis) {
            e -= d.len;
        } else {
            break;
        }
    }
    if (e > 0) {
        Decoded d = decode_before(w, e);
        if (d.cp == '"' || d.cp == 0x201D || d.cp == 0xBB ||
            (other_language && closes_double(d.cp) && e - d.len > 0)) {
            q.close_double = e - d.len > p || !q.open_double;
        } else if ((d.cp == '\'' || d.cp == 0x2019) && e - d.len > 0) {
            q.close_single = e - d.len > p || !q.open_single;
        }
    }
    // A quoted single word ("shame", 'Why?') opens and closes itself.
    if (q.open_double && q.close_double) q.open_double = q.close_double = false;
    if (q.open_single && q.close_single) q.open_single = q.close_single = false;
    return q;
}

}  // namespace

Quotations find_quotations(const Words& words) {
    Quotations out{std::vector<bool>(words.size(), false), {}};
    std::vector<bool>& inside = out.inside;
    constexpr std::size_t none = SIZE_MAX;
    std::size_t open_double = none;
    std::size_t open_single = none;
    auto close = [&](std::size_t& open, std::size_t i) {
        for (std::size_t k = open; k < i; ++k) inside[k] = true;
        // A word closing both kinds of quotation keeps the earlier opener.
        if (!out.closers.empty() && out.closers.back().first == i) {
            out.closers.back().second = std::min(out.closers.back().second, open);
        } else {
            out.closers.emplace_back(i, open);
        }
        open = none;
    };
    const bool other_language = !words.language().english;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words.breaks(i) >= 2) open_double = open_single = none;
        if (open_double != none && i - open_double > max_quote_words) open_double = none;
        if (open_single != none && i - open_single > max_quote_words) open_single = none;
        QuoteMarks q = quote_marks(words[i], other_language);
        if (q.close_double && open_double != none) close(open_double, i);
        if (q.close_single && open_single != none) close(open_single, i);
        if (q.open_double) open_double = i;
        if (q.open_single) open_single = i;
    }
    return out;
}

bool is_closers_only(std::string_view w) {
    for (std::size_t p = 0; p < w.size();) {
        const Decoded d = decode_at(w, p);
        const Sym s = sym_of(d.cp);
        if (s != Sym::CloseQuote && s != Sym::CloseBracket && s != Sym::DoubleQuote &&
            d.cp != 0x300D && d.cp != 0x300F) {
            return false;
        }
        p += d.len;
    }
    return !w.empty();
}

std::vector<std::size_t> unclosed_brackets(const Words& words) {
    std::vector<std::size_t> out;
    std::vector<std::size_t> open;  // the word of each bracket still open
    const auto flush = [&] {
        for (std::size_t k : open) {
            if (out.empty() || out.back() < k) out.push_back(k);
        }
        open.clear();
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words.breaks(i) >= 2) flush();
        for (char c : words[i]) {
            if (c == '(' || c == '[' || c == '{') {
                open.push_back(i);
            } else if ((c == ')' || c == ']' || c == '}') && !open.empty()) {
                open.pop_back();
            }
        }
    }
    flush();
    return out;
}

void count_brackets(std::string_view w, int& depth) {
    // Brackets are ASCII, and ASCII bytes never occur inside a UTF-8
    // sequence, so bytes can be looked up directly: +1 opens, -1 closes.
    static constexpr std::array<signed char, 256> bracket = [] {
        std::array<signed char, 256> b{};
        b['('] = b['['] = b['{'] = 1;
        b[')'] = b[']'] = b['}'] = -1;
        return b;
    }();
    for (char c : w) {
        const signed char d = bracket[static_cast<unsigned char>(c)];
        if (d > 0) {
            ++depth;
        } else if (d < 0 && depth > 0) {
            --depth;
        }
    }
}

bool bracket_then_lower(const Words& words, std::size_t j) {
    int depth = 0;
    for (std::size_t k = j; k < words.size() && k < j + 8; ++k) {
        if (k > j && words.breaks(k) >= 2) return false;
        for (char c : words[k]) {
            if (c == '(') ++depth;
            if (c == ')') --depth;
        }
        if (depth <= 0) {
            return k + 1 < words.size() && words.breaks(k + 1) < 2 &&
                   word_start(words[k + 1]).kind == Case::Lower;
        }
    }
    return false;
}

bool aside_after_quotation(const Words& words, const Quotations& quotes, std::size_t i,
                           std::size_t first) {
    if (words[i + 1][0] != '(') return false;
    const std::size_t opener = quotes.opened_at(i);
    return opener != SIZE_MAX && opener > first;
}

std::size_t Quotations::opened_at(std::size_t i) const {
    auto it =
        std::lower_bound(closers.begin(), closers.end(), std::pair<std::size_t, std::size_t>{i, 0});
    return it != closers.end() && it->first == i ? it->second : SIZE_MAX;
}

}  // namespace talven
