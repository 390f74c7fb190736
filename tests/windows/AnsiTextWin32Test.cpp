#include "core/AnsiText.h"
#include "readout/ByteReadout.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const std::string Replacement = "\xEF\xBF\xBD";

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

INSTANTIATE_TEST_SUITE_P(
    Bytes, AnsiToUtf8Test,
    testing::Values(DecodeCase{"AsciiLetter", "A", 1252, "A"},
                    DecodeCase{"WesternYDiaeresis", "\xFF", 1252, "ÿ"},
                    DecodeCase{"WesternEuro", "\x80", 1252, "€"},
                    DecodeCase{"CyrillicYa", "\xFF", 1251, "я"},
                    DecodeCase{"GreekOmega", "\xF9", 1253, "ω"},
                    DecodeCase{"GbkLoneLeadByte", "\xFF", 936, Replacement},
                    DecodeCase{"GbkLeadByteAtEnd", "\xB0", 936, Replacement},
                    DecodeCase{"GbkWholeCharacter", "\xB0\xA1", 936, "啊"},
                    DecodeCase{"GbkLeadByteThenText",
                               "\xB0\x0D"
                               "A",
                               936, Replacement + "\rA"},
                    DecodeCase{"GbkReplacementThenText",
                               "\xFF"
                               "A",
                               936, Replacement + "A"},
                    DecodeCase{"GbkTextAroundCharacter", "a\xB0\xA1z", 936, "a啊z"},
                    DecodeCase{"ShiftJisKatakana", "\xB1", 932, "ｱ"},
                    DecodeCase{"Big5LeadByte", "\xA4", 950, Replacement},
                    DecodeCase{"ZeroByteKept", std::string(1, '\0'), 1252, std::string(1, '\0')},
                    DecodeCase{"Empty", "", 1252, ""}),
    [](const auto& info) { return info.param.Name; });

// CTest runs these with the locale set for a code page (QUORVIN_EXPECTED_ACP names it) and
// only the cases of that code page (Western* for 1252, Gbk* for 936): Wine takes the
// system's ANSI code page from the locale.
struct ShownCase {
    const char* Name;
    int CodePage;
    int32_t Position;
    std::string Shown;
};

class SystemCodePageTest : public testing::TestWithParam<ShownCase> {
protected:
    void SetUp() override {
        const char* expected = std::getenv("QUORVIN_EXPECTED_ACP");
        if (expected == nullptr) {
            GTEST_SKIP() << "needs QUORVIN_EXPECTED_ACP and a matching locale (see CTest)";
        }
        const int codePage = std::atoi(expected);
        if (CurrentAnsiCodePage() != codePage) {
            GTEST_SKIP() << "the system runs with code page " << CurrentAnsiCodePage() << ", not "
                         << codePage << ": the locale could not be set";
        }
    }
};

TEST_P(SystemCodePageTest, ShowsByteInSystemCodePage) {
    EXPECT_EQ(ShownOneByteText(OneByteText(GetParam().Position), CurrentAnsiCodePage()),
              GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(Positions, SystemCodePageTest,
                         testing::Values(ShownCase{"WesternLetter", 1252, 65, "A"},
                                         ShownCase{"WesternDegree", 1252, 0xB0, "°"},
                                         ShownCase{"WesternFF", 1252, -1, "ÿ"},
                                         ShownCase{"WesternZeroIsEmpty", 1252, 256, ""},
                                         ShownCase{"GbkLetter", 936, 321, "A"},
                                         ShownCase{"GbkLoneLeadByte", 936, 0xB0, Replacement},
                                         ShownCase{"GbkFF", 936, -1, Replacement},
                                         ShownCase{"GbkZeroIsEmpty", 936, 256, ""}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
