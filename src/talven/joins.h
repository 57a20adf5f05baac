// SPDX-License-Identifier: MIT
// Joins: two sentences with no white space between them ("at noon.It
// reached", "paid 2,000.The crowd").
//
// Text pasted together from several sources, or typed in haste, loses the
// space after a sentence end. A word is cut in two right after a terminator
// when what stands before it looks like the end of a sentence, a lower-case
// word or a number, and what follows is one capitalised word ("It", "The",
// "Mrs.") and nothing after it but closing punctuation. The two parts are
// then two words glued together: the usual rules decide whether a sentence
// ends between them, and if none does, they are written out joined as
// before. Nothing else is ever cut, so none of these is touched: addresses
// and file names ("example.com", "www.testurl.Awesome.com",
// "jane.Doe@example.com", "report.PDF"), versions and numbers ("v1.2",
// "3.14"), dotted names ("Node.js", "ASP.NET", "J.R.R.", "U.S.A.") and
// initials ("J.Smith").
#pragma once

#include <cstddef>
#include <string_view>

namespace talven {

// Where the word text[begin, end) is cut by a join: just after its
// terminator, or `end` when it holds no join. Looks at each byte once.
std::size_t join_cut(std::string_view text, std::size_t begin, std::size_t end);

}  // namespace talven
