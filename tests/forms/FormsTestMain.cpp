#include "app/Application.h"
#include "core/Paths.h"
#include "program/Program.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

// The window tests run inside one application object with the program's five
// windows, as the program does. The program's files (settings, help) go to a
// scratch folder instead of beside the test binary or into the user's home.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Without a display of their own (also while CTest lists them) the tests draw offscreen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char folder[] = "/tmp/quorvin-forms-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return 1;
    }
    OverrideExecutablePath(std::string(folder) + "/quorvin");
    setenv("XDG_CONFIG_HOME", (std::string(folder) + "/config").c_str(), 1);
    int failed = 0;
    {
        TApplication application(argv[0]);
        Application = &application;
        StartProgram();
        failed = RUN_ALL_TESTS();
    }
    std::filesystem::remove_all(folder);
    return failed;
}
