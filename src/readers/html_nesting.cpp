// SPDX-License-Identifier: MIT
#include "readers/html_nesting.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/ascii.h"

namespace brennic::readers::html {
namespace {

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Elements that never nest: void elements, and those whose end tag is
// optional (the tree builder closes them by itself).
bool uncounted(std::string_view name) {
    static constexpr std::array<std::string_view, 33> names{
        "area", "base",  "br",     "col",    "embed",    "hr",    "img",   "input", "link",
        "meta", "param", "source", "track",  "wbr",      "p",     "li",    "dt",    "dd",
        "tr",   "td",    "th",     "option", "optgroup", "tbody", "thead", "tfoot", "colgroup",
        "rb",   "rt",    "rp",     "html",   "head",     "body"};
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements whose content is raw text up to their end tag.
bool raw_text(std::string_view name) {
    static constexpr std::array<std::string_view, 9> names{"script",  "style",    "textarea",
                                                           "title",   "xmp",      "iframe",
                                                           "noembed", "noframes", "plaintext"};
    return std::find(names.begin(), names.end(), name) != names.end();
}

struct Tag {
    std::size_t begin = 0;
    std::size_t end = 0;  // one past '>'
    std::string name;     // lower case
    bool closing = false;
    bool self_closing = false;
};

// The tag that starts at page[i] == '<', if one does; false for a '<' that
// starts no tag. Comments, doctypes and processing instructions are
// skipped as a whole (returned with an empty name).
bool read_tag(std::string_view page, std::size_t i, Tag& tag) {
    tag = Tag{};
    tag.begin = i;
    const std::size_t n = page.size();
    if (i + 1 >= n) return false;
    std::size_t k = i + 1;
    if (page[k] == '!') {
        const std::size_t close =
            page.substr(k, 3) == "!--" ? page.find("-->", k + 3) : page.find('>', k);
        tag.end = close == std::string_view::npos ? n : close + (page[k + 1] == '-' ? 3 : 1);
        return true;
    }
    if (page[k] == '?') {
        const std::size_t close = page.find('>', k);
        tag.end = close == std::string_view::npos ? n : close + 1;
        return true;
    }
    if (page[k] == '/') {
        tag.closing = true;
        ++k;
    }
    if (k >= n || !is_letter(page[k])) return false;
    while (k < n && !is_space(page[k]) && page[k] != '/' && page[k] != '>')
        tag.name += ascii_lower(page[k++]);
    // Attributes: quoted values may hold '>'.
    char quote = 0;
    for (; k < n; ++k) {
        const char c = page[k];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            if (k > 0 && page[k - 1] == '=')
                quote = c;
            else if (k > 1 && page[k - 1] == ' ' && page[k - 2] == '=')
                quote = c;
        } else if (c == '>') {
            tag.self_closing = k > 0 && page[k - 1] == '/';
            tag.end = k + 1;
            return true;
        }
    }
    tag.end = n;
    return true;
}

// Where the raw text of element `name` that starts at i ends: its end tag.
std::size_t raw_text_end(std::string_view page, std::size_t i, std::string_view name) {
    for (std::size_t k = page.find("</", i); k != std::string_view::npos;
         k = page.find("</", k + 2)) {
        if (page.size() - k - 2 < name.size()) break;
        bool same = true;
        for (std::size_t j = 0; j < name.size() && same; ++j)
            same = ascii_lower(page[k + 2 + j]) == name[j];
        if (same) return k;
    }
    return page.size();
}

// The stretches of the page to leave out, in order: start tags that open
// an element deeper than limit and the end tags that match them, comments,
// and the bodies of scripts and styles.
std::vector<std::pair<std::size_t, std::size_t>> cuts(std::string_view page, std::size_t limit) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    std::vector<std::string> open;
    std::vector<std::pair<std::string, std::size_t>> dropped;  // name, how many
    Tag tag;
    for (std::size_t i = page.find('<'); i != std::string_view::npos && i < page.size();) {
        if (!read_tag(page, i, tag)) {
            i = page.find('<', i + 1);
            continue;
        }
        // Comments are never text either.
        if (tag.name.empty() && page.substr(tag.begin, 4) == "<!--")
            out.emplace_back(tag.begin, tag.end);
        const bool raw = raw_text(tag.name);
        if (!tag.name.empty() && !raw && !uncounted(tag.name)) {
            const auto find_dropped = [&] {
                return std::find_if(dropped.begin(), dropped.end(),
                                    [&](const auto& d) { return d.first == tag.name; });
            };
            if (!tag.closing && !tag.self_closing) {
                if (open.size() >= limit) {
                    out.emplace_back(tag.begin, tag.end);
                    if (auto it = find_dropped(); it == dropped.end())
                        dropped.emplace_back(tag.name, 1);
                    else
                        ++it->second;
                } else {
                    open.push_back(tag.name);
                }
            } else if (tag.closing) {
                if (auto it = find_dropped(); it != dropped.end() && it->second > 0) {
                    out.emplace_back(tag.begin, tag.end);
                    --it->second;
                } else {
                    // Closes the innermost open element of that name, and all inside it.
                    auto at = std::find(open.rbegin(), open.rend(), tag.name);
                    if (at != open.rend()) open.erase(std::next(at).base(), open.end());
                }
            }
        }
        std::size_t next = tag.end;
        if (raw && !tag.closing && !tag.self_closing && next < page.size()) {
            next = raw_text_end(page, next, tag.name);
            // Scripts and styles are never text: the parser need not read them.
            if ((tag.name == "script" || tag.name == "style") && next > tag.end)
                out.emplace_back(tag.end, next);
        }
        if (next >= page.size()) break;
        i = page.find('<', next);
    }
    return out;
}

}  // namespace

bool prepare_for_parsing(std::string_view page, std::string& out, std::size_t limit) {
    const auto stretches = cuts(page, limit);
    if (stretches.empty()) return false;
    out.clear();
    out.reserve(page.size());
    std::size_t copied = 0;
    for (const auto& [begin, end] : stretches) {
        out.append(page.substr(copied, begin - copied));
        copied = end;
    }
    out.append(page.substr(std::min(copied, page.size())));
    return true;
}

}  // namespace brennic::readers::html
