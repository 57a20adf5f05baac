// SPDX-License-Identifier: MIT
#include "readers/markdown.h"

#include <cmark.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "languages/languages.h"
#include "readers/html.h"

namespace brennic::readers {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

bool starts_with_nocase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// The lines of text as CommonMark counts them: ended by LF, CR or CR LF.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// The bytes as UTF-8 the parser can take: a BOM dropped, NUL bytes dropped,
// Windows-1252 turned into UTF-8 when the bytes are not valid UTF-8.
std::string as_utf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::string out;
    out.reserve(bytes.size());
    if (is_valid_utf8(bytes)) {
        for (const char c : bytes)
            if (c != '\0') out += c;
    } else {
        for (const char c : bytes) {
            if (c != '\0') append_utf8(out, windows1252(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

// YAML (---) or TOML (+++) front matter at the top of the document: how
// many bytes it takes, and its title when it names one.
struct FrontMatter {
    std::size_t length = 0;
    std::string title;
};

FrontMatter front_matter(std::string_view text) {
    const std::vector<std::string_view> lines = split_lines(text.substr(0, 1 << 16));
    if (lines.empty()) return {};
    const std::string_view fence = trimmed(lines.front());
    if (fence != "---" && fence != "+++") return {};
    FrontMatter matter;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line == fence || (fence == "---" && line == "...")) {
            const std::string_view last = lines[i];
            std::size_t end = static_cast<std::size_t>(last.data() + last.size() - text.data());
            if (end < text.size() && text[end] == '\r') ++end;
            if (end < text.size() && text[end] == '\n') ++end;
            matter.length = end;
            return matter;
        }
        // title: Something   /   title = "Something"
        if (matter.title.empty() && line.starts_with("title") && line.size() > 6 &&
            (trimmed(line.substr(5)).starts_with(':') ||
             trimmed(line.substr(5)).starts_with('='))) {
            std::string_view value = trimmed(trimmed(line.substr(5)).substr(1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            matter.title = std::string(value);
        }
    }
    return {};  // no closing fence: a thematic break, not front matter
}

// A pipe table's delimiter row: "|---|:--:|", "--- | ---", inside quotes or
// list items too.
bool is_delimiter_row(std::string_view line) {
    line = trimmed(line);
    while (!line.empty() && (line.front() == '>' || is_blank(line.front()))) line.remove_prefix(1);
    bool pipe = false;
    bool dash = false;
    for (const char c : line) {
        if (c == '|')
            pipe = true;
        else if (c == '-')
            dash = true;
        else if (c != ':' && !is_blank(c))
            return false;
    }
    return pipe && dash;
}

bool is_url_start(std::string_view s) {
    return starts_with_nocase(s, "http://") || starts_with_nocase(s, "https://") ||
           starts_with_nocase(s, "ftp://") || starts_with_nocase(s, "www.");
}

bool is_closing(char c) {
    return c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?' || c == ')' ||
           c == ']' || c == '>' || c == '"' || c == '\'';
}

// A line of prose tidied: bare URLs dropped, runs of white space made one
// space, no space left before a closing mark, a "#Heading" written without
// its space read as a heading.
std::string tidy(std::string_view line) {
    std::string words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (is_blank(line[i])) {
            if (!words.empty() && words.back() != ' ') words += ' ';
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && !is_blank(line[end])) ++end;
        std::string_view token = line.substr(i, end - i);
        std::size_t url = 0;
        while (url < token.size() && (token[url] == '(' || token[url] == '<' || token[url] == '[' ||
                                      token[url] == '"' || token[url] == '\''))
            ++url;
        if (is_url_start(token.substr(url))) {
            std::size_t keep = token.size();
            while (keep > url && is_closing(token[keep - 1])) --keep;
            // What stood before and after the URL stays, but for brackets
            // that held nothing else.
            const std::string_view before = token.substr(0, url);
            std::string_view after = token.substr(keep);
            if (!before.empty() && !after.empty() &&
                (after.front() == ')' || after.front() == '>' || after.front() == ']')) {
                after.remove_prefix(1);
                words.append(before.substr(0, before.size() - 1));
            } else {
                words.append(before);
            }
            words.append(after);
        } else {
            words.append(token);
        }
        i = end;
    }
    // No space before a closing mark left behind by a dropped URL.
    std::string out;
    out.reserve(words.size());
    for (std::size_t k = 0; k < words.size(); ++k) {
        if (words[k] == ' ' && k + 1 < words.size() &&
            (words[k + 1] == '.' || words[k + 1] == ',' || words[k + 1] == ';' ||
             words[k + 1] == ':' || words[k + 1] == '!' || words[k + 1] == '?') &&
            (k + 2 == words.size() || words[k + 2] == ' '))
            continue;
        out += words[k];
    }
    std::string_view result = trimmed(out);
    // "#Title", "##Usage": a heading without its space.
    std::size_t hashes = 0;
    while (hashes < result.size() && hashes < 7 && result[hashes] == '#') ++hashes;
    if (hashes >= 1 && hashes <= 6 && hashes < result.size() && result[hashes] != '#')
        result = trimmed(result.substr(hashes));
    // Nothing but punctuation is no prose.
    bool word = false;
    for (const char c : result)
        word = word || static_cast<unsigned char>(c) >= 0x80 || (c >= '0' && c <= '9') ||
               ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    return word ? std::string(result) : std::string();
}

struct NodeDeleter {
    void operator()(cmark_node* node) const { cmark_node_free(node); }
};
struct IterDeleter {
    void operator()(cmark_iter* iter) const { cmark_iter_free(iter); }
};

// Walks the parsed document and gathers its paragraphs.
class Walker {
public:
    explicit Walker(std::string_view source) : lines_(split_lines(source)) {}

    void walk(cmark_node* root) {
        const std::unique_ptr<cmark_iter, IterDeleter> iter(cmark_iter_new(root));
        for (cmark_event_type event; (event = cmark_iter_next(iter.get())) != CMARK_EVENT_DONE;) {
            cmark_node* node = cmark_iter_get_node(iter.get());
            if (skip_ != nullptr) {
                if (event == CMARK_EVENT_EXIT && node == skip_) skip_ = nullptr;
                continue;
            }
            if (event == CMARK_EVENT_ENTER)
                enter(node);
            else
                exit(node);
        }
    }

    std::vector<std::string> paragraphs;
    std::string title;

private:
    void enter(cmark_node* node) {
        switch (cmark_node_get_type(node)) {
            case CMARK_NODE_PARAGRAPH:
            case CMARK_NODE_HEADING:
                block_.assign(1, Line{});
                break;
            case CMARK_NODE_HTML_BLOCK:
                html_block(cmark_node_get_literal(node));
                break;
            case CMARK_NODE_TEXT:
            case CMARK_NODE_CODE:
                if (!block_.empty()) block_.back().text += literal(node);
                break;
            case CMARK_NODE_SOFTBREAK:
                if (!block_.empty()) block_.push_back(Line{});
                break;
            case CMARK_NODE_LINEBREAK:
                if (!block_.empty()) block_.push_back(Line{{}, true});
                break;
            case CMARK_NODE_HTML_INLINE:
                if (!block_.empty() && starts_with_nocase(literal(node), "<br"))
                    block_.push_back(Line{{}, true, true});
                break;
            case CMARK_NODE_IMAGE:
                // Images and badges, alternative text and all.
                if (cmark_node_first_child(node) != nullptr) skip_ = node;
                break;
            default:
                break;
        }
    }

    void exit(cmark_node* node) {
        const cmark_node_type type = cmark_node_get_type(node);
        if (type != CMARK_NODE_PARAGRAPH && type != CMARK_NODE_HEADING) return;
        if (type == CMARK_NODE_PARAGRAPH) drop_table(node);
        std::string text;
        for (const Line& line : block_) {
            const std::string tidied = tidy(line.text);
            if (tidied.empty()) continue;
            if (!text.empty()) text += line.hard ? '\n' : ' ';
            text += tidied;
        }
        block_.clear();
        if (text.empty()) return;
        if (type == CMARK_NODE_HEADING && cmark_node_get_heading_level(node) == 1 && title.empty())
            title = text;
        paragraphs.push_back(std::move(text));
    }

    // A pipe table inside a paragraph (the parser knows none): its header
    // row, the delimiter row under it and every row after are dropped.
    void drop_table(cmark_node* paragraph) {
        const int first = cmark_node_get_start_line(paragraph);
        const int last = cmark_node_get_end_line(paragraph);
        if (first < 1 || last < first || static_cast<std::size_t>(last) > lines_.size()) return;
        // Lines as the source has them; a <br> adds a line of the block's own.
        std::size_t source_lines = 0;
        for (const Line& line : block_) source_lines += !line.from_tag;
        const bool aligned = source_lines == static_cast<std::size_t>(last - first + 1);
        for (int n = first + 1; n <= last; ++n) {
            if (!is_delimiter_row(lines_[static_cast<std::size_t>(n - 1)]) ||
                lines_[static_cast<std::size_t>(n - 2)].find('|') == std::string_view::npos)
                continue;
            if (!aligned) {
                block_.clear();
                return;
            }
            // Keep the lines before the header row.
            std::size_t keep = 0;
            for (std::size_t seen = 0; keep < block_.size(); ++keep) {
                if (!block_[keep].from_tag && seen++ == static_cast<std::size_t>(n - 1 - first))
                    break;
            }
            block_.resize(keep);
            return;
        }
    }

    void html_block(const char* html) {
        const std::string_view block = trimmed(html == nullptr ? "" : html);
        if (block.starts_with("<!--") && block.ends_with("-->")) return;
        const Document page = read_html(block);
        // <h1 align="center">Name</h1> heads many a README.
        if (title.empty()) title = page.title;
        for (const std::string_view line : split_lines(page.text)) {
            std::string tidied = tidy(line);
            if (!tidied.empty()) paragraphs.push_back(std::move(tidied));
        }
    }

    static std::string_view literal(cmark_node* node) {
        const char* s = cmark_node_get_literal(node);
        return s == nullptr ? std::string_view() : std::string_view(s);
    }

    struct Line {
        std::string text;
        bool hard = false;      // after a hard line break
        bool from_tag = false;  // the break was a <br>, not a line of the source
    };
    std::vector<std::string_view> lines_;  // of the source
    std::vector<Line> block_;              // the paragraph or heading being read
    cmark_node* skip_ = nullptr;           // inside this node nothing is read
};

}  // namespace

Document read_markdown(std::string_view bytes) {
    std::string source = as_utf8(bytes);
    const FrontMatter matter = front_matter(source);
    source.erase(0, matter.length);
    const std::unique_ptr<cmark_node, NodeDeleter> root(
        cmark_parse_document(source.data(), source.size(), CMARK_OPT_SOURCEPOS));
    if (!root) throw std::bad_alloc();
    Walker walker(source);
    walker.walk(root.get());
    Document doc;
    doc.title = walker.title.empty() ? matter.title : walker.title;
    for (const std::string& p : walker.paragraphs) {
        if (!doc.text.empty()) doc.text += "\n\n";
        doc.text += p;
    }
    if (!doc.text.empty()) doc.text += '\n';
    return doc;
}

}  // namespace brennic::readers
