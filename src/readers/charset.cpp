// SPDX-License-Identifier: MIT
#include "readers/charset.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

#include "common/ascii.h"
#include "common/utf8.h"

namespace brennic::readers {
namespace {

// How far into a page its charset declaration is looked for. Browsers look
// at the first 1024 bytes first and switch later when the parser meets a
// declaration further on; a longer look ahead does the same in one pass.
constexpr std::size_t prescan_bytes = 16 * 1024;

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Whether s at i starts with word (lower case), whatever the case of s.
bool starts_with_at(std::string_view s, std::size_t i, std::string_view word) {
    return i <= s.size() && ascii_starts_with_nocase(s.substr(i), word);
}

std::string lowered_trimmed(std::string_view s) {
    while (!s.empty() && (is_space(s.front()) || s.front() == '"' || s.front() == '\''))
        s.remove_prefix(1);
    while (!s.empty() && (is_space(s.back()) || s.back() == '"' || s.back() == '\''))
        s.remove_suffix(1);
    return ascii_lowered(s);
}

// The value of charset=... inside a Content-Type value.
std::string charset_in_content_type(std::string_view content) {
    for (std::size_t i = 0; i + 7 <= content.size(); ++i) {
        if (!starts_with_at(content, i, "charset")) continue;
        std::size_t k = i + 7;
        while (k < content.size() && is_space(content[k])) ++k;
        if (k >= content.size() || content[k] != '=') continue;
        ++k;
        while (k < content.size() && is_space(content[k])) ++k;
        std::size_t end = k;
        if (k < content.size() && (content[k] == '"' || content[k] == '\'')) {
            const char quote = content[k++];
            end = content.find(quote, k);
            if (end == std::string_view::npos) return {};
        } else {
            while (end < content.size() && !is_space(content[end]) && content[end] != ';') ++end;
        }
        return lowered_trimmed(content.substr(k, end - k));
    }
    return {};
}

// One attribute of a tag being scanned: name and value, and where the
// scan goes on. The scan stops at the tag's end (">" or "/>").
struct Attribute {
    std::string_view name;
    std::string_view value;
};

// Reads the attribute at s[i] (after white space); false at the tag's end.
bool next_attribute(std::string_view s, std::size_t& i, Attribute& out) {
    while (i < s.size() && (is_space(s[i]) || s[i] == '/')) ++i;
    if (i >= s.size() || s[i] == '>') return false;
    const std::size_t name_start = i;
    while (i < s.size() && !is_space(s[i]) && s[i] != '=' && s[i] != '>' &&
           (s[i] != '/' || i == name_start))
        ++i;
    out.name = s.substr(name_start, i - name_start);
    out.value = {};
    while (i < s.size() && is_space(s[i])) ++i;
    if (i >= s.size() || s[i] != '=') return true;
    ++i;
    while (i < s.size() && is_space(s[i])) ++i;
    if (i >= s.size()) return true;
    if (s[i] == '"' || s[i] == '\'') {
        const char quote = s[i++];
        const std::size_t end = std::min(s.find(quote, i), s.size());
        out.value = s.substr(i, end - i);
        i = std::min(end + 1, s.size());
    } else {
        const std::size_t start = i;
        while (i < s.size() && !is_space(s[i]) && s[i] != '>') ++i;
        out.value = s.substr(start, i - start);
    }
    return true;
}

bool name_is(std::string_view name, std::string_view word) {
    return name.size() == word.size() && starts_with_at(name, 0, word);
}

// The charset a <meta> tag whose attributes start at s[i] declares, if any.
std::string meta_charset(std::string_view s, std::size_t i) {
    Attribute attribute;
    bool content_type = false;
    std::string from_content;
    while (next_attribute(s, i, attribute)) {
        if (name_is(attribute.name, "charset")) return lowered_trimmed(attribute.value);
        if (name_is(attribute.name, "http-equiv"))
            content_type = lowered_trimmed(attribute.value) == "content-type";
        if (name_is(attribute.name, "content"))
            from_content = charset_in_content_type(attribute.value);
    }
    return content_type ? from_content : std::string{};
}

// The encoding of an XML declaration at the very start, if any.
std::string xml_declared(std::string_view s) {
    if (!s.starts_with("<?xml")) return {};
    const std::size_t end = std::min(s.find("?>"), s.size());
    std::size_t i = 5;
    Attribute attribute;
    const std::string_view declaration = s.substr(0, end);
    while (next_attribute(declaration, i, attribute))
        if (name_is(attribute.name, "encoding")) return lowered_trimmed(attribute.value);
    return {};
}

// The name ICU knows a charset label by, with the web's aliases: Latin-1
// and ASCII labels mean Windows-1252, GB2312 and GBK mean GB18030 (a
// superset), a UTF-16 label inside an 8-bit page means UTF-8.
std::string icu_name(const std::string& label) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 24> aliases{{
        {"utf8", "utf-8"},
        {"unicode-1-1-utf-8", "utf-8"},
        {"utf-16", "utf-8"},
        {"utf-16le", "utf-8"},
        {"utf-16be", "utf-8"},
        {"unicode", "utf-8"},
        {"iso-8859-1", "windows-1252"},
        {"iso8859-1", "windows-1252"},
        {"iso_8859-1", "windows-1252"},
        {"latin1", "windows-1252"},
        {"l1", "windows-1252"},
        {"us-ascii", "windows-1252"},
        {"ascii", "windows-1252"},
        {"cp1252", "windows-1252"},
        {"x-cp1252", "windows-1252"},
        {"gb2312", "gb18030"},
        {"gbk", "gb18030"},
        {"x-gbk", "gb18030"},
        {"gb_2312-80", "gb18030"},
        {"csgb2312", "gb18030"},
        {"chinese", "gb18030"},
        {"shift_jis", "windows-31j"},
        {"sjis", "windows-31j"},
        {"x-sjis", "windows-31j"},
    }};
    for (const auto& [from, to] : aliases)
        if (label == from) return std::string(to);
    return label;
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter open_converter(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status)) return nullptr;
    return converter;
}

// bytes decoded from the charset of `from` to UTF-8, a chunk at a time.
std::string convert(std::string_view bytes, UConverter* from) {
    Converter to = open_converter("utf-8");
    std::string out;
    if (!to) return out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::array<UChar, 4096> pivot{};
    UChar* pivot_source = pivot.data();
    UChar* pivot_target = pivot.data();
    std::array<char, 16384> chunk{};
    const char* source = bytes.data();
    const char* const source_end = bytes.data() + bytes.size();
    for (;;) {
        char* target = chunk.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(to.get(), from, &target, chunk.data() + chunk.size(), &source, source_end,
                       pivot.data(), &pivot_source, &pivot_target, pivot.data() + pivot.size(),
                       false, true, &status);
        out.append(chunk.data(), static_cast<std::size_t>(target - chunk.data()));
        if (status == U_BUFFER_OVERFLOW_ERROR) continue;
        break;
    }
    return out;
}

// Well-formed UTF-8 as it is; anything else with each bad byte as U+FFFD.
std::string repaired_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = utf8_sequence_length(bytes, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.substr(i, n));
            i += n;
        }
    }
    return out;
}

// Whether bytes that are not well-formed UTF-8 still read best as UTF-8: more
// of their multi-byte sequences well-formed than broken.
bool mostly_utf8(std::string_view bytes) {
    std::size_t good = 0;
    std::size_t bad = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = utf8_sequence_length(bytes, i);
        if (n == 0) {
            ++bad;
            ++i;
        } else {
            ++good;
            i += n;
        }
    }
    return good > bad;
}

// What tells one charset from another: the runs of text between tags that
// hold bytes past ASCII, one after another with a space between them, up to
// about `most` bytes. Markup and plain ASCII say nothing, and leaving them
// out spares the detector most of its work.
std::string non_ascii_text(std::string_view bytes, std::size_t most) {
    std::string sample;
    std::size_t start = 0;  // where the current run of text began
    bool high = false;
    for (std::size_t i = 0; i <= bytes.size() && sample.size() < most; ++i) {
        const char c = i < bytes.size() ? bytes[i] : '<';
        if (c == '<' || c == '>') {
            if (high) {
                sample.append(bytes.substr(start, std::min(i - start, most - sample.size())));
                sample += ' ';
            }
            start = i + 1;
            high = false;
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            high = true;
        }
    }
    return sample;
}

// The charset of a page that declares none and is not UTF-8, when its bytes
// read clearly as one of the multi-byte charsets of Chinese, Japanese or
// Korean (as browsers guess); else Windows-1252.
std::string guessed_charset(std::string_view bytes) {
    constexpr std::string_view fallback = "windows-1252";
    const std::string sample = non_ascii_text(bytes, 8 * 1024);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                        &ucsdet_close);
    if (U_FAILURE(status)) return std::string(fallback);
    ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
    const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
    if (U_FAILURE(status) || !match) return std::string(fallback);
    const char* name = ucsdet_getName(match, &status);
    const int32_t confidence = ucsdet_getConfidence(match, &status);
    if (U_FAILURE(status) || !name || confidence < 30) return std::string(fallback);
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> multi_byte{{
        {"GB18030", "gb18030"},
        {"Big5", "big5"},
        {"Shift_JIS", "windows-31j"},
        {"EUC-JP", "euc-jp"},
        {"EUC-KR", "euc-kr"},
        {"ISO-2022-JP", "iso-2022-jp"},
    }};
    for (const auto& [detected, charset] : multi_byte)
        if (detected == name) return std::string(charset);
    return std::string(fallback);
}

bool has_non_ascii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string decoded_as(std::string_view bytes, const std::string& name) {
    if (name == "utf-8") return repaired_utf8(bytes);
    Converter converter = open_converter(name);
    if (!converter) converter = open_converter("windows-1252");
    if (!converter) return repaired_utf8(bytes);
    return convert(bytes, converter.get());
}

}  // namespace

std::string declared_charset(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return "utf-8";
    if (bytes.starts_with("\xFF\xFE")) return "utf-16le";
    if (bytes.starts_with("\xFE\xFF")) return "utf-16be";
    const std::string_view head = bytes.substr(0, prescan_bytes);
    if (std::string xml = xml_declared(head); !xml.empty()) return xml;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (head[i] != '<') continue;
        if (head.substr(i).starts_with("<!--")) {
            const std::size_t end = head.find("-->", i + 4);
            if (end == std::string_view::npos) break;
            i = end + 2;
            continue;
        }
        if (starts_with_at(head, i + 1, "meta") && i + 5 < head.size() &&
            (is_space(head[i + 5]) || head[i + 5] == '/')) {
            if (std::string charset = meta_charset(head, i + 5); !charset.empty()) return charset;
        }
    }
    return {};
}

std::string_view page_to_utf8(std::string_view bytes, std::string& decoded) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        if (is_valid_utf8(bytes)) return bytes;
        return decoded = repaired_utf8(bytes);
    }
    if (bytes.starts_with("\xFF\xFE")) return decoded = decoded_as(bytes.substr(2), "utf-16le");
    if (bytes.starts_with("\xFE\xFF")) return decoded = decoded_as(bytes.substr(2), "utf-16be");
    const bool valid = is_valid_utf8(bytes);
    const std::string declared = declared_charset(bytes);
    const std::string name = declared.empty() ? std::string{} : icu_name(declared);
    if (name.empty() || name == "utf-8") {
        if (valid) return bytes;
        // Declared UTF-8 that is not: as if undeclared, unless most of it is UTF-8.
        if (!name.empty() && mostly_utf8(bytes)) return decoded = decoded_as(bytes, "utf-8");
        return decoded = decoded_as(bytes, guessed_charset(bytes));
    }
    if (valid && has_non_ascii(bytes)) return bytes;
    return decoded = decoded_as(bytes, name);
}

}  // namespace brennic::readers
