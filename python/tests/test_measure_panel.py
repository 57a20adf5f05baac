# SPDX-License-Identifier: MIT
"""scripts/measure-panel's stand-in references: whole body lines in text
order, never the headline, as long as asked; its layouts keep every word."""

import math
import pathlib
import runpy
import types

import pytest

SCRIPTS = pathlib.Path(__file__).resolve().parents[2] / "scripts"
panel = types.SimpleNamespace(**runpy.run_path(str(SCRIPTS / "measure-panel"), run_name="panel"))
rouge = types.SimpleNamespace(**runpy.run_path(str(SCRIPTS / "measure-rouge"), run_name="rouge"))

TEXT = "\n".join([
    "Storm closes Kelby harbour",
    "A storm closed the harbour of Kelby on Monday, and every ferry stayed in port.",
    "The harbour master said the storm would pass by Wednesday.",
    "A bakery in the square sold out of bread.",
    "Fishermen in Kelby said the storm was the worst in ten years.",
    "The ferries will sail again once the harbour opens.",
    "Kelby has two bakeries and a market on Fridays.",
    "The storm also closed the road to the coast, the police said.",
    "Ferry crews waited in the harbour office until the port opened.",
    "Rain is expected on Sunday.",
]) + "\n"
STOP = {"the", "a", "of", "and", "in", "on", "to", "was", "by", "will", "has", "until"}


@pytest.mark.parametrize("generator", sorted(panel.GENERATORS))
@pytest.mark.parametrize("share", [0.3, 0.5])
def test_stand_in_is_whole_body_lines_as_long_as_asked(generator, share):
    article = panel.Article(rouge, STOP, TEXT)
    idf = {}
    for by_sentences in (False, True):
        wanted = panel.reference(article, generator, idf, share, by_sentences)
        # Which body lines, in text order, make up the reference.
        lines, at = [], 0
        for i, words in enumerate(article.words):
            if wanted[at:at + len(words)] == words:
                lines.append(i)
                at += len(words)
        assert at == len(wanted), generator
        total = sum(len(w) for w in article.words)
        if by_sentences:
            assert len(lines) == math.ceil(share * len(article.body))
        else:
            assert share * total <= len(wanted) < share * total + max(map(len, article.words))


def test_layouts_keep_every_word_and_the_headline_first():
    for layout in (panel.as_page, panel.with_headline):
        laid_out = layout(TEXT)
        assert rouge.words(laid_out) == rouge.words(TEXT)
        assert laid_out.startswith("Storm closes Kelby harbour\n\n")
