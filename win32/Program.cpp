#include "win32/Program.h"

#include "settings/Uinidatas.h"
#include "win32/Application.h"
#include "win32/Desktop.h"
#include "win32/SystemDesktop.h"
#include "win32/UAboutBox.h"
#include "win32/UFrmRegQQ.h"
#include "win32/UGiveMoney.h"
#include "win32/UMain.h"
#include "win32/UVisitePhone.h"

namespace {

// The shell and the clipboard of Windows behind the replaceable desktop interface.
class TWindowsDesktop final : public TDesktop {
public:
    void Open(const std::string& fileOrAddress) override { System.Open(fileOrAddress); }
    bool SetClipboardText(const std::string& text) override {
        return System.SetClipboardText(text);
    }
    std::string ClipboardText() override { return System.ClipboardText(); }

private:
    TSystemDesktop System;
};

} // namespace

void StartProgram() {
    static TWindowsDesktop windowsDesktop;
    Application->Initialize();
    Application->SetTitle(L"Quorvin");
    SetDesktop(&windowsDesktop);
    // A language choice that cannot be saved at exit is shown, not lost silently.
    TIniDatas::OnLostChoice = [](const std::string& message) {
        Application->ShowException(Exception(message));
    };
    Application->CreateForm(FrmMain);
    Application->CreateForm(FrmVisitePhone);
    Application->CreateForm(AboutBox);
    Application->CreateForm(FrmRegQQ);
    Application->CreateForm(FrmGiveMoney);
}
