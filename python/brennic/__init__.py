# SPDX-License-Identifier: MIT
"""Extractive summaries of texts in English and 27 other languages, the same
as Brennic.exe writes.

    >>> import brennic
    >>> brennic.summarize(open("examples/sample.txt").read(), 0.7)

summarize() picks the sentences that best represent a text (or several texts
read together) and returns them unchanged, in input order, or with
details=True everything about them (offsets, scores, marks, keywords, the
JSON document and web page of the command brennic); summarize_many()
summarizes many texts each on its own in a pool of native threads; segment()
and segment_spans() split a text into sentences; detect_language() names a
text's language among language_codes(), which summarize(language=...) reads.

Texts are bytes, taken as they are, or str, taken as UTF-8 (with the
'surrogateescape' error handler, so a str decoded from any bytes with it
gives back those bytes). Each text is read into words by its own bytes: as
UTF-8 when they are valid UTF-8 beyond ASCII, else byte by byte as ISO
8859-1; encoding="utf-8" or encoding="latin1" forces one reading. Results
have the type of what was given. Failures
raise brennic.Error with the program's message; nothing is ever printed.
"""

from ._brennic import (
    Details,
    Error,
    __version__,
    detect_language,
    language_codes,
    methods,
    segment,
    segment_spans,
    summarize,
    summarize_many,
)

__all__ = [
    "Details",
    "Error",
    "detect_language",
    "language_codes",
    "methods",
    "segment",
    "segment_spans",
    "summarize",
    "summarize_many",
]

Error.__module__ = __name__
Details.__module__ = __name__
Error.__doc__ = "A failure of Brennic; str(error) is the message that Brennic.exe prints."
