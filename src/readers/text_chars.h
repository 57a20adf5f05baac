// SPDX-License-Identifier: MIT
// Which characters a page's text may hold, for every reader of pages.
#pragma once

namespace brennic::readers {

// Control characters other than white space, and noncharacters: never text,
// whatever bytes a page has them as. They read as U+FFFD.
constexpr bool never_text(char32_t cp) {
    return (cp >= 0x01 && cp <= 0x08) || cp == 0x0B || (cp >= 0x0E && cp <= 0x1F) ||
           (cp >= 0x7F && cp <= 0x9F) || (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE;
}

}  // namespace brennic::readers
