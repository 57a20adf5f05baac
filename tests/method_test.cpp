// SPDX-License-Identifier: MIT
// The methods of scoring and choosing: their names, the centrality method's
// choices on small texts, where it finds headings and paragraphs, and the
// option on brennic's command line.
#include <brennic/brennic.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "brennic/centrality.h"
#include "test_support.h"

namespace brennic {
namespace {

const std::string kNews =
    "Storm closes Kelby harbour\n\n"
    "A storm closed the harbour of Kelby on Monday, and every ferry stayed in port. "
    "The harbour master said the storm would pass by Wednesday. "
    "A bakery in the square sold out of bread.\n\n"
    "Fishermen in Kelby said the storm was the worst in ten years. "
    "The ferries will sail again once the harbour opens.\n";
const std::string kLead =
    "A storm closed the harbour of Kelby on Monday, and every ferry stayed in port.";
const std::string kRepeat =
    "The old mill by the river burned down last night. "
    "The old mill by the river burned down last night, the police said. "
    "Nobody was hurt, and firemen saved the bakery next door. "
    "The mill had stood by the river for two hundred years.";
// Unrelated sentences that make two sentences a short extract.
const std::string kTown =
    " Kelby has two bakeries. The square holds a market on Fridays. Rain is expected on "
    "Sunday. The school opens at eight. A new road will be built next year. The bus to the "
    "coast leaves at noon.";

// The opening says little; a later sentence holds the words the text keeps
// coming back to.
const std::string kCouncil =
    "Kelby council met on Monday evening about the crews. "
    "Several members arrived late because of the rain. "
    "The ferry fares, the ferry timetable and the ferry crews were the council's worry, "
    "since the ferry carries most of Kelby's trade. "
    "A new library opens in spring. "
    "Ferry crews asked the council for a ferry timetable that keeps the ferry running in "
    "winter.\n";
const std::string kFerry =
    "The ferry fares, the ferry timetable and the ferry crews were the council's worry, "
    "since the ferry carries most of Kelby's trade.";

// A short sentence that says more, and a longer one that fills the words
// left over: the storm sentence when it alone fits beside the opening.
const std::string kFill =
    "A storm closed the harbour of Kelby on Monday, and every ferry stayed in port. "
    "Kelby fishermen feared the storm. "
    "Teachers at the village school asked parents for help with the fair. "
    "The council will pave the long road to the coast with stones from the quarry next year. "
    "A bakery in the square sold out of bread by noon on Saturday, its owner said. "
    "The ferry crews waited in the harbour office until the port opened again on Wednesday. "
    "Two families moved into the empty farmhouse on the hill above the river last winter.\n";

Options centrality(float rate) {
    Options o;
    o.method = "centrality";
    o.compression_rate = rate;
    return o;
}

TEST(Methods, NamesTheDefaultFirst) {
    EXPECT_EQ(methods(), (std::vector<std::string>{"frequency", "centrality"}));
    EXPECT_EQ(Options().method, "frequency");
}

TEST(Methods, AnUnknownNameFails) {
    Options o;
    o.method = "lead";
    try {
        summarize(kNews, o);
        ADD_FAILURE() << "no error for an unknown method";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "unknown method 'lead': give one of frequency, centrality");
    }
}

TEST(Centrality, Chooses) {
    struct Row {
        const char* name;
        std::string text;
        Options options;
        std::vector<std::string> extract;
    };
    Options query = centrality(-1.0f);
    query.query = "bread from the bakery";
    Options two = centrality(0.0f);
    two.max_sentences = 2;
    const std::string kLeadOfFill = kFill.substr(0, kFill.find('.') + 1);
    const Row rows[] = {
        {"the lead, never the headline", kNews, centrality(15.0f), {kLead}},
        {"the query's sentence alone", kNews, query, {"A bakery in the square sold out of bread."}},
        {"a short extract passes over a repeat",
         kRepeat + kTown,
         two,
         {"The old mill by the river burned down last night.",
          "The mill had stood by the river for two hundred years."}},
        {"a long one passes over only what says nothing new",
         kRepeat,
         two,
         {"The old mill by the river burned down last night.",
          "The old mill by the river burned down last night, the police said."}},
        {"a short extract: the opening",
         kCouncil,
         centrality(0.85f),
         {"Kelby council met on Monday evening about the crews."}},
        {"a long one: what the text keeps saying", kCouncil, centrality(0.6f), {kFerry}},
        {"the vell sentence alone: as short as can be",
         kCouncil,
         centrality(-1.0f),
         {"Kelby council met on Monday evening about the crews."}},
        {"26 words: the storm sentence beside the opening",
         kFill,
         centrality(26.0f),
         {kLeadOfFill, "Kelby fishermen feared the storm."}},
        {"27 words: the longer sentence that fills them",
         kFill,
         centrality(27.0f),
         {kLeadOfFill, "Teachers at the village school asked parents for help with the fair."}},
        {"a line alone is still a text", "Hello world\n", centrality(0.7f), {"Hello world"}},
        {"nothing to choose from", " \n\n", centrality(0.7f), {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(summarize(row.text, row.options).sentences, row.extract) << row.name;
    }
}

TEST(Centrality, ReportsWhatTheScoreIsMadeOf) {
    Options o = centrality(0.5f);
    o.diagnostics = true;
    o.title = "Bread and a bakery";
    const Summary s = summarize(kNews, o);
    const Diagnostics& d = *s.diagnostics;
    EXPECT_EQ(d.method, "centrality");
    ASSERT_EQ(d.sentences.size(), 6u);
    for (const SentenceReport& r : d.sentences) {
        ASSERT_TRUE(r.parts) << r.text;
        const ScoreParts& p = *r.parts;
        EXPECT_EQ(p.heading, r.segment == 0) << r.text;
        EXPECT_EQ(p.title > 0.0f, r.text.find("bakery") != std::string::npos) << r.text;
        if (p.heading) { EXPECT_EQ(p.frequency, 0.0f) << r.text; }
        for (float part : {p.position, p.centrality, p.frequency, p.title, p.query, p.redundancy}) {
            EXPECT_GE(part, 0.0f) << r.text;
            EXPECT_LE(part, 1.0f) << r.text;
        }
    }
    EXPECT_FLOAT_EQ(d.sentences[1].parts->position, 1.0f);
    // The opening holds the commonest words (storm, harbour, Kelby, ferry).
    EXPECT_FLOAT_EQ(d.sentences[1].parts->frequency, 1.0f);
    EXPECT_TRUE(d.sentences[1].vell);
    o.method = "frequency";
    const Summary f = summarize(kNews, o);
    EXPECT_EQ(f.diagnostics->method, "frequency");
    EXPECT_FALSE(f.diagnostics->sentences[1].parts);
}

TEST(Centrality, ALongExtractFavoursTheOpeningAlone) {
    // The position part of the second sentence (after the headline), from
    // least to most: short, between (about a third of the words) and long
    // extracts.
    struct Row {
        float rate;
        float least;
        float most;
    };
    const float near = 1.0f / std::pow(2.0f, 0.18f);
    const Row rows[] = {{0.85f, near, near}, {0.62f, 0.1f, near - 0.1f}, {0.5f, 0.0f, 0.0f}};
    for (const Row& row : rows) {
        Options o = centrality(row.rate);
        o.diagnostics = true;
        const Summary s = summarize(kNews, o);
        EXPECT_FLOAT_EQ(s.diagnostics->sentences[1].parts->position, 1.0f) << row.rate;
        const float position = s.diagnostics->sentences[2].parts->position;
        EXPECT_GE(position, row.least - 1e-5f) << row.rate;
        EXPECT_LE(position, row.most + 1e-5f) << row.rate;
    }
}

TEST(Centrality, TakesADocumentsTitle) {
    Options o = centrality(0.5f);
    o.diagnostics = true;
    o.input = Input::markdown;
    const std::string page =
        "---\ntitle: Bread prices\n---\n\nA storm closed the harbour. "
        "The bakery raised its bread prices.\n";
    const Summary s = summarize(page, o);
    ASSERT_EQ(s.diagnostics->sentences.size(), 2u);
    EXPECT_EQ(s.diagnostics->sentences[0].parts->title, 0.0f);
    EXPECT_GT(s.diagnostics->sentences[1].parts->title, 0.0f);
}

TEST(Centrality, FindsHeadingsAndParagraphs) {
    struct Row {
        const char* name;
        std::string text;
        std::string heading;    // per sentence, 'h' for a heading
        std::string paragraph;  // per sentence, 'p' for a paragraph's first
    };
    const Row rows[] = {
        {"title, blank lines", "Title\n\nOne. Two.\n\nThree.", "h---", "pp-p"},
        {"section heading", "One. Two.\n\nHistory\n\nThree. Four.", "--h--", "p-pp-"},
        {"lines without blank lines", "One. Two.\nThree.\nFour", "---h", "p-pp"},
        {"a long line without a stop",
         "One two three four five six seven eight nine ten eleven "
         "twelve thirteen fourteen fifteen sixteen seventeen "
         "eighteen nineteen twenty twenty-one\n\nTwo.",
         "--", "pp"},
        {"a quotation ends a line", "He said: \"Go.\"\n\nGone.", "--", "pp"},
        {"a headline ends in a quotation", "Mayor 'never asked'\n\nGone.", "h-", "pp"},
        {"a bracket closes a stop", "(Gone.)\n\nBack.", "--", "pp"},
    };
    for (const Row& row : rows) {
        const std::vector<std::string> sentences = segment(row.text);
        std::vector<SentencePlace> places;
        add_places(places, row.text, sentences, segment_spans(row.text), 0);
        std::string heading;
        std::string paragraph;
        for (const SentencePlace& p : places) {
            heading += p.heading ? 'h' : '-';
            paragraph += p.paragraph_start ? 'p' : '-';
        }
        EXPECT_EQ(heading, row.heading) << row.name;
        EXPECT_EQ(paragraph, row.paragraph) << row.name;
    }
}

TEST(Centrality, SetsAHeadlineApartFromTheSentenceItRanInto) {
    struct Row {
        const char* name;
        std::string text;
        std::vector<std::string> sentences;
    };
    const std::string body =
        "A storm closed the harbour of Kelby on Monday, and every ferry stayed in port.";
    const std::string wrapped =
        "A storm closed the harbour of Kelby on Monday, and every\n"
        "ferry stayed in port. The harbour master said the storm would\n"
        "pass by Wednesday.\n";
    const std::string wrapped_upper =
        "The harbour master of Kelby said on Monday that the storm\n"
        "Kelby had feared for weeks would pass by Wednesday, and\n"
        "that the ferries would sail again on Thursday morning.\n";
    const Row rows[] = {
        {"headline, a sentence a line",
         "Storm closes Kelby harbour\n" + body + "\nIt rained.\n",
         {"Storm closes Kelby harbour", body, "It rained."}},
        {"after blank lines",
         "\n\n  Storm closes Kelby harbour\r\n" + body + "\n",
         {"Storm closes Kelby harbour", body}},
        {"already apart",
         "Storm closes Kelby harbour\n\n" + body + "\n",
         {"Storm closes Kelby harbour", body}},
        {"a wrapped sentence", wrapped, segment(wrapped)},
        {"wrapped, going on in upper case", wrapped_upper, segment(wrapped_upper)},
        {"goes on in lower case",
         "Storm closes the harbour\nof Kelby on Monday.\n",
         {"Storm closes the harbour of Kelby on Monday."}},
        {"ends with a stop", "Storm closes harbour.\n" + body + "\n",
         segment("Storm closes harbour.\n" + body + "\n")},
        {"one line", "Storm closes Kelby harbour", {"Storm closes Kelby harbour"}},
        {"long beside a whole sentence",
         "Storm closes the harbour of Kelby for three days\nKelby harbour closed for three days "
         "after the storm.\n",
         {"Storm closes the harbour of Kelby for three days",
          "Kelby harbour closed for three days after the storm."}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> sentences = segment(row.text);
        set_headline_apart(row.text, sentences);
        EXPECT_EQ(sentences, row.sentences) << row.name;
    }
    // The extract holds the first sentence without the headline.
    const Summary s =
        summarize("Storm closes Kelby harbour\n" + body + "\n" + kTown, centrality(0.7f));
    ASSERT_FALSE(s.sentences.empty());
    EXPECT_EQ(s.sentences.front(), body);
}

TEST(Centrality, OnTheCommandLine) {
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out;  // standard output, or a part of standard error
    };
    const Row rows[] = {
        {{"--method=centrality", "--words=15"}, 0, kLead + "\n"},
        {{"--method", "frequency", "--words=15"}, 0, ""},
        {{"--method=lead"}, 2, "unknown method 'lead': give one of frequency, centrality"},
        {{"--method=centrality", "--mean"}, 2, "--mean goes with --method frequency"},
        {{"--title=Storm"}, 2, "--title goes with a method that reads titles"},
    };
    test_support::TempDir dir;
    dir.write("news.txt", kNews);
    const test_support::ProcessResult plain =
        test_support::run_process({BATCH_EXE, "--words=15", "news.txt"}, dir.path().string());
    for (const Row& row : rows) {
        std::vector<std::string> argv = {BATCH_EXE};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        argv.push_back("news.txt");
        const test_support::ProcessResult r = test_support::run_process(argv, dir.path().string());
        EXPECT_EQ(r.status, row.status) << row.args[0] << r.err;
        if (row.status != 0) {
            EXPECT_NE(r.err.find(row.out), std::string::npos) << r.err;
        } else {
            // frequency is what brennic does without --method.
            EXPECT_EQ(r.out, row.out.empty() ? plain.out : row.out) << row.args[0];
        }
    }
}

}  // namespace
}  // namespace brennic
