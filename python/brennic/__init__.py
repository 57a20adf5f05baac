# SPDX-License-Identifier: MIT
"""Extractive summaries of texts in English and 55 other languages, the same
as the command brennic writes.

    >>> import brennic
    >>> brennic.summarize(open("examples/sample.txt").read())

summarize() picks the sentences that best represent a text (or several texts
read together) and returns them unchanged, in input order, or with
details=True everything about them (offsets, scores, marks, keywords, the
JSON document and web page of the command brennic); summarize_many()
summarizes many texts each on its own in a pool of native threads; segment()
and segment_spans() split a text into sentences; detect_language() names a
text's language among language_codes(), which summarize(language=...) reads;
main_text() gives the text of a web page or a Markdown file that
summarize(input=...) summarizes.
brennic.dask summarizes Dask collections across a cluster.

Texts are bytes, taken as they are, or str, taken as UTF-8 (with the
'surrogateescape' error handler, so a str decoded from any bytes with it
gives back those bytes). Each text is read into words by its own bytes: as
UTF-8 when they are valid UTF-8 beyond ASCII, else byte by byte as ISO
8859-1; encoding="utf-8" or encoding="latin1" forces one reading. Results
have the type of what was given. Failures
raise brennic.Error with the program's message; nothing is ever printed.
"""

from . import _brennic
from ._brennic import (
    Details,
    Error,
    __version__,
    detect_language,
    language_codes,
    main_text,
    methods,
    segment,
    segment_spans,
)

__all__ = [
    "Details",
    "Error",
    "detect_language",
    "language_codes",
    "main_text",
    "methods",
    "segment",
    "segment_spans",
    "summarize",
    "summarize_many",
]

Error.__module__ = __name__
Details.__module__ = __name__
Error.__doc__ = "A failure of Brennic; str(error) is the message that Brennic.exe prints."


def summarize(text_or_texts, rate=None, query=None, mean=False, condense=False, details=False,
              sentences=None, *, keep=None, words=None, encoding="auto", language="auto",
              input="auto", method="frequency", title=None):
    """The extract of a text, or of several texts read together as one.

    text_or_texts is a text, or a list (any iterable) of texts that are
    summarized together as one input, like brennic -n. A text is bytes,
    taken as they are, or str, taken as its UTF-8 encoding with the
    'surrogateescape' error handler: the bytes that brennic reads from a
    UTF-8 file, and the very bytes a str came from when it was decoded with
    'surrogateescape'. The texts must be all str or all bytes.

    The length is given as to the command brennic, and by default is its
    default (rate 0.7, about 30 % of the words kept). One of:

    keep, the share of the words to keep: a number from 0 to 1, or a str
    holding one or a percentage ('30%'), as --keep;

    words, the largest number of words of the extract, as --words;

    rate, what Brennic.exe takes as compression_rate, a number or a str
    holding one: below 1 the fraction of the words to leave out (0.7 keeps
    about 30 %), from 1 on the largest number of words, negative the central
    sentence (the one the extract is centred on) alone. A str that is not a
    finite number as a whole, or a NaN or infinite number, raises ValueError.

    sentences, a whole number (int) from 1 on, is a budget in sentences,
    alone or on top of one of the above (--sentences): the worthy sentences
    are dropped, the lowest score first, until no more than that many
    remain; when fewer are worthy, the best-scoring of the others fill the
    extract up to it, within a budget in words given beside it (the central
    sentence always stays).

    An argument of the wrong type raises TypeError (sentences=1.5 or True,
    language=b'de'), a value out of range ValueError, an unknown language
    brennic.Error; the message names a short value whole, as repr() shows
    it ('de\\x00').

    query (str or bytes) centres the extract on the sentence most similar to
    it; mean scores sentences by the mean frequency of their words (--mean);
    condense deletes stop words from the printed sentences (--condense).

    encoding says how the bytes of each text, and of the query, make words:
    'auto' reads a text as UTF-8 when it is valid UTF-8 and not pure ASCII,
    and byte by byte as ISO 8859-1 otherwise (each text decides for itself);
    'utf-8' and 'latin1' force one reading.

    language is the texts' language: 'auto', the default, finds each text's
    language with detect_language() (a text too short to tell, or in a
    language not read, is read as English); or an ISO 639-1 code of
    language_codes() ('en' reads English as Brennic.exe always has; 'de',
    'zh', 'pl', ...: Unicode words, cut by ICU's dictionaries in the scripts
    written without spaces, case folding, the language's Snowball stemmer
    where it has one, and its stop list).

    input says what the texts are: 'auto', the default, reads a text that
    opens as a web page (or is mostly markup) as one, and any other as plain
    text; 'text' takes every text as it is; 'html' (web pages) and
    'markdown' summarize their main text instead, as main_text() gives it.
    A page's lang attribute stands in for language='auto' when the text is
    too short or too mixed to tell. The details then describe the main
    texts: their offsets count in them, and to_json() gives their input kind
    and title.

    method is how sentences are scored and chosen, a name of methods():
    'frequency' (the default, as Brennic.exe: how often their words recur)
    or 'centrality' (where they stand, their likeness to the rest of the
    text and to its title and, the longer the extract, how often their
    words recur, less what the extract already says); --method.
    title (str or bytes) is the texts' title for 'centrality' (--title); by
    default a first line standing alone is taken as one.

    Returns the extract's sentences in input order, exactly the lines that
    brennic writes: str decoded with 'surrogateescape' for str texts, bytes
    for bytes; with details=True, a brennic.Details with the extract, every
    sentence with its offsets, score and marks, the keywords and the
    figures, and to_json() and html() as the command brennic writes them.
    Raises brennic.Error with the program's message when it fails (an empty
    list of texts, say), TypeError for an argument of the wrong type and
    ValueError for one out of range.
    """
    return _brennic.summarize(text_or_texts, rate, query, mean, condense, details, sentences,
                              keep, words, encoding, language, input, method, title)


def summarize_many(texts, rate=None, query=None, mean=False, condense=False, threads=0,
                   sentences=None, *, keep=None, words=None, encoding="auto", language="auto",
                   input="auto", method="frequency", title=None):
    """The extract of each text on its own, computed in parallel.

    Takes the texts and the options of summarize() and returns one list of
    sentences per text, in the order of the texts, each of the type of its
    text. The work runs in a pool of `threads` native threads (0: one per
    core) with the GIL released, so other Python threads run meanwhile. When
    texts fail, every text is still tried, then brennic.Error is raised for
    the first. Ctrl-C stops it between texts, and a long text within a
    fraction of a second, with KeyboardInterrupt.
    """
    return _brennic.summarize_many(texts, rate, query, mean, condense, threads, sentences,
                                   keep, words, encoding, language, input, method, title)
