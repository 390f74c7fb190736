#include "Application.h"

#include <gtest/gtest.h>

// The widget tests need an application object; the model tests run under it too.
// Listing the tests needs no display, so it runs without one.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    TApplication application(argc, argv);
    Application = &application;
    Application->Initialize();
    Application->Title = QStringLiteral("Quorvin");
    return RUN_ALL_TESTS();
}
