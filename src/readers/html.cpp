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
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/ascii.h"
#include "readers/charset.h"
#include "readers/html_furniture.h"
#include "readers/html_layout.h"
#include "readers/html_stated.h"

namespace brennic::readers {
namespace {

using html::Block;
using html::Box;
using html::BoxKind;
using html::Layout;
using html::no_box;

// Shortest run of text (weighted characters) that counts as running text.
constexpr std::size_t min_paragraph = 25;
// A block of at least min_field_lines lines, under max_field_line
// characters each on average, with no sentence's end, is a list of fields.
constexpr std::size_t min_field_lines = 4;
constexpr std::size_t max_field_line = 30;
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
// A teaser's linked headline is at least min_headline characters, and the
// whole teaser at most max_teaser.
constexpr std::size_t min_headline = 15;
constexpr std::size_t max_teaser = 600;
// A sign-up box holds at most max_signup characters.
constexpr std::size_t max_signup = 400;
// A dateline is at most max_dateline characters.
constexpr std::size_t max_dateline = 80;
// A byline is at most max_byline characters.
constexpr std::size_t max_byline = 80;
// The name in a byline is at most max_name_words capitalised words.
constexpr std::size_t max_name_words = 6;
// A line that introduces what follows is at most max_label characters.
constexpr std::size_t max_label = 40;
// A copyright notice is at most max_copyright characters.
constexpr std::size_t max_copyright = 300;
// A body stated in structured data guides the choice when it is at least
// min_stated_shingles runs of four words long and some box's text matches
// it with an F1 of min_stated_f1.
constexpr std::size_t min_stated_shingles = 20;
constexpr double min_stated_f1 = 0.5;
// A stated text inside the run is followed when it is at least
// min_stated_share of the run's length.
constexpr double min_stated_share = 0.3;
// A stated text ends the run it lies in only where the box that matches it
// holds at least min_stated_recall of it.
constexpr double min_stated_recall = 0.8;
// A stated text is whole when its last block on the page matches it for at
// least min_last_match of its runs of four words.
constexpr double min_last_match = 0.8;
// Past an inset named as boilerplate that splits the run's box, the body
// goes on in a child at most max_inset children further on.
constexpr std::size_t max_inset = 4;
// A body stated in structured data is the main text instead of the page's
// own when it is an article (at least min_only_stated runs of four words and
// min_only_stated_stops sentences) and the page's text holds less than
// max_only_stated_held of it, at most max_only_stated_share of its length.
constexpr std::size_t min_only_stated = 80;
constexpr std::size_t min_only_stated_stops = 3;
constexpr double max_only_stated_held = 0.5;
constexpr double max_only_stated_share = 0.5;
// A list with many links is a list of notes when at least min_notes of its
// blocks, and one in notes_share of its boxes, are running text.
constexpr std::size_t min_notes = 3;
constexpr std::size_t notes_share = 3;
// A box more than a quarter links stays in the main text when paragraphs
// of sentences that link as they go are at least min_prose_share of it.
constexpr double min_prose_share = 0.8;
// How much a character of boilerplate weighs against one of running text.
constexpr double boilerplate_cost = 1.0;

struct Totals {
    std::size_t length = 0;
    std::size_t link_length = 0;
    std::size_t commas = 0;
    std::size_t paragraphs = 0;  // blocks of running text
    std::size_t prose = 0;       // length of paragraphs of sentences that link as they go
};

double link_density(const Totals& t) {
    return t.length == 0 ? 0.0 : static_cast<double>(t.link_length) / static_cast<double>(t.length);
}

// Whether a block reads as running text: long enough outside its links,
// and less than half links.
bool running_text(const Block& b) {
    if (b.length - b.link_length < min_paragraph || 2 * b.link_length >= b.length) return false;
    // Many short lines with no sentence among them are a list of fields
    // (credits, an address, technical data), not prose.
    const auto lines = static_cast<std::size_t>(std::count(b.text.begin(), b.text.end(), '\n')) + 1;
    return lines < min_field_lines || b.stops + b.commas > 0 || b.length >= max_field_line * lines;
}

// Whether a text ends as a whole one does: with the end of a sentence, a
// closing quotation mark or bracket, not with an ellipsis or in mid-phrase
// as a text cut at so many characters does.
bool ends_as_text(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.ends_with("...") || text.ends_with("\u2026")) return false;
    for (const std::string_view end : {".", "!", "?", "\"", ")", "\u201D", "\u2019", "\u3002",
                                       "\uFF01", "\uFF1F", "\u300D", "\u300F", "\uFF09"})
        if (text.ends_with(end)) return true;
    return false;
}

// Whether a block of running text is a paragraph (or list item) of
// sentences that links as it goes: words of its own outside the links, and
// it ends as a sentence does (an address or a list of contacts does not).
bool linked_prose(const Block& b, BoxKind kind) {
    return (kind == BoxKind::paragraph || kind == BoxKind::item) && b.stops > 0 &&
           b.link_length > 0 && running_text(b) && ends_as_text(b.text);
}

// What the links of a block of running text cost against it. A paragraph
// whose words outside its links still make sentences (tech news links a
// phrase or two in every line) is read as prose: its links cost only their
// share of it, so that a third of links costs a ninth. In anything else
// (menus' lines, teasers' summaries) they cost their whole length.
double link_cost(const Block& b, BoxKind kind) {
    const auto links = static_cast<double>(b.link_length);
    if (linked_prose(b, kind)) return links * links / static_cast<double>(b.length);
    return links;
}

// Whether a block is a copyright notice: "© 2020 ...", "Copyright (c)
// ...", "Copyright 2019 ...", short as such notices are.
bool copyright_line(const Block& b) {
    if (b.length > max_copyright) return false;
    std::string_view t = b.text;
    constexpr std::string_view word = "copyright";
    if (ascii_starts_with_nocase(t, word)) {
        t.remove_prefix(word.size());
        while (!t.empty() && (t.front() == ' ' || t.front() == ':')) t.remove_prefix(1);
        const bool year = t.size() >= 4 && std::all_of(t.begin(), t.begin() + 4,
                                                       [](char c) { return c >= '0' && c <= '9'; });
        if (year) return true;
    }
    return t.starts_with("\u00A9") || t.starts_with("(c)") || t.starts_with("(C)");
}

// Whether a text is a day of the week alone ("Thursday") or a month's
// name run together with digits, as a date set in boxes reads ("Oct252012").
bool calendar_word(std::string_view text) {
    const std::string t = ascii_lowered(text);
    for (const std::string_view day :
         {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"})
        if (t == day) return true;
    for (const std::string_view month :
         {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"}) {
        if (!t.starts_with(month)) continue;
        const std::string_view rest = std::string_view(t).substr(month.size());
        return rest.size() >= 5 &&
               std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
    }
    return false;
}

// Whether a block is a dateline: short, not a sentence, and holding a year
// (four digits from 1900 to 2099 on their own) or a time of day ("16:31").
bool dateline(const Block& b) {
    if (b.length > max_dateline) return false;
    const std::string_view t = b.text;
    if (calendar_word(t)) return true;
    const auto digit = [&](std::size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
    const std::size_t last = t.find_last_not_of(' ');
    if (last == std::string_view::npos || t[last] == '.' || t[last] == '!' || t[last] == '?' ||
        t.ends_with("\u3002"))
        return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!digit(i) || (i > 0 && digit(i - 1))) continue;
        std::size_t n = i;
        while (digit(n)) ++n;
        const bool year = n - i == 4 && (t.substr(i, 2) == "19" || t.substr(i, 2) == "20");
        const bool time = n - i <= 2 && n < t.size() && t[n] == ':' && digit(n + 1) && digit(n + 2);
        if (year || time) return true;
    }
    return false;
}

// Whether a line is a byline: "By" or "Posted by", "Written by" and the like
// (or "Par", "Por", "Von", "Door"), then a name of at most max_name_words
// capitalised words ("By Jane Roe", "by REUTERS", "Post written by Jane
// Roe.", "By Jane Roe and John Doe, Staff Writers"), not a phrase ("By the
// end of the year", "By Monday the storm had passed.").
bool byline_line(std::string_view line) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    const std::string lower = ascii_lowered(line);
    std::size_t at = std::string::npos;
    for (const std::string_view lead :
         {"by ", "posted by ", "written by ", "edited by ", "post written by ", "reported by ",
          "story by ", "par ", "por ", "von ", "door "})
        if (lower.starts_with(lead)) at = lead.size();
    if (at == std::string::npos) return false;
    // The name runs to a comma, a bar or a dash, where a role or a date may follow.
    std::string_view name = line.substr(at);
    name = name.substr(0, std::min(name.find_first_of(",|("), name.find(" - ")));
    std::size_t words = 0;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t end = std::min(name.find(' ', i), name.size());
        const std::string_view word = name.substr(i, end - i);
        i = end + 1;
        if (word.empty()) continue;
        const auto first = static_cast<unsigned char>(word.front());
        const bool capital = (first >= 'A' && first <= 'Z') || first >= 0x80;
        const bool joins = word == "and" || word == "&" || word == "de" || word == "van" ||
                           word == "von" || word == "der" || word == "da" || word == "di" ||
                           word == "du" || word == "y" || word == "e" || word == "und" ||
                           word == "et" || word == "en";
        if (!capital && !joins) return false;
        if (capital && ++words > max_name_words) return false;
    }
    return words > 0;
}

// Whether a block is a byline, or lines of them ("Written by Jane Roe",
// "Edited by John Doe").
bool byline(const Block& b) {
    const std::string_view t = b.text;
    const auto lines = static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')) + 1;
    if (b.length > max_byline * lines) return false;
    for (std::size_t i = 0; i <= t.size();) {
        const std::size_t end = std::min(t.find('\n', i), t.size());
        if (!byline_line(t.substr(i, end - i))) return false;
        i = end + 1;
    }
    return true;
}

// Whether a heading is a byline: one of the least headings (h5, h6), where
// pages set bylines ("By Jane Roe"), or any heading that says who wrote
// the post in more words than "by" ("Post written by Jane Roe."). A greater
// heading that opens with "By" may be a section's title ("By Design").
bool heading_byline(const Block& b, const Box& box) {
    if (box.kind != BoxKind::heading || !byline(b)) return false;
    if (box.heading_level >= 5) return true;
    const std::string lower = ascii_lowered(b.text);
    return !lower.starts_with("by ") && !lower.starts_with("par ") && !lower.starts_with("por ") &&
           !lower.starts_with("von ") && !lower.starts_with("door ");
}

// Whether a block is a short stamp of an article's furniture: a time ago
// ("Posted 1 hour ago", "Updated 5 mins ago"), a reading time ("4 min
// read") or a count of shares or comments ("1.2K shares", "12 Comments").
bool stamp(const Block& b) {
    if (b.length > max_label || b.text.find('\n') != std::string::npos) return false;
    const std::string lower = ascii_lowered(b.text);
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < lower.size();) {
        const std::size_t end = std::min(lower.find(' ', i), lower.size());
        if (end > i) words.emplace_back(std::string_view(lower).substr(i, end - i));
        i = end + 1;
    }
    const auto number = [](std::string_view w) {
        return !w.empty() && w.front() >= '0' && w.front() <= '9' &&
               std::all_of(w.begin(), w.end(), [](char c) {
                   return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == 'k' || c == 'm';
               });
    };
    const auto unit = [](std::string_view w) {
        for (const std::string_view u :
             {"sec",     "secs",  "second", "seconds", "min",   "mins", "minute",
              "minutes", "hr",    "hrs",    "hour",    "hours", "day",  "days",
              "week",    "weeks", "month",  "months",  "year",  "years"})
            if (w == u) return true;
        return false;
    };
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (!number(words[i])) continue;
        const std::string_view next = words[i + 1];
        if (next == "shares" || next == "comments" || next == "share" || next == "comment")
            return i + 2 == words.size();
        if (unit(next) && i + 2 < words.size() && (words[i + 2] == "ago" || words[i + 2] == "read"))
            return i + 3 == words.size();
    }
    return false;
}

// Whether a block is a short line that ends in a colon, as one that
// introduces what follows does.
bool introduces(const Block& b) {
    std::string_view t = b.text;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return b.length <= max_label && (t.ends_with(':') || t.ends_with("\uFF1A"));
}

// How many sentences' ends a text has: a stop, an exclamation or a
// question mark before white space or at the end, or a CJK full stop.
std::size_t sentence_ends(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '.' || c == '!' || c == '?') &&
            (i + 1 == text.size() || text[i + 1] == ' ' || text[i + 1] == '\n'))
            ++n;
    }
    for (const std::string_view stop : {"\u3002", "\uFF01", "\uFF1F"})
        for (std::size_t at = text.find(stop); at != std::string_view::npos;
             at = text.find(stop, at + stop.size()))
            ++n;
    return n;
}

// Whether a page's article lies only in its structured data: scripts load
// the body, or a paywall hides it, and the page itself shows a teaser or
// nothing, while JSON-LD's articleBody holds the whole text. So it is when
// the stated text is an article (long enough, several sentences, ending as
// a whole text does, not cut with an ellipsis) and the page's own main text
// holds little of it and is much shorter: never when the stated text is a
// summary of a longer text on the page.
bool only_stated(std::string_view stated, std::string_view own) {
    // A page's text longer than the stated one is never much shorter: no
    // need to count its runs of words.
    if (stated.empty() || own.size() > stated.size() || !ends_as_text(stated) ||
        sentence_ends(stated) < min_only_stated_stops)
        return false;
    const html::Shingles own_runs(own);
    const html::Shingles::Match held = own_runs.match(stated);
    if (held.total < min_only_stated) return false;
    return static_cast<double>(held.found) <
               max_only_stated_held * static_cast<double>(held.total) &&
           static_cast<double>(own_runs.size()) <
               max_only_stated_share * static_cast<double>(held.total);
}

// Whether a block is a kicker: one short line, no heading nor list item, that
// is not a sentence ("EXCLUSIVE", "The Canadian Press", "São Paulo").
bool kicker(const Block& b, BoxKind kind) {
    if (kind == BoxKind::heading || kind == BoxKind::item || kind == BoxKind::cell ||
        b.text.find('\n') != std::string::npos || b.length >= min_paragraph)
        return false;
    return !ends_as_text(b.text) && !b.text.ends_with(':');
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
    Finder(const Layout& layout, std::string_view stated_body)
        : layout_(layout), boxes_(layout.boxes) {
        if (!stated_body.empty()) {
            const html::Shingles body(stated_body);
            if (body.size() >= min_stated_shingles) {
                stated_size_ = body.size();
                stated_whole_ = ends_as_text(stated_body);
                found_.resize(layout.blocks.size() + 1);
                for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
                    const auto m = body.match(layout.blocks[i].text);
                    found_[i + 1] = {found_[i].total + m.total, found_[i].found + m.found};
                }
            }
        }
        prefix_.resize(layout.blocks.size() + 1);
        for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
            const Block& b = layout.blocks[i];
            prefix_[i + 1] = {
                prefix_[i].length + b.length, prefix_[i].link_length + b.link_length,
                prefix_[i].commas + b.commas, prefix_[i].paragraphs + (running_text(b) ? 1 : 0),
                prefix_[i].prose + (linked_prose(b, boxes_[b.box].kind) ? b.length : 0)};
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
        if (best.box != no_box) follow_stated_body(best);
        keep_cleaned(best, kept);
        // A heading or a line ending in a colon that ends the main text
        // heads what comes after it ("Related posts:", "Comments"), which was
        // left out; a dateline there is the post's, not its text, and so are
        // the notes that close an article (contributors, contacts, tags).
        while (kept.size() > 1) {
            const Block& b = layout_.blocks[kept.back()];
            if (boxes_[b.box].kind != BoxKind::heading && !introduces(b) && !dateline(b) &&
                !html::closing_note(b.text))
                break;
            kept.pop_back();
        }
        return kept;
    }

private:
    Totals totals(std::size_t first, std::size_t end) const {
        return {prefix_[end].length - prefix_[first].length,
                prefix_[end].link_length - prefix_[first].link_length,
                prefix_[end].commas - prefix_[first].commas,
                prefix_[end].paragraphs - prefix_[first].paragraphs,
                prefix_[end].prose - prefix_[first].prose};
    }
    Totals subtree(std::size_t box) const {
        return totals(boxes_[box].first_block, boxes_[box].end_block);
    }

    // How much running text and how much boilerplate each block is.
    void weigh_blocks() {
        const std::size_t page_length = prefix_.back().length;
        std::vector<bool>& marked = marked_;
        find_teasers();
        find_signups();
        marked.assign(boxes_.size(), false);
        caption_.assign(boxes_.size(), false);
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            const Box& box = boxes_[i];
            // A name that marks boilerplate counts unless the box holds most of the page.
            caption_[i] =
                box.kind == BoxKind::caption || (box.parent != no_box && caption_[box.parent]);
            marked[i] = (box.parent != no_box && marked[box.parent]) || furniture_[i] ||
                        (box.hint < 0 && 2 * subtree(i).length < page_length);
        }
        mass_.assign(layout_.blocks.size() + 1, {});
        for (std::size_t i = 0; i < layout_.blocks.size(); ++i) {
            const Block& b = layout_.blocks[i];
            const Box& box = boxes_[b.box];
            Mass m;
            const std::size_t plain = b.length - b.link_length;
            if (box.kind == BoxKind::heading || caption_[b.box]) {
                m = {};
            } else if (running_text(b)) {
                m.good = static_cast<double>(plain);
                m.bad = link_cost(b, box.kind);
            } else {
                m.bad = static_cast<double>(b.length);
            }
            if (marked[b.box]) m = {0.0, m.good + m.bad};
            if (box.kind != BoxKind::heading && !caption_[b.box]) m.bad += block_cost;
            mass_[i + 1] = {mass_[i].good + m.good, mass_[i].bad + m.bad,
                            mass_[i].marked + (marked[b.box] ? 1 : 0)};
        }
    }

    // The stretch of the page that its structured data names as the
    // article's body, stated in JSON-LD's articleBody: the box whose text
    // best matches it, from the first block the stated text holds to the
    // last. False when there is none, or the match is poor.
    bool stated_text(Run& stated, bool& complete, double& recall) const {
        if (stated_size_ == 0) return false;
        double best_f1 = 0.0;
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            const Box& b = boxes_[i];
            const std::size_t found = found_[b.end_block].found - found_[b.first_block].found;
            const std::size_t total = found_[b.end_block].total - found_[b.first_block].total;
            // Only where there is running text to take: never a teaser or a
            // box named as boilerplate that repeats the article's first lines.
            if (found == 0 || value(b.first_block, b.end_block) <= 0.0) continue;
            const double precision = static_cast<double>(found) / static_cast<double>(total);
            const double held =
                std::min(1.0, static_cast<double>(found) / static_cast<double>(stated_size_));
            const double f1 = 2 * precision * held / (precision + held);
            // Boxes come outside in: a box inside one that matches as well is tighter.
            if (f1 >= best_f1) {
                best_f1 = f1;
                stated = {i, b.first_block, b.end_block, 0.0};
            }
        }
        if (best_f1 < min_stated_f1) return false;
        while (found_[stated.first_block + 1].found == found_[stated.first_block].found)
            ++stated.first_block;
        end_stated(stated, stated.end_block, complete, recall);
        return true;
    }

    // Ends a stated stretch at its last block, before `limit`, that the
    // stated text holds runs of: whether the text is whole there (it is
    // cut short when it ends inside that block), and how much of it the
    // stretch holds.
    void end_stated(Run& stated, std::size_t limit, bool& complete, double& recall) const {
        stated.end_block = limit;
        while (found_[stated.end_block].found == found_[stated.end_block - 1].found)
            --stated.end_block;
        const std::size_t last = stated.end_block - 1;
        complete =
            static_cast<double>(found_[last + 1].found - found_[last].found) >=
            min_last_match * static_cast<double>(found_[last + 1].total - found_[last].total);
        recall = std::min(1.0, static_cast<double>(found_[stated.end_block].found -
                                                   found_[stated.first_block].found) /
                                   static_cast<double>(stated_size_));
    }

    // The boxes marked itemprop="articleBody": the one that holds the most
    // running text, and those beside it in the same box (a page may mark
    // each paragraph). False when there is none.
    bool stated_box(Run& stated) const {
        double most = 0.0;
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            const Box& b = boxes_[i];
            const double good = mass_[b.end_block].good - mass_[b.first_block].good;
            if (b.stated_body && good > most) {
                most = good;
                stated = {i, b.first_block, b.end_block, 0.0};
            }
        }
        if (most <= 0.0) return false;
        const std::size_t parent = boxes_[stated.box].parent;
        if (parent == no_box) return true;
        for (std::size_t child = parent + 1; child < boxes_[parent].end;
             child = boxes_[child].end) {
            if (!boxes_[child].stated_body) continue;
            stated.first_block = std::min(stated.first_block, boxes_[child].first_block);
            stated.end_block = std::max(stated.end_block, boxes_[child].end_block);
        }
        if (stated.first_block != boxes_[stated.box].first_block ||
            stated.end_block != boxes_[stated.box].end_block)
            stated.box = parent;
        return true;
    }

    // Follows what the page states of its article. A body stated as text
    // is the run; a box stated as the body ends the run, or is the run when
    // the run lies outside it. Either way the few cheap blocks just
    // before it that the run held (a headline, a byline, a date) stay.
    void follow_stated_body(Run& run) {
        Run stated;
        std::size_t end = 0;
        bool apart = false;
        bool complete = true;
        double recall = 0.0;
        if (stated_text(stated, complete, recall)) {
            apart = run.end_block <= stated.first_block || run.first_block >= stated.end_block;
            if (apart) {
                // The scores chose some other part of the page. A text cut
                // short ends the article no sooner than the box that matched it.
                end = complete && stated_whole_ ? stated.end_block : boxes_[stated.box].end_block;
            } else {
                // The stated text may go on past the box that matched it best.
                end_stated(stated, std::max(run.end_block, stated.end_block), complete, recall);
                // The run stands unless the page holds the stated text whole
                // there, and it is no mere summary of a run far longer.
                const std::size_t run_size =
                    found_[run.end_block].total - found_[run.first_block].total;
                if (!complete || !stated_whole_ || recall < min_stated_recall ||
                    static_cast<double>(stated_size_) <
                        min_stated_share * static_cast<double>(run_size))
                    return;
                end = stated.end_block;
            }
        } else if (stated_box(stated)) {
            apart = run.end_block <= stated.first_block || run.first_block >= stated.end_block;
            if (!apart) {
                // The run ends where the stated body does.
                run.end_block = std::min(run.end_block, stated.end_block);
                return;
            }
            end = stated.end_block;
        } else {
            return;
        }
        std::size_t first = stated.first_block;
        for (std::size_t taken = 0;
             taken < widen_before && first > run.first_block && first <= run.end_block &&
             value(first - 1, first) >= -widen_cost;
             ++taken)
            --first;
        // The box around the new run, and around the old one when they
        // overlap; a stretch elsewhere is the core now, never boilerplate.
        std::size_t box = stated.box;
        while (boxes_[box].parent != no_box &&
               (boxes_[box].first_block > first || boxes_[box].end_block < end ||
                (!apart && !(box <= run.box && run.box < boxes_[box].end))))
            box = boxes_[box].parent;
        if (apart) core = stated.box;
        run = {box, first, end, run.value};
    }

    // Whether a box reads as a teaser: a linked headline, then a little text
    // (a summary, a date), the way lists of other stories are laid out. The
    // headline is a heading mostly linked, or a block that is all link.
    enum class Teaser { no, heading, link };
    Teaser teaser_like(std::size_t box) const {
        const Box& b = boxes_[box];
        if (b.kind == BoxKind::heading || b.kind == BoxKind::paragraph ||
            b.end_block - b.first_block < 2 || subtree(box).length > max_teaser)
            return Teaser::no;
        const Block& head = layout_.blocks[b.first_block];
        const bool heading = boxes_[head.box].kind == BoxKind::heading;
        if (head.length < min_headline ||
            (heading ? 2 * head.link_length <= head.length : head.link_length < head.length))
            return Teaser::no;
        // One paragraph of running text at most: a summary, not a post.
        if (prefix_[b.end_block].paragraphs - prefix_[b.first_block].paragraphs > 1)
            return Teaser::no;
        return heading ? Teaser::heading : Teaser::link;
    }

    // Teasers come several in a row: two or more teaser-like children of a
    // box under headings, or three or more of any kind, are all teasers.
    void find_teasers() {
        furniture_.assign(boxes_.size(), false);
        for (std::size_t parent = 0; parent < boxes_.size(); ++parent) {
            std::size_t headings = 0, links = 0;
            for (std::size_t child = parent + 1; child < boxes_[parent].end;
                 child = boxes_[child].end) {
                const Teaser t = teaser_like(child);
                headings += t == Teaser::heading ? 1 : 0;
                links += t == Teaser::link ? 1 : 0;
            }
            // Unless they hold most of the page: then they are what it is
            // about (a listing, or a list of items each under a link).
            if ((headings < 2 && headings + links < 3) ||
                2 * subtree(parent).length >= prefix_.back().length)
                continue;
            for (std::size_t child = parent + 1; child < boxes_[parent].end;
                 child = boxes_[child].end)
                if (teaser_like(child) != Teaser::no) furniture_[child] = true;
        }
    }

    // A box that asks for an email address, with the little text around
    // it (a heading, a line on what the letter brings: one paragraph at
    // most), is a sign-up box.
    void find_signups() {
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            if (!boxes_[i].asks_email) continue;
            std::size_t box = i;
            const auto small = [&](std::size_t b) {
                const Totals t = subtree(b);
                return t.length <= max_signup && t.paragraphs <= 1;
            };
            // Boxes already found stop the climb: deep nests of fields stay linear.
            while (boxes_[box].parent != no_box && !furniture_[box] && small(boxes_[box].parent))
                box = boxes_[box].parent;
            if (small(box)) furniture_[box] = true;
        }
    }

    // Whether a box inside the main text is boilerplate to leave out.
    bool boilerplate(std::size_t box) const {
        const Box& b = boxes_[box];
        const Totals t = subtree(box);
        if (b.hint <= -25) return true;
        if (b.hint < 0 && t.commas < 10) return true;
        // A list item, like a paragraph, is judged by its blocks: those mostly
        // of links go one by one, and a note that links as it goes stays.
        if (b.kind == BoxKind::paragraph || b.kind == BoxKind::heading || b.kind == BoxKind::cell ||
            b.kind == BoxKind::item)
            return false;
        const double density = link_density(t);
        if (density > 0.5) return true;
        return density > 0.25 && b.hint <= 0 && t.commas < 10 && !notes_list(box) &&
               !prose_box(box, t);
    }

    // Whether a box with many links in it (not a list) is a part of an
    // article that links as it goes, as tech news sets its sections: nearly
    // all its text is paragraphs of sentences with links in them.
    bool prose_box(std::size_t box, const Totals& t) const {
        return boxes_[box].kind != BoxKind::list &&
               static_cast<double>(t.prose) >= min_prose_share * static_cast<double>(t.length);
    }

    // Whether a list with many links in it is a list of notes: several of
    // its items are running text that links as it goes ("Jane fixed a hang
    // in the <a>start-up cache</a>"), not the titles of other pages (those
    // lists are mostly links). Its items that are links alone still go.
    bool notes_list(std::size_t box) const {
        const Box& b = boxes_[box];
        if (b.kind != BoxKind::list) return false;
        const std::size_t notes = subtree(box).paragraphs;
        return notes >= min_notes && notes * notes_share >= b.end - box - 1;
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

    // The box that is child `c` of `children`, or no_box for a block lying
    // loose in their parent. A child box is the outermost box that starts
    // at the child's first block and spans exactly its blocks.
    std::size_t child_box(const std::vector<std::pair<std::size_t, std::size_t>>& children,
                          std::size_t c) const {
        const std::size_t first = children[c].first;
        const std::size_t end = children[c].second;
        std::size_t box = layout_.blocks[first].box;
        const auto spans = [&](std::size_t b) {
            return boxes_[b].first_block == first && boxes_[b].end_block == end;
        };
        while (!spans(box) && boxes_[box].parent != no_box &&
               boxes_[boxes_[box].parent].first_block == first &&
               boxes_[boxes_[box].parent].end_block <= end)
            box = boxes_[box].parent;
        return spans(box) ? box : no_box;
    }

    // An article's body is often split by an inset named as boilerplate (a
    // list of related stories, an advert, a video with its share buttons)
    // set between two of its parts, each part a box alike (`<div
    // class="body">`, or bare paragraphs). Past such an inset at child `k`
    // of the run's box, going on (`forward`) or back, the body goes on at
    // the nearest child within max_inset that is worth something as running
    // text, holds no boilerplate, and looks like (same tag and class names)
    // a child of the run worth something too (`looks`, sorted): its index,
    // or no_box when there is none.
    std::size_t past_inset(const std::vector<std::pair<std::size_t, std::size_t>>& children,
                           const std::vector<std::uint32_t>& looks, std::size_t k,
                           bool forward) const {
        for (std::size_t step = 1; step <= max_inset && !looks.empty(); ++step) {
            if (forward ? k + step >= children.size() : step > k) break;
            const std::size_t c = forward ? k + step : k - step;
            const std::size_t box = child_box(children, c);
            if (box == no_box || value(children[c].first, children[c].second) <= 0.0 ||
                holds_marked(children[c].first, children[c].second))
                continue;
            if (std::binary_search(looks.begin(), looks.end(), boxes_[box].look)) return c;
        }
        return no_box;
    }

    // The looks of the children [first, last] that are boxes worth
    // something as running text, sorted.
    std::vector<std::uint32_t> looks_of(
        const std::vector<std::pair<std::size_t, std::size_t>>& children, std::size_t first,
        std::size_t last) const {
        std::vector<std::uint32_t> looks;
        for (std::size_t c = first; c <= last; ++c)
            if (const std::size_t box = child_box(children, c);
                box != no_box && value(children[c].first, children[c].second) > 0.0)
                looks.push_back(boxes_[box].look);
        std::sort(looks.begin(), looks.end());
        return looks;
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
        const std::vector<std::uint32_t> looks = looks_of(children, first, last);
        // Running text further on, past a short stretch of lesser blocks (a
        // list, a table, captions), belongs to the run too: the stretch counts
        // at a discount.
        double sum = 0.0;
        for (std::size_t k = last + 1; k < children.size(); ++k) {
            const double v = value(children[k].first, children[k].second);
            if (holds_marked(children[k].first, children[k].second)) {
                const std::size_t resumed = past_inset(children, looks, k, true);
                if (resumed == no_box) break;
                k = last = resumed;
                run.end_block = children[k].second;
                sum = 0.0;
                continue;
            }
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
            if (holds_marked(children[k].first, children[k].second)) {
                const std::size_t resumed = past_inset(children, looks, k, false);
                if (resumed == no_box) break;
                k = first = resumed;
                run.first_block = children[k].first;
                sum = 0.0;
                continue;
            }
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

    // Whether a paragraph or list item of the text that is mostly link text
    // still reads as a sentence of it: running text of its own outside the
    // links, and a comma or two sentences' ends ("1. Believe it or not,
    // <a>the vote split on party lines</a>. The Gazette has the story."). A
    // licence notice (text licensed under such and such a licence) is no
    // part of the text.
    bool linked_sentence(const Block& b) const {
        const BoxKind kind = boxes_[b.box].kind;
        if ((kind != BoxKind::paragraph && kind != BoxKind::item) ||
            b.length - b.link_length < min_paragraph || (b.commas == 0 && b.stops < 2))
            return false;
        return ascii_lowered(b.text).find("licen") == std::string::npos;
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
            out_[i - box] = (parent != box && out_[parent - box]) ||
                            (!holds_core(i) && (boilerplate(i) || furniture_[i]));
        }
        bool body_started = false;
        const std::size_t start = kept.size();
        std::vector<std::size_t> kickers;
        for (std::size_t i = run.first_block; i < run.end_block; ++i) {
            const Block& b = layout_.blocks[i];
            if (out_[b.box - box] || caption_[b.box]) continue;
            if (2 * b.link_length > b.length && !linked_sentence(b)) continue;
            if (copyright_line(b)) continue;
            // Advertisement slots, gallery counters, photo credits, prompts to
            // follow or sign up, embedded posts' chrome: furniture anywhere.
            if (html::furniture_line(b.text)) continue;
            // Datelines (a heading's too, longer ones of fields, posts' ones
            // ending in a stop), bylines (some headings' too) and stamps
            // before the first paragraph of running text are no part of it.
            const bool heading = boxes_[b.box].kind == BoxKind::heading;
            if (!body_started && (dateline(b) || stamp(b) || (!heading && byline(b)) ||
                                  heading_byline(b, boxes_[b.box]) || html::posted_line(b.text) ||
                                  html::field_dateline(b.text)))
                continue;
            // Nor are the kickers there, when such a paragraph follows.
            if (!body_started && kicker(b, boxes_[b.box].kind)) {
                kickers.push_back(i);
                continue;
            }
            body_started = body_started || (!heading && running_text(b));
            kept.push_back(i);
        }
        if (!body_started && !kickers.empty()) {
            kept.insert(kept.end(), kickers.begin(), kickers.end());
            std::sort(kept.begin() + static_cast<std::ptrdiff_t>(start), kept.end());
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
    std::vector<bool> furniture_;  // teasers and sign-up boxes
    std::vector<bool> caption_;    // boxes in figures and captions
    // With a stated body: how many runs of four words the blocks before
    // each have, and how many of them the stated body holds.
    std::vector<html::Shingles::Match> found_;
    std::size_t stated_size_ = 0;
    bool stated_whole_ = false;  // the stated text ends as a whole text does
    std::vector<bool> out_;      // keep_cleaned's verdicts on the boxes of a subtree
    std::vector<std::pair<std::size_t, std::size_t>> items_;
    std::size_t core = no_box;  // the box where the best run was found
};

// The primary subtag of a language tag, when it is two letters.
std::string primary_language(std::string_view tag) {
    std::string out = ascii_lowered(tag.substr(0, tag.find_first_of("-_")));
    while (!out.empty() && out.back() == ' ') out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(out.begin());
    const bool letters =
        std::all_of(out.begin(), out.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return out.size() == 2 && letters ? out : std::string{};
}

// Whether a heading is the page's title: the same, or held whole in it, as
// titles often add the site's name before or after.
bool same_title(std::string_view heading, std::string_view title) {
    if (heading.empty() || title.empty()) return false;
    const std::string h = ascii_lowered(heading);
    const std::string t = ascii_lowered(title);
    return h == t || (h.size() >= 10 && t.find(h) != std::string::npos);
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

    const std::string stated = html::stated_article_body(page);
    const std::vector<std::size_t> kept = Finder(layout, stated).main_blocks();
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
        if (!title_dropped && box.kind == BoxKind::heading && box.heading_level <= 3 &&
            (same_title(b.text, document.title) || same_title(b.text, layout.title))) {
            title_dropped = true;
            continue;
        }
        if (!document.text.empty()) document.text += "\n\n";
        document.text += b.text;
    }
    if (only_stated(stated, document.text)) document.text = html::stated_paragraphs(stated);
    return document;
}

}  // namespace brennic::readers
