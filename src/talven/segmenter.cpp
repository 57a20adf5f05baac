// Sentence segmentation in one pass over the words of the text.
//
// The text is first cut into words (maximal runs of non-white bytes, also
// cut after a full-width stop, which takes no space after it); the white
// space before each word tells how many line breaks it holds. Then,
// for every gap between two words, the rules below decide whether a sentence
// ends there. The decision looks at the end of the word before the gap and
// at the start of at most the next three words, so the whole run is linear.
//
// Rules, in the order they are tried:
//  1. A blank line (two or more line breaks, or a form feed) ends a sentence.
//  2. A bullet (•, ‣, ⁃, ...) starts a new sentence wherever it stands.
//  3. At a line break: a list marker ("-", "*", "1.", "(a)", "iv)") opening
//     the next line starts a new sentence; so does any line after a list
//     item or after a title-case line without final punctuation (a
//     heading), unless the next line starts in lower case. Short lines
//     (three words at most) without final punctuation, two or more in a
//     row, are one sentence each; so is a dateline ("Friday, May 5, 2023").
//  4. Inline list markers ("... first item 2. The second item") start a new
//     sentence when they follow a sentence end, continue the sequence of
//     the marker that opened the sentence, or are bracketed and followed by
//     a capitalised word.
//  5. Otherwise a sentence ends only after a terminator (".", "!", "?",
//     runs of them, "..." or "…"), with closing quotes, brackets and
//     footnote marks ("[1]", ".12", ".11 12") staying with the sentence,
//     and only when not inside brackets opened in the sentence nor inside a
//     quotation that closes later in the same paragraph. A bracketed aside
//     right after a quotation that opened mid-sentence stays with it.
//     What follows decides: a lower-case word, a digit or punctuation
//     continues the sentence (except before a run of short lines).
//     Camel-case names ("eBay") and a bracketed address count as
//     capitalised. Before a capitalised word:
//       - "!" and "?" end it;
//       - an ellipsis ends it unless the word is "I";
//       - a full stop depends on the word it closes:
//         * numbers, ordinary words, addresses: sentence end;
//         * titles and prefixes (Mr., Dr., St., Gen., vol.): never;
//         * single letters (initials): never, except "I" after a lower-case
//           word ("you and I. Then");
//         * e.g., i.e., cf., vs.: never; a.m. and p.m.: sentence end,
//           unless the time opens the sentence ("At 5 a.m. Mr. Hale left");
//         * list entries that are everyday words (cat., long., etc.):
//           sentence end;
//         * other abbreviations and dotted acronyms (Inc., approx., U.S.):
//           a sentence end only when the next word is a typical sentence
//           opener ("U.S. The" splits, "U.S. Army" does not).
#include "talven/segmenter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "talven/lexicon.h"

namespace talven {
namespace {

using u8 = unsigned char;

// ---------------------------------------------------------------------------
// Symbols. The input may be UTF-8 or a single-byte code page; a byte
// sequence that is valid UTF-8 is read as such, any other byte is read as
// Windows-1252 (which agrees with ISO 8859-1 on every printable byte).

enum class Sym : std::uint8_t {
    Other,
    Letter,  // only set through the case helpers below
    Period,
    Bang,      // ! or ?
    Ellipsis,  // one-character ellipsis
    OpenQuote,
    CloseQuote,
    DoubleQuote,  // ASCII " : opens or closes
    SingleQuote,  // ASCII ' or ` : apostrophe, opens or closes
    OpenBracket,
    CloseBracket,
    Dash,
    Bullet,
    Emphasis,  // * or _ around a word
};

struct Decoded {
    std::uint32_t cp;  // code point (single bytes: their cp1252 / Latin-1 value)
    std::size_t len;
};

// Length of a valid UTF-8 sequence starting at s[i], or 0.
std::size_t utf8_len_at(std::string_view s, std::size_t i) {
    u8 b = static_cast<u8>(s[i]);
    std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (b >= 0xF5) n = 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<u8>(s[i + k]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

std::uint32_t decode_utf8(std::string_view s, std::size_t i, std::size_t n) {
    std::uint32_t cp = static_cast<u8>(s[i]) & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<u8>(s[i + k]) & 0x3F);
    return cp;
}

// Windows-1252 bytes 0x80-0x9F that matter here, as code points.
std::uint32_t cp1252(u8 b) {
    switch (b) {
        case 0x85:
            return 0x2026;
        case 0x91:
            return 0x2018;
        case 0x92:
            return 0x2019;
        case 0x93:
            return 0x201C;
        case 0x94:
            return 0x201D;
        case 0x95:
            return 0x2022;
        case 0x96:
            return 0x2013;
        case 0x97:
            return 0x2014;
        default:
            return b;
    }
}

Decoded decode_at(std::string_view s, std::size_t i) {
    u8 b = static_cast<u8>(s[i]);
    if (b < 0x80) return {b, 1};
    if (std::size_t n = utf8_len_at(s, i)) return {decode_utf8(s, i, n), n};
    return {cp1252(b), 1};
}

// The character that ends just before s[end].
Decoded decode_before(std::string_view s, std::size_t end) {
    u8 b = static_cast<u8>(s[end - 1]);
    if (b >= 0x80 && (b & 0xC0) == 0x80) {
        for (std::size_t n = 2; n <= 4 && n <= end; ++n) {
            if (utf8_len_at(s, end - n) == n) return {decode_utf8(s, end - n, n), n};
        }
    }
    if (b < 0x80) return {b, 1};
    return {cp1252(b), 1};
}

Sym sym_of(std::uint32_t cp) {
    switch (cp) {
        case '.':
        case 0xFF0E:  // fullwidth full stop
        case 0x3002:  // ideographic full stop
            return Sym::Period;
        case '!':
        case '?':
        case 0xFF01:
        case 0xFF1F:
        case 0x203C:  // ‼
        case 0x2047:  // ⁇
        case 0x2048:  // ⁈
        case 0x2049:  // ⁉
            return Sym::Bang;
        case 0x2026:
            return Sym::Ellipsis;
        case 0x201C:  // “
        case 0x2018:  // ‘
        case 0x201E:  // „
        case 0xAB:    // «
        case 0xBF:    // ¿
        case 0xA1:    // ¡
            return Sym::OpenQuote;
        case 0x201D:  // ”
        case 0x2019:  // ’
        case 0xBB:    // »
            return Sym::CloseQuote;
        case '"':
            return Sym::DoubleQuote;
        case '\'':
        case '`':
            return Sym::SingleQuote;
        case '(':
        case '[':
        case '{':
            return Sym::OpenBracket;
        case ')':
        case ']':
        case '}':
            return Sym::CloseBracket;
        case '-':
        case 0x2013:
        case 0x2014:
        case 0x2012:
        case 0x2015:
            return Sym::Dash;
        case 0x2022:  // •
        case 0x2023:  // ‣
        case 0x2043:  // ⁃
        case 0x25E6:  // ◦
        case 0x25AA:  // ▪
        case 0x25CF:  // ●
        case 0x25A0:  // ■
        case 0x00B7:  // ·
            return Sym::Bullet;
        case '*':
        case '_':
            return Sym::Emphasis;
        default:
            return Sym::Other;
    }
}

enum class Case : std::uint8_t { Upper, Lower, Digit, Punct, Other };

Case case_of(std::uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return Case::Upper;
    if (cp >= 'a' && cp <= 'z') return Case::Lower;
    if (cp >= '0' && cp <= '9') return Case::Digit;
    if (cp < 0x80) {
        switch (cp) {
            case ',':
            case ';':
            case ':':
            case '.':
            case '!':
            case '?':
            case ')':
            case ']':
            case '}':
            case '%':
                return Case::Punct;
            default:
                return Case::Other;
        }
    }
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return Case::Upper;
    if (cp >= 0xDF && cp <= 0xFF && cp != 0xF7) return Case::Lower;
    if (cp >= 0x100 && cp <= 0x17F) return (cp & 1) == 0 ? Case::Upper : Case::Lower;
    if (cp >= 0x391 && cp <= 0x3A9) return Case::Upper;
    if (cp >= 0x3B1 && cp <= 0x3C9) return Case::Lower;
    if (cp >= 0x400 && cp <= 0x42F) return Case::Upper;
    if (cp >= 0x430 && cp <= 0x45F) return Case::Lower;
    if (cp == 0x2026) return Case::Punct;
    return Case::Other;
}

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
bool is_ascii_lower(char c) { return c >= 'a' && c <= 'z'; }

char to_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ---------------------------------------------------------------------------
// Words.

struct Word {
    std::size_t begin;
    std::size_t end;
    int breaks;  // line breaks in the white space before the word
    bool glued;  // no white space before the word: it goes on a cut word
};

// Full-width and ideographic stops: text written with them puts no space
// after them, so a word is cut after such a stop ("end．Next").
bool is_wide_stop(std::uint32_t cp) {
    return cp == 0xFF0E || cp == 0x3002 || cp == 0xFF01 || cp == 0xFF1F;
}

bool is_wide_closer(std::uint32_t cp) {
    return cp == 0x300D || cp == 0x300F || cp == 0xFF09 || cp == 0x201D || cp == 0x2019;
}

// Where the word from i on ends: at white space or after a wide stop.
std::size_t word_end(std::string_view text, std::size_t i) {
    const std::size_t n = text.size();
    while (i < n && !is_space(static_cast<u8>(text[i]))) {
        u8 b = static_cast<u8>(text[i]);
        if (b != 0xEF && b != 0xE3) {
            ++i;
            continue;
        }
        std::size_t len = utf8_len_at(text, i);
        if (len == 0) {
            ++i;
            continue;
        }
        std::uint32_t cp = decode_utf8(text, i, len);
        i += len;
        if (!is_wide_stop(cp)) continue;
        while (i < n) {
            std::size_t l = utf8_len_at(text, i);
            if (l == 0) break;
            std::uint32_t c = decode_utf8(text, i, l);
            if (!is_wide_stop(c) && !is_wide_closer(c)) break;
            i += l;
        }
        return i;
    }
    return i;
}

std::vector<Word> split_words(std::string_view text) {
    std::vector<Word> words;
    words.reserve(text.size() / 6 + 1);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        int breaks = 0;
        while (i < n && is_space(static_cast<u8>(text[i]))) {
            char c = text[i];
            if (c == '\n' || c == '\v') {
                ++breaks;
            } else if (c == '\r') {
                if (i + 1 >= n || text[i + 1] != '\n') ++breaks;
            } else if (c == '\f') {
                breaks += 2;  // a page break is a paragraph break
            }
            ++i;
        }
        if (i >= n) break;
        std::size_t b = i;
        i = word_end(text, i);
        bool glued = !words.empty() && words.back().end == b;
        words.push_back({b, i, breaks, glued});
    }
    return words;
}

// ---------------------------------------------------------------------------
// Quotations. A quotation opens at a word starting with a quote mark and
// closes at the next word of the same paragraph ending with one, at most
// max_quote_words later; the gaps inside it are not sentence ends ("'Well!'
// thought Alice, 'after such a fall as this, I shall think nothing of it!
// How brave they'll all think me!'"). An opening mark never closed that way
// (the apostrophe of "the 'nineties") is ignored.

constexpr std::size_t max_quote_words = 150;

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

QuoteMarks quote_marks(std::string_view w) {
    QuoteMarks q;
    // Leading brackets, then the first quote mark.
    std::size_t p = 0;
    while (p < w.size() && sym_of(decode_at(w, p).cp) == Sym::OpenBracket) p += decode_at(w, p).len;
    if (p < w.size()) {
        Decoded d = decode_at(w, p);
        std::size_t after = p + d.len;
        if (d.cp == '"' || d.cp == 0x201C || d.cp == 0x201E || d.cp == 0xAB) {
            q.open_double = true;
        } else if (d.cp == '\'' || d.cp == '`' || d.cp == 0x2018) {
            std::string_view rest = w.substr(after);
            q.open_single = !rest.empty() && !is_elision(rest) &&
                            (is_ascii_letter(rest[0]) || static_cast<u8>(rest[0]) >= 0x80 ||
                             sym_of(decode_at(rest, 0).cp) == Sym::OpenQuote || rest[0] == '"');
        }
    }
    // Trailing punctuation and brackets, then the last quote mark.
    std::size_t e = w.size();
    while (e > 0) {
        char c = w[e - 1];
        if (c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?' || c == ')' ||
            c == ']') {
            --e;
        } else {
            break;
        }
    }
    if (e > 0) {
        Decoded d = decode_before(w, e);
        if (d.cp == '"' || d.cp == 0x201D || d.cp == 0xBB) {
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

// For every word, whether the gap after it lies inside a quotation; for
// every word closing a quotation, the word that opened it.
struct Quotations {
    std::vector<bool> inside;
    std::vector<std::size_t> opened_at;  // SIZE_MAX where the word closes none
};

Quotations find_quotations(std::string_view text, const std::vector<Word>& words) {
    Quotations out{std::vector<bool>(words.size(), false),
                   std::vector<std::size_t>(words.size(), SIZE_MAX)};
    std::vector<bool>& inside = out.inside;
    constexpr std::size_t none = SIZE_MAX;
    std::size_t open_double = none;
    std::size_t open_single = none;
    auto close = [&](std::size_t& open, std::size_t i) {
        for (std::size_t k = open; k < i; ++k) inside[k] = true;
        if (out.opened_at[i] == none || open < out.opened_at[i]) out.opened_at[i] = open;
        open = none;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].breaks >= 2) open_double = open_single = none;
        if (open_double != none && i - open_double > max_quote_words) open_double = none;
        if (open_single != none && i - open_single > max_quote_words) open_single = none;
        QuoteMarks q = quote_marks(text.substr(words[i].begin, words[i].end - words[i].begin));
        if (q.close_double && open_double != none) close(open_double, i);
        if (q.close_single && open_single != none) close(open_single, i);
        if (q.open_double) open_double = i;
        if (q.open_single) open_single = i;
    }
    return out;
}

// ---------------------------------------------------------------------------
// List markers: "1.", "12)", "(a)", "a.)", "iv)", "(IX)".

enum class MarkerForm : std::uint8_t { Dot, Paren, BothParens, DotParen };

struct Marker {
    MarkerForm form;
    std::string_view label;
};

int roman_value(std::string_view s) {
    if (s.empty() || s.size() > 6) return 0;
    auto val = [](char c) {
        switch (to_lower(c)) {
            case 'i':
                return 1;
            case 'v':
                return 5;
            case 'x':
                return 10;
            case 'l':
                return 50;
            case 'c':
                return 100;
            default:
                return 0;
        }
    };
    bool lower = is_ascii_lower(s[0]);
    int total = 0;
    for (std::size_t k = 0; k < s.size(); ++k) {
        int v = val(s[k]);
        if (v == 0 || is_ascii_lower(s[k]) != lower) return 0;
        int next = k + 1 < s.size() ? val(s[k + 1]) : 0;
        total += next > v ? -v : v;
    }
    return total > 0 && total < 40 ? total : 0;
}

bool is_number(std::string_view s) {
    if (s.empty() || s.size() > 3) return false;
    for (char c : s) {
        if (!is_ascii_digit(c)) return false;
    }
    return true;
}

bool valid_label(std::string_view label, bool allow_roman) {
    if (is_number(label)) return true;
    if (label.size() == 1 && is_ascii_letter(label[0])) return true;
    return allow_roman && roman_value(label) > 0;
}

std::optional<Marker> parse_marker(std::string_view w) {
    if (w.size() >= 3 && w.front() == '(' && w.back() == ')') {
        std::string_view label = w.substr(1, w.size() - 2);
        if (valid_label(label, true)) return Marker{MarkerForm::BothParens, label};
        return std::nullopt;
    }
    if (w.size() >= 3 && w.ends_with(".)")) {
        std::string_view label = w.substr(0, w.size() - 2);
        if (valid_label(label, true)) return Marker{MarkerForm::DotParen, label};
        return std::nullopt;
    }
    if (w.size() >= 2 && w.back() == ')') {
        std::string_view label = w.substr(0, w.size() - 1);
        if (valid_label(label, true)) return Marker{MarkerForm::Paren, label};
        return std::nullopt;
    }
    if (w.size() >= 2 && w.back() == '.') {
        std::string_view label = w.substr(0, w.size() - 1);
        if ((is_number(label) && label.size() <= 2) ||
            (label.size() == 1 && is_ascii_letter(label[0]))) {
            return Marker{MarkerForm::Dot, label};
        }
    }
    return std::nullopt;
}

bool is_successor(const Marker& prev, const Marker& cur) {
    if (prev.form != cur.form) return false;
    if (is_number(prev.label) && is_number(cur.label)) {
        return std::stoi(std::string(cur.label)) == std::stoi(std::string(prev.label)) + 1;
    }
    if (prev.label.size() == 1 && cur.label.size() == 1 && is_ascii_letter(prev.label[0]) &&
        is_ascii_letter(cur.label[0]) && cur.label[0] == prev.label[0] + 1) {
        return true;
    }
    int a = roman_value(prev.label);
    int b = roman_value(cur.label);
    return a > 0 && b == a + 1 && is_ascii_lower(prev.label[0]) == is_ascii_lower(cur.label[0]);
}

// A word made only of a bullet character, or starting with one.
bool starts_with_bullet(std::string_view w) {
    return !w.empty() && sym_of(decode_at(w, 0).cp) == Sym::Bullet;
}

// Bullets that count only at the start of a line, where they open a list
// item: "-", "*", "+", "–", "—", "o".
bool is_line_bullet(std::string_view w) {
    if (w == "-" || w == "*" || w == "+" || w == "--" || w == "o") return true;
    Decoded d = decode_at(w, 0);
    return d.len == w.size() && sym_of(d.cp) == Sym::Dash;
}

// ---------------------------------------------------------------------------
// The end of a word: terminator, and the word it closes.

// Interrupted: a dash before a closing quote, as in "we're doing our best, to--".
enum class Term : std::uint8_t { None, Stop, Bang, Ellipsis, EllipsisStop, Interrupted };

struct WordEnd {
    Term term = Term::None;
    std::string_view core;     // the word before the terminator, openers stripped
    bool closed_core = false;  // a bracket or quote stands between core and terminator
    bool footnote = false;     // a footnote number follows the terminator
};

bool is_closer(Sym s) {
    return s == Sym::CloseQuote || s == Sym::DoubleQuote || s == Sym::SingleQuote ||
           s == Sym::CloseBracket || s == Sym::Emphasis;
}

bool is_opener(Sym s) {
    return s == Sym::OpenQuote || s == Sym::DoubleQuote || s == Sym::SingleQuote ||
           s == Sym::OpenBracket || s == Sym::Emphasis;
}

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

std::size_t strip_closers(std::string_view w, std::size_t e) {
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
        if (!is_closer(sym_of(d.cp))) break;
        e -= d.len;
    }
    return e;
}

bool is_citation_only(std::string_view w) {
    return !w.empty() && w[0] == '[' && strip_closers(w, w.size()) == 0;
}

WordEnd analyse_end(std::string_view w) {
    WordEnd out;
    // Most words end in a letter or a comma: nothing to strip, no terminator.
    if (w.empty() || is_ascii_letter(w.back()) || w.back() == ',' || w.back() == ';') return out;
    std::size_t e = strip_closers(w, w.size());
    // A footnote number glued to the terminator: "consultation.11", "(1987).1".
    if (e > 0 && is_ascii_digit(w[e - 1])) {
        std::size_t d = e;
        while (d > 0 && is_ascii_digit(w[d - 1])) --d;
        if (d >= 2 && e - d <= 3 && w[d - 1] == '.') {
            char before = w[d - 2];
            bool word_before = d >= 3 && is_ascii_letter(before) && is_ascii_letter(w[d - 3]);
            if (word_before || before == ')' || before == ']') {
                e = d;
                out.footnote = true;
            }
        }
    }
    int stops = 0;
    bool bang = false;
    bool ellipsis = false;
    bool stop_after_ellipsis = false;
    std::size_t t = e;
    while (t > 0) {
        Decoded d = decode_before(w, t);
        Sym s = sym_of(d.cp);
        if (s == Sym::Period) {
            ++stops;
        } else if (s == Sym::Bang) {
            bang = true;
        } else if (s == Sym::Ellipsis) {
            if (stops > 0) stop_after_ellipsis = true;
            ellipsis = true;
        } else {
            break;
        }
        t -= d.len;
    }
    // "[...]" and "(...)" mark an omission, not an end.
    if (t > 0 && (ellipsis || stops >= 2) && !bang && (w[t - 1] == '[' || w[t - 1] == '(')) {
        return out;
    }
    if (t == e) {
        if (e < w.size() && e > 0 && sym_of(decode_before(w, e).cp) == Sym::Dash) {
            Decoded q = decode_at(w, e);
            if (q.cp == '"' || q.cp == 0x201D || q.cp == 0x2019 || q.cp == '\'') {
                out.term = Term::Interrupted;
            }
        }
        return out;
    }
    if (bang) {
        out.term = Term::Bang;
    } else if (ellipsis || stops >= 2) {
        out.term = (stop_after_ellipsis || stops >= 4) ? Term::EllipsisStop : Term::Ellipsis;
    } else {
        out.term = Term::Stop;
    }
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

// What the word before a full stop is.
enum class CoreKind : std::uint8_t {
    Plain,
    Initial,
    Title,
    Joining,
    Time,
    Everyday,
    Abbrev,
};

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
        case AbbrevKind::Joining:
            return CoreKind::Joining;
        case AbbrevKind::Time:
            return CoreKind::Time;
        case AbbrevKind::Word:
            return CoreKind::Everyday;
        case AbbrevKind::Abbrev:
            return CoreKind::Abbrev;
        case AbbrevKind::None:
            break;
    }
    if (dotted && is_dotted_acronym(core)) return CoreKind::Abbrev;
    return CoreKind::Plain;
}

// ---------------------------------------------------------------------------
// The start of what follows a gap.

struct Ahead {
    Case kind = Case::Other;
    std::string_view word;  // leading ASCII letters of the first real word
    bool at_end = true;
};

// ---------------------------------------------------------------------------

class Segmenter {
public:
    // last_marker: the list marker met last in the text before this one.
    Segmenter(std::string_view text, std::optional<Marker> last_marker)
        : text_(text),
          words_(split_words(text)),
          quotes_(find_quotations(text_, words_)),
          last_marker_(last_marker) {}

    const std::optional<Marker>& last_marker() const { return last_marker_; }

    // Calls emit(first_word, last_word) for every sentence, in order.
    template <class Emit>
    void run(Emit&& emit) {
        const std::size_t n = words_.size();
        std::size_t first = 0;
        start_sentence(0);
        for (std::size_t i = 0; i < n; ++i) {
            if (i == 0 || words_[i].breaks > 0) start_line(i);
            track(i);
            if (i + 1 == n || ends_after(i)) {
                emit(first, i);
                first = i + 1;
                if (first < n) start_sentence(first);
            }
        }
    }

    std::string_view word(std::size_t i) const {
        return text_.substr(words_[i].begin, words_[i].end - words_[i].begin);
    }

    bool glued(std::size_t i) const { return words_[i].glued; }

private:
    std::string_view text_;
    std::vector<Word> words_;
    Quotations quotes_;
    const std::vector<bool>& quoted_ = quotes_.inside;
    std::optional<Marker> last_marker_;

    // Sentence state.
    std::size_t sent_first_ = 0;
    std::size_t sent_marker_ = SIZE_MAX;     // index of the marker opening the sentence
    int depth_ = 0;                          // open brackets in the sentence
    std::size_t short_line_end_ = SIZE_MAX;  // first word after a short line ended

    // Line state.
    std::size_t line_first_ = 0;
    bool line_item_ = false;
    bool line_title_ = true;
    int line_capitals_ = 0;
    int line_words_ = 0;

    void start_sentence(std::size_t i) {
        sent_first_ = i;
        sent_marker_ = SIZE_MAX;
        depth_ = 0;
        std::size_t m = i;
        if (m < words_.size() && starts_with_bullet(word(m)) && m + 1 < words_.size()) {
            Decoded d = decode_at(word(m), 0);
            if (d.len == word(m).size()) ++m;
        }
        if (m < words_.size()) {
            if (auto mk = marker_in(m)) {
                sent_marker_ = m;
                last_marker_ = mk;
            }
        }
    }

    void start_line(std::size_t i) {
        line_first_ = i;
        std::string_view w = word(i);
        line_item_ = starts_with_bullet(w) || is_line_bullet(w) || parse_marker(w).has_value();
        line_title_ = true;
        line_capitals_ = 0;
        line_words_ = 0;
    }

    // Updates bracket, quote and heading state with word i.
    void track(std::size_t i) {
        std::string_view w = word(i);
        // Brackets are ASCII, and ASCII bytes never occur inside a UTF-8
        // sequence, so bytes can be counted directly.
        for (char c : w) {
            switch (c) {
                case '(':
                case '[':
                case '{':
                    ++depth_;
                    break;
                case ')':
                case ']':
                case '}':
                    if (depth_ > 0) --depth_;
                    break;
                default:
                    break;
            }
        }
        ++line_words_;
        if (!line_title_) return;  // the line can no longer be a heading
        Ahead a = look_at(w);
        if (a.kind == Case::Upper) {
            ++line_capitals_;
        } else if (a.kind == Case::Lower && !(i == line_first_ && line_item_) &&
                   !is_heading_minor_word(a.word)) {
            line_title_ = false;
        }
    }

    // The first real character of one word, skipping openers and dashes.
    static Ahead look_at(std::string_view w) {
        Ahead a;
        std::size_t p = 0;
        while (p < w.size()) {
            Decoded d = decode_at(w, p);
            Sym s = sym_of(d.cp);
            if (!is_opener(s) && s != Sym::Dash) break;
            p += d.len;
        }
        if (p == w.size()) return a;  // only openers: look further
        a.at_end = false;
        Decoded d = decode_at(w, p);
        a.kind = case_of(d.cp);
        std::size_t q = p;
        while (q < w.size() && is_ascii_letter(w[q])) ++q;
        a.word = w.substr(p, q - p);
        // A name written in camel case ("eBay", "wikiHow") counts as
        // capitalised.
        if (a.kind == Case::Lower) {
            std::size_t k = 0;
            while (k < a.word.size() && k < 5 && is_ascii_lower(a.word[k])) ++k;
            if (k < a.word.size() && k < 5 && k + 1 < a.word.size() &&
                is_ascii_lower(a.word[k + 1])) {
                a.kind = Case::Upper;
            }
        }
        return a;
    }

    // "Saturday, May 4, 2021": weekday, month, day and year, words j..j+3.
    bool starts_dateline(std::size_t j) const {
        if (j + 3 >= words_.size()) return false;
        for (std::size_t k = j + 1; k <= j + 3; ++k) {
            if (words_[k].breaks > 0) return false;
        }
        std::string_view day = word(j + 2);
        std::string_view year = word(j + 3);
        if (!day.ends_with(',') || day.size() < 2 || day.size() > 3 || !is_ascii_digit(day[0]) ||
            !is_ascii_digit(day[day.size() - 2])) {
            return false;
        }
        if (year.size() != 4 || !is_ascii_digit(year[0]) || !is_ascii_digit(year[3]) ||
            !is_ascii_digit(year[1]) || !is_ascii_digit(year[2])) {
            return false;
        }
        std::string_view wd = word(j);
        if (!wd.ends_with(',')) return false;
        wd.remove_suffix(1);
        static constexpr std::string_view weekdays[] = {
            "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
        static constexpr std::string_view months[] = {
            "January", "February", "March",     "April",   "May",      "June",
            "July",    "August",   "September", "October", "November", "December"};
        bool weekday = false;
        for (std::string_view w : weekdays) weekday = weekday || wd == w;
        bool month = false;
        for (std::string_view m : months) month = month || word(j + 1) == m;
        return weekday && month;
    }

    static bool is_date_preposition(std::string_view w) {
        static constexpr std::string_view words[] = {
            "on",   "by",   "until", "till",  "since", "from", "of", "before",  "after",
            "last", "next", "that",  "this",  "to",    "and",  "or", "every",   "than",
            "the",  "a",    "late",  "early", "for",   "at",   "in", "between",
        };
        std::string lower(w);
        for (char& c : lower) c = to_lower(c);
        for (std::string_view p : words) {
            if (lower == p) return true;
        }
        return false;
    }

    // What follows word i: the first word from i + 1 on that is more than
    // openers and dashes, looking at no more than three words.
    Ahead ahead(std::size_t i) const {
        for (std::size_t j = i + 1; j < words_.size() && j <= i + 3; ++j) {
            if (j > i + 1 && words_[j].breaks >= 2) break;
            Ahead a = look_at(word(j));
            if (!a.at_end) return a;
        }
        return {};
    }

    // The last word of a short line starting at word j: at most three words
    // up to the next line break (or the end), none ending a sentence or
    // leading on with a comma; npos otherwise.
    std::size_t short_line_from(std::size_t j) const {
        for (std::size_t k = j; k < words_.size() && k < j + 3; ++k) {
            if (k > j && words_[k].breaks > 0) return std::string_view::npos;
            std::string_view w = word(k);
            if (analyse_end(w).term != Term::None) return std::string_view::npos;
            if (k + 1 == words_.size() || words_[k + 1].breaks > 0) {
                char last = w.back();
                if (last == ',' || last == ';' || last == ':') return std::string_view::npos;
                return k;
            }
        }
        return std::string_view::npos;
    }

    // "the film Why? (A Comedy, 1950) and then": a short bracket opened at
    // word j, closed within eight words and followed by a lower-case word,
    // is an aside inside the sentence.
    bool bracket_then_lower(std::size_t j) const {
        int depth = 0;
        for (std::size_t k = j; k < words_.size() && k < j + 8; ++k) {
            if (k > j && words_[k].breaks >= 2) return false;
            for (char c : word(k)) {
                if (c == '(') ++depth;
                if (c == ')') --depth;
            }
            if (depth <= 0) {
                return k + 1 < words_.size() && words_[k + 1].breaks < 2 &&
                       look_at(word(k + 1)).kind == Case::Lower;
            }
        }
        return false;
    }

    bool heading_line(std::size_t i) const {
        if (sent_first_ < line_first_ || !line_title_ || line_capitals_ == 0 || line_words_ > 12) {
            return false;
        }
        std::string_view w = word(i);
        char last = w.back();
        if (last == ',' || last == ';' || last == ':') return false;
        return analyse_end(w).term == Term::None;
    }

    bool is_dots_only(std::size_t i) const {
        std::string_view w = word(i);
        for (std::size_t k = 0; k < w.size();) {
            Decoded d = decode_at(w, k);
            Sym s = sym_of(d.cp);
            if (s != Sym::Period && s != Sym::Ellipsis) return false;
            k += d.len;
        }
        return true;
    }

    // A list marker, after any bullet glued to it ("⁃9.").
    std::optional<Marker> marker_in(std::size_t i) const {
        std::string_view w = word(i);
        while (!w.empty() && starts_with_bullet(w)) w.remove_prefix(decode_at(w, 0).len);
        return parse_marker(w);
    }

    bool is_first_value(const Marker& m) const {
        return m.label == "1" || m.label == "a" || m.label == "A" || m.label == "i" ||
               m.label == "I";
    }

    bool all_dots(std::size_t from, std::size_t to) const {
        for (std::size_t k = from; k <= to; ++k) {
            if (!is_dots_only(k)) return false;
        }
        return true;
    }

    // Does a sentence end in the gap after word i (i + 1 exists)?
    bool ends_after(std::size_t i) {
        const Word& next = words_[i + 1];
        std::string_view nw = word(i + 1);
        if (next.breaks >= 2) return true;
        if (i == sent_first_ && starts_with_bullet(word(i)) &&
            decode_at(word(i), 0).len == word(i).size()) {
            return false;  // a lone bullet opening the sentence
        }
        if (starts_with_bullet(nw)) return true;

        std::optional<Marker> marker = parse_marker(nw);
        if (next.breaks > 0) {
            bool lower_next = ahead(i).kind == Case::Lower;
            if (is_line_bullet(nw)) return true;
            if (marker && depth_ == 0) {
                // "E." opening a line is more likely an initial than an item.
                bool weak = marker->form == MarkerForm::Dot && !is_ascii_digit(marker->label[0]) &&
                            !is_ascii_lower(marker->label[0]) &&
                            !(last_marker_ && is_successor(*last_marker_, *marker));
                if (!weak) return true;
            }
            if ((line_item_ || sent_marker_ != SIZE_MAX) && !lower_next) return true;
            if (!lower_next && heading_line(i)) return true;
            // Short lines without final punctuation, one after another
            // ("features", "contact us"): menu entries and keyword lists.
            if (sent_first_ >= line_first_ && short_line_from(sent_first_) == i &&
                (sent_first_ == short_line_end_ ||
                 short_line_from(i + 1) != std::string_view::npos)) {
                short_line_end_ = i + 1;
                return true;
            }
        }
        if (i == sent_marker_) return false;  // "1. The first item"

        // A citation mark standing alone ("in 1971. [1] He") belongs to the
        // sentence before it; the word before it decides.
        if (is_citation_only(nw)) return false;
        std::size_t ender = i;
        while (ender > sent_first_ && is_citation_only(word(ender))) --ender;
        // "a gap.11 12 Take": a second footnote number after one glued to the
        // full stop belongs to the sentence too.
        if (is_number(nw) && analyse_end(word(ender)).footnote) return false;
        if (ender > sent_first_ && is_number(word(ender)) &&
            analyse_end(word(ender - 1)).footnote) {
            --ender;
        }
        WordEnd end = analyse_end(word(ender));

        // "(age 30) Fort": a number closing a bracket opened in the sentence
        // is no list marker.
        if (marker && marker->form == MarkerForm::Paren && depth_ > 0) marker.reset();
        // "see Fig. 2. It shows": a number after an abbreviation is its
        // argument, not a list marker.
        if (marker && marker->form == MarkerForm::Dot && is_ascii_digit(marker->label[0]) &&
            end.term == Term::Stop && !end.core.empty() && !end.closed_core &&
            classify_core(end.core) != CoreKind::Plain) {
            marker.reset();
        }

        // A dateline ("Tuesday, May 4, 2021") after a headline, or opening
        // the story after it.
        if (end.term == Term::None && starts_dateline(i + 1) && !is_date_preposition(word(i))) {
            return true;
        }
        if (i >= sent_first_ + 3 && starts_dateline(i - 3) && ahead(i).kind == Case::Upper) {
            return true;
        }

        if (marker) {
            // An inline list item: after a sentence end, continuing the list
            // that opened this sentence, or starting it again.
            if (end.term != Term::None) {
                Ahead as_upper;
                as_upper.kind = Case::Upper;
                as_upper.at_end = false;
                return terminator_ends(end, ender, i, as_upper);
            }
            if (last_marker_ && is_successor(*last_marker_, *marker)) return true;
            if (sent_marker_ != SIZE_MAX && is_first_value(*marker) && last_marker_ &&
                last_marker_->form == marker->form && ahead(i + 1).kind == Case::Upper) {
                return true;
            }
            return marker->form != MarkerForm::Dot && ahead(i + 1).kind == Case::Upper;
        }
        if (end.term == Term::None) return false;
        if (depth_ > 0 || quoted_[i]) return false;
        // "... off the roof!' (Which was true.)": a bracketed aside after a
        // quotation that opened inside a narrated sentence belongs to that
        // sentence; after a sentence that is all quotation it stands alone.
        if (nw[0] == '(' && quotes_.opened_at[i] != SIZE_MAX &&
            quotes_.opened_at[i] > sent_first_) {
            return false;
        }

        Ahead a = ahead(i);
        if (a.at_end) return false;
        if (is_dots_only(i + 1)) {
            // "compounds. . . . The practice": a sentence end, then a spaced
            // ellipsis opening the next sentence.
            if (end.term == Term::Stop && !end.core.empty() && !end.closed_core &&
                classify_core(end.core) == CoreKind::Plain && i + 4 < words_.size() &&
                words_[i + 4].breaks < 2 && word(i + 1) == "." && word(i + 2) == "." &&
                word(i + 3) == "." && look_at(word(i + 4)).kind == Case::Upper) {
                return true;
            }
            return false;
        }
        // "in the world. (http://example.org/x)": an address in brackets
        // after a sentence end.
        if (a.kind == Case::Lower && nw[0] == '(' &&
            (nw.starts_with("(http://") || nw.starts_with("(https://") ||
             nw.starts_with("(www."))) {
            a.kind = Case::Upper;
        }
        // "in the city. features\ncontact us\n": a sentence end, then a run
        // of short lines.
        if (a.kind == Case::Lower && end.term == Term::Stop && !end.closed_core &&
            next.breaks == 0 && classify_core(end.core) == CoreKind::Plain) {
            std::size_t k = short_line_from(i + 1);
            if (k != std::string_view::npos && k + 1 < words_.size() &&
                short_line_from(k + 1) != std::string_view::npos) {
                return true;
            }
        }
        if (a.kind == Case::Lower || a.kind == Case::Punct) return false;
        if (nw[0] == '(' && bracket_then_lower(i + 1)) return false;
        return terminator_ends(end, ender, i, a);
    }

    // The decision at a terminator once what follows is known not to be a
    // lower-case word or punctuation.
    bool terminator_ends(const WordEnd& end, std::size_t ender, std::size_t i,
                         const Ahead& a) const {
        const bool upper = a.kind == Case::Upper;
        const bool digit = a.kind == Case::Digit;
        switch (end.term) {
            case Term::None:
                return false;
            case Term::Bang:
            case Term::Interrupted:
            case Term::EllipsisStop:
                return !digit;
            case Term::Ellipsis:
                return !digit && a.word != "I";
            case Term::Stop:
                break;
        }
        if (end.core.empty()) {
            // A full stop standing alone, or the last dot of ". . .".
            if (all_dots(sent_first_, i)) return false;  // ". . . The" opens a sentence
            bool spaced = i > sent_first_ && is_dots_only(i - 1);
            if (spaced) return !digit && a.word != "I";
            return !digit;
        }
        if (end.closed_core) return true;
        switch (classify_core(end.core)) {
            case CoreKind::Plain:
                return true;  // "in 1990. 25 people": numbers do open sentences
            case CoreKind::Initial:
                if (end.core == "I" && ender > sent_first_) {
                    Ahead prev = look_at(word(ender - 1));
                    if (prev.kind == Case::Lower) return true;
                }
                return false;
            case CoreKind::Title:
            case CoreKind::Joining:
                return false;
            case CoreKind::Time:
                // "At 5 a.m. Mr. Smith left": a time opening the sentence.
                return !digit && ender - sent_first_ > 2;
            case CoreKind::Everyday:
                return !digit;
            case CoreKind::Abbrev:
                return upper && is_sentence_opener(a.word);
        }
        return false;
    }
};

// Where the white space holding the first blank line at or after from
// begins, or the end of the text. Nothing reaches across a blank line but
// the last list marker, so the text can be segmented a paragraph group at a
// time, which keeps the per-word tables small on long texts.
std::size_t next_paragraph_gap(std::string_view text, std::size_t from) {
    const std::size_t n = text.size();
    std::size_t i = from;
    while (i < n) {
        while (i < n && !is_space(static_cast<u8>(text[i]))) ++i;
        const std::size_t gap = i;
        int breaks = 0;
        for (; i < n && is_space(static_cast<u8>(text[i])); ++i) {
            const char c = text[i];
            if (c == '\n' || c == '\v') {
                ++breaks;
            } else if (c == '\r') {
                if (i + 1 >= n || text[i + 1] != '\n') ++breaks;
            } else if (c == '\f') {
                breaks += 2;
            }
        }
        if (breaks >= 2) return gap;
    }
    return n;
}

template <class Emit>
void segment_chunks(std::string_view text, std::size_t chunk_bytes, Emit&& emit) {
    std::optional<Marker> last_marker;
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
        Segmenter seg(text.substr(begin, end - begin), last_marker);
        seg.run([&](std::size_t first, std::size_t last) { emit(seg, first, last); });
        last_marker = seg.last_marker();
        begin = end;
    }
}

// Appends the words first..last of a sentence, one space between them.
void append_sentence(std::string& out, const Segmenter& seg, std::size_t first, std::size_t last) {
    for (std::size_t k = first; k <= last; ++k) {
        if (k > first && !seg.glued(k)) out += ' ';
        out += seg.word(k);
    }
}

}  // namespace

std::vector<std::string> segment(std::string_view text) {
    std::vector<std::string> out;
    segment_chunks(text, kChunkBytes,
                   [&](const Segmenter& seg, std::size_t first, std::size_t last) {
                       std::string s;
                       append_sentence(s, seg, first, last);
                       out.push_back(std::move(s));
                   });
    return out;
}

std::string segment_lines(std::string_view text, std::size_t chunk_bytes) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 1);
    segment_chunks(text, chunk_bytes,
                   [&](const Segmenter& seg, std::size_t first, std::size_t last) {
                       append_sentence(out, seg, first, last);
                       out += '\n';
                   });
    return out;
}

}  // namespace talven
