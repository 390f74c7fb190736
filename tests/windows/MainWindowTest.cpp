#include "ScratchFolder.h"
#include "WindowDriver.h"

#include "UMainLayout.h"

#include "core/Exception.h"
#include "core/HandlerGuard.h"
#include "core/MakerDetails.h"
#include "core/Paths.h"
#include "core/WideText.h"
#include "win32/forms/UMain.h"
#include "win32/widgets/ListMemo.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include <commctrl.h>
#include <oleacc.h>

namespace {

HWND Main(int control) {
    return FrmMain->Control(control);
}

void ChooseMenu(int item) {
    PostMessageW(FrmMain->Handle(), WM_COMMAND, static_cast<WPARAM>(FrmMain->MenuCommand(item)), 0);
    ProcessMessages();
}

TEST(MainWindowLayout, StatusBarLiesAlongTheBottom) {
    RECT bar;
    GetWindowRect(Main(UMainLayout::StatusBar1), &bar);
    MapWindowPoints(nullptr, FrmMain->Handle(), reinterpret_cast<POINT*>(&bar), 2);
    const RECT expected{0, TForm::Scale(230), TForm::Scale(715), TForm::Scale(249)};
    EXPECT_TRUE(EqualRect(&bar, &expected));
    EXPECT_EQ(SendMessageW(Main(UMainLayout::StatusBar1), SB_GETPARTS, 0, 0), 2);
    wchar_t ready[16] = {};
    SendMessageW(Main(UMainLayout::StatusBar1), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(ready));
    EXPECT_STREQ(ready, L"\u5C31\u7EEA");
    EXPECT_EQ(GetWindowLongPtrW(FrmMain->Handle(), GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME),
              0);
}

struct TSingleReadoutCase {
    const char* Name;
    const wchar_t* Position;
    const wchar_t* Shown;
};

class SingleReadoutTest : public testing::TestWithParam<TSingleReadoutCase> {};

TEST_P(SingleReadoutTest, ShowsTheCharacterOfThePosition) {
    SetTextOf(Main(UMainLayout::EditMemoryAddress), GetParam().Position);
    Click(Main(UMainLayout::BtnGetMemoryValue));
    EXPECT_EQ(TextOf(Main(UMainLayout::EditShowValue)), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(Positions, SingleReadoutTest,
                         testing::Values(TSingleReadoutCase{"Letter", L"65", L"A"},
                                         TSingleReadoutCase{"Wrapped", L"321", L"A"},
                                         TSingleReadoutCase{"Hexadecimal", L"$41", L"A"},
                                         TSingleReadoutCase{"Negative", L"-191", L"A"},
                                         TSingleReadoutCase{"ZeroByteLeavesItEmpty", L"256", L""}),
                         [](const auto& info) { return info.param.Name; });

struct TBadNumberCase {
    const char* Name;
    int Field;
    int Button;
};

class BadNumberTest : public testing::TestWithParam<TBadNumberCase> {};

// The error box, then everything as it was; the next press runs again from the start.
TEST_P(BadNumberTest, ShowsTheErrorBoxAndChangesNothing) {
    SetTextOf(Main(UMainLayout::EditShowValue), L"kept");
    FrmMain->MemoMemoryList().SetText(u"kept\n");
    SetTextOf(Main(GetParam().Field), L"abc");
    std::wstring text;
    std::wstring caption;
    ASSERT_TRUE(
        RunScript([] { Click(Main(GetParam().Button)); }, {CloseMessageBox(&text, &caption)}));
    EXPECT_EQ(text, L"'abc' is not a valid integer value.");
    EXPECT_EQ(caption, L"Quorvin");
    EXPECT_EQ(TextOf(Main(UMainLayout::EditShowValue)), L"kept");
    EXPECT_EQ(FrmMain->MemoMemoryList().Editor().LineText(0), u"kept");
    ASSERT_TRUE(RunScript([] { Click(Main(GetParam().Button)); }, {CloseMessageBox(&text)}));
    EXPECT_EQ(text, L"'abc' is not a valid integer value.");
}

INSTANTIATE_TEST_SUITE_P(Readouts, BadNumberTest,
                         testing::Values(TBadNumberCase{"Position", UMainLayout::EditMemoryAddress,
                                                        UMainLayout::BtnGetMemoryValue},
                                         TBadNumberCase{"Count", UMainLayout::EditMemoryCounter,
                                                        UMainLayout::BtnGerMemoryValueList}),
                         [](const auto& info) { return info.param.Name; });

struct TListReadoutCase {
    const char* Name;
    const wchar_t* Count;
    int64_t Lines;
    int64_t Probe;
    const char16_t* ProbeText;
};

class ListReadoutTest : public testing::TestWithParam<TListReadoutCase> {};

TEST_P(ListReadoutTest, FillsTheListAtOnce) {
    SetTextOf(Main(UMainLayout::EditMemoryCounter), GetParam().Count);
    Click(Main(UMainLayout::BtnGerMemoryValueList));
    const TListEditor& list = FrmMain->MemoMemoryList().Editor();
    EXPECT_EQ(list.LineCount(), GetParam().Lines);
    EXPECT_EQ(list.LineText(GetParam().Probe), GetParam().ProbeText);
    EXPECT_EQ(list.LineText(list.LineCount() - 1), u"");
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ListReadoutTest,
    testing::Values(TListReadoutCase{"Ten", L"10", 11, 9, u"9"},
                    TListReadoutCase{"PastSignedBytes", L"130", 131, 129, u"ffffff81"},
                    TListReadoutCase{"Largest", L"2147483647", 2147483648, 2147483646, u"fffffffe"},
                    TListReadoutCase{"Zero", L"0", 1, 0, u""},
                    TListReadoutCase{"Negative", L"-5", 1, 0, u""}),
    [](const auto& info) { return info.param.Name; });

// The scroll bar's 32-bit range still reaches the last of 2147483648 lines.
TEST(ListControl, ScrollBarReachesTheLastLine) {
    SetTextOf(Main(UMainLayout::EditMemoryCounter), L"2147483647");
    Click(Main(UMainLayout::BtnGerMemoryValueList));
    SetFocus(Main(UMainLayout::MemoMemoryList));
    PressKey(VK_END, true);
    TListMemo& list = FrmMain->MemoMemoryList();
    EXPECT_EQ(list.Editor().Caret().Line, 2147483647);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Main(UMainLayout::MemoMemoryList), SB_VERT, &info);
    EXPECT_EQ(info.nPos, info.nMax - static_cast<int>(info.nPage) + 1);
    PostMessageW(Main(UMainLayout::MemoMemoryList), WM_VSCROLL, SB_TOP, 0);
    ProcessMessages();
    EXPECT_EQ(list.Editor().TopLine(), 0);
}

// A touchpad's small deltas add up to the rows of a notch (the system's setting); a
// wheel's notch scrolls them at once.
TEST(ListControl, WheelDeltasAddUpToTheLinesOfANotch) {
    SetTextOf(Main(UMainLayout::EditMemoryCounter), L"1000");
    Click(Main(UMainLayout::BtnGerMemoryValueList));
    const HWND memo = Main(UMainLayout::MemoMemoryList);
    UINT notch = 0;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &notch, 0);
    for (const int delta : {15, 40, 120}) {
        const int64_t before = FrmMain->MemoMemoryList().Editor().TopLine();
        for (int turned = 0; turned < WHEEL_DELTA; turned += delta) {
            SendMessageW(memo, WM_MOUSEWHEEL, MAKEWPARAM(0, -delta), 0);
        }
        EXPECT_EQ(FrmMain->MemoMemoryList().Editor().TopLine(), before + notch) << delta;
    }
}

TEST(ListControl, TypingUndoAndCopyGoThroughTheDocumentAndDesktop) {
    SetTextOf(Main(UMainLayout::EditMemoryCounter), L"3");
    Click(Main(UMainLayout::BtnGerMemoryValueList));
    SetFocus(Main(UMainLayout::MemoMemoryList));
    TListMemo& list = FrmMain->MemoMemoryList();
    PressKey('A', true);
    PressKey('C', true);
    EXPECT_EQ(TestDesktop->Clipboard, "0\r\n1\r\n2\r\n");
    PressKey(VK_END, true);
    TypeCharacter(L'x');
    EXPECT_EQ(list.Editor().LineText(3), u"x");
    PressKey('Z', true);
    EXPECT_EQ(list.Editor().LineText(3), u"");
    PressKey(VK_UP, false, true);
    PressKey('X', true);
    EXPECT_EQ(TestDesktop->Clipboard, "2\r\n");
    EXPECT_EQ(list.Editor().LineCount(), 3);
}

TEST(ListControl, CopyOfMoreThan64MiBIsRefusedWithABox) {
    SetTextOf(Main(UMainLayout::EditMemoryCounter), L"2147483647");
    Click(Main(UMainLayout::BtnGerMemoryValueList));
    SetFocus(Main(UMainLayout::MemoMemoryList));
    TestDesktop->Clipboard = "before";
    std::wstring text;
    ASSERT_TRUE(RunScript(
        [] {
            PressKey('A', true);
            PressKey('C', true);
        },
        {CloseMessageBox(&text)}));
    EXPECT_NE(text.find(L"The selection is too large to copy to the clipboard."),
              std::wstring::npos);
    EXPECT_EQ(TestDesktop->Clipboard, "before");
}

// Screen readers get the caret's line as the value of a text (MSAA).
TEST(ListControl, ScreenReadersReadTheCaretsLine) {
    SetTextOf(Main(UMainLayout::EditMemoryCounter), L"200");
    Click(Main(UMainLayout::BtnGerMemoryValueList));
    SetFocus(Main(UMainLayout::MemoMemoryList));
    for (int line = 0; line < 130; ++line) {
        PressKey(VK_DOWN);
    }
    IAccessible* accessible = nullptr;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(Main(UMainLayout::MemoMemoryList),
                                                        OBJID_CLIENT, __uuidof(IAccessible),
                                                        reinterpret_cast<void**>(&accessible)));
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR value = nullptr;
    VARIANT role;
    EXPECT_HRESULT_SUCCEEDED(accessible->get_accValue(self, &value));
    EXPECT_HRESULT_SUCCEEDED(accessible->get_accRole(self, &role));
    EXPECT_EQ(std::wstring(value != nullptr ? value : L""), L"ffffff82");
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    SysFreeString(value);
    accessible->Release();
}

// A main window fresh from its table shows no mark in the Set menu until the menu first
// opens; then the one of the language in use.
TEST(SetMenu, NoMarkBeforeTheMenuFirstOpens) {
    const TFrmMain fresh;
    const HMENU setMenu = GetSubMenu(GetMenu(fresh.Handle()), 1);
    const auto marks = [&] {
        int count = 0;
        for (const int item : {UMainLayout::MnuChinese, UMainLayout::MnuEnglish}) {
            count +=
                (GetMenuState(setMenu, static_cast<UINT>(fresh.MenuCommand(item)), MF_BYCOMMAND) &
                 MF_CHECKED) != 0;
        }
        return count;
    };
    EXPECT_EQ(marks(), 0);
    SendMessageW(fresh.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(setMenu), 1);
    EXPECT_EQ(marks(), 1);
}

struct TLanguageCase {
    const char* Name;
    int Choice;
    bool ChineseChecked;
};

class SetMenuTest : public testing::TestWithParam<TLanguageCase> {};

TEST_P(SetMenuTest, MarksShowTheChoiceWhenTheMenuOpens) {
    ChooseMenu(GetParam().Choice);
    HMENU setMenu = GetSubMenu(GetMenu(FrmMain->Handle()), 1);
    SendMessageW(FrmMain->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(setMenu), 1);
    const auto checked = [&](int item) {
        return (GetMenuState(setMenu, static_cast<UINT>(FrmMain->MenuCommand(item)), MF_BYCOMMAND) &
                MF_CHECKED) != 0;
    };
    EXPECT_EQ(checked(UMainLayout::MnuChinese), GetParam().ChineseChecked);
    EXPECT_EQ(checked(UMainLayout::MnuEnglish), !GetParam().ChineseChecked);
}

INSTANTIATE_TEST_SUITE_P(Languages, SetMenuTest,
                         testing::Values(TLanguageCase{"English", UMainLayout::MnuEnglish, false},
                                         TLanguageCase{"Chinese", UMainLayout::MnuChinese, true},
                                         TLanguageCase{"ChineseAgain", UMainLayout::MnuChinese,
                                                       true}),
                         [](const auto& info) { return info.param.Name; });

TEST(HelpMenu, MissingHelpFileIsReportedWithItsPathOnBothLines) {
    const std::wstring path = Utf8ToWide(ChangeFileExt(ExecutablePath(), ".chm"));
    std::wstring text;
    std::wstring caption;
    ASSERT_TRUE(
        RunScript([] { ChooseMenu(UMainLayout::MnuContent); }, {CloseMessageBox(&text, &caption)}));
    EXPECT_EQ(text, L"\u4E0D\u80FD\u6253\u5F00\u5E2E\u52A9\u6587\u4EF6" + path +
                        L"\r\nCan not Open Help File" + path);
    EXPECT_EQ(caption, L"\u7CFB\u7EDF\u63D0\u793ASystem Hint");
}

TEST(HelpMenu, HelpFileAndWebPageGoToTheDesktop) {
    const std::string path = ChangeFileExt(ExecutablePath(), ".chm");
    WriteBytes(path, "help");
    ChooseMenu(UMainLayout::MnuContent);
    ChooseMenu(UMainLayout::MnuWeb);
    ASSERT_GE(TestDesktop->Opened.size(), 2u);
    EXPECT_EQ(TestDesktop->Opened[TestDesktop->Opened.size() - 2], path);
    EXPECT_EQ(TestDesktop->Opened.back(), WebAddress);
    DeleteFileW(Utf8ToWide(path).c_str());
}

struct TButton1Case {
    const char* Name;
    int Focus;
    WPARAM Key;
    bool Ctrl = false;
    bool Shift = false;
};

class Button1KeyTest : public testing::TestWithParam<TButton1Case> {};

// Enter presses the focused button; the space bar on any button presses Button1 (its
// accelerator is the space), never the focused one.
TEST_P(Button1KeyTest, ShowsOk) {
    SetTextOf(Main(UMainLayout::EditShowValue), L"-");
    SetFocus(Main(GetParam().Focus));
    std::wstring text;
    ASSERT_TRUE(RunScript([] { PressKey(GetParam().Key, GetParam().Ctrl, GetParam().Shift); },
                          {CloseMessageBox(&text)}));
    EXPECT_EQ(text, L"OK!");
    EXPECT_EQ(TextOf(Main(UMainLayout::EditShowValue)), L"-");
    EXPECT_EQ(GetFocus(), Main(GetParam().Focus));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Button1KeyTest,
    testing::Values(TButton1Case{"EnterOnButton1", UMainLayout::Button1, VK_RETURN},
                    TButton1Case{"SpaceOnButton1", UMainLayout::Button1, VK_SPACE},
                    TButton1Case{"SpaceOnReadoutButton", UMainLayout::BtnGetMemoryValue, VK_SPACE},
                    TButton1Case{"SpaceOnListButton", UMainLayout::BtnGerMemoryValueList, VK_SPACE},
                    TButton1Case{"ShiftSpace", UMainLayout::BtnGetMemoryValue, VK_SPACE, false,
                                 true},
                    TButton1Case{"CtrlSpace", UMainLayout::Button1, VK_SPACE, true, false}),
    [](const auto& info) { return info.param.Name; });

// Alt+Space opens the system menu; it never presses Button1, whose accelerator is the space.
TEST(MainWindowKeys, AltSpaceOpensTheSystemMenuAndPressesNothing) {
    SetFocus(Main(UMainLayout::Button1));
    bool boxShown = false;
    bool menuShown = false;
    ASSERT_TRUE(RunScript([] { TypeAltCharacter(L' '); }, {[&] {
                              boxShown = FindMessageBox() != nullptr;
                              GUITHREADINFO thread{};
                              thread.cbSize = sizeof thread;
                              GetGUIThreadInfo(GetCurrentThreadId(), &thread);
                              menuShown = (thread.flags & GUI_INMENUMODE) != 0;
                              EndMenu();
                              return true;
                          }}));
    EXPECT_FALSE(boxShown);
    EXPECT_TRUE(menuShown);
}

// The note takes Enter as a line break; Tab moves on to the list.
TEST(MainWindowKeys, EnterBreaksTheNoteAndTabMovesOn) {
    const HWND note = Main(UMainLayout::MemoNote);
    const std::wstring before = TextOf(note);
    SetFocus(note);
    SendMessageW(note, EM_SETSEL, 0, 0);
    PressKey(VK_RETURN);
    EXPECT_EQ(TextOf(note), L"\r\n" + before);
    EXPECT_EQ(FindMessageBox(), nullptr);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Main(UMainLayout::MemoMemoryList));
    EXPECT_EQ(TextOf(note), L"\r\n" + before);
    SetTextOf(note, before);
}

// The guard of every handler and of the start-up: what escapes is shown in one error box
// (a second would be left open and fail the script), owned by the application's window.
TEST(Guard, ShowsWhatEscapesInOneBox) {
    for (const auto& [fails, expected] :
         {std::pair<std::function<void()>, std::wstring>{[] { throw Exception("cannot start"); },
                                                         L"cannot start."},
          {[] { throw std::runtime_error("other"); }, L""}}) {
        std::wstring text = L"none";
        ASSERT_TRUE(RunScript([fails = fails] { RunGuarded(fails); }, {CloseMessageBox(&text)}));
        EXPECT_EQ(text, expected);
    }
}

TEST(MainWindowKeys, EnterInAnEditPressesNothing) {
    SetFocus(Main(UMainLayout::EditMemoryAddress));
    PressKey(VK_RETURN);
    EXPECT_EQ(FindMessageBox(), nullptr);
    EXPECT_EQ(GetFocus(), Main(UMainLayout::EditMemoryAddress));
}

} // namespace
