#include "UGiveMoneyLayout.h"
#include "UMainLayout.h"

#include "core/WideText.h"
#include "win32/forms/Form.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

// quorvin.exe as Wine sees the build folder: the Linux root is drive Z:.
std::wstring ProgramPath() {
    std::string path = std::string("Z:") + QUORVIN_EXE_PATH;
    for (char& character : path) {
        if (character == '/') {
            character = '\\';
        }
    }
    return Utf8ToWide(path);
}

HWND WaitForMainWindow(DWORD processId) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        for (HWND window = FindWindowW(L"QuorvinForm", L"Quorvin"); window != nullptr;
             window = FindWindowExW(nullptr, window, L"QuorvinForm", L"Quorvin")) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window)) {
                return window;
            }
        }
        Sleep(50);
    }
    return nullptr;
}

// The window of another thread that has the keyboard focus, once it is `wanted`.
HWND WaitForFocus(DWORD threadId, HWND wanted) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (GetGUIThreadInfo(threadId, &info) && info.hwndFocus == wanted) {
            break;
        }
        Sleep(50);
    }
    return info.hwndFocus;
}

// A control's text in another process: asked with WM_GETTEXT, which the system carries
// across (GetWindowTextW does not ask a control of another process).
std::wstring ControlText(HWND window, int control) {
    wchar_t text[64] = {};
    SendMessageW(GetDlgItem(window, TForm::FirstControlId + control), WM_GETTEXT, 64,
                 reinterpret_cast<LPARAM>(text));
    return text;
}

// quorvin.exe started afresh (its settings file removed first), with a show state where
// one is given, as a shortcut gives it; ended at the end of the test, its settings file
// removed again, so that nothing of the run stays beside the program.
class TStartedProgram {
public:
    explicit TStartedProgram(WORD showState = SW_SHOWDEFAULT) {
        DeleteFileW(SettingsFile().c_str());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (showState != SW_SHOWDEFAULT) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = showState;
        }
        std::wstring commandLine = L"\"" + Program + L"\"";
        if (CreateProcessW(Program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &Process)) {
            Window = WaitForMainWindow(Process.dwProcessId);
        }
    }
    ~TStartedProgram() {
        if (Process.hProcess != nullptr) {
            TerminateProcess(Process.hProcess, 0);
            WaitForSingleObject(Process.hProcess, 10000);
            CloseHandle(Process.hThread);
            CloseHandle(Process.hProcess);
        }
        DeleteFileW(SettingsFile().c_str());
    }
    TStartedProgram(const TStartedProgram&) = delete;
    TStartedProgram& operator=(const TStartedProgram&) = delete;

    // Closes the main window as its close box does; the exit code, once the program ended.
    DWORD Close() const {
        PostMessageW(Window, WM_CLOSE, 0, 0);
        DWORD exitCode = STILL_ACTIVE;
        if (WaitForSingleObject(Process.hProcess, 10000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(Process.hProcess, &exitCode);
        }
        return exitCode;
    }
    std::wstring SettingsFile() const { return Program.substr(0, Program.size() - 4) + L".ini"; }

    const std::wstring Program = ProgramPath();
    PROCESS_INFORMATION Process{};
    HWND Window = nullptr;
};

// The program as the user runs it: it starts showing its main window with the focus on
// Button1 and the fields' first texts, and closing that window ends it with exit code 0
// after the settings were written beside it.
TEST(ProgramRun, StartsWithItsFirstTextsAndEndsWithZeroSavingTheSettings) {
    const TStartedProgram program;
    const HWND window = program.Window;
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, TForm::Scale(715));
    EXPECT_EQ(client.bottom, TForm::Scale(249));
    const HWND button1 = GetDlgItem(window, TForm::FirstControlId + UMainLayout::Button1);
    EXPECT_EQ(WaitForFocus(program.Process.dwThreadId, button1), button1);
    EXPECT_EQ(ControlText(window, UMainLayout::EditMemoryAddress), L"1");
    EXPECT_EQ(ControlText(window, UMainLayout::EditShowValue), L"-");
    EXPECT_EQ(ControlText(window, UMainLayout::EditMemoryCounter), L"10");
    EXPECT_EQ(ControlText(window, UMainLayout::MemoMemoryList), L"--");
    EXPECT_EQ(program.Close(), 0u);
    std::ifstream file(WideToUtf8(program.SettingsFile()).c_str(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[Setting]\r\nbChinese=1\r\n");
}

int ChildCount(HWND window) {
    int count = 0;
    EnumChildWindows(
        window, [](HWND, LPARAM counted) { return ++*reinterpret_cast<int*>(counted), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// A window of the process by its class and caption, once it is there.
HWND WaitForWindow(DWORD processId, const wchar_t* className, const wchar_t* caption,
                   bool visible) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        for (HWND window = FindWindowW(className, caption); window != nullptr;
             window = FindWindowExW(nullptr, window, className, caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && (IsWindowVisible(window) != FALSE) == visible) {
                return window;
            }
        }
        Sleep(50);
    }
    return nullptr;
}

// The libraries of `names` that a process has loaded, by their paths.
std::vector<std::wstring> LoadedLibraries(HANDLE process,
                                          std::initializer_list<const wchar_t*> names) {
    HMODULE modules[512];
    DWORD bytes = 0;
    std::vector<std::wstring> found;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        ADD_FAILURE() << "the process's modules cannot be listed";
        return found;
    }
    for (DWORD index = 0; index < bytes / sizeof(HMODULE); ++index) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameExW(process, modules[index], path, MAX_PATH);
        for (const wchar_t* name : names) {
            const std::wstring file = path;
            const size_t slash = file.find_last_of(L'\\');
            if (_wcsicmp(file.substr(slash + 1).c_str(), name) == 0) {
                found.push_back(file);
            }
        }
    }
    return found;
}

// The dialogs are made at start without their controls; the support dialog's first showing
// makes them all, with the focus on its close button. The shell's libraries and UI
// Automation's are not loaded at start; the picture's decoding loads what it needs, from
// the system folder.
TEST(ProgramRun, ADialogsControlsAreMadeWhenItFirstShows) {
    const TStartedProgram program;
    const PROCESS_INFORMATION& process = program.Process;
    const HWND window = program.Window;
    ASSERT_NE(window, nullptr);
    constexpr wchar_t SupportCaption[] = L"\u6253\u8D4F\u4F5C\u8005";
    const HWND support = WaitForWindow(process.dwProcessId, L"QuorvinForm", SupportCaption, false);
    ASSERT_NE(support, nullptr);
    EXPECT_EQ(ChildCount(support), 0);
    EXPECT_EQ(ChildCount(window), UMainLayout::Form.ControlCount);
    // (Wine's common controls bring COM's own two libraries along at start.)
    EXPECT_EQ(LoadedLibraries(process.hProcess,
                              {L"shell32.dll", L"shlwapi.dll", L"uiautomationcore.dll"}),
              std::vector<std::wstring>{});
    PostMessageW(window, WM_COMMAND,
                 static_cast<WPARAM>(TForm::FirstMenuCommand + UMainLayout::MnuRegiste), 0);
    ASSERT_NE(WaitForWindow(process.dwProcessId, L"QuorvinForm", SupportCaption, true), nullptr);
    EXPECT_EQ(ChildCount(support), UGiveMoneyLayout::Form.ControlCount);
    const HWND close = GetDlgItem(support, TForm::FirstControlId + UGiveMoneyLayout::BitBtn1);
    EXPECT_EQ(WaitForFocus(process.dwThreadId, close), close);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::vector<std::wstring> loaded =
        LoadedLibraries(process.hProcess, {L"ole32.dll", L"shlwapi.dll"});
    EXPECT_EQ(loaded.size(), 2u);
    for (const std::wstring& path : loaded) {
        EXPECT_EQ(_wcsnicmp(path.c_str(), system, wcslen(system)), 0) << WideToUtf8(path);
    }
}

// Started maximised (as a shortcut may ask), the main window starts maximised.
TEST(ProgramRun, StartedMaximisedShowsTheMainWindowMaximised) {
    const TStartedProgram program(SW_SHOWMAXIMIZED);
    ASSERT_NE(program.Window, nullptr);
    EXPECT_TRUE(IsZoomed(program.Window));
    EXPECT_EQ(program.Close(), 0u);
}

// The icon group's images, as Windows picks one of them by the display: the 32 x 32
// 16-colour image of the description beside the 32-bit ones.
TEST(ProgramIcon, HoldsA16ColourImageBesideTheTrueColourOnes) {
    const HMODULE program = LoadLibraryExW(
        ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    const HRSRC group = FindResourceW(program, L"MAINICON", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    std::vector<std::tuple<int, int, int, int>> images;
    for (WORD index = 0; index < count; ++index) {
        // GRPICONDIRENTRY: width, height, colours, reserved, planes, bits per pixel, size, id.
        const BYTE* entry = directory + 6 + 14 * index;
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        const HRSRC image = FindResourceW(program, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
        ASSERT_NE(image, nullptr);
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program, image)));
        images.emplace_back(entry[0], entry[1], entry[2], header->biBitCount);
    }
    FreeLibrary(program);
    EXPECT_EQ(images, (std::vector<std::tuple<int, int, int, int>>{
                          {32, 32, 0, 32}, {16, 16, 0, 32}, {32, 32, 16, 4}}));
}

} // namespace
