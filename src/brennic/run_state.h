// SPDX-License-Identifier: MIT
// The state of one summary run: the flags of the command line, the text
// model, the results of scoring, and the scratch buffer of the word helpers.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "brennic/text_model.h"
#include "languages/reading.h"

namespace brennic {

// 1 when the byte belongs to the letter set that makes words.
int is_letter(char c);

// What the reader learnt about a word as written: its stem's entry in the
// index and whether it is a content word.
struct Term {
    WordId id;
    bool content;
};

// Terms of the words met last, so that a word met again is neither stemmed
// nor looked up on the stop list again. Each word has one place, chosen by
// its hash, and keeps it until another word takes it; words longer than a
// place are not kept. In ordinary text most occurrences are of words met
// before, and the cache's size does not grow with the distinct words.
class KnownWords {
public:
    static constexpr std::size_t kLongestWord = 26;

    // The term of word, or nullptr when the cache does not hold it.
    const Term* find(std::string_view word, std::size_t hash) const {
        if (places_.empty() || word.size() > kLongestWord) return nullptr;
        const Place& p = places_[hash & (places_.size() - 1)];
        if (p.length != word.size() || std::string_view(p.word, p.length) != word) return nullptr;
        return &p.term;
    }
    void put(std::string_view word, std::size_t hash, Term term);
    // Asks for the place of a word of this hash to be brought into the
    // processor's cache, ahead of find or put.
    void prefetch(std::size_t hash) const {
        if (!places_.empty()) __builtin_prefetch(&places_[hash & (places_.size() - 1)]);
    }
    // Forgets every word and gives the memory back.
    void clear() { std::vector<Place>().swap(places_); }
    // From the next put on, the cache has 2^16 places, or 2^18 when many:
    // a language such as German, with its compounds and inflections, has
    // three times as many distinct words as English in as much text. A
    // text of fewer bytes than places gets fewer, down to 2^10.
    void size_for(std::size_t text_bytes, bool many) {
        wanted_ = std::size_t{1} << 10;
        while (wanted_ < (many ? kPlaces << 2 : kPlaces) && wanted_ < text_bytes) wanted_ *= 2;
    }

private:
    static constexpr std::size_t kPlaces = std::size_t{1} << 16;
    std::size_t wanted_ = kPlaces;
    struct Place {
        Term term;
        std::uint8_t length = 0;  // 0: free
        char word[kLongestWord];
    };
    std::vector<Place> places_;  // wanted_ of them once a word is put
};

struct RunState {
    RunState() { initialize_variables(); }
    ~RunState() { finalize_variables(); }
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    // Gives every field its start value.
    void initialize_variables();
    // Releases everything the run holds.
    void finalize_variables();

    int size_extract = 0;     // maximum size of the extract, in words
    long long size_text = 0;  // words of all input texts, stop words included
    int test_query = FALSE;   // a query was given
    int test_ak = FALSE;      // "-ak": scores are means instead of sums
    int test_is = FALSE;      // "-is": sentences are condensed before scoring
    float compression_rate = 0.0f;
    float threshold = 0.0f;  // the mean sentence score
    // The most sentences the extract may hold, the vell sentence among
    // them; 0: no such budget.
    std::size_t sentence_budget = 0;
    std::optional<std::string> query;
    // How texts and the query are read into words; each decides its own
    // reading under this choice.
    Encoding encoding = Encoding::automatic;
    // The language of the text being read, and after reading of the query:
    // the first text's. nullptr is English.
    const Language* language = nullptr;
    // The language each text was read in, in order.
    std::vector<LanguageReport> languages;

    // Reads the next text in the language that choice ("en", a code, or
    // "auto": detected from text) gives it, and notes it in languages.
    // An unknown code fails the run.
    void choose_language(std::string_view choice, std::string_view text);
    // After reading: the query is read in the first text's language.
    void read_query_in_first_language();
    // How text (a text or the query) is read: its encoding under the choice,
    // in the current language.
    Reading reading_of(std::string_view text);

    // The permission bits the outputs may have: those that all texts read
    // share, so that no output is more readable than a text it shows.
    unsigned output_mode = 0666;

    SentenceList sentences;                // the sentence list, in input order
    WordIndex words;                       // the word index
    block_sentence* p_vellsent = nullptr;  // the vell sentence
    // Per sentence, what its score is made of under the centrality method;
    // empty under frequency.
    std::vector<ScoreParts> parts;

    // Scratch buffer of the word helpers below; each call overwrites it.
    std::string tmp_word;

    // The word helpers read word as reading does; by default byte by byte,
    // where only A-Z change case (bytes from 0x80 keep theirs).
    // tmp_word := word in lower case.
    const std::string& lowercase(std::string_view word, Reading reading = {});
    // 1 when word, in any case, is on the stop list; tmp_word holds it lowercased.
    int is_stopword(std::string_view word, Reading reading = {});
    // 1 when word, in any case, is on the abbreviation list; tmp_word holds it lowercased.
    int is_abbrev(std::string_view word, Reading reading = {});
    // tmp_word := the lower-case Porter stem of the last run of ASCII letters
    // of word, or word lowercased when it has no ASCII letter.
    const std::string& stemming(std::string_view word, Reading reading = {});

    KnownWords known_words;  // the reader's cache
    Reading known_reading;   // how the words in the cache were read

private:
    // One stemmer per language met, each with the stems it made.
    std::vector<std::unique_ptr<Stemmer>> stemmers_;
    std::vector<const Language*> stemmer_languages_;
};

// The language that choice gives text: choice itself when it is a code of
// language_codes(), else, for "auto", the detected one; any other choice
// fails with a message naming the codes.
LanguageReport choose_language(std::string_view choice, std::string_view text);

// The stages of a run, in the order main calls them.
void read_text(RunState& state, const std::string& filename);
// Appends the sentences of the content of a sentence file, one per line;
// the sentence list keeps their texts in text's buffer.
void read_sentences(RunState& state, std::string text);
// Everything after reading: takes the query and the rate, condenses with
// "-is", scores, and marks the extract's sentences.
void summarize_read_texts(RunState& state, const std::optional<std::string>& query,
                          float compression_rate);
// The first steps of every method: reads the query in the first text's
// language, takes the rate (NaN as 0) and condenses with "-is".
void take_query_and_rate(RunState& state, const std::optional<std::string>& query,
                         float compression_rate);
void intrasumm(RunState& state);
void score_sentences(RunState& state);
// The cosine of two texts, each read as its own bytes decide under
// state.encoding.
float cosine(RunState& state, std::string_view sent1, std::string_view sent2);
void select_sentences(RunState& state);
// The largest extract, in words, that the rate allows for size_text words.
int extract_size(long long size_text, float compression_rate);
// The name of the extract file for an output base name.
std::string extract_file_name(const std::string& base_name);
// Writes all of content to fd, retrying interrupted and short writes.
bool write_all(int fd, std::string_view content);
// Writes content to name through a temporary file in the same directory
// that is renamed over name, so an earlier file is never left half-written;
// the file gets the permission bits mode, less the creation mask. Returns
// false, leaving no temporary file and errno telling why, when a step fails.
// A name that is not a regular file (a device such as /dev/null, a FIFO, a
// terminal, /dev/stdout) is opened and written in place instead, as the
// shell's "> name" does: see written_in_place.
bool write_file_atomically(const std::string& name, std::string_view content, unsigned mode = 0666);
// A file to write and what it is to hold.
struct FileContent {
    std::string name;
    std::string_view content;
    // When set, makes the content in content's place, handing it to put a
    // piece at a time, so that a large file is never held whole. What it
    // throws is passed on, and nothing is replaced.
    std::function<void(const std::function<void(std::string_view)>& put)> write;
};
// Writes several files as one: each is written in full to a file without a
// name beside its own, and only when every one is complete are they renamed
// over their names, together while the signals are held. A failure before
// the renames replaces nothing. Returns files.size() when all are written,
// else the index of the one that failed, with errno telling why. Names
// written in place (see written_in_place) are written last; where files
// without a name are not to be had, each file is written on its own, as
// write_file_atomically does.
std::size_t write_files_atomically(std::span<const FileContent> files, unsigned mode = 0666);
// Whether write_file_atomically writes name in place: it names a device, a
// FIFO or a socket (through links of the caller's or root's own, never
// through another user's link, which is replaced), or stands for one of the
// process's descriptors (/dev/stdout, /dev/fd/N, /proc/...), whatever it
// leads to.
bool written_in_place(const std::string& name);
// Whether the caller may write name in place (see written_in_place) without
// opening it, which would wake a FIFO's reader with an empty text.
bool writable_in_place(const std::string& name);
// Condenses one sentence (see condense_into).
std::string condense(RunState& state, std::string_view sentence, Reading reading = {});
void print_extract(const RunState& state, const std::string& filename);
void debug(const RunState& state);

}  // namespace brennic
