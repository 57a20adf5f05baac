// SPDX-License-Identifier: MIT
#include "readers/html_stated.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <utility>

#include "common/ascii.h"
#include "common/utf8.h"
#include "readers/text_chars.h"

namespace brennic::readers::html {
namespace {

bool is_json_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The four hex digits at s[i], or -1.
long hex4(std::string_view s, std::size_t i) {
    if (i + 4 > s.size()) return -1;
    long v = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const int d = hex_digit(s[i + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

// The character cp as it goes into text: what is never a page's text (and
// NUL, surrogates and what lies past Unicode) becomes U+FFFD, white space a
// space.
char32_t text_char(long cp) {
    if (cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f') return ' ';
    if (cp <= 0 || (cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF ||
        never_text(static_cast<char32_t>(cp)))
        return 0xFFFD;
    return static_cast<char32_t>(cp);
}

// Decodes the JSON string whose opening quote is at s[i]; false when it is
// not closed. `end` is set one past the closing quote.
bool json_string(std::string_view s, std::size_t i, std::string& out, std::size_t& end) {
    out.clear();
    for (std::size_t k = i + 1; k < s.size();) {
        const char c = s[k];
        if (c == '"') {
            end = k + 1;
            return true;
        }
        if (c != '\\') {
            if (static_cast<unsigned char>(c) < 0x20)
                append_utf8(out, text_char(static_cast<unsigned char>(c)));
            else
                out += c;
            ++k;
            continue;
        }
        if (k + 1 >= s.size()) return false;
        const char e = s[k + 1];
        k += 2;
        switch (e) {
            case 'n':
            case 'r':
                out += '\n';  // a paragraph's end, where the text has them
                break;
            case 't':
            case 'b':
            case 'f':
                out += ' ';
                break;
            case 'u': {
                long cp = hex4(s, k);
                if (cp < 0) break;
                k += 4;
                if (cp >= 0xD800 && cp < 0xDC00 && k + 1 < s.size() && s[k] == '\\' &&
                    s[k + 1] == 'u') {
                    const long low = hex4(s, k + 2);
                    if (low >= 0xDC00 && low < 0xE000) {
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        k += 6;
                    }
                }
                append_utf8(out, text_char(cp));
                break;
            }
            default:
                out += e;  // \" \\ \/ and anything else: the character itself
        }
    }
    return false;
}

// Whether the tag whose name starts at s[i] (past "<" or "</") ends a
// paragraph: p, br, div, li, a heading, a quotation and the like.
bool block_tag(std::string_view s, std::size_t i) {
    std::size_t end = i;
    while (end < s.size() && ((s[end] >= 'a' && s[end] <= 'z') ||
                              (s[end] >= 'A' && s[end] <= 'Z') || (s[end] >= '0' && s[end] <= '9')))
        ++end;
    const std::string name = ascii_lowered(s.substr(i, end - i));
    for (const std::string_view block : {"p", "br", "div", "li", "ul", "ol", "h1", "h2", "h3", "h4",
                                         "h5", "h6", "blockquote", "section", "article", "tr"})
        if (name == block) return true;
    return false;
}

// Appends the character a reference stands for (`&amp;`, `&#8217;`,
// `&#x2019;`: `ref` is what lies between "&" and ";"); a space for a named
// one it does not know.
void append_reference(std::string& out, std::string_view ref) {
    if (ref.starts_with('#')) {
        const bool hex = ref.size() > 1 && (ref[1] == 'x' || ref[1] == 'X');
        long cp = 0;
        for (std::size_t k = hex ? 2 : 1; k < ref.size() && cp <= 0x10FFFF; ++k) {
            const int d =
                hex ? hex_digit(ref[k]) : (ref[k] >= '0' && ref[k] <= '9' ? ref[k] - '0' : -1);
            if (d < 0) {
                cp = -1;
                break;
            }
            cp = cp * (hex ? 16 : 10) + d;
        }
        append_utf8(out, cp < 0 ? char32_t{0xFFFD} : text_char(cp));
        return;
    }
    constexpr std::pair<std::string_view, std::string_view> named[] = {
        {"amp", "&"},         {"lt", "<"},         {"gt", ">"},         {"quot", "\""},
        {"apos", "'"},        {"nbsp", " "},       {"rsquo", "\u2019"}, {"lsquo", "\u2018"},
        {"rdquo", "\u201D"},  {"ldquo", "\u201C"}, {"ndash", "\u2013"}, {"mdash", "\u2014"},
        {"hellip", "\u2026"}, {"laquo", "\u00AB"}, {"raquo", "\u00BB"}};
    for (const auto& entry : named)
        if (ref == entry.first) {
            out += entry.second;
            return;
        }
    out += ' ';
}

// The text with markup (<p>, </a>, <!-- -->) left out, a block's tags
// ending a line, and character references (&amp;, &#8217;) decoded: some
// sites put HTML into their structured data.
std::string without_markup(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const auto is_alnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '<' && i + 1 < s.size() &&
            (is_alnum(s[i + 1]) || s[i + 1] == '/' || s[i + 1] == '!')) {
            const std::size_t close = s.find('>', i);
            if (close == std::string_view::npos) break;
            out += block_tag(s, s[i + 1] == '/' ? i + 2 : i + 1) ? '\n' : ' ';
            i = close + 1;
            continue;
        }
        if (c == '&') {
            std::size_t k = i + 1;
            if (k < s.size() && s[k] == '#') ++k;
            while (k < s.size() && k - i < 10 && is_alnum(s[k])) ++k;
            if (k < s.size() && s[k] == ';' && k > i + 1) {
                append_reference(out, s.substr(i + 1, k - i - 1));
                i = k + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

bool is_cjk(char32_t cp) {
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x2FFFF);
}

// Calls f with the hash of each word of a UTF-8 text: runs of letters,
// digits and marks, a CJK character alone.
template <typename F>
void for_each_word(std::string_view text, F&& f) {
    constexpr std::uint64_t basis = 0xcbf29ce484222325ULL;
    constexpr std::uint64_t prime = 0x100000001b3ULL;
    std::uint64_t hash = basis;
    bool in_word = false;
    const auto end_word = [&] {
        if (in_word) f(hash);
        hash = basis;
        in_word = false;
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8_sequence_length(text, i);
        if (n == 0) {
            end_word();
            ++i;
            continue;
        }
        const char32_t cp = utf8_decode(text, i, n);
        const bool cjk = is_cjk(cp);
        const bool word = cjk || cp == '_' || u_isalnum(static_cast<UChar32>(cp)) ||
                          (in_word && (U_GET_GC_MASK(static_cast<UChar32>(cp)) & U_GC_M_MASK));
        if (!word || cjk) end_word();
        if (word) {
            for (std::size_t k = 0; k < n; ++k) {
                hash ^= static_cast<unsigned char>(text[i + k]);
                hash *= prime;
            }
            in_word = true;
            if (cjk) end_word();
        }
        i += n;
    }
    end_word();
}

// Calls f with the hash of each run of four words (or of the whole text,
// when it has fewer).
template <typename F>
void for_each_shingle(std::string_view text, F&& f) {
    std::array<std::uint64_t, 4> last{};
    std::size_t words = 0;
    for_each_word(text, [&](std::uint64_t word) {
        last[words % 4] = word;
        ++words;
        if (words < 4) return;
        std::uint64_t h = 0x9e3779b97f4a7c15ULL;
        for (std::size_t k = words - 4; k < words; ++k) {
            h ^= last[k % 4] + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        }
        f(h);
    });
    if (words > 0 && words < 4) {
        std::uint64_t h = 0x51ed270b27a1f3c5ULL + words;
        for (std::size_t k = 0; k < words; ++k)
            h ^= last[k] + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        f(h);
    }
}

}  // namespace

std::string stated_article_body(std::string_view utf8) {
    constexpr std::string_view key = "\"articleBody\"";
    std::string best;
    std::string value;
    for (std::size_t at = utf8.find(key); at != std::string_view::npos;
         at = utf8.find(key, at + key.size())) {
        std::size_t k = at + key.size();
        while (k < utf8.size() && is_json_space(utf8[k])) ++k;
        if (k >= utf8.size() || utf8[k] != ':') continue;
        ++k;
        while (k < utf8.size() && is_json_space(utf8[k])) ++k;
        if (k >= utf8.size() || utf8[k] != '"') continue;
        std::size_t end = k;
        if (!json_string(utf8, k, value, end)) continue;
        if (value.size() > best.size()) best.swap(value);
        at = end - key.size();
    }
    return best.empty() ? best : without_markup(best);
}

std::string stated_paragraphs(std::string_view stated) {
    std::string out;
    for (std::size_t i = 0; i < stated.size();) {
        const std::size_t end = std::min(stated.find('\n', i), stated.size());
        std::string line;
        for (std::size_t k = i; k < end; ++k) {
            const char c = stated[k];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                if (!line.empty() && line.back() != ' ') line += ' ';
            } else {
                line += c;
            }
        }
        if (!line.empty() && line.back() == ' ') line.pop_back();
        if (!line.empty()) {
            if (!out.empty()) out += "\n\n";
            out += line;
        }
        i = end + 1;
    }
    return out;
}

Shingles::Shingles(std::string_view text) {
    for_each_shingle(text, [&](std::uint64_t h) {
        set_.insert(h);
        ++count_;
    });
}

Shingles::Match Shingles::match(std::string_view text) const {
    Match m;
    for_each_shingle(text, [&](std::uint64_t h) {
        ++m.total;
        if (set_.contains(h)) ++m.found;
    });
    return m;
}

}  // namespace brennic::readers::html
