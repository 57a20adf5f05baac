// SPDX-License-Identifier: MIT
// List markers and bullets: parsing a marker, the order of a list, and
// whether a marker or bullet opens a list item.
#include "talven/list_markers.h"

#include <algorithm>
#include <string>

#include "talven/terminators.h"

namespace talven {
namespace {

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

bool valid_label(std::string_view label, bool allow_roman) {
    if (is_number(label)) return true;
    if (label.size() == 1 && is_ascii_letter(label[0])) return true;
    return allow_roman && roman_value(label) > 0;
}

bool is_first_value(const Marker& m) {
    return m.label == "1" || m.label == "a" || m.label == "A" || m.label == "i" || m.label == "I";
}

}  // namespace

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

bool starts_with_bullet(std::string_view w) {
    return !w.empty() && sym_of(decode_at(w, 0).cp) == Sym::Bullet;
}

bool is_line_bullet(std::string_view w) {
    if (w == "-" || w == "*" || w == "+" || w == "--" || w == "o") return true;
    Decoded d = decode_at(w, 0);
    return d.len == w.size() && sym_of(d.cp) == Sym::Dash;
}

std::optional<Marker> marker_in(std::string_view w) {
    while (!w.empty() && starts_with_bullet(w)) w.remove_prefix(decode_at(w, 0).len);
    return parse_marker(w);
}

bool is_lone_bullet(std::string_view w) {
    return starts_with_bullet(w) && decode_at(w, 0).len == w.size();
}

bool opens_line_item(const Marker& m, const std::optional<Marker>& last) {
    bool weak = m.form == MarkerForm::Dot && !is_ascii_digit(m.label[0]) &&
                !is_ascii_lower(m.label[0]) && !(last && is_successor(*last, m));
    return !weak;
}

bool continues_inline_list(const Words& words, std::size_t first, std::size_t i,
                           const Marker& marker) {
    if (analyse_end(words[i], words.language()).term != Term::None) return false;
    // Inline lists are short: look back a few dozen words only, which also
    // keeps a sentence of a million markers linear.
    constexpr std::size_t reach = 64;
    const std::size_t from = std::max(first + 1, i > reach ? i - reach : 0);
    for (std::size_t k = i + 1; k-- > from;) {
        if (const std::optional<Marker> m = parse_marker(words[k]); m && is_successor(*m, marker)) {
            return true;
        }
    }
    return false;
}

bool starts_inline_item(const Words& words, std::size_t i, const Marker& marker,
                        const std::optional<Marker>& last, bool sentence_has_marker) {
    if (last && is_successor(*last, marker)) return true;
    if (sentence_has_marker && is_first_value(marker) && last && last->form == marker.form &&
        words.start_after(i + 1).kind == Case::Upper) {
        return true;
    }
    return marker.form != MarkerForm::Dot && words.start_after(i + 1).kind == Case::Upper;
}

}  // namespace talven
