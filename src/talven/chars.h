// SPDX-License-Identifier: MIT
// Characters: how the segmenter reads bytes, and the classes of characters
// its rules look at.
//
// The input may be UTF-8 or a single-byte code page, and nobody says which,
// so every position is read on its own: a byte sequence that is valid UTF-8
// is read as such, any other byte is read as Windows-1252 (which agrees with
// ISO 8859-1 on every printable byte). A stray byte therefore never hides
// the characters around it. Bytes are only read here, never changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace talven {

using u8 = unsigned char;

// What a character means to the rules.
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

// The case of a character; Punct is punctuation that may follow a word.
enum class Case : std::uint8_t { Upper, Lower, Digit, Punct, Other };

struct Decoded {
    std::uint32_t cp;  // code point (single bytes: their cp1252 / Latin-1 value)
    std::size_t len;
};

// Length of a valid UTF-8 sequence starting at s[i], or 0.
inline std::size_t utf8_len_at(std::string_view s, std::size_t i) {
    u8 b = static_cast<u8>(s[i]);
    std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (b >= 0xF5) n = 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<u8>(s[i + k]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

// The code point of the valid UTF-8 sequence of n bytes at s[i].
inline std::uint32_t decode_utf8(std::string_view s, std::size_t i, std::size_t n) {
    std::uint32_t cp = static_cast<u8>(s[i]) & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<u8>(s[i + k]) & 0x3F);
    return cp;
}

// A byte that is no UTF-8 as a code point: Windows-1252 for the bytes
// 0x80-0x9F the rules care about (quotes, dashes, bullet, ellipsis),
// Latin-1 for the rest.
constexpr std::uint32_t cp1252(u8 b) {
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

// The character that starts at s[i].
inline Decoded decode_at(std::string_view s, std::size_t i) {
    u8 b = static_cast<u8>(s[i]);
    if (b < 0x80) return {b, 1};
    if (std::size_t n = utf8_len_at(s, i)) return {decode_utf8(s, i, n), n};
    return {cp1252(b), 1};
}

// The character that ends just before s[end].
inline Decoded decode_before(std::string_view s, std::size_t end) {
    u8 b = static_cast<u8>(s[end - 1]);
    if (b >= 0x80 && (b & 0xC0) == 0x80) {
        for (std::size_t n = 2; n <= 4 && n <= end; ++n) {
            if (utf8_len_at(s, end - n) == n) return {decode_utf8(s, end - n, n), n};
        }
    }
    if (b < 0x80) return {b, 1};
    return {cp1252(b), 1};
}

// The class of a character (sym_of below is the fast way to ask).
constexpr Sym classify_sym(std::uint32_t cp) {
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

// sym_of reads ASCII, by far the most frequent case, from a table.
inline constexpr auto ascii_syms = [] {
    std::array<Sym, 128> table{};
    for (std::uint32_t cp = 0; cp < 128; ++cp) table[cp] = classify_sym(cp);
    return table;
}();

inline Sym sym_of(std::uint32_t cp) { return cp < 128 ? ascii_syms[cp] : classify_sym(cp); }

constexpr Case case_of(std::uint32_t cp) {
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

// Marks that may close a word ("end.)", "end.'") or open one ("(The").
inline bool is_closer(Sym s) {
    return s == Sym::CloseQuote || s == Sym::DoubleQuote || s == Sym::SingleQuote ||
           s == Sym::CloseBracket || s == Sym::Emphasis;
}

// The closing corner brackets of Chinese and Japanese quotations (」, 』):
// in languages other than English they close a word after its stop as a
// closing quote mark does ("残念だった。」").
inline bool is_corner_closer(std::uint32_t cp) { return cp == 0x300D || cp == 0x300F; }

inline bool is_opener(Sym s) {
    return s == Sym::OpenQuote || s == Sym::DoubleQuote || s == Sym::SingleQuote ||
           s == Sym::OpenBracket || s == Sym::Emphasis;
}

inline bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_ascii_lower(char c) { return c >= 'a' && c <= 'z'; }

inline char to_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace talven
