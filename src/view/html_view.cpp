#include "view/html_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "reading.h"
#include "view/keywords.h"

namespace brennic::view {

namespace {

enum class Charset { utf8, windows1252 };

// The characters of Windows-1252 from 0x80 to 0x9F. The five bytes it
// leaves undefined decode to the C1 controls of the same value, as browsers
// decode them.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool continuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

struct Char {
    char32_t code;
    std::size_t length;
};

// The character at s[i] read in charset; a byte that starts no well-formed
// UTF-8 sequence reads as U+FFFD.
Char decode(std::string_view s, std::size_t i, Charset charset) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (charset == Charset::windows1252) {
        return {c >= 0x80 && c <= 0x9F ? kWindows1252High[c - 0x80] : char32_t{c}, 1};
    }
    const std::size_t n = utf8_sequence_length(s, i);
    if (n == 0) return {0xFFFD, 1};
    if (n == 1) return {c, 1};
    char32_t code = c & (0xFFu >> (n + 1));
    for (std::size_t k = 1; k < n; ++k)
        code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    return {code, n};
}

void append_reference(std::string& out, char32_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "&#x%X;", static_cast<unsigned>(code));
    out += buf;
}

// Appends one character, safe in text and in a quoted attribute alike: the
// markup characters as references; NUL and the C1 controls, which a page
// must not hold, as U+FFFD; the other C0 controls as their visible symbols
// (U+2400 on); vertical tab, white space to the segmenter but not to HTML,
// as a space. Other characters go as raw (their bytes in the page's
// encoding) when raw is not empty, as a numeric reference otherwise.
void append_char(std::string& out, char32_t code, std::string_view raw) {
    switch (code) {
        case '<':
            out += "&lt;";
            return;
        case '>':
            out += "&gt;";
            return;
        case '&':
            out += "&amp;";
            return;
        case '"':
            out += "&quot;";
            return;
        case '\'':
            out += "&#39;";
            return;
        case '\t':
        case '\n':
        case '\r':
        case '\f':
            out += static_cast<char>(code);
            return;
        case '\v':
            out += ' ';
            return;
        case 0:
            append_reference(out, 0xFFFD);
            return;
        case 0x7F:
            append_reference(out, 0x2421);
            return;
        default:
            break;
    }
    if (code < 0x20) {
        append_reference(out, 0x2400 + code);
    } else if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code <= 0x9F) {
        append_reference(out, 0xFFFD);
    } else if (!raw.empty()) {
        out += raw;
    } else {
        append_reference(out, code);
    }
}

// Bytes of a text, in the page's encoding.
void append_text(std::string& out, std::string_view bytes, Charset page) {
    for (std::size_t i = 0; i < bytes.size();) {
        const Char c = decode(bytes, i, page);
        append_char(out, c.code, bytes.substr(i, c.length));
        i += c.length;
    }
}

// A name, a query or a stem: read as UTF-8 when it is, as Windows-1252
// otherwise, and written in ASCII with references, so it shows right
// whatever the page's encoding.
void append_label(std::string& out, std::string_view bytes) {
    const Charset charset = is_valid_utf8(bytes) ? Charset::utf8 : Charset::windows1252;
    for (std::size_t i = 0; i < bytes.size();) {
        const Char c = decode(bytes, i, charset);
        append_char(out, c.code, {});
        i += c.length;
    }
}

std::string label(std::string_view bytes) {
    std::string out;
    append_label(out, bytes);
    return out;
}

// A score or a threshold: whole numbers without decimals, others with two
// at most.
std::string number(double value) {
    char buf[64];
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", value);
        return buf;
    }
    std::snprintf(buf, sizeof buf, "%.2f", value);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

// A rate as it was most likely written: 0.7, not 0.699999988.
std::string shortest(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", value);
    return buf;
}

std::string fraction(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f",
                  std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0));
    return buf;
}

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Line ends in white space between two sentences; two or more make a
// blank line, which ends a paragraph.
int line_ends(std::string_view gap) {
    int n = 0;
    for (std::size_t i = 0; i < gap.size(); ++i) {
        if (gap[i] == '\n' || gap[i] == '\f' ||
            (gap[i] == '\r' && (i + 1 == gap.size() || gap[i + 1] != '\n')))
            ++n;
    }
    return n;
}

std::vector<std::vector<Span>> sentence_spans(std::span<const std::string> texts) {
    std::vector<std::vector<Span>> spans;
    spans.reserve(texts.size());
    for (const std::string& text : texts) spans.push_back(segment_spans(text));
    return spans;
}

// The page is UTF-8 when every text is, and every sentence starts and ends
// between characters, so no element holds part of a character.
Charset page_charset(std::span<const std::string> texts,
                     const std::vector<std::vector<Span>>& spans) {
    for (std::size_t d = 0; d < texts.size(); ++d) {
        const std::string& t = texts[d];
        if (!is_valid_utf8(t)) return Charset::windows1252;
        const auto boundary = [&](std::size_t at) {
            return at >= t.size() || !continuation(static_cast<unsigned char>(t[at]));
        };
        for (const Span& s : spans[d]) {
            if (!boundary(s.offset) || !boundary(s.offset + s.length)) return Charset::windows1252;
        }
    }
    return Charset::utf8;
}

constexpr std::string_view kStyle = R"css(
:root{color-scheme:light;--ink:#1f2328;--muted:#59636e;--line:#d8dee4;--extract:#fff1a8;
--vell:#ffcf70;--vell-edge:#c26a00;--bar:#6f88b0;--tick:#c93c37;--gutter:3.5rem}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0 auto;max-width:48rem;padding:1.5rem 1.25rem 3rem;background:#fff;color:var(--ink);
font:1.0625rem/1.6 Charter,Georgia,"DejaVu Serif",serif}
header{font:.9375rem/1.45 system-ui,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;
border-bottom:1px solid var(--line);padding-bottom:1rem;margin-bottom:1.5rem}
h1{font-size:1.5rem;line-height:1.25;margin:0 0 .25rem;overflow-wrap:anywhere}
h2{font:600 1rem/1.3 system-ui,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;margin:2rem 0 .75rem;
overflow-wrap:anywhere}
header h2{font-size:.8125rem;color:var(--muted);margin:1rem 0 .4rem;text-transform:uppercase;
letter-spacing:.04em}
.lede{margin:0;color:var(--muted)}
.figures{display:grid;grid-template-columns:repeat(auto-fill,minmax(10.5rem,1fr));gap:.6rem 1rem;
margin:1rem 0 0}
.figures div{border-left:3px solid var(--line);padding-left:.5rem;min-width:0}
dt{font-size:.75rem;color:var(--muted);text-transform:uppercase;letter-spacing:.04em}
dd{margin:0;font-weight:600;overflow-wrap:anywhere}
dd small{font-weight:400;color:var(--muted)}
.stems{list-style:none;margin:0;padding:0;display:flex;flex-wrap:wrap;gap:.35rem}
.stems li{border:1px solid var(--line);border-radius:1rem;padding:0 .6rem;white-space:nowrap}
.stems .f{color:var(--muted);font-size:.8125rem;margin-left:.25rem}
.legend{margin:1rem 0 0;color:var(--muted);font-size:.875rem}
.legend mark{padding:0 .25em}
main{--t:0}
main p{margin:0 0 1.1rem;padding-left:var(--gutter)}
.s{display:block;position:relative;padding:.1rem .35rem;margin:0 -.35rem;border-radius:3px;
unicode-bidi:isolate;overflow-wrap:anywhere}
.s::before,.s::after{content:"";position:absolute}
.s::before{left:calc(-1*var(--gutter));top:.68em;height:.36em;border-radius:1px;background:var(--bar);
width:calc(var(--w,0)*(var(--gutter) - 1rem))}
.s::after{left:calc(-1*var(--gutter) + var(--t)*(var(--gutter) - 1rem));top:.45em;height:.85em;
border-left:1.5px solid var(--tick)}
mark{color:inherit;background:none}
.x{background:var(--extract)}
.v{background:var(--vell);box-shadow:inset 3px 0 0 var(--vell-edge)}
u{text-decoration:underline var(--vell-edge);text-decoration-thickness:.1em;
text-underline-offset:.18em}
.empty{color:var(--muted);font-style:italic}
@media (max-width:32rem){
body{font-size:1rem;padding:1rem .75rem 2rem}
:root{--gutter:2.5rem}
.figures{grid-template-columns:repeat(2,minmax(0,1fr))}
}
@media print{
@page{margin:1.5cm}
body{max-width:none;padding:0;font-size:10.5pt}
header{break-after:avoid}
.s{break-inside:avoid}
.s,.s::before,.s::after,.x,.v,.stems li{-webkit-print-color-adjust:exact;print-color-adjust:exact}
a{color:inherit;text-decoration:none}
}
)css";

class Page {
public:
    Page(std::span<const std::string> texts, std::span<const std::string> names,
         const Options& options, const Summary& summary)
        : texts_(texts),
          names_(names),
          options_(options),
          summary_(summary),
          spans_(sentence_spans(texts)),
          charset_(page_charset(texts, spans_)) {
        if (!summary.diagnostics) throw std::invalid_argument("render_html needs diagnostics");
        if (names.size() != texts.size())
            throw std::invalid_argument("render_html needs one name per text");
        const Diagnostics& d = *summary.diagnostics;
        reports_.resize(texts.size());
        for (std::size_t d_i = 0; d_i < texts.size(); ++d_i)
            reports_[d_i].assign(spans_[d_i].size(), nullptr);
        for (const SentenceReport& r : d.sentences) {
            if (r.document >= texts.size() || r.segment >= spans_[r.document].size())
                throw std::invalid_argument("the summary does not belong to these texts");
            reports_[r.document][r.segment] = &r;
            max_score_ = std::max(max_score_, static_cast<double>(r.score));
        }
        for (const StemReport& s : d.stems) {
            if (s.vell_word) vell_stems_.insert(s.stem);
        }
    }

    std::string render() {
        std::string out;
        std::size_t input = 0;
        for (const std::string& t : texts_) input += t.size();
        out.reserve(2 * input + kStyle.size() + 8192);
        out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"";
        out += charset_ == Charset::utf8 ? "utf-8" : "windows-1252";
        out += "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
        out += "<meta name=\"generator\" content=\"Brennic ";
        out += label(version());
        out += "\">\n<title>";
        out += title();
        out += " &#x2014; extract</title>\n<style>";
        out += kStyle;
        out += "</style>\n</head>\n<body>\n";
        render_header(out);
        out += "<main style=\"--t:";
        out += fraction(max_score_ > 0 ? summary_.diagnostics->threshold / max_score_ : 0);
        out += "\">\n";
        for (std::size_t d = 0; d < texts_.size(); ++d) render_text(out, d);
        out += "</main>\n</body>\n</html>\n";
        return out;
    }

private:
    std::string title() const {
        std::string t;
        for (std::size_t d = 0; d < names_.size(); ++d) {
            if (d > 0) t += ", ";
            append_label(t, names_[d]);
        }
        return t;
    }

    void figure(std::string& out, const char* term, const std::string& value) const {
        out += "<div><dt>";
        out += term;
        out += "</dt><dd>";
        out += value;
        out += "</dd></div>\n";
    }

    std::string rate_text() const {
        const double rate = summary_.diagnostics->compression_rate;
        std::string t = shortest(rate);
        if (rate < 0) {
            t += " <small>the vell sentence alone</small>";
        } else if (rate < 1) {
            t += " <small>leave out " + shortest(100 * rate) + "&#xA0;% of the words</small>";
        } else {
            t += " <small>words at most</small>";
        }
        return t;
    }

    void render_header(std::string& out) const {
        const Diagnostics& d = *summary_.diagnostics;
        long long used = 0;
        long long chosen = 0;
        for (const SentenceReport& r : d.sentences) {
            if (r.in_extract) {
                used += r.words;
                ++chosen;
            }
        }
        out += "<header>\n<h1>";
        out += title();
        out += "</h1>\n<p class=\"lede\">Extract of ";
        out += plural(chosen, "sentence", "sentences");
        out += " out of " + std::to_string(d.sentences.size()) + ", chosen by Brennic.</p>\n";
        out += "<dl class=\"figures\">\n";
        figure(out, "Words in the text", std::to_string(d.text_words));
        figure(out, "Extract allowed", plural(d.extract_size, "word", "words"));
        figure(out, "Extract used", plural(used, "word", "words"));
        figure(out, "Threshold", number(d.threshold) + " <small>mean score</small>");
        figure(out, "Rate", rate_text());
        figure(out, "Query", options_.query ? label(*options_.query) : "none");
        std::string switches;
        if (options_.condense) switches += "-is (condensed) ";
        if (options_.mean) switches += "-ak (mean scores) ";
        if (texts_.size() > 1) switches += "-n" + std::to_string(texts_.size()) + " ";
        if (!switches.empty()) switches.pop_back();
        figure(out, "Switches", switches.empty() ? "none" : switches);
        out += "</dl>\n<h2>Most frequent content stems</h2>\n<ol class=\"stems\">\n";
        for (const Keyword& k : keywords(d, 10)) {
            out += k.vell_word ? "<li title=\"vell word\"><u>" : "<li>";
            append_label(out, k.stem);
            out += k.vell_word ? "</u>" : "";
            out += "<span class=\"f\">" + std::to_string(k.frequency) + "</span></li>\n";
        }
        out +=
            "</ol>\n<p class=\"legend\"><mark class=\"x\">Highlighted</mark>: the sentences of "
            "the extract. <mark class=\"v\">Darker</mark>: the ";
        out += d.vell_sentence ? "<a href=\"#vell\">vell sentence</a>" : "vell sentence";
        out +=
            ", the centre of the extract; its content words are the vell words, "
            "<u>underlined</u> wherever they appear. The bar beside each sentence shows its "
            "score (hover to read it), the red line the threshold. A sentence is chosen when "
            "it scores above the threshold and holds a vell word, the highest first, as long "
            "as the extract fits its size; the vell sentence always is.</p>\n</header>\n";
    }

    void render_text(std::string& out, std::size_t d) {
        const std::string_view text = texts_[d];
        out += "<article>\n";
        if (texts_.size() > 1) {
            out += "<h2>";
            append_label(out, names_[d]);
            out += "</h2>\n";
        }
        if (spans_[d].empty()) out += "<p class=\"empty\">No sentences.</p>\n";
        std::size_t end = 0;
        for (std::size_t k = 0; k < spans_[d].size(); ++k) {
            const Span& s = spans_[d][k];
            if (k == 0) {
                out += "<p>\n";
            } else if (line_ends(text.substr(end, s.offset - end)) >= 2) {
                out += "</p>\n<p>\n";
            }
            render_sentence(out, text.substr(s.offset, s.length), reports_[d][k],
                            reading_of(text, options_.encoding), language_of(d));
            end = s.offset + s.length;
        }
        if (!spans_[d].empty()) out += "</p>\n";
        out += "</article>\n";
    }

    // The language text d was read in.
    std::string_view language_of(std::size_t d) const {
        const std::vector<LanguageReport>& languages = summary_.diagnostics->languages;
        return d < languages.size() ? std::string_view(languages[d].language) : "en";
    }

    void render_sentence(std::string& out, std::string_view bytes, const SentenceReport* r,
                         Encoding encoding, std::string_view language) {
        const bool in_extract = r != nullptr && r->in_extract;
        const bool vell = r != nullptr && r->vell;
        const char* tag = in_extract ? "mark" : "span";
        out += '<';
        out += tag;
        out += in_extract ? (vell ? " class=\"s x v\" id=\"vell\"" : " class=\"s x\"")
                          : " class=\"s\"";
        if (r != nullptr) {
            out += " style=\"--w:";
            out += fraction(max_score_ > 0 ? r->score / max_score_ : 0);
            out += "\" title=\"score ";
            out += number(r->score);
            out += " &#xB7; " + plural(r->words, "word", "words");
            out += vell ? " &#xB7; vell sentence" : in_extract ? " &#xB7; in the extract" : "";
            if (in_extract && options_.condense) {
                out += " &#xB7; condensed: ";
                append_label(out, r->text);
            }
            out += '"';
        } else {
            out += " title=\"not read: no words\"";
        }
        out += '>';
        render_words(out, bytes, encoding, language);
        out += "</";
        out += tag;
        out += ">\n";
    }

    // A content word whose stem is a vell word, the word read as encoding
    // in language.
    bool is_vell_word(std::string_view word, Encoding encoding, std::string_view language) {
        std::string key(word);
        key += encoding == Encoding::utf8 ? 'u' : 'l';
        key += language;
        auto it = vell_words_.find(key);
        if (it == vell_words_.end()) {
            const bool vell = !vell_stems_.empty() &&
                              vell_stems_.contains(stem(word, encoding, language)) &&
                              !is_stop_word(word, encoding, language);
            it = vell_words_.emplace(key, vell).first;
        }
        return it->second;
    }

    // The sentence's bytes with its vell words underlined. In a UTF-8 page
    // an underline covers whole characters: a word of letter bytes may end
    // or start inside one.
    void render_words(std::string& out, std::string_view bytes, Encoding encoding,
                      std::string_view language) {
        std::vector<Span> marks;
        for (const Span& w : word_spans(bytes, encoding, language)) {
            if (!is_vell_word(bytes.substr(w.offset, w.length), encoding, language)) continue;
            std::size_t from = w.offset;
            std::size_t to = w.offset + w.length;
            if (charset_ == Charset::utf8) {
                while (from > 0 && continuation(static_cast<unsigned char>(bytes[from]))) --from;
                while (to < bytes.size() && continuation(static_cast<unsigned char>(bytes[to])))
                    ++to;
            }
            if (!marks.empty() && from <= marks.back().offset + marks.back().length) {
                marks.back().length =
                    std::max(to, marks.back().offset + marks.back().length) - marks.back().offset;
            } else {
                marks.push_back({from, to - from});
            }
        }
        std::size_t at = 0;
        for (const Span& m : marks) {
            append_text(out, bytes.substr(at, m.offset - at), charset_);
            out += "<u>";
            append_text(out, bytes.substr(m.offset, m.length), charset_);
            out += "</u>";
            at = m.offset + m.length;
        }
        append_text(out, bytes.substr(at), charset_);
    }

    std::span<const std::string> texts_;
    std::span<const std::string> names_;
    const Options& options_;
    const Summary& summary_;
    std::vector<std::vector<Span>> spans_;
    Charset charset_;
    std::vector<std::vector<const SentenceReport*>> reports_;
    double max_score_ = 0;
    std::unordered_set<std::string> vell_stems_;
    std::unordered_map<std::string, bool> vell_words_;  // each word as written, looked up once
};

}  // namespace

std::string render_html(std::span<const std::string> texts, std::span<const std::string> names,
                        const Options& options, const Summary& summary) {
    return Page(texts, names, options, summary).render();
}

}  // namespace brennic::view
