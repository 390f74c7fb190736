#include "app/Application.h"
#include "core/Desktop.h"
#include "core/HandlerGuard.h"
#include "program/Program.h"

// Start-up: the application object, the program's windows, then the run. Whatever fails
// on the way is shown in one error box; the program always ends with exit code 0.
int main(int argc, char** argv) {
    TApplication application(argc > 0 ? argv[0] : nullptr);
    Application = &application;
    // The start-up's guard is the handlers' own: one error box.
    RunGuarded([] {
        StartProgram();
        Application->Run();
        Desktop().HandOverClipboard();
    });
    return 0;
}
