// Run-in openers: a sentence that starts with no punctuation before it.
//
// A caption or a line pasted into running text often loses its full stop
// and its line break: "... the largest vote in any geographical
// constituency In the New Territories West ...", "Ann Chiang of DAB In the
// Kowloon West ...", "wikiHow gets noticeably better and larger We
// currently have ...". A few words open sentences all the time but are
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

// Whether a sentence starts at word i + 1 with a run-in opener.
bool opener_runs_in(const Words& words, const Quotations& quotes, const SentenceState& sentence,
                    std::size_t i);

}  // namespace talven
