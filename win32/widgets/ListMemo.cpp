// The list control's window: its messages, painting, scrolling and the editor's view.

#include "win32/widgets/ListMemo.h"

#include "core/HandlerGuard.h"
#include "win32/widgets/ListMemoAccessible.h"
#include "win32/widgets/ListMemoAutomation.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// The rows a notch of the wheel scrolls, as the system is set (below 0 for a page).
int WheelScrollLines() {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return lines == WHEEL_PAGESCROLL ? -1 : static_cast<int>(lines);
}

const wchar_t* Wide(std::u16string_view text) {
    return reinterpret_cast<const wchar_t*>(text.data());
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
        DisconnectListMemoAutomation(window);
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

template <typename Work> LRESULT TListMemo::Guarded(Work work) {
    RunGuarded(work);
    return 0;
}

// ---- the editor's view ----

void TListMemo::MeasureText(std::u16string_view text, std::vector<int>& extents) const {
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{0, 0};
    GetTextExtentExPointW(dc, Wide(text), static_cast<int>(text.size()), 0, nullptr, extents.data(),
                          &size);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
}

void TListMemo::Invalidate() {
    // The caret is placed as the rows are painted.
    InvalidateRect(Window, nullptr, TRUE);
}

void TListMemo::ScrollBarChanged() {
    const TScrollBar& bar = Edit.ScrollBar();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = bar.Maximum + bar.Page - 1;
    info.nPage = static_cast<UINT>(bar.Page);
    info.nPos = bar.Value;
    SetScrollInfo(Window, SB_VERT, &info, TRUE);
}

void TListMemo::CaretMoved() {
    // The accessible value is the caret's line.
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, Window, OBJID_CLIENT, CHILDID_SELF);
    RaiseListMemoAutomationEvent(Window, TListMemoAutomationEvent::SelectionChanged);
}

void TListMemo::TextEdited(const TTextEdit&) {
    RaiseListMemoAutomationEvent(Window, TListMemoAutomationEvent::TextChanged);
}

void TListMemo::ReportCopyRefused() {
    SendMessageW(GetParent(Window), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(Window), ListMemoCopyRefused),
                 reinterpret_cast<LPARAM>(Window));
}

// ---- drawing and size ----

void TListMemo::PlaceCaret() {
    if (!Focused) {
        return;
    }
    const TTextRect caret = Edit.CaretRect();
    // A caret out of view is put out of sight.
    if (caret.Width > 0) {
        SetCaretPos(TextMargin + caret.X, caret.Y);
    } else {
        SetCaretPos(-2, -2 * LineHeight);
    }
}

void TListMemo::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window, &paint);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE space{0, 0};
    GetTextExtentPoint32W(dc, L" ", 1, &space);
    for (const TShownRow& row : Edit.ShownRows()) {
        if (row.Y + LineHeight <= paint.rcPaint.top || row.Y >= paint.rcPaint.bottom) {
            continue;
        }
        for (const TRowRun& run : row.Runs) {
            const bool selected = run.Kind == TRowRun::TKind::Selected;
            SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            const int x = TextMargin + run.X;
            const RECT cell{x, row.Y, x + run.Width, row.Y + LineHeight};
            ExtTextOutW(dc, x, row.Y, ETO_OPAQUE, &cell, Wide(run.Text),
                        static_cast<UINT>(run.Text.size()), nullptr);
        }
        if (row.BreakX >= 0) {
            // The selected line break shows as a space's width after the line.
            const RECT cell{TextMargin + row.BreakX, row.Y, TextMargin + row.BreakX + space.cx,
                            row.Y + LineHeight};
            FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    }
    SelectObject(dc, old);
    EndPaint(Window, &paint);
    PlaceCaret();
}

void TListMemo::SetFont(HFONT font) {
    Font = font;
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    LineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    Edit.Remeasure();
    UpdateViewport();
}

void TListMemo::UpdateViewport() {
    RECT client;
    GetClientRect(Window, &client);
    Edit.SetViewport(client.right - 2 * TextMargin, client.bottom, LineHeight);
}

void TListMemo::Scroll(UINT request) {
    const int64_t page = Edit.PageRows();
    switch (request) {
    case SB_LINEUP:
        Edit.ScrollRows(-1);
        break;
    case SB_LINEDOWN:
        Edit.ScrollRows(1);
        break;
    case SB_PAGEUP:
        Edit.ScrollRows(-page);
        break;
    case SB_PAGEDOWN:
        Edit.ScrollRows(page);
        break;
    case SB_TOP:
        Edit.ScrollToLine(0);
        break;
    case SB_BOTTOM:
        Edit.ScrollToLine(Edit.LineCount());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(Window, SB_VERT, &info);
        Edit.ScrollToBar(info.nTrackPos);
        break;
    }
    default:
        break;
    }
}

// ---- messages ----

LRESULT TListMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam) - TextMargin;
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SETFONT:
        return Guarded([&] { SetFont(reinterpret_cast<HFONT>(wParam)); });
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(Font);
    case WM_GETDLGCODE: {
        const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        const bool enter = keyMessage != nullptr && keyMessage->message == WM_KEYDOWN &&
                           keyMessage->wParam == VK_RETURN;
        return DLGC_WANTCHARS | DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_PAINT:
        return Guarded([&] { Paint(); });
    case WM_SIZE:
        return Guarded([&] { UpdateViewport(); });
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
    case WM_SYSKEYDOWN: {
        bool handled = false;
        RunGuarded([&] { handled = KeyDown(wParam, message == WM_SYSKEYDOWN); });
        if (handled) {
            return 0;
        }
        break;
    }
    case WM_CHAR:
    case WM_IME_CHAR:
        return Guarded([&] { Character(static_cast<wchar_t>(wParam)); });
    case WM_LBUTTONDOWN:
        SetFocus(Window);
        SetCapture(Window);
        return Guarded([&] { Edit.Click(x, y, (wParam & MK_SHIFT) != 0); });
    case WM_LBUTTONDBLCLK:
        return Guarded([&] { Edit.SelectWordAt(x, y); });
    case WM_MOUSEMOVE:
        if (GetCapture() == Window) {
            return Guarded([&] { Edit.DragTo(x, y); });
        }
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_RBUTTONDOWN:
        SetFocus(Window);
        return 0;
    case WM_CONTEXTMENU:
        // From a right-click, or at (-1, -1) from the menu key, which the system turns
        // into this message as the key is let go.
        return Guarded([&] { ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); });
    case WM_MOUSEWHEEL:
        return Guarded([&] { Edit.Wheel(GET_WHEEL_DELTA_WPARAM(wParam), WheelScrollLines()); });
    case WM_VSCROLL:
        return Guarded([&] { Scroll(LOWORD(wParam)); });
    case WM_COPY:
        return Guarded([&] { Edit.Execute(TEditCommand::Copy); });
    case WM_CUT:
        return Guarded([&] { Edit.Execute(TEditCommand::Cut); });
    case WM_PASTE:
        return Guarded([&] { Edit.Execute(TEditCommand::Paste); });
    case WM_CLEAR:
        return Guarded([&] { Edit.Execute(TEditCommand::Clear); });
    case WM_UNDO:
        RunGuarded([&] { Edit.Execute(TEditCommand::Undo); });
        return TRUE;
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
            return ListMemoAccessibleObject(Window, wParam);
        }
        if (static_cast<LONG>(lParam) == static_cast<LONG>(AutomationRootObjectId)) {
            return ListMemoAutomationObject(Window, wParam, lParam);
        }
        break;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(Edit.LineLength(Edit.Caret().Line));
    case WM_GETTEXT: {
        // The window's text is the caret's line: what accessibility tools read from a
        // window of a class they do not know.
        const auto room = static_cast<int64_t>(wParam);
        if (room == 0) {
            return 0;
        }
        const std::u16string line = Edit.LineText(Edit.Caret().Line, 0, room - 1);
        const size_t count = line.size();
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        std::copy_n(Wide(line), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    default:
        break;
    }
    return DefWindowProcW(Window, message, wParam, lParam);
}
