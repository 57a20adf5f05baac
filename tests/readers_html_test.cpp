// SPDX-License-Identifier: MIT
// The page reader: a table of small hand-written pages, a row for each
// thing it must get right, from charsets to boilerplate to hostile markup.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "readers/charset.h"
#include "readers/html.h"
#include "readers/html_furniture.h"
#include "readers/html_layout.h"
#include "readers/html_stated.h"

namespace {

using brennic::readers::read_html;

// An article of three paragraphs of running text, and its text.
const std::string p1 =
    "The river rose by two metres overnight, and the old bridge, built in 1820, was closed "
    "to traffic before dawn.";
const std::string p2 =
    "Engineers inspected the piers during the morning, while residents of the lower town "
    "moved their cars to higher ground.";
const std::string p3 =
    "By evening the water had begun to fall again, and the council said the bridge would "
    "reopen once the inspection was complete.";
const std::string article = "<p>" + p1 + "</p>\n<p>" + p2 + "</p>\n<p>" + p3 + "</p>";
const std::string article_text = p1 + "\n\n" + p2 + "\n\n" + p3;

std::string page(const std::string& body, const std::string& head = "") {
    return "<!DOCTYPE html><html><head>" + head + "</head><body>" + body + "</body></html>";
}

struct Row {
    std::string what;
    std::string bytes;
    std::string text;  // the main text expected, exactly
    std::string title = {};
    std::string language = {};
};

std::string nested(const std::string& open, const std::string& inner, int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += open;
    return s + inner;
}

std::vector<Row> rows() {
    const std::string menu =
        "<ul class=\"menu\"><li><a href=\"/\">Home</a></li><li><a href=\"/news\">News</a></li>"
        "<li><a href=\"/sport\">Sport</a></li></ul>";
    const std::string comments =
        "<div class=\"comments\"><p>I have lived by that river for forty years, and I have never "
        "seen it rise so fast, not even in the great flood.</p><p>Thanks to the engineers for "
        "their work, they were out there in the rain all morning.</p></div>";
    // A box of other stories' headlines, named as boilerplate.
    std::string related = "<div class=\"related-stories\"><h3>Related</h3><ul>";
    for (const char* headline : {"Council approves the budget for new roads in the north",
                                 "Flood warnings issued for "
                                 "three rivers after heavy rain",
                                 "Engineers say dozens of bridges need urgent repairs",
                                 "Mayor promises faster repairs after the storm hit the harbour",
                                 "Traffic jams expected on the ring road as works begin"})
        related += "<li><a href=\"/story\">" + std::string(headline) + "</a></li>";
    related += "</ul></div>";
    // A Chinese paragraph in GB18030, and in UTF-8.
    const std::string gb_paragraph =
        "<p>\xBD\xF1\xCC\xEC\xC9\xCF\xCE\xE7\xA3\xAC\xCA\xD0\xD5\xFE\xB8\xAE\xD5\xD9\xBF\xAA"
        "\xD0\xC2\xCE\xC5\xB7\xA2\xB2\xBC\xBB\xE1\xA3\xAC\xBD\xE9\xC9\xDC\xC1\xCB\xB3\xC7"
        "\xCA\xD0\xBD\xBB\xCD\xA8\xBD\xA8\xC9\xE8\xB5\xC4\xD7\xEE\xD0\xC2\xBD\xF8\xD5\xB9"
        "\xBA\xCD\xC3\xF7\xC4\xEA\xB5\xC4\xB9\xA4\xD7\xF7\xBC\xC6\xBB\xAE\xA1\xA3</p>";
    const std::string zh_paragraph =
        "今天上午，市政府召开新闻发布会，介绍了城市交通建设的最新进展和明年的工作计划。";
    std::string links;
    for (int i = 0; i < 10; ++i)
        links += "<li><a href=\"/e/" + std::to_string(i) + "\">An email sent to the list, number " +
                 std::to_string(i) + "</a></li>";
    const std::string remark =
        "What a night that was, I could hear the water from my kitchen and did not sleep "
        "until the small hours.";
    const std::string teaser_summary =
        "A summary of the story in a sentence or two, long enough to count as running text of "
        "its own, as the summaries of other stories are.";
    std::string teasers;
    for (const char* story : {"Council votes to rebuild the old mill", "Ferry service resumes",
                              "School wins the regional chess final"})
        teasers += std::string("<div><h3><a href=\"/s\">") + story + "</a></h3><p>" +
                   teaser_summary + "</p><span>May 2</span></div>";
    std::string report, report_text, report_lines, report_line;
    for (const char* n : {"two", "three", "four", "five", "six", "seven"}) {
        const std::string line = std::string("Page ") + n +
                                 " of the report goes on about the river, the bridge and the "
                                 "town for a good while longer.";
        report += "<p>" + line + "</p>";
        report_text += "\n\n" + line;
        report_lines += "\\n" + line;
        report_line += " " + line;
    }
    // The article and the report as JSON-LD states them: a line each, or on one line.
    const std::string stated_lines = p1 + "\\n" + p2 + "\\n" + p3 + report_lines;
    const std::string stated_line = p1 + " " + p2 + " " + p3 + report_line;
    const auto json = [](const std::string& body) {
        return "<script type=\"application/ld+json\">{\"@type\": \"NewsArticle\", \"articleBody\": "
               "\"" +
               body + "\"}</script>";
    };
    // A tech story in sections of its own, its paragraphs a third links:
    // "[" and "]" mark the links.
    std::string sections, sections_text;
    for (const char* part :
         {"The phone ships with [a faster chip], and [the maker's own tests] show it ahead of "
          "last year's model in most of them.|Battery life is [the other headline], since [the "
          "larger cell] lasts a full day of heavy use in early reviews.",
          "The camera gains [a wider lens], while [the night mode] now works on every sensor, "
          "which [reviewers at two sites] praised.|Prices start where [they did last year], and "
          "[preorders open on Friday] in most markets, shipping a week later.",
          "Software support runs [for five years], as [the maker promised in March], matching "
          "what its rivals now offer.|Repairs should be cheaper too, because [the back glass] "
          "is held by screws rather than glue, [the first teardown] showed."}) {
        sections += "<section>";
        std::string html = "<p>", text;
        for (const char* c = part; *c != 0; ++c) {
            if (*c == '|') {
                sections += html + "</p>";
                sections_text += (sections_text.empty() ? "" : "\n\n") + text;
                html = "<p>";
                text.clear();
                continue;
            }
            html += *c == '['   ? std::string("<a href=\"/t\">")
                    : *c == ']' ? "</a>"
                                : std::string(1, *c);
            if (*c != '[' && *c != ']') text += *c;
        }
        sections += html + "</p></section>";
        sections_text += "\n\n" + text;
    }
    const auto signup = [&](const std::string& field) {
        return page("<article><p>" + p1 +
                    "</p><div><h3>Our morning letter</h3><p>The news of the river towns in your "
                    "inbox, every morning before seven.</p><form>" +
                    field + "<button>Sign up</button></form></div><p>" + p2 + "</p><p>" + p3 +
                    "</p></article>");
    };
    std::string link_teasers;
    for (const char* story : {"Council votes to rebuild the old mill", "Ferry service resumes",
                              "School wins the regional chess final"})
        link_teasers += std::string("<div><div><a href=\"/s\">") + story +
                        "</a></div><div>updated May 2</div><div>A summary of the story in a "
                        "sentence or two, long enough to count as running text of its own, as "
                        "the summaries of other stories on such pages are.</div></div>";
    std::string gb_page = "<html><head><style>";
    std::string zh_text;
    gb_page.append(40 * 1024, ' ');
    gb_page += "</style></head><body><article>";
    for (int i = 0; i < 6; ++i) {
        gb_page += gb_paragraph;
        zh_text += (i == 0 ? "" : "\n\n") + zh_paragraph;
    }
    gb_page += "</article></body></html>";
    return {
        {"an article alone", page(article), article_text},
        {"undeclared GB18030 past 40 KB of markup is still told from Windows-1252", gb_page,
         zh_text},
        {"a name with '_' reads as one with '-'",
         page("<article>" + article +
              "<div class=\"author_info\"><p>Jane Doe writes about rivers, bridges and the "
              "weather, and lives by the sea with two cats.</p></div></article>"),
         article_text},
        {"an article goes on past a list of links inside it",
         page("<div>" + article + "<ul>" + links + "</ul><p>" + p2 + "</p><p>" + p3 + "</p></div>"),
         article_text + "\n\n" + p2 + "\n\n" + p3},
        {"teasers after the article go: linked headlines over a line of summary each",
         page("<div><article>" + article + report + "</article><div>" + teasers + "</div></div>"),
         article_text + report_text},
        {"three teasers under headlines that are links alone go",
         page("<div>" + article + report + "<div>" + link_teasers + "</div></div>"),
         article_text + report_text},
        {"teasers that are most of the page are what it is about",
         page("<div><p>" + p1 + "</p><div>" + teasers + "</div></div>"),
         p1 + "\n\n" + teaser_summary + "\n\nMay 2\n\n" + teaser_summary + "\n\nMay 2\n\n" +
             teaser_summary + "\n\nMay 2"},
        {"a box that asks for an email address goes", signup("<input type=\"email\">"),
         article_text},
        {"a box with a text field named for an email address goes",
         signup("<input name=\"newsletter_email\">"), article_text},
        {"one linked headline over a summary is no list of teasers",
         page("<div>" + article +
              "<div><h3><a href=\"/s\">Council votes to rebuild the mill</a>"
              "</h3><p>" +
              remark + " " + remark + "</p></div></div>"),
         article_text + "\n\n" + remark + " " + remark},
        {"posts of two paragraphs under linked titles are no teasers",
         page("<div><div><h2><a href=\"/1\">The river rises</a></h2><p>" + p1 + "</p><p>" + p2 +
              "</p></div><div><h2><a href=\"/2\">The bridge reopens</a></h2><p>" + p3 + "</p><p>" +
              remark + "</p></div></div>"),
         p1 + "\n\n" + p2 + "\n\n" + p3 + "\n\n" + remark},
        {"a box with an email field and paragraphs of its own is no sign-up box",
         page("<article><div>" + article + "<form><input type=\"email\"></form></div></article>"),
         article_text},
        {"a box marked itemprop=articleBody is the article when the scores chose elsewhere",
         page("<div itemprop=\"articleBody\"><p>" + p1 + "</p></div><div><p>" + remark + "</p><p>" +
              remark + "</p><p>" + remark + "</p></div>"),
         p1},
        {"JSON-LD's articleBody is the article when the scores chose elsewhere",
         page("<div><p>" + p1 + "</p><p>" + p2 + "</p></div><div><p>" + remark + "</p><p>" +
                  remark + "</p><p>" + remark + "</p><p>" + remark + "</p></div>",
              "<script type=\"application/ld+json\">{\"articleBody\": \"" + p1 + "\\n" + p2 +
                  "\"}</script>"),
         p1 + "\n\n" + p2},
        {"JSON-LD's articleBody tells the article from the comments under it",
         page("<div>" + article + "<p>" + remark + "</p><p>" + remark + "</p></div>",
              "<script type=\"application/ld+json\">{\"@type\": \"NewsArticle\", "
              "\"articleBody\": \"" +
                  p1 + "\\n" + p2 + "\\n" + p3 + "\"}</script>"),
         article_text},
        {"an articleBody far shorter than the article is a summary and cuts nothing",
         page("<div>" + article + report + "</div>",
              "<script type=\"application/ld+json\">{\"articleBody\": \"" + p1 + " " + p2 +
                  "\"}</script>"),
         article_text + report_text},
        {"an articleBody cut short in a paragraph cuts nothing",
         page("<div><div>" + article + "</div><p>" + remark + "</p><p>" + remark + "</p></div>",
              "<script type=\"application/ld+json\">{\"articleBody\": \"" + p1 + " " + p2 +
                  " By evening the water had begun to fall...\"}</script>"),
         article_text + "\n\n" + remark + "\n\n" + remark},
        {"an articleBody that ends in mid-phrase cuts nothing",
         page("<div><div>" + article + "</div><p>" + remark + "</p><p>" + remark + "</p></div>",
              "<script type=\"application/ld+json\">{\"articleBody\": \"" + p1 + " " + p2 + " " +
                  p3 + " Then the\"}</script>"),
         article_text + "\n\n" + remark + "\n\n" + remark},
        {"an article only in the JSON, the page a teaser, is the JSON's text",
         page("<article><h1>The river rises</h1><p>" + p1 +
                  "</p><p>Subscribe to read the whole story.</p></article>",
              json(stated_lines)),
         article_text + report_text, "The river rises"},
        {"markup, references and escapes in an article only in the JSON",
         page("<div id=\"app\"></div><noscript>Please turn on scripts.</noscript>",
              "<title>The river rises</title>" +
                  json("<p>" + p1 + "<\\/p>\\r\\n<p>" + p2 +
                       " The mayor said \\\"we will rebuild\\\" &amp; thanked them.</p><p>" + p3 +
                       "</p>" + report)),
         p1 + "\n\n" + p2 + " The mayor said \"we will rebuild\" & thanked them.\n\n" + p3 +
             report_text,
         "The river rises"},
        {"an article in the JSON cut with an ellipsis leaves the page's teaser",
         page("<article><p>" + p1 + "</p></article>", json(stated_lines + " And then...")), p1},
        {"a JSON summary of a longer text on the page leaves the page's text",
         page("<article>" + article + report + "</article>",
              json(remark + " " + teaser_summary + " " + remark + " " + teaser_summary)),
         article_text + report_text},
        {"an article whole in the JSON and on the page is the page's text",
         page("<article>" + article + report + "</article>", json(stated_line)),
         article_text + report_text},
        {"an article in sections whose paragraphs are a third links keeps every section",
         page(menu + "<div><h1>The new phone</h1>" + sections + "</div>" + related), sections_text,
         "The new phone"},
        {"a box marked itemprop=articleBody ends the article",
         page("<div><div itemprop=\"articleBody\">" + article + "</div><p>" + remark + "</p><p>" +
              remark + "</p></div>"),
         article_text},
        {"figures and their captions go",
         page("<article><p>" + p1 +
              "</p><figure><img src=\"bridge.jpg\"><figcaption>The old "
              "bridge on Monday morning, closed to traffic. Photo: J. Smith</figcaption></figure>"
              "<p>" +
              p2 + "</p><p>" + p3 + "</p></article>"),
         article_text},
        {"copyright notices go, a sentence about copyright stays",
         page("<article>" + article +
              "<p>Copyright lawyers for the town said the photographs were its own.</p><p>\xC2\xA9 "
              "2020 The Riverside Gazette. All rights reserved.</p><p>Copyright 2020 Wire "
              "Services.</p></article>"),
         article_text + "\n\nCopyright lawyers for the town said the photographs were its own."},
        {"a line ending in a colon and a dateline that end the main text go",
         page("<article>" + article + "<p>Posted by Jane at 10:31</p><p>Related posts:</p>" +
              "</article>"),
         article_text},
        {"a heading that ends the main text goes",
         page("<article>" + article + "<h3>Related stories</h3></article>" + menu), article_text},
        {"scripts, styles, navigation, asides, footers and forms go",
         page("<script>var x = 'No sentence here, none at all, really.';</script>"
              "<style>p { color: red; }</style><nav>" +
              menu + "</nav><header>" + menu + "</header><main>" + article +
              "<aside><p>Read our other stories about rivers, bridges and floods.</p></aside>"
              "<form><button>Subscribe to the newsletter today</button><input value=x></form>"
              "</main><footer><p>Copyright 2024, the Riverside Gazette, all rights "
              "reserved.</p></footer>"),
         article_text},
        {"markup inside scripts, styles and comments is no text",
         page("<script>document.write('<p>Written by a script, long enough to count.</p>');"
              "</script><style>p:after { content: '<p>styled</p>'; }</style><!-- <p>A comment, "
              "long enough to count as a paragraph.</p> --><div title=\"a > b\">" +
              article + "</div>"),
         article_text},
        {"hidden elements go",
         page("<div><div hidden><p>A hidden paragraph that is long enough to count, "
              "really.</p></div><div aria-hidden=\"true\"><p>Another hidden paragraph, long "
              "enough to count.</p></div><div style=\"display: none\"><p>A third hidden "
              "paragraph, long enough to count.</p></div>" +
              article + "</div>"),
         article_text},
        {"names that only look like boilerplate do not count",
         page("<div>" + article + "</div><div class=\"research tag-cookies\">" + article +
              "</div><div>" + article + "</div>"),
         article_text + "\n\n" + article_text + "\n\n" + article_text},
        {"an id made of a heading's words names no boilerplate",
         page("<div><div id=\"sharing-the-bridge-with-traffic\">" + article + "</div><div>" +
              article + "</div><div>" + article + "</div></div>"),
         article_text + "\n\n" + article_text + "\n\n" + article_text},
        {"a paragraph mostly of link text that reads as a sentence stays",
         page("<article><p>" + p1 +
              "</p><p>1. Believe it or not, <a href=\"/v\">the vote on the "
              "new bridge split the council along party lines</a>. The Gazette has it.</p><p>" +
              p2 + "</p><p>" + p3 + "</p></article>"),
         p1 +
             "\n\n1. Believe it or not, the vote on the new bridge split the council along party "
             "lines. The Gazette has it.\n\n" +
             p2 + "\n\n" + p3},
        {"a line mostly of links goes, and so does a licence notice however worded",
         page("<article><p>" + p1 +
              "</p><p>Read more: <a href=\"/r\">Ferry service resumes "
              "after the storm on the coast</a></p><p>" +
              p2 +
              "</p><p>This site, text and images, is licensed under <a href=\"/l\">a Creative "
              "Commons Attribution-Share Alike 3.0 United States License</a>.</p><p>" +
              p3 + "</p></article>"),
         article_text},
        {"comments after the article go", page("<article>" + article + "</article>" + comments),
         article_text},
        {"elements of names no standard knows keep their text",
         page("<nyt_text><my-card class=\"story\">" + article + "</my-card></nyt_text>"),
         article_text},
        {"attribute names in capitals, the first of two of a name",
         page("<article>" + article + "</article><DIV CLASS=\"Comments\" class=\"story\">" +
              comments +
              "</DIV><div STYLE=\"DISPLAY: NONE\"><p>A hidden paragraph that is "
              "long enough to count, really.</p></div>"),
         article_text},
        {"a list of links in the article goes",
         page("<div class=\"story\">" + article + menu + "</div>"), article_text},
        {"every block a paragraph",
         page("<article><h2>The flood</h2><p>" + p1 +
              "</p><ul><li>First point of the list</li><li>Second point</li></ul>"
              "<table><tr><td>A cell</td><td>Another cell</td></tr></table>"
              "<blockquote>Never seen the like, said one.</blockquote><p>" +
              p2 + "</p><p>" + p3 + "</p></article>"),
         "The flood\n\n" + p1 +
             "\n\nFirst point of the list\n\nSecond point\n\nA cell\n\nAnother cell\n\nNever "
             "seen the like, said one.\n\n" +
             p2 + "\n\n" + p3},
        {"a line break stays one, two end a paragraph",
         page("<article><p>" + p1 + "</p><p>Line one<br>line two<br><br>Line three</p><p>" + p2 +
              "</p><p>" + p3 + "</p></article>"),
         p1 + "\n\nLine one\nline two\n\nLine three\n\n" + p2 + "\n\n" + p3},
        {"preformatted blocks go",
         page("<article>" + article + "<pre><code>int main() { return 0; }</code></pre></article>"),
         article_text},
        {"inline markup joins words without spaces",
         page("<article>" + article + "<p>Un<b>believ</b>able, <i>quite</i> so.</p></article>"),
         article_text + "\n\nUnbelievable, quite so."},
        {"the title from og:title, its heading out of the text",
         page("<article><h1>Bridge closed as river rises</h1>" + article + "</article>",
              "<title>Bridge closed | Gazette</title>"
              "<meta property=\"og:title\" content=\"Bridge closed as river rises\">"),
         article_text, "Bridge closed as river rises"},
        {"a heading of the article that the page's title holds is out of the text",
         page("<article><h3>Bridge closed as river rises</h3>" + article + "</article>",
              "<title>Gazette: Bridge closed as river rises</title>"),
         article_text, "Gazette: Bridge closed as river rises"},
        {"datelines before the first paragraph go, one between paragraphs and a short sentence "
         "with a year stay",
         page("<article><h1>Bridge closed</h1><div>By Jane Doe, 2 May 2020 10:31</div><div>"
              "Updated 16:05</div><p>It was May 2020.</p><p>" +
              p1 + "</p><p>Filed 2 May 2020</p><p>" + p2 + "</p><p>" + p3 + "</p></article>"),
         "It was May 2020.\n\n" + p1 + "\n\nFiled 2 May 2020\n\n" + p2 + "\n\n" + p3,
         "Bridge closed"},
        {"a dateline in a heading and weekdays or run-together dates before the first paragraph "
         "go",
         page("<article><h1>Bridge closed</h1><div>Thursday</div><div>Oct252012</div><h2>"
              "Thursday, October 25, 2012 at 9:15AM</h2>" +
              article + "</article>"),
         article_text, "Bridge closed"},
        {"bylines before the first paragraph go, lines of them too, in English and other "
         "languages",
         page("<article><h1>Bridge closed</h1><p>By Jane Roe and John Doe, Staff Writers</p>"
              "<p>Written by Jane Roe<br>Edited by John Doe</p><p>Par Jeanne Roux</p><p>"
              "Post written by Jane Roe.</p><p>by REUTERS</p>" +
              article + "</article>"),
         article_text, "Bridge closed"},
        {"a sentence that opens with by, a byline after the first paragraph and one in a heading "
         "stay",
         page("<article><h1>Bridge closed</h1><h4>By Jane Roe</h4><p>By Monday the water had "
              "gone.</p><p>" +
              p1 + "</p><p>By John Doe</p><p>" + p2 + "</p></article>"),
         "By Jane Roe\n\nBy Monday the water had gone.\n\n" + p1 + "\n\nBy John Doe\n\n" + p2,
         "Bridge closed"},
        {"times ago, reading times and counts of shares before the first paragraph go",
         page("<article><h1>Bridge closed</h1><p>Posted 1 hour ago</p><p>4 min read</p><p>1.2K "
              "Shares</p><p>12 Comments</p>" +
              article + "</article>"),
         article_text, "Bridge closed"},
        {"kickers before the first paragraph go, a list item, a label, a sentence and one after "
         "the first paragraph stay",
         page("<article><h1>Bridge closed</h1><p>EXCLUSIVE</p><p>The Valley Press</p><ul><li>"
              "Bridge shut</li></ul><p>Updates:</p><p>It rose.</p><p>" +
              p1 + "</p><p>Lower Town</p><p>" + p2 + "</p></article>"),
         "Bridge shut\n\nUpdates:\n\nIt rose.\n\n" + p1 + "\n\nLower Town\n\n" + p2,
         "Bridge closed"},
        {"kickers stay on a page with no paragraph of running text",
         page("<article><h1>Bridge closed</h1><p>Lower Town</p><p>Upper Town</p></article>"),
         "Lower Town\n\nUpper Town", "Bridge closed"},
        {"advertisement slots, gallery counters, credits, prompts, embedded posts' chrome and "
         "feed notices go wherever they stand",
         page("<article><h1>Bridge closed</h1><p>" + p1 +
              "</p><p>ADVERTISEMENT - SCROLL TO CONTINUE</p><div>1 of 6</div><p>Photo: Jane "
              "Roe/Getty Images</p><p>Want more? Follow @gazette on Twitter</p><p>Sign up for our "
              "daily newsletter.</p><p>" +
              p2 +
              "</p><blockquote><p>The water is everywhere.</p>\u2014 Jane Roe (@janeroe) May 2, "
              "2020</blockquote><p>Story continues below</p><p>" +
              p3 +
              "</p><p>You can follow any responses to this entry through the RSS 2.0 "
              "feed.</p></article>"),
         p1 + "\n\n" + p2 + "\n\nThe water is everywhere.\n\n" + p3, "Bridge closed"},
        {"sentences about advertisements, credit, Twitter and newsletters stay",
         page("<article><p>" + p1 +
              "</p><p>Advertisement spending rose by a tenth, the council said.</p><p>Credit card "
              "debt rose too.</p><p>She said on Twitter that she would follow the river.</p><p>"
              "Readers of the newsletter wrote in by the hundred.</p></article>"),
         p1 + "\n\nAdvertisement spending rose by a tenth, the council said.\n\nCredit card debt "
              "rose too.\n\nShe said on Twitter that she would follow the river.\n\nReaders of the "
              "newsletter wrote in by the hundred."},
        {"notes that close the text go: contributors, contacts, tags, comment counts, where it "
         "first appeared",
         page("<article><h1>Bridge closed</h1>" + article +
              "<p>John Doe contributed to this report.</p><p>(Reporting by Jane Roe; Editing by "
              "John Doe)</p><p>Jane Roe can be reached at jroe@example.com</p><p>Tags: floods, "
              "bridges</p><p>Comments (0)</p><p>This story originally appeared in the Valley "
              "Press.</p></article>"),
         article_text, "Bridge closed"},
        {"such notes inside the text stay, and so do a closing question and a signature",
         page("<article><p>" + p1 + "</p><p>Tags: floods, bridges</p><p>" + p2 +
              "</p><p>What will the council do next?</p><p>Jane</p></article>"),
         p1 + "\n\nTags: floods, bridges\n\n" + p2 + "\n\nWhat will the council do next?\n\nJane"},
        {"before the first paragraph: a dateline ending in a stop, a long one of fields, "
         "bylines in h5 and h6 or in more words than by; a section's title in h4 stays",
         page("<article><h1>Bridge closed</h1><p>Posted on May 2, 2020, 7:23 am, by Jane Roe.</p>"
              "<p>The Gazette | 4 May 2015 at 13:36 \u2022 Updated 5 May 2015 at 20:13 | By Jane "
              "Roe (with John Doe and Mary Major)</p><h6>By REUTERS</h6><h3>Post written by "
              "Jane Roe.</h3><h4>By Design</h4>" +
              article + "</article>"),
         "By Design\n\n" + article_text, "Bridge closed"},
        {"Chinese bylines, pagers and share prompts go; a sentence about a reporter stays",
         page("<article><p>\u672C\u62A5\u8BB0\u8005 \u738B\u71D5\u5E73 "
              "\u65B9\u4E91\u51E4</p><p>\u8BB0\u8005\u5728\u73B0\u573A\u770B\u5230\uFF0C\u6CB3"
              "\u6C34\u4ECD\u5728\u4E0A\u6DA8\uFF0C\u8001\u6865\u5728\u9ECE\u660E\u524D\u5C01"
              "\u95ED\u3002</p><p>\u7B2C1\u9875/\u51711\u9875 &lt;&lt; \u4E0A\u4E00\u9875 | "
              "\u4E0B\u4E00\u9875 &gt;&gt;</p><p>\u5206\u4EAB\u5230\uFF1A</p></article>"),
         "\u8BB0\u8005\u5728\u73B0\u573A\u770B\u5230\uFF0C\u6CB3\u6C34\u4ECD\u5728\u4E0A\u6DA8"
         "\uFF0C\u8001\u6865\u5728\u9ECE\u660E\u524D\u5C01\u95ED\u3002"},
        {"a block of short lines with no sentence is a list of fields, no running text",
         page("<article><div>Director: Jane Doe<br>Country: Wales<br>Length: 112 minutes<br>"
              "Language: Welsh<br>Colour: black and white</div>" +
              article + "</article>"),
         article_text},
        {"an article split by a list of related stories goes on after it",
         page(menu + "<article><h1>Bridge closed</h1><div class=\"body\"><p>" + p1 + "</p><p>" +
              p2 + "</p></div>" + related + "<div class=\"body\"><p>" + p3 + "</p><p>" + p1 +
              "</p></div></article>" + comments),
         p1 + "\n\n" + p2 + "\n\n" + p3 + "\n\n" + p1, "Bridge closed"},
        {"an article split by a list of related stories, the longer part after it",
         page("<article><p>" + p1 + "</p>" + related + "<p>" + p2 + "</p><p>" + p3 + "</p><p>" +
              p1 + "</p></article>"),
         p1 + "\n\n" + p2 + "\n\n" + p3 + "\n\n" + p1},
        {"past such a list, a box unlike the article's parts is not its text",
         page("<article><div class=\"body\"><p>" + p1 + "</p><p>" + p2 + "</p></div>" + related +
              "<div class=\"reader-letters\"><p>" + p3 + "</p></div></article>"),
         p1 + "\n\n" + p2},
        {"a list of notes that link as they go stays, less its items of links alone",
         page("<article><p>" + p1 +
              "</p><ul><li>Jane fixed a slow start in the <a href=\"/1\">cache of the home "
              "page</a> this week</li><li>John made the toolbar load later in the <a "
              "href=\"/2\">start-up window</a> of the browser</li><li>Ann moved the tests off "
              "the <a href=\"/3\">old file module</a> and onto the new one</li><li><a "
              "href=\"/4\">Our year in review, with all the numbers</a></li></ul><p>" +
              p2 + "</p></article>"),
         p1 +
             "\n\nJane fixed a slow start in the cache of the home page this week\n\nJohn made "
             "the toolbar load later in the start-up window of the browser\n\nAnn moved the "
             "tests off the old file module and onto the new one\n\n" +
             p2},
        {"a list item mostly of link text that reads as sentences stays",
         page("<article><p>" + p1 + "</p><ul><li>" + p2 + "</li><li>" + p3 +
              "</li><li>Parallel requests add delay. For more on it, see <a href=\"/t\">Taming "
              "the long tail of latency when more machines make it worse</a>.</li></ul><p>" +
              p3 + "</p></article>"),
         p1 + "\n\n" + p2 + "\n\n" + p3 +
             "\n\nParallel requests add delay. For more on it, see Taming the long tail of "
             "latency when more machines make it worse.\n\n" +
             p3},
        {"the title from h1", page("<h1>Bridge closed</h1>" + article, "<title>Gazette</title>"),
         article_text, "Bridge closed"},
        {"the title from <title>", page(article, "<title>The river rises</title>"), article_text,
         "The river rises"},
        {"lang of <html>, primary subtag",
         "<html lang=\"de-AT\"><body>" + article + "</body></html>", article_text, "", "de"},
        {"lang of the body", "<html><body lang=\"FR\">" + article + "</body></html>", article_text,
         "", "fr"},
        {"no lang from junk", "<html lang=\"x-klingon\"><body>" + article + "</body></html>",
         article_text},
        {"Windows-1252 declared in meta",
         page("<p>Caf\xE9 cr\xE8me, \x93quoted\x94 \x80 and the long rest of this sentence.</p>",
              "<meta charset=\"windows-1252\">"),
         "Caf\xC3\xA9 cr\xC3\xA8me, \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC and the long rest "
         "of this sentence."},
        {"Latin-1 declared by http-equiv",
         page("<p>Fa\xE7"
              "ade and na\xEFve, in the long rest of this sentence.</p>",
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"),
         "Fa\xC3\xA7"
         "ade and na\xC3\xAFve, in the long rest of this sentence."},
        {"undeclared and not UTF-8: Windows-1252",
         page("<p>Caf\xE9 au lait, and the long rest of this sentence.</p>"),
         "Caf\xC3\xA9 au lait, and the long rest of this sentence."},
        {"declared Latin-1 but UTF-8: UTF-8 wins",
         page("<p>Caf\xC3\xA9 au lait, and the long rest of this sentence.</p>",
              "<meta charset=\"iso-8859-1\">"),
         "Caf\xC3\xA9 au lait, and the long rest of this sentence."},
        {"declared UTF-8 but Latin-1: not garbled",
         page("<p>Caf\xE9 au lait, cr\xE8me br\xFBl\xE9"
              "e, and the rest of this sentence.</p>",
              "<meta charset=\"utf-8\">"),
         "Caf\xC3\xA9 au lait, cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
         "e, and the rest of this sentence."},
        {"a UTF-8 byte order mark",
         "\xEF\xBB\xBF" +
             page("<p>Gr\xC3\xBC\xC3\x9F Gott, and the long rest of this sentence.</p>"),
         "Gr\xC3\xBC\xC3\x9F Gott, and the long rest of this sentence."},
        {"a UTF-16LE byte order mark",
         std::string("\xFF\xFE<\0p\0>\0\xE9\0t\0\xE9\0<\0/\0p\0>\0", 22), "\xC3\xA9t\xC3\xA9"},
        {"GB2312 declared, read as GB18030",
         page("<p>\xD6\xD0\xCE\xC4\xA3\xAC\xD6\xD0\xB9\xFA\xA1\xA3</p>",
              "<meta charset=\"gb2312\">"),
         "\xE4\xB8\xAD\xE6\x96\x87\xEF\xBC\x8C\xE4\xB8\xAD\xE5\x9B\xBD\xE3\x80\x82"},
        {"control characters read as U+FFFD",
         page("<p>It won\xC2\x92t rise\x01 again, the council said in the long rest of it.</p>"),
         "It won\xEF\xBF\xBDt rise\xEF\xBF\xBD again, the council said in the long rest of it."},
        {"NUL bytes",
         page(std::string("<p>Nul\0 bytes are\0 dropped from the text of this page.</p>", 57)),
         "Nul bytes are dropped from the text of this page."},
        {"unclosed and misnested tags",
         "<html><body><div><p>" + p1 + "<p>" + p2 + "<p><b><i>" + p3 + "</b></i></div></span></p>",
         article_text},
        {"100,000-deep nesting", page(nested("<div>", "<p>" + p1 + "</p>", 100000)), p1},
        {"100,000 nested inline elements", page(nested("<b>", p1, 100000)), p1},
        {"a page with no text", page("<script>var a = 1;</script><img src=x>"), ""},
        {"no bytes at all", "", ""},
        {"binary bytes",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0\x3E\0",
                     20),
         ""},
    };
}

TEST(ReadersHtml, Pages) {
    for (const Row& row : rows()) {
        const auto document = read_html(row.bytes);
        EXPECT_EQ(document.text, row.text) << row.what;
        EXPECT_EQ(document.title, row.title) << row.what;
        EXPECT_EQ(document.language, row.language) << row.what;
    }
}

TEST(ReadersHtml, FurnitureLines) {
    using brennic::readers::html::closing_note;
    using brennic::readers::html::furniture_line;
    const std::vector<std::pair<std::string, bool>> furniture = {
        {"Advertisement", true},
        {"- Advertisement -", true},
        {"Advertisements", true},
        {"Advertisement: the council's own", true},
        {"Advertisement spending rose.", false},
        {"Photo 2/10", true},
        {"(3 of 12)", true},
        {"1/2", false},
        {"7 of 3", false},
        {"Credit: NASA/JPL", true},
        {"Credit card debt rose.", false},
        {"Jane Roe/AFP via Getty Images", true},
        {"AP Photo/Jane Roe", true},
        {"Follow Jane Roe on Twitter: @janeroe", true},
        {"She will follow the story on Twitter and in print, she said.", false},
        {"A post shared by Jane Roe (@janeroe)", true},
        {"\u2014 Jane Roe (@janeroe) May 2, 2020", true},
        {"Share", true},
        {"Share prices fell.", false},
        {"(Photos of the scene came later.)", false},
        {"(Photo: Jane Roe)", true},
        {"Story continues below advertisement", true},
        {"Sponsored by the Valley Bank", true},
        {"Listen to this article", true},
        {"Sign-up to our newsletter and get a free guide", true},
        {"Readers may subscribe to the council's newsletter at the library.", false},
        {"Like us on Facebook", true},
        {"The flood, as seen from the bridge pic.twitter.com/abc123", false},
        {"pic.twitter.com/abc123", true},
        {"View this post on Instagram", true},
        {"Both comments and pings are currently closed.", true},
        {"\u7B2C2\u9875 \u4E0A\u4E00\u9875 \u4E0B\u4E00\u9875", true},
        {"\u8BB0\u8005 \u5218\u6D9B", true},
        {"\u8BB0\u8005\u624B\u8BB0", false},
    };
    for (const auto& [text, expected] : furniture)
        EXPECT_EQ(furniture_line(text), expected) << text;
    const std::vector<std::pair<std::string, bool>> closing = {
        {"The Associated Press contributed to this report.", true},
        {"Filed under: floods", true},
        {"12 Comments", true},
        {"Jane Roe: 555-0100 or jroe@example.com", true},
        {"Write to me at jroe@example.com.", false},
        {"Correction: An earlier version of this story gave the wrong date.", true},
        {"The comments were many.", false},
        {"Nobody reads the comments", false},
        {"Posted in 2019, the video went round the world.", false},
        {"Posted in News | Leave a comment", true},
        {"Copyright 2020 The Gazette. All rights reserved.", true},
    };
    for (const auto& [text, expected] : closing) EXPECT_EQ(closing_note(text), expected) << text;
    using brennic::readers::html::field_dateline;
    using brennic::readers::html::posted_line;
    const std::vector<std::pair<std::string, bool>> datelines = {
        {"Posted on October 30, 2012, 7:23 am, by Jane Roe.", true},
        {"Updated 16:05", true},
        {"Posted on the door of the town hall.", false},
        {"Gazette | 4 May 2015 | Jane Roe", true},
        {"Gazette | Jane Roe | Floods", false},
        {"It rose | in 2015 | as it did before.", false},
    };
    for (const auto& [text, expected] : datelines)
        EXPECT_EQ(posted_line(text) || field_dateline(text), expected) << text;
}

TEST(ReadersHtml, StatedArticleBody) {
    using brennic::readers::html::stated_article_body;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"articleBody": "Plain text."})", "Plain text."},
        {R"({"articleBody":"Caf\u00e9 \"quoted\"\nnext \ud83d\ude00"})",
         "Caf\xC3\xA9 \"quoted\"\nnext \xF0\x9F\x98\x80"},
        {R"({"articleBody": "<p>Markup &amp; references</p> go<br>on"})",
         "\nMarkup & references\n go\non"},
        {R"({"articleBody": "&#233;t&#xE9; &nbsp;&copy; &#0; &#xD800; brands&rsquo; &hellip;"})",
         "\xC3\xA9t\xC3\xA9    \xEF\xBF\xBD \xEF\xBF\xBD brands\xE2\x80\x99 \xE2\x80\xA6"},
        {R"({"articleBody": "short"} {"articleBody": "the longer one"})", "the longer one"},
        {R"({"articleBody": "never closed)", ""},
        {R"({"articleBody": 42, "text": "no string"})", ""},
        {R"({"articleBody": "\u12"})", "12"},
        // Control characters are no text, as in the page's own.
        {R"({"articleBody": "a\u0000b\u0007c\u0085d&#1;e\u0009f"})",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD"
         "c\xEF\xBF\xBD"
         "d\xEF\xBF\xBD"
         "e f"},
        {std::string("{\"articleBody\": \"raw\x01\tbytes\"}"), "raw\xEF\xBF\xBD bytes"},
        {"no structured data", ""},
    };
    for (const auto& [page, body] : cases) EXPECT_EQ(stated_article_body(page), body) << page;
}

TEST(ReadersHtml, Shingles) {
    struct Case {
        std::string stated, text;
        std::size_t total, found;
    };
    const std::vector<Case> cases = {
        {"one two three four five", "two three four five six", 2, 1},
        {"One, two; three - four.", "one two three four", 1, 0},  // case counts, punctuation not
        {"one two", "one two", 1, 1},                             // a short text is one run
        {"今天上午市政府召开", "上午市政府", 2, 2},               // a CJK character is a word
        {"caf\xC3\xA9 au lait chaud", "caf\xC3\xA9 au lait chaud", 1, 1},
        {"one two three four", "", 0, 0},
    };
    for (const auto& c : cases) {
        const brennic::readers::html::Shingles stated(c.stated);
        const auto m = stated.match(c.text);
        EXPECT_EQ(m.total, c.total) << c.text;
        EXPECT_EQ(m.found, c.found) << c.text;
    }
}

TEST(ReadersHtml, DeclaredCharset) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<meta charset=\"Shift_JIS\">", "shift_jis"},
        {"<meta charset=utf-8>", "utf-8"},
        {"<meta http-equiv=content-type content='text/html;charset=\"koi8-r\"'>", "koi8-r"},
        {"<meta content=\"text/html; charset=euc-kr\" http-equiv=\"Content-Type\">", "euc-kr"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><html>", "iso-8859-2"},
        {"<!-- <meta charset=\"big5\"> --><meta charset=\"gbk\">", "gbk"},
        {"<meta name=\"description\" content=\"charset=koi8-r\">", ""},
        {"<meta charset=", ""},
        {"<p>no declaration</p>", ""},
    };
    for (const auto& [head, charset] : cases)
        EXPECT_EQ(brennic::readers::declared_charset(head), charset) << head;
}

// A page that is UTF-8 already is read in place; any other is decoded.
TEST(ReadersHtml, PageToUtf8) {
    const struct {
        std::string bytes;
        std::string utf8;
        bool in_place;
    } cases[] = {
        {"<p>caf\xC3\xA9</p>", "<p>caf\xC3\xA9</p>", true},
        {"\xEF\xBB\xBF<p>caf\xC3\xA9</p>", "<p>caf\xC3\xA9</p>", true},
        {"\xEF\xBB\xBF<p>caf\xE9</p>", "<p>caf\xEF\xBF\xBD</p>", false},
        {"<meta charset=latin1><p>caf\xE9</p>", "<meta charset=latin1><p>caf\xC3\xA9</p>", false},
        {"<meta charset=latin1><p>cafe</p>", "<meta charset=latin1><p>cafe</p>", false},
        {"", "", true},
    };
    for (const auto& c : cases) {
        std::string decoded;
        const std::string_view utf8 = brennic::readers::page_to_utf8(c.bytes, decoded);
        EXPECT_EQ(utf8, c.utf8) << c.bytes;
        const bool in_place =
            utf8.empty() || (utf8.data() >= c.bytes.data() &&
                             utf8.data() + utf8.size() <= c.bytes.data() + c.bytes.size());
        EXPECT_EQ(in_place, c.in_place) << c.bytes;
    }
}

// A page parsed a piece at a time loses no text and cuts no character in
// two, however small the pieces (each ends at a tag), and stays one page: the
// pieces go on in the first one's <html>.
TEST(ReadersHtml, PagesInPieces) {
    const auto letters = [](const brennic::readers::html::Layout& layout) {
        std::string out;
        for (const auto& block : layout.blocks)
            for (char c : block.text)
                if (c != ' ' && c != '\n') out += c;
        return out;
    };
    const std::string cjk = "\xE4\xB8\xAD\xE6\x96\x87\xEF\xBC\x8C";
    std::string unspaced;
    for (int i = 0; i < 60; ++i) unspaced += cjk;
    const std::string pages[] = {
        page("<h1>Title</h1>" + article + "<ul><li>one</li><li>two</li></ul>" + article),
        page(p1 + " " + p2 + " " + p3),
        page("<p>" + unspaced + "</p>"),
    };
    for (const std::string& html : pages) {
        const auto whole = brennic::readers::html::lay_out(html);
        for (std::size_t piece : {1, 7, 64, 200}) {
            const auto pieces = brennic::readers::html::lay_out(html, piece);
            EXPECT_EQ(letters(pieces), letters(whole)) << html << " in pieces of " << piece;
            for (const auto& block : pieces.blocks) EXPECT_TRUE(brennic::is_valid_utf8(block.text));
            const auto roots = std::count_if(
                pieces.boxes.begin(), pieces.boxes.end(),
                [](const auto& b) { return b.parent == brennic::readers::html::no_box; });
            EXPECT_EQ(roots, 1) << html << " in pieces of " << piece;
            EXPECT_EQ(pieces.boxes.front().end, pieces.boxes.size());
            EXPECT_EQ(pieces.boxes.front().end_block, pieces.blocks.size());
        }
    }
}

}  // namespace
