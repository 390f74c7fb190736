#include "core/AnsiText.h"

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

} // namespace
