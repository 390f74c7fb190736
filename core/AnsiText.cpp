#include "core/AnsiText.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <iconv.h>
#include <set>

namespace {

struct TCodePageOfLanguages {
    int CodePage;
    std::set<std::string> Languages;
};

// Windows' ANSI code page by language, for the languages whose code page is not 1252.
const TCodePageOfLanguages CodePages[] = {
    {874, {"th"}},
    {932, {"ja"}},
    {949, {"ko"}},
    {1250, {"cs", "hu", "pl", "ro", "sk", "sl", "hr", "sq", "bs", "hsb", "dsb", "tk"}},
    {1251, {"ru", "uk", "be", "bg", "mk", "sr", "kk", "ky", "tt", "ba", "mn", "tg", "sah", "cv"}},
    {1253, {"el"}},
    {1254, {"tr", "az", "uz"}},
    {1255, {"he", "yi"}},
    {1256, {"ar", "fa", "ur", "ps", "sd", "ug", "ckb"}},
    {1257, {"et", "lv", "lt"}},
    {1258, {"vi"}},
};

// Chinese depends on the territory: Taiwan, Hong Kong and Macau write Traditional
// Chinese (950), the others Simplified Chinese (936).
int ChineseCodePage(const std::string& territory, const std::string& modifier) {
    if (territory == "TW" || territory == "HK" || territory == "MO") {
        return 950;
    }
    if (modifier == "hant") {
        return 950;
    }
    return 936;
}

// Serbian, Uzbek and Azerbaijani come in Latin and Cyrillic forms.
int LatinOrCyrillic(const std::string& language, const std::string& modifier, int codePage) {
    if (modifier == "latin") {
        return language == "sr" ? 1250 : 1254;
    }
    if (modifier == "cyrillic") {
        return 1251;
    }
    return codePage;
}

} // namespace

int AnsiCodePageForLocale(const std::string& localeName) {
    const auto languageEnd = localeName.find_first_of("_.@");
    const std::string language = localeName.substr(0, languageEnd);
    std::string territory;
    if (languageEnd != std::string::npos && localeName[languageEnd] == '_') {
        const auto territoryEnd = localeName.find_first_of(".@", languageEnd);
        territory = localeName.substr(languageEnd + 1, territoryEnd - languageEnd - 1);
    }
    std::string modifier;
    const auto at = localeName.find('@');
    if (at != std::string::npos) {
        modifier = localeName.substr(at + 1);
    }

    if (language == "zh") {
        return ChineseCodePage(territory, modifier);
    }
    for (const auto& entry : CodePages) {
        if (entry.Languages.count(language) != 0) {
            return LatinOrCyrillic(language, modifier, entry.CodePage);
        }
    }
    return 1252;
}

std::vector<int> AnsiCodePagesOfLocales() {
    std::vector<int> codePages = {936, 950, 1252};
    for (const auto& entry : CodePages) {
        codePages.push_back(entry.CodePage);
    }
    return codePages;
}

namespace {

// The locale that the environment asks for character handling, in the order in which
// setlocale reads it.
std::string LocaleOfEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "";
}

} // namespace

int CurrentAnsiCodePage() {
    // The locale that the user asked for, by its name: one that the machine has not
    // generated leaves the C library in "C", but its name still says which code page the
    // user's language has.
    std::string name = LocaleOfEnvironment();
    if (name.empty()) {
        const char* inForce = std::setlocale(LC_CTYPE, nullptr);
        name = inForce != nullptr ? inForce : "";
    }
    return AnsiCodePageForLocale(name);
}

namespace {

// One iconv step (or, with in == nullptr, the flush that gives up a character that the
// converter holds back, waiting for an accent that may follow); appends what came out.
size_t Convert(iconv_t converter, char** in, size_t* inLeft, std::string& out) {
    char buffer[64];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t done = iconv(converter, in, inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(buffer, outPtr);
    errno = error;
    return done;
}

} // namespace

std::string AnsiToUtf8(const std::string& bytes, int codePage) {
    static const std::string Replacement = "\xEF\xBF\xBD";
    const std::string from = "CP" + std::to_string(codePage);
    iconv_t converter = iconv_open("UTF-8", from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::string(bytes.size(), '?');
    }

    std::string out;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        const size_t done = Convert(converter, &in, &inLeft, out);
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ (not a character) or EINVAL (cut short): what came before goes out,
            // then one replacement, and the conversion goes on after the byte.
            Convert(converter, nullptr, nullptr, out);
            out += Replacement;
            ++in;
            --inLeft;
        }
    }
    Convert(converter, nullptr, nullptr, out);
    iconv_close(converter);
    return out;
}
