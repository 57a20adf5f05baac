// SPDX-License-Identifier: MIT
// A strict reader of the pages that brennic::view::render_html writes: it
// accepts only well-nested known elements with quoted attributes, text
// without raw markup characters or control bytes, and bytes that fit the
// declared encoding, and it returns what the page shows, decoded to UTF-8.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace html_check {

struct Sentence {
    std::string classes;
    std::string id;
    std::string title;
    std::string text;                     // the text shown, in UTF-8
    std::vector<std::string> underlined;  // the text of each <u>
    int paragraph = 0;                    // counted over the whole page from 0
};

struct Page {
    std::string charset;
    std::string title;
    std::string h1;
    std::map<std::string, std::string> figures;  // <dt> text to <dd> text
    std::vector<std::string> stems;              // the items of the keyword list
    std::vector<std::string> extract;            // the items of the extract block
    std::string extract_heading;
    std::vector<Sentence> sentences;
};

inline void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Well-formed UTF-8, checked with the standard library's own converter
// rules spelled out: no overlong forms, no surrogates, nothing above U+10FFFF.
inline bool valid_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80                 ? 1
                        : c >= 0xC2 && c <= 0xDF ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size()) return false;
        char32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
        for (std::size_t k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

// Bytes as UTF-8: kept when they are UTF-8, read as Windows-1252 otherwise
// (only the few characters from 0x80 to 0x9F that the tests use).
inline std::string as_utf8(std::string_view bytes, bool force_1252 = false) {
    if (!force_1252 && valid_utf8(bytes)) return std::string(bytes);
    const std::map<unsigned char, char32_t> high = {{0x80, 0x20AC}, {0x93, 0x201C}, {0x94, 0x201D}};
    std::string out;
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c >= 0x80 && c <= 0x9F) {
            if (!high.contains(c)) throw std::runtime_error("unexpected byte in a 1252 page");
            append_utf8(out, high.at(c));
        } else {
            append_utf8(out, c);
        }
    }
    return out;
}

// Text or an attribute value as the browser reads it.
inline std::string decode(std::string_view raw, bool is_1252) {
    std::string out;
    std::size_t at = 0;
    while (at < raw.size()) {
        const std::size_t amp = raw.find('&', at);
        out += as_utf8(raw.substr(at, amp - at), is_1252);
        if (amp == std::string_view::npos) break;
        const std::size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos) throw std::runtime_error("bare &");
        const std::string ref(raw.substr(amp, semi + 1 - amp));
        const bool hex = ref.size() > 4 && ref.starts_with("&#x") &&
                         ref.find_first_not_of("0123456789ABCDEF", 3) == ref.size() - 1;
        if (ref == "&lt;")
            out += '<';
        else if (ref == "&gt;")
            out += '>';
        else if (ref == "&amp;")
            out += '&';
        else if (ref == "&quot;")
            out += '"';
        else if (ref == "&#39;")
            out += '\'';
        else if (hex)
            append_utf8(out, static_cast<char32_t>(std::stoul(ref.substr(3), nullptr, 16)));
        else
            throw std::runtime_error("unknown reference " + ref);
        at = semi + 1;
    }
    return out;
}

// White space runs as one space, none at the ends: the text as it reads.
inline std::string collapse(std::string_view s) {
    std::string out;
    for (const char c : s) {
        const bool white = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
        if (!white)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

struct Tag {
    bool closing = false;
    std::string name;
    std::map<std::string, std::string> attrs;  // values decoded
};

// A tag in the one form the pages use: a lower-case name, then attributes
// name="value" whose values hold no quote and no angle bracket.
inline Tag read_tag(std::string_view tag, bool is_1252) {
    const auto fail = [&] { throw std::runtime_error("bad tag " + std::string(tag)); };
    const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto space = [](char c) { return c == ' ' || c == '\n' || c == '\t'; };
    if (tag.size() < 3 || tag.front() != '<' || tag.back() != '>') fail();
    Tag t;
    std::size_t at = 1;
    t.closing = tag[at] == '/';
    if (t.closing) ++at;
    std::size_t start = at;
    if (!lower(tag[at])) fail();
    while (lower(tag[at]) || digit(tag[at])) ++at;
    t.name = tag.substr(start, at - start);
    for (;;) {
        const std::size_t gap = at;
        while (space(tag[at])) ++at;
        if (tag[at] == '>') break;
        if (at == gap || t.closing) fail();
        start = at;
        while (lower(tag[at]) || tag[at] == '-') ++at;
        if (at == start || tag.substr(at, 2) != "=\"") fail();
        const std::string name(tag.substr(start, at - start));
        at += 2;
        const std::size_t end = tag.find('"', at);
        if (end == std::string_view::npos || tag.substr(at, end - at).find('<') != tag.npos) fail();
        t.attrs[name] = decode(tag.substr(at, end - at), is_1252);
        at = end + 1;
    }
    if (at + 1 != tag.size()) fail();
    return t;
}

inline Page parse(const std::string& html) {
    const std::string doctype = "<!DOCTYPE html>\n";
    if (!html.starts_with(doctype)) throw std::runtime_error("no doctype");
    Page page;
    for (const char* charset : {"utf-8", "windows-1252"}) {
        const std::size_t meta = html.find("<meta charset=\"" + std::string(charset) + "\">");
        if (meta < 1024 - 40) page.charset = charset;
    }
    if (page.charset.empty()) throw std::runtime_error("no charset in the first 1024 bytes");
    const bool is_1252 = page.charset == "windows-1252";
    for (const char b : html) {
        const auto c = static_cast<unsigned char>(b);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F)
            throw std::runtime_error("control byte " + std::to_string(c));
        if (is_1252 && (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D))
            throw std::runtime_error("byte undefined in Windows-1252");
    }
    if (!is_1252) {
        if (!valid_utf8(html)) throw std::runtime_error("not UTF-8");
        for (std::size_t i = 0; i + 1 < html.size(); ++i) {
            if (html[i] == '\xC2' && static_cast<unsigned char>(html[i + 1]) < 0xA0)
                throw std::runtime_error("C1 control");
        }
    }

    static const std::set<std::string> known = {
        "html", "head", "meta", "title", "style", "body",    "header", "h1",
        "h2",   "p",    "dl",   "div",   "dt",    "dd",      "small",  "ol",
        "li",   "u",    "span", "mark",  "main",  "article", "a",      "section"};
    std::vector<std::string> open;
    std::string dt;
    Sentence* sentence = nullptr;
    std::string* sink = nullptr;  // the text of the element being read
    int paragraph = -1;
    bool in_u = false;
    bool in_main = false;
    bool in_extract = false;
    std::size_t at = doctype.size();
    while (at < html.size()) {
        if (html[at] != '<') {
            const std::size_t end = html.find('<', at);
            const std::string_view raw = std::string_view(html).substr(at, end - at);
            if (raw.find_first_of(">\"'") != std::string_view::npos)
                throw std::runtime_error("raw markup character in text");
            const std::string text = decode(raw, is_1252);
            if (sentence != nullptr) {
                sentence->text += text;
                if (in_u) sentence->underlined.back() += text;
            } else if (sink != nullptr) {
                *sink += text;
            } else if (collapse(text) != "" && !in_main && open.empty()) {
                throw std::runtime_error("text outside the document");
            }
            at = end == std::string::npos ? html.size() : end;
            continue;
        }
        const std::size_t close = html.find('>', at);
        if (close == std::string::npos) throw std::runtime_error("unclosed tag");
        const Tag t = read_tag(std::string_view(html).substr(at, close + 1 - at), is_1252);
        at = close + 1;
        const std::string& name = t.name;
        if (!known.contains(name)) throw std::runtime_error("unknown element " + name);
        if (sentence != nullptr && name != "u" && !(t.closing && name == open.back()))
            throw std::runtime_error("element " + name + " inside a sentence");
        if (t.closing) {
            if (open.empty() || open.back() != name)
                throw std::runtime_error("misnested </" + name + ">");
            open.pop_back();
            if (name == "u") in_u = false;
            if (name == "span" || name == "mark") sentence = nullptr;
            if (name == "main") in_main = false;
            if (name == "section") in_extract = false;
            if (name == "title" || name == "h1" || name == "dt" || name == "dd" || name == "li" ||
                (name == "h2" && in_extract))
                sink = nullptr;
            continue;
        }
        std::map<std::string, std::string> attrs = t.attrs;
        if (name == "meta") continue;  // a void element
        open.push_back(name);
        if (name == "style") {
            const std::size_t end = html.find("</style>", at);
            if (end == std::string::npos) throw std::runtime_error("unclosed style");
            at = end;
        } else if (name == "title") {
            sink = &page.title;
        } else if (name == "h2" && in_extract) {
            sink = &page.extract_heading;
        } else if (name == "h1") {
            sink = &page.h1;
        } else if (name == "dt") {
            dt.clear();
            sink = &dt;
        } else if (name == "dd") {
            sink = &page.figures[dt];
        } else if (name == "section") {
            in_extract = true;
        } else if (name == "li" && in_extract) {
            page.extract.emplace_back();
            sink = &page.extract.back();
        } else if (name == "li") {
            page.stems.emplace_back();
            sink = &page.stems.back();
        } else if (name == "main") {
            in_main = true;
        } else if (name == "p" && in_main) {
            ++paragraph;
        } else if ((name == "span" || name == "mark") && in_main) {
            page.sentences.push_back(
                {attrs["class"], attrs["id"], attrs["title"], "", {}, paragraph});
            sentence = &page.sentences.back();
        } else if (name == "u" && sentence != nullptr) {
            in_u = true;
            sentence->underlined.emplace_back();
        }
    }
    if (!open.empty()) throw std::runtime_error("unclosed <" + open.back() + ">");
    for (auto& [term, value] : page.figures) value = collapse(value);
    return page;
}

}  // namespace html_check
