// SPDX-License-Identifier: MIT
// Prints the extract of a text file, then its three busiest content stems:
// a small program built against the installed Brennic library.
//
//   summarize FILE RATE [QUERY]
#include <brennic/brennic.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: summarize FILE RATE [QUERY]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "summarize: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    brennic::Options options;
    options.compression_rate = brennic::parse_rate(argv[2]);
    if (argc == 4) options.query = argv[3];
    options.diagnostics = true;
    try {
        const brennic::Summary summary = brennic::summarize(text.str(), options);
        for (const std::string& sentence : summary.sentences) std::cout << sentence << "\n";

        std::vector<brennic::StemReport> stems;
        for (const auto& s : summary.diagnostics->stems) {
            if (s.content) stems.push_back(s);
        }
        std::stable_sort(stems.begin(), stems.end(),
                         [](const auto& a, const auto& b) { return a.frequency > b.frequency; });
        std::cerr << "top stems:";
        for (std::size_t i = 0; i < stems.size() && i < 3; ++i)
            std::cerr << " " << stems[i].stem << " (" << stems[i].frequency << ")";
        std::cerr << "\n";
    } catch (const brennic::Error& e) {
        std::cerr << "summarize: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
