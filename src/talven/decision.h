// SPDX-License-Identifier: MIT
// The decision at a terminator: whether the sentence ends after a word that
// ends in ".", "!", "?" or an ellipsis, given what follows.
//
// Not inside brackets opened in the sentence nor inside a quotation. What
// follows decides: a lower-case word, a digit or punctuation continues the
// sentence, except before a run of short lines. Before a capitalised word
// "!" and "?" end it; an ellipsis ends it unless the word is "I"; a full
// stop depends on the word it closes (abbreviations.h).
#pragma once

#include <cstddef>

#include "talven/gap.h"
#include "talven/quotations.h"
#include "talven/terminators.h"
#include "talven/words.h"

namespace talven {

// Whether the sentence ends after word i, where word `ender` (i, or the
// word before i's footnote marks) ends as `end`.
bool terminator_ends(const Words& words, const Quotations& quotes, const SentenceState& sentence,
                     const WordEnd& end, std::size_t ender, std::size_t i);

// The same once what follows, `next`, is known not to be a lower-case word
// or punctuation.
bool ends_before(const Words& words, std::size_t first, const WordEnd& end, std::size_t ender,
                 std::size_t i, const WordStart& next);

}  // namespace talven
