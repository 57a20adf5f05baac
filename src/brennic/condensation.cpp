// SPDX-License-Identifier: MIT
// "-is": condenses every sentence by deleting its stop words.
#include <string>
#include <vector>

#include "brennic/run_state.h"
#include "brennic/words.h"
#include "common/utf8.h"
#include "languages/language_res.h"
#include "languages/reading.h"

namespace brennic {

namespace {

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether a word holds anything but digits, hyphens and underscores: a
// number is never deleted, whatever a stop list holds.
bool deletable_word(std::string_view word) {
    return word.find_first_not_of("0123456789-_") != std::string_view::npos;
}

// The length of the apostrophe at s[i] ("'", or U+2019 as reading reads
// it), or 0.
std::size_t apostrophe_at(std::string_view s, std::size_t i, Reading reading) {
    if (i >= s.size()) return 0;
    if (s[i] == '\'') return 1;
    if (reading.is_utf8()) return s.substr(i, 3) == "\u2019" ? 3 : 0;
    return s[i] == '\x92' ? 1 : 0;  // Windows-1252
}

// Whether word is of a script written without spaces (Chinese, Japanese,
// Thai...), whose words follow each other within one token: each stop word
// among them goes on its own.
bool unspaced(std::string_view word) {
    const std::size_t n = utf8_sequence_length(word, 0);
    return n > 1 && is_unspaced_script(utf8_decode(word, 0, n));
}

// Whether s is an opening bracket or quotation mark and its closing one.
bool is_empty_pair(std::string_view s) {
    static constexpr std::string_view kPairs[] = {
        "()",           "[]",           "{}",           "\"\"",
        "''",           "\u201E\u201C", "\u201C\u201D", "\u2018\u2019",
        "\u201A\u2018", "\u00AB\u00BB", "\u00BB\u00AB", "\u00AB\u00A0\u00A0\u00BB"};
    for (const std::string_view pair : kPairs) {
        if (s == pair) return true;
    }
    return false;
}

// Condensation in a language other than English: whole stop words are
// deleted and nothing else, so the text between the words kept stays as it
// was. A stop word goes only when it is the one word between two blanks
// (the punctuation around it stays: "(die" keeps its bracket), or when it
// is elided before an apostrophe ("l'" of "l'homme", with the apostrophe).
// A number is never a stop word here, and no bracket, quotation mark or
// other sign is deleted, so nothing is split or left unbalanced. A blank
// run stays between the words kept on either side; a sign left alone where
// a word went ("er." to ".") joins the word on its side.
void condense_words(std::string& out, std::string_view s, Reading reading) {
    struct Span {
        std::size_t begin;
        std::size_t end;
    };
    thread_local std::vector<Span> words;
    thread_local std::vector<Span> cuts;
    words.clear();
    cuts.clear();
    reading.for_each_word(s, [&](std::string_view w) {
        const auto at = static_cast<std::size_t>(w.data() - s.data());
        words.push_back({at, at + w.size()});
    });
    const std::size_t n = s.size();
    std::size_t k = 0;  // the first word of the token
    std::size_t token_begin = 0;
    while (token_begin < n && is_blank(s[token_begin])) ++token_begin;
    out.assign(s.substr(0, token_begin));
    bool glue_next = false;  // the last token kept ends where a word went
    bool kept_any = false;
    std::size_t blank_begin = 0;  // the blanks after the last token kept
    std::size_t blank_end = token_begin;
    while (token_begin < n) {
        std::size_t token_end = token_begin;
        while (token_end < n && !is_blank(s[token_end])) ++token_end;
        std::size_t last = k;  // past the token's last word
        while (last < words.size() && words[last].begin < token_end) ++last;
        // The stop words the token loses.
        cuts.clear();
        for (std::size_t w = k; w < last; ++w) {
            const std::string_view word = s.substr(words[w].begin, words[w].end - words[w].begin);
            if (!deletable_word(word) || !reading.is_stopword(word)) continue;
            const std::size_t apostrophe = apostrophe_at(s, words[w].end, reading);
            if (last - k == 1 || (reading.is_utf8() && unspaced(word))) {
                cuts.push_back(words[w]);
            } else if (apostrophe > 0 && w + 1 < last &&
                       words[w + 1].begin == words[w].end + apostrophe) {
                cuts.push_back({words[w].begin, words[w].end + apostrophe});
            }
        }
        std::string rest;
        std::size_t at = token_begin;
        for (const Span& c : cuts) {
            rest.append(s.substr(at, c.begin - at));
            at = c.end;
        }
        rest.append(s.substr(at, token_end - at));
        // Of "(und)" or "„die“" nothing is left but the empty pair.
        if (last - k == 1 && !cuts.empty() && is_empty_pair(rest)) rest.clear();
        if (!rest.empty()) {
            // A sign left where the token's one word went joins the word on
            // its side: "er." to ".", "(die" to "(".
            const bool lone = last - k == 1 && !cuts.empty();
            const bool glue_before = lone && cuts.front().begin == token_begin;
            if (kept_any && !glue_before && !glue_next)
                out.append(s.substr(blank_begin, blank_end - blank_begin));
            out += rest;
            kept_any = true;
            glue_next = lone && !glue_before && cuts.back().end == token_end;
            blank_begin = token_end;
            blank_end = token_end;
            while (blank_end < n && is_blank(s[blank_end])) ++blank_end;
        }
        k = last;
        token_begin = token_end;
        while (token_begin < n && is_blank(s[token_begin])) ++token_begin;
    }
    // Blanks the sentence ended with stay after its last token kept.
    if (kept_any && blank_end == n) out.append(s.substr(blank_begin));
    reading.capitalize_first(out);
}

// Appends an English run of letters unless it is a stop word.
void append_unless_stop(std::string& out, std::string_view run, Reading reading) {
    if (!reading.is_stopword(run)) out.append(run);
}

}  // namespace

void condense_into(std::string& out, std::string_view sentence, Reading reading) {
    if (reading.language() != nullptr) return condense_words(out, sentence, reading);
    out.clear();
    const char* word_start = nullptr;
    std::size_t word_length = 0;
    reading.for_each_char(sentence, [&](std::string_view c, bool letter) {
        if (letter) {
            if (word_length == 0) word_start = c.data();
            word_length += c.size();
            return;
        }
        // Of a run of non-letters only the first after a word has an effect.
        if (word_length == 0) return;
        append_unless_stop(out, std::string_view(word_start, word_length), reading);
        word_length = 0;
        if (c == " ") {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.append(c);  // a whole character, never a part of one
            out.push_back(' ');
        }
    });
    if (word_length > 0)
        append_unless_stop(out, std::string_view(word_start, word_length), reading);
    reading.capitalize_first(out);
}

std::string condense(RunState&, std::string_view sentence, Reading reading) {
    std::string out;
    condense_into(out, sentence, reading);
    return out;
}

// The texts are kept as read and condensed whenever they are shown: the
// content words were taken at reading and do not change, so nothing but the
// shown texts depends on condensing, and no second copy of the texts is held.
void intrasumm(RunState& state) { state.sentences.condense(); }

}  // namespace brennic
