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
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "brennic/cancellable.h"
#include "brennic/main_text.h"
#include "view/html_view.h"
#include "view/json_view.h"
#include "view/stop.h"

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

// The value as Python shows it, quotes and escapes included: what a
// message names, whole, whatever bytes or characters it holds.
std::string shown(py::handle value) {
    return py::cast<std::string>(steal(PyObject_ASCII(value.ptr())));
}

// A str argument naming something (an encoding, a language) as UTF-8; a
// name that is not a str, holds NUL or a lone surrogate names nothing.
std::optional<std::string> to_name(py::handle value, const char* what) {
    if (!PyUnicode_Check(value.ptr())) {
        throw py::type_error(std::string(what) + " must be a str, not " +
                             Py_TYPE(value.ptr())->tp_name);
    }
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(value.ptr(), &size);
    if (data == nullptr) {
        PyErr_Clear();
        return std::nullopt;
    }
    std::string name(data, static_cast<std::size_t>(size));
    if (name.find('\0') != std::string::npos) return std::nullopt;
    return name;
}

// A str argument that names a file: its bytes, as the command line reads
// the name (surrogateescape).
std::string to_name_bytes(py::handle value, const char* what) {
    if (!PyUnicode_Check(value.ptr())) {
        throw py::type_error(std::string(what) + " must be a str, not " +
                             Py_TYPE(value.ptr())->tp_name);
    }
    return std::string(to_text(value, what).bytes);
}

// A language argument: an unknown one fails as the library fails for it,
// with the whole value in the message.
std::string to_language(py::handle value) {
    const std::optional<std::string> name = to_name(value, "language");
    if (!name) throw brennic::Error("unknown language " + shown(value));
    return *name;
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
        if (!value) throw py::value_error("rate must be a finite number, not " + shown(rate));
        return *value;
    }
    if (!PyNumber_Check(o)) {
        throw py::type_error(std::string("rate must be a number or a str, not ") +
                             Py_TYPE(o)->tp_name);
    }
    const py::object as_float = steal(PyNumber_Float(o));
    const std::optional<float> value = brennic::read_number(shown(as_float));
    if (!value) throw py::value_error("rate must be a finite number, not " + shown(as_float));
    return *value;
}

const char* type_name(py::handle object) { return Py_TYPE(object.ptr())->tp_name; }

// The checks below raise short errors that name the argument and the type
// given, and the value only where it is short (a number, a name), never a
// text, which may be long.
bool to_flag(py::handle object, const char* what) {
    if (!PyBool_Check(object.ptr()) && !PyLong_Check(object.ptr()))
        throw py::type_error(std::string(what) + " must be True or False, not " +
                             type_name(object));
    return PyObject_IsTrue(object.ptr()) == 1;
}

// A whole number from `least` to `most`.
unsigned long long to_count(py::handle object, const char* what, unsigned long long least,
                            unsigned long long most) {
    if (PyBool_Check(object.ptr()) || !PyLong_Check(object.ptr()))
        throw py::type_error(std::string(what) + " must be a whole number, not " +
                             type_name(object));
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(object.ptr(), &overflow);
    if (overflow != 0 || n < 0 || static_cast<unsigned long long>(n) < least ||
        static_cast<unsigned long long>(n) > most)
        throw py::value_error(
            std::string(what) + " must be from " + std::to_string(least) +
            (most == static_cast<unsigned long long>(-1) ? std::string(" on")
                                                         : " to " + std::to_string(most)) +
            ", not " +
            (overflow == 0
                 ? std::to_string(n)
                 : std::string(overflow < 0 ? "a number below" : "a number beyond") + " 64 bits"));
    return static_cast<unsigned long long>(n);
}

brennic::Encoding to_encoding(py::handle value) {
    const std::optional<std::string> name = to_name(value, "encoding");
    const std::optional<brennic::Encoding> encoding =
        name ? brennic::parse_encoding(*name) : std::nullopt;
    if (!encoding)
        throw py::value_error("encoding must be 'auto', 'latin1' or 'utf-8', not " + shown(value));
    return *encoding;
}

brennic::Input to_input(py::handle object) {
    const std::optional<std::string> name = to_name(object, "input");
    const std::optional<brennic::Input> input = name ? brennic::parse_input(*name) : std::nullopt;
    if (!input) {
        throw py::value_error("input must be 'auto', 'text', 'html' or 'markdown', not " +
                              shown(object));
    }
    return *input;
}

// keep: the share of the words to keep, a number from 0 to 1 or a str
// holding one or a percentage ("30%"), as the command's --keep.
float to_keep_rate(py::handle keep) {
    PyObject* o = keep.ptr();
    double share = 0.0;
    bool ok = false;
    if (PyUnicode_Check(o)) {
        std::string s(to_text(keep, "keep").bytes);
        const bool percent = s.ends_with('%');
        if (percent) s.pop_back();
        const std::optional<float> value = brennic::read_number(s);
        ok = value.has_value();
        if (ok) share = percent ? *value / 100.0 : *value;
    } else if (!PyBool_Check(o) && PyNumber_Check(o)) {
        share = PyFloat_AsDouble(steal(PyNumber_Float(o)).ptr());
        ok = true;
    } else {
        throw py::type_error(std::string("keep must be a number or a str such as '30%', not ") +
                             type_name(keep));
    }
    if (!ok || !(share >= 0.0 && share <= 1.0)) {
        throw py::value_error("keep must be from 0 to 1, or from '0%' to '100%', not " +
                              shown(keep));
    }
    return static_cast<float>(1.0 - share);
}

// The largest number of words a rate carries exactly.
constexpr unsigned long long kMostWords = 1ull << 24;

// The options of a call. Of rate, keep and words one at most gives the
// budget in words; sentences adds a budget in sentences. With none of them
// the command's default holds (rate 0.7); with sentences alone there is no
// budget in words.
struct Arguments {
    py::handle rate, keep, words, sentences, query, mean, condense, encoding, language;
    py::handle method = py::none(), title = py::none();
};

brennic::Options to_options(const Arguments& a) {
    brennic::Options options;
    options.encoding = to_encoding(a.encoding);
    options.language = to_language(a.language);
    const int lengths = !a.rate.is_none() + !a.keep.is_none() + !a.words.is_none();
    if (lengths > 1) throw py::value_error("give one of rate, keep and words");
    if (!a.rate.is_none()) options.compression_rate = to_rate(a.rate);
    if (!a.keep.is_none()) options.compression_rate = to_keep_rate(a.keep);
    if (!a.words.is_none())
        options.compression_rate = static_cast<float>(to_count(a.words, "words", 1, kMostWords));
    if (!a.sentences.is_none()) {
        options.max_sentences = static_cast<std::size_t>(
            to_count(a.sentences, "sentences", 1, static_cast<unsigned long long>(-1)));
        if (lengths == 0) options.compression_rate = 0.0f;
    }
    if (!a.query.is_none()) options.query = std::string(to_text(a.query, "query").bytes);
    options.mean = to_flag(a.mean, "mean");
    options.condense = to_flag(a.condense, "condense");
    if (!a.method.is_none()) {
        const std::optional<std::string> name = to_name(a.method, "method");
        const std::vector<std::string> names = brennic::methods();
        if (!name || std::find(names.begin(), names.end(), *name) == names.end()) {
            std::string known;
            for (const std::string& n : names) known += (known.empty() ? "'" : ", '") + n + "'";
            throw py::value_error("method must be one of " + known + ", not " + shown(a.method));
        }
        options.method = *name;
    }
    if (!a.title.is_none()) options.title = std::string(to_text(a.title, "title").bytes);
    return options;
}

// Runs call, which takes options, without the GIL. A call on more than a
// megabyte runs in a thread of its own while this one looks for a signal
// every 50 ms: Ctrl-C sets the library's cancel flag, the call stops within
// a fraction of a second, and the KeyboardInterrupt (or whatever else the
// signal's handler raised) goes up to the caller.
// call takes the flag to stop at, null when it runs in this thread.
template <class F>
auto interruptible(std::size_t bytes, F&& call) -> decltype(call(nullptr)) {
    constexpr std::size_t kWorthAThread = std::size_t{1} << 20;
    if (bytes < kWorthAThread) {
        py::gil_scoped_release unlocked;
        return call(nullptr);
    }
    std::atomic<bool> cancel{false};
    std::optional<decltype(call(nullptr))> result;
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
                    result = call(&cancel);
                } catch (...) { failure = std::current_exception(); }
                std::lock_guard lock(mutex);
                done = true;
                finished.notify_one();
            });
        } catch (const std::system_error&) {
            return call(nullptr);  // no thread to spare: not interruptible, but done
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

// The same for a call that takes options: options.cancel is the flag.
template <class F>
auto interruptible(brennic::Options& options, std::size_t bytes, F&& call) -> decltype(call()) {
    auto result = interruptible(bytes, [&](const std::atomic<bool>* flag) {
        options.cancel = flag;
        return call();
    });
    options.cancel = nullptr;
    return result;
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
            bool as_str, brennic::view::Source source = {})
        : texts_(std::move(texts)),
          options_(std::move(options)),
          summary_(std::move(summary)),
          as_str_(as_str),
          source_(std::move(source)) {}

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
        return interruptible(bytes(), [&](const std::atomic<bool>* flag) {
            const brennic::view::StopWhen stop(flag);
            return brennic::view::render_json(texts_, names, name, options_, summary_, keywords,
                                              source_);
        });
    }

    // The page as a str, decoded from the charset it declares: UTF-8, or
    // Windows-1252 when a text is shown so.
    py::str html(const std::string& name, py::handle names_in) const {
        const std::vector<std::string> names = this->names(names_in, name);
        const std::string page = interruptible(bytes(), [&](const std::atomic<bool>* flag) {
            const brennic::view::StopWhen stop(flag);
            return brennic::view::render_html(texts_, names, options_, summary_);
        });
        const bool utf8 = page.find("<meta charset=\"utf-8\">") < 200;
        return py::reinterpret_borrow<py::str>(
            steal(PyUnicode_Decode(page.data(), static_cast<Py_ssize_t>(page.size()),
                                   utf8 ? "utf-8" : "cp1252", "strict")));
    }

    py::list extract() const { return to_python(summary_.sentences, as_str_); }

    // The document as Python values, made once.
    py::dict document() {
        if (!document_)
            document_ = py::module_::import("json").attr("loads")(to_json("-", py::none(), 10));
        return py::reinterpret_borrow<py::dict>(*document_);
    }

private:
    std::size_t bytes() const {
        std::size_t n = 0;
        for (const std::string& t : texts_) n += t.size();
        return n;
    }

    std::vector<std::string> texts_;
    brennic::Options options_;
    brennic::Summary summary_;
    bool as_str_;
    brennic::view::Source source_;  // what the texts were read as
    std::optional<py::object> document_;
};

py::object summarize(py::handle text_or_texts, py::handle rate, py::handle query, py::handle mean,
                     py::handle condense, py::handle details_in, py::handle sentences,
                     py::handle keep, py::handle words, py::handle encoding, py::handle language,
                     py::handle input, py::handle method, py::handle title) {
    brennic::Options options = to_options(
        {rate, keep, words, sentences, query, mean, condense, encoding, language, method, title});
    const bool details = to_flag(details_in, "details");
    const brennic::Input kind = to_input(input);
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
    // Web pages and Markdown give way to their main texts, which the
    // details then describe.
    std::vector<std::string> main_texts;
    std::vector<std::string> hints;
    std::vector<std::string> titles;  // for methods that read titles
    brennic::view::Source source;
    if (kind != brennic::Input::text) {
        py::gil_scoped_release unlocked;
        for (std::size_t i = 0; i < views.size(); ++i) {
            brennic::Document doc = brennic::main_text(views[i], kind);
            const std::string name = doc.input == brennic::Input::html       ? "html"
                                     : doc.input == brennic::Input::markdown ? "markdown"
                                                                             : "text";
            source.input = i == 0 || source.input == name ? name : "mixed";
            titles.push_back(doc.title);
            if (source.title.empty()) source.title = std::move(doc.title);
            main_texts.push_back(std::move(doc.text));
            hints.push_back(std::move(doc.language));
        }
        views.assign(main_texts.begin(), main_texts.end());
    }
    brennic::Summary summary = interruptible(options, total_bytes(views), [&] {
        return brennic::summarize_main_texts(std::span<const std::string_view>(views), hints,
                                             options, titles);
    });
    if (!details) return to_python(summary.sentences, as_str);
    return py::cast(Details(std::vector<std::string>(views.begin(), views.end()), options,
                            std::move(summary), as_str, std::move(source)));
}

constexpr long kMaxThreads = 1024;

py::list summarize_many(py::handle texts_in, py::handle rate, py::handle query, py::handle mean,
                        py::handle condense, py::handle threads_in, py::handle sentences,
                        py::handle keep, py::handle words, py::handle encoding, py::handle language,
                        py::handle input, py::handle method, py::handle title) {
    const auto threads = static_cast<long>(std::min<unsigned long long>(
        to_count(threads_in, "threads", 0, static_cast<unsigned long long>(-1)), kMaxThreads));
    if (is_one_text(texts_in)) throw py::type_error("texts must be a list of texts, not one");
    brennic::Options options = to_options(
        {rate, keep, words, sentences, query, mean, condense, encoding, language, method, title});
    options.input = to_input(input);
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

py::object main_text(py::handle data_in, py::handle input, py::handle name) {
    const Text data = to_text(data_in, "data");
    const brennic::Input kind = to_input(input);
    const std::string file_name = name.is_none() ? std::string() : to_name_bytes(name, "name");
    std::string text;
    {
        py::gil_scoped_release unlocked;
        text = brennic::main_text(data.bytes, kind, file_name).text;
    }
    return to_python(text, data.is_str);
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

py::list segment(py::handle text_in, py::handle language_in) {
    const std::string language = to_language(language_in);
    const Text text = to_text(text_in, "the text");
    const std::vector<std::string> sentences =
        interruptible(text.bytes.size(), [&](const std::atomic<bool>* flag) {
            return brennic::segment(text.bytes, language, flag);
        });
    return to_python(sentences, text.is_str);
}

// The number of bytes that code point c takes in the text's bytes.
std::size_t encoded_size(Py_UCS4 c) {
    if (c < 0x80 || (c >= 0xDC80 && c <= 0xDCFF)) return 1;
    if (c < 0x800) return 2;
    return c < 0x10000 ? 3 : 4;
}

py::list segment_spans(py::handle text_in, py::handle language_in) {
    const std::string language = to_language(language_in);
    const Text text = to_text(text_in, "the text");
    const std::vector<brennic::Span> spans =
        interruptible(text.bytes.size(), [&](const std::atomic<bool>* flag) {
            return brennic::segment_spans(text.bytes, language, flag);
        });
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
`brennic --format json` writes (see to_json()). A sentence's character
offsets count code points when its text's encoding (encodings) is "utf-8",
bytes when it is "latin1" or "windows-1252".)doc")
        .def_property_readonly("extract", &Details::extract,
                               "The extract's sentences, in input order.")
        .def_property_readonly(
            "language", [](Details& d) { return d.document()["language"]; },
            "The language the texts were read in.")
        .def_property_readonly(
            "encoding", [](Details& d) { return d.document()["encoding"]; },
            "\"utf-8\", \"latin1\" or \"windows-1252\": how the texts' bytes were read, when "
            "all were read alike; \"mixed\" otherwise.")
        .def_property_readonly(
            "encodings", [](Details& d) { return d.document()["encodings"]; },
            "How each text's bytes were read, and what its sentences' char offsets count: "
            "\"utf-8\" (code points), or bytes: \"latin1\" in English, \"windows-1252\" in "
            "the other languages.")
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

    // summarize and summarize_many take their arguments in order; the
    // package wraps them in functions with keywords and defaults.
    m.def(
        "summarize", &summarize, py::arg("text_or_texts"), py::arg("rate"), py::arg("query"),
        py::arg("mean"), py::arg("condense"), py::arg("details"), py::arg("sentences"),
        py::arg("keep"), py::arg("words"), py::arg("encoding"), py::arg("language"),
        py::arg("input"), py::arg("method"), py::arg("title"),
        R"doc(summarize(text_or_texts, rate, query, mean, condense, details, sentences, keep, words, encoding, language, input, method, title)
--

brennic.summarize() with every argument given; call that one instead.)doc");

    m.def(
        "summarize_many", &summarize_many, py::arg("texts"), py::arg("rate"), py::arg("query"),
        py::arg("mean"), py::arg("condense"), py::arg("threads"), py::arg("sentences"),
        py::arg("keep"), py::arg("words"), py::arg("encoding"), py::arg("language"),
        py::arg("input"), py::arg("method"), py::arg("title"),
        R"doc(summarize_many(texts, rate, query, mean, condense, threads, sentences, keep, words, encoding, language, input, method, title)
--

brennic.summarize_many() with every argument given; call that one instead.)doc");

    m.def("main_text", &main_text, py::arg("data"), py::arg("input") = "auto", py::kw_only(),
          py::arg("name") = py::none(),
          R"doc(main_text(data, input='auto', *, name=None)
--

The text that would be summarized of data: a web page's main text (without
menus, footers, scripts and the like), a Markdown file's prose (without
markup, code blocks and tables), or plain text as it is.

input is 'auto', 'text', 'html' or 'markdown'. 'auto' goes by name when it
ends in .html, .htm, .xhtml, .md, .markdown (or .txt, .text: plain text),
else by the content: data that opens as a web page, or whose first 4 KiB are
mostly markup, is one. The result has one paragraph a line, a blank line
between paragraphs; it is str for str data, else UTF-8 bytes, as brennic
--main-text prints it.)doc");

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

    m.def(
        "methods",
        [] {
            py::list names;
            for (const std::string& name : brennic::methods()) names.append(py::str(name));
            return names;
        },
        R"doc(methods()
--

The names of the methods summarize() takes, the default 'frequency' first.)doc");

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
