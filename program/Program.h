#pragma once

// Starts the program inside the application object that `Application` names: sets it up,
// gives it its title "Quorvin", puts the desktop and the screen-reader support in place
// and creates the five windows in their fixed order, all hidden: the main window first
// (so it becomes the main window), then FrmVisitePhone, AboutBox, FrmRegQQ and
// FrmGiveMoney. The entry point then runs the application; the window tests run
// instead.
void StartProgram();
