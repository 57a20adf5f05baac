// SPDX-License-Identifier: MIT
#include "readers/html_layout.h"

#include <myhtml/api.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "common/ascii.h"
#include "common/utf8.h"
#include "readers/html_nesting.h"
#include "readers/text_chars.h"

namespace brennic::readers::html {
namespace {

using Node = myhtml_tree_node_t;
using Tag = myhtml_tag_id_t;

// What the walk reads of an element's attributes, taken in one pass over
// them (the first of each name counts).
struct Attributes {
    std::string_view class_names;
    std::string_view id;
    std::string_view style;
    std::string_view role;
    std::string_view aria_hidden;
    std::string_view itemprop;
    bool hidden = false;
    bool href = false;
};

// Whether an attribute's name is `name` (lower case), whatever its case.
bool key_is(std::string_view key, std::string_view name) {
    return key.size() == name.size() && ascii_starts_with_nocase(key, name);
}

Attributes attributes_of(Node* element) {
    Attributes out;
    bool seen_class = false, seen_id = false, seen_style = false, seen_role = false,
         seen_aria = false, seen_itemprop = false;
    for (myhtml_tree_attr_t* a = myhtml_node_attribute_first(element); a;
         a = myhtml_attribute_next(a)) {
        std::size_t length = 0;
        const char* key_bytes = myhtml_attribute_key(a, &length);
        if (!key_bytes) continue;
        const std::string_view key(key_bytes, length);
        const auto value = [&] {
            std::size_t n = 0;
            const char* v = myhtml_attribute_value(a, &n);
            return v ? std::string_view(v, n) : std::string_view{};
        };
        const auto take = [&](std::string_view name, bool& seen, std::string_view& into) {
            if (seen || !key_is(key, name)) return false;
            seen = true;
            into = value();
            return true;
        };
        if (take("class", seen_class, out.class_names) || take("id", seen_id, out.id) ||
            take("style", seen_style, out.style) || take("role", seen_role, out.role) ||
            take("aria-hidden", seen_aria, out.aria_hidden) ||
            take("itemprop", seen_itemprop, out.itemprop))
            continue;
        if (key_is(key, "hidden")) out.hidden = true;
        if (key_is(key, "href")) out.href = true;
    }
    return out;
}

// The value of an element's attribute; empty when it has none.
std::string_view attribute(Node* element, std::string_view name) {
    myhtml_tree_attr_t* found = myhtml_attribute_by_key(element, name.data(), name.size());
    if (!found) return {};
    std::size_t length = 0;
    const char* value = myhtml_attribute_value(found, &length);
    return value ? std::string_view(value, length) : std::string_view{};
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
bool hidden(const Attributes& element) {
    if (element.hidden) return true;
    if (ascii_lowered(element.aria_hidden) == "true") return true;
    std::string style;
    for (char c : element.style)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') style += ascii_lower(c);
    return style.find("display:none") != std::string::npos ||
           style.find("visibility:hidden") != std::string::npos;
}

// Whether an input element is for an email address: of type email, or a
// text field named for one.
bool email_field(Node* element) {
    const std::string type = ascii_lowered(attribute(element, "type"));
    if (type == "email") return true;
    if (!type.empty() && type != "text") return false;
    const std::string name =
        ascii_lowered(attribute(element, "name")) + ' ' + ascii_lowered(attribute(element, "id"));
    return name.find("email") != std::string::npos || name.find("e-mail") != std::string::npos;
}

// Roles that mark an element as the page's furniture rather than its text.
bool furniture_role(const Attributes& element) {
    const std::string role = ascii_lowered(element.role);
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

// A word of those lists as class_hint looks for it.
struct HintWord {
    std::string_view word;
    bool content = false;   // else boilerplate
    bool at_start = false;  // marked '^'
};

// Class names that name what a post is filed under (tag-cookies,
// category-sports) say nothing of the box itself.
bool filing_name(std::string_view name) {
    return name.starts_with("tag-") || name.starts_with("category-") || name.starts_with("tags-") ||
           name.starts_with("categories-");
}

// Whether an id is a heading's words made into an anchor: at least
// min_anchor_words words joined by hyphens or underscores.
constexpr std::size_t min_anchor_words = 5;
bool title_anchor(std::string_view id) {
    return static_cast<std::size_t>(
               std::count_if(id.begin(), id.end(), [](char c) { return c == '-' || c == '_'; })) +
               1 >=
           min_anchor_words;
}

// A box's look: its tag and class attribute, hashed (FNV-1a), so that the
// parts of one thing set alike (an article's body split by an inset) can be
// told from other boxes.
std::uint32_t look_of(Tag tag, std::string_view class_names) {
    std::uint32_t hash = 2166136261u ^ static_cast<std::uint32_t>(tag);
    hash *= 16777619u;
    for (const char c : class_names) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

int class_hint(const Attributes& element) {
    std::string names;
    const std::string classes = ascii_lowered(element.class_names);
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
    // An id of many words joined by hyphens is a heading's own words made
    // into an anchor ("sharing-with-a-single-developer"): it names what the
    // section is about, not what kind of box it is.
    if (!title_anchor(element.id)) names += ascii_lowered(element.id);
    if (names.empty()) return 0;
    // author_info reads as author-info.
    std::replace(names.begin(), names.end(), '_', '-');
    // One pass over the names, trying at each place the words that start
    // with its letter.
    static const auto by_letter = [] {
        std::array<std::vector<HintWord>, 128> table;
        const auto add = [&](std::string_view w, bool content) {
            const bool at_start = w.starts_with('^');
            if (at_start) w.remove_prefix(1);
            table[static_cast<unsigned char>(w.front())].push_back({w, content, at_start});
        };
        for (std::string_view w : content_words) add(w, true);
        for (std::string_view w : boilerplate_words) add(w, false);
        return table;
    }();
    bool content = false;
    bool boilerplate = false;
    for (std::size_t at = 0; at < names.size() && !(content && boilerplate); ++at) {
        const auto c = static_cast<unsigned char>(names[at]);
        if (c >= by_letter.size()) continue;
        for (const HintWord& w : by_letter[c]) {
            bool& found = w.content ? content : boilerplate;
            if (found || names.compare(at, w.word.size(), w.word) != 0) continue;
            // A word marked '^' counts only at the start of a name or of a
            // part of one ("search-box", not "research").
            if (w.at_start && at > 0 && names[at - 1] != ' ' && names[at - 1] != '-' &&
                names[at - 1] != '_')
                continue;
            found = true;
        }
    }
    if (content && boilerplate) return 0;
    if (boilerplate) return -25;
    if (content) return 25;
    return 0;
}

bool is_space_code(char32_t cp) {
    return cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f' || cp == 0xA0 ||
           cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F || cp == 0x205F;
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

    // Walks the tree of a page, or of one of its pieces: the pieces after
    // the first go on in the <html> and <body> of the first, which stay open
    // until the last piece is walked.
    void walk(Node* document, bool first_piece = true, bool last_piece = true) {
        struct Frame {
            Node* next;  // the next child to look at
            bool box = false;
            bool link = false;
            bool root = false;  // <html> or <body>
        };
        std::vector<Frame> stack;
        stack.push_back({myhtml_node_child(document)});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            Node* child = frame.next;
            if (!child) {
                if (frame.box && (last_piece || !frame.root)) close_box();
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
                next.root = tag == MyHTML_TAG_HTML || tag == MyHTML_TAG_BODY;
                if (next.root && !first_piece)
                    stack.push_back(next);  // the first piece's box goes on
                else if (open_element(child, tag, next))
                    stack.push_back(next);
            }
        }
        flush();
        if (last_piece)
            while (!open_.empty()) close_box();
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
        // A field for an email address: a box that asks readers to sign up.
        if (tag == MyHTML_TAG_INPUT && !open_.empty() && email_field(element))
            layout_.boxes[open_.back()].asks_email = true;
        if (never_content(tag)) return false;
        if (!frame.next && tag != MyHTML_TAG_HR) return false;
        const Attributes attributes = attributes_of(element);
        if (hidden(attributes) || furniture_role(attributes)) return false;
        BoxKind kind;
        std::uint8_t level;
        if (box_kind(tag, kind, level)) {
            open_box(kind, level, class_hint(attributes));
            layout_.boxes.back().look = look_of(tag, attributes.class_names);
            // Microdata that says which element holds the article's body.
            if (ascii_lowered(attributes.itemprop) == "articlebody")
                layout_.boxes.back().stated_body = true;
            frame.box = true;
        } else if (tag == MyHTML_TAG_A && attributes.href) {
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
        const std::string property = ascii_lowered(attribute(meta, "property"));
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
            // Printable ASCII other than the space goes in as a run.
            std::size_t end = i;
            while (end < s.size() && s[end] > ' ' && s[end] < 0x7F) ++end;
            if (end > i) {
                add_plain(s.substr(i, end - i));
                i = end;
                continue;
            }
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
            start_word();
            current_.text.append(as_text(s, i, n, cp));
            const std::size_t weight = is_cjk(cp) ? 3 : 1;
            current_.length += weight;
            if (links_ > 0) current_.link_length += weight;
            if (cp == 0xFF0C || cp == 0x3001 || cp == 0xFF1B)
                ++current_.commas;
            else if (cp == 0x3002 || cp == 0xFF01 || cp == 0xFF1F)
                ++current_.stops;
            i += n;
        }
    }

    // A run of printable ASCII characters, no space among them.
    void add_plain(std::string_view run) {
        start_word();
        current_.text.append(run);
        current_.length += run.size();
        if (links_ > 0) current_.link_length += run.size();
        for (const char c : run) {
            if (c == ',' || c == ';')
                ++current_.commas;
            else if (c == '.' || c == '!' || c == '?')
                ++current_.stops;
        }
    }

    // The space a word gets before it, when white space went before it.
    void start_word() {
        if (pending_space_) current_.text += ' ';
        pending_space_ = false;
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

// Where the piece of the page that starts at `start` ends: at the first
// tag past `piece_bytes`, else (text to the end) at the page's end. Each
// search starts past where the last one ended, so together they read the
// page once.
std::size_t piece_end(std::string_view page, std::size_t start, std::size_t piece_bytes) {
    if (page.size() - start <= piece_bytes) return page.size();
    const std::size_t from = start + std::max<std::size_t>(piece_bytes, 1);
    for (std::size_t at = page.find('<', from); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
        const char next = at + 1 < page.size() ? page[at + 1] : ' ';
        if (next == '/' || next == '!' || (next >= 'a' && next <= 'z') ||
            (next >= 'A' && next <= 'Z'))
            return at;
    }
    return page.size();
}

// Parses a page (or a piece of one) and lays out its tree.
void parse_and_walk(std::string_view utf8, Walker& walker, bool first, bool last) {
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
    if (Node* document = myhtml_tree_get_document(tree.get())) walker.walk(document, first, last);
}

}  // namespace

Layout lay_out(std::string_view utf8, std::size_t piece_bytes) {
    Layout layout;
    std::string prepared;
    if (prepare_for_parsing(utf8, prepared)) utf8 = prepared;
    Walker walker(layout);
    std::size_t start = 0;
    do {
        const std::size_t end = piece_end(utf8, start, piece_bytes);
        parse_and_walk(utf8.substr(start, end - start), walker, start == 0, end == utf8.size());
        start = end;
    } while (start < utf8.size());
    return layout;
}

}  // namespace brennic::readers::html
