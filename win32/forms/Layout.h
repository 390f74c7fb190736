#pragma once

// A window's layout as data, made at build time from its .ui description by
// scripts/ui-to-layout.py. Positions and sizes are pixels at 96 dots per inch, within
// the parent (the client area for controls without a parent control).

enum class TControlKind { Label, Button, Edit, Memo, GroupBox, Panel, StatusBar, ListMemo };

namespace TControlFlag {
inline constexpr unsigned ReadOnly = 1u << 0;
inline constexpr unsigned Default = 1u << 1;      // Enter presses it when no button has the focus
inline constexpr unsigned ClosesWindow = 1u << 2; // closes its window
inline constexpr unsigned AutoSize = 1u << 3;     // a label as large as its text
inline constexpr unsigned WordWrap = 1u << 4;
inline constexpr unsigned Stretch = 1u << 5; // a picture scaled to fill the box
inline constexpr unsigned VerticalScrollBar = 1u << 6;
inline constexpr unsigned ModalOk = 1u << 7; // ends a modal showing with the result OK
inline constexpr unsigned TabStop = 1u << 8;
inline constexpr unsigned CloseGlyph = 1u << 9; // shows the close glyph beside its caption
} // namespace TControlFlag

namespace TMenuFlag {
inline constexpr unsigned Checkable = 1u << 0;
inline constexpr unsigned Separator = 1u << 1;
} // namespace TMenuFlag

// A font by family and pixel height; a null family means the window's font.
struct TFontEntry {
    const wchar_t* Family;
    int PixelHeight;
};

struct TControlEntry {
    const wchar_t* Name;
    TControlKind Kind;
    int Parent; // index of the parent control, -1 for the window itself
    int Left;
    int Top;
    int Width;
    int Height;
    const wchar_t* Caption;
    TFontEntry Font;
    unsigned Flags;
};

// A menu bar entry; Parent is -1 for the items of the bar itself.
struct TMenuEntry {
    const wchar_t* Name;
    int Parent;
    const wchar_t* Caption;
    unsigned Flags;
};

struct TFormLayout {
    const wchar_t* Name;
    const wchar_t* Caption;
    int ClientWidth;
    int ClientHeight;
    TFontEntry Font;
    const TControlEntry* Controls;
    int ControlCount;
    const int* CreationOrder; // containers, then the tab stops in tab order, then the rest
    const TMenuEntry* Menus;
    int MenuCount;
};
