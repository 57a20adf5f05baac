// SPDX-License-Identifier: MIT
// Script stops: the sentence-final marks of the scripts other than Latin,
// read in every language but English (whose rules know only ".", "!", "?",
// the ellipsis and the CJK stops): the Devanagari danda "।" and double danda
// "॥", the Arabic full stop "۔" and question mark "؟", the Armenian full
// stop "։", the Ethiopic full stop "።" and question mark "፧", the Myanmar
// "။" and Khmer "។" stops, the half-width ideographic stop "｡" and the
// Greek question mark (U+037E). Two languages write one with an ASCII mark:
// Greek asks with ";" and Armenian ends with ":" as often as with "։".
//
// Scripts without case (Arabic, Hebrew, Devanagari, Tamil, CJK...) give
// the word after a stop no capital to test: there a stop followed by white
// space or the end of the text ends the sentence unless it closes an
// abbreviation, and CJK stops need no space after them (words.h).
#pragma once

#include <cstdint>

#include "talven/chars.h"
#include "talven/language.h"

namespace talven {

// The class of cp as a terminator in `lang`: Sym::Period for a full stop,
// Sym::Bang for a question or exclamation mark, else what sym_of says.
inline Sym terminator_sym(std::uint32_t cp, const Language& lang) {
    const Sym s = sym_of(cp);
    if (s != Sym::Other || lang.english) return s;
    switch (cp) {
        case 0x0964:  // ।
        case 0x0965:  // ॥
        case 0x06D4:  // ۔
        case 0x0589:  // ։
        case 0x1362:  // ።
        case 0x104B:  // ။
        case 0x17D4:  // ។
        case 0xFF61:  // ｡
            return Sym::Period;
        case 0x061F:  // ؟
        case 0x037E:  // Greek question mark
        case 0x1367:  // ፧
            return Sym::Bang;
        case ';':
            return lang.semicolon_asks ? Sym::Bang : s;
        case ':':
            return lang.colon_ends ? Sym::Period : s;
        default:
            return s;
    }
}

}  // namespace talven
