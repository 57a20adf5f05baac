// Placeholder entry point of the sentence segmenter; replaced by the real one.
#include <cstdio>
int main() {
    std::fputs("TALVEN_En.exe: not built yet\n", stderr);
    return 1;
}
