// SPDX-License-Identifier: MIT
#include "readers/html_layout.h"

#include <myhtml/api.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "common/utf8.h"
#include "readers/html_nesting.h"

namespace brennic::readers::html {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

using Node = myhtml_tree_node_t;
using Tag = myhtml_tag_id_t;

// The value of an element's attribute; empty when it has none.
std::string_view attribute(Node* element, std::string_view name) {
    myhtml_tree_attr_t* found = myhtml_attribute_by_key(element, name.data(), name.size());
    if (!found) return {};
    std::size_t length = 0;
    const char* value = myhtml_attribute_value(found, &length);
    return value ? std::string_view(value, length) : std::string_view{};
}

bool has_attribute(Node* element, std::string_view name) {
    return myhtml_attribute_by_key(element, name.data(), name.size()) != nullptr;
}

std::string_view text_of(Node* node) {
    std::size_t length = 0;
    const char* text = myhtml_node_text(node, &length);
    return text ? std::string_view(text, length) : std::string_view{};
}

// Elements whose whole subtree is never the text of a page.
bool never_content(Tag tag) {
    switch (tag) {
        case MyHTML_TAG_HEAD:
        case MyHTML_TAG_SCRIPT:
        case MyHTML_TAG_STYLE:
        case MyHTML_TAG_NOSCRIPT:
        case MyHTML_TAG_TEMPLATE:
        case MyHTML_TAG_IFRAME:
        case MyHTML_TAG_FRAME:
        case MyHTML_TAG_FRAMESET:
        case MyHTML_TAG_NOFRAMES:
        case MyHTML_TAG_OBJECT:
        case MyHTML_TAG_EMBED:
        case MyHTML_TAG_APPLET:
        case MyHTML_TAG_SVG:
        case MyHTML_TAG_MATH:
        case MyHTML_TAG_CANVAS:
        case MyHTML_TAG_VIDEO:
        case MyHTML_TAG_AUDIO:
        case MyHTML_TAG_MAP:
        case MyHTML_TAG_SELECT:
        case MyHTML_TAG_DATALIST:
        case MyHTML_TAG_OPTION:
        case MyHTML_TAG_TEXTAREA:
        case MyHTML_TAG_INPUT:
        case MyHTML_TAG_BUTTON:
        case MyHTML_TAG_LABEL:
        case MyHTML_TAG_OUTPUT:
        case MyHTML_TAG_KEYGEN:
        case MyHTML_TAG_NAV:
        case MyHTML_TAG_ASIDE:
        case MyHTML_TAG_FOOTER:
        case MyHTML_TAG_MENU:
        case MyHTML_TAG_PRE:
        case MyHTML_TAG_XMP:
        case MyHTML_TAG_LISTING:
        case MyHTML_TAG_PLAINTEXT:
        case MyHTML_TAG_MARQUEE:
            return true;
        default:
            return false;
    }
}

// Whether an element is hidden from readers by its own attributes.
bool hidden(Node* element) {
    if (has_attribute(element, "hidden")) return true;
    if (lowered(attribute(element, "aria-hidden")) == "true") return true;
    std::string style;
    for (char c : attribute(element, "style"))
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') style += lower(c);
    return style.find("display:none") != std::string::npos ||
           style.find("visibility:hidden") != std::string::npos;
}

// Roles that mark an element as the page's furniture rather than its text.
bool furniture_role(Node* element) {
    const std::string role = lowered(attribute(element, "role"));
    return role == "navigation" || role == "complementary" || role == "contentinfo" ||
           role == "search" || role == "menu" || role == "menubar" || role == "dialog" ||
           role == "alertdialog";
}

// The kind of box a block-level element makes; false for inline elements.
bool box_kind(Tag tag, BoxKind& kind, std::uint8_t& level) {
    level = 0;
    switch (tag) {
        case MyHTML_TAG_HTML:
        case MyHTML_TAG_BODY:
            kind = BoxKind::root;
            return true;
        case MyHTML_TAG_DIV:
        case MyHTML_TAG_SECTION:
        case MyHTML_TAG_MAIN:
        case MyHTML_TAG_HEADER:
        case MyHTML_TAG_HGROUP:
        case MyHTML_TAG_CENTER:
        case MyHTML_TAG_FORM:
            kind = BoxKind::division;
            return true;
        case MyHTML_TAG_ARTICLE:
            kind = BoxKind::article;
            return true;
        case MyHTML_TAG_P:
            kind = BoxKind::paragraph;
            return true;
        case MyHTML_TAG_H1:
        case MyHTML_TAG_H2:
        case MyHTML_TAG_H3:
        case MyHTML_TAG_H4:
        case MyHTML_TAG_H5:
        case MyHTML_TAG_H6:
            kind = BoxKind::heading;
            level = static_cast<std::uint8_t>(1 + (tag - MyHTML_TAG_H1));
            return true;
        case MyHTML_TAG_UL:
        case MyHTML_TAG_OL:
        case MyHTML_TAG_DL:
        case MyHTML_TAG_DIR:
            kind = BoxKind::list;
            return true;
        case MyHTML_TAG_LI:
        case MyHTML_TAG_DD:
        case MyHTML_TAG_DT:
            kind = BoxKind::item;
            return true;
        case MyHTML_TAG_TABLE:
        case MyHTML_TAG_TBODY:
        case MyHTML_TAG_THEAD:
        case MyHTML_TAG_TFOOT:
        case MyHTML_TAG_TR:
            kind = BoxKind::table;
            return true;
        case MyHTML_TAG_TD:
        case MyHTML_TAG_TH:
            kind = BoxKind::cell;
            return true;
        case MyHTML_TAG_BLOCKQUOTE:
            kind = BoxKind::quote;
            return true;
        case MyHTML_TAG_FIGURE:
        case MyHTML_TAG_FIGCAPTION:
        case MyHTML_TAG_CAPTION:
            kind = BoxKind::caption;
            return true;
        case MyHTML_TAG_ADDRESS:
        case MyHTML_TAG_DETAILS:
        case MyHTML_TAG_SUMMARY:
        case MyHTML_TAG_FIELDSET:
        case MyHTML_TAG_LEGEND:
        case MyHTML_TAG_HR:
            kind = BoxKind::other;
            return true;
        default:
            return false;
    }
}

// Words in class and id names that mark content, and those that mark
// boilerplate.
constexpr std::array<std::string_view, 9> content_words{
    "article", "content", "entry", "main", "post", "story", "text", "blog", "hentry"};
constexpr std::array<std::string_view, 53> boilerplate_words{
    "comment",     "^bio",       "author-info", "about-author", "about-the-author",
    "author-desc", "author-box", "authorbox",   "copyright",    "disclaimer",
    "^legal",      "sidebar",    "side-bar",    "^share",       "sharing",
    "^social",     "related",    "^promo",      "cookie",       "consent",
    "gdpr",        "banner",     "advert",      "sponsor",      "widget",
    "footer",      "masthead",   "breadcrumb",  "menu",         "navigation",
    "navbar",      "nav-",       "-nav",        "popup",        "^modal",
    "newsletter",  "subscribe",  "signup",      "outbrain",     "taboola",
    "recommend",   "^tags",      "toolbar",     "pagination",   "^pager",
    "disqus",      "^reply",     "respond",     "skyscraper",   "shopping",
    "login",       "^search",    "^rating"};

// Class names that name what a post is filed under (tag-cookies,
// category-sports) say nothing of the box itself.
bool filing_name(std::string_view name) {
    return name.starts_with("tag-") || name.starts_with("category-") || name.starts_with("tags-") ||
           name.starts_with("categories-");
}

int class_hint(Node* element) {
    std::string names;
    const std::string classes = lowered(attribute(element, "class"));
    std::size_t i = 0;
    while (i < classes.size()) {
        const std::size_t end = std::min(classes.find_first_of(" \t\n\r\f", i), classes.size());
        const std::string_view name = std::string_view(classes).substr(i, end - i);
        if (!name.empty() && !filing_name(name)) {
            names += name;
            names += ' ';
        }
        i = end + 1;
    }
    names += lowered(attribute(element, "id"));
    if (names.empty()) return 0;
    // author_info reads as author-info.
    std::replace(names.begin(), names.end(), '_', '-');
    const auto found = [&](const auto& words) {
        return std::any_of(words.begin(), words.end(), [&](std::string_view w) {
            // A word marked '^' counts only at the start of a name or of a
            // part of one ("search-box", not "research").
            if (!w.starts_with('^')) return names.find(w) != std::string::npos;
            w.remove_prefix(1);
            for (std::size_t at = names.find(w); at != std::string::npos;
                 at = names.find(w, at + 1))
                if (at == 0 || names[at - 1] == ' ' || names[at - 1] == '-' || names[at - 1] == '_')
                    return true;
            return false;
        });
    };
    const bool content = found(content_words);
    const bool boilerplate = found(boilerplate_words);
    if (content && boilerplate) return 0;
    if (boilerplate) return -25;
    if (content) return 25;
    return 0;
}

bool is_space_code(char32_t cp) {
    return cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f' || cp == 0xA0 ||
           cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F || cp == 0x205F;
}

// Control characters other than white space, and noncharacters: never text,
// whatever bytes a page has them as. They read as U+FFFD.
bool never_text(char32_t cp) {
    return (cp >= 0x01 && cp <= 0x08) || cp == 0x0B || (cp >= 0x0E && cp <= 0x1F) ||
           (cp >= 0x7F && cp <= 0x9F) || (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE;
}

constexpr std::string_view replacement = "\xEF\xBF\xBD";

// The UTF-8 sequence of cp, which lies at s[i, i + n), as it goes into text.
std::string_view as_text(std::string_view s, std::size_t i, std::size_t n, char32_t cp) {
    return never_text(cp) ? replacement : s.substr(i, n);
}

bool is_cjk(char32_t cp) {
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x2FFFF);
}

// Builds the layout in one walk over the tree with an explicit stack.
class Walker {
public:
    explicit Walker(Layout& layout) : layout_(layout) {}

    void walk(Node* document) {
        struct Frame {
            Node* next;  // the next child to look at
            bool box = false;
            bool link = false;
        };
        std::vector<Frame> stack;
        stack.push_back({myhtml_node_child(document)});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            Node* child = frame.next;
            if (!child) {
                if (frame.box) close_box();
                if (frame.link) --links_;
                stack.pop_back();
                continue;
            }
            frame.next = myhtml_node_next(child);
            const Tag tag = myhtml_node_tag_id(child);
            if (tag == MyHTML_TAG__TEXT) {
                add_text(text_of(child));
            } else if (tag > MyHTML_TAG__DOCTYPE && tag != MyHTML_TAG__END_OF_FILE) {
                // An element; names the parser does not know get numbers past its own.
                Frame next{myhtml_node_child(child)};
                if (open_element(child, tag, next)) stack.push_back(next);
            }
        }
        flush();
    }

private:
    // Looks at an element as the walk enters it; false to leave it out.
    bool open_element(Node* element, Tag tag, auto& frame) {
        if (tag == MyHTML_TAG_HEAD) read_head(element);
        if (tag == MyHTML_TAG_META) read_meta(element);
        if (tag == MyHTML_TAG_HTML || tag == MyHTML_TAG_BODY || tag == MyHTML_TAG_ARTICLE) {
            if (layout_.language.empty())
                layout_.language = std::string(attribute(element, "lang"));
        }
        if (tag == MyHTML_TAG_BR) {
            line_break();
            return false;
        }
        if (tag == MyHTML_TAG_IMG || tag == MyHTML_TAG_WBR) return false;
        if (never_content(tag) || hidden(element) || furniture_role(element)) return false;
        if (!frame.next && tag != MyHTML_TAG_HR) return false;
        BoxKind kind;
        std::uint8_t level;
        if (box_kind(tag, kind, level)) {
            open_box(kind, level, class_hint(element));
            frame.box = true;
        } else if (tag == MyHTML_TAG_A && has_attribute(element, "href")) {
            ++links_;
            frame.link = true;
        }
        return true;
    }

    void read_head(Node* head) {
        for (Node* child = myhtml_node_child(head); child; child = myhtml_node_next(child)) {
            const Tag tag = myhtml_node_tag_id(child);
            if (tag == MyHTML_TAG_META) read_meta(child);
            if (tag == MyHTML_TAG_TITLE && layout_.title.empty()) {
                for (Node* text = myhtml_node_child(child); text; text = myhtml_node_next(text))
                    if (myhtml_node_tag_id(text) == MyHTML_TAG__TEXT)
                        layout_.title += collapsed(text_of(text));
            }
        }
    }

    void read_meta(Node* meta) {
        if (!layout_.og_title.empty()) return;
        const std::string property = lowered(attribute(meta, "property"));
        if (property == "og:title") layout_.og_title = collapsed(attribute(meta, "content"));
    }

    static std::string collapsed(std::string_view s) {
        std::string out;
        bool space = false;
        for (std::size_t i = 0; i < s.size();) {
            const std::size_t n = utf8_sequence_length(s, i);
            if (n == 0) {
                ++i;
                continue;
            }
            const char32_t cp = utf8_decode(s, i, n);
            if (is_space_code(cp)) {
                space = !out.empty();
            } else {
                if (space) out += ' ';
                space = false;
                out.append(as_text(s, i, n, cp));
            }
            i += n;
        }
        return out;
    }

    void open_box(BoxKind kind, std::uint8_t level, int hint) {
        flush();
        Box box;
        box.parent = open_.empty() ? no_box : open_.back();
        box.first_block = layout_.blocks.size();
        box.kind = kind;
        box.heading_level = level;
        box.hint = hint;
        open_.push_back(layout_.boxes.size());
        layout_.boxes.push_back(box);
    }

    void close_box() {
        flush();
        Box& box = layout_.boxes[open_.back()];
        box.end = layout_.boxes.size();
        box.end_block = layout_.blocks.size();
        open_.pop_back();
    }

    void line_break() {
        // Two breaks in a row end a paragraph, as pages without <p> use them.
        if (!current_.text.empty() && current_.text.back() == '\n') {
            current_.text.pop_back();
            flush();
            return;
        }
        pending_space_ = false;
        if (!current_.text.empty()) current_.text += '\n';
    }

    void add_text(std::string_view s) {
        if (open_.empty()) return;  // text outside <html> and <body> is not the page's
        for (std::size_t i = 0; i < s.size();) {
            const std::size_t n = utf8_sequence_length(s, i);
            if (n == 0) {
                ++i;
                continue;
            }
            const char32_t cp = utf8_decode(s, i, n);
            if (is_space_code(cp) || cp == 0) {
                pending_space_ = !current_.text.empty() && current_.text.back() != '\n';
                i += n;
                continue;
            }
            if (pending_space_) current_.text += ' ';
            pending_space_ = false;
            current_.text.append(as_text(s, i, n, cp));
            const std::size_t weight = is_cjk(cp) ? 3 : 1;
            current_.length += weight;
            if (links_ > 0) current_.link_length += weight;
            if (cp == ',' || cp == 0xFF0C || cp == 0x3001 || cp == ';' || cp == 0xFF1B)
                ++current_.commas;
            else if (cp == '.' || cp == '!' || cp == '?' || cp == 0x3002 || cp == 0xFF01 ||
                     cp == 0xFF1F)
                ++current_.stops;
            i += n;
        }
    }

    void flush() {
        pending_space_ = false;
        while (!current_.text.empty() && current_.text.back() == '\n') current_.text.pop_back();
        if (current_.length > 0 && !open_.empty()) {
            current_.box = open_.back();
            layout_.blocks.push_back(std::move(current_));
        }
        current_ = Block{};
    }

    Layout& layout_;
    std::vector<std::size_t> open_;  // the boxes open at this point of the walk
    Block current_;
    bool pending_space_ = false;
    int links_ = 0;
};

}  // namespace

Layout lay_out(std::string_view utf8) {
    Layout layout;
    std::string prepared;
    if (prepare_for_parsing(utf8, prepared)) utf8 = prepared;
    // The parser keeps its nodes in pools that go all at once: freeing the
    // tree never walks it, so no depth of nesting makes it recurse.
    const std::unique_ptr<myhtml_t, decltype(&myhtml_destroy)> parser(myhtml_create(),
                                                                      &myhtml_destroy);
    if (!parser || MyCORE_FAILED(myhtml_init(parser.get(), MyHTML_OPTIONS_PARSE_MODE_SINGLE, 1, 0)))
        throw std::bad_alloc();
    const std::unique_ptr<myhtml_tree_t, decltype(&myhtml_tree_destroy)> tree(myhtml_tree_create(),
                                                                              &myhtml_tree_destroy);
    if (!tree || MyCORE_FAILED(myhtml_tree_init(tree.get(), parser.get()))) throw std::bad_alloc();
    if (MyCORE_FAILED(myhtml_parse(tree.get(), MyENCODING_UTF_8, utf8.data(), utf8.size())))
        throw std::bad_alloc();
    if (Node* document = myhtml_tree_get_document(tree.get())) Walker(layout).walk(document);
    return layout;
}

}  // namespace brennic::readers::html
