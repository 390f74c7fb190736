#include "core/Paths.h"
#include "core/WideText.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

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
    testing::Values(ExtCase{"WithExtension", "C:\\Tools\\app.exe", "C:\\Tools\\app.ini"},
                    ExtCase{"DotInFolder", "C:\\Tools.new\\app", "C:\\Tools.new\\app.ini"},
                    ExtCase{"DotInFolderSlashes", "C:/Tools.new/app", "C:/Tools.new/app.ini"},
                    ExtCase{"DriveRelative", "C:app.exe", "C:app.ini"},
                    ExtCase{"DriveOnlyAfterDot", "C:.x:app", "C:.x:app.ini"},
                    ExtCase{"Share", "\\\\server\\share.d\\app", "\\\\server\\share.d\\app.ini"},
                    ExtCase{"TwoDots", "C:\\app.tar.gz", "C:\\app.tar.ini"},
                    ExtCase{"TrailingDot", "C:\\app.", "C:\\app.ini"},
                    ExtCase{"ChineseNames", "C:\\工具.新\\读取", "C:\\工具.新\\读取.ini"},
                    ExtCase{"Empty", "", ".ini"}),
    [](const auto& info) { return info.param.Name; });

TEST(ExecutablePathTest, NamesThisTestProgram) {
    const std::string path = ExecutablePath();
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\");
    EXPECT_EQ(path.substr(path.rfind('\\') + 1), "core_tests.exe");
    EXPECT_TRUE(Exists(path));
}

// Copies this program into the folder and starts the copy, which writes the path that it
// finds for itself.
std::string PathFoundByCopyIn(const std::wstring& folder) {
    const TScratchFolder output;
    const std::wstring copy = folder + L"\\程序 copy.exe";
    const std::wstring result = Utf8ToWide(output / "path.txt");
    if (CopyFileW(Utf8ToWide(ExecutablePath()).c_str(), copy.c_str(), FALSE) == FALSE) {
        return "copy failed";
    }
    std::wstring commandLine = L"\"" + copy + L"\" --write-executable-path \"" + result + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) == FALSE) {
        return "start failed: " + std::to_string(GetLastError());
    }
    WaitForSingleObject(process.hThread, INFINITE);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileW(copy.c_str());
    return ReadBytes(WideToUtf8(result));
}

TEST(ExecutablePathTest, NonAsciiFolder) {
    const TScratchFolder folder("quorvin-путь-路径");
    EXPECT_EQ(PathFoundByCopyIn(Utf8ToWide(folder.Path)), folder / "程序 copy.exe");
}

// Windows starts no program whose path is longer than 259 characters; one just below that
// limit, with folder names of many bytes in UTF-8, gets its whole path.
TEST(ExecutablePathTest, PathNearTheLimit) {
    const TScratchFolder folder("quorvin-长");
    const std::wstring name = L"\\程序 copy.exe";
    std::wstring deep = Utf8ToWide(folder.Path);
    while (deep.size() + name.size() < MAX_PATH - 12) {
        deep += L"\\文件夹-" +
                std::wstring(std::min<std::size_t>(30, MAX_PATH - 12 - deep.size() - name.size()),
                             L'目');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
    }
    const std::string expected = WideToUtf8(deep) + "\\程序 copy.exe";
    EXPECT_EQ(PathFoundByCopyIn(deep), expected);
    EXPECT_GE(Utf8ToWide(expected).size(), MAX_PATH - 20u);
}

} // namespace

namespace {

struct ExistsCase {
    const char* Name;
    const char* Entry; // "file", "directory" or "none"
    int Year;          // last-write year in local time; 0 keeps the current time
    const char* Asked = "app.chm";
    bool Exists = false;
};

class FileExistsTest : public testing::TestWithParam<ExistsCase> {};

// Noon of the year's first day, or of its last for the last year of DOS dates, local time.
FILETIME LastWriteIn(int year) {
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = year == 2107 ? 12 : 1;
    local.wDay = year == 2107 ? 31 : 1;
    local.wHour = 12;
    FILETIME localTime;
    FILETIME universal{};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &universal);
    return universal;
}

TEST_P(FileExistsTest, AcceptsOnlyFilesWithDosDates) {
    const TScratchFolder folder;
    const std::wstring path = Utf8ToWide(folder / "app.chm");
    const std::string kind = GetParam().Entry;
    if (kind == "file") {
        WriteBytes(folder / "app.chm", "help");
    } else if (kind == "directory") {
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    }
    if (GetParam().Year != 0) {
        const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const FILETIME when = LastWriteIn(GetParam().Year);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &when));
        CloseHandle(file);
    }
    EXPECT_EQ(FileExists(folder / GetParam().Asked), GetParam().Exists);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FileExistsTest,
    testing::Values(ExistsCase{"File", "file", 0, "app.chm", true},
                    ExistsCase{"OtherCase", "file", 0, "APP.CHM", true},
                    ExistsCase{"Missing", "none", 0}, ExistsCase{"Directory", "directory", 0},
                    ExistsCase{"FirstDosYear", "file", 1980, "app.chm", true},
                    ExistsCase{"LastDosYear", "file", 2107, "app.chm", true},
                    ExistsCase{"BeforeDosDates", "file", 1979},
                    ExistsCase{"AfterDosDates", "file", 2108},
                    ExistsCase{"PatternMatchingFile", "file", 0, "app.*"},
                    ExistsCase{"SingleCharacterPattern", "file", 0, "app.ch?"}),
    [](const auto& info) { return info.param.Name; });

} // namespace
