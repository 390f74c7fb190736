#include "win32/widgets/SystemDesktop.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A desktop with a hidden window of its own as the owner, as the program's application
// window is.
class TOwnedDesktop {
public:
    TOwnedDesktop()
        : Owner(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr)),
          Desktop(Owner) {}
    ~TOwnedDesktop() { DestroyWindow(Owner); }

    const HWND Owner;
    TSystemDesktop Desktop;
};

struct ClipboardCase {
    const char* Name;
    std::string Text;
};

class ClipboardTest : public testing::TestWithParam<ClipboardCase> {};

// Windows lets only a clipboard opened by a window keep text put there after emptying it
// (Wine lets it through without one): the owner is the desktop's window.
TEST_P(ClipboardTest, TextComesBackAsPutAndTheOwnerHoldsIt) {
    TOwnedDesktop owned;
    ASSERT_TRUE(owned.Desktop.SetClipboardText(GetParam().Text));
    EXPECT_EQ(GetClipboardOwner(), owned.Owner);
    EXPECT_EQ(owned.Desktop.ClipboardText(), GetParam().Text);
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
    TOwnedDesktop owned;
    ASSERT_TRUE(owned.Desktop.SetClipboardText("6222 0000 1111"));
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
    TOwnedDesktop owned;
    TSystemDesktop& desktop = owned.Desktop;
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
