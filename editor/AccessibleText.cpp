#include "editor/AccessibleText.h"

#include <algorithm>
#include <climits>

namespace {

// How far (in lines) the caret may be from the shown lines and still be given together
// with them.
constexpr int64_t CaretReach = 100;

} // namespace

TAccessibleText::TAccessibleText(const TListEditor& editor) : Doc(editor.Document()) {
    if (Doc.CharCount() <= INT_MAX) {
        Count = Doc.CharCount();
        return;
    }
    const int64_t caret = editor.Caret().Line;
    int64_t first = editor.TopLine();
    int64_t last = editor.LastVisibleLine();
    if (caret < first - CaretReach || caret > last + CaretReach) {
        first = last = caret;
    }
    first = std::min(first, caret);
    last = std::max(last, caret);
    Start = Doc.OffsetOf({first, 0});
    Count = std::min<int64_t>(Doc.OffsetOf({last, Doc.LineLength(last)}) - Start, INT_MAX);
}

std::u16string TAccessibleText::Text(int start, int end) const {
    const int64_t from = std::clamp<int64_t>(start, 0, Count);
    const int64_t to = std::clamp<int64_t>(end, from, Count);
    return Doc.TextAt(Start + from, Start + to);
}

int TAccessibleText::OffsetOf(TTextPos pos) const {
    return static_cast<int>(std::clamp<int64_t>(Doc.OffsetOf(pos) - Start, 0, Count));
}

TTextPos TAccessibleText::PosOf(int offset) const {
    return Doc.PosOf(Start + std::clamp<int64_t>(offset, 0, Count));
}
