#include "win32/ListMemo.h"

#include "core/Desktop.h"
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

TListMemo::TListMemo(HWND window) : Window(window) {}

TListMemo* TListMemo::Of(HWND window) {
    return reinterpret_cast<TListMemo*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void TListMemo::SetText(const std::u16string& text) {
    Doc.SetText(text);
    CaretPos = Anchor = TTextPos{};
    Top = 0;
    Changed();
}

void TListMemo::SetGeneratedLines(int64_t count) {
    Doc.SetGeneratedLines(count);
    CaretPos = Anchor = TTextPos{};
    Top = 0;
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
    Changed();
}

void TListMemo::Changed() {
    UpdateScrollBar();
    ShowCaretInView();
    InvalidateRect(Window, nullptr, TRUE);
}

int TListMemo::VisibleLines() const {
    RECT client;
    GetClientRect(Window, &client);
    return std::max(1, static_cast<int>(client.bottom / LineHeight));
}

void TListMemo::UpdateScrollBar() {
    const int64_t maxTop = std::max<int64_t>(0, Doc.LineCount() - VisibleLines());
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (maxTop <= ScrollLimit) {
        info.nMax = static_cast<int>(Doc.LineCount() - 1);
        info.nPage = static_cast<UINT>(VisibleLines());
        info.nPos = static_cast<int>(Top);
    } else {
        info.nMax = static_cast<int>(ScrollLimit);
        info.nPage = 1;
        info.nPos = static_cast<int>(Top * ScrollLimit / maxTop);
    }
    SetScrollInfo(Window, SB_VERT, &info, TRUE);
}

void TListMemo::ScrollTo(int64_t line) {
    const int64_t maxTop = std::max<int64_t>(0, Doc.LineCount() - VisibleLines());
    const int64_t top = std::clamp<int64_t>(line, 0, maxTop);
    if (top != Top) {
        Top = top;
        InvalidateRect(Window, nullptr, TRUE);
    }
    UpdateScrollBar();
    PlaceCaret();
}

void TListMemo::ScrollBy(UINT request) {
    const int64_t page = VisibleLines();
    switch (request) {
    case SB_LINEUP:
        ScrollTo(Top - 1);
        break;
    case SB_LINEDOWN:
        ScrollTo(Top + 1);
        break;
    case SB_PAGEUP:
        ScrollTo(Top - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(Top + page);
        break;
    case SB_TOP:
        ScrollTo(0);
        break;
    case SB_BOTTOM:
        ScrollTo(Doc.LineCount());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS | SIF_RANGE;
        GetScrollInfo(Window, SB_VERT, &info);
        const int64_t maxTop = std::max<int64_t>(0, Doc.LineCount() - page);
        ScrollTo(maxTop <= ScrollLimit ? info.nTrackPos : info.nTrackPos * maxTop / ScrollLimit);
        break;
    }
    default:
        break;
    }
}

void TListMemo::ShowCaretInView() {
    const int64_t page = VisibleLines();
    if (CaretPos.Line < Top) {
        ScrollTo(CaretPos.Line);
    } else if (CaretPos.Line >= Top + page) {
        ScrollTo(CaretPos.Line - page + 1);
    } else {
        PlaceCaret();
    }
}

int TListMemo::TextWidth(const std::u16string& text, int64_t columns) const {
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, ToWide(text).c_str(),
                          static_cast<int>(std::min<int64_t>(columns, text.size())), &size);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return size.cx;
}

TTextPos TListMemo::PositionAt(int x, int y) const {
    const int64_t line =
        std::clamp<int64_t>(Top + std::max(0, y) / LineHeight, 0, Doc.LineCount() - 1);
    const std::wstring text = ToWide(Doc.LineText(line));
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    int fit = 0;
    SIZE size{0, 0};
    GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), std::max(0, x), &fit,
                          nullptr, &size);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return TTextPos{line, fit};
}

void TListMemo::PlaceCaret() {
    if (!Focused) {
        return;
    }
    const int row = static_cast<int>(CaretPos.Line - Top);
    const int x = TextWidth(Doc.LineText(CaretPos.Line), CaretPos.Column);
    SetCaretPos(x, row * LineHeight);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, Window, OBJID_CLIENT, CHILDID_SELF);
}

void TListMemo::MoveCaret(TTextPos to, bool extend) {
    CaretPos = Doc.Clamp(to);
    if (!extend) {
        Anchor = CaretPos;
    }
    ShowCaretInView();
    InvalidateRect(Window, nullptr, TRUE);
}

void TListMemo::KeyDown(WPARAM key) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const TTextPos caret = CaretPos;
    const int64_t page = VisibleLines();
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
        MoveCaret(TTextPos{std::max<int64_t>(0, caret.Line - 1), caret.Column}, shift);
        return;
    case VK_DOWN:
        MoveCaret(TTextPos{caret.Line + 1, caret.Column}, shift);
        return;
    case VK_PRIOR:
        MoveCaret(TTextPos{std::max<int64_t>(0, caret.Line - page), caret.Column}, shift);
        return;
    case VK_NEXT:
        MoveCaret(TTextPos{caret.Line + page, caret.Column}, shift);
        return;
    case VK_HOME:
        MoveCaret(control ? TTextPos{} : TTextPos{caret.Line, 0}, shift);
        return;
    case VK_END:
        MoveCaret(control ? Doc.End() : TTextPos{caret.Line, Doc.LineLength(caret.Line)}, shift);
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
            Changed();
        }
        break;
    case 'Y':
        if (Doc.CanRedo()) {
            CaretPos = Anchor = Doc.Redo();
            Changed();
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

void TListMemo::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window, &paint);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    RECT client;
    GetClientRect(Window, &client);
    const TTextPos from = SelectionStart();
    const TTextPos to = SelectionEnd();
    const int rows = client.bottom / LineHeight + 1;
    for (int row = 0; row < rows && Top + row < Doc.LineCount(); ++row) {
        const int64_t line = Top + row;
        const std::wstring text = ToWide(Doc.LineText(line));
        const int y = row * LineHeight;
        const int64_t length = static_cast<int64_t>(text.size());
        const int64_t selectedFrom =
            line == from.Line ? from.Column : (line > from.Line ? 0 : length);
        const int64_t selectedTo = line == to.Line ? to.Column : (line < to.Line ? length : 0);
        // Unselected, selected and unselected again, each part drawn after the last.
        const int64_t bounds[] = {
            0, std::clamp<int64_t>(selectedFrom, 0, length),
            std::clamp<int64_t>(std::max(selectedFrom, selectedTo), 0, length), length};
        int x = 0;
        for (int part = 0; part < 3; ++part) {
            const bool selected = part == 1;
            SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            const int count = static_cast<int>(bounds[part + 1] - bounds[part]);
            SIZE size{0, 0};
            GetTextExtentPoint32W(dc, text.c_str() + bounds[part], count, &size);
            RECT cell{x, y, x + size.cx, y + LineHeight};
            ExtTextOutW(dc, x, y, ETO_OPAQUE, &cell, text.c_str() + bounds[part],
                        static_cast<UINT>(count), nullptr);
            x += size.cx;
        }
    }
    SelectObject(dc, old);
    EndPaint(Window, &paint);
}

LRESULT TListMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
        UpdateScrollBar();
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
        ScrollTo(Top - GET_WHEEL_DELTA_WPARAM(wParam) * WheelLines / WHEEL_DELTA);
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
