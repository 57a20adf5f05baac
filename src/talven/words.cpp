// SPDX-License-Identifier: MIT
// Words and gaps: cutting the text into words, counting the line breaks
// between them, and reading how a word starts.
#include "talven/words.h"

#include <algorithm>
#include <array>
#include <new>

#include "talven/joins.h"
#include "talven/language.h"
#include "talven/segmenter.h"

namespace talven {
namespace {

// Full-width and ideographic stops: text written with them puts no space
// after them, so a word is cut after such a stop ("end．Next").
bool is_wide_stop(std::uint32_t cp) {
    return cp == 0xFF0E || cp == 0x3002 || cp == 0xFF01 || cp == 0xFF1F;
}

bool is_wide_closer(std::uint32_t cp) {
    return cp == 0x300D || cp == 0x300F || cp == 0xFF09 || cp == 0x201D || cp == 0x2019;
}

// What the scan for the end of a word has to look at in a byte.
enum class ByteKind : u8 { Plain, Space, Terminator, WideLead };

constexpr std::array<ByteKind, 256> byte_kinds = [] {
    std::array<ByteKind, 256> kinds{};
    for (int b = 0; b < 256; ++b) {
        if (is_space(static_cast<u8>(b))) kinds[b] = ByteKind::Space;
    }
    kinds['.'] = kinds['!'] = kinds['?'] = ByteKind::Terminator;
    // The lead bytes of the full-width (U+FFxx) and ideographic (U+30xx)
    // stops in UTF-8.
    kinds[0xEF] = kinds[0xE3] = ByteKind::WideLead;
    return kinds;
}();

// Kana and CJK ideographs, which Chinese and Japanese text sets with no
// space after a sentence, whatever mark ends it.
bool is_cjk_at(std::string_view text, std::size_t i) {
    if (utf8_len_at(text, i) != 3) return false;
    const std::uint32_t cp = decode_utf8(text, i, 3);
    return (cp >= 0x3040 && cp <= 0x30FF) || (cp >= 0x3400 && cp <= 0x9FFF) ||
           (cp >= 0xF900 && cp <= 0xFAFF);
}

bool is_wide_digit_at(std::string_view text, std::size_t i) {
    if (utf8_len_at(text, i) != 3) return false;
    const std::uint32_t cp = decode_utf8(text, i, 3);
    return cp >= 0xFF10 && cp <= 0xFF19;
}

// Where the word from i on ends: at white space or after a wide stop; in
// languages other than English also after an ASCII "!" or "?" before kana
// or an ideograph ("美味!組内"). `maybe_join` is set when a terminator
// stands right before a capital letter, where the word may hold two
// sentences.
std::size_t space_or_wide_stop(std::string_view text, std::size_t i, bool& maybe_join,
                               bool cjk_bangs) {
    const std::size_t n = text.size();
    while (i < n) {
        const ByteKind kind = byte_kinds[static_cast<u8>(text[i])];
        if (kind == ByteKind::Plain) {
            ++i;
            continue;
        }
        if (kind == ByteKind::Space) return i;
        if (kind == ByteKind::Terminator) {
            if (i + 1 < n && text[i + 1] >= 'A' && text[i + 1] <= 'Z') maybe_join = true;
            if (cjk_bangs && text[i] != '.') {
                std::size_t j = i + 1;
                while (j < n && (text[j] == '!' || text[j] == '?')) ++j;
                if (j < n && static_cast<u8>(text[j]) >= 0xE3 && is_cjk_at(text, j)) return j;
            }
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
        // "３．２９": a full-width decimal point, in other languages.
        if (cjk_bangs && cp == 0xFF0E && i < n && is_wide_digit_at(text, i)) continue;
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

// Where the word from i on ends: also inside it, after a sentence end that
// no white space follows (joins.h).
std::size_t word_end(std::string_view text, std::size_t i, bool cjk_bangs) {
    bool maybe_join = false;
    const std::size_t end = space_or_wide_stop(text, i, maybe_join, cjk_bangs);
    return maybe_join ? join_cut(text, i, end) : end;
}

// Skips the white space from i on and adds its line breaks to `breaks`: LF,
// VT, a CR not followed by LF, and a form feed as two (a page break is a
// paragraph break). Returns where the white space ends.
std::size_t skip_gap(std::string_view text, std::size_t i, int& breaks) {
    const std::size_t n = text.size();
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
    return i;
}

}  // namespace

Words::Words(std::string_view text, Table table, const Language& lang)
    : text_(text), words_(std::move(table)), lang_(&lang), wide_case_(!lang.english) {
    words_.clear();
    // Offsets are within one paragraph group, which is held in memory as a
    // whole: one of a terabyte cannot be.
    if (static_cast<std::uint64_t>(text.size()) >> (64 - kBeginShift) != 0) throw std::bad_alloc();
    std::size_t i = 0;
    std::size_t last_end = SIZE_MAX;
    const std::size_t n = text.size();
    while (i < n) {
        int breaks = 0;
        i = skip_gap(text, i, breaks);
        if (i >= n) break;
        const std::size_t b = i;
        i = word_end(text, i, wide_case_);
        const std::uint64_t length = std::min<std::uint64_t>(i - b, kLongWord);
        std::uint64_t word = static_cast<std::uint64_t>(b) << kBeginShift | length << kFlagBits;
        word |= static_cast<std::uint64_t>(std::min(breaks, 3));
        if (last_end == b) word |= kGluedBit;
        words_.push_back(word);
        last_end = i;
    }
}

std::size_t Words::long_word_end(std::size_t i) const {
    if (i + 1 < size() && glued(i + 1))
        return static_cast<std::size_t>(words_[i + 1] >> kBeginShift);
    std::size_t e =
        i + 1 < size() ? static_cast<std::size_t>(words_[i + 1] >> kBeginShift) : text_.size();
    // A word's first byte is never white space, so this stops inside it.
    while (is_space(static_cast<u8>(text_[e - 1]))) --e;
    return e;
}

WordStart word_start(std::string_view w, bool wide_case) {
    WordStart a;
    std::size_t p = 0;
    while (p < w.size()) {
        Decoded d = decode_at(w, p);
        Sym s = sym_of(d.cp);
        // Other languages open quotations with more marks: ",," (Dutch,
        // typed for „) and a closing mark in first place (»Kom«, ”Vi”);
        // a closing mark alone closes ("fini. » Puis").
        if (wide_case &&
            ((s == Sym::CloseQuote && p + d.len < w.size()) || w.substr(p, 2) == ",,")) {
            p += d.cp == ',' ? 2 : d.len;
            continue;
        }
        if (!is_opener(s) && s != Sym::Dash) break;
        p += d.len;
    }
    if (p == w.size()) return a;  // only openers: look further
    a.none = false;
    Decoded d = decode_at(w, p);
    a.kind = wide_case ? wide_case_of(d.cp) : case_of(d.cp);
    a.rest = w.substr(p);
    std::size_t q = p;
    while (q < w.size() && is_ascii_letter(w[q])) ++q;
    a.letters = w.substr(p, q - p);
    // A name written in camel case ("eBay", "wikiHow") counts as
    // capitalised.
    if (a.kind == Case::Lower) {
        std::size_t k = 0;
        while (k < a.letters.size() && k < 5 && is_ascii_lower(a.letters[k])) ++k;
        if (k < a.letters.size() && k < 5 && k + 1 < a.letters.size() &&
            is_ascii_lower(a.letters[k + 1])) {
            a.kind = Case::Upper;
        }
    }
    return a;
}

WordStart Words::start_after(std::size_t i) const {
    for (std::size_t j = i + 1; j < size() && j <= i + 3; ++j) {
        if (j > i + 1 && breaks(j) >= 2) break;
        WordStart a = word_start((*this)[j], wide_case_);
        if (!a.none) return a;
    }
    return {};
}

// Nothing reaches across a blank line but the last list marker, so a text
// can be segmented a paragraph group at a time, which keeps the per-word
// tables small on long texts.
std::size_t next_paragraph_gap(std::string_view text, std::size_t from) {
    const std::size_t n = text.size();
    std::size_t i = from;
    while (i < n) {
        while (i < n && !is_space(static_cast<u8>(text[i]))) ++i;
        const std::size_t gap = i;
        int breaks = 0;
        i = skip_gap(text, i, breaks);
        if (breaks >= 2) return gap;
    }
    return n;
}

}  // namespace talven
