// SPDX-License-Identifier: MIT
// Prints, or writes to a folder, the main text of each web page given, and
// how long finding it took: main-text [--out DIR] PAGE...
// With --out, each page's text goes to DIR/<name without .html>.txt and only
// the timing is printed. The pages are read into memory first, so the time
// is the reader's alone.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "readers/html.h"

int main(int argc, char** argv) {
    std::filesystem::path out_dir;
    std::vector<std::filesystem::path> names;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc)
            out_dir = argv[++i];
        else
            names.emplace_back(arg);
    }
    std::vector<std::string> pages;
    for (const auto& name : names) {
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            std::cerr << "main-text: cannot read " << name << '\n';
            return 1;
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        pages.push_back(bytes.str());
    }
    std::vector<brennic::readers::Document> documents;
    documents.reserve(pages.size());
    const auto start = std::chrono::steady_clock::now();
    for (const auto& page : pages) documents.push_back(brennic::readers::read_html(page));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        if (out_dir.empty()) {
            std::cout << "== " << names[i].string() << "\n# title: " << documents[i].title
                      << "\n# language: " << documents[i].language << '\n'
                      << documents[i].text << "\n\n";
            continue;
        }
        std::ofstream out(out_dir / (names[i].stem().string() + ".txt"), std::ios::binary);
        out << documents[i].text << '\n';
        if (!out) {
            std::cerr << "main-text: cannot write into " << out_dir << '\n';
            return 1;
        }
    }
    std::printf("pages %zu seconds %.4f ms-per-page %.3f\n", pages.size(), took.count(),
                pages.empty() ? 0.0 : took.count() * 1000.0 / static_cast<double>(pages.size()));
    return 0;
}
