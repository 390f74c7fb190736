#pragma once

#include "core/Desktop.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An edit as screen readers are told of it: at `Offset` of the accessible text (see
// TAccessibleText), `Removed` went and `Inserted` came.
struct TTextEdit {
    int64_t Offset = 0;
    std::u16string Removed;
    std::u16string Inserted;
};

// What the list editor needs of the control that shows it: the control's text engine,
// its painting and scroll bar, the clipboard, and where it reports. Each front end implements it;
// the editor calls it back as its state changes.
class TEditorView {
public:
    virtual ~TEditorView() = default;

    // The width in pixels of each start of `text`: `extents[i]` for its first i + 1 code
    // units, in the control's font, laid out on one line.
    virtual void MeasureText(std::u16string_view text, std::vector<int>& extents) const = 0;
    // What is shown changed (rows, selection, caret): the text area is drawn again.
    virtual void Invalidate() = 0;
    // The scroll bar's range, page or position changed (TListEditor::ScrollBar).
    virtual void ScrollBarChanged() = 0;
    // The caret moved, by a command, the mouse or an edit.
    virtual void CaretMoved() = 0;
    // The text changed. The removed and inserted texts are filled only when
    // WantsEditTexts() answers true (a screen reader listens).
    virtual void TextEdited(const TTextEdit& edit) = 0;
    virtual bool WantsEditTexts() const { return false; }
    // A copy was refused: the selection is larger than TListEditor::MaxCopyBytes.
    virtual void ReportCopyRefused() = 0;

    // The desktop whose clipboard copy, cut and paste use.
    virtual TDesktop& ClipboardDesktop() = 0;
};
