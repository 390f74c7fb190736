#include "readout/ByteReadout.h"

#include <gtest/gtest.h>

namespace {

struct PositionCase {
    const char* Name;
    int32_t Position;
    uint8_t Byte;
    std::string ListLine;
};

class ByteOfPositionTest : public testing::TestWithParam<PositionCase> {};

TEST_P(ByteOfPositionTest, TakesLowEightBits) {
    const auto& c = GetParam();
    EXPECT_EQ(ByteOfPosition(c.Position), c.Byte);
    EXPECT_EQ(OneByteText(c.Position), std::string(1, static_cast<char>(c.Byte)));
    EXPECT_EQ(ListLine(static_cast<int8_t>(ByteOfPosition(c.Position))), c.ListLine);
}

INSTANTIATE_TEST_SUITE_P(Positions, ByteOfPositionTest,
                         testing::Values(PositionCase{"Zero", 0, 0x00, "0"},
                                         PositionCase{"Letter", 65, 0x41, "41"},
                                         PositionCase{"Wrapped", 321, 0x41, "41"},
                                         PositionCase{"NegativeLetter", -191, 0x41, "41"},
                                         PositionCase{"WrapsToZero", 256, 0x00, "0"},
                                         PositionCase{"MinusOne", -1, 0xFF, "ffffffff"},
                                         PositionCase{"LastPositive", 127, 0x7F, "7f"},
                                         PositionCase{"FirstNegative", 128, 0x80, "ffffff80"},
                                         PositionCase{"Max", INT32_MAX, 0xFF, "ffffffff"},
                                         PositionCase{"Min", INT32_MIN, 0x00, "0"}),
                         [](const auto& info) { return info.param.Name; });

TEST(OneByteTextTest, KeepsZeroByte) {
    EXPECT_EQ(OneByteText(256).size(), 1u);
}

struct ShownCase {
    const char* Name;
    int32_t Position;
    int CodePage;
    std::string Shown;
};

class ShownOneByteTextTest : public testing::TestWithParam<ShownCase> {};

TEST_P(ShownOneByteTextTest, DecodesInCodePage) {
    const auto& c = GetParam();
    EXPECT_EQ(ShownOneByteText(OneByteText(c.Position), c.CodePage), c.Shown);
}

INSTANTIATE_TEST_SUITE_P(Positions, ShownOneByteTextTest,
                         testing::Values(ShownCase{"Letter", 65, 1252, "A"},
                                         ShownCase{"ZeroIsEmpty", 256, 1252, ""},
                                         ShownCase{"WesternFF", -1, 1252, "ÿ"},
                                         ShownCase{"CyrillicFF", -1, 1251, "я"},
                                         ShownCase{"GbkLeadByte", 0xB0, 936, "\xEF\xBF\xBD"},
                                         ShownCase{"GbkLetter", 65, 936, "A"}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
