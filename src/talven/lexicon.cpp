// SPDX-License-Identifier: MIT
#include "talven/lexicon.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "languages/language_res.h"

namespace talven {
namespace {

// Titles and prefixes that are followed by a name. A full stop after them
// is not taken as a sentence end.
constexpr std::string_view title_words[] = {
    "mr",   "mrs",  "ms",  "mx",   "dr",  "drs", "prof",   "profs", "st",   "mt",    "ft",
    "gen",  "sen",  "rep", "reps", "rev", "gov", "capt",   "col",   "lt",   "maj",   "adm",
    "cmdr", "cdr",  "sgt", "cpl",  "pvt", "hon", "messrs", "mme",   "mlle", "mssrs", "pres",
    "supt", "insp", "det", "fr",   "br",  "rt",  "lieut",  "brig",  "atty", "gens",  "ps",
};

// Prefixes that are followed by a number: "vol. 2", "sec. 4". Nor is a
// full stop after them a sentence end, unless they are written in capitals
// before a capitalised word, where they are acronyms ("the SEC. Shares").
constexpr std::string_view reference_words[] = {
    "pp",   "vol", "vols", "nos", "figs", "ch", "chs", "sec", "secs",
    "sect", "eq",  "eqs",  "op",  "ca",   "nr", "rs",  "tel",
};

// Abbreviations that always continue the sentence.
constexpr std::string_view joining_words[] = {
    "e.g", "i.e", "cf", "viz", "vs", "f.e", "approx", "esp", "incl", "ibid", "et",
};

constexpr std::string_view time_words[] = {"a.m", "p.m"};

// Entries of the abbreviation list that are also everyday English words
// ("a cat.", "too long."), plus "etc", which mostly ends a sentence. Before
// a capitalised word their full stop is a sentence end.
constexpr std::string_view everyday_words[] = {
    "ad",   "alas",  "am",    "an",     "apt",    "arch",  "ark",   "art",   "as",     "at",
    "bar",  "beds",  "bucks", "cap",    "caps",   "card",  "cat",   "chap",  "chin",   "corn",
    "cub",  "cum",   "dan",   "dial",   "dim",    "dis",   "do",    "dub",   "fig",    "fin",
    "finn", "fur",   "gloss", "goth",   "her",    "hind",  "iron",  "it",    "log",    "long",
    "man",  "mar",   "mass",  "me",     "miss",   "off",   "ore",   "paint", "pan",    "par",
    "part", "pass",  "path",  "pat",    "pop",    "port",  "print", "quart", "reflex", "sat",
    "scot", "sin",   "sing",  "smith",  "sun",    "super", "tan",   "temp",  "ten",    "term",
    "test", "up",    "wash",  "wed",    "bus",    "cab",   "gym",   "jam",   "lab",    "memo",
    "exam", "mag",   "math",  "bib",    "doc",    "gram",  "icon",  "intro", "kilo",   "lib",
    "lit",  "liter", "mil",   "stereo", "script", "spec",  "sim",   "sig",   "tech",   "pub",
    "rec",  "prep",  "dent",  "ex",     "ed",     "sub",   "pro",   "con",   "cons",   "pent",
    "pers", "poet",  "prop",  "fed",    "feud",   "gent",  "hist",  "ind",   "inter",  "cur",
    "in",   "no",    "etc",   "min",    "max",    "sax",   "trans", "stat",  "mus",    "com",
    "dat",  "fam",   "gib",   "la",     "lim",    "med",   "pol",   "roy",   "sup",    "ver",
    "tit",  "pa",    "mo",    "ma",
};

// Common abbreviations the resource list lacks.
constexpr std::string_view extra_abbrevs[] = {
    "jr",     "sr",   "inc",  "ltd",  "co",   "corp",  "bros", "assn",  "ave",   "blvd", "rd",
    "approx", "est",  "al",   "ibid", "resp", "dept",  "univ", "intl",  "natl",  "bldg", "mgr",
    "sep",    "sept", "jan",  "feb",  "mar",  "apr",   "jun",  "jul",   "aug",   "oct",  "nov",
    "dec",    "mon",  "tue",  "tues", "wed",  "thu",   "thur", "thurs", "fri",   "sat",  "sun",
    "lbs",    "hrs",  "mins", "secs", "sq",   "ph.d",  "u.s",  "u.k",   "u.s.a", "btw",  "pl",
    "esq",    "dist", "div",  "misc", "govt", "assoc", "nat",  "mfg",   "yr",    "yrs",  "wk",
};

// Words that often start a sentence and rarely follow an abbreviation that
// sits inside one ("Inc. The", "U.S. It" vs. "U.S. Army", "Co. KG").
constexpr std::string_view opener_words[] = {
    "a",
    "an",
    "the",
    "this",
    "that",
    "these",
    "those",
    "he",
    "she",
    "it",
    "they",
    "we",
    "i",
    "you",
    "his",
    "her",
    "its",
    "their",
    "our",
    "my",
    "your",
    "there",
    "here",
    "but",
    "and",
    "or",
    "so",
    "yet",
    "however",
    "then",
    "thus",
    "in",
    "on",
    "at",
    "for",
    "from",
    "with",
    "by",
    "after",
    "before",
    "when",
    "while",
    "if",
    "as",
    "although",
    "though",
    "because",
    "since",
    "what",
    "who",
    "which",
    "where",
    "why",
    "how",
    "all",
    "some",
    "many",
    "most",
    "no",
    "not",
    "one",
    "two",
    "each",
    "both",
    "such",
    "other",
    "another",
    "also",
    "still",
    "now",
    "today",
    "yesterday",
    "meanwhile",
    "finally",
    "later",
    "first",
    "instead",
    "according",
    "during",
    "despite",
    "under",
    "over",
    "to",
    "of",
    "is",
    "are",
    "was",
    "were",
    "do",
    "does",
    "did",
    "can",
    "will",
    "would",
    "should",
    "could",
    "let",
    "please",
    "nor",
    "every",
    "any",
    "several",
    "few",
    "neither",
    "either",
    "once",
    "until",
    "unless",
    "whether",
    "whatever",
    "nevertheless",
    "moreover",
    "furthermore",
    "therefore",
    "indeed",
    "perhaps",
    "maybe",
    "yes",
    "him",
    "them",
    "us",
    "me",
    "never",
    "even",
    "only",
    "just",
    "again",
    "soon",
    "often",
    "since",
    "among",
    "about",
    "in",
    "into",
    "through",
    "last",
    "next",
    "new",
    "more",
    "much",
    "nothing",
    "everyone",
    "someone",
    "nobody",
    "something",
    "everything",
    "mr",
    "mrs",
    "ms",
    "dr",
    "prof",
    "why",
    "well",
    "oh",
    "hi",
    "hello",
    "thanks",
    "sure",
    "see",
    "note",
    // Quantities and groups of people, which open many news sentences.
    "millions",
    "thousands",
    "hundreds",
    "dozens",
    "billions",
    "people",
    "others",
    "officials",
    "experts",
    "critics",
    "residents",
    "analysts",
};

constexpr std::string_view minor_words[] = {
    "a",  "an",   "the",  "of",  "and", "or",  "in",  "on",  "at",  "to",  "for",
    "by", "with", "from", "as",  "vs",  "via", "&",   "per", "nor", "but", "into",
    "de", "la",   "von",  "van", "du",  "del", "der", "le",  "di",  "da",  "y",
};

using Set = std::unordered_set<std::string_view>;

struct EnglishLexicon {
    std::unordered_map<std::string_view, AbbrevKind> kinds;
    Set openers{std::begin(opener_words), std::end(opener_words)};
    Set minors{std::begin(minor_words), std::end(minor_words)};

    EnglishLexicon() {
        // Later assignments win: the resource list first, then the finer
        // classes drawn up here.
        for (std::string_view w : brennic::abbreviation_list()) kinds[w] = AbbrevKind::Abbrev;
        for (std::string_view w : extra_abbrevs) kinds[w] = AbbrevKind::Abbrev;
        for (std::string_view w : everyday_words) kinds[w] = AbbrevKind::Word;
        for (std::string_view w : title_words) kinds[w] = AbbrevKind::Title;
        for (std::string_view w : reference_words) kinds[w] = AbbrevKind::Reference;
        for (std::string_view w : joining_words) kinds[w] = AbbrevKind::Joining;
        for (std::string_view w : time_words) kinds[w] = AbbrevKind::Time;
    }
};

const EnglishLexicon& lexicon() {
    static const EnglishLexicon lex;
    return lex;
}

}  // namespace

AbbrevKind abbrev_kind(std::string_view lower_word) {
    const auto& kinds = lexicon().kinds;
    auto it = kinds.find(lower_word);
    return it == kinds.end() ? AbbrevKind::None : it->second;
}

bool is_sentence_opener(std::string_view word) {
    if (word.empty() || word.size() > 16) return false;
    std::string lower(word);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lexicon().openers.contains(lower);
}

bool is_heading_minor_word(std::string_view word) { return lexicon().minors.contains(word); }

}  // namespace talven
