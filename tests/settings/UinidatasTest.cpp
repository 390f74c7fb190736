#include "settings/Uinidatas.h"
#include "settings/IniFile.h"
#include "tests/settings/RunAs.h"
#include "tests/settings/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(IniDatasTest, FirstRunReadsTrueAndSavesIt) {
    const TTempFolder folder;
    mkdir((folder / "tools.new").c_str(), 0755);
    TIniDatas datas(folder / "tools.new/app");
    EXPECT_EQ(datas.IniPath, folder / "tools.new/app.ini");
    EXPECT_TRUE(datas.bChinese);
    EXPECT_EQ(access(datas.IniPath.c_str(), F_OK), -1);
    datas.Save();
    EXPECT_EQ(ReadBytes(folder / "tools.new/app.ini"), "[Setting]\nbChinese=1\n");
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
    const TTempFolder folder;
    WriteBytes(folder / "app.ini", GetParam().Before);
    TIniDatas datas(folder / "app.exe");
    EXPECT_EQ(datas.bChinese, GetParam().Loaded);
    datas.bChinese = GetParam().Chosen;
    EXPECT_EQ(datas.ChoiceChanged(), GetParam().Loaded != GetParam().Chosen);
    datas.Save();
    EXPECT_EQ(ReadBytes(folder / "app.ini"), GetParam().After);
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
    [](const auto& info) { return info.param.Name; });

// What keeps the settings file from being written.
enum class TBlock { MissingFolder, Directory, ReadOnlyFile };

struct SaveFailureCase {
    const char* Name;
    TBlock Block;
};

// Points the user's configuration folder somewhere for one test.
class TConfigHome {
public:
    explicit TConfigHome(const std::string& path) { setenv("XDG_CONFIG_HOME", path.c_str(), 1); }
    ~TConfigHome() { unsetenv("XDG_CONFIG_HOME"); }
};

class IniDatasSaveFailureTest : public testing::TestWithParam<SaveFailureCase> {};

TEST_P(IniDatasSaveFailureTest, RaisesUnableToWriteWithThePath) {
    const TTempFolder folder;
    // Neither place can be written: a file stands where the configuration folder would be.
    WriteBytes(folder / "config", "");
    const TConfigHome configHome(folder / "config");
    std::string executable = folder / "none/app";
    std::string iniPath = folder / "config/quorvin/quorvin.ini";
    if (GetParam().Block != TBlock::MissingFolder) {
        iniPath = folder / "app.ini";
        executable = folder / "app";
    }
    if (GetParam().Block == TBlock::Directory) {
        mkdir(iniPath.c_str(), 0755);
    }
    if (GetParam().Block == TBlock::ReadOnlyFile) {
        WriteBytes(iniPath, "[Setting]\nbChinese=1\n");
        chmod(iniPath.c_str(), 0444);
    }
    const auto namesBefore = folder.Names();
    TIniDatas datas(executable);
    datas.bChinese = false;
    try {
        datas.Save();
        ADD_FAILURE() << "saved";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(error.Message, "Unable to write to " + iniPath);
    }
    EXPECT_EQ(folder.Names(), namesBefore);
    if (GetParam().Block == TBlock::ReadOnlyFile) {
        EXPECT_EQ(ReadBytes(iniPath), "[Setting]\nbChinese=1\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, IniDatasSaveFailureTest,
                         testing::Values(SaveFailureCase{"DirectoryInTheWay", TBlock::Directory},
                                         SaveFailureCase{"MissingFolder", TBlock::MissingFolder},
                                         // Kept read-only also for root, whom CI runs as.
                                         SaveFailureCase{"ReadOnlyFile", TBlock::ReadOnlyFile}),
                         [](const auto& info) { return info.param.Name; });

struct LayoutCase {
    const char* Name;
    bool WritableFolder;      // otherwise the executable's folder cannot be written
    std::string BesideBefore; // "" for no file
    std::string UserBefore;
    bool Loaded;
    std::string BesideAfter;
    std::string UserAfter;
};

class IniDatasLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(IniDatasLayoutTest, KeepsTheFileWhereTheUserCanWrite) {
    const TTempFolder folder;
    const TConfigHome configHome(folder / "config");
    // A missing folder stands for one the user cannot write to (the tests may run as root,
    // who can write to any existing folder).
    const std::string programFolder = folder / (GetParam().WritableFolder ? "portable" : "opt");
    const std::string userFile = folder / "config/quorvin/quorvin.ini";
    if (GetParam().WritableFolder) {
        mkdir(programFolder.c_str(), 0755);
    }
    if (!GetParam().BesideBefore.empty()) {
        mkdir(programFolder.c_str(), 0755);
        WriteBytes(programFolder + "/quorvin.ini", GetParam().BesideBefore);
        if (!GetParam().WritableFolder) {
            chmod(programFolder.c_str(), 0555);
        }
    }
    if (!GetParam().UserBefore.empty()) {
        mkdir((folder / "config").c_str(), 0755);
        mkdir((folder / "config/quorvin").c_str(), 0755);
        WriteBytes(userFile, GetParam().UserBefore);
    }
    const auto loadAndSave = [&] {
        TIniDatas datas(programFolder + "/quorvin");
        EXPECT_EQ(datas.bChinese, GetParam().Loaded);
        EXPECT_EQ(datas.IniPath,
                  GetParam().WritableFolder ? programFolder + "/quorvin.ini" : userFile);
        datas.Save();
    };
    if (!GetParam().WritableFolder && !GetParam().BesideBefore.empty() && geteuid() == 0) {
        // Root can write to any existing folder: a plain user meets the read-only one.
        chmod((folder / "").c_str(), 0777);
        RunAs(TRunAs::PlainUser, loadAndSave);
    } else {
        loadAndSave();
    }
    EXPECT_EQ(ReadBytes(programFolder + "/quorvin.ini"), GetParam().BesideAfter);
    EXPECT_EQ(ReadBytes(userFile), GetParam().UserAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, IniDatasLayoutTest,
    testing::Values(LayoutCase{"Portable", true, "", "", true, "[Setting]\nbChinese=1\n", ""},
                    LayoutCase{"PortableIgnoresUserFile", true, "[Setting]\nbChinese=1\n",
                               "[Setting]\nbChinese=0\n", true, "[Setting]\nbChinese=1\n",
                               "[Setting]\nbChinese=0\n"},
                    LayoutCase{"InstalledFirstRun", false, "", "", true, "",
                               "[Setting]\nbChinese=1\n"},
                    LayoutCase{"InstalledReadsUserFile", false, "", "[Setting]\nbChinese=0\n",
                               false, "", "[Setting]\nbChinese=0\n"},
                    LayoutCase{"InstalledReadsSharedDefault", false, "[Setting]\nbChinese=0\n", "",
                               false, "[Setting]\nbChinese=0\n", "[Setting]\nbChinese=0\n"}),
    [](const auto& info) { return info.param.Name; });

TEST(IniDatasTest, UnknownExecutableWritesNothing) {
    TIniDatas datas("");
    EXPECT_TRUE(datas.IniPath.empty());
    EXPECT_TRUE(datas.bChinese);
    EXPECT_THROW(datas.Save(), EIniFileException);
    EXPECT_EQ(access(".ini", F_OK), -1);
}

} // namespace
