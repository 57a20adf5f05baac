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
#include <utility>
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

// Shortest run of text (weighted characters) that counts as running text.
constexpr std::size_t min_paragraph = 25;
// What each block costs, in characters: a run of short blocks, however
// plain, is a list of teasers or links rather than running text.
constexpr double block_cost = 20.0;
// Past the best run, a stretch of lesser children counts at this discount
// when running text follows it, unless one of them holds boxes named as
// boilerplate (comments, say).
constexpr double bridge_discount = 0.3;

// A run widens by up to widen_before children before it and widen_after
// after it, each costing at most widen_cost, in its box and up to
// widen_levels boxes around it.
constexpr double widen_cost = 50.0;
constexpr std::size_t widen_before = 3;
constexpr std::size_t widen_after = 1;
constexpr int widen_levels = 3;
// A box around the best run whose whole text is worth at least climb_share
// of the run's, and holds at least climb_gain times its running text, is
// taken whole.
constexpr double climb_share = 0.9;
constexpr double climb_gain = 1.3;
// How much a character of boilerplate weighs against one of running text.
constexpr double boilerplate_cost = 1.0;

struct Totals {
    std::size_t length = 0;
    std::size_t link_length = 0;
    std::size_t commas = 0;
};

double link_density(const Totals& t) {
    return t.length == 0 ? 0.0 : static_cast<double>(t.link_length) / static_cast<double>(t.length);
}

// A run of blocks: those of some of a box's children, one after another.
struct Run {
    std::size_t box = no_box;
    std::size_t first_block = 0;
    std::size_t end_block = 0;
    double value = 0.0;
};

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
        weigh_blocks();
        // The run of a box's children (boxes and blocks lying loose in it)
        // whose text is most running text and least boilerplate: the best
        // sum of a run, found for every box in one pass over its children.
        Run best;
        for (std::size_t parent = 0; parent < boxes_.size(); ++parent) {
            double sum = 0.0;
            std::size_t start = boxes_[parent].first_block;
            for (const auto& [first, end] : items(parent)) {
                if (sum <= 0.0) {
                    sum = 0.0;
                    start = first;
                }
                sum += value(first, end);
                if (sum > best.value) best = {parent, start, end, sum};
            }
        }
        std::vector<std::size_t> kept;
        if (boxes_.empty()) return kept;
        // No running text anywhere: all that is not plainly boilerplate.
        if (best.box == no_box)
            best = {0, boxes_[0].first_block, boxes_[0].end_block, 0.0};
        else {
            core = best.box;
            // A run that takes in the whole of its box widens in the box around it too.
            for (int level = 0; level < widen_levels; ++level) {
                widen(best);
                const Box& box = boxes_[best.box];
                if (box.parent == no_box || best.first_block != box.first_block ||
                    best.end_block != box.end_block)
                    break;
                best.box = box.parent;
            }
            // A box around the run whose whole text is worth nearly as much
            // holds more of the same text (the other sections of a long
            // document): the run grows to all of it.
            for (std::size_t up = best.box; boxes_[up].parent != no_box;) {
                up = boxes_[up].parent;
                const double whole = value(boxes_[up].first_block, boxes_[up].end_block);
                if (whole < climb_share * best.value) break;
                if (mass_[boxes_[up].end_block].good - mass_[boxes_[up].first_block].good <
                    climb_gain * (mass_[best.end_block].good - mass_[best.first_block].good))
                    continue;
                best = {up, boxes_[up].first_block, boxes_[up].end_block, best.value};
            }
        }
        keep_cleaned(best, kept);
        // A heading that ends the main text heads what comes after it
        // ("Related posts", "Comments"), which was left out.
        while (kept.size() > 1 &&
               boxes_[layout_.blocks[kept.back()].box].kind == BoxKind::heading)
            kept.pop_back();
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

    // How much running text and how much boilerplate each block is.
    void weigh_blocks() {
        const std::size_t page_length = prefix_.back().length;
        std::vector<bool>& marked = marked_;
        marked.assign(boxes_.size(), false);
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            const Box& box = boxes_[i];
            // A name that marks boilerplate counts unless the box holds most of the page.
            marked[i] = (box.parent != no_box && marked[box.parent]) ||
                        (box.hint < 0 && 2 * subtree(i).length < page_length);
        }
        mass_.assign(layout_.blocks.size() + 1, {});
        for (std::size_t i = 0; i < layout_.blocks.size(); ++i) {
            const Block& b = layout_.blocks[i];
            const Box& box = boxes_[b.box];
            Mass m;
            const std::size_t plain = b.length - b.link_length;
            if (box.kind == BoxKind::heading) {
                m = {};
            } else if (plain >= min_paragraph && 2 * b.link_length < b.length) {
                m.good = static_cast<double>(plain);
                m.bad = static_cast<double>(b.link_length);
            } else {
                m.bad = static_cast<double>(b.length);
            }
            if (marked[b.box]) m = {0.0, m.good + m.bad};
            if (box.kind != BoxKind::heading) m.bad += block_cost;
            mass_[i + 1] = {mass_[i].good + m.good, mass_[i].bad + m.bad,
                            mass_[i].marked + (marked[b.box] ? 1 : 0)};
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

    // The children of a box in order, as ranges of blocks: its boxes, and
    // each block that lies loose in it.
    const std::vector<std::pair<std::size_t, std::size_t>>& items(std::size_t parent) {
        items_.clear();
        std::size_t block = boxes_[parent].first_block;
        for (std::size_t child = parent + 1; child < boxes_[parent].end;
             child = boxes_[child].end) {
            for (; block < boxes_[child].first_block; ++block)
                items_.emplace_back(block, block + 1);
            if (boxes_[child].first_block < boxes_[child].end_block)
                items_.emplace_back(boxes_[child].first_block, boxes_[child].end_block);
            block = boxes_[child].end_block;
        }
        for (; block < boxes_[parent].end_block; ++block) items_.emplace_back(block, block + 1);
        return items_;
    }

    // Takes in the few short children just before the run that cost
    // little (a heading, a byline, a date), and the same just after it.
    void widen(Run& run) {
        const auto& children = items(run.box);
        std::size_t first = 0;
        while (first < children.size() && children[first].first != run.first_block) ++first;
        std::size_t last = first;
        while (last < children.size() && children[last].second != run.end_block) ++last;
        if (last == children.size()) return;
        // Running text further on, past a short stretch of lesser blocks (a
        // list, a table, captions), belongs to the run too: the stretch counts
        // at a discount.
        double sum = 0.0;
        for (std::size_t k = last + 1; k < children.size(); ++k) {
            const double v = value(children[k].first, children[k].second);
            if (holds_marked(children[k].first, children[k].second)) break;
            sum += v > 0 ? v : v * bridge_discount;
            if (sum > 0) {
                last = k;
                run.end_block = children[k].second;
                sum = 0.0;
            }
        }
        sum = 0.0;
        for (std::size_t k = first; k > 0;) {
            --k;
            const double v = value(children[k].first, children[k].second);
            if (holds_marked(children[k].first, children[k].second)) break;
            sum += v > 0 ? v : v * bridge_discount;
            if (sum > 0) {
                first = k;
                run.first_block = children[k].first;
                sum = 0.0;
            }
        }
        for (std::size_t k = first, taken = 0; k > 0 && taken < widen_before; ++taken) {
            --k;
            if (value(children[k].first, children[k].second) < -widen_cost) break;
            run.first_block = children[k].first;
        }
        for (std::size_t k = last + 1, taken = 0; k < children.size() && taken < widen_after;
             ++k, ++taken) {
            if (value(children[k].first, children[k].second) < -widen_cost) break;
            run.end_block = children[k].second;
        }
    }

    // Whether a box is or holds the box where the best run was found (it
    // is never boilerplate, whatever it is named).
    bool holds_core(std::size_t box) const {
        return core != no_box && box <= core && core < boxes_[box].end;
    }

    // Whether any of the blocks [first, end) lies in a box named as boilerplate.
    bool holds_marked(std::size_t first, std::size_t end) const {
        return mass_[end].marked > mass_[first].marked;
    }

    // The worth of the blocks [first, end) as main text.
    double value(std::size_t first, std::size_t end) const {
        return mass_[end].good - mass_[first].good -
               boilerplate_cost * (mass_[end].bad - mass_[first].bad);
    }

    // The blocks of a run, less boilerplate boxes and link lines.
    void keep_cleaned(const Run& run, std::vector<std::size_t>& kept) {
        const std::size_t box = run.box;
        // Boxes come in document order, so a box's parent is judged first.
        out_.assign(boxes_[box].end - box, false);
        for (std::size_t i = box + 1; i < boxes_[box].end; ++i) {
            const std::size_t parent = boxes_[i].parent;
            out_[i - box] =
                (parent != box && out_[parent - box]) || (!holds_core(i) && boilerplate(i));
        }
        for (std::size_t i = run.first_block; i < run.end_block; ++i) {
            const Block& b = layout_.blocks[i];
            if (out_[b.box - box]) continue;
            if (static_cast<double>(b.link_length) > 0.5 * static_cast<double>(b.length)) continue;
            kept.push_back(i);
        }
    }

    struct Mass {
        double good = 0.0;
        double bad = 0.0;
        std::size_t marked = 0;  // blocks in boxes named as boilerplate
    };

    const Layout& layout_;
    const std::vector<Box>& boxes_;
    std::vector<Totals> prefix_;
    std::vector<Mass> mass_;  // running sums over the blocks
    std::vector<bool> marked_;
    std::vector<bool> out_;  // keep_cleaned's verdicts on the boxes of a subtree
    std::vector<std::pair<std::size_t, std::size_t>> items_;
    std::size_t core = no_box;  // the box where the best run was found
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

// Whether the bytes are no text at all: many control bytes (NUL and the
// like, other than line and tab characters) among the first few thousand.
bool binary(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 4096);
    const auto controls = std::count_if(head.begin(), head.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1B;
    });
    return static_cast<std::size_t>(controls) * 10 > head.size();
}

}  // namespace

Document read_html(std::string_view bytes) {
    // UTF-16 has NUL bytes in every other place; only its byte order mark tells it.
    if (!bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF") && binary(bytes))
        return {};
    std::string decoded;
    const std::string_view page = page_to_utf8(bytes, decoded);
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
