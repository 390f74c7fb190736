#include "core/Paths.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ExtCase {
    const char* Name;
    std::string Path;
    std::string Changed;
};

class ChangeFileExtTest : public testing::TestWithParam<ExtCase> {};

TEST_P(ChangeFileExtTest, ReplacesOrAppendsExtension) {
    EXPECT_EQ(ChangeFileExt(GetParam().Path, ".ini"), GetParam().Changed);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChangeFileExtTest,
    testing::Values(ExtCase{"NoExtension", "/opt/tools/app", "/opt/tools/app.ini"},
                    ExtCase{"DotInFolder", "/opt/tools.new/app", "/opt/tools.new/app.ini"},
                    ExtCase{"WithExtension", "/opt/tools/app.exe", "/opt/tools/app.ini"},
                    ExtCase{"TwoDots", "/opt/app.tar.gz", "/opt/app.tar.ini"},
                    ExtCase{"TrailingDot", "/opt/app.", "/opt/app.ini"},
                    ExtCase{"HiddenFile", "/home/u/.app", "/home/u/.ini"},
                    ExtCase{"NoFolder", "app.exe", "app.ini"}, ExtCase{"Empty", "", ".ini"},
                    ExtCase{"ChineseName", "/opt/工具/读取.exe", "/opt/工具/读取.ini"}),
    [](const auto& info) { return info.param.Name; });

TEST(ExecutablePathTest, NamesThisTestProgramsRealFile) {
    const std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "core_tests");
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(path.c_str(), resolved), nullptr);
    EXPECT_EQ(path, resolved);
}

} // namespace

namespace {

struct ExistsCase {
    const char* Name;
    const char* Entry; // "file", "directory" or "none"
    int Year;          // last-write year in local time; 0 keeps the current time
    bool Exists;
};

class FileExistsTest : public testing::TestWithParam<ExistsCase> {};

time_t LocalTime(int year, int month, int day) {
    struct tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    return mktime(&local);
}

TEST_P(FileExistsTest, AcceptsOnlyFilesWithDosDates) {
    char folder[] = "/tmp/quorvin-exists-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/app.chm";
    const std::string kind = GetParam().Entry;
    if (kind == "file") {
        std::fclose(std::fopen(path.c_str(), "w"));
    } else if (kind == "directory") {
        mkdir(path.c_str(), 0755);
    }
    if (GetParam().Year != 0) {
        const time_t when = LocalTime(GetParam().Year, GetParam().Year == 2107 ? 12 : 1,
                                      GetParam().Year == 2107 ? 31 : 1);
        const struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    EXPECT_EQ(FileExists(path), GetParam().Exists);
    std::remove(path.c_str());
    rmdir(path.c_str());
    rmdir(folder);
}

INSTANTIATE_TEST_SUITE_P(Entries, FileExistsTest,
                         testing::Values(ExistsCase{"File", "file", 0, true},
                                         ExistsCase{"Missing", "none", 0, false},
                                         ExistsCase{"Directory", "directory", 0, false},
                                         ExistsCase{"FirstDosYear", "file", 1980, true},
                                         ExistsCase{"LastDosYear", "file", 2107, true},
                                         ExistsCase{"BeforeDosDates", "file", 1979, false},
                                         ExistsCase{"AfterDosDates", "file", 2108, false}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
