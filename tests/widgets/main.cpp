#include "widgets/ListMemoAccessible.h"
#include "widgets/SystemDesktop.h"

#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need an application object; the memo reaches the clipboard through
// the desktop. Listing the tests needs no display, so it runs without one.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QApplication application(argc, argv);
    SetDesktop(&SystemDesktop());
    InstallListMemoAccessibility();
    return RUN_ALL_TESTS();
}
