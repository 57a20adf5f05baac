// SPDX-License-Identifier: MIT
// Segmentation that another thread can stop, for the library's own
// bindings: as segment() and segment_spans() of brennic.h, but once *cancel
// is found set (it is looked at every megabyte or so of sentences) they
// throw Cancelled. cancel may be null.
#pragma once

#include <brennic/brennic.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace brennic {

std::vector<std::string> segment(std::string_view text, std::string_view language,
                                 const std::atomic<bool>* cancel);
std::vector<Span> segment_spans(std::string_view text, std::string_view language,
                                const std::atomic<bool>* cancel);

}  // namespace brennic
