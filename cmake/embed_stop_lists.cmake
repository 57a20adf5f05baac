# SPDX-License-Identifier: MIT
# Writes OUTPUT, a C++ source holding every stop list of STOP_DIR
# (data/stopwords/<language>.txt, one word a line) as a string, so that the
# library needs no data files at run time. Run as cmake -P with -DSTOP_DIR
# and -DOUTPUT.
file(GLOB lists RELATIVE ${STOP_DIR} ${STOP_DIR}/*.txt)
list(FILTER lists EXCLUDE REGEX "^LICENSE")
list(SORT lists)
set(body "")
set(count 0)
foreach(name IN LISTS lists)
  string(REGEX REPLACE "\\.txt$" "" language ${name})
  file(READ ${STOP_DIR}/${name} words)
  string(FIND "${words}" ")stop\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${name} holds the text that ends a raw string")
  endif()
  string(APPEND body "    {\"${language}\", R\"stop(${words})stop\"},\n")
  math(EXPR count "${count} + 1")
endforeach()
set(content "// Generated from data/stopwords/*.txt by cmake/embed_stop_lists.cmake.
#include \"languages/stop_list_data.h\"

#include <array>

namespace brennic {
namespace {
constexpr std::array<StopListText, ${count}> kLists{{
${body}}};
}  // namespace

std::span<const StopListText> stop_list_texts() { return kLists; }

}  // namespace brennic
")
file(WRITE ${OUTPUT}.new "${content}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
