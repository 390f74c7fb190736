#include "WindowDriver.h"

#include "UMainLayout.h"

#include "core/WideText.h"
#include "win32/forms/UMain.h"
#include "win32/widgets/ListMemo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HWND ListWindow() {
    return FrmMain->Control(UMainLayout::MemoMemoryList);
}

int WidthOf(const std::u16string& text) {
    HWND window = ListWindow();
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()),
                          static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

bool IsSpace(char16_t character) {
    return character == u' ';
}

struct TRowSpan {
    int64_t Start;
    int64_t End;
};

// The line's rows as Home and End find them, walking down with Down; the caret must stay
// inside the control at every row's end.
std::vector<TRowSpan> RowsByKeys(const TListMemo& list, int64_t length) {
    RECT client;
    GetClientRect(ListWindow(), &client);
    std::vector<TRowSpan> rows;
    PressKey(VK_HOME, true);
    for (int64_t start = 0; rows.size() < 1000;) {
        PressKey(VK_END);
        rows.push_back({start, list.Editor().Caret().Column});
        POINT caret{-1, -1};
        GetCaretPos(&caret);
        EXPECT_TRUE(caret.x >= 0 && caret.x < client.right && caret.y >= 0 &&
                    caret.y < client.bottom)
            << "row " << rows.size() << " caret at " << caret.x << "," << caret.y;
        if (list.Editor().Caret().Column == length) {
            break;
        }
        // A row broken at spaces keeps its end; one broken inside a word ends where the
        // next row starts, so Home already goes there.
        PressKey(VK_HOME);
        if (list.Editor().Caret().Column == start) {
            PressKey(VK_DOWN);
            PressKey(VK_HOME);
        }
        if (list.Editor().Caret().Column <= start) {
            ADD_FAILURE() << "Down does not reach the row after column " << start;
            break;
        }
        start = list.Editor().Caret().Column;
    }
    return rows;
}

struct TWrapCase {
    const char* Name;
    const char16_t* Piece;
    int Repeat;
    bool Typed;
    bool BreaksAtSpaces;
};

class ListWrapTest : public testing::TestWithParam<TWrapCase> {};

TEST_P(ListWrapTest, LongLineWrapsIntoFullRowsThatHoldAllItsText) {
    TListMemo& list = FrmMain->MemoMemoryList();
    list.SetText(u"");
    SetFocus(ListWindow());
    std::u16string line;
    for (int piece = 0; piece < GetParam().Repeat; ++piece) {
        line += GetParam().Piece;
    }
    if (GetParam().Typed) {
        for (const char16_t character : line) {
            TypeCharacter(static_cast<wchar_t>(character));
        }
    } else {
        TestDesktop->Clipboard = WideToUtf8(std::wstring(line.begin(), line.end()));
        PressKey('V', true);
    }
    ASSERT_EQ(list.Editor().LineText(0), line);
    EXPECT_EQ(GetWindowLongW(ListWindow(), GWL_STYLE) & WS_HSCROLL, 0);

    RECT client;
    GetClientRect(ListWindow(), &client);
    const auto length = static_cast<int64_t>(line.size());
    const std::vector<TRowSpan> rows = RowsByKeys(list, length);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows.back().End, length);
    for (size_t index = 0; index < rows.size(); ++index) {
        const TRowSpan row = rows[index];
        SCOPED_TRACE("row " + std::to_string(index));
        const auto text =
            line.substr(static_cast<size_t>(row.Start), static_cast<size_t>(row.End - row.Start));
        EXPECT_LE(WidthOf(text), client.right);
        if (index + 1 == rows.size()) {
            break;
        }
        // Only the spaces the row was broken at are between it and the next row.
        const int64_t next = rows[index + 1].Start;
        ASSERT_LE(row.End, next);
        for (int64_t column = row.End; column < next; ++column) {
            EXPECT_TRUE(IsSpace(line[static_cast<size_t>(column)]));
        }
        EXPECT_EQ(row.End < next, GetParam().BreaksAtSpaces);
        // The row is full: with the next word (or character) it would not fit. Rows at the
        // end of a chunk of a long line are wrapped on their own.
        if (next % TLineChunks::ChunkChars != 0) {
            int64_t wordEnd = next + 1;
            while (GetParam().BreaksAtSpaces && wordEnd < length &&
                   !IsSpace(line[static_cast<size_t>(wordEnd)])) {
                ++wordEnd;
            }
            EXPECT_GT(WidthOf(line.substr(static_cast<size_t>(row.Start),
                                          static_cast<size_t>(wordEnd - row.Start))),
                      client.right - 8);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ListWrapTest,
                         testing::Values(TWrapCase{"TypedWords", u"wrap me ", 40, true, true},
                                         TWrapCase{"PastedWithoutSpaces", u"0123456789abcdef", 200,
                                                   false, false}),
                         [](const auto& info) { return info.param.Name; });

// Scrolling goes by rows; the bar still reaches the last of 2147483648 lines.
TEST(ListWrap, ListOfTheLargestCountScrollsToItsEnd) {
    SetTextOf(FrmMain->Control(UMainLayout::EditMemoryCounter), L"2147483647");
    Click(FrmMain->Control(UMainLayout::BtnGerMemoryValueList));
    TListMemo& list = FrmMain->MemoMemoryList();
    PostMessageW(ListWindow(), WM_VSCROLL, SB_PAGEDOWN, 0);
    ProcessMessages();
    const int64_t page = list.Editor().TopLine();
    EXPECT_GT(page, 1);
    PostMessageW(ListWindow(), WM_VSCROLL, SB_BOTTOM, 0);
    ProcessMessages();
    EXPECT_EQ(list.Editor().TopLine(), 2147483648 - page);
    PostMessageW(ListWindow(), WM_VSCROLL, SB_LINEUP, 0);
    ProcessMessages();
    EXPECT_EQ(list.Editor().TopLine(), 2147483647 - page);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(ListWindow(), SB_VERT, &info);
    EXPECT_EQ(info.nPos, info.nMax - static_cast<int>(info.nPage));
}

} // namespace
