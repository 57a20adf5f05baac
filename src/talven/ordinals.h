// SPDX-License-Identifier: MIT
// Ordinals: the full stop that German, the Nordic languages, Finnish,
// Turkish, Hungarian, Czech and others write after an ordinal number ("am
// 3. Oktober", "3. joulukuuta", "der 2. Weltkrieg"). It ends no sentence
// before a lower-case word (the general rule) nor before a month; in
// German, which capitalises every noun, nor before any capitalised word
// that is no sentence opener. A year (four digits) is no ordinal.
#pragma once

#include <string_view>

#include "talven/language.h"
#include "talven/words.h"

namespace talven {

// Whether a full stop after `core`, before `next`, a capitalised word or
// one of a script without case, is an ordinal's that the sentence goes on
// after, by the rules of `lang`.
bool ordinal_continues(std::string_view core, const WordStart& next, const Language& lang);

}  // namespace talven
