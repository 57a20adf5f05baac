// SPDX-License-Identifier: MIT
#include "readers/html_layout.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>

#include "common/utf8.h"
#include "readers/html_nesting.h"

namespace brennic::readers::html {
namespace {

// The parser's memory, handed out from large chunks and released all at
// once: freeing the tree node by node would recurse as deep as the page
// nests. Freed pieces are kept by size class (powers of two) and reused.
class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    static void* allocate(void* self, std::size_t size) {
        return static_cast<Arena*>(self)->take(size);
    }
    static void deallocate(void* self, void* piece) {
        if (piece) static_cast<Arena*>(self)->give_back(piece);
    }

private:
    static constexpr std::size_t header = 16;  // keeps pieces 16-byte aligned
    static constexpr std::size_t chunk_size = std::size_t{1} << 20;
    static constexpr unsigned min_class = 4;

    static unsigned size_class(std::size_t size) {
        unsigned c = min_class;
        while ((std::size_t{1} << c) < size) ++c;
        return c;
    }

    void* take(std::size_t size) {
        const unsigned c = size_class(size == 0 ? 1 : size);
        if (c >= free_.size()) return nullptr;
        if (void* piece = free_[c]) {
            std::memcpy(&free_[c], piece, sizeof(void*));
            return piece;
        }
        const std::size_t need = header + (std::size_t{1} << c);
        std::byte* place;
        if (need > chunk_size / 4) {
            chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(need));
            place = chunks_.back().get();
        } else {
            if (left_ < need) {
                chunks_.push_back(std::make_unique_for_overwrite<std::byte[]>(chunk_size));
                next_ = chunks_.back().get();
                left_ = chunk_size;
            }
            place = next_;
            next_ += need;
            left_ -= need;
        }
        std::memcpy(place, &c, sizeof c);
        return place + header;
    }

    void give_back(void* piece) {
        unsigned c;
        std::memcpy(&c, static_cast<std::byte*>(piece) - header, sizeof c);
        std::memcpy(piece, &free_[c], sizeof(void*));
        free_[c] = piece;
    }

    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* next_ = nullptr;
    std::size_t left_ = 0;
    std::array<void*, sizeof(std::size_t) * CHAR_BIT> free_{};
};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

std::string_view attribute(const GumboElement& element, const char* name) {
    const GumboAttribute* found = gumbo_get_attribute(&element.attributes, name);
    return found ? std::string_view(found->value) : std::string_view{};
}

bool has_attribute(const GumboElement& element, const char* name) {
    return gumbo_get_attribute(&element.attributes, name) != nullptr;
}

// Elements whose whole subtree is never the text of a page.
bool never_content(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_HEAD:
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_TEMPLATE:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_FRAME:
        case GUMBO_TAG_FRAMESET:
        case GUMBO_TAG_NOFRAMES:
        case GUMBO_TAG_OBJECT:
        case GUMBO_TAG_EMBED:
        case GUMBO_TAG_APPLET:
        case GUMBO_TAG_SVG:
        case GUMBO_TAG_MATH:
        case GUMBO_TAG_CANVAS:
        case GUMBO_TAG_VIDEO:
        case GUMBO_TAG_AUDIO:
        case GUMBO_TAG_MAP:
        case GUMBO_TAG_SELECT:
        case GUMBO_TAG_DATALIST:
        case GUMBO_TAG_OPTION:
        case GUMBO_TAG_TEXTAREA:
        case GUMBO_TAG_INPUT:
        case GUMBO_TAG_BUTTON:
        case GUMBO_TAG_LABEL:
        case GUMBO_TAG_OUTPUT:
        case GUMBO_TAG_KEYGEN:
        case GUMBO_TAG_NAV:
        case GUMBO_TAG_ASIDE:
        case GUMBO_TAG_FOOTER:
        case GUMBO_TAG_MENU:
        case GUMBO_TAG_PRE:
        case GUMBO_TAG_XMP:
        case GUMBO_TAG_LISTING:
        case GUMBO_TAG_PLAINTEXT:
        case GUMBO_TAG_MARQUEE:
            return true;
        default:
            return false;
    }
}

// Whether an element is hidden from readers by its own attributes.
bool hidden(const GumboElement& element) {
    if (has_attribute(element, "hidden")) return true;
    if (lowered(attribute(element, "aria-hidden")) == "true") return true;
    std::string style;
    for (char c : attribute(element, "style"))
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') style += lower(c);
    return style.find("display:none") != std::string::npos ||
           style.find("visibility:hidden") != std::string::npos;
}

// Whether an input element is for an email address: of type email, or a
// text field named for one.
bool email_field(const GumboElement& element) {
    const std::string type = lowered(attribute(element, "type"));
    if (type == "email") return true;
    if (!type.empty() && type != "text") return false;
    const std::string name =
        lowered(attribute(element, "name")) + ' ' + lowered(attribute(element, "id"));
    return name.find("email") != std::string::npos || name.find("e-mail") != std::string::npos;
}

// Roles that mark an element as the page's furniture rather than its text.
bool furniture_role(const GumboElement& element) {
    const std::string role = lowered(attribute(element, "role"));
    return role == "navigation" || role == "complementary" || role == "contentinfo" ||
           role == "search" || role == "menu" || role == "menubar" || role == "dialog" ||
           role == "alertdialog";
}

// The kind of box a block-level element makes; false for inline elements.
bool box_kind(GumboTag tag, BoxKind& kind, std::uint8_t& level) {
    level = 0;
    switch (tag) {
        case GUMBO_TAG_HTML:
        case GUMBO_TAG_BODY:
            kind = BoxKind::root;
            return true;
        case GUMBO_TAG_DIV:
        case GUMBO_TAG_SECTION:
        case GUMBO_TAG_MAIN:
        case GUMBO_TAG_HEADER:
        case GUMBO_TAG_HGROUP:
        case GUMBO_TAG_CENTER:
        case GUMBO_TAG_FORM:
            kind = BoxKind::division;
            return true;
        case GUMBO_TAG_ARTICLE:
            kind = BoxKind::article;
            return true;
        case GUMBO_TAG_P:
            kind = BoxKind::paragraph;
            return true;
        case GUMBO_TAG_H1:
        case GUMBO_TAG_H2:
        case GUMBO_TAG_H3:
        case GUMBO_TAG_H4:
        case GUMBO_TAG_H5:
        case GUMBO_TAG_H6:
            kind = BoxKind::heading;
            level = static_cast<std::uint8_t>(1 + (tag - GUMBO_TAG_H1));
            return true;
        case GUMBO_TAG_UL:
        case GUMBO_TAG_OL:
        case GUMBO_TAG_DL:
        case GUMBO_TAG_DIR:
            kind = BoxKind::list;
            return true;
        case GUMBO_TAG_LI:
        case GUMBO_TAG_DD:
        case GUMBO_TAG_DT:
            kind = BoxKind::item;
            return true;
        case GUMBO_TAG_TABLE:
        case GUMBO_TAG_TBODY:
        case GUMBO_TAG_THEAD:
        case GUMBO_TAG_TFOOT:
        case GUMBO_TAG_TR:
            kind = BoxKind::table;
            return true;
        case GUMBO_TAG_TD:
        case GUMBO_TAG_TH:
            kind = BoxKind::cell;
            return true;
        case GUMBO_TAG_BLOCKQUOTE:
            kind = BoxKind::quote;
            return true;
        case GUMBO_TAG_FIGURE:
        case GUMBO_TAG_FIGCAPTION:
        case GUMBO_TAG_CAPTION:
            kind = BoxKind::caption;
            return true;
        case GUMBO_TAG_ADDRESS:
        case GUMBO_TAG_DETAILS:
        case GUMBO_TAG_SUMMARY:
        case GUMBO_TAG_FIELDSET:
        case GUMBO_TAG_LEGEND:
        case GUMBO_TAG_HR:
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
    "comment",    "^bio",       "author-info", "about-author", "about-the-author", "author-desc",
    "author-box", "authorbox",  "copyright",   "disclaimer",   "^legal",
    "sidebar",    "side-bar",   "^share",      "sharing",      "^social",
    "related",    "^promo",     "cookie",      "consent",      "gdpr",
    "banner",     "advert",     "sponsor",     "widget",       "footer",
    "masthead",   "breadcrumb", "menu",        "navigation",   "navbar",
    "nav-",       "-nav",       "popup",       "^modal",       "newsletter",
    "subscribe",  "signup",     "outbrain",    "taboola",      "recommend",
    "^tags",      "toolbar",    "pagination",  "^pager",       "disqus",
    "^reply",     "respond",    "skyscraper",  "shopping",     "login",
    "^search",    "^rating"};

// Class names that name what a post is filed under (tag-cookies,
// category-sports) say nothing of the box itself.
bool filing_name(std::string_view name) {
    return name.starts_with("tag-") || name.starts_with("category-") || name.starts_with("tags-") ||
           name.starts_with("categories-");
}

int class_hint(const GumboElement& element) {
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

bool is_cjk(char32_t cp) {
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x2FFFF);
}

// Builds the layout in one walk over the tree with an explicit stack.
class Walker {
public:
    explicit Walker(Layout& layout) : layout_(layout) {}

    void walk(const GumboNode* root) {
        struct Frame {
            const GumboNode* node;
            unsigned next = 0;
            bool box = false;
            bool link = false;
        };
        std::vector<Frame> stack;
        stack.push_back({root});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            const GumboNode* node = frame.node;
            const GumboVector* children = nullptr;
            if (node->type == GUMBO_NODE_DOCUMENT)
                children = &node->v.document.children;
            else if (node->type == GUMBO_NODE_ELEMENT)
                children = &node->v.element.children;
            if (!children || frame.next >= children->length) {
                if (frame.box) close_box();
                if (frame.link) --links_;
                stack.pop_back();
                continue;
            }
            const auto* child = static_cast<const GumboNode*>(children->data[frame.next++]);
            switch (child->type) {
                case GUMBO_NODE_TEXT:
                case GUMBO_NODE_CDATA:
                case GUMBO_NODE_WHITESPACE:
                    add_text(child->v.text.text);
                    break;
                case GUMBO_NODE_ELEMENT: {
                    Frame next{child};
                    if (open_element(child->v.element, next)) stack.push_back(next);
                    break;
                }
                default:
                    break;
            }
        }
        flush();
    }

private:
    // Looks at an element as the walk enters it; false to leave it out.
    bool open_element(const GumboElement& element, auto& frame) {
        const GumboTag tag = element.tag;
        if (tag == GUMBO_TAG_HEAD) read_head(element);
        if (tag == GUMBO_TAG_META) read_meta(element);
        if (tag == GUMBO_TAG_HTML || tag == GUMBO_TAG_BODY || tag == GUMBO_TAG_ARTICLE) {
            if (layout_.language.empty())
                layout_.language = std::string(attribute(element, "lang"));
        }
        if (tag == GUMBO_TAG_BR) {
            line_break();
            return false;
        }
        if (tag == GUMBO_TAG_IMG || tag == GUMBO_TAG_WBR) return false;
        // A field for an email address: a box that asks readers to sign up.
        if (tag == GUMBO_TAG_INPUT && !open_.empty() && email_field(element))
            layout_.boxes[open_.back()].asks_email = true;
        if (never_content(tag) || hidden(element) || furniture_role(element)) return false;
        if (element.children.length == 0 && tag != GUMBO_TAG_HR) return false;
        BoxKind kind;
        std::uint8_t level;
        if (box_kind(tag, kind, level)) {
            open_box(kind, level, class_hint(element));
            // Microdata that says which element holds the article's body.
            if (lowered(attribute(element, "itemprop")) == "articlebody")
                layout_.boxes.back().stated_body = true;
            frame.box = true;
        } else if (tag == GUMBO_TAG_A && has_attribute(element, "href")) {
            ++links_;
            frame.link = true;
        }
        return true;
    }

    void read_head(const GumboElement& head) {
        for (unsigned i = 0; i < head.children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(head.children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT) continue;
            const GumboElement& element = child->v.element;
            if (element.tag == GUMBO_TAG_META) read_meta(element);
            if (element.tag == GUMBO_TAG_TITLE && layout_.title.empty()) {
                for (unsigned k = 0; k < element.children.length; ++k) {
                    const auto* text = static_cast<const GumboNode*>(element.children.data[k]);
                    if (text->type == GUMBO_NODE_TEXT || text->type == GUMBO_NODE_WHITESPACE)
                        layout_.title += collapsed(text->v.text.text);
                }
            }
        }
    }

    void read_meta(const GumboElement& meta) {
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
            if (is_space_code(utf8_decode(s, i, n))) {
                space = !out.empty();
            } else {
                if (space) out += ' ';
                space = false;
                out.append(s.substr(i, n));
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
            current_.text.append(s.substr(i, n));
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
    Arena arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::allocate;
    options.deallocator = &Arena::deallocate;
    options.userdata = &arena;
    options.max_errors = 0;
    // The arena frees the tree; gumbo_destroy_output would walk it recursively.
    std::string prepared;
    if (prepare_for_parsing(utf8, prepared)) utf8 = prepared;
    const GumboOutput* output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
    if (!output) return layout;
    Walker(layout).walk(output->document);
    return layout;
}

}  // namespace brennic::readers::html
