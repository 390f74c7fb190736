#include "core/Paths.h"
#include "core/WideText.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <shellapi.h>

// Besides running the tests, a copy of this program placed elsewhere by a test writes the
// path it finds for itself into a file: core_tests --write-executable-path FILE.
int main(int argc, char** argv) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments != nullptr && count == 3 &&
        std::wstring(arguments[1]) == L"--write-executable-path") {
        WriteBytes(WideToUtf8(arguments[2]), ExecutablePath());
        return 0;
    }
    LocalFree(arguments);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
