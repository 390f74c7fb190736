#include "win32/forms/Form.h"

#include "core/Exception.h"
#include "core/HandlerGuard.h"
#include "win32/app/Application.h"
#include "win32/app/DisabledWindows.h"
#include "win32/widgets/ListMemo.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

constexpr wchar_t FormClassName[] = L"QuorvinForm";

// "宋体" (Song) is SimSun, a Chinese font: asking for its character set lets a system
// without it (Wine, a Western Windows) take a font that has the Chinese characters.
constexpr wchar_t SongFamily[] = L"\u5B8B\u4F53";

std::wstring WindowsFamily(const std::wstring& family) {
    return family == SongFamily ? L"SimSun" : family;
}

BYTE CharacterSetOf(const std::wstring& family) {
    return family == SongFamily ? GB2312_CHARSET : DEFAULT_CHARSET;
}

std::wstring WithWindowsLineBreaks(const std::wstring& text) {
    std::wstring result;
    for (wchar_t character : text) {
        if (character == L'\n') {
            result += L'\r';
        }
        result += character;
    }
    return result;
}

DWORD StyleOf(const TControlEntry& layoutEntry) {
    const DWORD common =
        WS_CHILD | WS_VISIBLE | ((layoutEntry.Flags & TControlFlag::TabStop) ? WS_TABSTOP : 0);
    const bool readOnly = (layoutEntry.Flags & TControlFlag::ReadOnly) != 0;
    const DWORD scrollBar = (layoutEntry.Flags & TControlFlag::VerticalScrollBar) ? WS_VSCROLL : 0;
    switch (layoutEntry.Kind) {
    case TControlKind::Label:
        return common |
               ((layoutEntry.Flags & TControlFlag::WordWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP);
    case TControlKind::Button:
        return common |
               ((layoutEntry.Flags & TControlFlag::Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    case TControlKind::Edit:
        return common | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0);
    case TControlKind::Memo:
        return common | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | scrollBar |
               (readOnly ? ES_READONLY : 0);
    case TControlKind::GroupBox:
        return common | BS_GROUPBOX;
    case TControlKind::Panel:
        return common | SS_ETCHEDFRAME;
    case TControlKind::StatusBar:
        return common | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    case TControlKind::ListMemo:
        return common | scrollBar;
    }
    return common;
}

const wchar_t* ClassOf(TControlKind kind) {
    switch (kind) {
    case TControlKind::Label:
    case TControlKind::Panel:
        return L"STATIC";
    case TControlKind::Button:
    case TControlKind::GroupBox:
        return L"BUTTON";
    case TControlKind::Edit:
    case TControlKind::Memo:
        return L"EDIT";
    case TControlKind::StatusBar:
        return STATUSCLASSNAMEW;
    case TControlKind::ListMemo:
        return ListMemoClassName;
    }
    return L"STATIC";
}

bool HasSunkenEdge(TControlKind kind) {
    return kind == TControlKind::Edit || kind == TControlKind::Memo ||
           kind == TControlKind::ListMemo;
}

void RegisterFormClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    windowClass.lpszClassName = FormClassName;
    RegisterClassExW(&windowClass);
    RegisterListMemoClass();
    registered = true;
}

// The close glyph of the close-kind buttons: a dark red cross on a clear square of
// `side` pixels, made once.
HICON CloseGlyph(int side) {
    static HICON glyph = nullptr;
    if (glyph != nullptr) {
        return glyph;
    }
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = side;
    header.bV5Height = -side;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (color == nullptr) {
        return nullptr;
    }
    auto* pixels = static_cast<uint32_t*>(bits);
    const int margin = side / 4;
    const int thickness = std::max(1, side / 8);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool inside =
                x >= margin && x < side - margin && y >= margin && y < side - margin;
            const bool onCross =
                std::abs(x - y) < thickness || std::abs(x + y - (side - 1)) < thickness;
            pixels[y * side + x] = inside && onCross ? 0xFFA01010u : 0u;
        }
    }
    HBITMAP mask = CreateBitmap(side, side, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, color};
    glyph = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return glyph;
}

} // namespace

TForm::TForm(const TFormLayout& layout, TBorder border) : Layout(layout) {
    RegisterFormClass();
    const bool dialog = border == TBorder::Dialog;
    // No WS_CLIPCHILDREN: a group box paints only its frame and caption, so the window's
    // own background must be erased beneath it.
    const DWORD style = WS_CAPTION | WS_SYSMENU | (dialog ? WS_POPUP : WS_MINIMIZEBOX);
    const DWORD exStyle = WS_EX_CONTROLPARENT | (dialog ? WS_EX_DLGMODALFRAME : WS_EX_APPWINDOW);
    // Made at its size, its menu bar counted: the menu bar, set below, takes its height
    // from the client area.
    RECT frame{0, 0, Scale(layout.ClientWidth), Scale(layout.ClientHeight)};
    AdjustWindowRectEx(&frame, style, layout.MenuCount > 0, exStyle);
    Window = CreateWindowExW(exStyle, FormClassName, layout.Caption, style, CW_USEDEFAULT,
                             CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                             Application->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (Window == nullptr) {
        throw Exception("Error creating window");
    }
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm::WindowProc));
    SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layout.Font)), FALSE);
    if (layout.MenuCount > 0) {
        CreateMenuBar();
    }
    FitClientSize();
}

HWND TForm::Control(int index) const {
    MakeControls();
    return Controls[index];
}

void TForm::MakeControls() const {
    if (!Controls.empty()) {
        return;
    }
    // Made on demand: a form that is never shown costs only its window.
    auto* self = const_cast<TForm*>(this);
    self->CreateControls();
    self->ControlsMade();
}

bool TForm::IsControl(int index, HWND window) const {
    return static_cast<size_t>(index) < Controls.size() && Controls[index] == window;
}

TForm::~TForm() {
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
    for (HFONT font : Fonts) {
        DeleteObject(font);
    }
    for (HBITMAP picture : Pictures) {
        DeleteObject(picture);
    }
    for (auto& entry : Colours) {
        DeleteObject(entry.second.Brush);
    }
}

int TForm::Scale(int pixels) {
    static const int ScreenDpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value;
    }();
    return MulDiv(pixels, ScreenDpi, 96);
}

HFONT TForm::FontFor(const TFontEntry& font) {
    const TFontEntry& used = font.Family != nullptr ? font : Layout.Font;
    const std::wstring family = WindowsFamily(used.Family);
    HFONT handle = CreateFontW(-Scale(used.PixelHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               CharacterSetOf(used.Family), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, family.c_str());
    Fonts.push_back(handle);
    return handle;
}

void TForm::CreateMenuBar() {
    HMENU bar = CreateMenu();
    MenuHandles.assign(Layout.MenuCount, nullptr);
    MenuOwners.assign(Layout.MenuCount, nullptr);
    for (int index = 0; index < Layout.MenuCount; ++index) {
        const int parent = Layout.Menus[index].Parent;
        if (parent >= 0 && MenuHandles[parent] == nullptr) {
            MenuHandles[parent] = CreatePopupMenu();
        }
    }
    for (int index = 0; index < Layout.MenuCount; ++index) {
        const TMenuEntry& item = Layout.Menus[index];
        HMENU owner = item.Parent < 0 ? bar : MenuHandles[item.Parent];
        MenuOwners[index] = owner;
        if (item.Flags & TMenuFlag::Separator) {
            AppendMenuW(owner, MF_SEPARATOR, 0, nullptr);
        } else if (MenuHandles[index] != nullptr) {
            AppendMenuW(owner, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(MenuHandles[index]),
                        item.Caption);
        } else {
            AppendMenuW(owner, MF_STRING, MenuCommand(index), item.Caption);
        }
    }
    SetMenu(Window, bar);
}

void TForm::CreateControls() {
    Controls.assign(Layout.ControlCount, nullptr);
    for (int order = 0; order < Layout.ControlCount; ++order) {
        const int index = Layout.CreationOrder[order];
        const TControlEntry& layoutEntry = Layout.Controls[index];
        int left = layoutEntry.Left;
        int top = layoutEntry.Top;
        for (int parent = layoutEntry.Parent; parent >= 0;
             parent = Layout.Controls[parent].Parent) {
            left += Layout.Controls[parent].Left;
            top += Layout.Controls[parent].Top;
        }
        const std::wstring caption = layoutEntry.Kind == TControlKind::Memo
                                         ? WithWindowsLineBreaks(layoutEntry.Caption)
                                         : std::wstring(layoutEntry.Caption);
        // Made without its text, which is laid out once, in the control's own font.
        HWND control =
            CreateWindowExW(HasSunkenEdge(layoutEntry.Kind) ? WS_EX_CLIENTEDGE : 0,
                            ClassOf(layoutEntry.Kind), L"", StyleOf(layoutEntry), Scale(left),
                            Scale(top), Scale(layoutEntry.Width), Scale(layoutEntry.Height), Window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlId + index)),
                            GetModuleHandleW(nullptr), nullptr);
        if (control == nullptr) {
            throw Exception("Error creating window");
        }
        Controls[index] = control;
        if (layoutEntry.Kind != TControlKind::StatusBar) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layoutEntry.Font)),
                         FALSE);
        }
        if (layoutEntry.Flags & TControlFlag::AutoSize) {
            SetControlText(index, caption);
        } else if (!caption.empty()) {
            SetWindowTextW(control, caption.c_str());
        }
        if (layoutEntry.Flags & TControlFlag::CloseGlyph) {
            // Common controls 6 draw a button's image beside its caption.
            SendMessageW(control, BM_SETIMAGE, IMAGE_ICON,
                         reinterpret_cast<LPARAM>(CloseGlyph(Scale(16))));
        }
    }
}

void TForm::FitClientSize() {
    RECT frame;
    GetWindowRect(Window, &frame);
    // A menu bar that wraps onto two lines takes more than AdjustWindowRectEx knows.
    RECT client;
    GetClientRect(Window, &client);
    const int missing = Scale(Layout.ClientHeight) - client.bottom;
    if (missing != 0) {
        SetWindowPos(Window, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TForm::CentreOnScreen() {
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT frame;
    GetWindowRect(Window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(Window, nullptr, workArea.left + (workArea.right - workArea.left - width) / 2,
                 workArea.top + (workArea.bottom - workArea.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Placed = true;
}

HMENU TForm::MenuItemOwner(int menuIndex) const {
    return MenuOwners[menuIndex];
}

int TForm::MenuCommand(int menuIndex) const {
    return FirstMenuCommand + menuIndex;
}

std::wstring TForm::ControlText(int index) const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Control(index))) + 1, L'\0');
    text.resize(static_cast<size_t>(
        GetWindowTextW(Control(index), text.data(), static_cast<int>(text.size()))));
    return text;
}

void TForm::SetControlText(int index, const std::wstring& text) {
    const TControlEntry& layoutEntry = Layout.Controls[index];
    HWND control = Control(index);
    SetWindowTextW(control, layoutEntry.Kind == TControlKind::Memo
                                ? WithWindowsLineBreaks(text).c_str()
                                : text.c_str());
    if (layoutEntry.Flags & TControlFlag::AutoSize) {
        HDC dc = GetDC(control);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        RECT bounds{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
                  DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        SetWindowPos(control, nullptr, 0, 0, bounds.right, bounds.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TForm::ShowPicture(int index, HBITMAP picture) {
    HWND control = Control(index);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    // A stretched picture fills the box; any other one gives the box its size.
    const LONG_PTR fill =
        (Layout.Controls[index].Flags & TControlFlag::Stretch) ? SS_REALSIZECONTROL : 0;
    SetWindowLongPtrW(control, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_BITMAP | fill);
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    Pictures.push_back(picture);
}

void TForm::SetModalResult(TModalResult result) {
    ModalResult = result;
    // The modal loop waits for a message before it looks at the result again.
    PostMessageW(Window, WM_NULL, 0, 0);
}

void TForm::SetControlColours(int control, COLORREF text, COLORREF background) {
    Colours[control] = TColours{text, background, CreateSolidBrush(background)};
}

void TForm::OnClick(int control, std::function<void()> handler) {
    ClickHandlers[control] = std::move(handler);
}

void TForm::OnMenu(int menuIndex, std::function<void()> handler) {
    MenuHandlers[menuIndex] = std::move(handler);
}

void TForm::OnNotify(int control, WORD code, std::function<void()> handler) {
    NotifyHandlers[{control, code}] = std::move(handler);
}

void TForm::OnMenuOpen(int menuIndex, std::function<void()> handler) {
    MenuOpenHandlers[menuIndex] = std::move(handler);
}

void TForm::Show(int showState) {
    MakeControls();
    BeforeShow();
    if (!Placed) {
        CentreOnScreen();
    }
    ShowWindow(Window, showState);
    UpdateWindow(Window);
}

TModalResult TForm::ShowModal() {
    MakeControls();
    BeforeShow();
    HWND previous = GetActiveWindow();
    std::optional<TDisabledWindows> disabled(std::in_place, Window);
    if (!Placed) {
        CentreOnScreen();
    }
    ModalResult = TModalResult::None;
    InModalLoop = true;
    ShowWindow(Window, SW_SHOW);
    SetActiveWindow(Window);
    Application->ProcessMessagesUntil([this] { return ModalResult != TModalResult::None; });
    InModalLoop = false;
    disabled.reset();
    ShowWindow(Window, SW_HIDE);
    if (previous != nullptr && IsWindow(previous)) {
        SetActiveWindow(previous);
    }
    return ModalResult == TModalResult::None ? TModalResult::Cancel : ModalResult;
}

void TForm::Close() {
    if (InModalLoop) {
        SetModalResult(TModalResult::Cancel);
    } else if (Application->MainForm() == this) {
        Application->Terminate();
    } else {
        ShowWindow(Window, SW_HIDE);
    }
}

bool TForm::PreTranslate(MSG& message) {
    // Alt+Space opens the system menu; it is never a button's accelerator.
    if (message.message == WM_SYSCHAR && message.wParam == L' ') {
        DispatchMessageW(&message);
        return true;
    }
    // Tab moves the focus on also from a multi-line edit, which would take it as text.
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
        HWND focus = GetFocus();
        for (int index = 0; index < Layout.ControlCount; ++index) {
            if (IsControl(index, focus) && Layout.Controls[index].Kind == TControlKind::Memo) {
                const bool backwards = GetKeyState(VK_SHIFT) < 0;
                SetFocus(GetNextDlgTabItem(Window, focus, backwards));
                return true;
            }
        }
    }
    return false;
}

void TForm::PressButton(int control) {
    const unsigned flags = Layout.Controls[control].Flags;
    if (flags & TControlFlag::ModalOk) {
        SetModalResult(TModalResult::Ok);
    }
    if (flags & TControlFlag::ClosesWindow) {
        Close();
    }
    const auto handler = ClickHandlers.find(control);
    if (handler != ClickHandlers.end()) {
        RunGuarded(handler->second);
    }
}

void TForm::Command(int id, int code, HWND control) {
    if (id == IDOK) {
        // Enter from IsDialogMessageW: the focused button is pressed; in any other
        // control Enter presses nothing (the default button comes by DM_GETDEFID).
        HWND focus = GetFocus();
        for (int index = 0; index < Layout.ControlCount; ++index) {
            if (IsControl(index, focus) && Layout.Controls[index].Kind == TControlKind::Button) {
                PressButton(index);
            }
        }
        return;
    }
    if (control == nullptr && code == 0 && id >= FirstMenuCommand &&
        id < FirstMenuCommand + Layout.MenuCount) {
        const auto handler = MenuHandlers.find(id - FirstMenuCommand);
        if (handler != MenuHandlers.end()) {
            RunGuarded(handler->second);
        }
        return;
    }
    const int index = id - FirstControlId;
    const auto notified = NotifyHandlers.find({index, static_cast<WORD>(code)});
    if (control != nullptr && notified != NotifyHandlers.end()) {
        RunGuarded(notified->second);
        return;
    }
    if (code == BN_CLICKED && index >= 0 && index < Layout.ControlCount &&
        Layout.Controls[index].Kind == TControlKind::Button) {
        PressButton(index);
    }
}

LRESULT TForm::DefaultButtonId() {
    HWND focus = GetFocus();
    for (int index = 0; index < Layout.ControlCount; ++index) {
        if (IsControl(index, focus) && Layout.Controls[index].Kind == TControlKind::Button) {
            return 0; // the focused button takes Enter itself
        }
    }
    for (int index = 0; index < Layout.ControlCount; ++index) {
        if (Layout.Controls[index].Flags & TControlFlag::Default) {
            return MAKELRESULT(FirstControlId + index, DC_HASDEFID);
        }
    }
    return 0;
}

void TForm::Activated(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Window, focus)) {
            LastFocus = focus;
        }
        return;
    }
    if (LastFocus == nullptr || !IsWindow(LastFocus)) {
        LastFocus = GetNextDlgTabItem(Window, nullptr, FALSE);
    }
    SetFocus(LastFocus);
}

bool TForm::ColourControl(HWND control, HDC dc, LRESULT& brush) {
    for (const auto& entry : Colours) {
        if (IsControl(entry.first, control)) {
            SetTextColor(dc, entry.second.Text);
            SetBkColor(dc, entry.second.Background);
            brush = reinterpret_cast<LRESULT>(entry.second.Brush);
            return true;
        }
    }
    return false;
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case DM_GETDEFID:
        return DefaultButtonId();
    case WM_INITMENUPOPUP:
        for (int index = 0; index < static_cast<int>(MenuHandles.size()); ++index) {
            if (MenuHandles[index] == reinterpret_cast<HMENU>(wParam) &&
                MenuOpenHandlers.count(index) != 0) {
                RunGuarded(MenuOpenHandlers[index]);
            }
        }
        return 0;
    case WM_ACTIVATE:
        if (HIWORD(wParam) == 0) {
            Activated(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        LRESULT brush = 0;
        if (ColourControl(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), brush)) {
            return brush;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(Window, message, wParam, lParam);
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

TForm* FormOfWindow(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    wchar_t className[32] = {};
    if (root == nullptr || GetClassNameW(root, className, 32) == 0 ||
        std::wstring(className) != FormClassName) {
        return nullptr;
    }
    return reinterpret_cast<TForm*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}
