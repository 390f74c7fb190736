#include "settings/IniFile.h"
#include "tests/settings/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct BoolCase {
    const char* Name;
    std::optional<std::string> Value; // the file holds "bChinese=<value>"; no file when empty
    bool Fallback;
    bool Expected;
};

class ReadBoolTest : public testing::TestWithParam<BoolCase> {};

TEST_P(ReadBoolTest, NonZeroIntegerIsTrue) {
    const TTempFolder folder;
    if (GetParam().Value) {
        WriteBytes(folder / "app.ini", "[Setting]\r\nbChinese=" + *GetParam().Value + "\r\n");
    }
    const TIniFile ini(folder / "app.ini");
    EXPECT_EQ(ini.ReadBool("Setting", "bChinese", GetParam().Fallback), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadBoolTest,
    testing::Values(
        BoolCase{"Zero", "0", true, false}, BoolCase{"DoubleZero", "00", true, false},
        BoolCase{"HexZero", "0x0", true, false}, BoolCase{"MinusZero", "-0", true, false},
        BoolCase{"QuotedZero", " '0' ", true, false}, BoolCase{"One", "1", false, true},
        BoolCase{"Two", "2", false, true}, BoolCase{"MinusOne", "-1", false, true},
        BoolCase{"DollarHex", "$10", false, true}, BoolCase{"UpperZeroXHex", "0X1f", false, true},
        BoolCase{"Missing", std::nullopt, true, true},
        BoolCase{"MissingFalse", std::nullopt, false, false}, BoolCase{"Empty", "", true, true},
        BoolCase{"Yes", "yes", true, true}, BoolCase{"True", "true", true, true},
        BoolCase{"TrailingLetter", "1a", true, true}, BoolCase{"LonePrefix", "0x", true, true},
        BoolCase{"NotANumberFalse", "yes", false, false}),
    [](const auto& info) { return info.param.Name; });

TEST(IniFileTest, CreatingAndReadingTouchNoFile) {
    const TTempFolder folder;
    {
        const TIniFile ini(folder / "app.ini");
        EXPECT_EQ(ini.ReadString("Setting", "bChinese", "x"), "x");
    }
    EXPECT_TRUE(folder.Names().empty());
}

TEST(IniFileTest, FailedWriteRaisesWithPath) {
    const TTempFolder folder;
    TIniFile ini(folder / "none/app.ini");
    try {
        ini.WriteBool("Setting", "bChinese", true);
        FAIL() << "no error raised";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(error.Message, "Unable to write to " + (folder / "none/app.ini"));
    }
}

} // namespace
