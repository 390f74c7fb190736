// The text ranges of the list control's UI Automation provider: offsets into the editor's
// accessible text, with the text units that Move and ExpandToEnclosingUnit step by.

#include "win32/widgets/ListMemoAutomationParts.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

// FindText looks at this many characters of a range from the end it starts at.
constexpr int FindReach = 1 << 20;
// GetText gives no more characters than this (64 MB), whatever a client asks.
constexpr int TextLimit = 1 << 25;

// ---- text units ----

// Where text units start in the accessible text: characters are code points, words are
// what the editor's word moves step over (a run of one class with the spaces after it;
// a line break is a word of its own), lines and paragraphs are the document's lines
// with their breaks, and pages and the document are the whole text. Format, having no
// runs of its own here, is taken as words. The start and the end of the text are
// boundaries of every unit.
class TTextUnits {
public:
    TTextUnits(const TListDocument& doc, const TAccessibleText& text, TextUnit unit)
        : Doc(doc), Text(text), Length(text.Length()), Unit(Normal(unit)) {}

    // The first boundary after `offset` (the end at most).
    int Next(int offset) const;
    // The last boundary before `offset` (0 at least).
    int Previous(int offset) const;
    // The start of the unit that holds `offset`.
    int StartOf(int offset) const;
    // `offset` moved over `count` boundaries; `count` becomes how many it crossed.
    int Step(int offset, int& count) const;

private:
    static TextUnit Normal(TextUnit unit);
    int NextWord(int offset) const;
    int PreviousWord(int offset) const;

    const TListDocument& Doc;
    const TAccessibleText& Text;
    const int Length;
    const TextUnit Unit;
};

TextUnit TTextUnits::Normal(TextUnit unit) {
    switch (unit) {
    case TextUnit_Character:
        return TextUnit_Character;
    case TextUnit_Format:
    case TextUnit_Word:
        return TextUnit_Word;
    case TextUnit_Line:
    case TextUnit_Paragraph:
        return TextUnit_Line;
    default:
        return TextUnit_Document;
    }
}

bool IsPairAt(std::u16string_view text) {
    return text.size() == 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]);
}

int TTextUnits::Next(int offset) const {
    if (offset >= Length) {
        return Length;
    }
    switch (Unit) {
    case TextUnit_Character:
        return offset + (IsPairAt(Text.Text(offset, offset + 2)) ? 2 : 1);
    case TextUnit_Word:
        return NextWord(offset);
    case TextUnit_Line: {
        // The last line runs to the end (a place past it is clamped back into it).
        const int64_t line = Text.PosOf(offset).Line;
        return line + 1 < Doc.LineCount() ? Text.OffsetOf({line + 1, 0}) : Length;
    }
    default:
        return Length;
    }
}

int TTextUnits::Previous(int offset) const {
    if (offset <= 0) {
        return 0;
    }
    switch (Unit) {
    case TextUnit_Character:
        return offset - (IsPairAt(Text.Text(offset - 2, offset)) ? 2 : 1);
    case TextUnit_Word:
        return PreviousWord(offset);
    case TextUnit_Line: {
        const TTextPos pos = Text.PosOf(offset);
        return Text.OffsetOf({pos.Column > 0 ? pos.Line : pos.Line - 1, 0});
    }
    default:
        return 0;
    }
}

int TTextUnits::StartOf(int offset) const {
    switch (Unit) {
    case TextUnit_Line:
        return Text.OffsetOf({Text.PosOf(offset).Line, 0});
    case TextUnit_Document:
        return 0;
    default:
        // The last boundary before the next one is the last at or before `offset`.
        return offset >= Length ? Length : Previous(Next(offset));
    }
}

int TTextUnits::Step(int offset, int& count) const {
    int moved = 0;
    for (int next = 0; moved < count && (next = Next(offset)) > offset; ++moved) {
        offset = next;
    }
    for (int previous = 0; moved > count && (previous = Previous(offset)) < offset; --moved) {
        offset = previous;
    }
    count = moved;
    return offset;
}

int TTextUnits::NextWord(int offset) const {
    const TTextPos pos = Text.PosOf(offset);
    if (pos.Column >= Doc.LineLength(pos.Line)) {
        return Text.OffsetOf({pos.Line + 1, 0});
    }
    const std::u16string line = Doc.LineSlice(pos.Line, pos.Column, pos.Column + WordReach);
    return Text.OffsetOf({pos.Line, pos.Column + static_cast<int64_t>(NextWordStart(line, 0))});
}

int TTextUnits::PreviousWord(int offset) const {
    const TTextPos pos = Text.PosOf(offset);
    if (pos.Column == 0) {
        return Text.OffsetOf({pos.Line - 1, Doc.LineLength(pos.Line - 1)});
    }
    const int64_t begin = std::max<int64_t>(0, pos.Column - WordReach);
    const std::u16string line = Doc.LineSlice(pos.Line, begin, pos.Column);
    return Text.OffsetOf(
        {pos.Line, begin + static_cast<int64_t>(PreviousWordStart(line, line.size()))});
}

} // namespace

HRESULT RangeArray(const std::vector<ITextRangeProvider*>& ranges, SAFEARRAY** result) {
    *result = SafeArrayCreateVector(VT_UNKNOWN, 0, static_cast<ULONG>(ranges.size()));
    HRESULT status = *result != nullptr ? S_OK : E_OUTOFMEMORY;
    for (LONG index = 0; index < static_cast<LONG>(ranges.size()); ++index) {
        if (SUCCEEDED(status)) {
            status = SafeArrayPutElement(*result, &index, ranges[static_cast<size_t>(index)]);
        }
        ranges[static_cast<size_t>(index)]->Release();
    }
    if (FAILED(status) && *result != nullptr) {
        SafeArrayDestroy(*result);
        *result = nullptr;
    }
    return status;
}

// One range as the array of ranges that GetSelection and GetVisibleRanges give.
HRESULT OneRange(TListAutomation* element, int start, int end, SAFEARRAY** result) {
    ITextRangeProvider* range = nullptr;
    const HRESULT made = TListTextRange::Make(element, start, end, &range);
    return SUCCEEDED(made) ? RangeArray({range}, result) : made;
}

// ---- TListTextRange ----

TListTextRange* TListTextRange::Same(ITextRangeProvider* range) const {
    void* object = nullptr;
    if (range == nullptr || FAILED(range->QueryInterface(ListTextRangeId, &object))) {
        return nullptr;
    }
    auto* same = static_cast<TListTextRange*>(static_cast<ITextRangeProvider*>(object));
    // The caller holds the range; this reference is only for the look.
    same->Release();
    return same->Element == Element ? same : nullptr;
}

HRESULT TListTextRange::Clone(ITextRangeProvider** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithText(
        [&](TListMemo&, const TAccessibleText&) { return Make(Element, Start, End, result); });
}

HRESULT TListTextRange::Compare(ITextRangeProvider* range, BOOL* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = FALSE;
    TListTextRange* other = Same(range);
    if (other == nullptr) {
        return E_INVALIDARG;
    }
    return WithText([&](TListMemo&, const TAccessibleText& text) {
        const int otherStart = std::clamp(other->Start, 0, text.Length());
        const int otherEnd = std::clamp(other->End, otherStart, text.Length());
        *result = Start == otherStart && End == otherEnd ? TRUE : FALSE;
        return S_OK;
    });
}

HRESULT TListTextRange::CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                         ITextRangeProvider* target,
                                         enum TextPatternRangeEndpoint targetEndpoint,
                                         int* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = 0;
    TListTextRange* other = Same(target);
    if (other == nullptr) {
        return E_INVALIDARG;
    }
    return WithText([&](TListMemo&, const TAccessibleText& text) {
        const int otherAt = std::clamp(other->EndpointOf(targetEndpoint), 0, text.Length());
        *result = EndpointOf(endpoint) - otherAt;
        return S_OK;
    });
}

HRESULT TListTextRange::ExpandToEnclosingUnit(enum TextUnit unit) {
    return WithText([&](TListMemo& memo, const TAccessibleText& text) {
        const TTextUnits units(memo.Editor().Document(), text, unit);
        Start = units.StartOf(Start);
        End = units.Next(Start);
        return S_OK;
    });
}

HRESULT TListTextRange::FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL, ITextRangeProvider** result) {
    // The text has no attributes of its own.
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithText([](TListMemo&, const TAccessibleText&) { return S_OK; });
}

HRESULT TListTextRange::FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                 ITextRangeProvider** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    if (text == nullptr || SysStringLen(text) == 0) {
        return E_INVALIDARG;
    }
    return WithText([&](TListMemo&, const TAccessibleText& accessible) {
        std::u16string wanted(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
        const int span = std::min(End - Start, FindReach);
        const int from = backward ? End - span : Start;
        std::u16string within = accessible.Text(from, from + span);
        if (ignoreCase) {
            CharUpperBuffW(reinterpret_cast<wchar_t*>(wanted.data()),
                           static_cast<DWORD>(wanted.size()));
            CharUpperBuffW(reinterpret_cast<wchar_t*>(within.data()),
                           static_cast<DWORD>(within.size()));
        }
        const size_t found = backward ? within.rfind(wanted) : within.find(wanted);
        if (found == std::u16string::npos) {
            return S_OK;
        }
        const int at = from + static_cast<int>(found);
        return Make(Element, at, at + static_cast<int>(wanted.size()), result);
    });
}

HRESULT TListTextRange::GetAttributeValue(TEXTATTRIBUTEID, VARIANT* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    VariantInit(result);
    return WithText([&](TListMemo&, const TAccessibleText&) {
        // No attribute is told: each answers UI Automation's "not supported".
        const TAutomationCore& core = AutomationCore();
        IUnknown* notSupported = nullptr;
        if (core.GetReservedNotSupportedValue != nullptr &&
            SUCCEEDED(core.GetReservedNotSupportedValue(&notSupported))) {
            result->vt = VT_UNKNOWN;
            result->punkVal = notSupported;
        }
        return S_OK;
    });
}

HRESULT TListTextRange::GetBoundingRectangles(SAFEARRAY** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithText([&](TListMemo& memo, const TAccessibleText& text) {
        // One rectangle for each shown row of the range (none for an empty range).
        const TListEditor& editor = memo.Editor();
        const TTextUnits characters(editor.Document(), text, TextUnit_Character);
        std::vector<double> rectangles;
        RECT client{};
        GetClientRect(Element->Handle(), &client);
        const int rowHeight = editor.RowHeight();
        const int rows = std::max<int>(1, (client.bottom + rowHeight - 1) / rowHeight);
        const int rowStart = text.OffsetOf(editor.PosAt(0, 0));
        const int shownEnd = static_cast<int>(std::min<int64_t>(
            rowStart + static_cast<int64_t>(editor.ShownText().size()), text.Length()));
        for (int row = 0, start = rowStart; row < rows && start < shownEnd && Start < End; ++row) {
            int next =
                row + 1 < rows ? text.OffsetOf(editor.PosAt(0, (row + 1) * rowHeight)) : shownEnd;
            if (next <= start) {
                next = shownEnd;
            }
            const int from = std::max(Start, start);
            const int to = std::min(End, next);
            if (from < to) {
                const TTextRect first = editor.CharacterRect(text.PosOf(from));
                const TTextRect last = editor.CharacterRect(text.PosOf(characters.Previous(to)));
                POINT topLeft{TListMemo::TextMargin + first.X, first.Y};
                ClientToScreen(Element->Handle(), &topLeft);
                rectangles.insert(rectangles.end(),
                                  {static_cast<double>(topLeft.x), static_cast<double>(topLeft.y),
                                   static_cast<double>(std::max(last.X + last.Width - first.X, 1)),
                                   static_cast<double>(first.Height)});
            }
            start = next;
        }
        *result = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(rectangles.size()));
        if (*result == nullptr) {
            return E_OUTOFMEMORY;
        }
        for (LONG index = 0; index < static_cast<LONG>(rectangles.size()); ++index) {
            SafeArrayPutElement(*result, &index, &rectangles[static_cast<size_t>(index)]);
        }
        return S_OK;
    });
}

HRESULT TListTextRange::GetEnclosingElement(IRawElementProviderSimple** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithText([&](TListMemo&, const TAccessibleText&) {
        *result = Element;
        Element->AddRef();
        return S_OK;
    });
}

HRESULT TListTextRange::GetText(int maxLength, BSTR* result) {
    if (result == nullptr || maxLength < -1) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithText([&](TListMemo&, const TAccessibleText& text) {
        int count = std::min(End - Start, TextLimit);
        if (maxLength >= 0) {
            count = std::min(count, maxLength);
        }
        return ReturnText(text.Text(Start, Start + count), result);
    });
}

HRESULT TListTextRange::Move(enum TextUnit unit, int count, int* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = 0;
    return WithText([&](TListMemo& memo, const TAccessibleText& text) {
        const TTextUnits units(memo.Editor().Document(), text, unit);
        if (Start == End) {
            Start = End = units.Step(Start, count);
            *result = count;
            return S_OK;
        }
        // A range of text becomes the unit at its start, moved by whole units; it moves
        // only onto units that hold text.
        int at = units.StartOf(Start);
        int moved = 0;
        for (int next = 0; moved < count && (next = units.Next(at)) > at && next < text.Length();
             ++moved) {
            at = next;
        }
        for (int previous = 0; moved > count && (previous = units.Previous(at)) < at; --moved) {
            at = previous;
        }
        if (moved != 0) {
            Start = at;
            End = units.Next(at);
        }
        *result = moved;
        return S_OK;
    });
}

HRESULT TListTextRange::MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint,
                                           enum TextUnit unit, int count, int* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = 0;
    return WithText([&](TListMemo& memo, const TAccessibleText& text) {
        const TTextUnits units(memo.Editor().Document(), text, unit);
        const int at = units.Step(EndpointOf(endpoint), count);
        *result = count;
        EndpointOf(endpoint) = at;
        // An endpoint moved past the other takes it along.
        if (Start > End) {
            (endpoint == TextPatternRangeEndpoint_Start ? End : Start) = at;
        }
        return S_OK;
    });
}

HRESULT TListTextRange::MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint,
                                            ITextRangeProvider* target,
                                            enum TextPatternRangeEndpoint targetEndpoint) {
    TListTextRange* other = Same(target);
    if (other == nullptr) {
        return E_INVALIDARG;
    }
    return WithText([&](TListMemo&, const TAccessibleText& text) {
        const int at = std::clamp(other->EndpointOf(targetEndpoint), 0, text.Length());
        EndpointOf(endpoint) = at;
        if (Start > End) {
            (endpoint == TextPatternRangeEndpoint_Start ? End : Start) = at;
        }
        return S_OK;
    });
}

HRESULT TListTextRange::Select() {
    return WithText([&](TListMemo& memo, const TAccessibleText& text) {
        memo.Editor().SetSelection(text.PosOf(Start), text.PosOf(End));
        return S_OK;
    });
}

HRESULT TListTextRange::AddToSelection() {
    // One selection only.
    return WithText([](TListMemo&, const TAccessibleText&) { return InvalidOperation; });
}

HRESULT TListTextRange::RemoveFromSelection() {
    return WithText([](TListMemo&, const TAccessibleText&) { return InvalidOperation; });
}

HRESULT TListTextRange::ScrollIntoView(BOOL alignToTop) {
    return WithText([&](TListMemo& memo, const TAccessibleText& text) {
        // The view moves; the caret and the selection stay.
        TListEditor& editor = memo.Editor();
        if (alignToTop) {
            editor.ScrollToLine(text.PosOf(Start).Line);
        } else {
            editor.ScrollToLine(std::max<int64_t>(0, text.PosOf(End).Line - editor.PageRows() + 1));
        }
        return S_OK;
    });
}

HRESULT TListTextRange::GetChildren(SAFEARRAY** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithText([&](TListMemo&, const TAccessibleText&) {
        *result = SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    });
}
