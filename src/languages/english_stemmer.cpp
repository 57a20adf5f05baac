// SPDX-License-Identifier: MIT
#include "languages/english_stemmer.h"

#include <cstring>

namespace brennic {
namespace {

// A suffix or replacement: its letters, with the length kept beside them.
struct Affix {
    const char* text;
    int length;
};

constexpr Affix operator""_af(const char* text, std::size_t length) {
    return Affix{text, static_cast<int>(length)};
}

// The working state of one call of stem(): the buffer b and the offsets
// k0 (first letter), k (current last letter) and j (end of the stem before
// the suffix under test).
class Porter {
public:
    Porter(char* p, int i, int j) : b(p), k(j), k0(i), j(i) {}

    int run() {
        if (k <= k0 + 1) return k;  // one- and two-letter words stay as they are
        step1ab();
        step1c();
        step2();
        step3();
        step4();
        step5();
        return k;
    }

private:
    char* b;
    int k;
    int k0;
    int j;

    // 1 when b[i] is a consonant; 'y' is a consonant at the start of the word
    // or after a vowel.
    int cons(int i) const {
        switch (b[i]) {
            case 'a':
            case 'e':
            case 'i':
            case 'o':
            case 'u':
                return 0;
            case 'y':
                return (i == k0) ? 1 : !cons(i - 1);
            default:
                return 1;
        }
    }

    // The number of vowel-consonant sequences in b[k0..j].
    int m() const {
        int n = 0;
        int i = k0;
        while (true) {
            if (i > j) return n;
            if (!cons(i)) break;
            i++;
        }
        i++;
        while (true) {
            while (true) {
                if (i > j) return n;
                if (cons(i)) break;
                i++;
            }
            i++;
            n++;
            while (true) {
                if (i > j) return n;
                if (!cons(i)) break;
                i++;
            }
            i++;
        }
    }

    int vowelinstem() const {
        for (int i = k0; i <= j; i++) {
            if (!cons(i)) return 1;
        }
        return 0;
    }

    int doublec(int at) const {
        if (at < k0 + 1) return 0;
        if (b[at] != b[at - 1]) return 0;
        return cons(at);
    }

    int cvc(int i) const {
        if (i < k0 + 2 || !cons(i) || cons(i - 1) || !cons(i - 2)) return 0;
        const char ch = b[i];
        if (ch == 'w' || ch == 'x' || ch == 'y') return 0;
        return 1;
    }

    int ends(Affix s) {
        if (s.text[s.length - 1] != b[k]) return 0;
        if (s.length > k - k0 + 1) return 0;
        if (std::memcmp(b + k - s.length + 1, s.text, static_cast<std::size_t>(s.length)) != 0)
            return 0;
        j = k - s.length;
        return 1;
    }

    void setto(Affix s) {
        std::memcpy(b + j + 1, s.text, static_cast<std::size_t>(s.length));
        k = j + s.length;
    }

    void r(Affix s) {
        if (m() > 0) setto(s);
    }

    // Plurals, then -ed and -ing.
    void step1ab() {
        if (b[k] == 's') {
            if (ends("sses"_af))
                k -= 2;
            else if (ends("ies"_af))
                setto("i"_af);
            else if (b[k - 1] != 's')
                k--;
        }
        if (ends("eed"_af)) {
            if (m() > 0) k--;
        } else if ((ends("ed"_af) || ends("ing"_af)) && vowelinstem()) {
            k = j;
            if (ends("at"_af))
                setto("ate"_af);
            else if (ends("bl"_af))
                setto("ble"_af);
            else if (ends("iz"_af))
                setto("ize"_af);
            else if (doublec(k)) {
                k--;
                const char ch = b[k];
                if (ch == 'l' || ch == 's' || ch == 'z') k++;
            } else if (m() == 1 && cvc(k))
                setto("e"_af);
        }
    }

    // Terminal y to i when there is another vowel in the stem.
    void step1c() {
        if (ends("y"_af) && vowelinstem()) b[k] = 'i';
    }

    // Double suffixes to single ones, chosen by the second-to-last letter.
    void step2() {
        if (k <= k0) return;
        switch (b[k - 1]) {
            case 'a':
                if (ends("ational"_af)) {
                    r("ate"_af);
                    break;
                }
                if (ends("tional"_af)) {
                    r("tion"_af);
                    break;
                }
                break;
            case 'c':
                if (ends("enci"_af)) {
                    r("ence"_af);
                    break;
                }
                if (ends("anci"_af)) {
                    r("ance"_af);
                    break;
                }
                break;
            case 'e':
                if (ends("izer"_af)) {
                    r("ize"_af);
                    break;
                }
                break;
            case 'l':
                if (ends("bli"_af)) {
                    r("ble"_af);
                    break;
                }
                if (ends("alli"_af)) {
                    r("al"_af);
                    break;
                }
                if (ends("entli"_af)) {
                    r("ent"_af);
                    break;
                }
                if (ends("eli"_af)) {
                    r("e"_af);
                    break;
                }
                if (ends("ousli"_af)) {
                    r("ous"_af);
                    break;
                }
                break;
            case 'o':
                if (ends("ization"_af)) {
                    r("ize"_af);
                    break;
                }
                if (ends("ation"_af)) {
                    r("ate"_af);
                    break;
                }
                if (ends("ator"_af)) {
                    r("ate"_af);
                    break;
                }
                break;
            case 's':
                if (ends("alism"_af)) {
                    r("al"_af);
                    break;
                }
                if (ends("iveness"_af)) {
                    r("ive"_af);
                    break;
                }
                if (ends("fulness"_af)) {
                    r("ful"_af);
                    break;
                }
                if (ends("ousness"_af)) {
                    r("ous"_af);
                    break;
                }
                break;
            case 't':
                if (ends("aliti"_af)) {
                    r("al"_af);
                    break;
                }
                if (ends("iviti"_af)) {
                    r("ive"_af);
                    break;
                }
                if (ends("biliti"_af)) {
                    r("ble"_af);
                    break;
                }
                break;
            case 'g':
                if (ends("logi"_af)) {
                    r("log"_af);
                    break;
                }
                break;
            default:
                break;
        }
    }

    // -ic-, -full, -ness and the like, chosen by the last letter.
    void step3() {
        switch (b[k]) {
            case 'e':
                if (ends("icate"_af)) {
                    r("ic"_af);
                    break;
                }
                if (ends("ative"_af)) {
                    r(""_af);
                    break;
                }
                if (ends("alize"_af)) {
                    r("al"_af);
                    break;
                }
                break;
            case 'i':
                if (ends("iciti"_af)) {
                    r("ic"_af);
                    break;
                }
                break;
            case 'l':
                if (ends("ical"_af)) {
                    r("ic"_af);
                    break;
                }
                if (ends("ful"_af)) {
                    r(""_af);
                    break;
                }
                break;
            case 's':
                if (ends("ness"_af)) {
                    r(""_af);
                    break;
                }
                break;
            default:
                break;
        }
    }

    // Single suffixes removed in the context m > 1.
    void step4() {
        if (k <= k0) return;
        switch (b[k - 1]) {
            case 'a':
                if (ends("al"_af)) break;
                return;
            case 'c':
                if (ends("ance"_af)) break;
                if (ends("ence"_af)) break;
                return;
            case 'e':
                if (ends("er"_af)) break;
                return;
            case 'i':
                if (ends("ic"_af)) break;
                return;
            case 'l':
                if (ends("able"_af)) break;
                if (ends("ible"_af)) break;
                return;
            case 'n':
                if (ends("ant"_af)) break;
                if (ends("ement"_af)) break;
                if (ends("ment"_af)) break;
                if (ends("ent"_af)) break;
                return;
            case 'o':
                if (ends("ion"_af) && j >= k0 && (b[j] == 's' || b[j] == 't')) break;
                if (ends("ou"_af)) break;
                return;
            case 's':
                if (ends("ism"_af)) break;
                return;
            case 't':
                if (ends("ate"_af)) break;
                if (ends("iti"_af)) break;
                return;
            case 'u':
                if (ends("ous"_af)) break;
                return;
            case 'v':
                if (ends("ive"_af)) break;
                return;
            case 'z':
                if (ends("ize"_af)) break;
                return;
            default:
                return;
        }
        if (m() > 1) k = j;
    }

    // A final -e is removed and -ll becomes -l when m > 1.
    void step5() {
        j = k;
        if (b[k] == 'e') {
            const int a = m();
            if (a > 1 || (a == 1 && !cvc(k - 1))) k--;
        }
        if (b[k] == 'l' && doublec(k) && m() > 1) k--;
    }
};

bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

int stem(char* p, int i, int j) { return Porter(p, i, j).run(); }

void stemfile(std::string_view in, std::string& out) {
    // Every run's stem would replace the previous one, so only the last run
    // of letters decides the result: find it from the end.
    std::size_t end = in.size();
    while (end > 0 && !is_ascii_letter(in[end - 1])) --end;
    if (end == 0) return;
    std::size_t begin = end;
    while (begin > 0 && is_ascii_letter(in[begin - 1])) --begin;

    std::string s(in.substr(begin, end - begin));
    for (char& c : s) c = ascii_lower(c);
    const int last = stem(s.data(), 0, static_cast<int>(s.size()) - 1);
    s.resize(static_cast<std::size_t>(last) + 1);
    out = std::move(s);
}

void get_stem(std::string_view word, std::string& stem) {
    // word may view stem itself: stemfile reads the run before writing out.
    stemfile(word, stem);
}

}  // namespace brennic
