#include "Application.h"
#include "ProgramForms.h"

// Start-up: the application object, its title, the windows in their fixed order,
// then the run. Whatever fails on the way is shown in one error box; the program
// always ends with exit code 0.
int main(int argc, char** argv) {
    TApplication application(argc, argv);
    Application = &application;
    try {
        Application->Initialize();
        Application->Title = QStringLiteral("Quorvin");
        CreateProgramForms();
        Application->Run();
    } catch (const Exception& error) {
        Application->ShowException(error);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    return 0;
}
