#include "WindowDriver.h"

#include "UAboutBoxLayout.h"
#include "UFrmRegQQLayout.h"
#include "UGiveMoneyLayout.h"
#include "UMainLayout.h"
#include "UVisitePhoneLayout.h"

#include "core/MakerDetails.h"
#include "win32/forms/UAboutBox.h"
#include "win32/forms/UFrmRegQQ.h"
#include "win32/forms/UGiveMoney.h"
#include "win32/forms/UMain.h"
#include "win32/forms/UVisitePhone.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

std::function<void()> Choose(int item) {
    return [item] {
        PostMessageW(FrmMain->Handle(), WM_COMMAND, static_cast<WPARAM>(FrmMain->MenuCommand(item)),
                     0);
        ProcessMessages();
    };
}

// Shows the support dialog from the menu and runs `steps` in it; the "OK!" box that
// follows its closing is closed last. True when it came.
bool InSupportDialog(std::vector<TStep> steps) {
    std::wstring ok;
    steps.push_back(CloseMessageBox(&ok));
    return RunScript(Choose(UMainLayout::MnuRegiste), steps) && ok == L"OK!";
}

HWND Support(int control) {
    return FrmGiveMoney->Control(control);
}

struct TDialogKeyCase {
    const char* Name;
    int Menu;
    TForm** Dialog;
    WPARAM Key;
    enum TInput { KeyPress, Character, AltCharacter } Input;
    bool Closes;
};

class DialogKeyTest : public testing::TestWithParam<TDialogKeyCase> {};

// Enter and the button's accelerator letter close the dialog; Esc does nothing.
TEST_P(DialogKeyTest, KeyClosesTheDialogOrNot) {
    TForm& dialog = **GetParam().Dialog;
    bool stillShown = false;
    ASSERT_TRUE(RunScript(Choose(GetParam().Menu),
                          {WhenActive(dialog.Handle(),
                                      [] {
                                          const auto character =
                                              static_cast<wchar_t>(GetParam().Key);
                                          switch (GetParam().Input) {
                                          case TDialogKeyCase::KeyPress:
                                              PressKey(GetParam().Key);
                                              break;
                                          case TDialogKeyCase::Character:
                                              TypeCharacter(character);
                                              break;
                                          case TDialogKeyCase::AltCharacter:
                                              TypeAltCharacter(character);
                                              break;
                                          }
                                      }),
                           // The dialog's loop takes the key's effect: it hides, or it
                           // stays up for a while (a busy machine may be slow with either).
                           [&dialog, ticks = 0]() mutable {
                               return !IsWindowVisible(dialog.Handle()) || ++ticks > 25;
                           },
                           [&] {
                               stillShown = IsWindowVisible(dialog.Handle()) != FALSE;
                               PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
                               return true;
                           }}));
    EXPECT_EQ(stillShown, !GetParam().Closes);
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowEnabled(FrmMain->Handle()));
}

TForm** const Phone = reinterpret_cast<TForm**>(&FrmVisitePhone);
TForm** const About = reinterpret_cast<TForm**>(&AboutBox);

INSTANTIATE_TEST_SUITE_P(
    Keys, DialogKeyTest,
    testing::Values(TDialogKeyCase{"PhoneEnter", UMainLayout::MnuPhone, Phone, VK_RETURN,
                                   TDialogKeyCase::KeyPress, true},
                    TDialogKeyCase{"PhoneLetterC", UMainLayout::MnuPhone, Phone, L'c',
                                   TDialogKeyCase::Character, true},
                    TDialogKeyCase{"PhoneAltC", UMainLayout::MnuPhone, Phone, L'c',
                                   TDialogKeyCase::AltCharacter, true},
                    TDialogKeyCase{"PhoneEscape", UMainLayout::MnuPhone, Phone, VK_ESCAPE,
                                   TDialogKeyCase::KeyPress, false},
                    TDialogKeyCase{"AboutEnter", UMainLayout::MnuAbout, About, VK_RETURN,
                                   TDialogKeyCase::KeyPress, true},
                    TDialogKeyCase{"AboutLetterO", UMainLayout::MnuAbout, About, L'o',
                                   TDialogKeyCase::Character, true},
                    TDialogKeyCase{"AboutAltO", UMainLayout::MnuAbout, About, L'o',
                                   TDialogKeyCase::AltCharacter, true},
                    TDialogKeyCase{"AboutEscape", UMainLayout::MnuAbout, About, VK_ESCAPE,
                                   TDialogKeyCase::KeyPress, false}),
    [](const auto& info) { return info.param.Name; });

// Centred on the first showing (done by the key tests above or here); later showings
// keep the place where the dialog was closed.
TEST(DialogPlace, DialogReopensWhereItWasClosed) {
    HWND about = AboutBox->Handle();
    ASSERT_TRUE(RunScript(Choose(UMainLayout::MnuAbout), {WhenActive(about, [about] {
                              SetWindowPos(about, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                              PostMessageW(about, WM_CLOSE, 0, 0);
                          })}));
    RECT place{};
    ASSERT_TRUE(RunScript(Choose(UMainLayout::MnuAbout), {WhenActive(about, [about, &place] {
                              GetWindowRect(about, &place);
                              PostMessageW(about, WM_CLOSE, 0, 0);
                          })}));
    EXPECT_EQ(place.left, 40);
    EXPECT_EQ(place.top, 50);
}

// The first showing: centred, the focus on BitBtn1, so Enter closes it at once.
TEST(SupportDialog, FirstShowingIsCentredAndEnterClosesIt) {
    RECT place{};
    HWND focused = nullptr;
    HWND support = FrmGiveMoney->Handle();
    ASSERT_TRUE(InSupportDialog({WhenActive(support, [support, &place, &focused] {
        GetWindowRect(support, &place);
        focused = GetFocus();
        PressKey(VK_RETURN);
    })}));
    EXPECT_EQ(focused, Support(UGiveMoneyLayout::BitBtn1));
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_NEAR((place.left + place.right) / 2, (workArea.left + workArea.right) / 2, 1);
    EXPECT_NEAR((place.top + place.bottom) / 2, (workArea.top + workArea.bottom) / 2, 1);
}

// Each way of closing the support dialog is followed by "OK!"; the QQ dialog returns to
// it; the focus comes back to the control that had it.
TEST(SupportDialog, EveryWayOfClosingIsFollowedByOk) {
    HWND support = FrmGiveMoney->Handle();
    ASSERT_TRUE(
        InSupportDialog({WhenActive(support, [] { Click(Support(UGiveMoneyLayout::BitBtn1)); })}));
    ASSERT_TRUE(InSupportDialog(
        {WhenActive(support, [support] { PostMessageW(support, WM_SYSCOMMAND, SC_CLOSE, 0); })}));
    bool supportShownAfterQq = false;
    ASSERT_TRUE(
        InSupportDialog({WhenActive(support, [] { Click(Support(UGiveMoneyLayout::BtnRegQQ)); }),
                         WhenActive(FrmRegQQ->Handle(),
                                    [] { Click(FrmRegQQ->Control(UFrmRegQQLayout::BtnClose)); }),
                         WhenActive(support, [support, &supportShownAfterQq] {
                             supportShownAfterQq = true;
                             PostMessageW(support, WM_CLOSE, 0, 0);
                         })}));
    EXPECT_TRUE(supportShownAfterQq);
}

TEST(SupportDialog, FocusReturnsToTheLastCopyButton) {
    HWND support = FrmGiveMoney->Handle();
    HWND copyEmail = Support(UGiveMoneyLayout::btnBtnCopyEmail);
    ASSERT_TRUE(InSupportDialog({WhenActive(support, [support, copyEmail] {
        SetFocus(copyEmail);
        PostMessageW(support, WM_SYSCOMMAND, SC_CLOSE, 0);
    })}));
    TestDesktop->Clipboard.clear();
    HWND focused = nullptr;
    ASSERT_TRUE(InSupportDialog({WhenActive(support, [support, &focused] {
        focused = GetFocus();
        PressKey(VK_RETURN);
        PostMessageW(support, WM_CLOSE, 0, 0);
    })}));
    EXPECT_EQ(focused, copyEmail);
    EXPECT_EQ(TestDesktop->Clipboard, AlipayAccount);
}

struct TCopyCase {
    const char* Name;
    int Button;
    const char* Copied;
};

class CopyButtonTest : public testing::TestWithParam<TCopyCase> {};

TEST_P(CopyButtonTest, CopiesTheLabelAsShown) {
    TestDesktop->Clipboard.clear();
    ASSERT_TRUE(InSupportDialog({WhenActive(FrmGiveMoney->Handle(), [] {
        Click(Support(GetParam().Button));
        Click(Support(UGiveMoneyLayout::BitBtn1));
    })}));
    EXPECT_EQ(TestDesktop->Clipboard, GetParam().Copied);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, CopyButtonTest,
    testing::Values(TCopyCase{"FirstCard", UGiveMoneyLayout::btnBtnCopyBank1, FirstCardNumber},
                    TCopyCase{"Alipay", UGiveMoneyLayout::btnBtnCopyEmail, AlipayAccount},
                    TCopyCase{"SecondCard", UGiveMoneyLayout::btnBtnCopyBank2, SecondCardNumber},
                    TCopyCase{"Phone", UGiveMoneyLayout::BtnCopyPhone, PhoneNumber}),
    [](const auto& info) { return info.param.Name; });

TEST(SupportDialog, ClipboardThatCannotBeOpenedIsReported) {
    TestDesktop->ClipboardFails = true;
    std::wstring text;
    ASSERT_TRUE(InSupportDialog(
        {WhenActive(
             FrmGiveMoney->Handle(),
             [] { PostMessageW(Support(UGiveMoneyLayout::btnBtnCopyBank1), BM_CLICK, 0, 0); }),
         CloseMessageBox(&text), [] {
             Click(Support(UGiveMoneyLayout::BitBtn1));
             return true;
         }}));
    TestDesktop->ClipboardFails = false;
    EXPECT_EQ(text, L"Cannot open clipboard.");
}

// Esc does nothing in the support dialog, nor in the QQ dialog shown from it.
TEST(SupportDialog, EscDoesNothingThereNorInTheQqDialog) {
    const HWND support = FrmGiveMoney->Handle();
    const HWND qq = FrmRegQQ->Handle();
    // Esc, then a while for the dialog's loop to take it.
    const auto escape = [](HWND dialog, bool& stayed) -> std::vector<TStep> {
        return {WhenActive(dialog, [] { PressKey(VK_ESCAPE); }),
                [ticks = 0]() mutable { return ++ticks > 10; },
                [dialog, &stayed] { return stayed = IsWindowVisible(dialog) != FALSE, true; }};
    };
    bool supportStayed = false;
    bool qqStayed = false;
    std::vector<TStep> steps = escape(support, supportStayed);
    steps.push_back(WhenActive(support, [] { Click(Support(UGiveMoneyLayout::BtnRegQQ)); }));
    for (TStep& step : escape(qq, qqStayed)) {
        steps.push_back(std::move(step));
    }
    steps.push_back(WhenActive(qq, [qq] { PostMessageW(qq, WM_CLOSE, 0, 0); }));
    steps.push_back(WhenActive(support, [support] { PostMessageW(support, WM_CLOSE, 0, 0); }));
    ASSERT_TRUE(InSupportDialog(steps));
    EXPECT_TRUE(supportStayed);
    EXPECT_TRUE(qqStayed);
}

// The support dialog's note: read-only, navy on silver.
TEST(SupportDialog, NoteIsReadOnlyNavyOnSilver) {
    const HWND memo = Support(UGiveMoneyLayout::Memo);
    const HWND frame = GetParent(memo);
    HDC dc = GetDC(memo);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        frame, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(memo)));
    LOGBRUSH fill{};
    GetObjectW(brush, sizeof fill, &fill);
    EXPECT_EQ(fill.lbColor, RGB(192, 192, 192));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 128));
    ReleaseDC(memo, dc);
    EXPECT_NE(GetWindowLongPtrW(memo, GWL_STYLE) & ES_READONLY, 0);
}

// The four dialogs have a dialog's frame (no icon in the caption), no minimise or
// maximise box, and no taskbar entry; the main window is the one with those.
TEST(DialogFrames, DialogsHaveAPlainDialogFrame) {
    for (TForm* dialog :
         std::initializer_list<TForm*>{FrmVisitePhone, AboutBox, FrmRegQQ, FrmGiveMoney}) {
        const LONG_PTR style = GetWindowLongPtrW(dialog->Handle(), GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLongPtrW(dialog->Handle(), GWL_EXSTYLE);
        EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0);
        EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    }
    EXPECT_NE(GetWindowLongPtrW(FrmMain->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

} // namespace
