#include "WindowDriver.h"

#include "UMainLayout.h"

#include "editor/AccessibleText.h"
#include "win32/forms/UMain.h"
#include "win32/widgets/ListMemo.h"
#include "win32/widgets/ListMemoAutomation.h"
#include "win32/widgets/UiaTextProvider.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

// The list control's UI Automation element. Wine's client side finds the element and reads
// its properties, but has no Text pattern for clients (UiaGetPatternProvider is missing
// and no CUIAutomation is registered), so the text provider is asked in the process, as
// UI Automation would ask it.

namespace {

constexpr HRESULT ElementNotAvailable = static_cast<HRESULT>(0x80040201);

HWND ListWindow() {
    return FrmMain->Control(UMainLayout::MemoMemoryList);
}

TListMemo& List() {
    return *TListMemo::Of(ListWindow());
}

struct TRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename TInterface> using TComPtr = std::unique_ptr<TInterface, TRelease>;

TComPtr<ITextProvider> TextOf(IRawElementProviderSimple* element) {
    IUnknown* pattern = nullptr;
    ITextProvider* text = nullptr;
    if (element != nullptr && SUCCEEDED(element->GetPatternProvider(UIA_TextPatternId, &pattern)) &&
        pattern != nullptr) {
        pattern->QueryInterface(__uuidof(ITextProvider), reinterpret_cast<void**>(&text));
        pattern->Release();
    }
    return TComPtr<ITextProvider>(text);
}

TComPtr<ITextProvider> TextPattern() {
    return TextOf(ListMemoAutomationProvider(ListWindow()));
}

TComPtr<ITextRangeProvider> DocumentRange() {
    ITextRangeProvider* range = nullptr;
    EXPECT_HRESULT_SUCCEEDED(TextPattern()->get_DocumentRange(&range));
    return TComPtr<ITextRangeProvider>(range);
}

TComPtr<ITextRangeProvider> SelectionRange() {
    SAFEARRAY* ranges = nullptr;
    EXPECT_HRESULT_SUCCEEDED(TextPattern()->GetSelection(&ranges));
    LONG last = -1;
    SafeArrayGetUBound(ranges, 1, &last);
    EXPECT_EQ(last, 0) << "one selection";
    IUnknown* range = nullptr;
    LONG first = 0;
    SafeArrayGetElement(ranges, &first, &range);
    SafeArrayDestroy(ranges);
    return TComPtr<ITextRangeProvider>(static_cast<ITextRangeProvider*>(range));
}

std::u16string TextOf(ITextRangeProvider* range) {
    BSTR text = nullptr;
    EXPECT_HRESULT_SUCCEEDED(range->GetText(-1, &text));
    std::u16string result(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
    SysFreeString(text);
    return result;
}

void FillList(const wchar_t* count) {
    SetTextOf(FrmMain->Control(UMainLayout::EditMemoryCounter), count);
    Click(FrmMain->Control(UMainLayout::BtnGerMemoryValueList));
    SetFocus(ListWindow());
    ProcessMessages();
}

// A client on a thread of its own (as UI Automation wants it), the window's thread
// serving it meanwhile.
TEST(ListAutomation, ClientsFindAFocusedEdit) {
    HMODULE core = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto take = [&](const char* name) {
        return reinterpret_cast<void (*)()>(GetProcAddress(core, name));
    };
    const auto nodeFromHandle =
        reinterpret_cast<HRESULT(WINAPI*)(HWND, void**)>(take("UiaNodeFromHandle"));
    const auto propertyOf = reinterpret_cast<HRESULT(WINAPI*)(void*, PROPERTYID, VARIANT*)>(
        take("UiaGetPropertyValue"));
    const auto release = reinterpret_cast<BOOL(WINAPI*)(void*)>(take("UiaNodeRelease"));
    if (nodeFromHandle == nullptr || propertyOf == nullptr || release == nullptr) {
        GTEST_SKIP() << "no UI Automation client here";
    }
    SetFocus(ListWindow());
    HWND window = ListWindow();
    VARIANT controlType;
    VARIANT focused;
    VariantInit(&controlType);
    VariantInit(&focused);
    std::atomic<bool> done{false};
    std::thread client([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        void* node = nullptr;
        if (SUCCEEDED(nodeFromHandle(window, &node))) {
            propertyOf(node, UIA_ControlTypePropertyId, &controlType);
            propertyOf(node, UIA_HasKeyboardFocusPropertyId, &focused);
            release(node);
        }
        CoUninitialize();
        done = true;
    });
    for (const DWORD began = GetTickCount(); !done && GetTickCount() - began < 10000;) {
        ProcessMessages();
        Sleep(1);
    }
    client.join();
    EXPECT_EQ(controlType.vt, VT_I4);
    EXPECT_EQ(controlType.lVal, EditControlTypeId);
    EXPECT_EQ(focused.vt, VT_BOOL);
    EXPECT_EQ(focused.boolVal, VARIANT_TRUE);
}

TEST(ListAutomation, TheDocumentRangeIsTheWholeText) {
    FillList(L"200");
    ASSERT_EQ(List().Editor().LineCount(), 201);
    const TAccessibleText text(List().Editor());
    EXPECT_EQ(TextOf(DocumentRange().get()), text.Text(0, text.Length()));
    int64_t length = List().Editor().LineCount() - 1;
    for (int64_t line = 0; line < List().Editor().LineCount(); ++line) {
        length += List().Editor().LineLength(line);
    }
    EXPECT_EQ(text.Length(), length);
}

// 2147483647 lines are not made into one text: the range gives the lines around the view
// and the caret.
TEST(ListAutomation, AHugeListGivesTheLinesAroundTheCaret) {
    FillList(L"2147483647");
    for (int line = 0; line < 150; ++line) {
        PressKey(VK_DOWN);
    }
    const TListEditor& editor = List().Editor();
    const TAccessibleText accessible(editor);
    const std::u16string text = TextOf(DocumentRange().get());
    EXPECT_LT(text.size(), 100000U);
    EXPECT_EQ(text, accessible.Text(0, accessible.Length()));
    TComPtr<ITextRangeProvider> caret = SelectionRange();
    caret->ExpandToEnclosingUnit(TextUnit_Line);
    EXPECT_EQ(TextOf(caret.get()), editor.LineText(150) + u"\n");
}

struct TSelectionCase {
    const char* Name;
    std::vector<TStep> Keys;
    const char16_t* Selected;
    TTextPos Start;
};

class SelectionTest : public testing::TestWithParam<TSelectionCase> {};

// What a screen reader is told is selected follows the keys.
TEST_P(SelectionTest, FollowsTheKeys) {
    List().SetText(u"alpha beta\ngamma delta");
    SetFocus(ListWindow());
    for (const TStep& key : GetParam().Keys) {
        key();
    }
    TComPtr<ITextRangeProvider> selection = SelectionRange();
    EXPECT_EQ(TextOf(selection.get()), GetParam().Selected);
    TComPtr<ITextRangeProvider> start = DocumentRange();
    int moved = 0;
    start->MoveEndpointByUnit(TextPatternRangeEndpoint_End, TextUnit_Document, -1, &moved);
    start->MoveEndpointByUnit(TextPatternRangeEndpoint_End, TextUnit_Line,
                              static_cast<int>(GetParam().Start.Line), &moved);
    start->MoveEndpointByUnit(TextPatternRangeEndpoint_End, TextUnit_Character,
                              static_cast<int>(GetParam().Start.Column), &moved);
    int distance = -1;
    selection->CompareEndpoints(TextPatternRangeEndpoint_Start, start.get(),
                                TextPatternRangeEndpoint_End, &distance);
    EXPECT_EQ(distance, 0);
}

TStep Key(WPARAM key, bool control = false, bool shift = false) {
    return [=] {
        PressKey(key, control, shift);
        return true;
    };
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SelectionTest,
    testing::Values(
        TSelectionCase{"Caret", {Key(VK_DOWN), Key(VK_RIGHT)}, u"", {1, 1}},
        TSelectionCase{"Characters",
                       {Key(VK_RIGHT), Key(VK_RIGHT, false, true), Key(VK_RIGHT, false, true)},
                       u"lp",
                       {0, 1}},
        TSelectionCase{
            "WordAndLineBreak",
            {Key(VK_END), Key(VK_LEFT, true), Key(VK_RIGHT, true, true), Key(VK_RIGHT, true, true)},
            u"beta\n",
            {0, 6}},
        TSelectionCase{
            "Backwards", {Key(VK_END, true), Key(VK_HOME, false, true)}, u"gamma delta", {1, 0}}),
    [](const auto& info) { return info.param.Name; });

struct TUnitCase {
    const char* Name;
    TTextPos Caret;
    TextUnit Unit;
    int Count;
    int Moved;
    const char16_t* Text;
};

class UnitTest : public testing::TestWithParam<TUnitCase> {};

// The caret's range expanded to a unit, then moved by whole units.
TEST_P(UnitTest, ExpandsAndMoves) {
    List().SetText(u"ab\U0001F600c\nsecond line\nthird");
    List().Editor().SetSelection(GetParam().Caret, GetParam().Caret);
    TComPtr<ITextRangeProvider> range = SelectionRange();
    ASSERT_HRESULT_SUCCEEDED(range->ExpandToEnclosingUnit(GetParam().Unit));
    int moved = 0;
    ASSERT_HRESULT_SUCCEEDED(range->Move(GetParam().Unit, GetParam().Count, &moved));
    EXPECT_EQ(moved, GetParam().Moved);
    EXPECT_EQ(TextOf(range.get()), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitTest,
    testing::Values(
        TUnitCase{"SurrogatePair", {0, 2}, TextUnit_Character, 0, 0, u"\U0001F600"},
        TUnitCase{"BackOverPair", {0, 4}, TextUnit_Character, -1, -1, u"\U0001F600"},
        TUnitCase{"LineDown", {0, 1}, TextUnit_Line, 1, 1, u"second line\n"},
        TUnitCase{"LinesPastTheEnd", {0, 1}, TextUnit_Line, 5, 2, u"third"},
        TUnitCase{"Paragraph", {1, 8}, TextUnit_Paragraph, -1, -1, u"ab\U0001F600c\n"},
        TUnitCase{"NextWord", {1, 2}, TextUnit_Word, 1, 1, u"line"},
        TUnitCase{"FormatIsWord", {1, 2}, TextUnit_Format, 0, 0, u"second "},
        TUnitCase{
            "PageIsDocument", {1, 0}, TextUnit_Page, 0, 0, u"ab\U0001F600c\nsecond line\nthird"},
        TUnitCase{
            "Document", {1, 0}, TextUnit_Document, 1, 0, u"ab\U0001F600c\nsecond line\nthird"}),
    [](const auto& info) { return info.param.Name; });

TEST(ListAutomation, SelectingARangeSelectsItsText) {
    List().SetText(u"one\ntwo three\nfour");
    TComPtr<ITextRangeProvider> range = DocumentRange();
    int moved = 0;
    range->MoveEndpointByUnit(TextPatternRangeEndpoint_Start, TextUnit_Line, 1, &moved);
    range->MoveEndpointByUnit(TextPatternRangeEndpoint_End, TextUnit_Character, -3, &moved);
    ASSERT_HRESULT_SUCCEEDED(range->Select());
    const TListEditor& editor = List().Editor();
    EXPECT_EQ(editor.Anchor(), (TTextPos{1, 0}));
    EXPECT_EQ(editor.Caret(), (TTextPos{2, 1}));
    BOOL same = FALSE;
    EXPECT_HRESULT_SUCCEEDED(SelectionRange()->Compare(range.get(), &same));
    EXPECT_TRUE(same);
}

// A client may hold the element after the control has gone: it is told so.
TEST(ListAutomation, AGoneControlAnswersNoMore) {
    HWND window = CreateWindowExW(0, ListMemoClassName, L"", WS_CHILD, 0, 0, 100, 100,
                                  FrmMain->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    IRawElementProviderSimple* element = ListMemoAutomationProvider(window);
    ASSERT_NE(element, nullptr);
    element->AddRef();
    TComPtr<ITextProvider> text = TextOf(element);
    ASSERT_NE(text, nullptr);
    ITextRangeProvider* range = nullptr;
    ASSERT_HRESULT_SUCCEEDED(text->get_DocumentRange(&range));
    DestroyWindow(window);
    ITextRangeProvider* after = nullptr;
    EXPECT_EQ(text->get_DocumentRange(&after), ElementNotAvailable);
    EXPECT_EQ(range->Select(), ElementNotAvailable);
    VARIANT type;
    EXPECT_EQ(element->GetPropertyValue(UIA_ControlTypePropertyId, &type), ElementNotAvailable);
    range->Release();
    element->Release();
}

} // namespace
