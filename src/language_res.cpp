#include "language_res.h"

#include <array>
#include <unordered_set>

namespace brennic {
namespace {

// ASCII letters and digits, '-', '_', ª, ° and 48 accented ISO 8859-1 letters.
constexpr std::array<bool, 256> make_letter_table() {
    std::array<bool, 256> table{};
    auto mark = [&table](int from, int to) {
        for (int b = from; b <= to; ++b) table[static_cast<std::size_t>(b)] = true;
    };
    mark(0x2D, 0x2D);  // -
    mark(0x30, 0x39);  // 0-9
    mark(0x41, 0x5A);  // A-Z
    mark(0x5F, 0x5F);  // _
    mark(0x61, 0x7A);  // a-z
    mark(0xAA, 0xAA);  // feminine ordinal indicator
    mark(0xB0, 0xB0);  // degree sign
    mark(0xC0, 0xC4);
    mark(0xC7, 0xCF);
    mark(0xD1, 0xD6);
    mark(0xD9, 0xDC);
    mark(0xE0, 0xE4);
    mark(0xE7, 0xEF);
    mark(0xF1, 0xF6);
    mark(0xF9, 0xFC);
    return table;
}

constexpr std::array<bool, 256> letter_table = make_letter_table();

constexpr std::string_view stop_words[] = {
    "a", "able", "about", "above", "according", "accordingly", "across", "actually",
    "after", "afterwards", "again", "against", "all", "allow", "allows", "almost",
    "alone", "along", "already", "also", "although", "always", "am", "among",
    "amongst", "an", "and", "another", "any", "anybody", "anyhow", "anyone",
    "anything", "anyway", "anyways", "anywhere", "apart", "appear", "appreciate",
    "appropriate", "are", "around", "as", "aside", "ask", "asking", "associated", "at",
    "available", "away", "awfully", "b", "be", "became", "because", "become",
    "becomes", "becoming", "been", "before", "beforehand", "behind", "being",
    "believe", "below", "beside", "besides", "best", "better", "between", "beyond",
    "both", "brief", "but", "by", "c", "came", "can", "cannot", "cant", "cause",
    "causes", "certain", "certainly", "changes", "clearly", "co", "com", "come",
    "comes", "concerning", "consequently", "consider", "considering", "contain",
    "containing", "contains", "corresponding", "could", "course", "currently", "d",
    "definitely", "described", "despite", "did", "different", "do", "does", "doing",
    "done", "down", "downwards", "during", "e", "each", "edu", "eg", "eight", "either",
    "else", "elsewhere", "enough", "entirely", "especially", "et", "etc", "even",
    "ever", "every", "everybody", "everyone", "everything", "everywhere", "ex",
    "exactly", "example", "except", "f", "far", "few", "fifth", "first", "five",
    "followed", "following", "follows", "for", "former", "formerly", "forth", "four",
    "from", "further", "furthermore", "g", "get", "gets", "getting", "given", "gives",
    "go", "goes", "going", "gone", "got", "gotten", "greetings", "h", "had", "happens",
    "hardly", "has", "have", "having", "he", "hello", "help", "hence", "her", "here",
    "hereafter", "hereby", "herein", "hereupon", "hers", "herself", "hi", "him",
    "himself", "his", "hither", "hopefully", "how", "howbeit", "however", "i", "ie",
    "if", "ignored", "immediate", "in", "inasmuch", "inc", "indeed", "indicate",
    "indicated", "indicates", "inner", "insofar", "instead", "into", "inward", "is",
    "it", "its", "itself", "j", "just", "k", "keep", "keeps", "kept", "know", "knows",
    "known", "l", "last", "lately", "later", "latter", "latterly", "least", "less",
    "lest", "let", "like", "liked", "likely", "little", "look", "looking", "looks",
    "ltd", "m", "mainly", "many", "may", "maybe", "me", "mean", "meanwhile", "merely",
    "might", "more", "moreover", "most", "mostly", "much", "must", "my", "myself", "n",
    "name", "namely", "nd", "near", "nearly", "necessary", "need", "needs", "neither",
    "never", "nevertheless", "new", "next", "nine", "no", "nobody", "non", "none",
    "noone", "nor", "normally", "not", "nothing", "novel", "now", "nowhere", "o",
    "obviously", "of", "off", "often", "oh", "ok", "okay", "old", "on", "once", "one",
    "ones", "only", "onto", "or", "other", "others", "otherwise", "ought", "our",
    "ours", "ourselves", "out", "outside", "over", "overall", "own", "p", "particular",
    "particularly", "per", "perhaps", "placed", "please", "plus", "possible",
    "presumably", "probably", "provides", "q", "que", "quite", "qv", "r", "rather",
    "rd", "re", "really", "reasonably", "regarding", "regardless", "regards",
    "relatively", "respectively", "right", "s", "said", "same", "saw", "say", "saying",
    "says", "second", "secondly", "see", "seeing", "seem", "seemed", "seeming",
    "seems", "seen", "self", "selves", "sensible", "sent", "serious", "seriously",
    "seven", "several", "shall", "she", "should", "since", "six", "so", "some",
    "somebody", "somehow", "someone", "something", "sometime", "sometimes", "somewhat",
    "somewhere", "soon", "sorry", "specified", "specify", "specifying", "still", "sub",
    "such", "sup", "sure", "t", "take", "taken", "tell", "tends", "th", "than",
    "thank", "thanks", "thanx", "that", "thats", "the", "their", "theirs", "them",
    "themselves", "then", "thence", "there", "thereafter", "thereby", "therefore",
    "therein", "theres", "thereupon", "these", "they", "think", "third", "this",
    "thorough", "thoroughly", "those", "though", "three", "through", "throughout",
    "thru", "thus", "to", "together", "too", "took", "toward", "towards", "tried",
    "tries", "truly", "try", "trying", "twice", "two", "u", "un", "under",
    "unfortunately", "unless", "unlikely", "until", "unto", "up", "upon", "us", "use",
    "used", "useful", "uses", "using", "usually", "uucp", "v", "value", "various",
    "very", "via", "viz", "vs", "w", "want", "wants", "was", "way", "we", "welcome",
    "well", "went", "were", "what", "whatever", "when", "whence", "whenever", "where",
    "whereafter", "whereas", "whereby", "wherein", "whereupon", "wherever", "whether",
    "which", "while", "whither", "who", "whoever", "whole", "whom", "whose", "why",
    "will", "willing", "wish", "with", "within", "without", "wonder", "would", "x",
    "y", "yes", "yet", "you", "your", "yours", "yourself", "yourselves", "z",
};

constexpr std::string_view abbreviations[] = {
    "abbr", "abl", "abr", "abs", "a/c", "acc", "ad", "adj", "adm", "adv", "advt",
    "aero", "aft", "ala", "alas", "ald", "alg", "alt", "am", "amp", "an", "anal",
    "anat", "anon", "antiq", "ap", "app", "appro", "approx", "apr", "apt", "arch",
    "arith", "ariz", "ark", "argrie", "arr", "art", "as", "assoc", "asst", "astron",
    "atm", "at", "atty-gen", "atwt", "aud", "aug", "aust", "a/v", "av", "avdp", "ave",
    "bact", "bacter", "b.agr", "b.agrie", "bar", "batt", "bch", "bchd", "bcom", "bd",
    "bde", "bds", "beds", "beng", "berks", "bf", "bib", "bibliog", "biol", "bk", "bkg",
    "b/l", "bl", "bor", "bp", "br", "bram", "braz", "brec", "bret", "brev", "brig",
    "brig-gen", "brit", "britmus", "bro", "bros", "bsc", "bt", "bth", "bu", "bucks",
    "bus", "ca", "cab", "cal", "calif", "camb", "cambr", "cap", "caps", "capt", "card",
    "cat", "cath", "cels", "celt", "cent", "cf", "cg", "ch", "chamb", "chap", "chch",
    "chem", "ches", "chin", "chmn", "chn", "c-in-c", "circ", "cit", "civ", "clar",
    "cm", "cmdr", "co", "cos", "c/o", "coad", "cogn", "col", "coll", "collat",
    "colloq", "colo", "com", "comp", "compl", "con", "cong", "conj", "conn", "cons",
    "co-op", "cor", "corn", "corp", "cp", "cr", "cresc", "ct", "cu", "cub", "cum",
    "cumb", "cur", "cwt", "cyl", "dak", "dal", "dan", "dat", "dau", "dec", "def",
    "deg", "del", "deng", "dent", "dep", "dept", "deut", "dft", "dg", "dial", "diam",
    "dict", "diff", "dim", "dimin", "dioc", "dir", "dis", "dist", "div", "dl", "dm",
    "do", "doc", "dol", "dom", "doz", "dr", "drs", "dph", "dphil", "dpt", "du", "dub",
    "dubl", "dwt", "dyn", "ea", "eccles", "econ", "ed", "edin", "electr", "ellipt",
    "elong", "eng", "engl", "entom", "ep", "eq", "equiv", "esp", "esq", "est", "eth",
    "ethnol", "etym", "euphem", "ex", "exam", "exc", "exch", "excl", "exp", "ext",
    "exx", "fac", "facet", "fahr", "fam", "fcp", "feb", "fed", "fem", "feud", "ff",
    "fig", "fin", "finn", "fl", "fla", "flem", "fm", "fo", "fol", "foll", "fp", "fr",
    "freq", "fri", "frisco", "ft", "fur", "fut", "fwd", "ga", "gal", "gds", "gen",
    "gent", "geog", "geol", "geom", "ger", "germ", "ggr", "gib", "gk", "glos", "gloss",
    "gm", "goth", "gov", "gov-gen", "govt", "gr", "gram", "grm", "gs", "gt", "gtt",
    "gym", "hants", "hcap", "hdbk", "hdqrs", "hebr", "hectog", "hectol", "hectom",
    "her", "hf", "hf-bd", "hf-cl", "hg", "hind", "hist", "hl", "hm", "ho", "hon",
    "hor", "hort", "hr", "hrs", "ht", "hydr", "ia", "i/c", "icel", "ichth", "icon",
    "iii", "in", "inc", "incl", "incorp", "ind", "indef", "indic", "inf", "infin",
    "ins", "insp", "inst", "int", "intens", "inter", "interrog", "intr", "intrans",
    "intro", "introd", "inv", "ir", "iron", "irreg", "isl", "it", "ital", "itin",
    "jam", "jan", "jap", "joc", "jr", "jul", "jun", "kan", "kc", "kg", "kilo", "km",
    "knt", "kw", "ky", "la", "lab", "lancs", "lat", "lb", "ld", "leics", "lib",
    "lieut", "lim", "lincs", "lit", "liter", "litho", "lithog", "liturg", "log",
    "lond", "long", "l'pool", "lt", "ltd", "luth", "mach", "mag", "magn", "maj", "man",
    "manit", "mar", "masc", "mass", "math", "matric", "md", "mdx", "mddx", "me",
    "mech", "med", "medit", "memo", "messrs", "vmet", "mex", "mfd", "mfg", "mfr", "mg",
    "mich", "mil", "min", "minn", "misc", "miss", "mkt", "ml", "mm", "mo", "molwt",
    "mol", "mon", "mont", "morph", "morphol", "mr", "mrs", "ms", "mss", "mt", "mth",
    "mtrev", "mus", "mx", "myth", "n/s", "nat", "natsc", "naut", "nav", "ndak", "neb",
    "nebr", "neg", "neth", "neut", "nev", "nlat", "nmex", "no", "nom", "nomin",
    "northants", "northumb", "norw", "nos", "notts", "nov", "nthn", "num", "numis",
    "obj", "obs", "oct", "off", "okla", "onomat", "ont", "opp", "opt", "ord", "ore",
    "oreg", "orig", "ornith", "oxon", "oz", "pa", "paint", "palaeog", "palaeont",
    "pan", "par", "parl", "part", "pass", "path", "pat", "patoff", "pd", "penn",
    "pent", "percent", "perf", "pers", "ph", "phar", "pharm", "phil", "philos", "phon",
    "phonet", "phot", "photog", "phr", "phys", "physiol", "pkg", "pl", "plen", "plup",
    "poet", "pol", "polecon", "pop", "port", "pos", "poss", "pp", "ppp", "pr", "prec",
    "pred", "pref", "prelim", "prem", "prep", "pres", "pret", "prev", "print", "pro",
    "prob", "prof", "pron", "prop", "prot", "prov", "pseud", "psych", "pt", "pub",
    "pwt", "qmr", "qn", "qr", "qt", "quad", "quart", "que", "quot", "rec", "recd",
    "ref", "refl", "reflex", "reg", "rel", "rep", "res", "ret", "retd", "rev", "rhet",
    "rm", "ro", "rom", "romcath", "roy", "rt", "rthon", "rtrev", "russ", "ry", "sask",
    "sat", "sax", "sc", "scand", "sch", "sci", "scot", "script", "sd", "sdak", "sec",
    "sect", "sen", "sept", "ser", "servt", "sh", "sig", "sim", "sin", "sing", "slat",
    "slav", "smith", "soc", "sost", "sosten", "sov", "sp", "spec", "specif", "spgr",
    "sq", "sqft", "sqin", "sqm", "sqyd", "sr", "st", "staffs", "stat", "stereo",
    "ster", "sterl", "stex", "stg", "sthn", "stip", "stn", "sub", "subj", "suc",
    "suce", "suff", "sun", "sup", "super", "superl", "suppl", "supr", "surg", "sw",
    "swit", "switz", "syll", "sym", "syn", "syst", "tan", "tasm", "tech", "techn",
    "tel", "temp", "ten", "tenn", "term", "test", "teut", "tex", "th", "theat",
    "theol", "therm", "thurs", "tit", "tn", "tonn", "topog", "tr", "trans", "transl",
    "treas", "trig", "trin", "trop", "tues", "typ", "ult", "unabr", "univer", "univ",
    "up", "usu", "ussr", "ut", "va", "val", "vb", "vbl", "ven", "vet", "ver", "veter",
    "vict", "vil", "viz", "voc", "vocab", "vol", "vs", "vt", "vulg", "vv", "wash",
    "waust", "wd", "wed", "wis", "wisc", "wk", "wlong", "worcs", "wt", "wyo", "xd",
    "x-d", "x-div", "xmas", "yd", "yorks", "yr", "yrs", "zool", "s",
};

using WordSet = std::unordered_set<std::string_view>;

const WordSet& stop_set() {
    static const WordSet set(std::begin(stop_words), std::end(stop_words));
    return set;
}

const WordSet& abbreviation_set() {
    static const WordSet set(std::begin(abbreviations), std::end(abbreviations));
    return set;
}

}  // namespace

int letter(char c) { return letter_table[static_cast<unsigned char>(c)] ? 1 : 0; }

int stopword(std::string_view word) { return stop_set().contains(word) ? 1 : 0; }

int abbrev(std::string_view word) { return abbreviation_set().contains(word) ? 1 : 0; }

std::span<const std::string_view> stop_list() { return stop_words; }

std::span<const std::string_view> abbreviation_list() { return abbreviations; }

}  // namespace brennic
