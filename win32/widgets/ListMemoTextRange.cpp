// The text ranges of the list control's UI Automation provider: offsets into the editor's
// accessible text, moved by its units.

#include "win32/widgets/ListMemoAutomationParts.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

// FindText looks at this many characters of a range from the end it starts at.
constexpr int FindReach = TAccessibleText::MaxAnswer;

// UI Automation's units as the editor's: a line is a row as shown, a paragraph a line of
// the document; pages and the document are the whole text, and Format, having no runs of
// its own here, is taken as words.
TTextUnit UnitOf(TextUnit unit) {
    switch (unit) {
    case TextUnit_Character:
        return TTextUnit::Character;
    case TextUnit_Format:
    case TextUnit_Word:
        return TTextUnit::Word;
    case TextUnit_Line:
        return TTextUnit::Row;
    case TextUnit_Paragraph:
        return TTextUnit::Line;
    default:
        return TTextUnit::Document;
    }
}

} // namespace

HRESULT RangeArray(const std::vector<ITextRangeProvider*>& ranges, SAFEARRAY** result) {
    *result = AutomationCore().CreateVector(VT_UNKNOWN, 0, static_cast<ULONG>(ranges.size()));
    HRESULT status = *result != nullptr ? S_OK : E_OUTOFMEMORY;
    for (LONG index = 0; index < static_cast<LONG>(ranges.size()); ++index) {
        if (SUCCEEDED(status)) {
            status =
                AutomationCore().PutElement(*result, &index, ranges[static_cast<size_t>(index)]);
        }
        ranges[static_cast<size_t>(index)]->Release();
    }
    if (FAILED(status) && *result != nullptr) {
        AutomationCore().DestroyArray(*result);
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
    return Filling(result, [&](TListMemo&, const TAccessibleText&) {
        return Make(Element, Start, End, result);
    });
}

HRESULT TListTextRange::Compare(ITextRangeProvider* range, BOOL* result) {
    TListTextRange* other = Same(range);
    return Filling(result, [&](TListMemo&, const TAccessibleText& text) {
        if (other == nullptr) {
            return E_INVALIDARG;
        }
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
    TListTextRange* other = Same(target);
    return Filling(result, [&](TListMemo&, const TAccessibleText& text) {
        if (other == nullptr) {
            return E_INVALIDARG;
        }
        *result =
            EndpointOf(endpoint) - std::clamp(other->EndpointOf(targetEndpoint), 0, text.Length());
        return S_OK;
    });
}

HRESULT TListTextRange::ExpandToEnclosingUnit(enum TextUnit unit) {
    return WithText([&](TListMemo&, const TAccessibleText& text) {
        const TTextSpan span = text.UnitAt(Start, UnitOf(unit));
        Start = span.Start;
        End = span.End;
        return S_OK;
    });
}

HRESULT TListTextRange::FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL, ITextRangeProvider** result) {
    // The text has no attributes of its own.
    return Filling(result, [](TListMemo&, const TAccessibleText&) { return S_OK; });
}

HRESULT TListTextRange::FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                 ITextRangeProvider** result) {
    return Filling(result, [&](TListMemo&, const TAccessibleText& accessible) {
        if (text == nullptr || AutomationCore().StringLength(text) == 0) {
            return E_INVALIDARG;
        }
        std::u16string wanted(reinterpret_cast<const char16_t*>(text),
                              AutomationCore().StringLength(text));
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
    return Filling(result, [&](TListMemo&, const TAccessibleText&) {
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
    return Filling(result, [&](TListMemo&, const TAccessibleText& text) {
        // One rectangle for each shown row of the range (none for an empty range).
        const std::vector<TTextRect> rects = text.SpanRects({Start, End});
        *result = AutomationCore().CreateVector(VT_R8, 0, static_cast<ULONG>(4 * rects.size()));
        if (*result == nullptr) {
            return E_OUTOFMEMORY;
        }
        LONG index = 0;
        for (const TTextRect& rect : rects) {
            POINT topLeft{TListMemo::TextMargin + rect.X, rect.Y};
            ClientToScreen(Element->Handle(), &topLeft);
            for (double value :
                 {double(topLeft.x), double(topLeft.y), double(rect.Width), double(rect.Height)}) {
                AutomationCore().PutElement(*result, &index, &value);
                ++index;
            }
        }
        return S_OK;
    });
}

HRESULT TListTextRange::GetEnclosingElement(IRawElementProviderSimple** result) {
    return Filling(result, [&](TListMemo&, const TAccessibleText&) {
        *result = Element;
        Element->AddRef();
        return S_OK;
    });
}

HRESULT TListTextRange::GetText(int maxLength, BSTR* result) {
    return Filling(result, [&](TListMemo&, const TAccessibleText& text) {
        if (maxLength < -1) {
            return E_INVALIDARG;
        }
        // The text's own bound applies too (TAccessibleText::MaxAnswer).
        const int count = maxLength >= 0 ? std::min(End - Start, maxLength) : End - Start;
        return ReturnText(text.Text(Start, Start + count), result);
    });
}

HRESULT TListTextRange::Move(enum TextUnit unit, int count, int* result) {
    return Filling(result, [&](TListMemo&, const TAccessibleText& text) {
        const TTextUnit by = UnitOf(unit);
        if (Start == End) {
            Start = End = text.Step(Start, by, count);
            *result = count;
            return S_OK;
        }
        // A range of text becomes the unit at its start, moved by whole units; it moves
        // only onto units that hold text.
        int at = text.UnitAt(Start, by).Start;
        int moved = 0;
        count = std::clamp(count, -TAccessibleText::MaxSteps, TAccessibleText::MaxSteps);
        for (int next = 0; moved < count && (next = text.Next(at, by)) > at && next < text.Length();
             ++moved) {
            at = next;
        }
        for (int previous = 0; moved > count && (previous = text.Previous(at, by)) < at; --moved) {
            at = previous;
        }
        if (moved != 0) {
            Start = at;
            End = text.Next(at, by);
        }
        *result = moved;
        return S_OK;
    });
}

HRESULT TListTextRange::MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint,
                                           enum TextUnit unit, int count, int* result) {
    return Filling(result, [&](TListMemo&, const TAccessibleText& text) {
        MoveEndpointTo(endpoint, text.Step(EndpointOf(endpoint), UnitOf(unit), count));
        *result = count;
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
        MoveEndpointTo(endpoint, std::clamp(other->EndpointOf(targetEndpoint), 0, text.Length()));
        return S_OK;
    });
}

void TListTextRange::MoveEndpointTo(TextPatternRangeEndpoint endpoint, int at) {
    EndpointOf(endpoint) = at;
    // An endpoint moved past the other takes it along.
    if (Start > End) {
        (endpoint == TextPatternRangeEndpoint_Start ? End : Start) = at;
    }
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
    return Filling(result, [&](TListMemo&, const TAccessibleText&) {
        *result = AutomationCore().CreateVector(VT_UNKNOWN, 0, 0);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    });
}
