// SPDX-License-Identifier: MIT
// Texts in every language read: words, folding, stems, stop words,
// detection, and the language choice of the library, Brennic.exe and
// brennic-batch.
#include <gtest/gtest.h>
#include <libstemmer.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "brennic/brennic.h"
#include "common/utf8.h"
#include "languages/languages.h"
#include "test_support.h"

namespace brennic {
namespace {

using test_support::ProcessResult;
using test_support::TempDir;

// One paragraph a language, code first (tests/data/languages).
std::map<std::string, std::string> paragraphs() {
    std::map<std::string, std::string> out;
    std::ifstream in(TEST_DATA_DIR "/languages/paragraphs.tsv");
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        out[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return out;
}

std::string words_of(std::string_view text, std::string_view language,
                     Encoding encoding = Encoding::automatic) {
    std::string out;
    for (const Span& s : word_spans(text, encoding, language)) {
        if (!out.empty()) out += '|';
        out += text.substr(s.offset, s.length);
    }
    return out;
}

TEST(Languages, EveryLanguageHasItsStemmerStopListAndParagraph) {
    const auto texts = paragraphs();
    const std::vector<std::string> codes = language_codes();
    ASSERT_EQ(codes.size(), 56u);
    EXPECT_EQ(codes.front(), "en");
    for (const std::string& code : codes) {
        SCOPED_TRACE(code);
        EXPECT_EQ(texts.count(code), 1u);
        if (code == "en") continue;
        const Language* language = Language::get(code);
        ASSERT_NE(language, nullptr);
        EXPECT_NO_THROW(Stemmer stemmer(*language));
    }
}

// A capitalised word of each language stems, once folded, as Snowball's
// own vocabulary says (Debian snowball-data); English keeps its Porter stem.
TEST(Languages, FoldsAndStemsAWordOfEachLanguage) {
    struct Case {
        const char* language;
        const char* word;
        const char* stem;
    };
    const Case cases[] = {
        {"en", "Running", "run"},
        {"ar", "فشوافعكن", "شوافع"},
        {"ca", "Dominadors", "domin"},
        {"da", "Halvtredsindstyvende", "halvtredsindstyv"},
        {"de", "Gedeihen", "gedeih"},
        {"el", "Ενάντιοι", "εναντι"},
        {"es", "Detectada", "detect"},
        {"eu", "Esaldiaren", "esaldia"},
        {"fi", "Cantonalta", "canton"},
        {"fr", "Échelles", "échel"},
        {"ga", "Dialannacht", "dialann"},
        {"hi", "आरएनएआई", "आरएनए"},
        {"hu", "Keresésnek", "keresés"},
        {"hy", "Ինստալյացիա", "ինստալյա"},
        {"id", "Kadarnya", "kadar"},
        {"it", "Erotici", "erot"},
        {"lt", "Kiveriai", "kiv"},
        {"ne", "झुक्क्याउथिइस्", "झुक्क्याउ"},
        {"nl", "Herverwerking", "herverwerk"},
        {"no", "Havnekassen", "havnekass"},
        {"pt", "Destilar", "destil"},
        {"ro", "Femeiuştile", "femeiuşt"},
        {"ru", "Мерещутся", "мерещут"},
        {"sr", "Grupisano", "grupisa"},
        {"sv", "Hjertas", "hjert"},
        {"ta", "குடித்தான்", "குடி"},
        {"tr", "İLAÇLARINDA", "ilaç"},
        {"yi", "באַשפּיזטער", "באשפיז"},
        // Croatian and Malay take the algorithms of their neighbours.
        {"hr", "Grupisano", "grupisa"},
        {"ms", "Kadarnya", "kadar"},
        // Without a stemmer of its own a word stems to its folded form.
        {"pl", "Mostów", "mostów"},
        {"is", "Brúarinnar", "brúarinnar"},
        {"uk", "Мости", "мост"},
        {"zh", "老桥", "老桥"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        EXPECT_EQ(stem(c.word, Encoding::automatic, c.language), c.stem);
    }
}

// German stems beyond Snowball's: -eln loses its n, as -el has none.
TEST(Languages, StemsGermanElnAsEl) {
    struct Case {
        const char* language;
        const char* word;
        const char* stem;
    };
    const Case cases[] = {
        {"de", "Regeln", "regel"},  {"de", "Regel", "regel"},   {"de", "handeln", "handel"},
        {"de", "Brücken", "bruck"}, {"nl", "Regeln", "regeln"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(stem(c.word, Encoding::automatic, c.language), c.stem);
    }
}

// Outside English a word without a letter (a number, a dash) is a word of
// its sentence, counted in its size and kept by condensing, but adds
// nothing to its score. English scores numbers as it always did.
TEST(Languages, NumbersAreWordsThatDoNotScore) {
    struct Case {
        const char* language;
        const char* text;
        long long words;
        float score;
        const char* condensed;
    };
    const Case cases[] = {
        {"de", "Die Aare ist etwa 288 km lang - sowie breit.", 10, 4.0f,
         "Aare 288 km lang - breit."},
        {"de", "Im Jahr 1954, 1954 und 4° kam er.", 8, 2.0f, "Jahr 1954, 1954 4° kam."},
        {"fr", "En 1954-1955, 1954 élèves.", 4, 1.0f, "1954-1955, 1954 élèves."},
        {"en", "In 1954 the 1954 rules.", 5, 5.0f, "1954 1954 rules. "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Options options;
        options.language = c.language;
        options.compression_rate = -1;
        options.diagnostics = true;
        const Summary summary = summarize(c.text, options);
        EXPECT_EQ(summary.diagnostics->text_words, c.words);
        EXPECT_EQ(summary.diagnostics->sentences.at(0).score, c.score);
        options.condense = true;
        EXPECT_EQ(summarize(c.text, options).sentences.at(0), c.condensed);
    }
}

// A stop word of the paragraph, in the case it is written there, and a
// content word next to it. (The Kurdish list is of Sorani, in Arabic
// script.)
TEST(Languages, KnowsTheStopWordsOfEachLanguage) {
    struct Case {
        const char* language;
        const char* stop;
        const char* content;
    };
    const Case cases[] = {
        {"en", "The", "bridge"},    {"ar", "في", "الجسر"},        {"ca", "El", "tancar"},
        {"da", "Den", "floden"},    {"de", "Die", "Brücke"},      {"el", "Η", "γέφυρα"},
        {"es", "El", "puente"},     {"eu", "beste", "Ibaiaren"},  {"fi", "koska", "silta"},
        {"fr", "Le", "rivière"},    {"ga", "an", "droichead"},    {"hi", "में", "पुराना"},
        {"hu", "A", "folyó"},       {"hy", "նրա", "կամուրջը"},    {"id", "di", "Jembatan"},
        {"it", "Il", "ponte"},      {"lt", "nes", "tiltas"},      {"ne", "किनभने", "पुरानो"},
        {"nl", "De", "rivier"},     {"no", "Den", "stengt"},      {"pt", "foi", "ponte"},
        {"ro", "peste", "Podul"},   {"ru", "Через", "мост"},      {"sr", "je", "most"},
        {"sv", "Den", "älven"},     {"ta", "என்று", "பாலம்"},       {"tr", "ÇÜNKÜ", "köprü"},
        {"yi", "די", "בריק"},       {"af", "Die", "brug"},        {"bg", "защото", "мост"},
        {"bn", "এর", "সেতুটি"},      {"cs", "protože", "most"},    {"et", "selle", "sild"},
        {"fa", "در", "پل"},         {"gl", "sobre", "ponte"},     {"gu", "કે", "પુલ"},
        {"he", "שלו", "הגשר"},      {"hr", "jer", "most"},        {"ja", "ため", "橋"},
        {"ko", "그리고", "균열을"}, {"ku", "لەسەر", "پرد"},       {"lv", "jo", "tilts"},
        {"mr", "की", "पूल"},         {"ms", "kerana", "Jambatan"}, {"pl", "ponieważ", "most"},
        {"sk", "pretože", "most"},  {"sl", "ker", "most"},        {"st", "ba", "noka"},
        {"sw", "kwa", "Daraja"},    {"th", "ที่", "สะพาน"},         {"tl", "ang", "tulay"},
        {"uk", "що", "міст"},       {"ur", "کہ", "دریا"},         {"vi", "đã", "cầu"},
        {"zh", "的", "桥"},         {"is", "vegna", "brúin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        EXPECT_TRUE(is_stop_word(c.stop, Encoding::automatic, c.language));
        EXPECT_FALSE(is_stop_word(c.content, Encoding::automatic, c.language));
    }
    // The project's additions to a published list count too.
    EXPECT_TRUE(is_stop_word("Wurde", Encoding::automatic, "de"));
    EXPECT_TRUE(is_stop_word("氏", Encoding::automatic, "ja"));  // Mr, Ms
    // A list of one language is not another's.
    EXPECT_FALSE(is_stop_word("Die", Encoding::automatic, "en"));
    EXPECT_FALSE(is_stop_word("The", Encoding::automatic, "de"));
}

// Unicode's full case folding after NFC, with the Turkic i in Turkish.
TEST(Languages, FoldsCaseByTheLanguagesRules) {
    struct Case {
        const char* language;
        const char* word;
        const char* folded;
    };
    const Case cases[] = {
        {"tr", "İSTANBUL", "istanbul"},    // dotted capital I
        {"tr", "IŞIK", "ışık"},            // dotless capital I
        {"de", "ISTANBUL", "istanbul"},    // elsewhere I is i
        {"de", "Straße", "strasse"},       // ß folds to ss
        {"de", "STRAẞE", "strasse"},       // and so does capital ẞ
        {"de", "Mu\u0308ller", "müller"},  // combining diaeresis composed
        {"el", "ΟΔΟΣ", "οδοσ"},            // final and other sigma alike
        {"el", "οδός", "οδόσ"},           {"ru", "ЁЛКА", "ёлка"}, {"hy", "ԵՐԵՎԱՆ", "երեվան"},
    };
    std::string out;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.word);
        Language::get(c.language)->fold(c.word, out);
        EXPECT_EQ(out, c.folded);
    }
    // The stems of the two spellings of a German word meet.
    EXPECT_EQ(stem("Straße", Encoding::automatic, "de"),
              stem("STRASSE", Encoding::automatic, "de"));
}

// The folding that skips ICU gives what ICU gives, for every character it
// takes, in a word of its own and between letters, with and without the
// Turkic i; it leaves every other word to ICU.
TEST(Languages, FoldsLatinAndCyrillicAsIcuDoes) {
    const auto icu_fold = [](const std::string& word, bool turkic) {
        std::u16string utf16(word.size(), u'\0'), folded(3 * word.size() + 4, u'\0');
        int32_t length = 0;
        UErrorCode code = U_ZERO_ERROR;
        u_strFromUTF8(utf16.data(), static_cast<int32_t>(utf16.size()), &length, word.data(),
                      static_cast<int32_t>(word.size()), &code);
        length =
            u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()), utf16.data(), length,
                          turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT, &code);
        std::string out(4 * static_cast<std::size_t>(length) + 4, '\0');
        int32_t out_length = 0;
        u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &out_length, folded.data(),
                    length, &code);
        EXPECT_TRUE(U_SUCCESS(code));
        out.resize(static_cast<std::size_t>(out_length));
        return out;
    };
    std::string out;
    for (const bool turkic : {false, true}) {
        for (char32_t cp = 1; cp <= 0x45F; ++cp) {
            if (cp == 0x100) cp = 0x400;
            std::string one;
            append_utf8(one, cp);
            for (const std::string& word : {one, "Ab" + one + "Z\u00C9"}) {
                SCOPED_TRACE(word);
                ASSERT_TRUE(fold_without_icu(word, turkic, out));
                EXPECT_EQ(out, icu_fold(word, turkic));
            }
        }
    }
    for (const char* other : {"\u0130", "\u1E9E", "\u03A3", "\u0460", "Mu\u0308ller", "\xC3"}) {
        EXPECT_FALSE(fold_without_icu(other, false, out)) << other;
    }
}

// The stems' table answers as Snowball does for every word it met, however
// many (it grows past its first 65,536 slots here), for the empty word and
// for a word too long to keep; and tells the stop words.
TEST(Languages, StemmerKeepsEveryWordItMet) {
    sb_stemmer* reference = sb_stemmer_new("german", "UTF_8");
    ASSERT_NE(reference, nullptr);
    const auto snowball = [&](const std::string& word) {
        const sb_symbol* stem =
            sb_stemmer_stem(reference, reinterpret_cast<const sb_symbol*>(word.data()),
                            static_cast<int>(word.size()));
        return std::string(reinterpret_cast<const char*>(stem),
                           static_cast<std::size_t>(sb_stemmer_length(reference)));
    };
    std::vector<std::string> words{"", std::string(3000, 'a') + "ungen", "häusern", "und"};
    for (int i = 0; i < 40000; ++i) {
        std::string word;
        for (int n = i; n > 0 || word.empty(); n /= 26) word += static_cast<char>('a' + n % 26);
        words.push_back(word + "ungen");
    }
    Stemmer stemmer(*Language::get("de"));
    for (int pass = 0; pass < 2; ++pass) {
        int wrong = 0;
        for (const std::string& word : words) {
            const Stemmer::Entry entry = stemmer.lookup(word);
            if (entry.stem != snowball(word) && ++wrong <= 3) ADD_FAILURE() << word.substr(0, 40);
        }
        EXPECT_EQ(wrong, 0) << "pass " << pass;
    }
    EXPECT_TRUE(stemmer.lookup("und").stop);
    EXPECT_FALSE(stemmer.lookup("häusern").stop);
    sb_stemmer_delete(reference);
}

// Words: every Unicode letter, elided articles apart, the language's
// joiners inside a word; texts that are not UTF-8 read as Windows-1252.
TEST(Languages, SplitsWordsAsTheLanguageWritesThem) {
    struct Case {
        const char* language;
        std::string text;
        std::string words;
    };
    const Case cases[] = {
        {"fr", "l’homme d'État qu’il", "l|homme|d|État|qu|il"},
        {"it", "dell’anno, l'isola", "dell|anno|l|isola"},
        {"ca", "col·lecció, l·, ·la", "col·lecció|l|la"},
        {"de", "Straße für Grüße", "Straße|für|Grüße"},
        {"da", "Ærø og Ålborg", "Ærø|og|Ålborg"},
        {"yi", "ס׳איז אַ ״ביכל״", "ס׳איז|אַ|ביכל"},
        {"hi", "क्\u200Dष ज्ञान", "क्\u200Dष|ज्ञान"},
        {"ar", "الكتاب، والقلم", "الكتاب|والقلم"},
        {"de",
         "Stra\xDF"
         "e f\xFCr Gr\xFC\xDF"
         "e",
         "Stra\xDF"
         "e|f\xFCr|Gr\xFC\xDF"
         "e"},
        {"ru", "«Мир» — 2024-й", "Мир|2024-й"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(words_of(c.text, c.language), c.words);
    }
    // English reads ß and Å as before: no letters of its set.
    EXPECT_EQ(words_of("Straße", "en"), "Stra|e");
    // The elided forms are stop words of their language.
    for (const char* elided : {"l", "qu", "jusqu"}) {
        EXPECT_TRUE(is_stop_word(elided, Encoding::automatic, "fr")) << elided;
    }
    EXPECT_TRUE(is_stop_word("dell", Encoding::automatic, "it"));
    EXPECT_TRUE(is_stop_word("l", Encoding::automatic, "ca"));
    // A Windows-1252 word stems as its UTF-8 twin.
    EXPECT_EQ(stem("Gr\xFC\xDF"
                   "en",
                   Encoding::automatic, "de"),
              stem("Grüßen", Encoding::automatic, "de"));
}

// Scripts written without spaces are cut into words by ICU's dictionaries;
// a Latin word or a number beside them is a word of its own, and only
// words of letters, kana or ideographs count.
TEST(Languages, CutsUnspacedScriptsIntoWords) {
    struct Case {
        const char* language;
        std::string text;
        std::string words;
    };
    const Case cases[] = {
        {"zh", "老桥去年冬天关闭了。", "老|桥|去年|冬天|关闭|了"},
        {"zh", "用iPhone拍照2020年", "用|iPhone|拍照|2020|年"},
        {"ja", "古い橋は閉鎖された。", "古い|橋|は|閉鎖|さ|れ|た"},
        {"th", "สะพานเก่าถูกปิด ๒๕๖๓", "สะพาน|เก่า|ถูก|ปิด"},
        // English keeps its byte walk: a run of ideographs is one word.
        {"en", "老桥去年冬天关闭了。", "老桥去年冬天关闭了"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(words_of(c.text, c.language), c.words);
    }
}

// Outside English a stop word and a content word with the same stem are
// counted apart ("Sicherheit" stems as the stop word "sich" does, Spanish
// "comida" as "como"); English counts them together, as it always did.
TEST(Languages, StopWordsNeverLendTheirCounts) {
    struct Case {
        const char* language;
        const char* text;
        const char* stem;
        int content;  // the count of the content stem
        int stop;     // the count of the stop words' stem; 0: none apart
    };
    const Case cases[] = {
        {"de", "Er freut sich. Sie wäscht sich. Die Sicherheit zählt.", "sich", 1, 2},
        {"es", "Como siempre, como dije. La comida llegó.", "com", 1, 2},
        {"en", "I want it. They wanted more. We want none.", "want", 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Options options;
        options.language = c.language;
        options.diagnostics = true;
        const Summary summary = summarize(c.text, options);
        int content = 0;
        int stop = 0;
        for (const StemReport& s : summary.diagnostics->stems) {
            if (s.stem == c.stem) (s.content ? content : stop) += s.frequency;
        }
        EXPECT_EQ(content, c.content);
        EXPECT_EQ(stop, c.stop);
    }
}

// Condensing deletes the stop words inside a run of an unspaced script and
// keeps what lies between the others.
TEST(Languages, CondensesUnspacedScripts) {
    struct Case {
        const char* language;
        const char* text;
        const char* condensed;
    };
    const Case cases[] = {
        {"zh", "老桥的裂缝很长。", "老桥裂缝长。"},
        {"ja", "古い橋は閉鎖された。", "古い橋閉鎖。"},
        {"de", "Die Brücke ist alt.", "Brücke alt."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Options options;
        options.language = c.language;
        options.condense = true;
        options.compression_rate = -1;
        EXPECT_EQ(summarize(c.text, options).sentences.at(0), c.condensed);
    }
}

TEST(Languages, DetectsTheLanguageOfAParagraph) {
    for (const auto& [code, text] : paragraphs()) {
        EXPECT_EQ(detect_language(text), code) << text;
    }
    // Chinese in traditional characters is Chinese.
    EXPECT_EQ(detect_language("河上的那座老橋去年冬天關閉了，因為市議會在它的石拱上發現了裂縫。"
                              "工程師們說，修復工作還需要兩年時間。"),
              "zh");
}

TEST(Languages, FallsBackToEnglishAndSaysWhy) {
    struct Case {
        std::string text;
        std::string fallback;  // the start of the reason
    };
    const Case cases[] = {
        {"", "too short"},
        {"Ok.", "too short"},
        {"Caewyd yr hen bont dros yr afon y gaeaf diwethaf oherwydd bod cyngor y dref wedi dod o "
         "hyd i graciau yn ei bwâu carreg. Mae peirianwyr yn dweud y bydd y gwaith atgyweirio yn "
         "cymryd dwy flynedd arall.",
         "its language (cy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(detect_language(c.text), "en");
        Options options;
        options.language = "auto";
        options.diagnostics = true;
        const Summary s = summarize(c.text.empty() ? std::string("Ok.") : c.text, options);
        ASSERT_EQ(s.diagnostics->languages.size(), 1u);
        const LanguageReport& r = s.diagnostics->languages[0];
        EXPECT_EQ(r.language, "en");
        EXPECT_TRUE(r.detected);
        EXPECT_EQ(r.fallback.substr(0, c.fallback.size()),
                  c.text.empty() ? std::string("too short") : c.fallback);
    }
}

TEST(Languages, SummarizesEachTextInItsOwnLanguage) {
    const auto texts = paragraphs();
    const std::vector<std::string_view> views = {texts.at("de"), texts.at("ru"), texts.at("en")};
    Options options;
    options.language = "auto";
    options.diagnostics = true;
    const Summary together = summarize(std::span<const std::string_view>(views), options);
    std::vector<std::string> found;
    for (const LanguageReport& r : together.diagnostics->languages) {
        EXPECT_TRUE(r.detected);
        EXPECT_EQ(r.fallback, "");
        found.push_back(r.language);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"de", "ru", "en"}));
    // Stems of each language's own stemmer, stop words of its own list.
    std::vector<std::string> stems;
    for (const StemReport& s : together.diagnostics->stems) {
        if (s.content) stems.push_back(s.stem);
    }
    for (const char* expected : {"bruck", "мост", "bridg"}) {
        EXPECT_NE(std::find(stems.begin(), stems.end(), expected), stems.end()) << expected;
    }
    for (const char* stop : {"die", "что", "the"}) {
        EXPECT_EQ(std::find(stems.begin(), stems.end(), stop), stems.end()) << stop;
    }
    // The condensed extract drops the language's stop words.
    options.language = "de";
    options.condense = true;
    options.diagnostics = false;
    options.compression_rate = -1;
    const Summary condensed = summarize(texts.at("de"), options);
    ASSERT_EQ(condensed.sentences.size(), 1u);
    EXPECT_EQ(condensed.sentences[0].find(" die "), std::string::npos);
    EXPECT_EQ(condensed.sentences[0].rfind("Alte Brücke", 0), 0u) << condensed.sentences[0];

    options.language = "xx";
    EXPECT_THROW(summarize(texts.at("de"), options), Error);
}

// The first 20,000 lines of a file, or of its gzip-compressed twin name.gz.
std::vector<std::string> lines_of(const std::string& name) {
    const std::string command =
        (std::filesystem::exists(name) ? "cat '" + name + "'" : "gzip -dc '" + name + ".gz'") +
        " | head -n 20000";
    std::string all;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[1 << 16];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            all.append(buffer, n);
        ::pclose(pipe);
    }
    std::vector<std::string> lines;
    std::istringstream in(all);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Snowball's vocabulary and expected stems for each algorithm, from
// Debian's snowball-data when it is installed: every tenth of the first
// 20,000 words.
TEST(Languages, StemsAsSnowballsOwnVocabulary) {
    const std::string root = "/usr/share/snowball/data/";
    if (!std::filesystem::exists(root)) GTEST_SKIP() << "snowball-data is not installed";
    for (const LanguageInfo& info : language_table()) {
        if (info.code == "en" || info.stemmer.empty()) continue;
        SCOPED_TRACE(info.stemmer);
        const std::string dir = root + std::string(info.stemmer) + "/";
        const std::vector<std::string> words = lines_of(dir + "voc.txt");
        const std::vector<std::string> stems = lines_of(dir + "output.txt");
        ASSERT_EQ(words.size(), stems.size());
        ASSERT_FALSE(words.empty());
        const Language& language = *Language::get(info.code);
        Stemmer stemmer(language);
        int wrong = 0;
        for (std::size_t i = 0; i < words.size(); i += 10) {
            // Snowball's stem, with the language's own adjustment (German -eln).
            const std::string expected(language.adjust_stem(stems[i]));
            if (stemmer.stem(words[i]) != expected && ++wrong <= 3)
                ADD_FAILURE() << words[i] << " -> " << stemmer.stem(words[i]);
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Brennic.exe takes the language from BRENNIC_LANGUAGE and hands the
// language it reads each text in to the segmenter the same way.
TEST(Languages, BrennicExeReadsTheLanguageOfItsEnvironment) {
    const auto texts = paragraphs();
    struct Case {
        std::string setting;    // BRENNIC_LANGUAGE
        std::string segmenter;  // what the segmenter was given, a line a text
        std::string library;    // the same choice in the library
    };
    const Case cases[] = {
        {"", "en\nen\n", "en"},
        {"fr", "fr\nfr\n", "fr"},
        {"de", "de\nde\n", "de"},
        {"auto", "de\nfr\n", "auto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        // A sentence a line, as the stand-in segmenter takes them.
        const auto lines = [](std::string text) {
            for (std::size_t at; (at = text.find(". ")) != std::string::npos;) text[at + 1] = '\n';
            return text + "\n";
        };
        TempDir dir;
        dir.write("de.txt", lines(texts.at("de")));
        dir.write("fr.txt", lines(texts.at("fr")));
        const ProcessResult r = test_support::run_process(
            {BRENNIC_EXE, "-is", "-n2", "de.txt", "fr.txt", "0.5"}, dir.path().string(),
            {"PATH=" TEST_DATA_DIR "/stub:/usr/bin:/bin", "BRENNIC_LANGUAGE=" + c.setting,
             "STUB_LANGUAGE_LOG=" + dir.file("languages.log")});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(dir.read("languages.log"), c.segmenter);
        Options options;
        options.language = c.library;
        options.condense = true;
        options.compression_rate = 0.5f;
        const std::vector<std::string> both = {dir.read("de.txt"), dir.read("fr.txt")};
        std::string expected;
        for (const std::string& s :
             summarize(std::span<const std::string>(both), options).sentences)
            expected += s + "\n";
        EXPECT_EQ(dir.read("multidoc-fr.sum"), expected);
    }
    TempDir dir;
    dir.write("a.txt", "Some text.\n");
    const ProcessResult r = test_support::run_process(
        {BRENNIC_EXE, "a.txt", "0.5"}, dir.path().string(),
        {"PATH=" TEST_DATA_DIR "/stub:/usr/bin:/bin", "BRENNIC_LANGUAGE=xx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("\tERROR: BRENNIC_LANGUAGE is xx: it must be auto or one of en, af,", 0),
              0u)
        << r.out;
    EXPECT_FALSE(dir.exists("a.sum"));
}

TEST(Languages, BatchDetectsEachTextOnItsOwn) {
    const auto texts = paragraphs();
    TempDir dir;
    dir.write("de.txt", texts.at("de") + "\n");
    dir.write("ru.txt", texts.at("ru") + "\n");
    const ProcessResult r =
        test_support::run_process({BATCH_EXE, "--no-progress", "-l", "auto", "--keywords=1",
                                   "--stems", "-c", "de.txt", "ru.txt"},
                                  dir.path().string());
    EXPECT_EQ(r.status, 0) << r.err;
    // Read as English, "die" would be the commonest word and "Старый" no stem.
    EXPECT_EQ(r.out, "de.txt\talt\t1\tvell\nru.txt\tстар\t1\tvell\n");
    const ProcessResult bad =
        test_support::run_process({BATCH_EXE, "--language=xx", "de.txt"}, dir.path().string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unknown language 'xx'"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace brennic
