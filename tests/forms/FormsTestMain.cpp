#include "Application.h"

#include <gtest/gtest.h>

// The window tests run inside one application object, as the program does.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TApplication application(argc, argv);
    Application = &application;
    Application->Initialize();
    Application->Title = QStringLiteral("Quorvin");
    return RUN_ALL_TESTS();
}
