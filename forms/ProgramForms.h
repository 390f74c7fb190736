#pragma once

// Creates the program's five windows through the application object, in their fixed
// order: the main window first (so it becomes the main window), then the dialogs
// FrmVisitePhone, AboutBox, FrmRegQQ and FrmGiveMoney. All are hidden.
void CreateProgramForms();
