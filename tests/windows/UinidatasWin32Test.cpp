#include "settings/Uinidatas.h"

#include "core/WideText.h"
#include "settings/IniFile.h"
#include "settings/SettingsPlace.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The user's settings file lives in the Wine prefix's %APPDATA%: each test starts and ends
// without it.
class IniDatasWin32Test : public testing::Test {
protected:
    void SetUp() override { RemoveUserFolder(); }
    void TearDown() override { RemoveUserFolder(); }

    static std::string UserFile() { return UserSettingsFile(); }

    static void RemoveUserFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::u8path(UserFile()).parent_path(), ignored);
    }
};

TEST_F(IniDatasWin32Test, UserFileIsInRoamingAppData) {
    wchar_t appData[MAX_PATH];
    ASSERT_NE(GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    EXPECT_EQ(UserFile(), WideToUtf8(appData) + "\\Quorvin\\quorvin.ini");
}

TEST_F(IniDatasWin32Test, FirstRunReadsTrueAndSavesBesideExecutable) {
    const TScratchFolder folder;
    CreateDirectoryW(Utf8ToWide(folder / "tools.new").c_str(), nullptr);
    TIniDatas datas(folder / "tools.new\\app");
    EXPECT_EQ(datas.IniPath, folder / "tools.new\\app.ini");
    EXPECT_TRUE(datas.bChinese);
    EXPECT_FALSE(Exists(datas.IniPath));
    datas.Save();
    EXPECT_EQ(ReadBytes(folder / "tools.new\\app.ini"), "[Setting]\r\nbChinese=1\r\n");
    EXPECT_FALSE(Exists(UserFile()));
}

struct StoredCase {
    const char* Name;
    std::string Before;
    bool Loaded;
    bool Chosen;
    std::string After;
};

class IniDatasStoredTest : public testing::TestWithParam<StoredCase> {};

TEST_P(IniDatasStoredTest, LoadsAndSavesTheFlag) {
    const TScratchFolder folder("quorvin-设置");
    WriteBytes(folder / "读取.ini", GetParam().Before);
    TIniDatas datas(folder / "读取.exe");
    EXPECT_EQ(datas.bChinese, GetParam().Loaded);
    datas.bChinese = GetParam().Chosen;
    datas.Save();
    EXPECT_EQ(ReadBytes(folder / "读取.ini"), GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniDatasStoredTest,
    testing::Values(StoredCase{"ZeroThenChinese", "[Setting]\r\nbChinese=0\r\n", false, true,
                               "[Setting]\r\nbChinese=1\r\n"},
                    StoredCase{"HexZeroUnchanged", "[Setting]\r\nbChinese=0x0\r\n", false, false,
                               "[Setting]\r\nbChinese=0\r\n"},
                    StoredCase{"LonePrefixReadsTrue", "[Setting]\r\nbChinese=0x\r\n", true, true,
                               "[Setting]\r\nbChinese=1\r\n"},
                    StoredCase{"OtherContentKept",
                               ";mine\r\n[Other]\r\na=b\r\n[setting]\r\nBCHINESE = 0 \r\n;end\r\n",
                               false, true,
                               ";mine\r\n[Other]\r\na=b\r\n[setting]\r\nBCHINESE=1\r\n;end\r\n"}),
    [](const auto& info) { return info.param.Name; });

// A folder that cannot be written to (a missing one here: the tests may run with every
// right) sends the settings to the user's file, which is read once it exists.
TEST_F(IniDatasWin32Test, UnwritableFolderUsesUserFile) {
    const TScratchFolder folder;
    const std::string executable = folder / "Program Files\\Quorvin\\quorvin.exe";
    TIniDatas first(executable);
    EXPECT_EQ(first.IniPath, UserFile());
    EXPECT_TRUE(first.bChinese);
    first.bChinese = false;
    first.Save();
    EXPECT_EQ(ReadBytes(UserFile()), "[Setting]\r\nbChinese=0\r\n");
    const TIniDatas second(executable);
    EXPECT_FALSE(second.bChinese);
}

TEST_F(IniDatasWin32Test, FailedSaveRaisesWithPath) {
    const TScratchFolder folder;
    // Neither place can be written: a file stands where the user's folder would be.
    WriteBytes(std::filesystem::u8path(UserFile()).parent_path().u8string(), "");
    TIniDatas datas(folder / "none\\app.exe");
    try {
        datas.Save();
        FAIL() << "no error raised";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(error.Message, "Unable to write to " + UserFile());
    }
}

} // namespace
