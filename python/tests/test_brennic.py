# SPDX-License-Identifier: MIT
"""The Python module against the programs: the same extracts and sentences
from the same bytes, given as bytes or as str, alone or in a thread pool.

BRENNIC_EXE names the Brennic.exe to compare with (TALVEN_En.exe lies beside
it, in the build tree) and BRENNIC_EXAMPLES the examples folder; CTest sets
both.
"""

import html
import json
import os
import pathlib
import random
import re
import subprocess
import sys
import tempfile

import brennic
import pytest

BRENNIC_EXE = pathlib.Path(os.environ["BRENNIC_EXE"])
EXAMPLES = pathlib.Path(os.environ["BRENNIC_EXAMPLES"])


def run_program(args, texts, output, encoding="auto"):
    """Runs Brennic.exe or TALVEN_En.exe on texts t0.txt, t1.txt, ... in a
    scratch folder and returns the bytes of the file it writes there."""
    with tempfile.TemporaryDirectory(prefix="brennic-py-") as folder:
        for i, text in enumerate(texts):
            pathlib.Path(folder, f"t{i}.txt").write_bytes(text)
        env = dict(os.environ, PATH=f"{BRENNIC_EXE.parent}:{os.environ.get('PATH', '')}",
                   BRENNIC_ENCODING=encoding)
        subprocess.run(args, cwd=folder, env=env, check=True, capture_output=True, timeout=60)
        return pathlib.Path(folder, output).read_bytes()


def brennic_exe(texts, rate, query=None, mean=False, condense=False, encoding="auto"):
    """The lines of Brennic.exe's extract, as bytes."""
    args = [str(BRENNIC_EXE)] + ["-is"] * condense + ["-ak"] * mean
    if len(texts) > 1:
        args.append(f"-n{len(texts)}")
    args += [f"t{i}.txt" for i in range(len(texts))]
    args += ([] if query is None else [query]) + [rate]
    out = f"multidoc-t{len(texts) - 1}.sum" if len(texts) > 1 else "t0.sum"
    return run_program(args, texts, out, encoding).splitlines()


def as_str(data):
    return data.decode("utf-8", "surrogateescape")


def as_bytes(text):
    return text.encode("utf-8", "surrogateescape")


def example_cases():
    queries = {}
    for line in (EXAMPLES / "expected" / "queries.tsv").read_text().splitlines():
        if line and not line.startswith("#"):
            name, query = line.split("\t")
            queries[name] = query
    for name, query in sorted(queries.items()):
        text = (EXAMPLES / f"{name}.txt").read_bytes()
        yield pytest.param([text], "0.7", {}, id=name)
        yield pytest.param([text], "0.7", {"query": query}, id=f"{name}-query")
        yield pytest.param([text], "0.7", {"condense": True}, id=f"{name}-is")


PIECES = ["The", "harbour", "ferry", "council", "Mr.", "U.S.", "said", "engineers", "and",
          "of", '"Yes', 'no."', "(see", "it)", "river", "3.14", "e.g.", "2023", "Velport",
          "\xe9t\xe9", "caf\xc3\xa9", "\x93Q\x94", "\xff\xfe", "\u2014", "\U0001f600"]
ENDS = [".", "!", "?", "...", ".\n\n", ";", ",", ""]


def random_text(rng):
    """Words, abbreviations, numbers and quotes; valid UTF-8 mixed with
    ISO 8859-1 and Windows-1252 bytes that are not."""
    out = []
    for _ in range(rng.randrange(20, 300)):
        piece = PIECES[rng.randrange(len(PIECES))]
        # Pieces written as \xNN are single bytes; the others are UTF-8.
        out.append(piece.encode("latin-1") if max(piece) <= "\xff" else piece.encode())
        out.append(rng.choice(ENDS) if rng.randrange(6) == 0 else b"")
        out.append(b"\n" if rng.randrange(9) == 0 else b" ")
    return b"".join(p if isinstance(p, bytes) else p.encode() for p in out)


def random_cases():
    rng = random.Random(20261207)
    rates = ["0.7", "0.5", "40", "-1", "0", "0x1p-1"]
    for c in range(16):
        texts = [random_text(rng) for _ in range(2 if c % 4 == 3 else 1)]
        options = {"condense": c % 3 == 0, "mean": c % 5 == 0}
        if c % 4 == 1:
            options["query"] = "river ferry"
        yield pytest.param(texts, rates[c % len(rates)], options, id=f"random-{c}")


CASES = list(example_cases()) + list(random_cases())
RANDOM_TEXTS = [pytest.param(c.values[0][0], id=c.id) for c in random_cases()][:6]


@pytest.mark.parametrize("texts,rate,options", CASES)
def test_summarize_equals_brennic_exe_for_bytes_and_str(texts, rate, options):
    expected = brennic_exe(texts, rate, **options)
    one = texts[0] if len(texts) == 1 else texts
    assert brennic.summarize(one, rate, **options) == expected
    strs = as_str(one) if len(texts) == 1 else [as_str(t) for t in texts]
    got = brennic.summarize(strs, float.fromhex(rate) if "x" in rate else float(rate), **options)
    assert all(isinstance(s, str) for s in got)
    assert [as_bytes(s) for s in got] == expected


SCRIPTS = ["caf\u00e9 \u00c9COLE na\u00efve", "\u0391\u03b8\u03ae\u03bd\u03b1 \u03bb\u03cc\u03b3\u03bf\u03c2",
           "\u041c\u043e\u0441\u043a\u0432\u0430 \u0440\u0435\u043a\u0430", "\u6771\u4eac \u5927\u962a",
           "e\u0301te\u0301", "\u201cquoted\u201d it\u2019s", "\u2026 \u2014", "\U0001f600\U0001d54f"]


@pytest.mark.parametrize("seed", range(4))
@pytest.mark.parametrize("encoding", ["auto", "latin1", "utf-8"])
def test_encoding_equals_brennic_exe(seed, encoding):
    rng = random.Random(seed)
    words = PIECES[:20] + " ".join(SCRIPTS).split()
    text = " ".join(rng.choice(words) + rng.choice(["", "", ".", ",", "!"])
                    for _ in range(rng.randrange(30, 200))).encode()
    for options in [{}, {"condense": True, "query": "caf\u00e9 \u0440\u0435\u043a\u0430"}]:
        expected = brennic_exe([text], "0.6", encoding=encoding, **options)
        got = brennic.summarize(as_str(text), 0.6, encoding=encoding, **options)
        assert [as_bytes(s) for s in got] == expected
        assert brennic.summarize_many([text], 0.6, encoding=encoding, **options) == [expected]
        if encoding != "latin1":
            for line in expected:
                line.decode("utf-8")  # never a character cut in half


@pytest.mark.parametrize("text", RANDOM_TEXTS)
def test_segment_and_spans_equal_talven_for_bytes_and_str(text):
    lines = run_program([str(BRENNIC_EXE.parent / "TALVEN_En.exe"), "t0.txt"], [text],
                        "t0.txt.seg").splitlines()
    assert brennic.segment(text) == lines
    assert [as_bytes(s) for s in brennic.segment(as_str(text))] == lines
    # A span, its white space runs made single spaces, is its sentence; str
    # offsets count characters, so the str before a span encodes to the
    # bytes before it.
    byte_spans = brennic.segment_spans(text)
    str_text = as_str(text)
    str_spans = brennic.segment_spans(str_text)
    for line, (start, end), (s_start, s_end) in zip(lines, byte_spans, str_spans):
        assert b" ".join(text[start:end].split()) == line
        assert (len(as_bytes(str_text[:s_start])), len(as_bytes(str_text[:s_end]))) == (start, end)
    assert len(byte_spans) == len(str_spans) == len(lines)


@pytest.mark.parametrize("language, sentences", [
    ("de", ["Er kam am 3. Oktober an.", "Dann blieb er."]),
    ("en", ["Er kam am 3.", "Oktober an.", "Dann blieb er."]),
])
def test_segment_takes_the_language(language, sentences):
    text = "Er kam am 3. Oktober an. Dann blieb er."
    assert brennic.segment(text, language=language) == sentences
    spans = brennic.segment_spans(text, language=language)
    assert [text[a:b] for a, b in spans] == sentences


def test_segment_rejects_an_unknown_language():
    with pytest.raises(brennic.Error, match='"zz"'):
        brennic.segment("Text.", language="zz")


def test_summarize_many_in_threads_equals_one_at_a_time():
    texts = [random_text(random.Random(seed)) for seed in range(12)]
    texts += [as_str(t) for t in texts[:6]] + [b"", ""]
    for options in [{}, {"query": b"river", "condense": True}]:
        sequential = [brennic.summarize(t, 0.6, **options) for t in texts]
        for threads in (0, 1, 4):
            assert brennic.summarize_many(texts, 0.6, threads=threads, **options) == sequential


def test_installed_package_gives_the_programs_extract():
    sample = EXAMPLES / "sample.txt"
    expected = brennic_exe([sample.read_bytes()], "0.7")
    with tempfile.TemporaryDirectory(prefix="brennic-py-") as prefix:
        subprocess.run(["cmake", "--install", str(BRENNIC_EXE.parent), "--prefix", prefix,
                        "--component", "python"], check=True, capture_output=True)
        init, = pathlib.Path(prefix).glob("**/brennic/__init__.py")
        script = ("import brennic, sys; assert brennic.__file__ == sys.argv[2]; "
                  "print(*brennic.summarize(open(sys.argv[1]).read(), 0.7), sep='\\n')")
        out = subprocess.run([sys.executable, "-c", script, str(sample), str(init)],
                             env=dict(os.environ, PYTHONPATH=str(init.parent.parent)),
                             cwd=prefix, check=True, capture_output=True)
    assert out.stdout.splitlines() == expected


@pytest.mark.parametrize("call,exception,message", [
    (lambda: brennic.summarize([], 0.7), brennic.Error, "no text to summarize"),
    (lambda: brennic.summarize(["a.", b"b."], 0.7), TypeError, "all str or all bytes"),
    (lambda: brennic.summarize(7, 0.7), TypeError, "not int"),
    (lambda: brennic.summarize("a.", [0.7]), TypeError, "^rate must be a number or a str, not list$"),
    (lambda: brennic.summarize("a." * 9999, keep=[1]), TypeError, "^keep must be a number"),
    (lambda: brennic.summarize("a." * 9999, words=2.5), TypeError, "^words must be a whole number, not float$"),
    (lambda: brennic.summarize("a." * 9999, mean="yes"), TypeError, "^mean must be True or False, not str$"),
    (lambda: brennic.summarize("a." * 9999, language=5), TypeError, "^language must be a str, not int$"),
    (lambda: brennic.summarize("a." * 9999, kep=0.3), TypeError, "unexpected keyword argument 'kep'$"),
    (lambda: brennic.summarize("a.", 0.7, keep=0.3), ValueError, "one of rate, keep and words"),
    (lambda: brennic.summarize("a.", keep="101%"), ValueError, "keep"),
    (lambda: brennic.summarize("a.", words=0), ValueError, "words"),
    (lambda: brennic.segment("\ud800"), UnicodeEncodeError, "surrogates not allowed"),
    (lambda: brennic.summarize_many(["a."], 0.7, threads=-1), ValueError, "threads"),
    (lambda: brennic.summarize("a.", "abc"), ValueError, "rate"),
    (lambda: brennic.summarize("a.", ""), ValueError, "rate"),
    (lambda: brennic.summarize("a.", "0.7abc"), ValueError, "rate"),
    (lambda: brennic.summarize("a.", "nan"), ValueError, "rate"),
    (lambda: brennic.summarize("a.", float("inf")), ValueError, "rate"),
    (lambda: brennic.summarize("a.", 0.7, sentences=0), ValueError, "sentences"),
    (lambda: brennic.summarize("a.", 0.7, encoding="cp1252"), ValueError, "encoding"),
    (lambda: brennic.summarize("a.", 0.7, language="xx"), brennic.Error, "unknown language 'xx'"),
    (lambda: brennic.summarize("a.", 0.7, sentences=1.5), TypeError, "not float"),
    (lambda: brennic.summarize("a.", 0.7, sentences="2"), TypeError, "not str"),
    (lambda: brennic.summarize("a.", 0.7, sentences=True), TypeError, "not bool"),
    (lambda: brennic.summarize("a.", 0.7, sentences=-2), ValueError, "from 1 on, not -2"),
    (lambda: brennic.summarize("a.", "\udcff"), ValueError, r"not '\\udcff'"),
    (lambda: brennic.summarize("a.", b"0.7\xff"), ValueError, r"not b'0.7\\xff'"),
    (lambda: brennic.summarize("a.", 0.7, encoding="utf-8\0"), ValueError, r"not 'utf-8\\x00'"),
    (lambda: brennic.summarize("a.", 0.7, language="de\0"), brennic.Error, r"'de\\x00'"),
    (lambda: brennic.summarize("a.", 0.7, language=b"de"), TypeError, "language must be a str"),
    (lambda: brennic.segment("a.", language="\udcff"), brennic.Error, r"'\\udcff'"),
    (lambda: brennic.summarize("a.", 0.7, method="lead"), ValueError, "method must be one of"),
    (lambda: brennic.summarize_many(["a."], 0.7, method=""), ValueError, "method must be one of"),
])
def test_errors_raise(call, exception, message):
    """Errors are short: they name the argument and its type, never a text."""
    with pytest.raises(exception, match=message):
        call()


COMMAND = BRENNIC_EXE.parent / "brennic"
SCHEMA = EXAMPLES.parent / "docs" / "brennic.schema.json"


def detail_cases():
    for name in ("sample", "ferry-report", "glass-museum"):
        yield pytest.param(name, [], {}, id=name)
        yield pytest.param(name, ["--query", "council trees"], {"query": "council trees"},
                           id=f"{name}-query")
        yield pytest.param(name, ["--condense", "--rate", "0.5"], {"condense": True, "rate": 0.5},
                           id=f"{name}-is")
        yield pytest.param(name, ["--sentences", "2"], {"rate": 0, "sentences": 2},
                           id=f"{name}-sentences")
        yield pytest.param(name, ["--method", "centrality"], {"method": "centrality"},
                           id=f"{name}-centrality")


@pytest.mark.parametrize("name,args,options", list(detail_cases()))
def test_details_are_what_the_command_writes(name, args, options):
    """brennic --format json and Details.to_json() give the same document,
    which fits the schema; its offsets and marks agree with the extract."""
    text = (EXAMPLES / f"{name}.txt").read_bytes()
    out = subprocess.run([str(COMMAND), "--format", "json", *args, f"{name}.txt"],
                         cwd=EXAMPLES, capture_output=True, check=True, timeout=60).stdout
    rate = options.pop("rate", 0.7)
    details = brennic.summarize(text, rate, details=True, **options)
    assert details.to_json(f"{name}.txt").encode() == out
    document = json.loads(out)
    assert details.sentences == document["sentences"]
    assert details.keywords == document["keywords"]
    assert [s["text"].encode() for s in details.sentences if s["chosen"]] == details.extract
    assert details.extract == brennic.summarize(text, rate, **options)
    if "sentences" in options:
        assert len(details.extract) <= options["sentences"]
    spans = brennic.segment_spans(text)
    assert [(s["byte_offset"], s["byte_offset"] + s["byte_length"])
            for s in details.sentences] == [tuple(span) for span in spans]
    assert sum(s["vell"] for s in details.sentences) == 1
    assert all(s["chosen"] <= (s["worthy"] or s["vell"]) for s in details.sentences)
    page = details.html(f"{name}.txt")
    assert page == subprocess.run([str(COMMAND), "--format", "html", *args, f"{name}.txt"],
                                  cwd=EXAMPLES, capture_output=True, check=True,
                                  timeout=60).stdout.decode("utf-8", "surrogateescape")
    # Last, as it may skip: the document fits its schema (Debian: python3-jsonschema).
    jsonschema = pytest.importorskip("jsonschema")
    jsonschema.validate(document, json.loads(SCHEMA.read_text()))
    failed = subprocess.run([str(COMMAND), "--format", "json", "missing.txt"], cwd=EXAMPLES,
                            capture_output=True, timeout=60)
    assert failed.returncode == 1
    jsonschema.validate(json.loads(failed.stdout), json.loads(SCHEMA.read_text()))


def test_character_offsets_count_code_points_of_utf8():
    text = "Caf\u00e9 owners open early. Caf\u00e9 owners close late. Owners rest.\n"
    details = brennic.summarize(text, 0.5, details=True)
    assert details.encoding == "utf-8"
    for s in details.sentences:
        assert text[s["char_offset"]:s["char_offset"] + s["char_length"]] == s["text"]
FRENCH = "Le c\u0153ur du village bat encore. Le c\u0153ur de la ville est calme. Un caf\u00e9.\n"
CAFE = "Le caf\u00e9 du village est ouvert. Le caf\u00e9 sert du th\u00e9.\n"


def shown(texts, encodings):
    return [t.decode(e if e != "latin1" else "iso-8859-1") for t, e in zip(texts, encodings)]


@pytest.mark.parametrize("texts,options,encoding,encodings", [
    ([FRENCH.encode("cp1252")], {"language": "fr"}, "windows-1252", ["windows-1252"]),
    ([FRENCH.encode("cp1252")], {"language": "en"}, "latin1", ["latin1"]),
    ([CAFE.encode(), FRENCH.encode("cp1252")], {"language": "fr"}, "mixed",
     ["utf-8", "windows-1252"]),
    ([CAFE.encode()], {"language": "fr", "encoding": "latin1"}, "windows-1252", ["windows-1252"]),
])
def test_each_text_keeps_its_reading(texts, options, encoding, encodings):
    """Every sentence, keyword and page shows each text as it was read, and
    character offsets count in its own encoding."""
    details = brennic.summarize(texts, 0.5, details=True, **options)
    assert (details.encoding, details.encodings) == (encoding, encodings)
    decoded = shown(texts, encodings)
    for s in details.sentences:
        text = decoded[s["document"]]
        assert text[s["char_offset"]:s["char_offset"] + s["char_length"]] == s["text"]
    words = set(re.findall(r"\w+", " ".join(decoded)))
    assert details.keywords and all(k["word"] in words for k in details.keywords)
    # The page shows the characters a text holds: one read as ISO 8859-1 by
    # Windows-1252, as browsers do, and UTF-8 whatever reading was forced.
    page = html.unescape(re.sub(r"<[^>]*>", "", details.html()))
    if "latin1" not in encodings and "encoding" not in options:
        assert all(s["text"] in page for s in details.sentences)
    jsonschema = pytest.importorskip("jsonschema")
    jsonschema.validate(json.loads(details.to_json()), json.loads(SCHEMA.read_text()))


def test_keywords_are_read_as_the_text_was():
    text = b"Caf\xe9 owners open early. Caf\xe9 owners close late. Owners rest.\n"
    details = brennic.summarize(text, 0.5, details=True, encoding="utf-8")
    assert {k["word"] for k in details.keywords} >= {"Caf", "owners"}


INTERRUPTED = r"""
import os, signal, sys, threading, time
import brennic
# Python leaves SIGINT alone when it starts with the signal ignored, as a
# shell's background job does; Ctrl-C is what this test is about.
signal.signal(signal.SIGINT, signal.default_int_handler)
sample = open(sys.argv[1]).read()
text = (sample + "\n\n") * (30_000_000 // len(sample))
details = brennic.summarize(text, 0.7, details=True) if sys.argv[2] in ("json", "html") else None
call = {"one": lambda: brennic.summarize(text, 0.7),
        "many": lambda: brennic.summarize_many([text[: len(text) // 2]] * 10, 0.7, threads=2),
        "details": lambda: brennic.summarize(text, 0.7, details=True),
        "segment": lambda: brennic.segment(text),
        "spans": lambda: brennic.segment_spans(text, language="de"),
        "json": lambda: details.to_json(),
        "html": lambda: details.html()}
sent = []
def interrupt():
    sent.append(time.monotonic())
    os.kill(os.getpid(), signal.SIGINT)
# The calls are repeated, so the signal finds one running however fast the
# machine is; it must end that call within a second.
threading.Timer(0.5, interrupt).start()
try:
    for _ in range(100):
        call[sys.argv[2]]()
    print("finished")
except KeyboardInterrupt:
    print("interrupted" if time.monotonic() - sent[0] < 1 else "late")
"""


@pytest.mark.parametrize("call", ["one", "many", "details", "segment", "spans", "json", "html"])
def test_ctrl_c_stops_a_long_call(call):
    """Ctrl-C during a call on 30 MB raises KeyboardInterrupt, rather than
    waiting for the call to return."""
    done = subprocess.run([sys.executable, "-c", INTERRUPTED, str(EXAMPLES / "sample.txt"), call],
                          capture_output=True, text=True, timeout=120)
    assert done.stdout == "interrupted\n", done.stderr


GERMAN = ("Die alte Brücke über den Fluss wurde gesperrt.\n"
          "Die Stadt fand Risse in den Bögen der Brücke.\n"
          "Die Reparatur der Brücke dauert zwei Jahre.\n")


@pytest.mark.parametrize("language", ["de", "auto"])
def test_language_equals_brennic_exe(language):
    """language= reads the texts as BRENNIC_LANGUAGE makes Brennic.exe read them."""
    data = GERMAN.encode()
    with tempfile.TemporaryDirectory(prefix="brennic-py-") as folder:
        pathlib.Path(folder, "t0.txt").write_bytes(data)
        env = dict(os.environ, PATH=f"{BRENNIC_EXE.parent}:{os.environ.get('PATH', '')}",
                   BRENNIC_LANGUAGE=language)
        subprocess.run([str(BRENNIC_EXE), "-is", "t0.txt", "0.5"], cwd=folder, env=env,
                       check=True, capture_output=True, timeout=60)
        expected = pathlib.Path(folder, "t0.sum").read_bytes().splitlines()
    assert brennic.summarize(data, 0.5, condense=True, language=language) == expected
    assert brennic.summarize_many([data], 0.5, condense=True, language=language) == [expected]


def test_methods_name_the_default_first():
    assert brennic.methods() == ["frequency", "centrality"]
    text = "A cat sat. The cat ran off. A dog came by. The dog sat.\n"
    assert brennic.summarize(text, 0.5) == brennic.summarize(text, 0.5, method="frequency")


def test_detect_language_names_one_of_the_codes():
    codes = brennic.language_codes()
    assert codes[0] == "en" and len(codes) == 56 and "de" in codes and "zh" in codes
    assert brennic.detect_language(GERMAN) == "de"
    assert brennic.detect_language(GERMAN.encode("cp1252")) == "de"
    assert brennic.detect_language("Ok.") == "en"


@pytest.mark.parametrize("args,options", [
    ([], {}),
    (["--keep", "30%"], {"keep": "30%"}),
    (["--keep", "0.5"], {"keep": 0.5}),
    (["--words", "40"], {"words": 40}),
    (["--sentences", "2"], {"sentences": 2}),
    (["--words", "80", "--sentences", "2"], {"words": 80, "sentences": 2}),
    (["--keep", "50%", "--sentences", "1"], {"keep": "50%", "sentences": 1}),
    (["-l", "en"], {"language": "en"}),
])
def test_lengths_and_defaults_are_the_commands(args, options):
    """summarize() takes the command's default, lengths and language."""
    for name in ("sample", "ferry-report"):
        out = subprocess.run([str(COMMAND), *args, f"{name}.txt"], cwd=EXAMPLES,
                             capture_output=True, check=True, timeout=60).stdout
        text = (EXAMPLES / f"{name}.txt").read_text()
        assert "\n".join(brennic.summarize(text, **options)) + "\n" == out.decode()


def test_the_python_page_shows_what_the_package_prints(monkeypatch):
    """The >>> examples of docs/python.md, run from the top of the tree."""
    import doctest
    monkeypatch.chdir(EXAMPLES.parent)
    result = doctest.testfile("docs/python.md", module_relative=False, report=True)
    assert result.failed == 0 and result.attempted > 0


README = "# Lamps\n\nLamps light the *hall*. See [docs](https://d.org).\n\n```\nmake\n```\n"


@pytest.mark.parametrize("data,args,expected", [
    (README, ("markdown",), "Lamps\n\nLamps light the hall. See docs.\n"),
    (README.encode(), (), README.encode()),
    (README, ("auto",), README),
    (README.encode(), ("text",), README.encode()),
])
def test_main_text_reads_each_kind(data, args, expected):
    assert brennic.main_text(data, *args) == expected


def test_main_text_goes_by_the_name_and_summarize_by_input():
    assert brennic.main_text(README, name="README.md") == brennic.main_text(README, "markdown")
    details = brennic.summarize(README, 0.5, details=True, input="markdown")
    doc = json.loads(details.to_json())
    assert (doc["input"], doc["title"]) == ("markdown", "Lamps")
    main = brennic.main_text(README, "markdown")
    for s in doc["sentences"]:
        assert main[s["char_offset"]:s["char_offset"] + s["char_length"]] == s["text"]
    assert brennic.summarize_many([README], 0.5, input="markdown") == [details.extract]
    with pytest.raises(ValueError, match="input must be"):
        brennic.main_text(README, "md")
