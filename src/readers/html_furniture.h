// SPDX-License-Identifier: MIT
// Lines of a news page's furniture that sit inside the article's box and
// read like text: the slot of an advertisement, a gallery's counter, photo
// credits, prompts to follow or subscribe, the chrome of embedded posts,
// and the notes that close an article (who contributed, how to reach the
// writer, tags, comment counts, where it first appeared). Each is told by
// its own words and make, whatever the site.
#pragma once

#include <string_view>

namespace brennic::readers::html {

// Whether a block's text is furniture wherever it stands in the article:
// one of the kinds below.
bool furniture_line(std::string_view text);

// The slot of an advertisement or a sponsor, or a note that the story goes
// on past one ("Advertisement", "ADVERTISEMENT - SCROLL TO CONTINUE",
// "Sponsored", "Story continues below").
bool slot_label(std::string_view text);

// A gallery's counter ("1 of 6", "Photo 3 of 12", "2/10").
bool counter_line(std::string_view text);

// A photo credit on a line of its own ("Photo: Jane Roe", "Credit: NASA",
// "Jane Roe/Getty Images"). A caption that ends in a credit is not one:
// it tells what the picture shows.
bool credit_line(std::string_view text);

// A prompt to follow, share or sign up ("Follow us on Twitter", "Want
// more? Follow @gazette on Twitter", "Sign up for our daily newsletter",
// "Share this article", "分享到：").
bool prompt_line(std::string_view text);

// The chrome of an embedded post: a tweet's signature ("— Jane Roe
// (@janeroe) May 2, 2020"), a "pic.twitter.com/..." link alone, "View this post
// on Instagram", "A post shared by ...".
bool embed_chrome(std::string_view text);

// A blog engine's notice on its feeds and comments ("You can follow any
// responses to this entry through the RSS 2.0 feed.").
bool feed_notice(std::string_view text);

// A pager's line ("第1页/共1页 << 上一页 | 下一页 >>").
bool pager_line(std::string_view text);

// A Chinese byline: a reporter's names after 本报记者 ("our reporter"),
// 本报实习生, 本报通讯员 or 记者, with no punctuation of a sentence; pages
// set it under the headline, or at the end.
bool chinese_byline(std::string_view text);

// Whether a block's text is a note that closes an article, when it ends
// the main text: who contributed or edited ("Jane Roe contributed to this
// report.", "(Reporting by Jane Roe; Editing by John Doe)"), how to reach
// the writer ("Jane Roe can be reached at jroe@example.com"), tags and
// categories ("Tags: floods, bridges"), comment counts ("Comments (0)"),
// where it first appeared ("Originally published at ...") and "No related
// posts.".
bool closing_note(std::string_view text);

// Whether a line is a post's dateline that ends as a sentence does
// ("Posted on October 30, 2012, 7:23 am, by Jane Roe.").
bool posted_line(std::string_view text);

// Whether a line is a dateline of fields set apart by bars or bullets, of
// any length up to 200 characters ("Le Monde | 04.05.2015 à 13h36 • Mis à
// jour le 05.05.2015 | Par Jane Roe"), as pages set them before the text.
bool field_dateline(std::string_view text);

}  // namespace brennic::readers::html
