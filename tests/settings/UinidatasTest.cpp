#include "Uinidatas.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(IniDatasTest, FirstRunReadsTrueAndSavesAtDestruction) {
    const TTempFolder folder;
    mkdir((folder / "tools.new").c_str(), 0755);
    {
        const TIniDatas datas(folder / "tools.new/app");
        EXPECT_EQ(datas.IniPath, folder / "tools.new/app.ini");
        EXPECT_TRUE(datas.bChinese);
        EXPECT_EQ(access(datas.IniPath.c_str(), F_OK), -1);
    }
    EXPECT_EQ(ReadBytes(folder / "tools.new/app.ini"), "[Setting]\nbChinese=1\n");
}

struct StoredCase {
    const char* name;
    std::string before;
    bool loaded;
    bool chosen;
    std::string after;
};

class IniDatasStoredTest : public testing::TestWithParam<StoredCase> {};

TEST_P(IniDatasStoredTest, LoadsAndSavesTheFlag) {
    const TTempFolder folder;
    WriteBytes(folder / "app.ini", GetParam().before);
    {
        TIniDatas datas(folder / "app.exe");
        EXPECT_EQ(datas.bChinese, GetParam().loaded);
        datas.bChinese = GetParam().chosen;
    }
    EXPECT_EQ(ReadBytes(folder / "app.ini"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniDatasStoredTest,
    testing::Values(StoredCase{"ZeroThenChinese", "[Setting]\r\nbChinese=0\r\n", false, true,
                               "[Setting]\r\nbChinese=1\r\n"},
                    StoredCase{"ZeroUnchanged", "[Setting]\nbChinese=0\n", false, false,
                               "[Setting]\nbChinese=0\n"},
                    StoredCase{"NotANumberReadsTrue", "[Setting]\nbChinese=yes\n", true, false,
                               "[Setting]\nbChinese=0\n"},
                    StoredCase{"OtherContentKept",
                               ";mine\n[Other]\na=b\n[setting]\nBCHINESE = 0 \n;end\n", false,
                               false, ";mine\n[Other]\na=b\n[setting]\nBCHINESE=0\n;end\n"}),
    [](const auto& info) { return info.param.name; });

struct ExitFailureCase {
    const char* name;
    bool directoryInTheWay; // otherwise the executable's folder is missing
    bool choiceChanged;
    bool hookInstalled = true;
};

class IniDatasExitFailureTest : public testing::TestWithParam<ExitFailureCase> {
protected:
    void TearDown() override { TIniDatas::OnLostChoice = nullptr; }
};

TEST_P(IniDatasExitFailureTest, ReportsToStandardErrorAndLostChoiceToHook) {
    const TTempFolder folder;
    std::string executable = folder / "none/app";
    if (GetParam().directoryInTheWay) {
        executable = folder / "app";
        mkdir((folder / "app.ini").c_str(), 0755);
    }
    std::vector<std::string> shown;
    if (GetParam().hookInstalled) {
        TIniDatas::OnLostChoice = [&](const std::string& message) { shown.push_back(message); };
    }

    testing::internal::CaptureStderr();
    {
        TIniDatas datas(executable);
        datas.bChinese = !GetParam().choiceChanged;
    }
    const std::string printed = testing::internal::GetCapturedStderr();

    const std::string message = "Unable to write to " + executable + ".ini";
    EXPECT_EQ(printed, message + ".\n");
    const bool told = GetParam().choiceChanged && GetParam().hookInstalled;
    EXPECT_EQ(shown, told ? std::vector<std::string>{message} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Failures, IniDatasExitFailureTest,
                         testing::Values(ExitFailureCase{"DirectoryKept", true, false},
                                         ExitFailureCase{"DirectoryChanged", true, true},
                                         ExitFailureCase{"MissingFolderChanged", false, true},
                                         ExitFailureCase{"ChangedWithoutHook", true, true, false}),
                         [](const auto& info) { return info.param.name; });

TEST(IniDatasTest, UnknownExecutableWritesNothing) {
    testing::internal::CaptureStderr();
    {
        const TIniDatas datas("");
        EXPECT_TRUE(datas.IniPath.empty());
        EXPECT_TRUE(datas.bChinese);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to write to \n");
    EXPECT_EQ(access(".ini", F_OK), -1);
}

} // namespace
