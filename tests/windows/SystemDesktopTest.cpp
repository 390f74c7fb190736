#include "win32/widgets/SystemDesktop.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

struct ClipboardCase {
    const char* Name;
    std::string Text;
};

class ClipboardTest : public testing::TestWithParam<ClipboardCase> {};

TEST_P(ClipboardTest, TextComesBackAsPut) {
    TSystemDesktop desktop;
    ASSERT_TRUE(desktop.SetClipboardText(GetParam().Text));
    EXPECT_EQ(desktop.ClipboardText(), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClipboardTest,
    testing::Values(ClipboardCase{"Ascii", "quorvin@example.com"},
                    ClipboardCase{"Chinese", "支付宝账号：quorvin@example.com"},
                    ClipboardCase{"OutsideBasicPlane", "𠀀 and 😀"},
                    ClipboardCase{"LineBreaks", "first\r\nsecond"}, ClipboardCase{"Empty", ""}),
    [](const auto& info) { return info.param.Name; });

// Programs that read the ANSI text format get the text from Windows.
TEST(ClipboardTest, OffersAnsiText) {
    TSystemDesktop desktop;
    ASSERT_TRUE(desktop.SetClipboardText("6222 0000 1111"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE memory = GetClipboardData(CF_TEXT);
    const char* text = memory != nullptr ? static_cast<const char*>(GlobalLock(memory)) : nullptr;
    EXPECT_STREQ(text, "6222 0000 1111");
    if (text != nullptr) {
        GlobalUnlock(memory);
    }
    CloseClipboard();
}

// Another thread's window keeps the clipboard open, as another program may.
TEST(ClipboardTest, HeldClipboardIsReportedAndKeepsItsText) {
    TSystemDesktop desktop;
    ASSERT_TRUE(desktop.SetClipboardText("before"));
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    bool held = false;
    bool done = false;
    std::thread holder([&] {
        std::unique_lock<std::mutex> lock(mutex);
        const HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                            nullptr, nullptr, nullptr);
        held = window != nullptr && OpenClipboard(window) != FALSE;
        started = true;
        changed.notify_all();
        changed.wait(lock, [&] { return done; });
        if (held) {
            CloseClipboard();
        }
        DestroyWindow(window);
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return started; });
    }
    const bool set = desktop.SetClipboardText("after");
    {
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    changed.notify_all();
    holder.join();
    ASSERT_TRUE(held);
    EXPECT_FALSE(set);
    EXPECT_EQ(desktop.ClipboardText(), "before");
}

} // namespace
