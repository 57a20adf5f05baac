// SPDX-License-Identifier: MIT
// The segmenter's rules per language and script: one table a rule family,
// a row a language, each with English beside it where the rules differ.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "brennic/brennic.h"
#include "talven/language.h"
#include "talven/segmenter.h"

namespace {

struct Row {
    const char* language;
    const char* text;
    std::vector<std::string> sentences;
};

void check(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.language) + ": " + r.text);
        const talven::Language& lang = talven::language_rules(r.language);
        EXPECT_EQ(talven::segment(r.text, lang), r.sentences);
        std::string lines;
        for (const std::string& s : r.sentences) lines += s + "\n";
        EXPECT_EQ(talven::segment_lines(r.text, lang, 16), lines) << "in paragraph groups";
    }
}

TEST(TalvenLanguage, TerminatorsOfEveryScript) {
    check({
        {"hi", "मैं घर गया। वह बाज़ार गई।", {"मैं घर गया।", "वह बाज़ार गई।"}},
        {"hi", "पहला पद ॥ दूसरा पद ॥", {"पहला पद ॥", "दूसरा पद ॥"}},
        {"ar", "هل أنت بخير؟ نعم، أنا بخير.", {"هل أنت بخير؟", "نعم، أنا بخير."}},
        // The Arabic comma separates clauses, not sentences.
        {"ar", "ذهبت إلى السوق، واشتريت خبزا.", {"ذهبت إلى السوق، واشتريت خبزا."}},
        {"ur", "یہ کتاب ہے۔ وہ قلم ہے۔", {"یہ کتاب ہے۔", "وہ قلم ہے۔"}},
        {"hy", "Նա եկավ։ Մենք գնացինք։", {"Նա եկավ։", "Մենք գնացինք։"}},
        {"hy", "Նա եկավ: Մենք գնացինք:", {"Նա եկավ:", "Մենք գնացինք:"}},
        {"am", "ሰላም ነው። እንዴት ነህ፧", {"ሰላም ነው።", "እንዴት ነህ፧"}},
        {"el", "Τι ώρα είναι; Είναι αργά.", {"Τι ώρα είναι;", "Είναι αργά."}},
        {"el", "Πού πας\xCD\xBE Στο σπίτι.", {"Πού πας\xCD\xBE", "Στο σπίτι."}},
        {"es", "¿Vienes mañana? ¡Claro que sí!", {"¿Vienes mañana?", "¡Claro que sí!"}},
        // The English rules know none of these.
        {"en", "He wrote । and left.", {"He wrote । and left."}},
        {"en", "Τι ώρα είναι; Είναι αργά.", {"Τι ώρα είναι; Είναι αργά."}},
    });
}

TEST(TalvenLanguage, QuotationMarks) {
    check({
        {"fr",
         "Il a dit : « Je pars. » Puis il est parti.",
         {"Il a dit : « Je pars. »", "Puis il est parti."}},
        {"da", "»Kom nu.« Han gik.", {"»Kom nu.«", "Han gik."}},
        {"en", "»Kom nu.« Han gik.", {"»Kom nu.« Han gik."}},
        {"de", "„Das ist gut.“ Sie lachte.", {"„Das ist gut.“", "Sie lachte."}},
        {"sv", "”Vi ses.” Sedan gick hon.", {"”Vi ses.”", "Sedan gick hon."}},
        {"nl", "Hij lachte. ,,Goed zo.'' Ze ging.", {"Hij lachte.", ",,Goed zo.''", "Ze ging."}},
        {"en", "He laughed. ,,Good.'' She went.", {"He laughed. ,,Good.''", "She went."}},
        {"ja",
         "「行きます。」と彼は言った。それから出かけた。",
         {"「行きます。」と彼は言った。", "それから出かけた。"}},
        // A stop inside corner brackets ends the sentence unless the
        // quoting particle follows: after a line break, a space or a word.
        {"ja",
         "「残念だった。」\nこの発言は話題を呼んだ。",
         {"「残念だった。」", "この発言は話題を呼んだ。"}},
        {"ja", "『行く。』 彼は出た。", {"『行く。』", "彼は出た。"}},
        {"ja", "「行く。」彼は出た。", {"「行く。」", "彼は出た。"}},
        {"ja", "「行く。」って言った。", {"「行く。」って言った。"}},
        {"ja", "「はい。」ところが来なかった。", {"「はい。」", "ところが来なかった。"}},
        {"ja", "「分かった。」とても嬉しかった。", {"「分かった。」", "とても嬉しかった。"}},
        {"zh", "“我走了。”\n他离开了。", {"“我走了。”", "他离开了。"}},
        {"en", "\u300CGo.\u300D He left.", {"\u300CGo.\u300D He left."}},
        {"vi",
         "Anh ấy nói: “Tôi sẽ đi.” Sau đó anh ấy đi.",
         {"Anh ấy nói: “Tôi sẽ đi.”", "Sau đó anh ấy đi."}},
        {"ko",
         "그는 “비가 온다.”라고 말했다. 그리고 떠났다.",
         {"그는 “비가 온다.”라고 말했다.", "그리고 떠났다."}},
        // Sentences inside a quotation end before a capitalised word.
        {"pt",
         "«Adoro política. Tenho planos», disse ela.",
         {"«Adoro política.", "Tenho planos», disse ela."}},
        {"en",
         "\"I love it. I have plans,\" she said.",
         {"\"I love it. I have plans,\" she said."}},
    });
}

TEST(TalvenLanguage, Abbreviations) {
    check({
        {"de",
         "Wir brauchen z. B. Wasser und Brot. Dann gehen wir.",
         {"Wir brauchen z. B. Wasser und Brot.", "Dann gehen wir."}},
        {"de", "Das kostet ca. 5 Euro. Er zahlt.", {"Das kostet ca. 5 Euro.", "Er zahlt."}},
        // Abbreviations spelt with a space, and those of languages.
        {"de",
         "Geigen, die u. a. das Orchester tragen, d. h. Streicher. Sie klingen.",
         {"Geigen, die u. a. das Orchester tragen, d. h. Streicher.", "Sie klingen."}},
        {"de",
         "Er lebte um 50 n. Chr. in Rom. Dann starb er.",
         {"Er lebte um 50 n. Chr. in Rom.", "Dann starb er."}},
        {"de",
         "Von lat. Aqua und frz. Eau. Das ist Wasser.",
         {"Von lat. Aqua und frz. Eau.", "Das ist Wasser."}},
        {"de", "Teil a. Dann kam Teil b.", {"Teil a.", "Dann kam Teil b."}},
        {"es",
         "La Sra. García llegó tarde. Nadie la esperaba.",
         {"La Sra. García llegó tarde.", "Nadie la esperaba."}},
        {"ru", "Мы встретились с г. Ивановым вчера.", {"Мы встретились с г. Ивановым вчера."}},
        {"el",
         "Μίλησε ο κ. Παπαδόπουλος χθες. Όλοι άκουσαν.",
         {"Μίλησε ο κ. Παπαδόπουλος χθες.", "Όλοι άκουσαν."}},
        {"hi", "डॉ. शर्मा आज आए। सब खुश थे।", {"डॉ. शर्मा आज आए।", "सब खुश थे।"}},
        {"ro",
         "Conform art. 5 din lege, taxa crește. Nimeni nu a protestat.",
         {"Conform art. 5 din lege, taxa crește.", "Nimeni nu a protestat."}},
        {"es", "Vive en el N°. 12 de la calle.", {"Vive en el N°. 12 de la calle."}},
        {"ta", "கே. பாலகிருஷ்ணன் வந்தார். அவர் பேசினார்.", {"கே. பாலகிருஷ்ணன் வந்தார்.", "அவர் பேசினார்."}},
        {"hi", "वह घर पर है. सब ठीक है.", {"वह घर पर है.", "सब ठीक है."}},
        // A lower-case letter alone is an abbreviation only when listed.
        {"tr", "Kapıyı açan o. Sonra gitti.", {"Kapıyı açan o.", "Sonra gitti."}},
    });
}

TEST(TalvenLanguage, Ordinals) {
    check({
        {"de",
         "Er kam am 3. Oktober an. Dann blieb er.",
         {"Er kam am 3. Oktober an.", "Dann blieb er."}},
        {"de",
         "Nach dem 2. Weltkrieg wuchs die Stadt. Sie blüht.",
         {"Nach dem 2. Weltkrieg wuchs die Stadt.", "Sie blüht."}},
        {"de", "Sie lief als 3. Die anderen folgten.", {"Sie lief als 3.", "Die anderen folgten."}},
        {"de", "Er kam im Jahr 1990. Das war gut.", {"Er kam im Jahr 1990.", "Das war gut."}},
        {"fi",
         "Hän syntyi 3. joulukuuta 1950. Hän kuoli myöhemmin.",
         {"Hän syntyi 3. joulukuuta 1950.", "Hän kuoli myöhemmin."}},
        {"de", "Am 1. Januar 2020 begann es.", {"Am 1. Januar 2020 begann es."}},
        // Only German capitalises the nouns an ordinal counts.
        {"fi",
         "Joukkue sijoittui 3. Seuraavana vuonna se voitti.",
         {"Joukkue sijoittui 3.", "Seuraavana vuonna se voitti."}},
        {"en", "He came in 3. October was cold.", {"He came in 3.", "October was cold."}},
    });
}

TEST(TalvenLanguage, ScriptsWithoutCase) {
    check({
        {"ar", "وصل القطار. بدأ الركاب بالنزول.", {"وصل القطار.", "بدأ الركاب بالنزول."}},
        {"he", "הוא הלך הביתה. היא נשארה.", {"הוא הלך הביתה.", "היא נשארה."}},
        {"ta", "அவன் வந்தான். அவள் போனாள்.", {"அவன் வந்தான்.", "அவள் போனாள்."}},
        {"hi", "वह आया. फिर गया.", {"वह आया.", "फिर गया."}},
        {"fa", "او رفت؟ بله، رفت.", {"او رفت؟", "بله، رفت."}},
        {"ur", "کیا وہ آیا؟ ہاں، وہ آیا۔", {"کیا وہ آیا؟", "ہاں، وہ آیا۔"}},
    });
}

// Thai writes no sentence punctuation: a space between Thai words ends a
// sentence, a space beside a number or a Latin word does not.
TEST(TalvenLanguage, ThaiSpaces) {
    check({
        {"th", "สะพานเก่าถูกปิด วิศวกรจะซ่อมสะพาน", {"สะพานเก่าถูกปิด", "วิศวกรจะซ่อมสะพาน"}},
        {"th", "ราคา 500 บาท", {"ราคา 500 บาท"}},
        {"th", "ใช้ iPhone รุ่นใหม่", {"ใช้ iPhone รุ่นใหม่"}},
        {"th", "เขาพูด (สั้น ๆ) แล้วไป", {"เขาพูด (สั้น ๆ) แล้วไป"}},
        {"en", "สะพานเก่าถูกปิด วิศวกรจะซ่อมสะพาน", {"สะพานเก่าถูกปิด วิศวกรจะซ่อมสะพาน"}},
    });
}

TEST(TalvenLanguage, ChineseAndJapanese) {
    check({
        {"zh", "我今天很忙。明天见！", {"我今天很忙。", "明天见！"}},
        {"ja", "美味しい!また来ます。", {"美味しい!", "また来ます。"}},
        {"ja", "金利は３．２９％です。次へ。", {"金利は３．２９％です。", "次へ。"}},
        {"en", "Tasty!また来ます。", {"Tasty!また来ます。"}},
    });
}

TEST(TalvenLanguage, UnclosedBrackets) {
    check({
        {"tr",
         "(Uzun boylu. Saçları siyahtı. Gözleri parlıyordu.",
         {"(Uzun boylu.", "Saçları siyahtı.", "Gözleri parlıyordu."}},
        {"tr",
         "(Uzun boylu. Saçları siyahtı.) Gözleri parlıyordu.",
         {"(Uzun boylu. Saçları siyahtı.)", "Gözleri parlıyordu."}},
        {"en", "(Tall. Dark hair. Bright eyes.", {"(Tall. Dark hair. Bright eyes."}},
    });
}

TEST(TalvenLanguage, CodesNameTheRules) {
    EXPECT_TRUE(talven::language_rules("").english);
    EXPECT_TRUE(talven::language_rules("en").english);
    EXPECT_EQ(&talven::language_rules("de"), &talven::language_rules("de"));
    EXPECT_TRUE(talven::language_rules("de").ordinals);
    EXPECT_TRUE(talven::language_rules("hy").colon_ends);
    EXPECT_TRUE(talven::language_rules("el").semicolon_asks);
    EXPECT_FALSE(talven::language_rules("sw").english);  // no table: the general rules
    for (const char* bad : {"xx", "EN", "eng", "de-AT", "auto", " en"}) {
        EXPECT_THROW(talven::language_rules(bad), talven::UnknownLanguage) << bad;
    }
    EXPECT_EQ(talven::resolve_language("auto", "Some text."), "en");
    EXPECT_EQ(talven::resolve_language("fr", "Some text."), "fr");
}

TEST(TalvenLanguage, EveryTableIsRead) {
    // The word lists reach the rules: a listed abbreviation of each
    // language keeps a capitalised non-opener after it in its sentence.
    const std::vector<Row> rows = {
        {"da", "Det sker ca. Mandag.", {"Det sker ca. Mandag."}},
        {"it", "Lo vide il sig. Rossi.", {"Lo vide il sig. Rossi."}},
        {"nl", "Dit is o.a. Jan.", {"Dit is o.a. Jan."}},
        {"pl", "Przyszedł prof. Nowak.", {"Przyszedł prof. Nowak."}},
        {"fr", "Voir M. Dupont.", {"Voir M. Dupont."}},
    };
    check(rows);
}

TEST(TalvenLanguage, LibraryTakesTheLanguage) {
    const std::string text = "Er kam am 3. Oktober an. Dann blieb er.";
    EXPECT_EQ(brennic::segment(text, "de").size(), 2u);
    EXPECT_EQ(brennic::segment(text, "en").size(), 3u);
    EXPECT_EQ(brennic::segment(text, "en"), brennic::segment(text));
    // auto finds the language: German here.
    EXPECT_EQ(brennic::segment(text, "auto"), brennic::segment(text, "de"));
    const std::vector<brennic::Span> spans = brennic::segment_spans(text, "de");
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(text.substr(spans[1].offset, spans[1].length), "Dann blieb er.");
    try {
        brennic::segment(text, "zz");
        ADD_FAILURE() << "no error for an unknown language";
    } catch (const brennic::Error& e) {
        EXPECT_NE(std::string_view(e.what()).find("\"zz\""), std::string_view::npos) << e.what();
    }
    EXPECT_THROW(brennic::segment_spans(text, "zz"), brennic::Error);
}

}  // namespace
