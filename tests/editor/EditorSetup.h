#pragma once

#include "editor/ListEditor.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The list editor over a view of fixed metrics that records what it is told.

constexpr int64_t MaxCount = INT32_MAX;
// Every character is 10 pixels wide (a surrogate pair too, all of it on its second half);
// the text area holds 10 characters a row and 5 rows.
constexpr int CharWidth = 10;
constexpr int RowHeight = 10;

// Its own desktop, whose clipboard is a string.
class TFakeView : public TEditorView, public TDesktop {
public:
    void MeasureText(std::u16string_view text, std::vector<int>& extents) const override {
        int width = 0;
        for (size_t index = 0; index < text.size(); ++index) {
            width += text[index] >= 0xD800 && text[index] <= 0xDBFF ? 0 : CharWidth;
            extents[index] = width;
        }
    }
    void Invalidate() override { ++Redraws; }
    void ScrollBarChanged() override { ++BarChanges; }
    void CaretMoved() override { ++CaretMoves; }
    void TextEdited(const TTextEdit& edit) override { Edits.push_back(edit); }
    bool WantsEditTexts() const override { return true; }
    void ReportCopyRefused() override { ++CopiesRefused; }
    TDesktop& ClipboardDesktop() override { return *this; }
    void Open(const std::string&) override {}
    bool SetClipboardText(const std::string& text) override {
        Clipboard = text;
        return true;
    }
    std::string ClipboardText() override { return Clipboard; }

    std::vector<TTextEdit> Edits;
    int Redraws = 0;
    int BarChanges = 0;
    int CaretMoves = 0;
    int CopiesRefused = 0;
    std::string Clipboard = "earlier content";
};

struct TEditorSetup {
    explicit TEditorSetup(std::string_view lineBreak = "\n") : Editor(View, lineBreak) {
        Editor.SetViewport(10 * CharWidth, 5 * RowHeight, RowHeight);
    }
    std::u16string Text() const { return Editor.Document().Text({0, 0}, Editor.Document().End()); }

    TFakeView View;
    TListEditor Editor;
};
