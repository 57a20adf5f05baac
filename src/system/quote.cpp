// SPDX-License-Identifier: MIT
#include "system/quote.h"

#include <cstdio>

#include "common/utf8.h"

namespace brennic {
namespace {

// Characters that need no quotes at all.
bool is_plain(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("%+,-./:=@_^").find(static_cast<char>(c)) != std::string_view::npos;
}

// The length of the well-formed UTF-8 sequence of a non-ASCII character
// starting at at, or 0 when there is none or it is a C1 control, which some
// terminals act on too.
std::size_t utf8_length(std::string_view s, std::size_t at) {
    const std::size_t n = utf8_sequence_length(s, at);
    if (n < 2) return 0;
    const char32_t code = utf8_decode(s, at, n);
    return code >= 0x80 && code < 0xA0 ? 0 : n;
}

void escape(std::string& out, unsigned char c) {
    switch (c) {
        case '\a':
            out += "\\a";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\v':
            out += "\\v";
            return;
        default:
            break;
    }
    char octal[5];
    std::snprintf(octal, sizeof octal, "\\%03o", c);
    out += octal;
}

}  // namespace

std::string quote(std::string_view name) {
    bool plain = !name.empty();
    bool printable = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            const std::size_t n = utf8_length(name, i);
            if (n == 0)
                printable = false;
            else
                i += n - 1;
            plain = false;
        } else if (!is_plain(c)) {
            plain = false;
            if (c < 0x20 || c == 0x7F) printable = false;
        }
    }
    if (plain) return std::string(name);
    std::string out;
    if (printable) {
        // 'it'\''s' for a quote inside, as the shell reads it back.
        out += '\'';
        for (const char c : name) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        out += '\'';
        return out;
    }
    // Printable runs in single quotes, the rest in $'...' escapes.
    bool in_quotes = false;
    bool in_escape = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        std::size_t n = 1;
        bool shown = c >= 0x20 && c != 0x7F;
        if (c >= 0x80) {
            n = utf8_length(name, i);
            shown = n > 0;
            if (n == 0) n = 1;
        }
        if (shown && c != '\'') {
            if (in_escape) out += '\'', in_escape = false;
            if (!in_quotes) out += '\'', in_quotes = true;
            out.append(name.substr(i, n));
        } else if (c == '\'') {
            if (in_quotes || in_escape) out += '\'', in_quotes = in_escape = false;
            out += "\\'";
        } else {
            if (in_quotes) out += '\'', in_quotes = false;
            if (!in_escape) out += "$'", in_escape = true;
            escape(out, c);
        }
        i += n - 1;
    }
    if (in_quotes || in_escape) out += '\'';
    return out;
}

}  // namespace brennic
