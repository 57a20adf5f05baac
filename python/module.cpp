// SPDX-License-Identifier: MIT
// brennic._brennic: the public library as a Python extension module.
//
// A text is str or bytes (or any other bytes-like object). A str becomes its
// UTF-8 bytes, its escaped surrogates U+DC80..U+DCFF the bytes 0x80..0xFF
// (the "surrogateescape" error handler), which is what the command line reads
// from a UTF-8 file. Results take the type of what was given: bytes as the
// library returns them, or str decoded the same way, so no byte is lost.
// The library runs without the GIL; the texts it reads are immutable bytes
// objects that this module holds for the whole call.
#include <Python.h>
#include <brennic/brennic.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "view/html_view.h"
#include "view/json_view.h"

namespace py = pybind11;

namespace {

py::object steal(PyObject* object) {
    if (object == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(object);
}

// A text's bytes, and the object that owns them.
struct Text {
    py::object owner;  // a bytes object
    std::string_view bytes;
    bool is_str = false;
};

Text to_text(py::handle object, const char* what) {
    Text text;
    PyObject* o = object.ptr();
    if (PyUnicode_Check(o)) {
        text.owner = steal(PyUnicode_AsEncodedString(o, "utf-8", "surrogateescape"));
        text.is_str = true;
    } else if (PyBytes_Check(o)) {
        text.owner = py::reinterpret_borrow<py::object>(object);
    } else if (PyObject_CheckBuffer(o)) {
        // A copy: a bytearray could change while the library reads it.
        text.owner = steal(PyBytes_FromObject(o));
    } else {
        throw py::type_error(std::string(what) + " must be str or bytes, not " +
                             Py_TYPE(o)->tp_name);
    }
    text.bytes = {PyBytes_AS_STRING(text.owner.ptr()),
                  static_cast<std::size_t>(PyBytes_GET_SIZE(text.owner.ptr()))};
    return text;
}

bool is_one_text(py::handle object) {
    PyObject* o = object.ptr();
    return PyUnicode_Check(o) || PyBytes_Check(o) || PyObject_CheckBuffer(o);
}

std::vector<Text> to_texts(py::handle iterable, const char* what) {
    if (!py::isinstance<py::iterable>(iterable)) {
        throw py::type_error(std::string(what) + " must be a list of texts, not " +
                             Py_TYPE(iterable.ptr())->tp_name);
    }
    std::vector<Text> texts;
    for (py::handle item : py::iter(iterable)) texts.push_back(to_text(item, "every text"));
    return texts;
}

py::object to_python(std::string_view s, bool as_str) {
    const auto size = static_cast<Py_ssize_t>(s.size());
    return steal(as_str ? PyUnicode_DecodeUTF8(s.data(), size, "surrogateescape")
                        : PyBytes_FromStringAndSize(s.data(), size));
}

py::list to_python(const std::vector<std::string>& lines, bool as_str) {
    py::list list(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) list[i] = to_python(lines[i], as_str);
    return list;
}

// The rate as the command line reads its argument: a str or bytes as it is,
// a number as the shortest decimal that reads back as the same float.
float to_rate(py::handle rate) {
    PyObject* o = rate.ptr();
    if (PyBool_Check(o)) throw py::type_error("rate must be a number or a str, not bool");
    if (PyUnicode_Check(o) || PyBytes_Check(o)) {
        const std::string_view s = to_text(rate, "").bytes;
        const std::optional<float> value = brennic::read_number(s);
        if (!value)
            throw py::value_error("rate must be a finite number, not '" + std::string(s) + "'");
        return *value;
    }
    if (!PyNumber_Check(o)) {
        throw py::type_error(std::string("rate must be a number or a str, not ") +
                             Py_TYPE(o)->tp_name);
    }
    const py::object repr = steal(PyObject_Repr(steal(PyNumber_Float(o)).ptr()));
    const std::optional<float> value = brennic::read_number(py::cast<std::string>(repr));
    if (!value)
        throw py::value_error("rate must be a finite number, not " + py::cast<std::string>(repr));
    return *value;
}

brennic::Encoding to_encoding(const std::string& name) {
    const std::optional<brennic::Encoding> encoding = brennic::parse_encoding(name);
    if (!encoding) {
        throw py::value_error("encoding must be 'auto', 'latin1' or 'utf-8', not '" + name + "'");
    }
    return *encoding;
}

brennic::Options to_options(py::handle rate, py::handle query, bool mean, bool condense,
                            py::handle sentences, const std::string& encoding,
                            const std::string& language) {
    brennic::Options options;
    options.encoding = to_encoding(encoding);
    options.language = language;
    options.compression_rate = to_rate(rate);
    if (!sentences.is_none()) {
        const long n = py::cast<long>(sentences);
        if (n < 1) throw py::value_error("sentences must be 1 or more");
        options.max_sentences = static_cast<std::size_t>(n);
    }
    if (!query.is_none()) options.query = std::string(to_text(query, "query").bytes);
    options.mean = mean;
    options.condense = condense;
    return options;
}

// Runs call, which takes options, without the GIL. A call on more than a
// megabyte runs in a thread of its own while this one looks for a signal
// every 50 ms: Ctrl-C sets the library's cancel flag, the call stops within
// a fraction of a second, and the KeyboardInterrupt (or whatever else the
// signal's handler raised) goes up to the caller.
template <class F>
auto interruptible(brennic::Options& options, std::size_t bytes, F&& call) -> decltype(call()) {
    constexpr std::size_t kWorthAThread = std::size_t{1} << 20;
    if (bytes < kWorthAThread) {
        py::gil_scoped_release unlocked;
        return call();
    }
    std::atomic<bool> cancel{false};
    options.cancel = &cancel;
    std::optional<decltype(call())> result;
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    {
        py::gil_scoped_release unlocked;
        std::thread worker;
        try {
            worker = std::thread([&] {
                try {
                    result = call();
                } catch (...) { failure = std::current_exception(); }
                std::lock_guard lock(mutex);
                done = true;
                finished.notify_one();
            });
        } catch (const std::system_error&) {
            options.cancel = nullptr;
            return call();  // no thread to spare: not interruptible, but done
        }
        for (;;) {
            std::unique_lock lock(mutex);
            if (finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) break;
            lock.unlock();
            py::gil_scoped_acquire held;
            if (PyErr_CheckSignals() != 0) {
                cancel = true;
                break;
            }
        }
        worker.join();
    }
    if (PyErr_Occurred() != nullptr) throw py::error_already_set();
    if (failure) std::rethrow_exception(failure);
    return std::move(*result);
}

std::size_t total_bytes(const std::vector<std::string_view>& views) {
    std::size_t bytes = 0;
    for (const std::string_view v : views) bytes += v.size();
    return bytes;
}

// What summarize(..., details=True) returns: the texts, the options and the
// summary with its diagnostics, from which the JSON document and the web
// page are made exactly as the command makes them.
class Details {
public:
    Details(std::vector<std::string> texts, brennic::Options options, brennic::Summary summary,
            bool as_str)
        : texts_(std::move(texts)),
          options_(std::move(options)),
          summary_(std::move(summary)),
          as_str_(as_str) {}

    std::vector<std::string> names(py::handle names, const std::string& name) const {
        if (names.is_none()) {
            if (texts_.size() == 1) return {name};
            std::vector<std::string> numbered;
            for (std::size_t i = 0; i < texts_.size(); ++i) numbered.push_back(std::to_string(i));
            return numbered;
        }
        std::vector<std::string> out;
        for (py::handle n : py::iter(names)) out.emplace_back(to_text(n, "every name").bytes);
        if (out.size() != texts_.size()) throw py::value_error("names must name every text");
        return out;
    }

    std::string to_json(const std::string& name, py::handle names_in, std::size_t keywords) const {
        const std::vector<std::string> names = this->names(names_in, name);
        py::gil_scoped_release unlocked;
        return brennic::view::render_json(texts_, names, name, options_, summary_, keywords);
    }

    std::string html(const std::string& name, py::handle names_in) const {
        const std::vector<std::string> names = this->names(names_in, name);
        py::gil_scoped_release unlocked;
        return brennic::view::render_html(texts_, names, options_, summary_);
    }

    py::list extract() const { return to_python(summary_.sentences, as_str_); }

    // The document as Python values, made once.
    py::dict document() {
        if (!document_)
            document_ = py::module_::import("json").attr("loads")(to_json("-", py::none(), 10));
        return py::reinterpret_borrow<py::dict>(*document_);
    }

private:
    std::vector<std::string> texts_;
    brennic::Options options_;
    brennic::Summary summary_;
    bool as_str_;
    std::optional<py::object> document_;
};

py::object summarize(py::handle text_or_texts, py::handle rate, py::handle query, bool mean,
                     bool condense, bool details, py::handle sentences, const std::string& encoding,
                     const std::string& language) {
    brennic::Options options = to_options(rate, query, mean, condense, sentences, encoding, language);
    options.diagnostics = details;
    std::vector<Text> texts;
    if (is_one_text(text_or_texts)) {
        texts.push_back(to_text(text_or_texts, "the text"));
    } else {
        texts = to_texts(text_or_texts, "text_or_texts");
    }
    const bool as_str = !texts.empty() && texts.front().is_str;
    for (const Text& t : texts) {
        if (t.is_str != as_str) throw py::type_error("the texts must be all str or all bytes");
    }
    std::vector<std::string_view> views;
    for (const Text& t : texts) views.push_back(t.bytes);
    brennic::Summary summary = interruptible(options, total_bytes(views), [&] {
        return brennic::summarize(std::span<const std::string_view>(views), options);
    });
    options.cancel = nullptr;  // the flag was the call's own
    if (!details) return to_python(summary.sentences, as_str);
    return py::cast(Details(std::vector<std::string>(views.begin(), views.end()), options,
                            std::move(summary), as_str));
}

constexpr long kMaxThreads = 1024;

py::list summarize_many(py::handle texts_in, py::handle rate, py::handle query, bool mean,
                        bool condense, long threads, py::handle sentences,
                        const std::string& encoding, const std::string& language) {
    if (threads < 0) throw py::value_error("threads must be 0 or more");
    if (is_one_text(texts_in)) throw py::type_error("texts must be a list of texts, not one");
    brennic::Options options =
        to_options(rate, query, mean, condense, sentences, encoding, language);
    const std::vector<Text> texts = to_texts(texts_in, "texts");
    std::vector<std::string_view> views;
    for (const Text& t : texts) views.push_back(t.bytes);
    const std::vector<brennic::Summary> summaries = interruptible(options, total_bytes(views), [&] {
        return brennic::summarize_all(views, options,
                                      static_cast<unsigned>(std::min<long>(threads, kMaxThreads)));
    });
    py::list list(summaries.size());
    for (std::size_t i = 0; i < summaries.size(); ++i)
        list[i] = to_python(summaries[i].sentences, texts[i].is_str);
    return list;
}

py::str detect_language(py::handle text_in) {
    const Text text = to_text(text_in, "the text");
    std::string code;
    {
        py::gil_scoped_release unlocked;
        code = brennic::detect_language(text.bytes);
    }
    return py::str(code);
}

py::list segment(py::handle text_in, const std::string& language) {
    const Text text = to_text(text_in, "the text");
    std::vector<std::string> sentences;
    {
        py::gil_scoped_release unlocked;
        sentences = brennic::segment(text.bytes, language);
    }
    return to_python(sentences, text.is_str);
}

// The number of bytes that code point c takes in the text's bytes.
std::size_t encoded_size(Py_UCS4 c) {
    if (c < 0x80 || (c >= 0xDC80 && c <= 0xDCFF)) return 1;
    if (c < 0x800) return 2;
    return c < 0x10000 ? 3 : 4;
}

py::list segment_spans(py::handle text_in, const std::string& language) {
    const Text text = to_text(text_in, "the text");
    std::vector<brennic::Span> spans;
    {
        py::gil_scoped_release unlocked;
        spans = brennic::segment_spans(text.bytes, language);
    }
    py::list list(spans.size());
    if (!text.is_str) {
        for (std::size_t i = 0; i < spans.size(); ++i)
            list[i] = py::make_tuple(spans[i].offset, spans[i].offset + spans[i].length);
        return list;
    }
    // Byte offsets become code point offsets in one walk over the str: a
    // start inside a code point moves to its start, an end to its end.
    PyObject* str = text_in.ptr();
    const int kind = PyUnicode_KIND(str);
    const void* data = PyUnicode_DATA(str);
    Py_ssize_t point = 0;
    std::size_t byte = 0;
    const auto next = [&] { byte += encoded_size(PyUnicode_READ(kind, data, point++)); };
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const std::size_t start = spans[i].offset;
        const std::size_t end = start + spans[i].length;
        while (byte < start && byte + encoded_size(PyUnicode_READ(kind, data, point)) <= start)
            next();
        const Py_ssize_t first = point;
        while (byte < end) next();
        list[i] = py::make_tuple(first, point);
    }
    return list;
}

}  // namespace

PYBIND11_MODULE(_brennic, m) {
    m.doc() = "The compiled part of the brennic package; import brennic instead.";
    m.attr("__version__") = brennic::version();
    py::register_exception<brennic::Error>(m, "Error");
    // Each docstring starts with its signature in the form that
    // inspect.signature() reads; the types are in the package's stubs.
    py::options options;
    options.disable_function_signatures();

    py::class_<Details>(m, "Details", R"doc(What the summarizer computed for an extract.

Returned by summarize(..., details=True). extract holds the extract's
sentences, as summarize() returns them; language, encoding, figures,
sentences and keywords hold the members of the JSON document that
`brennic --format json` writes (see to_json()). Character offsets count
code points when the encoding is "utf-8", bytes when it is "latin1".)doc")
        .def_property_readonly("extract", &Details::extract,
                               "The extract's sentences, in input order.")
        .def_property_readonly(
            "language", [](Details& d) { return d.document()["language"]; },
            "The language the texts were read in.")
        .def_property_readonly(
            "encoding", [](Details& d) { return d.document()["encoding"]; },
            "\"utf-8\" or \"latin1\": how the bytes were read, and what char offsets count.")
        .def_property_readonly(
            "figures", [](Details& d) { return d.document()["figures"]; },
            "The run's figures: words, budget, sentence_budget, threshold, rate, sentences, "
            "chosen, chosen_words.")
        .def_property_readonly(
            "sentences", [](Details& d) { return d.document()["sentences"]; },
            "Every sentence: text, document, byte_offset, byte_length, char_offset, "
            "char_length, words, score, worthy, chosen, vell.")
        .def_property_readonly(
            "keywords", [](Details& d) { return d.document()["keywords"]; },
            "The ten keywords: word, stem, frequency, vell.")
        .def("to_json", &Details::to_json, py::arg("name") = "-", py::arg("names") = py::none(),
             py::arg("keywords") = 10,
             R"doc(to_json(name="-", names=None, keywords=10)
--

The JSON document, one line ended by a line end, exactly as
`brennic --format json` writes it for a text named name (names: the name of
each text read together; by default name for one text, "0", "1", ... for
several).)doc")
        .def("html", &Details::html, py::arg("name") = "-", py::arg("names") = py::none(),
             R"doc(html(name="-", names=None)
--

The web page, exactly as `brennic --format html` writes it.)doc");

    m.def(
        "summarize", &summarize, py::arg("text_or_texts"), py::arg("rate"),
        py::arg("query") = py::none(), py::arg("mean") = false, py::arg("condense") = false,
        py::arg("details") = false, py::arg("sentences") = py::none(), py::kw_only(),
        py::arg("encoding") = "auto", py::arg("language") = "en",
        R"doc(summarize(text_or_texts, rate, query=None, mean=False, condense=False, details=False, sentences=None, *, encoding='auto', language='en')
--

The extract of a text, or of several texts read together as one.

text_or_texts is a text, or a list (any iterable) of texts that are
summarized together as one input, like Brennic.exe -nM. A text is bytes,
taken as they are, or str, taken as its UTF-8 encoding with the
'surrogateescape' error handler: the bytes that Brennic.exe reads from a
UTF-8 file, and the very bytes a str came from when it was decoded with
'surrogateescape'. The texts must be all str or all bytes.

rate is what Brennic.exe takes as compression_rate, a number or a str
holding one: below 1 the fraction of the words to leave out (0.7 keeps
about 30 %), from 1 on the largest number of words of the extract, negative
the central sentence alone. A str that is not a finite number as a whole
("abc", "", "nan", "0.7abc"), or a NaN or infinite number, raises
ValueError.

sentences, a number from 1 on, is a budget in sentences besides the rate's
budget in words: the worthy sentences are dropped, the lowest score first,
until no more remain (the central sentence always stays). Give rate 0 for
a budget in sentences alone.

query (str or bytes) centres the extract on the sentence most similar to it;
mean scores sentences by the mean frequency of their words (-ak); condense
deletes stop words from the printed sentences (-is).

encoding says how the bytes of each text, and of the query, make words:
'auto' reads a text as UTF-8 when it is valid UTF-8 and not pure ASCII, and
byte by byte as ISO 8859-1 otherwise (each text decides for itself);
'utf-8' and 'latin1' force one reading. Read as UTF-8, words are made of
Unicode letters and combining marks, so typographic quotes, dashes and
ellipses end words as their ASCII forms do, and a condensed sentence is
never cut inside a character.

language is the texts' language, an ISO 639-1 code of language_codes()
('en', the default, reads English as Brennic.exe always has; 'de', 'zh',
'pl', ...: Unicode words, cut by ICU's dictionaries in the scripts written
without spaces, case folding, the language's Snowball stemmer where it has
one, and its stop list), or 'auto' to find each text's language with
detect_language().

Returns the extract's sentences in input order, exactly the lines that
Brennic.exe writes to its .sum file: str decoded with 'surrogateescape' for
str texts, bytes for bytes; with details=True, a brennic.Details with the
extract, every sentence with its offsets, score and marks, the keywords and
the figures, and to_json() and html() as the command brennic writes them.
Raises brennic.Error with Brennic.exe's message when it fails (an empty
list of texts, say).)doc");

    m.def(
        "summarize_many", &summarize_many, py::arg("texts"), py::arg("rate"),
        py::arg("query") = py::none(), py::arg("mean") = false, py::arg("condense") = false,
        py::arg("threads") = 0, py::arg("sentences") = py::none(), py::kw_only(),
        py::arg("encoding") = "auto", py::arg("language") = "en",
        R"doc(summarize_many(texts, rate, query=None, mean=False, condense=False, threads=0, sentences=None, *, encoding='auto', language='en')
--

The extract of each text on its own, computed in parallel.

Takes the texts and the options of summarize() and returns one list of
sentences per text, in the order of the texts, each of the type of its text.
The work runs in a pool of `threads` native threads (0: one per core) with
the GIL released, so other Python threads run meanwhile. When texts fail,
every text is still tried, then brennic.Error is raised for the first.
Ctrl-C stops it between texts, and a long text within a fraction of a
second, with KeyboardInterrupt.)doc");

    m.def("detect_language", &detect_language, py::arg("text"),
          R"doc(detect_language(text)
--

The language of a text: an ISO 639-1 code of language_codes().

Found by CLD2 from the text's first 256 KiB (str as UTF-8; bytes as
UTF-8, or Windows-1252 when they are not valid UTF-8). Bosnian answers
'sr', Nynorsk 'no'. A text too short to tell, in another language, or a mix
where no language stands out gives 'en'.)doc");

    m.def(
        "language_codes",
        [] {
            py::list codes;
            for (const std::string& code : brennic::language_codes()) codes.append(py::str(code));
            return codes;
        },
        R"doc(language_codes()
--

The codes of the languages a text can be read in, 'en' first.)doc");

    m.def("segment", &segment, py::arg("text"), py::kw_only(), py::arg("language") = "en",
          R"doc(segment(text, *, language="en")
--

The sentences of a text, in order, by the sentence rules of `language`: an
ISO 639-1 code ("en", "de", "fr", "hi", "zh"...) or "auto" for the language
the text is written in. brennic.Error for a code that names no language.

Exactly the lines that TALVEN_En.exe writes for the text's bytes (with
BRENNIC_LANGUAGE set to the language): inside a
sentence every run of white space is one space, but for the line break
before a terminator alone at the start of a line, which is dropped ("for
pricing\n." gives "for pricing."). A str text is taken as its
UTF-8 encoding with 'surrogateescape' and its sentences come back as str
decoded the same way; bytes give bytes.)doc");

    m.def("segment_spans", &segment_spans, py::arg("text"), py::kw_only(),
          py::arg("language") = "en",
          R"doc(segment_spans(text, *, language="en")
--

Where each sentence of segment(text, language=language) lies in the text.

Returns (start, end) pairs, in order and not overlapping, such that
text[start:end] runs from the sentence's first character to its last, with
the white space inside it as it is in the text. The offsets count the units
of the text as given: characters of a str (an escaped surrogate is one
character, as it stands for one byte), bytes of bytes.)doc");
}
