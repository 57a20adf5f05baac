// SPDX-License-Identifier: MIT
// Sentence boundaries found by talven::segment, grouped by the kind of
// difficulty, plus the invariants every output must keep.
#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "talven/segmenter.h"

namespace {

struct Case {
    const char* text;
    std::vector<std::string> sentences;
};

using Cases = std::vector<Case>;

// The non-white bytes of a text, in order.
std::string non_white(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (!talven::is_space(static_cast<unsigned char>(c))) out += c;
    }
    return out;
}

// What every segmentation must satisfy, whatever the boundaries.
void expect_well_formed(std::string_view text, const std::vector<std::string>& got) {
    std::string joined;
    for (const std::string& s : got) {
        ASSERT_FALSE(s.empty());
        EXPECT_FALSE(talven::is_space(static_cast<unsigned char>(s.front())));
        EXPECT_FALSE(talven::is_space(static_cast<unsigned char>(s.back())));
        for (std::size_t k = 0; k < s.size(); ++k) {
            unsigned char c = static_cast<unsigned char>(s[k]);
            if (talven::is_space(c)) {
                EXPECT_EQ(c, ' ') << "only single spaces inside a sentence";
                EXPECT_NE(s[k + 1], ' ') << "no runs of white space";
            }
        }
        joined += s;
    }
    EXPECT_EQ(non_white(joined), non_white(text)) << "bytes lost or added";
    std::string lines;
    for (const std::string& s : got) lines += s + "\n";
    EXPECT_EQ(talven::segment_lines(text), lines);
}

void check(const Cases& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> got = talven::segment(c.text);
        EXPECT_EQ(got, c.sentences);
        expect_well_formed(c.text, got);
    }
}

TEST(TalvenSegment, Terminators) {
    check({
        {"The door opened. A man walked in.", {"The door opened.", "A man walked in."}},
        {"Is it late? We should go.", {"Is it late?", "We should go."}},
        {"Stop! Thief!", {"Stop!", "Thief!"}},
        {"Really?! Yes, really.", {"Really?!", "Yes, really."}},
        {"No way!!! That cannot be true.", {"No way!!!", "That cannot be true."}},
        {"What?? Who said that?", {"What??", "Who said that?"}},
        {"There is no final stop here", {"There is no final stop here"}},
        {"One.Two stays together.", {"One.Two stays together."}},
        {"He shouted Stop! at the top of his voice.",
         {"He shouted Stop! at the top of his voice."}},
        {"She works at Yippee! in the city.", {"She works at Yippee! in the city."}},
        {"Run away!, she cried.", {"Run away!, she cried."}},
        {"x", {"x"}},
    });
}

TEST(TalvenSegment, QuotesAndBrackets) {
    check({
        {"He said, \"Come here.\" Then he left.", {"He said, \"Come here.\"", "Then he left."}},
        {"\"Come here,\" he said. She came.", {"\"Come here,\" he said.", "She came."}},
        {"'Why not?' she asked. Nobody knew.", {"'Why not?' she asked.", "Nobody knew."}},
        {"\xE2\x80\x9CIs it over?\xE2\x80\x9D Nobody answered.",
         {"\xE2\x80\x9CIs it over?\xE2\x80\x9D", "Nobody answered."}},
        {"\x93Is it over?\x94 Nobody answered.", {"\x93Is it over?\x94", "Nobody answered."}},
        // A closing quote before an ellipsis closes the quotation, as it
        // does before "...".
        {"\"Sonya!... Nicholas!\"... was all they said.",
         {"\"Sonya!... Nicholas!\"... was all they said."}},
        {"\u201cSonya!\u2026 Nicholas!\u201d\u2026 was all they said.",
         {"\u201cSonya!\u2026 Nicholas!\u201d\u2026 was all they said."}},
        {"\x93Sonya!\x85 Nicholas!\x94\x85 was all they said.",
         {"\x93Sonya!\x85 Nicholas!\x94\x85 was all they said."}},
        // Two sentences glued at a full stop come apart after a curly
        // apostrophe or opening quote as after a straight one.
        {"We said we don\u2019t.It rained all day.",
         {"We said we don\u2019t.", "It rained all day."}},
        {"He left at \u201cnoon.It rained.", {"He left at \u201cnoon.", "It rained."}},
        {"She wrote (in haste.) to him. He replied.",
         {"She wrote (in haste.) to him.", "He replied."}},
        {"They met at noon. (It rained all day.) Then they left.",
         {"They met at noon.", "(It rained all day.)", "Then they left."}},
        {"[A note in brackets.] Another sentence.", {"[A note in brackets.]", "Another sentence."}},
        {"He spoke (Smith was there. He heard it.) and left.",
         {"He spoke (Smith was there. He heard it.) and left."}},
        {"\"Stay. Do not move. Wait for me,\" she said.",
         {"\"Stay. Do not move. Wait for me,\" she said."}},
        {"'Stop there! Turn round!' called the guard. We turned.",
         {"'Stop there! Turn round!' called the guard.", "We turned."}},
        {"It was the 'sixties. Times changed. Did they?",
         {"It was the 'sixties.", "Times changed.", "Did they?"}},
        {"The boys' bikes were red. The girls' were blue.",
         {"The boys' bikes were red.", "The girls' were blue."}},
        {"\"We tried our best, but--\" Then the line went dead.",
         {"\"We tried our best, but--\"", "Then the line went dead."}},
        {"Then -- what a surprise! -- the lights went out.",
         {"Then -- what a surprise! -- the lights went out."}},
        {"Was it worth it? - Perhaps not.", {"Was it worth it?", "- Perhaps not."}},
        {"She starred in Who Cares? (The Party, 1962) and later in two more films.",
         {"She starred in Who Cares? (The Party, 1962) and later in two more films."}},
        {"Who cares? (Nobody does.) Then we left.",
         {"Who cares?", "(Nobody does.)", "Then we left."}},
        {"He was born in 1950 (age 74) Leeds, England.",
         {"He was born in 1950 (age 74) Leeds, England."}},
        {"It is all in the guide. (http://example.org/guide) Read it first.",
         {"It is all in the guide.", "(http://example.org/guide) Read it first."}},
        {"Ask the seller. eBay will not help. The shop uses wikiWords too.",
         {"Ask the seller.", "eBay will not help.", "The shop uses wikiWords too."}},
        {"Mix the paint. iPads are not allowed here.",
         {"Mix the paint.", "iPads are not allowed here."}},
        {"Mix the paint. pH tests come later.", {"Mix the paint. pH tests come later."}},
        {"Local bakery wins a prize Friday, March 3, 2023 The bakery on Hill Road won.",
         {"Local bakery wins a prize", "Friday, March 3, 2023", "The bakery on Hill Road won."}},
        {"We met on Friday, March 3, 2023 at the bakery.",
         {"We met on Friday, March 3, 2023 at the bakery."}},
        {"'Done!' said Tom, 'and not a minute late!' (He was an hour late.) We laughed.",
         {"'Done!' said Tom, 'and not a minute late!' (He was an hour late.)", "We laughed."}},
        {"\"We are home at last!\" (Nobody believed it.) \"Come in, all of you.\"",
         {"\"We are home at last!\"", "(Nobody believed it.)", "\"Come in, all of you.\""}},
    });
}

TEST(TalvenSegment, Abbreviations) {
    check({
        {"Mr. Brown met Mrs. Green and Dr. White.", {"Mr. Brown met Mrs. Green and Dr. White."}},
        {"Prof. Adams spoke. Ms. Lee replied.", {"Prof. Adams spoke.", "Ms. Lee replied."}},
        {"They went to St. Albans on Sunday.", {"They went to St. Albans on Sunday."}},
        {"Gen. Hale and Sen. Moss met Rep. Kay.", {"Gen. Hale and Sen. Moss met Rep. Kay."}},
        {"The Rev. Green preached.", {"The Rev. Green preached."}},
        {"Acme Inc. said profits rose.", {"Acme Inc. said profits rose."}},
        {"He works for Acme Inc. The firm is small.",
         {"He works for Acme Inc.", "The firm is small."}},
        {"She joined Brill Ltd. and stayed.", {"She joined Brill Ltd. and stayed."}},
        {"It went to Hart & Co. It closed later.", {"It went to Hart & Co.", "It closed later."}},
        {"Hart & Co. Holdings bought it.", {"Hart & Co. Holdings bought it."}},
        {"Apples, pears, etc. were sold.", {"Apples, pears, etc. were sold."}},
        {"Apples, pears, etc. Then came the rest.", {"Apples, pears, etc.", "Then came the rest."}},
        {"Bring fruit, e.g. apples or pears.", {"Bring fruit, e.g. apples or pears."}},
        {"Bring one, i.e. the red one.", {"Bring one, i.e. the red one."}},
        {"See e.g. Smith and Jones.", {"See e.g. Smith and Jones."}},
        {"Compare cf. Table 2 below.", {"Compare cf. Table 2 below."}},
        {"It was Reds vs. Blues.", {"It was Reds vs. Blues."}},
        {"We met at 9 a.m. and left at 5 p.m. on the day.",
         {"We met at 9 a.m. and left at 5 p.m. on the day."}},
        {"At 7 a.m. Mrs. Hale opened the shop. It closed at 6 p.m. Mrs. Hale went home.",
         {"At 7 a.m. Mrs. Hale opened the shop.", "It closed at 6 p.m.", "Mrs. Hale went home."}},
        {"The train left at 6 p.m. Nobody was on it.",
         {"The train left at 6 p.m.", "Nobody was on it."}},
        {"The shop opens at 8 A.M. Customers queue early.",
         {"The shop opens at 8 A.M.", "Customers queue early."}},
        {"The approx. cost was high.", {"The approx. cost was high."}},
        {"Hours: Mon. to Fri. only.", {"Hours: Mon. to Fri. only."}},
        {"Sam Hill Jr.'s car is new.", {"Sam Hill Jr.'s car is new."}},
        {"I saw a cat. Then it ran.", {"I saw a cat.", "Then it ran."}},
        {"I saw a cat. Peter saw it too.", {"I saw a cat.", "Peter saw it too."}},
        {"The road was long. We walked on.", {"The road was long.", "We walked on."}},
        {"It was a test. Everyone passed.", {"It was a test.", "Everyone passed."}},
        {"Look at the art. It is old.", {"Look at the art.", "It is old."}},
        {"He said no. Then he left.", {"He said no.", "Then he left."}},
        {"The symbol is min. The hour is h.", {"The symbol is min.", "The hour is h."}},
        {"Wait a min. or two.", {"Wait a min. or two."}},
        {"CARGO LINES INC. sold ships.", {"CARGO LINES INC. sold ships."}},
        {"It happened in Jan. The month was cold.", {"It happened in Jan.", "The month was cold."}},
        {"It ends on Dec. 31st this year.", {"It ends on Dec. 31st this year."}},
        {"What did you order btw., she asked.", {"What did you order btw., she asked."}},
    });
}

TEST(TalvenSegment, InitialsAndAcronyms) {
    check({
        {"The storm moved across the U.S. Thousands lost power.",
         {"The storm moved across the U.S.", "Thousands lost power."}},
        {"She joined the U.S. Navy in 1990.", {"She joined the U.S. Navy in 1990."}},
        {"The book is by J. R. R. Tolkien.", {"The book is by J. R. R. Tolkien."}},
        {"Written by H. G. Wells in 1895.", {"Written by H. G. Wells in 1895."}},
        {"Ask Anna B. Cole about it.", {"Ask Anna B. Cole about it."}},
        {"She lives in the U.S.A. now.", {"She lives in the U.S.A. now."}},
        {"He moved to the U.S.A. He likes it.", {"He moved to the U.S.A.", "He likes it."}},
        {"The U.S. Navy sailed. The U.K. Parliament met.",
         {"The U.S. Navy sailed.", "The U.K. Parliament met."}},
        {"She left the U.K. It was raining.", {"She left the U.K.", "It was raining."}},
        {"He holds a Ph.D. in physics.", {"He holds a Ph.D. in physics."}},
        {"He has Ph.D.-level skills.", {"He has Ph.D.-level skills."}},
        {"Send it to P.O. Box 12.", {"Send it to P.O. Box 12."}},
        {"Just you and I. Nobody else came.", {"Just you and I.", "Nobody else came."}},
        {"King Henry I. Tudor was not his name.", {"King Henry I. Tudor was not his name."}},
    });
}

TEST(TalvenSegment, NumbersAndCodes) {
    check({
        {"Pi is about 3.14 or so.", {"Pi is about 3.14 or so."}},
        {"It cost $1,000.50 in all.", {"It cost $1,000.50 in all."}},
        {"He wears No. 5 on his shirt.", {"He wears No. 5 on his shirt."}},
        {"Install v1.2.3 first.", {"Install v1.2.3 first."}},
        {"See p. 42 and pp. 50-52.", {"See p. 42 and pp. 50-52."}},
        {"As shown in Fig. 3 the curve rises.", {"As shown in Fig. 3 the curve rises."}},
        {"The meeting is at 10.30 today.", {"The meeting is at 10.30 today."}},
        {"Read vol. 2 first.", {"Read vol. 2 first."}},
        {"Look at Fig. 4. It shows the trend.", {"Look at Fig. 4.", "It shows the trend."}},
        {"Turn to p. 12. The map is there.", {"Turn to p. 12.", "The map is there."}},
        {"It is at N\xC2\xB0. 12.4.5. Go there.", {"It is at N\xC2\xB0. 12.4.5.", "Go there."}},
        {"I counted 600. How many did you count?", {"I counted 600.", "How many did you count?"}},
        {"The date was 4.7.2021. Then it rained.", {"The date was 4.7.2021.", "Then it rained."}},
        {"It cost $9.99. We bought two.", {"It cost $9.99.", "We bought two."}},
        {"Read items 1. and 2. first.", {"Read items 1. and 2. first."}},
        {"The code is XB-40. It expires soon.", {"The code is XB-40.", "It expires soon."}},
        {"Growth was 5%. Costs fell.", {"Growth was 5%.", "Costs fell."}},
        {"It was built in 1890. 200 people came.", {"It was built in 1890.", "200 people came."}},
    });
}

TEST(TalvenSegment, Addresses) {
    check({
        {"Visit www.example.com for more.", {"Visit www.example.com for more."}},
        {"Visit www.example.com. It is free.", {"Visit www.example.com.", "It is free."}},
        {"Go to https://example.org/a.b?c=1 now.", {"Go to https://example.org/a.b?c=1 now."}},
        {"Mail jane.doe@mail.example.com today.", {"Mail jane.doe@mail.example.com today."}},
        {"Mail jane.doe@example.com. She answers.", {"Mail jane.doe@example.com.", "She answers."}},
        {"Open readme.txt first.", {"Open readme.txt first."}},
        {"Files come as .zip archives. They are small.",
         {"Files come as .zip archives.", "They are small."}},
    });
}

// A sentence end with no white space after it: the line break is added and
// nothing is lost. Addresses, file names, versions, numbers, dotted names
// and initials hold the same pattern and are never cut.
TEST(TalvenSegment, NoSpaceBetweenSentences) {
    check({
        {"The ferry left at noon.It reached the island an hour later.Mrs. Hale paid "
         "2,000.The crowd cheered.",
         {"The ferry left at noon.", "It reached the island an hour later.",
          "Mrs. Hale paid 2,000.", "The crowd cheered."}},
        {"Sales rose 5%.Then they fell.", {"Sales rose 5%.", "Then they fell."}},
        {"Is it late?We should go.", {"Is it late?", "We should go."}},
        {"He left (at noon.It rained.)", {"He left (at noon.It rained.)"}},
        {"She said \"noon.It was late\" and left.", {"She said \"noon.It was late\" and left."}},
        {"Ask mr.Smith about it.", {"Ask mr.Smith about it."}},
        {"Go to www.testurl.Awesome.com or http://testurl.Awesome.com now.",
         {"Go to www.testurl.Awesome.com or http://testurl.Awesome.com now."}},
        {"Mail jane.Doe@example.com today.", {"Mail jane.Doe@example.com today."}},
        {"It runs on example.com and opens report.PDF first.",
         {"It runs on example.com and opens report.PDF first."}},
        {"Install v1.2 and read chapter 3.14 tonight.",
         {"Install v1.2 and read chapter 3.14 tonight."}},
        {"We use Node.js and ASP.NET at work.", {"We use Node.js and ASP.NET at work."}},
        {"The book is by J.R.R. Tolkien of the U.S.A. and J.Smith.",
         {"The book is by J.R.R. Tolkien of the U.S.A. and J.Smith."}},
        {"One.Two stays together.", {"One.Two stays together."}},
        {"Today is Tuesday.Mr. Smith came by.", {"Today is Tuesday.", "Mr. Smith came by."}},
    });
}

// A word of the abbreviation list in capitals is an acronym before a
// capitalised word; in mixed or lower case, or before a number or a word
// in capitals, it stays an abbreviation. Titles stay titles.
TEST(TalvenSegment, AcronymsInCapitals) {
    check({
        {"The merger was cleared by the SEC. Shares rose.",
         {"The merger was cleared by the SEC.", "Shares rose."}},
        {"The plan was backed by the DOT. Critics objected.",
         {"The plan was backed by the DOT.", "Critics objected."}},
        {"It was filed in CA. A judge agreed.", {"It was filed in CA.", "A judge agreed."}},
        {"See sec. 4 and No. 5 of the Sec. Rules.", {"See sec. 4 and No. 5 of the Sec. Rules."}},
        {"SEC. 1262 AUTHORIZATION OF APPROPRIATIONS.",
         {"SEC. 1262 AUTHORIZATION OF APPROPRIATIONS."}},
        {"CARGO LINES INC. HOLDINGS sold ships.", {"CARGO LINES INC. HOLDINGS sold ships."}},
        {"He met DR. Smith there.", {"He met DR. Smith there."}},
    });
}

// A long quotation is cut between two statements of four words or more,
// the second ending in a full stop, or in a comma where the narration goes
// on; exclamations, questions, broken-off speech and short remarks are kept
// whole.
TEST(TalvenSegment, StatementsInLongQuotations) {
    check({
        {"He said, \"This was a very difficult decision for us. In the end, these choices "
         "serve the most people.\"",
         {"He said, \"This was a very difficult decision for us.",
          "In the end, these choices serve the most people.\""}},
        {"\"Six shells of them fell near the posts. Other shells fell near the roads\", said "
         "the agency.",
         {"\"Six shells of them fell near the posts.",
          "Other shells fell near the roads\", said the agency."}},
        {"\"It's Warhol. He is a legend.\"", {"\"It's Warhol. He is a legend.\""}},
        {"\"I hope they'll remember her saucer of milk. Dinah, my dear, I wish you were here!\"",
         {"\"I hope they'll remember her saucer of milk. Dinah, my dear, I wish you were here!\""}},
        {"\"We should all have our heads cut off, you know. So you see, Miss, we're doing our "
         "best, to--\" Then she stopped.",
         {"\"We should all have our heads cut off, you know. So you see, Miss, we're doing our "
          "best, to--\"",
          "Then she stopped."}},
        {"\"It has access for U.S. visitors today. The rest of it is closed to all.\"",
         {"\"It has access for U.S. visitors today.", "The rest of it is closed to all.\""}},
        {"\"I'm deeply disappointed with the misguided decision.\xE2\x80\x9C However, the "
         "seats stay.",
         {"\"I'm deeply disappointed with the misguided decision.\xE2\x80\x9C",
          "However, the seats stay."}},
    });
}

TEST(TalvenSegment, Ellipses) {
    check({
        {"Well... I suppose so.", {"Well... I suppose so."}},
        {"He paused... and went on.", {"He paused... and went on."}},
        {"It faded away... The next day was bright.",
         {"It faded away...", "The next day was bright."}},
        {"It faded away\xE2\x80\xA6 The next day was bright.",
         {"It faded away\xE2\x80\xA6", "The next day was bright."}},
        {"It faded away\x85 The next day was bright.",
         {"It faded away\x85", "The next day was bright."}},
        {"I never said that.... She left.", {"I never said that....", "She left."}},
        {"He was . . . tired.", {"He was . . . tired."}},
        {"It ended there. . . . The rest was lost. . . .",
         {"It ended there.", ". . . The rest was lost. . . ."}},
        {"Then he stopped . . . . Nobody spoke.", {"Then he stopped . . . .", "Nobody spoke."}},
        {"He quoted \"the [...] plan\" again.", {"He quoted \"the [...] plan\" again."}},
        {"Wait\xE2\x80\xA6 what?", {"Wait\xE2\x80\xA6 what?"}},
        // 0x85 ends the UTF-8 letter here; it is no cp1252 ellipsis.
        {"They wrote robi\xC4\x85 Then left.", {"They wrote robi\xC4\x85 Then left."}},
    });
}

// A run of terminators alone at the start of a line after a word ending in
// a letter or a digit closes that word's sentence and is written right
// after it; nothing else loses its white space.
TEST(TalvenSegment, DetachedTerminators) {
    check({
        {"Contact us for pricing\n.\n\n\nPricing Info\n",
         {"Contact us for pricing.", "Pricing Info"}},
        {"Contact us for pricing\n. Pricing Info", {"Contact us for pricing.", "Pricing Info"}},
        {"He waited\r\n...\r\nThen she came.", {"He waited...", "Then she came."}},
        {"Is it late\n?!\nYes.", {"Is it late?!", "Yes."}},
        {"It was 1990\n\xE2\x80\xA6", {"It was 1990\xE2\x80\xA6"}},
        {"Contact us for pricing . Pricing Info", {"Contact us for pricing .", "Pricing Info"}},
        {"It was there\n\n.\nNext", {"It was there", ". Next"}},
        {"The list ends here:\n.\nNext", {"The list ends here: .", "Next"}},
        {"that\n... perhaps ... some day", {"that ... perhaps ... some day"}},
    });
}

// "In", "We", "They", "She" and "There" capitalised in the middle of a line,
// after a word with no final punctuation and before a word in lower case,
// open a sentence; title case, other capitalised words, line starts,
// brackets and quotations are left alone.
TEST(TalvenSegment, RunInOpeners) {
    check({
        {"The most votes went to the harbour ward In the north ward the count was late.",
         {"The most votes went to the harbour ward", "In the north ward the count was late."}},
        {"Hale Smith of FBP In the Velport race, she won.",
         {"Hale Smith of FBP", "In the Velport race, she won."}},
        {"The site grows better and larger We now have 5000 pages.",
         {"The site grows better and larger", "We now have 5000 pages."}},
        {"The ferry ran late 2023 They said so.", {"The ferry ran late 2023", "They said so."}},
        {"We watched Lost In The Dark twice.", {"We watched Lost In The Dark twice."}},
        {"He said, In the end it works.", {"He said, In the end it works."}},
        {"It was the largest vote\nIn the new year too.",
         {"It was the largest vote In the new year too."}},
        {"The vote (a seat In the west) was close.", {"The vote (a seat In the west) was close."}},
        {"He wrote \"the vote In the west\" twice.", {"He wrote \"the vote In the west\" twice."}},
        {"when churchyards yawn He knew it.", {"when churchyards yawn He knew it."}},
    });
}

TEST(TalvenSegment, ListsHeadingsAndLines) {
    check({
        {"Shopping\n\nWe need bread.", {"Shopping", "We need bread."}},
        {"First part\n\nSecond part", {"First part", "Second part"}},
        {"A line that is wrapped\nin the middle of a sentence.",
         {"A line that is wrapped in the middle of a sentence."}},
        {"We went up the\nHill of Tara that day.", {"We went up the Hill of Tara that day."}},
        {"- eggs\n- milk\n- flour", {"- eggs", "- milk", "- flour"}},
        {"* Red\n* Green", {"* Red", "* Green"}},
        {"\xE2\x80\xA2 one item \xE2\x80\xA2 another item",
         {"\xE2\x80\xA2 one item", "\xE2\x80\xA2 another item"}},
        {"1. Buy bread\n2. Bake a cake", {"1. Buy bread", "2. Bake a cake"}},
        {"1. Buy bread 2. Bake a cake 3. Eat it", {"1. Buy bread", "2. Bake a cake", "3. Eat it"}},
        {"(a) The first (b) The second", {"(a) The first", "(b) The second"}},
        {"a) red b) green c) blue", {"a) red", "b) green", "c) blue"}},
        {"(i) One point.\n(ii) Another point.", {"(i) One point.", "(ii) Another point."}},
        {"Done. a. first b. second", {"Done.", "a. first", "b. second"}},
        {"Annual Report\nSales rose this year.", {"Annual Report", "Sales rose this year."}},
        {"The Old Mill\n(Built in 1820)\nIt still works.",
         {"The Old Mill", "(Built in 1820)", "It still works."}},
        {"Paragraph one ends here.\r\n\r\nParagraph two.",
         {"Paragraph one ends here.", "Paragraph two."}},
        {"Old Mac line.\rNext line.", {"Old Mac line.", "Next line."}},
        {"Page one\fPage two", {"Page one", "Page two"}},
        {"The table (see\n3) is wrong.", {"The table (see 3) is wrong."}},
        {"A note.[1] The next one.[2][3] Last.", {"A note.[1]", "The next one.[2][3]", "Last."}},
        {"Rain fell on the hills.4 5 The rivers rose.",
         {"Rain fell on the hills.4 5", "The rivers rose."}},
        {"Rain fell on the hills.4 5 rivers rose.", {"Rain fell on the hills.4 5 rivers rose."}},
        {"Close the gate\xEF\xBC\x8E"
         "Feed the dog\xEF\xBC\x8E",
         {"Close the gate\xEF\xBC\x8E", "Feed the dog\xEF\xBC\x8E"}},
        {"It ends\xE3\x80\x82"
         "then goes on\xE3\x80\x82",
         {"It ends\xE3\x80\x82"
          "then goes on\xE3\x80\x82"}},
        {"A note. [4] The next one.", {"A note. [4]", "The next one."}},
        {"It was large (1990).2 Later it shrank.", {"It was large (1990).2", "Later it shrank."}},
        {"Step 1. above is optional.", {"Step 1. above is optional."}},
        {"We sell bread. home\nprices and hours\nfind us, contact\nOpen every day.",
         {"We sell bread.", "home", "prices and hours", "find us, contact", "Open every day."}},
        {"Sales went up\nin the north.", {"Sales went up in the north."}},
        {"They sold the old\nhouse. it was sad\nfor them.",
         {"They sold the old house. it was sad for them."}},
        {"The board (a) sells the ship, (b) raises fares, and\n(c) keeps the crew.",
         {"The board (a) sells the ship, (b) raises fares, and (c) keeps the crew."}},
        {"The board decided:\n(a) sell the ship.\n(b) raise fares.",
         {"The board decided:", "(a) sell the ship.", "(b) raise fares."}},
    });
}

TEST(TalvenSegment, WhiteSpaceAndBytes) {
    check({
        {"", {}},
        {" \t\r\n\f\v ", {}},
        {"  Spaced   out\t\twords.  ", {"Spaced out words."}},
        {"Keep\xC2\xA0no-break spaces.", {"Keep\xC2\xA0no-break spaces."}},
        {"Latin-1\xA0space stays.", {"Latin-1\xA0space stays."}},
        {"Caf\xE9 is open. \xC9t\xE9 comes.", {"Caf\xE9 is open.", "\xC9t\xE9 comes."}},
        {"Il fait beau. \xC3\x89t\xC3\xA9 vient.", {"Il fait beau.", "\xC3\x89t\xC3\xA9 vient."}},
    });
}

TEST(TalvenSegment, NulBytesAreOrdinary) {
    const std::string text("One\0two. Three\0four.", 20);
    std::vector<std::string> got = talven::segment(text);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], std::string("One\0two.", 8));
    EXPECT_EQ(got[1], std::string("Three\0four.", 11));
    expect_well_formed(text, got);
}

// Random byte strings drawn mostly from the bytes the rules look at.
TEST(TalvenSegment, RandomBytesLoseNothing) {
    const std::string alphabet = std::string("aZ .!?\"'()[]\n\r\t\f\v-*1.", 22) +
                                 std::string("\0\xFF\x85\x93\x94\xE2\x80\xA6\x9C\x9D\xC3\xA0", 13);
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 120);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        std::size_t n = length(rng);
        for (std::size_t k = 0; k < n; ++k) text += alphabet[pick(rng)];
        SCOPED_TRACE(round);
        expect_well_formed(text, talven::segment(text));
        if (HasFailure()) break;
    }
}

TEST(TalvenSegment, RandomWordsLoseNothing) {
    const std::vector<std::string> pieces = {
        "Mr.", "U.S.",    "the",   "The",          "cat.", "e.g.",       "3.5",  "1.",   "(a)",
        "a)",  "\"Hi!\"", "'Oh?'", "...",          ".",    "-",          "\n",   "\n\n", "   ",
        "I.",  "p.m.",    "[1]",   "\xE2\x80\xA2", "Co.",  "www.x.org.", "\x85", "--\"", "?",
    };
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int k = 0; k < 30; ++k) text += pieces[pick(rng)] + (k % 3 ? " " : "");
        SCOPED_TRACE(text);
        expect_well_formed(text, talven::segment(text));
        if (HasFailure()) break;
    }
}

// Long texts are segmented a group of paragraphs at a time; wherever the
// groups are cut, the sentences are those of the whole text at once.
TEST(TalvenSegment, ParagraphGroupsGiveTheWholeTextsSentences) {
    const std::vector<std::string> pieces = {
        "Mr. Smith arrived at 5 p.m. on Monday.",
        "\"Why?\" she asked. Nobody answered.",
        "The U.S. Army left.",
        "It cost $3.50 (see p. 42).",
        "Steps:\n1. Open the box.\n2. Take the lid off.\n3. Look inside.",
        "(a) the first case; (b) the second case.",
        "Chapter One",
        "He waited... and waited.",
        "- a dash item\n- another item",
        "Wait!!! What was that?",
        "\n\n",
        "\r\n\r\n",
        "\f",
        "\n",
    };
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int k = 0; k < 60; ++k) text += pieces[pick(rng)] + " ";
        const std::string whole = talven::segment_lines(text, std::string::npos);
        for (std::size_t chunk :
             {std::size_t{0}, std::size_t{1}, std::size_t{37}, std::size_t{400}}) {
            ASSERT_EQ(talven::segment_lines(text, chunk), whole) << chunk << "\n" << text;
        }
    }
}

// A long text must take time in proportion to its length: an unmatched
// quote or bracket at every other word is the worst case for the rules that
// look ahead.
TEST(TalvenSegment, LongInputsStayLinear) {
    std::string text;
    for (int k = 0; k < 200000; ++k) text += (k % 2) ? "\"open (word. " : "Next 'one? ";
    expect_well_formed(text, talven::segment(text));
    for (const char* unit : {"]", "[", "(", "\"", ".", "'", "\xE2\x80\xA6", "a)"}) {
        std::string word;
        while (word.size() < 1000000) word += unit;
        const std::string one_word = "Start. " + word + " End.";
        expect_well_formed(one_word, talven::segment(one_word));
    }
}

// The word table keeps lengths up to 2 MB; longer words are measured again
// from the text: before a glued word (after a full-width stop, or a
// sentence end with no space after it), before white space and at the end.
TEST(TalvenSegment, WordsOfSeveralMegabytes) {
    const std::string x(3000000, 'x');
    const std::string y(3000000, 'y');
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"It rained. " + x + "\xEF\xBC\x8ENext one.",
         {"It rained. " + x + "\xEF\xBC\x8E", "Next one."}},
        {"Start. " + x + ".It was late. " + y + "!  \n\t ",
         {"Start. " + x + ".", "It was late. " + y + "!"}},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const std::vector<std::string> got = talven::segment(cases[k].first);
        EXPECT_TRUE(got == cases[k].second) << "case " << k;  // no megabytes in the log
        expect_well_formed(cases[k].first, got);
    }
}

}  // namespace
