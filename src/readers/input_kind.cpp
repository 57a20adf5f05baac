// SPDX-License-Identifier: MIT
#include "readers/input_kind.h"

#include <algorithm>
#include <string>

#include "common/ascii.h"
#include "readers/html.h"
#include "readers/markdown.h"

namespace brennic::readers {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The bytes past white space and, when skip_comments, <!-- comments -->.
std::string_view skip_prolog(std::string_view s, bool skip_comments) {
    for (;;) {
        while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
        if (!skip_comments || !s.starts_with("<!--")) return s;
        const std::size_t end = s.find("-->", 4);
        if (end == std::string_view::npos) return {};
        s.remove_prefix(end + 3);
    }
}

// How much of the look at a text's content goes: pages show what they are
// long before this.
constexpr std::size_t kSniffBytes = 4096;

}  // namespace

std::optional<InputKind> parse_input_kind(std::string_view name) {
    if (name == "auto") return InputKind::automatic;
    if (name == "text") return InputKind::text;
    if (name == "html") return InputKind::html;
    if (name == "markdown") return InputKind::markdown;
    return std::nullopt;
}

std::string_view input_kind_name(InputKind kind) {
    switch (kind) {
        case InputKind::text:
            return "text";
        case InputKind::html:
            return "html";
        case InputKind::markdown:
            return "markdown";
        case InputKind::automatic:
            break;
    }
    return "auto";
}

InputKind kind_by_name(std::string_view name) {
    const std::string_view base = name.substr(name.rfind('/') + 1);
    const std::size_t dot = base.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return InputKind::automatic;
    std::string ext(base.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), ascii_lower);
    if (ext == "html" || ext == "htm" || ext == "xhtml") return InputKind::html;
    if (ext == "md" || ext == "markdown") return InputKind::markdown;
    if (ext == "txt" || ext == "text") return InputKind::text;
    return InputKind::automatic;
}

bool looks_like_html(std::string_view bytes) {
    std::string_view s = bytes.substr(0, kSniffBytes);
    if (s.starts_with("\xEF\xBB\xBF")) s.remove_prefix(3);
    std::string_view head = skip_prolog(s, true);
    if (ascii_starts_with_nocase(head, "<?xml")) {
        const std::size_t end = head.find("?>");
        if (end == std::string_view::npos) return false;
        head = skip_prolog(head.substr(end + 2), true);
    }
    if (ascii_starts_with_nocase(head, "<!doctype html") || ascii_starts_with_nocase(head, "<html"))
        return true;
    // Mostly markup: at least four tags, and tags take at least half of
    // what is not white space.
    std::size_t tags = 0;
    std::size_t tag_bytes = 0;
    std::size_t visible = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (is_space(s[i])) continue;
        const bool opens = s[i] == '<' && i + 1 < s.size() &&
                           ((ascii_lower(s[i + 1]) >= 'a' && ascii_lower(s[i + 1]) <= 'z') ||
                            s[i + 1] == '/' || s[i + 1] == '!');
        const std::size_t close = opens ? s.find('>', i) : std::string_view::npos;
        if (close == std::string_view::npos) {
            ++visible;
            continue;
        }
        ++tags;
        tag_bytes += close + 1 - i;
        visible += close + 1 - i;
        i = close;
    }
    return tags >= 4 && 2 * tag_bytes >= visible;
}

InputKind choose_kind(InputKind requested, std::string_view name, std::string_view bytes) {
    if (requested != InputKind::automatic) return requested;
    if (const InputKind by_name = kind_by_name(name); by_name != InputKind::automatic)
        return by_name;
    return looks_like_html(bytes) ? InputKind::html : InputKind::text;
}

Document read_input(std::string_view bytes, InputKind kind) {
    switch (choose_kind(kind, {}, bytes)) {
        case InputKind::html:
            return read_html(bytes);
        case InputKind::markdown:
            return read_markdown(bytes);
        default:
            return Document{{}, std::string(bytes), {}};
    }
}

}  // namespace brennic::readers
