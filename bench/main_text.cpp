// SPDX-License-Identifier: MIT
// Prints, or writes to a folder, the main text of each web page given, and
// how long finding it took: main-text [--out DIR] PAGE...
// With --out, each page's text goes to DIR/<name without .html>.txt and only
// the timing is printed. The pages are read into memory first, so the time
// is the reader's alone.
//
// main-text --scale [PAGE] times the reader (processor time, best of 3) on
// one page made 1 to 32 times as large (the content of its <body> repeated;
// without PAGE, 1 MB of a news page's menus, article and comments): the time
// per MB stays flat when the reader is linear in the page's size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "readers/html.h"

namespace {

// A page of the usual parts: a menu, an article, a list of links, comments.
std::string generated_page() {
    std::string body = "<nav><ul>";
    for (int i = 0; i < 20; ++i)
        body += "<li><a href=\"/section/" + std::to_string(i) + "\">Section " + std::to_string(i) +
                "</a></li>";
    body += "</ul></nav><div class=\"content\"><article><h1>The river rises</h1>";
    for (int i = 0; i < 30; ++i)
        body += "<p class=\"para\">Paragraph " + std::to_string(i) +
                " of the article: the water rose by two metres overnight, and the old bridge, "
                "built in 1820, was closed to <a href=\"/traffic\">traffic</a> before dawn; "
                "engineers inspected its piers &amp; the council met.</p>";
    body += "</article><div class=\"related\"><ul>";
    for (int i = 0; i < 10; ++i)
        body += "<li><a href=\"/story/" + std::to_string(i) + "\">Another story</a></li>";
    body += "</ul></div><div id=\"comments\">";
    for (int i = 0; i < 10; ++i)
        body +=
            "<div class=\"comment\"><span class=\"author\">Reader</span><p>I have lived "
            "by that river for forty years.</p></div>";
    body += "</div></div><script>var tracking = {\"id\": 42};</script>";
    return "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>News"
           "</title></head><body>" +
           body + "</body></html>";
}

// The page with the content of its <body> there `times` times.
std::string scaled(const std::string& page, int times) {
    const std::size_t open = page.find("<body");
    const std::size_t start = open == std::string::npos ? 0 : page.find('>', open) + 1;
    const std::size_t end = std::min(page.rfind("</body>"), page.size());
    if (start == 0 || end == std::string::npos || end < start) {
        std::string out;
        for (int i = 0; i < times; ++i) out += page;
        return out;
    }
    std::string out = page.substr(0, start);
    for (int i = 0; i < times; ++i) out.append(page, start, end - start);
    out.append(page, end);
    return out;
}

// The processor time of `work`, in seconds: the machine is shared, and
// the wall clock counts the other programs' turns too.
template <typename Work>
double cpu_seconds(Work&& work) {
    const std::clock_t start = std::clock();
    work();
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

int scale(const std::string& page) {
    std::printf("%6s %10s %10s %10s\n", "times", "MB", "cpu-ms", "per-MB");
    for (const int times : {1, 2, 4, 8, 16, 32}) {
        const std::string big = scaled(page, times);
        double best = 1e300;
        for (int run = 0; run < 3; ++run) {
            bool empty = false;
            best = std::min(
                best, cpu_seconds([&] { empty = brennic::readers::read_html(big).text.empty(); }));
            if (empty) std::fputs("main-text: no text found\n", stderr);
        }
        const double mb = static_cast<double>(big.size()) / 1e6;
        std::printf("%6d %10.2f %10.1f %10.1f\n", times, mb, best * 1e3, best * 1e3 / mb);
    }
    return 0;
}

std::string read_file(const std::filesystem::path& name, bool& ok) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ok = static_cast<bool>(in);
    return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path out_dir;
    std::vector<std::filesystem::path> names;
    bool scaling = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc)
            out_dir = argv[++i];
        else if (arg == "--scale")
            scaling = true;
        else
            names.emplace_back(arg);
    }
    if (scaling) {
        if (names.empty()) {
            const std::string page = generated_page();
            // About 1 MB, twice the largest news pages: 1 to 8 MB.
            return scale(scaled(page, 100));
        }
        bool ok = false;
        const std::string page = read_file(names.front(), ok);
        if (!ok) {
            std::cerr << "main-text: cannot read " << names.front() << '\n';
            return 1;
        }
        return scale(page);
    }
    std::vector<std::string> pages;
    for (const auto& name : names) {
        bool ok = false;
        pages.push_back(read_file(name, ok));
        if (!ok) {
            std::cerr << "main-text: cannot read " << name << '\n';
            return 1;
        }
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
