// SPDX-License-Identifier: MIT
#include "readers/html_furniture.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>

#include "common/ascii.h"

namespace brennic::readers::html {
namespace {

// Spacing and the marks that set a label off ("- Advertisement -", "Share:").
bool edge_mark(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '-' || c == ':' || c == '|' || c == '*';
}

// The text in lower case (ASCII letters), without the spacing and marks at
// its two ends.
std::string bare(std::string_view text) {
    while (!text.empty() && edge_mark(text.front())) text.remove_prefix(1);
    while (!text.empty() && edge_mark(text.back())) text.remove_suffix(1);
    // Dashes and bullets in UTF-8 ("— Advertisement —", "• Share").
    for (const std::string_view mark : {"\u2014", "\u2013", "\u2022", "\u00B7"}) {
        while (text.starts_with(mark)) {
            text.remove_prefix(mark.size());
            while (!text.empty() && edge_mark(text.front())) text.remove_prefix(1);
        }
        while (text.ends_with(mark)) {
            text.remove_suffix(mark.size());
            while (!text.empty() && edge_mark(text.back())) text.remove_suffix(1);
        }
    }
    return ascii_lowered(text);
}

// Whether s is one of the words, starts or ends with one, or holds one.
bool any_of_is(std::string_view s, std::span<const std::string_view> words) {
    return std::find(words.begin(), words.end(), s) != words.end();
}

bool starts_with_any(std::string_view s, std::span<const std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return s.starts_with(w); });
}

bool ends_with_any(std::string_view s, std::span<const std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return s.ends_with(w); });
}

bool contains_any(std::string_view s, std::span<const std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return s.find(w) != std::string_view::npos; });
}

// The same, for a list written in place.
bool any_of_is(std::string_view s, std::initializer_list<std::string_view> words) {
    return any_of_is(s, std::span(words.begin(), words.size()));
}
bool starts_with_any(std::string_view s, std::initializer_list<std::string_view> words) {
    return starts_with_any(s, std::span(words.begin(), words.size()));
}
bool ends_with_any(std::string_view s, std::initializer_list<std::string_view> words) {
    return ends_with_any(s, std::span(words.begin(), words.size()));
}
bool contains_any(std::string_view s, std::initializer_list<std::string_view> words) {
    return contains_any(s, std::span(words.begin(), words.size()));
}

bool digit(char c) { return c >= '0' && c <= '9'; }

// Whether a text ends in a number and then the word: "12 comments" (not
// "nobody reads the comments").
bool counted(std::string_view t, std::string_view word) {
    if (!t.ends_with(word)) return false;
    t.remove_suffix(word.size());
    return !t.empty() && digit(t.back());
}

bool all_digits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), digit); }

// Whether a text holds a year (four digits from 1900 to 2099 on their own)
// or a time of day ("7:23").
bool holds_date(std::string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!digit(t[i]) || (i > 0 && digit(t[i - 1]))) continue;
        std::size_t n = i;
        while (n < t.size() && digit(t[n])) ++n;
        const bool year = n - i == 4 && (t.substr(i, 2) == "19" || t.substr(i, 2) == "20");
        const bool time =
            n - i <= 2 && n + 2 < t.size() && t[n] == ':' && digit(t[n + 1]) && digit(t[n + 2]);
        if (year || time) return true;
    }
    return false;
}

// Labels of slots for advertisements and sponsors, and of the story going on past them.
// clang-format off
constexpr std::array<std::string_view, 24> slot_labels{
    "ad", "ads", "advertising", "sponsored", "sponsored content", "paid content", "paid post",
    "promoted", "promoted content", "partner content", "sponsor showcase", "story continues below",
    "article continues below", "story continues below advertisement", "continue reading below",
    "continue reading the main story", "scroll to continue with content", "listen to this article",
    "listen to this story", "copy link", "link copied", "share full article", "gift this article",
    "\u5E7F\u544A"};
// clang-format on

// How credits on a line of their own open.
// clang-format off
constexpr std::array<std::string_view, 28> credit_leads{
    "photo:", "photos:", "photograph:", "photographs:", "image:", "images:", "picture:", "credit:",
    "credits:", "photo credit", "image credit", "illustration:", "photo illustration:",
    "photo by ", "photograph by ", "photo courtesy", "ap photo", "(ap photo", "credit\u2026",
    "(photo:", "(photo by", "(photo credit", "(photos:", "(image:", "(image credit", "(credit:",
    "(photograph:", "(photograph by"};
// clang-format on

// How notes on where an article first appeared, and on its versions, open.
// clang-format off
constexpr std::array<std::string_view, 25> version_notes{
    "originally published", "this article was originally", "this story was originally",
    "this post was originally", "a version of this article", "a version of this story",
    "this article first appeared", "this story first appeared", "this post first appeared",
    "this article originally appeared", "this story originally appeared",
    "this post originally appeared", "this article is republished", "this article was republished",
    "this story has been updated", "this article has been updated", "this story was updated",
    "this article was updated", "correction:", "clarification:", "an earlier version of this",
    "this article has been corrected", "this story has been corrected", "editor's note:",
    "editor\u2019s note:"};
// clang-format on

}  // namespace

bool slot_label(std::string_view text) {
    if (text.size() > 60) return false;
    const std::string t = bare(text);
    // "Advertisement", "Advertisement - Continue reading below", never a
    // sentence that opens with the word.
    if (t.starts_with("advertisement")) {
        std::string_view rest = std::string_view(t).substr(13);
        if (rest.starts_with('s')) rest.remove_prefix(1);
        while (rest.starts_with(' ')) rest.remove_prefix(1);
        const auto next = static_cast<unsigned char>(rest.empty() ? ' ' : rest.front());
        return rest.empty() || !((next >= 'a' && next <= 'z') || next >= 0x80);
    }
    return any_of_is(t, slot_labels) || (t.starts_with("sponsored by ") && t.size() <= 40);
}

bool counter_line(std::string_view text) {
    if (text.size() > 24) return false;
    std::string t = bare(text);
    if (t.starts_with('(') && t.ends_with(')')) t = t.substr(1, t.size() - 2);
    std::string_view rest = t;
    bool named = false;
    for (const std::string_view word :
         {"photo ", "image ", "picture ", "slide ", "gallery ", "item "})
        if (rest.starts_with(word)) {
            rest.remove_prefix(word.size());
            named = true;
            break;
        }
    // "N of M", or with a word before it "N/M".
    const std::size_t of = rest.find(" of ");
    const std::size_t slash = rest.find('/');
    std::string_view first, second;
    if (of != std::string_view::npos) {
        first = rest.substr(0, of);
        second = rest.substr(of + 4);
    } else if (named && slash != std::string_view::npos) {
        first = rest.substr(0, slash);
        second = rest.substr(slash + 1);
    } else {
        return false;
    }
    while (first.ends_with(' ')) first.remove_suffix(1);
    while (second.starts_with(' ')) second.remove_prefix(1);
    return all_digits(first) && all_digits(second) && first.size() <= 3 && second.size() <= 3 &&
           std::stoi(std::string(first)) <= std::stoi(std::string(second));
}

bool credit_line(std::string_view text) {
    if (text.size() > 120) return false;
    const std::string lower = ascii_lowered(text);
    std::string_view t = lower;
    while (!t.empty() && (t.back() == ' ' || t.back() == '\n' || t.back() == '.'))
        t.remove_suffix(1);
    // A credit alone.
    if (starts_with_any(t, credit_leads)) return true;
    // A photographer and an agency: "Jane Roe/Getty Images".
    if (text.size() <= 80 && t.find(". ") == std::string_view::npos &&
        ends_with_any(
            t, {"getty images", "/ap", "/reuters", "/afp", "/epa", "/shutterstock", "/istockphoto",
                "/istock", "/alamy", "/landov", "/bloomberg", "ap photo"}))
        return true;
    return false;
}

bool prompt_line(std::string_view text) {
    if (text.size() > 200) return false;
    const std::string t = bare(text);
    if (t.find("newsletter") != std::string::npos &&
        (starts_with_any(
             t, {"sign up", "sign-up", "signup", "subscribe", "get our", "join our", "want "}) ||
         contains_any(t, {"sign up for", "sign up to", "subscribe to our"})))
        return true;
    const bool follow = t.starts_with("follow ") || t.starts_with("like us on") ||
                        contains_any(t, {"follow us", "? follow ", ". follow ", "! follow "});
    if (follow &&
        contains_any(t, {"twitter", "facebook", "instagram", "linkedin", "tiktok", "youtube",
                         "threads", "bluesky", "mastodon", "pinterest", "google+", " @"}))
        return true;
    // 分享到: share on.
    if (t.starts_with("\u5206\u4EAB\u5230") && t.size() <= 30) return true;
    return t.size() <= 60 &&
           (any_of_is(t, {"share", "share this", "share this article", "share this story",
                          "share this post", "tweet"}) ||
            starts_with_any(t, {"share this ", "share on ", "share via ", "click to share",
                                "tweet this", "email this", "print this"}));
}

bool embed_chrome(std::string_view text) {
    if (text.size() > 300) return false;
    const std::string lower = ascii_lowered(text);
    if (starts_with_any(lower, {"view this post on instagram", "a post shared by",
                                "view on instagram", "view on twitter", "view on threads"}))
        return true;
    // A tweet's signature: "— Jane Roe (@janeroe) May 2, 2020".
    const bool dash = lower.starts_with("\u2014") || lower.starts_with("\u2013") ||
                      lower.starts_with("- ") || lower.starts_with("&mdash;");
    return (dash && lower.find("(@") != std::string::npos && lower.size() <= 160) ||
           (lower.starts_with("pic.twitter.com/") && lower.size() <= 60);
}

bool feed_notice(std::string_view text) {
    if (text.size() > 300) return false;
    const std::string t = ascii_lowered(text);
    return contains_any(
        t, {"follow any responses to this entry", "you can leave a response",
            "both comments and pings are currently closed", "responses are currently closed",
            "skip to the end and leave a response"});
}

bool pager_line(std::string_view text) {
    // "上一页" and "下一页": the previous and the next page.
    return text.size() <= 120 && text.find("\u4E0A\u4E00\u9875") != std::string_view::npos &&
           text.find("\u4E0B\u4E00\u9875") != std::string_view::npos;
}

bool chinese_byline(std::string_view text) {
    if (text.size() > 75) return false;
    // 本报记者, 本报实习生, 本报通讯员: our reporter, intern, correspondent;
    // 记者, a reporter, with a space before the names ("记者 刘涛"), not
    // a heading such as 记者手记, a reporter's notes.
    if (!starts_with_any(text,
                         {"\u672C\u62A5\u8BB0\u8005", "\u672C\u62A5\u5B9E\u4E60\u751F",
                          "\u672C\u62A5\u901A\u8BAF\u5458", "\u8BB0\u8005 ", "\u8BB0\u8005\u3000"}))
        return false;
    // Names, not a sentence: no comma, stop, colon or semicolon.
    return !contains_any(text, {"\uFF0C", "\u3002", "\uFF1A", "\uFF1B", ",", ":", ";", "\u3001"});
}

bool furniture_line(std::string_view text) {
    return slot_label(text) || counter_line(text) || credit_line(text) || prompt_line(text) ||
           embed_chrome(text) || feed_notice(text) || pager_line(text) || chinese_byline(text);
}

bool closing_note(std::string_view text) {
    if (text.size() > 400) return false;
    std::string t = bare(text);
    while (!t.empty() && (t.front() == '(' || t.front() == '[')) t.erase(t.begin());
    // Who contributed, reported, wrote or edited.
    if (contains_any(t, {"contributed to this report", "contributed reporting",
                         "contributed to this story", "contributed to this article"}) ||
        starts_with_any(t, {"reporting by ", "additional reporting by ", "writing by ",
                            "editing by ", "compiled by ", "reporting and writing by "}))
        return true;
    // Rights notices: "The Gazette. All rights reserved.", "This material may
    // not be published, broadcast, rewritten or redistributed."
    if (t.size() <= 200 &&
        contains_any(t, {"all rights reserved", "may not be published, broadcast"}))
        return true;
    // How to reach the writer: "Jane Roe can be reached at ...", "Jane Roe:
    // 555-0100 or jroe@example.com".
    if (contains_any(t, {"can be reached at", "can be contacted at", "can be reached via",
                         "can be emailed at"}))
        return true;
    const std::size_t at = t.find('@');
    if (t.size() <= 100 && at != std::string::npos && at > 0 && t[at - 1] != ' ' &&
        t.find('.', at) != std::string::npos && !t.ends_with('.') && !t.ends_with('?'))
        return true;
    // Tags and categories, lines of names rather than sentences ("Posted in
    // 2019, the video ..." is one).
    if (t.size() <= 200 && !t.ends_with('.') && !t.ends_with('?') && !t.ends_with('!') &&
        starts_with_any(t, {"tags:", "tagged:", "tagged with", "filed under", "posted in ",
                            "categories:", "category:", "topics:", "related topics:"}))
        return true;
    // Comment counts ("Comments (0)", "12 Comments"), and what stands where
    // related stories were.
    if (t.size() <= 40 &&
        (contains_any(t, {"comments (", "comment ("}) || counted(t, " comments") ||
         counted(t, " comment") || counted(t, " responses") ||
         any_of_is(t, {"no comments", "no related posts", "no related posts.", "related posts",
                       "related articles", "related stories", "you may also like",
                       "recommended for you"}) ||
         starts_with_any(t,
                         {"leave a comment", "leave a reply", "add a comment", "post a comment"})))
        return true;
    // Where the article first appeared, and notes on its versions.
    return starts_with_any(t, version_notes);
}

bool field_dateline(std::string_view text) {
    if (text.size() > 200 || text.find('\n') != std::string_view::npos) return false;
    std::size_t fields = 0;
    for (const std::string_view bar : {"|", "\u2022", "\u00B7"})
        for (std::size_t at = text.find(bar); at != std::string_view::npos;
             at = text.find(bar, at + bar.size()))
            ++fields;
    std::string_view t = text;
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return fields >= 2 && !t.ends_with('.') && !t.ends_with('!') && !t.ends_with('?') &&
           holds_date(text);
}

bool posted_line(std::string_view text) {
    if (text.size() > 100 || text.find('\n') != std::string_view::npos) return false;
    const std::string t = bare(text);
    return starts_with_any(t, {"posted on ", "posted ", "published on ", "published ",
                               "updated on ", "updated ", "last updated", "first published"}) &&
           holds_date(t);
}

}  // namespace brennic::readers::html
