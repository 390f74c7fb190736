#include "win32/program/Program.h"

#include "core/Desktop.h"
#include "win32/app/Application.h"
#include "win32/forms/UAboutBox.h"
#include "win32/forms/UFrmRegQQ.h"
#include "win32/forms/UGiveMoney.h"
#include "win32/forms/UMain.h"
#include "win32/forms/UVisitePhone.h"
#include "win32/widgets/SystemDesktop.h"

void StartProgram() {
    Application->Initialize();
    Application->SetTitle(L"Quorvin");
    // The application's hidden window asks the shell and holds the clipboard.
    static TSystemDesktop systemDesktop(Application->Handle());
    SetDesktop(&systemDesktop);
    Application->CreateForm(FrmMain);
    Application->CreateForm(FrmVisitePhone);
    Application->CreateForm(AboutBox);
    Application->CreateForm(FrmRegQQ);
    Application->CreateForm(FrmGiveMoney);
}
