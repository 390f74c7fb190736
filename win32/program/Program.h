#pragma once

// The program's start-up, shared by wWinMain and the window tests: initialises the
// application object, sets its title, puts the Windows desktop in place and creates
// the five windows in their fixed order, the main window first, all hidden.
void StartProgram();
