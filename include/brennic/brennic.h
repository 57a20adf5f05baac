// SPDX-License-Identifier: MIT
// Brennic as a library: sentence segmentation and extractive summaries of
// texts held in memory, in English and 55 other languages (Options::language).
//
// Every function here is reentrant and keeps no state between calls, so any
// number of threads may call them at once. Failures are thrown as
// brennic::Error; the library never prints and never ends the process.
//
// A text is a sequence of bytes: UTF-8, ISO 8859-1 or Windows-1252, exactly
// as Brennic.exe reads it from a file. The results are the very sentences
// that Brennic.exe writes to its extract when it runs with the bundled
// segmenter TALVEN_En.exe on the same bytes. How a text's bytes make words
// is decided per text (see Encoding).
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "brennic/export.h"

namespace brennic {

// The library's version, "MAJOR.MINOR.PATCH".
BRENNIC_EXPORT const char* version() noexcept;

// The one exception type of the library. what() is the message that
// Brennic.exe prints after "\tERROR: " for the same failure.
class BRENNIC_EXPORT Error : public std::runtime_error {
public:
    explicit Error(const std::string& message);
    ~Error() override;
};

// Thrown instead of a result when Options::cancel was found set.
class BRENNIC_EXPORT Cancelled : public Error {
public:
    Cancelled();
    ~Cancelled() override;
};

// ---------------------------------------------------------------------------
// Segmentation

// A run of bytes of a text: text.substr(offset, length).
struct Span {
    std::size_t offset = 0;
    std::size_t length = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

// The sentences of text, in order: exactly the lines that TALVEN_En.exe
// writes to its sentence file, without their line ends. Inside a sentence
// every run of white space (space, tab, LF, VT, FF, CR) is one space, but
// for the line break before a terminator standing alone at the start of a
// line, which is dropped ("for pricing\n." gives "for pricing.").
BRENNIC_EXPORT std::vector<std::string> segment(std::string_view text);

// Where each sentence of segment(text) lies in text: from its first byte to
// its last, white space inside included. The spans are in order, do not
// overlap, and hold every non-white byte of text.
BRENNIC_EXPORT std::vector<Span> segment_spans(std::string_view text);

// The same by the sentence rules of a language: `language` is an ISO 639-1
// code in lower case ("de", "fr", "hi", "zh"...), or "auto" for the language
// the text is written in. "en" gives exactly segment(text). Every language
// but English reads the sentence stops of every script (Devanagari "।",
// Arabic "؟", Armenian "։", Ethiopic "።"...), the quotation marks of its
// language and its own abbreviations and ordinals ("am 3. Oktober").
// TALVEN_En.exe takes the same code from the environment variable
// BRENNIC_LANGUAGE. Throws Error for a code that names no language.
BRENNIC_EXPORT std::vector<std::string> segment(std::string_view text, std::string_view language);
BRENNIC_EXPORT std::vector<Span> segment_spans(std::string_view text, std::string_view language);

// ---------------------------------------------------------------------------
// Encodings

// How the bytes of a text are read into words. Each text of an input is
// read in its own way, and so is the query.
enum class Encoding {
    // UTF-8 when the text is valid UTF-8 (no overlong forms, no surrogates,
    // nothing above U+10FFFF) and holds at least one byte from 0x80 up;
    // otherwise ISO 8859-1. So a pure ASCII text, and a text in a single-byte
    // code page, are read byte by byte. Brennic.exe and brennic-batch take
    // the choice from the environment variable BRENNIC_ENCODING ("auto",
    // "latin1", "utf-8"); the library reads no environment variable.
    automatic,
    // Byte by byte, as ISO 8859-1 (Windows-1252 agrees on every letter):
    // a letter is an ASCII letter or digit, '-', '_', ª, ° or one of 48
    // accented letters; only A to Z change case.
    latin1,
    // As UTF-8 characters. A character up to U+00FF is a letter when its
    // ISO 8859-1 byte is; one above when Unicode classes it as a letter or a
    // combining mark (general categories L*, Mn, Mc), so typographic quotes,
    // dashes and ellipses end words. Words are lower-cased by Unicode's
    // simple case mapping; stemming and the stop list stay English (the
    // Porter stem of a word's last run of ASCII letters). A byte that starts
    // no well-formed sequence is a character of its own and no letter.
    utf8,
};

// The encoding named "auto", "latin1" or "utf-8" ("utf8"), in any case;
// nothing for any other name.
BRENNIC_EXPORT std::optional<Encoding> parse_encoding(std::string_view name);

// What a text under the choice is read as: Encoding::latin1 or Encoding::utf8.
BRENNIC_EXPORT Encoding reading_of(std::string_view text, Encoding choice);

// ---------------------------------------------------------------------------
// Web pages and Markdown

// What kind of document a text is.
enum class Input {
    // Chosen by the bytes: a text that opens as a web page (<!doctype html,
    // <html, an XHTML prologue), or whose first 4 KiB are mostly markup, is
    // read as HTML; anything else as plain text. (The command brennic also
    // goes by a file's name: .html, .htm, .xhtml, .md, .markdown.)
    automatic,
    // Plain text, taken as it is.
    text,
    // A web page: its main text, without menus, footers, scripts and the like.
    html,
    // Markdown (CommonMark): its prose, without markup, code and tables.
    markdown,
};

// The input kind named "auto", "text", "html" or "markdown"; nothing for
// any other name.
BRENNIC_EXPORT std::optional<Input> parse_input(std::string_view name);

// The text to summarize of a web page or a Markdown file.
struct Document {
    // The title: a page's (h1, og:title or <title>), or a Markdown file's
    // first level-1 heading (or its front matter's title). May be empty.
    std::string title;
    // The main text, UTF-8: one block (paragraph, heading, list item, table
    // cell, quotation) a paragraph, paragraphs apart by a blank line, so no
    // sentence runs from one block into the next.
    std::string text;
    // The language the document says it is in (a page's lang attribute,
    // "de", "pt-BR"...); empty when it says none. Options::language "auto"
    // takes it when detection cannot tell.
    std::string language;
    // What the bytes were read as: Input::text, html or markdown.
    Input input = Input::text;
};

// The main text of a web page, in any charset (a BOM, <meta charset>,
// http-equiv; else UTF-8 when the bytes are valid UTF-8, else
// Windows-1252). Scripts, styles, navigation, forms, asides, footers,
// hidden elements, code and preformatted blocks are left out.
BRENNIC_EXPORT Document read_html(std::string_view bytes);

// The prose of a Markdown document (UTF-8, else Windows-1252): headings,
// paragraphs, list items and quotations become paragraphs; emphasis marks,
// link targets, images and badges, bare URLs, code blocks, pipe tables,
// YAML or TOML front matter and HTML comments are left out; HTML blocks are
// read as read_html reads a page.
BRENNIC_EXPORT Document read_markdown(std::string_view bytes);

// The main text of bytes read as `input`: read_html, read_markdown, or for
// Input::text the bytes as they are. Input::automatic chooses by `name`
// when it ends in .html, .htm, .xhtml (a page), .md, .markdown (Markdown),
// .txt or .text (plain text), in any case; else by the bytes.
BRENNIC_EXPORT Document main_text(std::string_view bytes, Input input = Input::automatic,
                                  std::string_view name = {});

// ---------------------------------------------------------------------------
// Summarization

// The choices that Brennic.exe takes from its command line.
struct Options {
    // "-is": print the chosen sentences condensed (stop words deleted, one
    // space after each punctuation mark, the first letter upper-cased).
    bool condense = false;
    // "-ak": score a sentence by the mean frequency of its content words
    // instead of their sum.
    bool mean = false;
    // The query: the sentence most similar to it becomes the vell sentence.
    std::optional<std::string> query;
    // Below 1: the fraction of the words to leave out; 1 or more: the
    // largest number of words of the extract; negative: the vell sentence
    // alone; NaN: 0, as parse_rate() reads "nan". parse_rate() reads it as
    // the command line does.
    float compression_rate = 0.7f;
    // A budget in sentences, on top of the rate's budget in words: when more
    // worthy sentences are left, they are dropped the lowest score first (of
    // equal scores the later first) until max_sentences remain; when fewer
    // are worthy, the best-scoring of the other sentences (of equal scores
    // the earlier first) are chosen too until max_sentences are, or the text
    // has no more, as long as the budget in words dropped no worthy sentence
    // and their words fit it (such a sentence is chosen, not worthy, in the
    // diagnostics). The vell sentence is always kept. Unset or 0: no budget
    // in sentences. With a budget alone, set compression_rate to 0 (no
    // budget in words).
    std::optional<std::size_t> max_sentences;
    // Fill Summary::diagnostics as well.
    bool diagnostics = false;
    // A flag another thread may set to stop the call: when given, the call
    // looks at it between texts and every megabyte or so of a text, and
    // throws Cancelled once it is true (a long call stops within a fraction
    // of a second). The flag must outlive the call.
    const std::atomic<bool>* cancel = nullptr;
    // How each text, and the query, is read into words (see Encoding).
    Encoding encoding = Encoding::automatic;
    // The language of the texts and the query: an ISO 639-1 code of
    // language_codes(), or "auto" to find each text's language on its own
    // (detect_language; the query is read in the first text's language).
    // "en" reads English exactly as Brennic always has. Any other language
    // reads its text as Unicode characters (UTF-8, or Windows-1252 when the
    // bytes are not valid UTF-8), folds case by Unicode's full case folding
    // (Turkish: dotted and dotless i), cuts the scripts written without
    // spaces (Chinese, Japanese, Thai, Lao, Khmer, Burmese) into words by
    // ICU's dictionaries, stems with the language's Snowball stemmer where
    // it has one (else a word's stem is its folded form) and leaves out the
    // language's stop words, which are counted apart from any content word
    // of the same stem. An unknown code throws Error.
    std::string language = "en";
    // How sentences are scored and chosen: a name of methods().
    // "frequency" (the default) scores a sentence by how often its content
    // words recur in the input and keeps those above the mean score that
    // share a word with the vell sentence. "centrality" scores it by where
    // it stands (the opening of its text, of its paragraph or section), by
    // its likeness to the rest of its text and to the title and, the
    // longer the extract, by how often its content words recur, and then
    // chooses the best ones in turn, each discounted by how much of it the
    // sentences already chosen say. Both fill the same budgets and honour
    // the query. An unknown name throws Error.
    std::string method = "frequency";
    // The title of the texts (a page's title, a headline), for methods that
    // use one ("centrality"). Unset: a web page or Markdown file read as
    // one (Options::input) has its own title (Document::title); a text
    // whose first line stands alone (a short line without a sentence stop,
    // followed by a line break) has that line.
    std::optional<std::string> title;
    // What the texts are: plain text (the default), or web pages or Markdown
    // whose main text (see main_text) is summarized instead of their bytes.
    // Offsets and spans of the diagnostics then refer to the main text.
    Input input = Input::text;
};

// The names of the methods Options::method takes, the default first:
// "frequency", "centrality".
BRENNIC_EXPORT std::vector<std::string> methods();

// A compression rate read from its command-line argument exactly as
// Brennic.exe reads it ("%f": "0.7", "1e2", "0x1p-1", "inf"; what is not a
// number, and NaN, read as 0).
BRENNIC_EXPORT float parse_rate(std::string_view argument);

// A number read strictly, for rates and lengths given by people and
// programs: the whole argument must be one finite number, decimal or C's
// hexadecimal ("0.7", "120", "-1", "1e2", "0x1p-1"). Nothing for anything
// else: empty, garbage, trailing characters, NaN, infinities, and numbers
// beyond a float's range.
BRENNIC_EXPORT std::optional<float> read_number(std::string_view argument);

// What a sentence's score under the "centrality" method is made of, each
// part in [0, 1]. score is the weighted sum of position, centrality,
// frequency, title and query; the extract takes sentences in order of score times
// (1 - weight * redundancy), redundancy being measured when each was taken.
struct ScoreParts {
    float position = 0.0f;    // 1 for the opening sentence, less further on; a
                              // paragraph's or section's first sentence keeps more;
                              // in a long extract 0 but for the opening
    float centrality = 0.0f;  // likeness to the rest of its text, 1 for the most central
    float frequency = 0.0f;   // how often its content words recur in the input, 1 for the
                              // most; weighs more the longer the extract
    float title = 0.0f;       // likeness to the title (0 without one)
    float query = 0.0f;       // likeness to the query, 1 for the closest (0 without one)
    float redundancy = 0.0f;  // share of its content words the extract already held
    bool heading = false;     // a line standing alone: a title or heading, never chosen
};

// One sentence of the input as the summarizer saw it.
struct SentenceReport {
    std::string text;                 // as scored; condensed with Options::condense
    long long words = 0;              // words as read, stop words included
    float score = 0.0f;               // the sentence's score
    bool worthy = false;              // above the threshold with a vell word, before trimming
                                      // (under "centrality": chosen)
    bool in_extract = false;          // chosen for the extract
    bool vell = false;                // the vell sentence, the centre of the extract
    std::size_t document = 0;         // which of the texts it comes from
    std::size_t segment = 0;          // its index in segment() of that text
    Span span;                        // where it lies in that text: segment_spans()[segment]
    std::optional<ScoreParts> parts;  // how the score was made, for "centrality"
};

// One distinct stem of the input.
struct StemReport {
    std::string stem;
    // Occurrences over all texts. In English a stem counts its stop words
    // and content words together; in every other language a stop word is
    // counted apart, under a StemReport of its own (content false), so the
    // same stem may be reported twice.
    int frequency = 0;
    bool vell_word = false;  // a content stem of the vell sentence
    bool content = false;    // counted for at least one content word (not a stop word)
};

// The language one text was read in.
struct LanguageReport {
    std::string language;   // ISO 639-1 code
    bool detected = false;  // found by detection (Options::language "auto")
    // Empty, or why detection fell back to English ("too short to tell its
    // language", "mixed or uncertain (de 45%)", ...).
    std::string fallback;
};

// What the summarizer computed on the way to an extract.
struct Diagnostics {
    std::vector<LanguageReport> languages;  // one per text, in order
    std::vector<SentenceReport> sentences;  // in input order
    std::vector<StemReport> stems;          // in order of first occurrence
    long long text_words = 0;               // words of all texts, stop words included
    // The extract size the rate gives, in words, as the debug dump shows it:
    // below 1 the words the rate leaves of text_words (more than them for a
    // negative rate), from 1 on the rate itself, truncated. Selection keeps
    // the extract within the text whatever this says.
    int extract_size = 0;
    float compression_rate = 0.0f;
    float threshold = 0.0f;                    // the mean sentence score
    std::optional<std::size_t> vell_sentence;  // index into sentences; none for no sentence
    std::string method = "frequency";          // the method that scored and chose
};

// An extract.
struct Summary {
    std::vector<std::string> sentences;      // the extract's lines, in input order
    std::optional<Diagnostics> diagnostics;  // with Options::diagnostics
};

// The extract of one text, or of several texts read together as one input
// (Brennic.exe -nM). Throws Error when there is no text at all.
BRENNIC_EXPORT Summary summarize(std::string_view text, const Options& options);
BRENNIC_EXPORT Summary summarize(std::span<const std::string_view> texts, const Options& options);
BRENNIC_EXPORT Summary summarize(std::span<const std::string> texts, const Options& options);

// The result of one text of summarize_many: its summary, or the message of
// its failure (what Error::what() would say).
struct Outcome {
    Summary summary;                   // empty when error is set
    std::optional<std::string> error;  // set when the text failed
    explicit operator bool() const noexcept { return !error; }
};

// The extract of each text on its own, computed by a pool of `threads`
// workers (0: one per core); outcome i belongs to texts[i]. A text that
// fails has its own error and takes nothing from the others: every text is
// tried and every result kept. Once Options::cancel is set no further text
// is begun and Cancelled is thrown.
BRENNIC_EXPORT std::vector<Outcome> summarize_many(std::span<const std::string_view> texts,
                                                   const Options& options, unsigned threads = 0);

// As summarize_many, for callers that want summaries or nothing: when some
// texts fail, every text is still tried, then Error is thrown with the
// message of the first failure.
BRENNIC_EXPORT std::vector<Summary> summarize_all(std::span<const std::string_view> texts,
                                                  const Options& options, unsigned threads = 0);

// ---------------------------------------------------------------------------
// Languages

// The codes of the languages a text can be read in: "en" first, then af ar
// bg bn ca cs da de el es et eu fa fi fr ga gl gu he hi hr hu hy id is it ja
// ko ku lt lv mr ms ne nl no pl pt ro ru sk sl sr st sv sw ta th tl tr uk ur
// vi yi zh: every language CLD2 detects that has a stemmer or a stop list
// here.
BRENNIC_EXPORT std::vector<std::string> language_codes();

// The language of text, one of language_codes(), found by CLD2 (Compact
// Language Detector 2) from the text's first 256 KiB read as UTF-8 (or
// Windows-1252 when not valid UTF-8). Serbian also answers for Bosnian and
// Montenegrin, Norwegian for Nynorsk, Chinese for both its scripts. A text
// too short to tell, in another language, or a mix where no language holds
// 60 % falls back to "en"; Diagnostics::languages says why
// (LanguageReport::fallback).
BRENNIC_EXPORT std::string detect_language(std::string_view text);

// ---------------------------------------------------------------------------
// Words, as the summarizer counts them

// The words of text: maximal runs of letters (ASCII letters and digits,
// '-', '_', the letters of ISO 8859-1 and, in a text read as UTF-8, the
// letters and combining marks of Unicode), with text read as encoding
// chooses. The spans are in bytes. In a language other than English
// (Options::language), every Unicode letter and combining mark is a letter,
// and so are the language's word-internal marks between two letters
// (Catalan "l·l", Hebrew-script geresh, gershayim and maqaf, the zero-width
// joiners of the Arabic and Indic scripts, Ukrainian apostrophes); a run of
// Han, kana, Thai, Lao, Khmer or Myanmar letters is cut into words by ICU's
// dictionary-based word break iterator; a text not valid UTF-8 is read as
// Windows-1252.
BRENNIC_EXPORT std::vector<Span> word_spans(std::string_view text, Encoding encoding,
                                            std::string_view language = "en");
// The same for an English text read as Encoding::automatic chooses.
BRENNIC_EXPORT std::vector<Span> word_spans(std::string_view text);

// The stem under which a word is counted, the word read as encoding
// chooses: in English the lower-case Porter stem; in another language the
// language's Snowball stem of the word in NFC and folded case, or that
// folded word itself where the language has no Snowball stemmer. To get a
// text's stems, pass reading_of(text, ...) for each of its words. An unknown
// language throws Error.
BRENNIC_EXPORT std::string stem(std::string_view word, Encoding encoding,
                                std::string_view language = "en");
// The same for an English word read as Encoding::automatic chooses.
BRENNIC_EXPORT std::string stem(std::string_view word);

// True when word, in any case, is on the language's stop list: it counts
// towards the size of a text but not towards a sentence's score.
BRENNIC_EXPORT bool is_stop_word(std::string_view word, Encoding encoding,
                                 std::string_view language = "en");
// The same for an English word read as Encoding::automatic chooses.
BRENNIC_EXPORT bool is_stop_word(std::string_view word);

}  // namespace brennic
