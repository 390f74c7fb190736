// Filling the list readout on Windows: the program's list control against a standard
// multi-line EDIT control filled in one call with the same text.
//
// For each count N: the time from the press of the main window's list button (for the
// baseline: from the one-call fill) to the end of the first painted frame of the list,
// and the growth of the working set (resident memory). The EDIT control is measured up to
// 100,000 lines. Then typing at the end of one long line of words, which both controls
// wrap: the time per typed character, each painted before the next. The EDIT control is
// measured up to lines of 100,000 characters.
// Run under Wine on a display: scripts/wine-session.sh PREFIX this.exe

#include "UMainLayout.h"

#include "readout/ByteReadout.h"
#include "win32/app/Application.h"
#include "win32/forms/UMain.h"
#include "win32/program/Program.h"
#include "win32/widgets/ListMemo.h"

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

const int64_t Counts[] = {10, 100000, 1000000, 2147483647};
constexpr int64_t LargestEditCount = 100000;
const int64_t LineLengths[] = {100, 10000, 100000, 1000000};
constexpr int64_t LongestEditLine = 100000;
constexpr int TypedCharacters = 50;

struct TMeasure {
    double Milliseconds;
    double MemoryMiB;
};

double Now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double WorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

template <class Fill> TMeasure Measure(HWND list, Fill fill) {
    Application->ProcessMessages();
    const double memoryBefore = WorkingSetMiB();
    const double start = Now();
    fill();
    UpdateWindow(list); // the first frame, painted before UpdateWindow returns
    return TMeasure{Now() - start, WorkingSetMiB() - memoryBefore};
}

TMeasure ListControl(int64_t count) {
    HWND list = FrmMain->Control(UMainLayout::MemoMemoryList);
    SetWindowTextW(FrmMain->Control(UMainLayout::EditMemoryCounter),
                   std::to_wstring(count).c_str());
    const TMeasure measure = Measure(list, [] {
        SendMessageW(FrmMain->Control(UMainLayout::BtnGerMemoryValueList), BM_CLICK, 0, 0);
    });
    FrmMain->MemoMemoryList().SetText(u"--\n");
    return measure;
}

// The system's multi-line edit, the baseline, over the list control and as large.
HWND EditOverTheList() {
    RECT place;
    GetWindowRect(FrmMain->Control(UMainLayout::MemoMemoryList), &place);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_POPUP | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, place.left,
                                place.top, place.right - place.left, place.bottom - place.top,
                                FrmMain->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    return edit;
}

TMeasure EditControl(int64_t count) {
    HWND edit = EditOverTheList();
    const TMeasure measure = Measure(edit, [edit, count] {
        std::string lines;
        for (int64_t position = 0; position < count; ++position) {
            lines += ListLine(static_cast<int8_t>(ByteOfPosition(static_cast<int32_t>(position))));
            lines += "\r\n";
        }
        SetWindowTextA(edit, lines.c_str());
    });
    DestroyWindow(edit);
    return measure;
}

std::wstring LineOfWords(int64_t length) {
    std::wstring line;
    while (static_cast<int64_t>(line.size()) < length) {
        line += L"word ";
    }
    line.resize(static_cast<size_t>(length));
    return line;
}

void PressControlEnd(HWND window) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    SendMessageW(window, WM_KEYDOWN, VK_END, 1);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
}

double MillisecondsPerCharacter(HWND control) {
    Application->ProcessMessages();
    const double start = Now();
    for (int typed = 0; typed < TypedCharacters; ++typed) {
        SendMessageW(control, WM_CHAR, L'x', 1);
        UpdateWindow(control);
    }
    return (Now() - start) / TypedCharacters;
}

double ListTyping(int64_t length) {
    HWND list = FrmMain->Control(UMainLayout::MemoMemoryList);
    const std::wstring line = LineOfWords(length);
    FrmMain->MemoMemoryList().SetText(std::u16string(line.begin(), line.end()));
    SetFocus(list);
    PressControlEnd(list);
    const double milliseconds = MillisecondsPerCharacter(list);
    FrmMain->MemoMemoryList().SetText(u"--\n");
    return milliseconds;
}

double EditTyping(int64_t length) {
    HWND edit = EditOverTheList();
    SetWindowTextW(edit, LineOfWords(length).c_str());
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
    const double milliseconds = MillisecondsPerCharacter(edit);
    DestroyWindow(edit);
    return milliseconds;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    TApplication application;
    StartProgram();
    FrmMain->Show(SW_SHOWNORMAL);
    std::printf("%12s  %14s  %14s  %10s  %14s  %14s\n", "N", "list ms", "list MiB", "EDIT ms",
                "EDIT MiB", "ms ratio");
    for (const int64_t count : Counts) {
        const TMeasure list = ListControl(count);
        if (count <= LargestEditCount) {
            const TMeasure edit = EditControl(count);
            std::printf("%12lld  %14.2f  %14.2f  %10.2f  %14.2f  %14.2f\n",
                        static_cast<long long>(count), list.Milliseconds, list.MemoryMiB,
                        edit.Milliseconds, edit.MemoryMiB, edit.Milliseconds / list.Milliseconds);
        } else {
            std::printf("%12lld  %14.2f  %14.2f  %10s  %14s  %14s\n", static_cast<long long>(count),
                        list.Milliseconds, list.MemoryMiB, "-", "-", "-");
        }
        std::fflush(stdout);
    }
    std::printf("\n%12s  %14s  %14s  %14s\n", "line chars", "list ms/char", "EDIT ms/char",
                "ms ratio");
    for (const int64_t length : LineLengths) {
        const double list = ListTyping(length);
        if (length <= LongestEditLine) {
            const double edit = EditTyping(length);
            std::printf("%12lld  %14.3f  %14.3f  %14.2f\n", static_cast<long long>(length), list,
                        edit, edit / list);
        } else {
            std::printf("%12lld  %14.3f  %14s  %14s\n", static_cast<long long>(length), list, "-",
                        "-");
        }
        std::fflush(stdout);
    }
    return 0;
}
