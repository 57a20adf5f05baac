# SPDX-License-Identifier: MIT
# The segmenter throughput benchmark; included from bench/CMakeLists.txt.
# Run: build-bench/bench/segmenter_bench (SEGMENTER_BENCH_TEXT=FILE for a text of your own).
find_package(benchmark REQUIRED)
add_executable(segmenter_bench ${CMAKE_CURRENT_LIST_DIR}/segmenter_bench.cpp)
target_link_libraries(segmenter_bench PRIVATE brennic_core benchmark::benchmark)
