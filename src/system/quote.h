// SPDX-License-Identifier: MIT
// File names in messages, quoted the way the GNU tools quote them: a name
// made only of plain characters stays as it is, any other is put in single
// quotes, and bytes that a terminal would act on (control bytes, bytes that
// are not UTF-8) are written as $'\ooo' escapes, so that a message never
// carries a raw escape sequence to the terminal.
#pragma once

#include <string>
#include <string_view>

namespace brennic {

// The name as it should appear in a message.
std::string quote(std::string_view name);

}  // namespace brennic
