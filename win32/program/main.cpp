#include "win32/app/Application.h"
#include "win32/program/Program.h"

// Start-up, then the run; whatever fails on the way is shown in one error box. The
// exit code is 0 in every case; the windows are destroyed with the application object.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showState) {
    TApplication application;
    try {
        StartProgram();
        Application->Run(showState);
    } catch (const Exception& error) {
        Application->ShowException(error);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    return 0;
}
