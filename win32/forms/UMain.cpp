#include "win32/forms/UMain.h"

#include "UMainLayout.h"

#include "core/AnsiText.h"
#include "core/Desktop.h"
#include "core/HandlerGuard.h"
#include "core/IntegerText.h"
#include "core/MakerDetails.h"
#include "core/Paths.h"
#include "core/WideText.h"
#include "readout/ByteReadout.h"
#include "win32/app/Application.h"
#include "win32/app/Dialogs.h"
#include "win32/forms/UAboutBox.h"
#include "win32/forms/UGiveMoney.h"
#include "win32/forms/UVisitePhone.h"
#include "win32/widgets/ListMemo.h"

#include <commctrl.h>

TFrmMain* FrmMain = nullptr;

namespace {

constexpr int StatusBarHeight = 19;
constexpr int ReadyPanelWidth = 50;

} // namespace

TFrmMain::TFrmMain() : TForm(UMainLayout::Form, TBorder::Single) {
    MemoMemoryList().SetText(u"--\n");
    CreateStatusPanels();
    ConnectHandlers();
}

TFrmMain::~TFrmMain() {
    SaveSettings();
}

void TFrmMain::SaveSettings() {
    try {
        IniDatas.Save();
    } catch (const Exception& error) {
        // Never leaves the destructor. The failure goes to the debugger's output; a box
        // is shown only when it loses a choice that the user made in this run.
        OutputDebugStringW(Utf8ToWide(ErrorBoxText(error.Message)).c_str());
        if (IniDatas.ChoiceChanged()) {
            Application->ShowException(error);
        }
    }
}

TListMemo& TFrmMain::MemoMemoryList() const {
    return *TListMemo::Of(Control(UMainLayout::MemoMemoryList));
}

void TFrmMain::CreateStatusPanels() {
    HWND bar = Control(UMainLayout::StatusBar1);
    MoveWindow(bar, 0, Scale(Layout.ClientHeight - StatusBarHeight), Scale(Layout.ClientWidth),
               Scale(StatusBarHeight), FALSE);
    int edges[] = {Scale(ReadyPanelWidth), -1};
    SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"\u5C31\u7EEA")); // "ready"
    const std::wstring copyright = Utf8ToWide(CopyrightNotice);
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(copyright.c_str()));
}

void TFrmMain::ConnectHandlers() {
    OnClick(UMainLayout::Button1, [this] { Button1Click(); });
    OnClick(UMainLayout::BtnGetMemoryValue, [this] { BtnGetMemoryValueClick(); });
    OnClick(UMainLayout::BtnGerMemoryValueList, [this] { BtnGerMemoryValueListClick(); });
    OnMenu(UMainLayout::MnuExit, [this] { MnuExitClick(); });
    OnMenuOpen(UMainLayout::MnuSet, [this] { MnuSetClick(); });
    OnMenu(UMainLayout::MnuChinese, [this] { MnuChineseClick(); });
    OnMenu(UMainLayout::MnuEnglish, [this] { MnuEnglishClick(); });
    OnMenu(UMainLayout::MnuContent, [this] { MnuContentClick(); });
    OnMenu(UMainLayout::MnuWeb, [this] { MnuWebClick(); });
    OnMenu(UMainLayout::MnuPhone, [this] { MnuPhoneClick(); });
    OnMenu(UMainLayout::MnuAbout, [this] { MnuAboutClick(); });
    OnMenu(UMainLayout::MnuRegiste, [this] { MnuRegisteClick(); });
    OnNotify(UMainLayout::MemoMemoryList, ListMemoCopyRefused,
             [this] { MemoMemoryListCopyRefused(); });
}

bool TFrmMain::IsOwnButton(HWND window) const {
    return window == Control(UMainLayout::Button1) ||
           window == Control(UMainLayout::BtnGetMemoryValue) ||
           window == Control(UMainLayout::BtnGerMemoryValueList);
}

bool TFrmMain::PreTranslate(MSG& message) {
    // Button1's accelerator is the space after its "&": the space bar on any of the
    // window's buttons presses Button1, not the focused button.
    const bool space = (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
                        message.message == WM_CHAR) &&
                       (message.wParam == VK_SPACE || message.wParam == L' ');
    if (space && IsOwnButton(GetFocus())) {
        if (message.message == WM_KEYDOWN) {
            RunGuarded([this] { Button1Click(); });
        }
        return true;
    }
    return TForm::PreTranslate(message);
}

void TFrmMain::Button1Click() {
    ShowPlainMessage(L"OK!");
}

void TFrmMain::BtnGetMemoryValueClick() {
    const int32_t position = StrToInt(WideToUtf8(ControlText(UMainLayout::EditMemoryAddress)));
    const std::string shown = ShownOneByteText(OneByteText(position), CurrentAnsiCodePage());
    SetControlText(UMainLayout::EditShowValue, Utf8ToWide(shown));
}

void TFrmMain::BtnGerMemoryValueListClick() {
    // Lines 0..N-1 and the empty last line; the list makes its lines as they are shown.
    const int32_t count = StrToInt(WideToUtf8(ControlText(UMainLayout::EditMemoryCounter)));
    MemoMemoryList().SetGeneratedLines(count);
}

void TFrmMain::MemoMemoryListCopyRefused() {
    ShowMessageBox(MB_ICONWARNING, Application->Title(),
                   L"\u9009\u4E2D\u7684\u5185\u5BB9\u592A\u5927\uFF0C\u65E0\u6CD5\u590D\u5236\u5230"
                   L"\u526A\u8D34"
                   L"\u677F\u3002\n"
                   L"The selection is too large to copy to the clipboard.");
}

void TFrmMain::MnuExitClick() {
    Close();
}

void TFrmMain::MnuSetClick() {
    CheckMenuItem(MenuItemOwner(UMainLayout::MnuChinese), MenuCommand(UMainLayout::MnuChinese),
                  IniDatas.bChinese ? MF_CHECKED : MF_UNCHECKED);
    CheckMenuItem(MenuItemOwner(UMainLayout::MnuEnglish), MenuCommand(UMainLayout::MnuEnglish),
                  IniDatas.bChinese ? MF_UNCHECKED : MF_CHECKED);
}

void TFrmMain::MnuChineseClick() {
    IniDatas.bChinese = true;
}

void TFrmMain::MnuEnglishClick() {
    IniDatas.bChinese = false;
}

void TFrmMain::MnuContentClick() {
    const std::string helpPath = ChangeFileExt(ExecutablePath(), ".chm");
    if (FileExists(helpPath)) {
        Desktop().Open(helpPath);
        return;
    }
    const std::wstring path = Utf8ToWide(helpPath);
    ShowMessageBox(MB_ICONWARNING, L"\u7CFB\u7EDF\u63D0\u793ASystem Hint",
                   L"\u4E0D\u80FD\u6253\u5F00\u5E2E\u52A9\u6587\u4EF6" + path +
                       L"\r\nCan not Open Help File" + path);
}

void TFrmMain::MnuWebClick() {
    Desktop().Open(WebAddress);
}

void TFrmMain::MnuPhoneClick() {
    FrmVisitePhone->ShowModal();
}

void TFrmMain::MnuAboutClick() {
    AboutBox->ShowModal();
}

void TFrmMain::MnuRegisteClick() {
    FrmGiveMoney->ShowModal();
    ShowPlainMessage(L"OK!");
}
