#include "core/OwnedWindows.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A window that notes when it goes.
class TNotedWindow {
public:
    TNotedWindow(int number, std::vector<int>& gone) : Number(number), Gone(gone) {}
    ~TNotedWindow() { Gone.push_back(Number); }

private:
    int Number;
    std::vector<int>& Gone;
};

TEST(OwnedWindows, TheFirstIsTheMainWindowAndGoesLast) {
    std::vector<int> gone;
    {
        TOwnedWindows<TNotedWindow> windows;
        EXPECT_EQ(windows.First(), nullptr);
        for (int number = 1; number <= 5; ++number) {
            auto window = std::make_unique<TNotedWindow>(number, gone);
            if (number == 1) {
                const TNotedWindow* main = window.get();
                windows.Add(std::move(window));
                EXPECT_EQ(windows.First(), main);
            } else {
                windows.Add(std::move(window));
            }
        }
    }
    EXPECT_EQ(gone, (std::vector<int>{5, 4, 3, 2, 1}));
}

} // namespace
