// SPDX-License-Identifier: MIT
// Thai spaces: Thai writes no sentence punctuation; a space between two
// runs of Thai letters is where one sentence (or a clause standing for one)
// ends, while a space next to a number, a Latin word or a sign ("ราคา 500
// บาท", "ใช้ iPhone รุ่นใหม่") is only a space.
#pragma once

#include <cstddef>

#include "talven/words.h"

namespace talven {

// Whether the gap after word i (i + 1 exists) lies between a word ending
// in a Thai letter and one starting with a Thai letter.
bool thai_space_ends(const Words& words, std::size_t i);

}  // namespace talven
