// The list control's keyboard and context menu: those of a Windows multi-line edit,
// mapped to the editor's commands.

#include "win32/widgets/ListMemo.h"

#include "editor/TextUnits.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

enum TModifier : unsigned { None = 0, Ctrl = 1, Shift = 2, Alt = 4 };

struct TKeyBinding {
    UINT Key;
    unsigned Modifiers;
    TEditCommand Command;
};

using C = TEditCommand;
// Ctrl moves by words (and Home and End to the document's ends), Shift selects;
// Shift+Delete, Ctrl+Insert and Shift+Insert are cut, copy and paste as in every Windows
// edit, Alt+Backspace is undo.
const TKeyBinding KeyTable[] = {
    {VK_LEFT, None, C::CharLeft},
    {VK_LEFT, Shift, C::CharLeftExtend},
    {VK_LEFT, Ctrl, C::WordLeft},
    {VK_LEFT, Ctrl | Shift, C::WordLeftExtend},
    {VK_RIGHT, None, C::CharRight},
    {VK_RIGHT, Shift, C::CharRightExtend},
    {VK_RIGHT, Ctrl, C::WordRight},
    {VK_RIGHT, Ctrl | Shift, C::WordRightExtend},
    {VK_UP, None, C::RowUp},
    {VK_UP, Shift, C::RowUpExtend},
    {VK_UP, Ctrl, C::RowUp},
    {VK_UP, Ctrl | Shift, C::RowUpExtend},
    {VK_DOWN, None, C::RowDown},
    {VK_DOWN, Shift, C::RowDownExtend},
    {VK_DOWN, Ctrl, C::RowDown},
    {VK_DOWN, Ctrl | Shift, C::RowDownExtend},
    {VK_PRIOR, None, C::PageUp},
    {VK_PRIOR, Shift, C::PageUpExtend},
    {VK_NEXT, None, C::PageDown},
    {VK_NEXT, Shift, C::PageDownExtend},
    {VK_HOME, None, C::RowHome},
    {VK_HOME, Shift, C::RowHomeExtend},
    {VK_HOME, Ctrl, C::DocumentStart},
    {VK_HOME, Ctrl | Shift, C::DocumentStartExtend},
    {VK_END, None, C::RowEnd},
    {VK_END, Shift, C::RowEndExtend},
    {VK_END, Ctrl, C::DocumentEnd},
    {VK_END, Ctrl | Shift, C::DocumentEndExtend},
    {VK_DELETE, None, C::DeleteForward},
    {VK_DELETE, Ctrl, C::DeleteWordForward},
    {VK_DELETE, Shift, C::Cut},
    {VK_BACK, None, C::DeleteBack},
    {VK_BACK, Shift, C::DeleteBack},
    {VK_BACK, Ctrl, C::DeleteWordBack},
    {VK_BACK, Alt, C::Undo},
    {VK_INSERT, Ctrl, C::Copy},
    {VK_INSERT, Shift, C::Paste},
    {VK_RETURN, None, C::NewLine},
    {VK_RETURN, Shift, C::NewLine},
    {'A', Ctrl, C::SelectAll},
    {'C', Ctrl, C::Copy},
    {'X', Ctrl, C::Cut},
    {'V', Ctrl, C::Paste},
    {'Z', Ctrl, C::Undo},
    {'Y', Ctrl, C::Redo},
    {'Z', Ctrl | Shift, C::Redo},
};

unsigned HeldModifiers() {
    return (GetKeyState(VK_CONTROL) < 0 ? Ctrl : None) |
           (GetKeyState(VK_SHIFT) < 0 ? Shift : None) | (GetKeyState(VK_MENU) < 0 ? Alt : None);
}

// The context menu of a Windows edit, in the system's language.
struct TMenuEntry {
    const wchar_t* English;
    const wchar_t* Chinese;
    TEditCommand Command;
    bool SeparatorBefore;
};

const TMenuEntry MenuEntries[] = {
    {L"&Undo", L"\u64A4\u6D88(&U)", C::Undo, false},
    {L"Cu&t", L"\u526A\u5207(&T)", C::Cut, true},
    {L"&Copy", L"\u590D\u5236(&C)", C::Copy, false},
    {L"&Paste", L"\u7C98\u8D34(&P)", C::Paste, false},
    {L"&Delete", L"\u5220\u9664(&D)", C::Clear, false},
    {L"Select &All", L"\u5168\u9009(&A)", C::SelectAll, true},
};

} // namespace

bool TListMemo::KeyDown(WPARAM key, bool system) {
    const unsigned modifiers = HeldModifiers();
    if (key == VK_F10 && modifiers == Shift) {
        ShowContextMenu({-1, -1});
        return true;
    }
    // Alt with a key is the window's (menus, accelerators), but for Alt+Backspace.
    if (system && !(key == VK_BACK && modifiers == Alt)) {
        return false;
    }
    const auto binding =
        std::find_if(std::begin(KeyTable), std::end(KeyTable), [&](const TKeyBinding& b) {
            return b.Key == key && b.Modifiers == modifiers;
        });
    if (binding == std::end(KeyTable)) {
        return false;
    }
    Edit.Execute(binding->Command);
    return true;
}

void TListMemo::Character(wchar_t character) {
    const auto unit = static_cast<char16_t>(character);
    // Control characters (Ctrl+letters, Ctrl+Backspace's 0x7F, Tab, Enter) type nothing;
    // a surrogate pair arrives in two messages and is typed as one character.
    if (unit < 0x20 || unit == 0x7F) {
        return;
    }
    if (IsHighSurrogate(unit)) {
        PendingHigh = character;
        return;
    }
    std::u16string text;
    if (IsLowSurrogate(unit) && PendingHigh != 0) {
        text += static_cast<char16_t>(PendingHigh);
    }
    PendingHigh = 0;
    text += unit;
    Edit.Type(text);
}

void TListMemo::ShowContextMenu(POINT at) {
    // One menu at a time, however many requests come while it is open.
    if (MenuOpen) {
        return;
    }
    if (at.x == -1 && at.y == -1) {
        const TTextRect caret = Edit.CaretRect();
        at = {TextMargin + caret.X, caret.Y + caret.Height};
        ClientToScreen(Window, &at);
    }
    const bool chinese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE;
    HMENU menu = CreatePopupMenu();
    for (size_t index = 0; index < std::size(MenuEntries); ++index) {
        const TMenuEntry& entry = MenuEntries[index];
        if (entry.SeparatorBefore) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        }
        AppendMenuW(menu, MF_STRING | (Edit.CanExecute(entry.Command) ? 0 : MF_GRAYED), index + 1,
                    chinese ? entry.Chinese : entry.English);
    }
    const auto chosen = static_cast<size_t>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Window, nullptr));
    DestroyMenu(menu);
    if (chosen >= 1 && chosen <= std::size(MenuEntries)) {
        Edit.Execute(MenuEntries[chosen - 1].Command);
    }
}
