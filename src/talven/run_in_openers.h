// SPDX-License-Identifier: MIT
// Run-in openers: a sentence that starts with no punctuation before it.
//
// A caption or a line pasted into running text often loses its full stop
// and its line break: "... the most votes of any ward Hale Smith of the
// Ferry Party In the north ward the count ...", "the site grows better and
// larger We now have ...". A few words open sentences all the time but are
// never capitalised inside one ("In", "We", "They", "She", "There"; not
// "He" nor "His", which some texts capitalise for a deity, nor "It",
// "You", "A" or "One", which are written as names and letters). Such a
// word in the middle of a line, right after a word ending in a letter or a
// digit and right before a word in lower case, starts a new sentence. The
// lower-case word after it keeps title-case headings and names ("Lost In
// The Dark", "Made In Britain") whole; nothing inside brackets or a
// quotation is cut.
#pragma once

#include <cstddef>

#include "talven/gap.h"
#include "talven/quotations.h"
#include "talven/words.h"

namespace talven {

// Whether a sentence starts at word i + 1 (which exists) with a run-in
// opener. Asked at every gap, so the rare candidates are picked out here,
// inline: a capitalised word of two to five bytes in the middle of a line.
bool run_in_opener_at(const Words& words, const Quotations& quotes, const SentenceState& sentence,
                      std::size_t i);
inline bool opener_runs_in(const Words& words, const Quotations& quotes,
                           const SentenceState& sentence, std::size_t i) {
    const std::string_view w = words[i + 1];
    return w.size() >= 2 && w.size() <= 5 && w[0] >= 'A' && w[0] <= 'Z' &&
           words.breaks(i + 1) == 0 && run_in_opener_at(words, quotes, sentence, i);
}

}  // namespace talven
