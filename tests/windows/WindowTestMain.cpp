#include "ScratchFolder.h"
#include "WindowDriver.h"

#include "core/Paths.h"
#include "win32/app/Application.h"
#include "win32/forms/UMain.h"
#include "win32/program/Program.h"

#include <gtest/gtest.h>

// The window tests run against the program itself, started as wWinMain starts it, with
// its files in a scratch folder and a desktop that keeps what it is given.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TScratchFolder folder("quorvin-windows");
    OverrideExecutablePath(folder / "quorvin.exe");
    TRecordingDesktop desktop;
    int result = 1;
    {
        TApplication application;
        StartProgram();
        TestDesktop = &desktop;
        SetDesktop(&desktop);
        FrmMain->Show(SW_SHOWNORMAL);
        ProcessMessages();
        result = RUN_ALL_TESTS();
    }
    return result;
}
