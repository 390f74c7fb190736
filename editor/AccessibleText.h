#pragma once

#include "editor/ListEditor.h"

#include <cstdint>
#include <string>

// What screen readers are given of the list editor's text: the whole text, computed from
// the document on demand, whenever its length fits an int; a longer text through a
// window of it, the shown lines and the caret's line (with the lines between them when
// the caret is near). Offsets count UTF-16 code units within what is given, a line break
// as one. Made afresh for each question, since the window follows the view.
class TAccessibleText {
public:
    explicit TAccessibleText(const TListEditor& editor);

    int Length() const { return static_cast<int>(Count); }
    std::u16string Text(int start, int end) const;
    int OffsetOf(TTextPos pos) const;
    TTextPos PosOf(int offset) const;

private:
    const TListDocument& Doc;
    // The document's characters given: from `Start`, `Count` of them.
    int64_t Start = 0;
    int64_t Count = 0;
};
