#include "win32/Program.h"

#include "core/Desktop.h"
#include "win32/Application.h"
#include "win32/SystemDesktop.h"
#include "win32/UAboutBox.h"
#include "win32/UFrmRegQQ.h"
#include "win32/UGiveMoney.h"
#include "win32/UMain.h"
#include "win32/UVisitePhone.h"

void StartProgram() {
    static TSystemDesktop systemDesktop;
    Application->Initialize();
    Application->SetTitle(L"Quorvin");
    SetDesktop(&systemDesktop);
    Application->CreateForm(FrmMain);
    Application->CreateForm(FrmVisitePhone);
    Application->CreateForm(AboutBox);
    Application->CreateForm(FrmRegQQ);
    Application->CreateForm(FrmGiveMoney);
}
