#include "program/Program.h"

#include "app/Application.h"
#include "forms/UAboutBox.h"
#include "forms/UFrmRegQQ.h"
#include "forms/UGiveMoney.h"
#include "forms/UMain.h"
#include "forms/UVisitePhone.h"
#include "widgets/ListMemoAccessible.h"
#include "widgets/SystemDesktop.h"

void StartProgram() {
    Application->Initialize();
    Application->Title = QStringLiteral("Quorvin");
    SetDesktop(&SystemDesktop());
    InstallListMemoAccessibility();
    Application->CreateForm(FrmMain);
    Application->CreateForm(FrmVisitePhone);
    Application->CreateForm(AboutBox);
    Application->CreateForm(FrmRegQQ);
    Application->CreateForm(FrmGiveMoney);
}
