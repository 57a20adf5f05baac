// SPDX-License-Identifier: MIT
// Quoted statements: where a sentence ends inside a long quotation.
//
// A quotation is kept whole (quotations.h), except between two statements
// it holds: two sentences of at least min_statement_words words each, the
// first ending in a full stop and followed by a capitalised word, the
// second ending in a full stop too, or in a comma where the quotation
// closes and the narration goes on ("..., 251", said KCNA."). News and
// biographies quote speeches and statements a paragraph at a time, and
// their readers, like the annotated development documents, take each
// statement as a sentence ("This was a very difficult decision, but one
// that was made with the American public in mind. | In the end, these
// choices provide ..."). Exclamations, questions and broken-off speech
// ("Dear, dear! How queer everything is to-day!", "you know. So you see,
// Miss, we're doing our best, to--") are the stuff of dialogue in stories,
// which is kept whole, and so are short remarks ("Stay. Do not move.").
#pragma once

#include <cstddef>

#include "talven/quotations.h"
#include "talven/terminators.h"
#include "talven/words.h"

namespace talven {

inline constexpr std::size_t min_statement_words = 4;

// Whether the gap after word i, which ends as `end` inside a quotation,
// lies between two statements; `first` is the first word of the sentence.
bool between_statements(const Words& words, const Quotations& quotes, std::size_t first,
                        const WordEnd& end, std::size_t i);

}  // namespace talven
