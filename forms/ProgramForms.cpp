#include "ProgramForms.h"

#include "Application.h"
#include "UAboutBox.h"
#include "UFrmRegQQ.h"
#include "UGiveMoney.h"
#include "UMain.h"
#include "UVisitePhone.h"

void CreateProgramForms() {
    Application->CreateForm(FrmMain);
    Application->CreateForm(FrmVisitePhone);
    Application->CreateForm(AboutBox);
    Application->CreateForm(FrmRegQQ);
    Application->CreateForm(FrmGiveMoney);
}
