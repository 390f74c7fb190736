#include "win32/ListMemo.h"

#include "core/Desktop.h"
#include "core/HandlerGuard.h"
#include "core/WideText.h"
#include "win32/Application.h"
#include "win32/ListMemoAccessible.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// The scroll bar's positions are 32-bit: beyond this many lines to scroll through,
// one position stands for several lines.
constexpr int64_t ScrollLimit = int64_t{1} << 30;
constexpr int WheelLines = 3;
// Space between the text and the control's left and right edges.
constexpr int TextMargin = 2;

std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string ToUtf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

} // namespace

LRESULT CALLBACK ListMemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TListMemo(window)));
    }
    TListMemo* memo = TListMemo::Of(window);
    if (memo == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete memo;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return memo->HandleMessage(message, wParam, lParam);
}

void RegisterListMemoClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ListMemoProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = ListMemoClassName;
    RegisterClassExW(&windowClass);
}

TListMemo::TListMemo(HWND window) : Window(window), Rows(Doc, window) {}

TListMemo* TListMemo::Of(HWND window) {
    return reinterpret_cast<TListMemo*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void TListMemo::SetText(const std::u16string& text) {
    Doc.SetText(text);
    Rows.ForgetAll();
    CaretPos = Anchor = TopPos = TTextPos{};
    Changed();
}

void TListMemo::SetGeneratedLines(int64_t count) {
    Doc.SetGeneratedLines(count);
    Rows.ForgetAll();
    CaretPos = Anchor = TopPos = TTextPos{};
    Changed();
}

void TListMemo::SelectAll() {
    Anchor = TTextPos{};
    CaretPos = Doc.End();
    Changed();
}

bool TListMemo::Copy() {
    if (!HasSelection()) {
        return false;
    }
    if (Doc.TextSize(SelectionStart(), SelectionEnd()) > MaxCopyBytes) {
        if (OnCopyRefused) {
            OnCopyRefused();
        }
        return false;
    }
    return Desktop().SetClipboardText(
        WideToUtf8(ToWide(Doc.Text(SelectionStart(), SelectionEnd()))));
}

void TListMemo::Cut() {
    if (Copy()) {
        ReplaceSelection({}, false);
    }
}

void TListMemo::Paste() {
    ReplaceSelection(ToUtf16(Utf8ToWide(Desktop().ClipboardText())), false);
}

void TListMemo::ReplaceSelection(const std::u16string& text, bool typed) {
    CaretPos = Anchor = Doc.Replace(SelectionStart(), SelectionEnd(), text, typed);
    TextChanged();
}

void TListMemo::TextChanged() {
    Rows.ForgetChangedLines(Doc.LastChange());
    WantedX = -1;
    Changed();
}

void TListMemo::Changed() {
    ClampTop();
    UpdateScrollBar();
    ShowCaretInView();
    InvalidateRect(Window, nullptr, TRUE);
}

int TListMemo::VisibleRows() const {
    RECT client;
    GetClientRect(Window, &client);
    return std::max(1, static_cast<int>(client.bottom / LineHeight));
}

int TListMemo::WrapWidth() const {
    RECT client;
    GetClientRect(Window, &client);
    return std::max(1, static_cast<int>(client.right) - 2 * TextMargin);
}

void TListMemo::SetTop(const TChunkRow& row) {
    const TTextPos top{row.Line, Rows.RowStart(row)};
    if (top != TopPos) {
        TopPos = top;
        InvalidateRect(Window, nullptr, TRUE);
    }
}

TChunkRow TListMemo::HighestTopShowing(TChunkRow bottom) const {
    const int page = VisibleRows();
    for (int rows = 1; rows < page && Rows.Chunks().Step(bottom, false); ++rows) {
    }
    return bottom;
}

void TListMemo::ClampTop() {
    const TChunkRow highest = HighestTopShowing(Rows.Chunks().LastRow());
    SetTop(std::min(TopRow(), highest));
}

void TListMemo::UpdateScrollBar() {
    // One position per line: the top row's line.
    const int64_t maxTop = HighestTopShowing(Rows.Chunks().LastRow()).Line;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (maxTop <= ScrollLimit) {
        info.nMax = static_cast<int>(maxTop + VisibleRows() - 1);
        info.nPage = static_cast<UINT>(VisibleRows());
        info.nPos = static_cast<int>(TopPos.Line);
    } else {
        info.nMax = static_cast<int>(ScrollLimit);
        info.nPage = 1;
        info.nPos = static_cast<int>(TopPos.Line * ScrollLimit / maxTop);
    }
    // Setting the bar draws it again: only when it changes.
    if (info.nMax != Bar.nMax || info.nPage != Bar.nPage || info.nPos != Bar.nPos) {
        Bar = info;
        SetScrollInfo(Window, SB_VERT, &info, TRUE);
    }
}

void TListMemo::ScrollRows(int64_t rows) {
    TChunkRow top = TopRow();
    for (; rows > 0 && Rows.Chunks().Step(top, true); --rows) {
    }
    for (; rows < 0 && Rows.Chunks().Step(top, false); ++rows) {
    }
    SetTop(top);
    ClampTop();
    UpdateScrollBar();
    PlaceCaret();
}

void TListMemo::ScrollToLine(int64_t line) {
    const TChunkRow highest = HighestTopShowing(Rows.Chunks().LastRow());
    SetTop(line >= highest.Line ? highest : TChunkRow{std::max<int64_t>(0, line), 0, 0});
    UpdateScrollBar();
    PlaceCaret();
}

void TListMemo::ScrollBy(UINT request) {
    const int64_t page = VisibleRows();
    switch (request) {
    case SB_LINEUP:
        ScrollRows(-1);
        break;
    case SB_LINEDOWN:
        ScrollRows(1);
        break;
    case SB_PAGEUP:
        ScrollRows(-page);
        break;
    case SB_PAGEDOWN:
        ScrollRows(page);
        break;
    case SB_TOP:
        ScrollToLine(0);
        break;
    case SB_BOTTOM:
        ScrollToLine(Doc.LineCount());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS | SIF_RANGE;
        GetScrollInfo(Window, SB_VERT, &info);
        const int64_t maxTop = HighestTopShowing(Rows.Chunks().LastRow()).Line;
        ScrollToLine(maxTop <= ScrollLimit ? info.nTrackPos
                                           : info.nTrackPos * maxTop / ScrollLimit);
        break;
    }
    default:
        break;
    }
}

void TListMemo::ShowCaretInView() {
    const TChunkRow caret = Rows.RowOf(CaretPos);
    const TChunkRow top = TopRow();
    if (caret < top) {
        SetTop(caret);
    } else {
        SetTop(std::max(top, HighestTopShowing(caret)));
    }
    UpdateScrollBar();
    PlaceCaret();
}

TTextPos TListMemo::PositionAt(int x, int y) const {
    TChunkRow row = TopRow();
    for (int rows = std::max(0, y) / LineHeight; rows > 0 && Rows.Chunks().Step(row, true);
         --rows) {
    }
    return TTextPos{row.Line, Rows.ColumnAt(row, x - TextMargin)};
}

void TListMemo::PlaceCaret() {
    if (!Focused) {
        return;
    }
    // The caret's row among the shown ones; elsewhere it is put out of sight.
    const TChunkRow caret = Rows.RowOf(CaretPos);
    TChunkRow row = TopRow();
    int shown = 0;
    const int page = VisibleRows();
    while (shown <= page && !(row == caret) && Rows.Chunks().Step(row, true)) {
        ++shown;
    }
    const bool visible = row == caret && shown <= page;
    const int x = TextMargin + std::min(Rows.XOf(caret, CaretPos.Column), WrapWidth());
    SetCaretPos(visible ? x : -2, visible ? shown * LineHeight : -2 * LineHeight);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, Window, OBJID_CLIENT, CHILDID_SELF);
}

void TListMemo::MoveCaret(TTextPos to, bool extend, bool keepX) {
    CaretPos = Doc.Clamp(to);
    if (!extend) {
        Anchor = CaretPos;
    }
    if (!keepX) {
        WantedX = -1;
    }
    ShowCaretInView();
    InvalidateRect(Window, nullptr, TRUE);
}

TTextPos TListMemo::ByRows(int rows) {
    TChunkRow row = Rows.RowOf(CaretPos);
    if (WantedX < 0) {
        WantedX = Rows.XOf(row, CaretPos.Column);
    }
    for (; rows > 0 && Rows.Chunks().Step(row, true); --rows) {
    }
    for (; rows < 0 && Rows.Chunks().Step(row, false); ++rows) {
    }
    return TTextPos{row.Line, Rows.ColumnAt(row, WantedX)};
}

void TListMemo::KeyDown(WPARAM key) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const TTextPos caret = CaretPos;
    const int page = VisibleRows();
    switch (key) {
    case VK_LEFT:
        MoveCaret(caret.Column > 0 ? TTextPos{caret.Line, caret.Column - 1}
                  : caret.Line > 0 ? TTextPos{caret.Line - 1, Doc.LineLength(caret.Line - 1)}
                                   : caret,
                  shift);
        return;
    case VK_RIGHT:
        MoveCaret(caret.Column < Doc.LineLength(caret.Line) ? TTextPos{caret.Line, caret.Column + 1}
                                                            : TTextPos{caret.Line + 1, 0},
                  shift);
        return;
    case VK_UP:
        MoveCaret(ByRows(-1), shift, true);
        return;
    case VK_DOWN:
        MoveCaret(ByRows(1), shift, true);
        return;
    case VK_PRIOR:
        ScrollRows(-page);
        MoveCaret(ByRows(-page), shift, true);
        return;
    case VK_NEXT:
        ScrollRows(page);
        MoveCaret(ByRows(page), shift, true);
        return;
    case VK_HOME:
        MoveCaret(control ? TTextPos{} : TTextPos{caret.Line, Rows.RowStart(Rows.RowOf(caret))},
                  shift);
        return;
    case VK_END:
        MoveCaret(control ? Doc.End() : TTextPos{caret.Line, Rows.RowTextEnd(Rows.RowOf(caret))},
                  shift);
        return;
    case VK_DELETE:
        if (!HasSelection()) {
            MoveCaret(caret.Column < Doc.LineLength(caret.Line)
                          ? TTextPos{caret.Line, caret.Column + 1}
                          : TTextPos{caret.Line + 1, 0},
                      true);
        }
        ReplaceSelection({}, false);
        return;
    case VK_BACK:
        if (!HasSelection()) {
            KeyDown(VK_LEFT);
            Anchor = caret;
        }
        ReplaceSelection({}, false);
        return;
    case VK_RETURN:
        ReplaceSelection(u"\n", true);
        return;
    default:
        break;
    }
    if (!control) {
        return;
    }
    switch (key) {
    case 'A':
        SelectAll();
        break;
    case 'C':
        Copy();
        break;
    case 'X':
        Cut();
        break;
    case 'V':
        Paste();
        break;
    case 'Z':
        if (Doc.CanUndo()) {
            CaretPos = Anchor = Doc.Undo();
            TextChanged();
        }
        break;
    case 'Y':
        if (Doc.CanRedo()) {
            CaretPos = Anchor = Doc.Redo();
            TextChanged();
        }
        break;
    default:
        break;
    }
}

void TListMemo::Character(wchar_t character) {
    if (character >= 0x20 && character != 0x7F) {
        ReplaceSelection(std::u16string(1, static_cast<char16_t>(character)), true);
    }
}

void TListMemo::PaintRow(HDC dc, const TChunkRow& row, int y) const {
    const TTextPos from = SelectionStart();
    const TTextPos to = SelectionEnd();
    const int64_t start = Rows.RowStart(row);
    const int64_t end = Rows.RowEnd(row);
    const int64_t selectedFrom =
        row.Line == from.Line ? from.Column : (row.Line > from.Line ? start : end);
    const int64_t selectedTo = row.Line == to.Line ? to.Column : (row.Line < to.Line ? end : start);
    // Unselected, selected and unselected again, each part drawn after the last.
    const int64_t bounds[] = {start, std::clamp(selectedFrom, start, end),
                              std::clamp(std::max(selectedFrom, selectedTo), start, end), end};
    for (int part = 0; part < 3; ++part) {
        const bool selected = part == 1;
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (bounds[part] == bounds[part + 1]) {
            continue;
        }
        const std::wstring text = Rows.RowText(row, bounds[part], bounds[part + 1]);
        const int x = TextMargin + Rows.XOf(row, bounds[part]);
        const RECT cell{x, y, TextMargin + Rows.XOf(row, bounds[part + 1]), y + LineHeight};
        ExtTextOutW(dc, x, y, ETO_OPAQUE, &cell, text.c_str(), static_cast<UINT>(text.size()),
                    nullptr);
    }
}

void TListMemo::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window, &paint);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    RECT client;
    GetClientRect(Window, &client);
    TChunkRow row = TopRow();
    for (int y = 0; y < client.bottom; y += LineHeight) {
        if (y + LineHeight > paint.rcPaint.top && y < paint.rcPaint.bottom) {
            PaintRow(dc, row, y);
        }
        if (!Rows.Chunks().Step(row, true)) {
            break;
        }
    }
    SelectObject(dc, old);
    EndPaint(Window, &paint);
}

LRESULT TListMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Between messages no row's text is held: the kept layouts may be trimmed.
    Rows.Trim();
    switch (message) {
    case WM_SETFONT: {
        Font = reinterpret_cast<HFONT>(wParam);
        HDC dc = GetDC(Window);
        HGDIOBJ old = SelectObject(dc, Font);
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        LineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
        SelectObject(dc, old);
        ReleaseDC(Window, dc);
        Rows.SetMetrics(Font, WrapWidth());
        Changed();
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(Font);
    case WM_GETDLGCODE: {
        const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        const bool enter = keyMessage != nullptr && keyMessage->message == WM_KEYDOWN &&
                           keyMessage->wParam == VK_RETURN;
        return DLGC_WANTCHARS | DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        Rows.SetMetrics(Font, WrapWidth());
        ClampTop();
        UpdateScrollBar();
        PlaceCaret();
        InvalidateRect(Window, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS:
        Focused = true;
        CreateCaret(Window, nullptr, 1, LineHeight);
        PlaceCaret();
        ShowCaret(Window);
        return 0;
    case WM_KILLFOCUS:
        Focused = false;
        DestroyCaret();
        return 0;
    case WM_KEYDOWN:
        RunGuarded([this, wParam] { KeyDown(wParam); });
        return 0;
    case WM_CHAR:
    case WM_IME_CHAR:
        RunGuarded([this, wParam] { Character(static_cast<wchar_t>(wParam)); });
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(Window);
        SetCapture(Window);
        MoveCaret(PositionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == Window) {
            MoveCaret(PositionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), true);
        }
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_MOUSEWHEEL:
        ScrollRows(-GET_WHEEL_DELTA_WPARAM(wParam) * WheelLines / WHEEL_DELTA);
        return 0;
    case WM_VSCROLL:
        ScrollBy(LOWORD(wParam));
        return 0;
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
            return ListMemoAccessibleObject(Window, wParam);
        }
        break;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(Doc.LineLength(CaretPos.Line));
    case WM_GETTEXT: {
        // The window's text is the caret's line: what accessibility tools read from a
        // window of a class they do not know.
        const std::wstring line = ToWide(Doc.LineText(CaretPos.Line));
        const size_t room = static_cast<size_t>(wParam);
        if (room == 0) {
            return 0;
        }
        const size_t count = std::min(line.size(), room - 1);
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        std::copy_n(line.begin(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    default:
        break;
    }
    return DefWindowProcW(Window, message, wParam, lParam);
}
