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

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    if (PyUnicode_Check(o) || PyBytes_Check(o)) return brennic::parse_rate(to_text(rate, "").bytes);
    if (!PyNumber_Check(o)) {
        throw py::type_error(std::string("rate must be a number or a str, not ") +
                             Py_TYPE(o)->tp_name);
    }
    const py::object repr = steal(PyObject_Repr(steal(PyNumber_Float(o)).ptr()));
    return brennic::parse_rate(py::cast<std::string>(repr));
}

brennic::Encoding to_encoding(const std::string& name) {
    const std::optional<brennic::Encoding> encoding = brennic::parse_encoding(name);
    if (!encoding) {
        throw py::value_error("encoding must be 'auto', 'latin1' or 'utf-8', not '" + name + "'");
    }
    return *encoding;
}

brennic::Options to_options(py::handle rate, py::handle query, bool mean, bool condense,
                            const std::string& encoding, const std::string& language) {
    brennic::Options options;
    options.encoding = to_encoding(encoding);
    options.language = language;
    options.compression_rate = to_rate(rate);
    if (!query.is_none()) options.query = std::string(to_text(query, "query").bytes);
    options.mean = mean;
    options.condense = condense;
    return options;
}

py::list summarize(py::handle text_or_texts, py::handle rate, py::handle query, bool mean,
                   bool condense, const std::string& encoding, const std::string& language) {
    const brennic::Options options = to_options(rate, query, mean, condense, encoding, language);
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
    brennic::Summary summary;
    {
        py::gil_scoped_release unlocked;
        summary = brennic::summarize(std::span<const std::string_view>(views), options);
    }
    return to_python(summary.sentences, as_str);
}

constexpr long kMaxThreads = 1024;

py::list summarize_many(py::handle texts_in, py::handle rate, py::handle query, bool mean,
                        bool condense, long threads, const std::string& encoding,
                        const std::string& language) {
    if (threads < 0) throw py::value_error("threads must be 0 or more");
    if (is_one_text(texts_in)) throw py::type_error("texts must be a list of texts, not one");
    const brennic::Options options = to_options(rate, query, mean, condense, encoding, language);
    const std::vector<Text> texts = to_texts(texts_in, "texts");
    std::vector<std::string_view> views;
    for (const Text& t : texts) views.push_back(t.bytes);
    std::vector<brennic::Summary> summaries;
    {
        py::gil_scoped_release unlocked;
        summaries = brennic::summarize_many(
            views, options, static_cast<unsigned>(std::min<long>(threads, kMaxThreads)));
    }
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

py::list segment(py::handle text_in) {
    const Text text = to_text(text_in, "the text");
    std::vector<std::string> sentences;
    {
        py::gil_scoped_release unlocked;
        sentences = brennic::segment(text.bytes);
    }
    return to_python(sentences, text.is_str);
}

// The number of bytes that code point c takes in the text's bytes.
std::size_t encoded_size(Py_UCS4 c) {
    if (c < 0x80 || (c >= 0xDC80 && c <= 0xDCFF)) return 1;
    if (c < 0x800) return 2;
    return c < 0x10000 ? 3 : 4;
}

py::list segment_spans(py::handle text_in) {
    const Text text = to_text(text_in, "the text");
    std::vector<brennic::Span> spans;
    {
        py::gil_scoped_release unlocked;
        spans = brennic::segment_spans(text.bytes);
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

    m.def(
        "summarize", &summarize, py::arg("text_or_texts"), py::arg("rate"),
        py::arg("query") = py::none(), py::arg("mean") = false, py::arg("condense") = false,
        py::kw_only(), py::arg("encoding") = "auto", py::arg("language") = "en",
        R"doc(summarize(text_or_texts, rate, query=None, mean=False, condense=False, *, encoding='auto', language='en')
--

The extract of a text, or of several texts read together as one.

text_or_texts is a text, or a list (any iterable) of texts that are
summarized together as one input, like Brennic.exe -nM. A text is bytes,
taken as they are, or str, taken as its UTF-8 encoding with the
'surrogateescape' error handler: the bytes that Brennic.exe reads from a
UTF-8 file, and the very bytes a str came from when it was decoded with
'surrogateescape'. The texts must be all str or all bytes.

rate is what Brennic.exe takes as compression_rate, a number or a str read
as the command line reads it: below 1 the fraction of the words to leave
out (0.7 keeps about 30 %), from 1 on the largest number of words of the
extract, negative the central sentence alone; a str that is not a number
reads as 0.

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
('en', the default, reads English as Brennic.exe always has; 'de', 'fr',
'ru', ...: Unicode words, case folding, the language's Snowball stemmer and
stop list), or 'auto' to find each text's language with detect_language().

Returns the extract's sentences in input order, exactly the lines that
Brennic.exe writes to its .sum file: str decoded with 'surrogateescape' for
str texts, bytes for bytes. Raises brennic.Error with Brennic.exe's message
when it fails (an empty list of texts, say).)doc");

    m.def(
        "summarize_many", &summarize_many, py::arg("texts"), py::arg("rate"),
        py::arg("query") = py::none(), py::arg("mean") = false, py::arg("condense") = false,
        py::arg("threads") = 0, py::kw_only(), py::arg("encoding") = "auto",
        py::arg("language") = "en",
        R"doc(summarize_many(texts, rate, query=None, mean=False, condense=False, threads=0, *, encoding='auto', language='en')
--

The extract of each text on its own, computed in parallel.

Takes the texts and the options of summarize() and returns one list of
sentences per text, in the order of the texts, each of the type of its text.
The work runs in a pool of `threads` native threads (0: one per core) with
the GIL released, so other Python threads run meanwhile. When texts fail,
every text is still tried, then brennic.Error is raised for the first.)doc");

    m.def("detect_language", &detect_language, py::arg("text"),
          R"doc(detect_language(text)
--

The language of a text: an ISO 639-1 code of language_codes().

Found by CLD2 from the text's first 256 KiB (str as UTF-8; bytes as
UTF-8, or Windows-1252 when they are not valid UTF-8). Croatian and Bosnian
answer 'sr', Nynorsk 'no', Malay 'id'. A text too short to tell, in another
language, or a mix where no language stands out gives 'en'.)doc");

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

    m.def("segment", &segment, py::arg("text"),
          R"doc(segment(text)
--

The sentences of a text, in order.

Exactly the lines that TALVEN_En.exe writes for the text's bytes: inside a
sentence every run of white space is one space, but for the line break
before a terminator alone at the start of a line, which is dropped ("for
pricing\n." gives "for pricing."). A str text is taken as its
UTF-8 encoding with 'surrogateescape' and its sentences come back as str
decoded the same way; bytes give bytes.)doc");

    m.def("segment_spans", &segment_spans, py::arg("text"),
          R"doc(segment_spans(text)
--

Where each sentence of segment(text) lies in the text.

Returns (start, end) pairs, in order and not overlapping, such that
text[start:end] runs from the sentence's first character to its last, with
the white space inside it as it is in the text. The offsets count the units
of the text as given: characters of a str (an escaped surrogate is one
character, as it stands for one byte), bytes of bytes.)doc");
}
