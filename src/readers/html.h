// SPDX-License-Identifier: MIT
// Web pages in: the main text of an HTML page, without menus, footers,
// scripts and the like.
#pragma once

#include <string_view>

#include "readers/document.h"

namespace brennic::readers {

// The main text of the page held in bytes (any charset: BOM, <meta
// charset>, http-equiv, else UTF-8 when valid, else Windows-1252).
Document read_html(std::string_view bytes);

}  // namespace brennic::readers
