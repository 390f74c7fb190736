// Each built window read back against the table made from its .ui file: sizes and places,
// captions, fonts, styles, the Tab order and the menus.

#include "UAboutBoxLayout.h"
#include "UFrmRegQQLayout.h"
#include "UGiveMoneyLayout.h"
#include "UMainLayout.h"
#include "UVisitePhoneLayout.h"

#include "core/WideText.h"
#include "win32/forms/UAboutBox.h"
#include "win32/forms/UFrmRegQQ.h"
#include "win32/forms/UGiveMoney.h"
#include "win32/forms/UMain.h"
#include "win32/forms/UVisitePhone.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TLayoutCase {
    const char* Name;
    TForm** Form;
    const TFormLayout* Layout;
};

class UiTableTest : public testing::TestWithParam<TLayoutCase> {
protected:
    const TForm& Form() const { return **GetParam().Form; }
    const TFormLayout& Layout() const { return *GetParam().Layout; }
};

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());
    return text;
}

RECT ExpectedRect(const TFormLayout& layout, int index) {
    const TControlEntry& entry = layout.Controls[index];
    int left = entry.Left;
    int top = entry.Top;
    for (int parent = entry.Parent; parent >= 0; parent = layout.Controls[parent].Parent) {
        left += layout.Controls[parent].Left;
        top += layout.Controls[parent].Top;
    }
    return RECT{TForm::Scale(left), TForm::Scale(top), TForm::Scale(left + entry.Width),
                TForm::Scale(top + entry.Height)};
}

// Client areas and the rectangles of the controls that take their size from the .ui
// (labels and images may take the size of their text or picture).
TEST_P(UiTableTest, SizesAreThoseOfTheUiFile) {
    RECT client;
    GetClientRect(Form().Handle(), &client);
    EXPECT_EQ(client.right, TForm::Scale(Layout().ClientWidth));
    EXPECT_EQ(client.bottom, TForm::Scale(Layout().ClientHeight));
    for (int index = 0; index < Layout().ControlCount; ++index) {
        const TControlKind kind = Layout().Controls[index].Kind;
        if (kind == TControlKind::Label || kind == TControlKind::StatusBar) {
            continue;
        }
        RECT actual;
        GetWindowRect(Form().Control(index), &actual);
        MapWindowPoints(nullptr, Form().Handle(), reinterpret_cast<POINT*>(&actual), 2);
        const RECT expected = ExpectedRect(Layout(), index);
        EXPECT_TRUE(EqualRect(&actual, &expected)) << WideToUtf8(Layout().Controls[index].Name);
    }
}

// Captions of labels, buttons and frames (where the program does not fill them at run
// time; edits hold what earlier tests typed), fonts and the styles the table asks for; the
// window's own caption.
TEST_P(UiTableTest, ControlsCarryTheirCaptionsFontsAndStyles) {
    EXPECT_EQ(TextOf(Form().Handle()), Layout().Caption);
    for (int index = 0; index < Layout().ControlCount; ++index) {
        const TControlEntry& entry = Layout().Controls[index];
        const HWND control = Form().Control(index);
        const std::string name = WideToUtf8(entry.Name);
        const bool fixedCaption = entry.Kind == TControlKind::Label ||
                                  entry.Kind == TControlKind::Button ||
                                  entry.Kind == TControlKind::GroupBox;
        if (fixedCaption && *entry.Caption != L'\0') {
            EXPECT_EQ(TextOf(control), entry.Caption) << name;
        }
        if (entry.Kind != TControlKind::StatusBar && entry.Kind != TControlKind::Panel) {
            const TFontEntry& font = entry.Font.Family != nullptr ? entry.Font : Layout().Font;
            LOGFONTW shown{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                       sizeof shown, &shown);
            // The Song typeface is SimSun on Windows.
            EXPECT_EQ(std::wstring(shown.lfFaceName),
                      std::wstring(font.Family) == L"\u5B8B\u4F53" ? L"SimSun" : font.Family)
                << name;
            EXPECT_EQ(shown.lfHeight, -TForm::Scale(font.PixelHeight)) << name;
        }
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        EXPECT_EQ((style & WS_TABSTOP) != 0, (entry.Flags & TControlFlag::TabStop) != 0) << name;
        EXPECT_EQ((style & WS_VSCROLL) != 0, (entry.Flags & TControlFlag::VerticalScrollBar) != 0)
            << name;
        if (entry.Kind == TControlKind::Edit || entry.Kind == TControlKind::Memo) {
            EXPECT_EQ((style & ES_READONLY) != 0, (entry.Flags & TControlFlag::ReadOnly) != 0)
                << name;
        }
    }
}

// Tab walks the tab stops in the table's order, and round to the first.
TEST_P(UiTableTest, TabFollowsTheTableOrder) {
    std::vector<int> stops;
    for (int index = 0; index < Layout().ControlCount; ++index) {
        const int control = Layout().CreationOrder[index];
        if (Layout().Controls[control].Flags & TControlFlag::TabStop) {
            stops.push_back(control);
        }
    }
    ASSERT_FALSE(stops.empty());
    for (size_t step = 0; step < stops.size(); ++step) {
        const HWND next = GetNextDlgTabItem(Form().Handle(), Form().Control(stops[step]), FALSE);
        EXPECT_EQ(next, Form().Control(stops[(step + 1) % stops.size()]))
            << WideToUtf8(Layout().Controls[stops[step]].Name);
    }
}

// The menu bar holds the table's menus in order, with their captions and separators, and
// nothing else.
TEST_P(UiTableTest, MenusAreThoseOfTheTable) {
    const HMENU bar = GetMenu(Form().Handle());
    ASSERT_EQ(bar != nullptr, Layout().MenuCount > 0);
    const auto count = static_cast<size_t>(Layout().MenuCount);
    std::vector<HMENU> submenus(count, nullptr);
    std::vector<int> itemCounts(count, 0);
    int barItems = 0;
    for (size_t index = 0; index < count; ++index) {
        const TMenuEntry& entry = Layout().Menus[index];
        const auto parent = static_cast<size_t>(entry.Parent);
        const HMENU holder = entry.Parent < 0 ? bar : submenus[parent];
        ASSERT_NE(holder, nullptr) << WideToUtf8(entry.Name);
        const int position = entry.Parent < 0 ? barItems++ : itemCounts[parent]++;
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(holder, static_cast<UINT>(position), TRUE, &item);
        if (entry.Flags & TMenuFlag::Separator) {
            EXPECT_NE(item.fType & MFT_SEPARATOR, 0u) << WideToUtf8(entry.Name);
        } else {
            wchar_t caption[128] = {};
            GetMenuStringW(holder, static_cast<UINT>(position), caption, 128, MF_BYPOSITION);
            EXPECT_STREQ(caption, entry.Caption);
        }
        submenus[index] = GetSubMenu(holder, position);
    }
    if (bar != nullptr) {
        EXPECT_EQ(GetMenuItemCount(bar), barItems);
    }
    for (size_t index = 0; index < count; ++index) {
        if (submenus[index] != nullptr) {
            EXPECT_EQ(GetMenuItemCount(submenus[index]), itemCounts[index])
                << WideToUtf8(Layout().Menus[index].Name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, UiTableTest,
    testing::Values(
        TLayoutCase{"Main", reinterpret_cast<TForm**>(&FrmMain), &UMainLayout::Form},
        TLayoutCase{"Phone", reinterpret_cast<TForm**>(&FrmVisitePhone), &UVisitePhoneLayout::Form},
        TLayoutCase{"About", reinterpret_cast<TForm**>(&AboutBox), &UAboutBoxLayout::Form},
        TLayoutCase{"QQ", reinterpret_cast<TForm**>(&FrmRegQQ), &UFrmRegQQLayout::Form},
        TLayoutCase{"Support", reinterpret_cast<TForm**>(&FrmGiveMoney), &UGiveMoneyLayout::Form}),
    [](const auto& info) { return info.param.Name; });

} // namespace
