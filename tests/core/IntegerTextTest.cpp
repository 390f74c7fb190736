#include "core/IntegerText.h"

#include <gtest/gtest.h>

namespace {

struct ValidCase {
    const char* Name;
    std::string Text;
    int32_t Value;
};

class ValidIntegerTextTest : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidIntegerTextTest, Converts) {
    EXPECT_EQ(StrToInt(GetParam().Text), GetParam().Value);
    EXPECT_EQ(StrToIntDef(GetParam().Text, 12345), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValidIntegerTextTest,
    testing::Values(
        // decimal
        ValidCase{"Plain", "65", 65}, ValidCase{"LeadingSpace", " 42", 42},
        ValidCase{"ManyLeadingSpaces", "    7", 7}, ValidCase{"PlusSign", "+7", 7},
        ValidCase{"MinusZero", "-0", 0}, ValidCase{"LeadingZero", "012", 12},
        ValidCase{"Zero", "0", 0}, ValidCase{"Negative", "-191", -191},
        ValidCase{"Max", "2147483647", 2147483647}, ValidCase{"Min", "-2147483648", INT32_MIN},
        ValidCase{"LeadingZerosBeyondTenDigits", "000000000002147483647", 2147483647},
        // hexadecimal
        ValidCase{"HexZeroX", "0x1F", 31}, ValidCase{"HexZeroUpperX", "0X1f", 31},
        ValidCase{"HexDollar", "$1f", 31}, ValidCase{"HexLowerX", "x1F", 31},
        ValidCase{"HexUpperX", "X1F", 31}, ValidCase{"HexAfterSpace", " 0x10", 16},
        ValidCase{"HexAllOnes", "$FFFFFFFF", -1}, ValidCase{"HexMinInt", "$80000000", INT32_MIN},
        ValidCase{"HexLeadingZeros", "$000000001", 1}, ValidCase{"HexLetterA", "$41", 65}),
    [](const auto& info) { return info.param.Name; });

struct InvalidCase {
    const char* Name;
    std::string Text;
};

class InvalidIntegerTextTest : public testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidIntegerTextTest, RaisesWithTextAsTyped) {
    const std::string& text = GetParam().Text;
    try {
        StrToInt(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message, "'" + text + "' is not a valid integer value");
    }
    EXPECT_EQ(StrToIntDef(text, 12345), 12345);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, InvalidIntegerTextTest,
    testing::Values(InvalidCase{"Empty", ""}, InvalidCase{"SpacesOnly", "   "},
                    InvalidCase{"TrailingSpace", "42 "}, InvalidCase{"LeadingTab", "\t42"},
                    InvalidCase{"SpaceAfterMinus", "- 5"}, InvalidCase{"LoneMinus", "-"},
                    InvalidCase{"LonePlus", "+"}, InvalidCase{"LoneDollar", "$"},
                    InvalidCase{"LoneX", "x"}, InvalidCase{"LoneZeroX", "0x"},
                    InvalidCase{"SignedHex", "-$1F"}, InvalidCase{"PlusHex", "+0x1"},
                    InvalidCase{"ZeroZeroX", "00x1"}, InvalidCase{"Letters", "abc"},
                    InvalidCase{"DigitThenLetter", "1a"}, InvalidCase{"TooBig", "2147483648"},
                    InvalidCase{"TooSmall", "-2147483649"},
                    InvalidCase{"ElevenDigits", "99999999999"},
                    InvalidCase{"HexTooLong", "$100000000"}, InvalidCase{"HexBadDigit", "$1G"},
                    InvalidCase{"Chinese", "一"},
                    InvalidCase{"EmbeddedNul", std::string("1\0", 2)}),
    [](const auto& info) { return info.param.Name; });

} // namespace
