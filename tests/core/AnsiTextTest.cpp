#include "core/AnsiText.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct LocaleCase {
    const char* Name;
    std::string Locale;
    int CodePage;
};

class AnsiCodePageTest : public testing::TestWithParam<LocaleCase> {};

TEST_P(AnsiCodePageTest, FollowsWindowsChoiceForLanguage) {
    EXPECT_EQ(AnsiCodePageForLocale(GetParam().Locale), GetParam().CodePage);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, AnsiCodePageTest,
    testing::Values(
        LocaleCase{"SimplifiedChinese", "zh_CN.UTF-8", 936}, LocaleCase{"Singapore", "zh_SG", 936},
        LocaleCase{"Taiwan", "zh_TW.UTF-8", 950}, LocaleCase{"HongKong", "zh_HK.UTF-8", 950},
        LocaleCase{"Japanese", "ja_JP.UTF-8", 932}, LocaleCase{"Korean", "ko_KR.EUC-KR", 949},
        LocaleCase{"Russian", "ru_RU.UTF-8", 1251}, LocaleCase{"Ukrainian", "uk_UA", 1251},
        LocaleCase{"SerbianLatin", "sr_RS@latin", 1250}, LocaleCase{"Polish", "pl_PL.UTF-8", 1250},
        LocaleCase{"Greek", "el_GR.UTF-8", 1253}, LocaleCase{"Turkish", "tr_TR.UTF-8", 1254},
        LocaleCase{"Hebrew", "he_IL.UTF-8", 1255}, LocaleCase{"Arabic", "ar_EG.UTF-8", 1256},
        LocaleCase{"Lithuanian", "lt_LT.UTF-8", 1257}, LocaleCase{"Vietnamese", "vi_VN", 1258},
        LocaleCase{"Thai", "th_TH.UTF-8", 874}, LocaleCase{"English", "en_US.UTF-8", 1252},
        LocaleCase{"German", "de_DE@euro", 1252}, LocaleCase{"C", "C", 1252},
        LocaleCase{"Posix", "POSIX", 1252}, LocaleCase{"Empty", "", 1252}),
    [](const auto& info) { return info.param.Name; });

struct DecodeCase {
    const char* Name;
    std::string Bytes;
    int CodePage;
    std::string Utf8;
};

class AnsiToUtf8Test : public testing::TestWithParam<DecodeCase> {};

TEST_P(AnsiToUtf8Test, DecodesOrReplaces) {
    EXPECT_EQ(AnsiToUtf8(GetParam().Bytes, GetParam().CodePage), GetParam().Utf8);
}

INSTANTIATE_TEST_SUITE_P(Bytes, AnsiToUtf8Test,
                         testing::Values(DecodeCase{"AsciiLetter", "A", 1252, "A"},
                                         DecodeCase{"WesternYDiaeresis", "\xFF", 1252, "ÿ"},
                                         DecodeCase{"WesternEuro", "\x80", 1252, "€"},
                                         DecodeCase{"CyrillicYa", "\xFF", 1251, "я"},
                                         DecodeCase{"GreekOmega", "\xF9", 1253, "ω"},
                                         DecodeCase{"GbkLoneLeadByte", "\xFF", 936, "\xEF\xBF\xBD"},
                                         DecodeCase{"GbkLeadByteB0", "\xB0", 936, "\xEF\xBF\xBD"},
                                         DecodeCase{"GbkWholeCharacter", "\xB0\xA1", 936, "啊"},
                                         DecodeCase{"GbkAscii", "A", 936, "A"},
                                         DecodeCase{"ShiftJisKatakana", "\xB1", 932, "ｱ"},
                                         DecodeCase{"Big5LeadByte", "\xA4", 950, "\xEF\xBF\xBD"},
                                         DecodeCase{"ReplacementThenText",
                                                    "\xFF"
                                                    "A",
                                                    936,
                                                    "\xEF\xBF\xBD"
                                                    "A"},
                                         DecodeCase{"Empty", "", 1252, ""}),
                         [](const auto& info) { return info.param.Name; });

// The number of characters in UTF-8 text: the bytes that start a character.
size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (const char byte : utf8) {
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

class EveryCodePageTest : public testing::TestWithParam<int> {};

// Every byte of every code page that a locale can bring shows as exactly one character: its
// own, or U+FFFD for a byte the code page leaves unassigned or a lead byte of a double-byte
// code page. Converters that hold a character back (an accent could follow) give it up too.
TEST_P(EveryCodePageTest, EachByteGivesOneCharacter) {
    for (int byte = 1; byte <= 255; ++byte) {
        const std::string decoded = AnsiToUtf8(std::string(1, static_cast<char>(byte)), GetParam());
        EXPECT_EQ(CharacterCount(decoded), 1U) << "byte 0x" << std::hex << byte;
    }
}

INSTANTIATE_TEST_SUITE_P(CodePages, EveryCodePageTest, testing::ValuesIn(AnsiCodePagesOfLocales()),
                         [](const auto& info) { return "CP" + std::to_string(info.param); });

struct TByteCase {
    const char* Name;
    int CodePage;
    unsigned char Byte;
    std::string Utf8;
};

class CodePageByteTest : public testing::TestWithParam<TByteCase> {};

TEST_P(CodePageByteTest, GivesItsCharacter) {
    const std::string byte(1, static_cast<char>(GetParam().Byte));
    EXPECT_EQ(AnsiToUtf8(byte, GetParam().CodePage), GetParam().Utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, CodePageByteTest,
    testing::Values(TByteCase{"VietnameseLetterA", 1258, 0x41, "A"},
                    TByteCase{"VietnameseAGrave", 1258, 0xE0, "à"},
                    TByteCase{"VietnameseCombiningGrave", 1258, 0xCC, "\xCC\x80"},
                    TByteCase{"HebrewAlef", 1255, 0xE0, "א"},
                    TByteCase{"HebrewLetterA", 1255, 0x41, "A"},
                    TByteCase{"CyrillicA", 1251, 0xC0, "А"}, TByteCase{"ThaiKoKai", 874, 0xA1, "ก"},
                    TByteCase{"ShiftJisKatakanaA", 932, 0xB1, "ｱ"},
                    TByteCase{"ShiftJisLeadByte", 932, 0x82, "\xEF\xBF\xBD"},
                    TByteCase{"GbkLeadByte", 936, 0xC4, "\xEF\xBF\xBD"},
                    TByteCase{"KoreanLeadByte", 949, 0xB0, "\xEF\xBF\xBD"},
                    TByteCase{"WesternUnassigned", 1252, 0x81, "\xEF\xBF\xBD"}),
    [](const auto& info) { return info.param.Name; });

TEST(AnsiToUtf8Text, HeldBackCharacterBeforeAnInvalidByteIsKept) {
    EXPECT_EQ(AnsiToUtf8("A\xFF", 1255), "A\xEF\xBF\xBD");
}

struct TCurrentCase {
    const char* Name;
    const char* Variable;
    const char* Locale;
    int CodePage;
};

class CurrentCodePageTest : public testing::TestWithParam<TCurrentCase> {};

// The machine generates few locales; one it lacks still gives its code page by its name.
TEST_P(CurrentCodePageTest, ComesFromTheLocaleNameEvenWhenNotGenerated) {
    const char* variables[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (const char* variable : variables) {
        unsetenv(variable);
    }
    setenv(GetParam().Variable, GetParam().Locale, 1);
    std::setlocale(LC_ALL, "");
    EXPECT_EQ(CurrentAnsiCodePage(), GetParam().CodePage);
    unsetenv(GetParam().Variable);
    std::setlocale(LC_ALL, "C");
}

INSTANTIATE_TEST_SUITE_P(
    Environment, CurrentCodePageTest,
    testing::Values(TCurrentCase{"LangVietnamese", "LANG", "vi_VN.UTF-8", 1258},
                    TCurrentCase{"CharactersHebrew", "LC_CTYPE", "he_IL.UTF-8", 1255},
                    TCurrentCase{"AllJapanese", "LC_ALL", "ja_JP.UTF-8", 932},
                    TCurrentCase{"PlainC", "LANG", "C", 1252}),
    [](const auto& info) { return info.param.Name; });

} // namespace
