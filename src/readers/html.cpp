// SPDX-License-Identifier: MIT
#include "readers/html.h"

namespace brennic::readers {

// A placeholder until the page reader lands: the bytes as they are.
Document read_html(std::string_view bytes) { return Document{{}, std::string(bytes), {}}; }

}  // namespace brennic::readers
