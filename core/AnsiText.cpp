#include "core/AnsiText.h"

#include <cerrno>
#include <clocale>
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

int CurrentAnsiCodePage() {
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    return AnsiCodePageForLocale(name != nullptr ? name : "");
}

std::string AnsiToUtf8(const std::string& bytes, int codePage) {
    static const std::string Replacement = "\xEF\xBF\xBD";
    const std::string from = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(bytes.size(), '?');
    }

    std::string out;
    char buffer[64];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ (not a character) or EINVAL (cut short): one replacement, then go on.
            out += Replacement;
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
