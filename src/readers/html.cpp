// SPDX-License-Identifier: MIT
// The main text of a page, found by scoring its boxes: every paragraph of
// running text (long enough, punctuated, few links) adds to the box around
// it and, less and less, to the boxes around that; class and id names and
// the kind of box add or take away, and a box's link text lowers its score.
// The best box, with those of its siblings that score near it or hold
// running text of their own, is the main text, less the boxes and blocks in
// it that read as boilerplate (mostly links, or named as comments, shares
// and the like).
#include "readers/html.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "readers/charset.h"
#include "readers/html_layout.h"

namespace brennic::readers {
namespace {

using html::Block;
using html::Box;
using html::BoxKind;
using html::Layout;
using html::no_box;

// Shortest run of text (weighted characters) that counts as a paragraph.
constexpr std::size_t min_paragraph = 25;
// How many boxes up a paragraph's score reaches.
constexpr int score_levels = 5;

struct Totals {
    std::size_t length = 0;
    std::size_t link_length = 0;
    std::size_t commas = 0;
};

double link_density(const Totals& t) {
    return t.length == 0 ? 0.0 : static_cast<double>(t.link_length) / static_cast<double>(t.length);
}

// The score a box starts with, by its kind.
double kind_weight(BoxKind kind) {
    switch (kind) {
        case BoxKind::division:
        case BoxKind::article:
            return 5;
        case BoxKind::cell:
        case BoxKind::quote:
            return 3;
        case BoxKind::list:
        case BoxKind::item:
        case BoxKind::other:
            return -3;
        case BoxKind::heading:
            return -5;
        default:
            return 0;
    }
}

// Boxes that are a paragraph in themselves: their text scores the box
// around them.
bool paragraph_like(BoxKind kind) {
    return kind == BoxKind::paragraph || kind == BoxKind::item || kind == BoxKind::quote ||
           kind == BoxKind::other;
}

class Finder {
public:
    explicit Finder(const Layout& layout) : layout_(layout), boxes_(layout.boxes) {
        prefix_.resize(layout.blocks.size() + 1);
        for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
            const Block& b = layout.blocks[i];
            prefix_[i + 1] = {prefix_[i].length + b.length, prefix_[i].link_length + b.link_length,
                              prefix_[i].commas + b.commas};
        }
    }

    std::vector<std::size_t> main_blocks() {
        score_boxes();
        std::size_t top = no_box;
        for (std::size_t i = 0; i < boxes_.size(); ++i)
            if (scored_[i] && (top == no_box || final_[i] > final_[top])) top = i;
        std::vector<std::size_t> kept;
        if (top == no_box) {
            // No running text anywhere: all that is not plainly boilerplate.
            if (!boxes_.empty()) keep_cleaned(0, kept);
            return kept;
        }
        // A box alone in its parent is as good as the parent.
        while (boxes_[top].parent != no_box && only_child(top)) top = boxes_[top].parent;
        const std::size_t parent = boxes_[top].parent;
        if (parent == no_box) {
            keep_cleaned(top, kept);
            return kept;
        }
        const double threshold = std::max(10.0, final_[top] * 0.2);
        // The parent's children in order, and its loose blocks between them.
        std::size_t block = boxes_[parent].first_block;
        for (std::size_t child = parent + 1; child < boxes_[parent].end;
             child = boxes_[child].end) {
            keep_loose(parent, block, boxes_[child].first_block, kept);
            if (child == top || (scored_[child] && final_[child] >= threshold) ||
                sibling_paragraph(child))
                keep_cleaned(child, kept);
            block = boxes_[child].end_block;
        }
        keep_loose(parent, block, boxes_[parent].end_block, kept);
        return kept;
    }

private:
    Totals totals(std::size_t first, std::size_t end) const {
        return {prefix_[end].length - prefix_[first].length,
                prefix_[end].link_length - prefix_[first].link_length,
                prefix_[end].commas - prefix_[first].commas};
    }
    Totals subtree(std::size_t box) const {
        return totals(boxes_[box].first_block, boxes_[box].end_block);
    }

    void score_boxes() {
        score_.assign(boxes_.size(), 0.0);
        scored_.assign(boxes_.size(), false);
        for (const Block& b : layout_.blocks) {
            const Box& box = boxes_[b.box];
            if (box.kind == BoxKind::heading || box.kind == BoxKind::caption) continue;
            if (b.length - b.link_length < min_paragraph) continue;
            double s = 1.0 + static_cast<double>(b.commas) +
                       std::min(static_cast<double>(b.length) / 100.0, 3.0);
            s *= 1.0 - static_cast<double>(b.link_length) / static_cast<double>(b.length);
            std::size_t at = paragraph_like(box.kind) && box.parent != no_box ? box.parent : b.box;
            for (int level = 0; level < score_levels && at != no_box; ++level) {
                const double divisor = level == 0 ? 1.0 : level == 1 ? 2.0 : level * 3.0;
                score_[at] += s / divisor;
                scored_[at] = true;
                at = boxes_[at].parent;
            }
        }
        final_.assign(boxes_.size(), 0.0);
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            if (!scored_[i]) continue;
            final_[i] = (score_[i] + kind_weight(boxes_[i].kind) + boxes_[i].hint) *
                        (1.0 - link_density(subtree(i)));
        }
    }

    // Whether the box's parent holds nothing but the box.
    bool only_child(std::size_t box) const {
        const Box& parent = boxes_[boxes_[box].parent];
        return box == boxes_[box].parent + 1 && parent.end == boxes_[box].end &&
               parent.first_block == boxes_[box].first_block &&
               parent.end_block == boxes_[box].end_block;
    }

    // A sibling that is a paragraph of running text of its own.
    bool sibling_paragraph(std::size_t box) const {
        if (boxes_[box].kind != BoxKind::paragraph) return false;
        const Totals t = subtree(box);
        const double density = link_density(t);
        if (t.length >= 80) return density < 0.25;
        const std::size_t last = boxes_[box].end_block;
        return density == 0.0 && last > boxes_[box].first_block &&
               layout_.blocks[last - 1].stops > 0;
    }

    // The blocks [first, end) that lie directly in box, when they read as
    // running text.
    void keep_loose(std::size_t box, std::size_t first, std::size_t end,
                    std::vector<std::size_t>& kept) const {
        for (std::size_t i = first; i < end; ++i) {
            const Block& b = layout_.blocks[i];
            if (b.box != box) continue;
            const double density =
                static_cast<double>(b.link_length) / static_cast<double>(b.length);
            if ((b.length >= 80 && density < 0.25) || (density == 0.0 && b.stops > 0))
                kept.push_back(i);
        }
    }

    // Whether a box inside the main text is boilerplate to leave out.
    bool boilerplate(std::size_t box) const {
        const Box& b = boxes_[box];
        const Totals t = subtree(box);
        if (b.hint <= -25) return true;
        if (b.hint < 0 && t.commas < 10) return true;
        if (b.kind == BoxKind::paragraph || b.kind == BoxKind::heading || b.kind == BoxKind::cell)
            return false;
        const double density = link_density(t);
        if (density > 0.5) return true;
        return density > 0.25 && b.hint <= 0 && t.commas < 10;
    }

    // The blocks of box's subtree, less boilerplate boxes and link lines.
    void keep_cleaned(std::size_t box, std::vector<std::size_t>& kept) {
        // Boxes come in document order, so a box's parent is judged first.
        out_.assign(boxes_[box].end - box, false);
        for (std::size_t i = box + 1; i < boxes_[box].end; ++i) {
            const std::size_t parent = boxes_[i].parent;
            out_[i - box] = (parent != box && out_[parent - box]) || boilerplate(i);
        }
        for (std::size_t i = boxes_[box].first_block; i < boxes_[box].end_block; ++i) {
            const Block& b = layout_.blocks[i];
            if (out_[b.box - box]) continue;
            if (static_cast<double>(b.link_length) > 0.5 * static_cast<double>(b.length)) continue;
            kept.push_back(i);
        }
    }

    const Layout& layout_;
    const std::vector<Box>& boxes_;
    std::vector<Totals> prefix_;
    std::vector<double> score_;
    std::vector<double> final_;
    std::vector<bool> scored_;
    std::vector<bool> out_;  // keep_cleaned's verdicts on the boxes of a subtree
};

std::string lower_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The primary subtag of a language tag, when it is two letters.
std::string primary_language(std::string_view tag) {
    std::string out = lower_ascii(tag.substr(0, tag.find_first_of("-_")));
    while (!out.empty() && out.back() == ' ') out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(out.begin());
    const bool letters =
        std::all_of(out.begin(), out.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return out.size() == 2 && letters ? out : std::string{};
}

bool same_title(std::string_view heading, std::string_view title) {
    if (heading.empty() || title.empty()) return false;
    const std::string h = lower_ascii(heading);
    const std::string t = lower_ascii(title);
    return h == t || (h.size() >= 10 && t.starts_with(h));
}

}  // namespace

Document read_html(std::string_view bytes) {
    const std::string page = page_to_utf8(bytes);
    const Layout layout = html::lay_out(page);
    Document document;
    document.language = primary_language(layout.language);

    const std::vector<std::size_t> kept = Finder(layout).main_blocks();
    // The title: og:title, else the first top-level heading of the main
    // text, else the first on the page, else <title>.
    const auto is_h1 = [&](std::size_t block) {
        const Box& box = layout.boxes[layout.blocks[block].box];
        return box.kind == BoxKind::heading && box.heading_level == 1;
    };
    std::size_t h1 = no_box;
    for (std::size_t i : kept)
        if (is_h1(i)) {
            h1 = i;
            break;
        }
    if (h1 == no_box)
        for (std::size_t i = 0; i < layout.blocks.size() && h1 == no_box; ++i)
            if (is_h1(i)) h1 = i;
    if (!layout.og_title.empty())
        document.title = layout.og_title;
    else if (h1 != no_box)
        document.title = layout.blocks[h1].text;
    else
        document.title = layout.title;

    bool title_dropped = false;
    for (std::size_t i : kept) {
        const Block& b = layout.blocks[i];
        const Box& box = layout.boxes[b.box];
        if (!title_dropped && box.kind == BoxKind::heading && box.heading_level <= 2 &&
            (same_title(b.text, document.title) || same_title(b.text, layout.title))) {
            title_dropped = true;
            continue;
        }
        if (!document.text.empty()) document.text += "\n\n";
        document.text += b.text;
    }
    return document;
}

}  // namespace brennic::readers
