// The list control's UI Automation provider: an Edit element with the Text pattern, its
// ranges offsets into the editor's accessible text.

#include "win32/widgets/ListMemoAutomation.h"

#include "editor/AccessibleText.h"
#include "editor/TextUnits.h"
#include "win32/widgets/ListMemo.h"
#include "win32/widgets/UiaTextProvider.h"

#include <algorithm>
#include <climits>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr HRESULT ElementNotAvailable =
    static_cast<HRESULT>(0x80040201);                                  // UIA_E_ELEMENTNOTAVAILABLE
constexpr HRESULT InvalidOperation = static_cast<HRESULT>(0x80131509); // UIA_E_INVALIDOPERATION
constexpr wchar_t ProviderProperty[] = L"QuorvinListAutomation";
// How far word units look along a line, as the editor's word moves do.
constexpr int64_t WordReach = 65536;
// FindText looks at this many characters of a range from the end it starts at.
constexpr int FindReach = 1 << 20;
// GetText gives no more characters than this (64 MB), whatever a client asks.
constexpr int TextLimit = 1 << 25;

// ---- UIAutomationCore.dll, taken from the system folder when first needed ----

struct TAutomationCore {
    LRESULT(WINAPI* ReturnRawElementProvider)
    (HWND, WPARAM, LPARAM, IRawElementProviderSimple*) = nullptr;
    HRESULT(WINAPI* HostProviderFromHwnd)(HWND, IRawElementProviderSimple**) = nullptr;
    HRESULT(WINAPI* RaiseAutomationEvent)(IRawElementProviderSimple*, EVENTID) = nullptr;
    BOOL(WINAPI* ClientsAreListening)() = nullptr;
    HRESULT(WINAPI* DisconnectProvider)(IRawElementProviderSimple*) = nullptr;
    HRESULT(WINAPI* GetReservedNotSupportedValue)(IUnknown**) = nullptr;
};

template <typename TFunction> void Take(HMODULE module, const char* name, TFunction& function) {
    function =
        reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

TAutomationCore LoadAutomationCore() {
    TAutomationCore core;
    // Never from the program's folder: only the system's own library.
    HMODULE module = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) {
        return core;
    }
    Take(module, "UiaReturnRawElementProvider", core.ReturnRawElementProvider);
    Take(module, "UiaHostProviderFromHwnd", core.HostProviderFromHwnd);
    Take(module, "UiaRaiseAutomationEvent", core.RaiseAutomationEvent);
    Take(module, "UiaClientsAreListening", core.ClientsAreListening);
    Take(module, "UiaDisconnectProvider", core.DisconnectProvider);
    Take(module, "UiaGetReservedNotSupportedValue", core.GetReservedNotSupportedValue);
    if (core.ReturnRawElementProvider == nullptr || core.HostProviderFromHwnd == nullptr) {
        // Without these there is no provider to hand out; the library stays loaded.
        return TAutomationCore{};
    }
    return core;
}

const TAutomationCore& AutomationCore() {
    static const TAutomationCore Loaded = LoadAutomationCore();
    return Loaded;
}

// A method's work, with what it may throw turned into an HRESULT.
template <typename TWork> HRESULT Answer(TWork work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT ReturnText(const std::u16string& text, BSTR* result) {
    *result = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
}

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
    size_t units = 0;
    const TCharClass kind = CharClassOf(CodePointAt(line, 0, units));
    size_t index = 0;
    while (kind != TCharClass::Space && index < line.size() &&
           CharClassOf(CodePointAt(line, index, units)) == kind) {
        index += units;
    }
    while (index < line.size() &&
           CharClassOf(CodePointAt(line, index, units)) == TCharClass::Space) {
        index += units;
    }
    return Text.OffsetOf({pos.Line, pos.Column + static_cast<int64_t>(index)});
}

int TTextUnits::PreviousWord(int offset) const {
    const TTextPos pos = Text.PosOf(offset);
    if (pos.Column == 0) {
        return Text.OffsetOf({pos.Line - 1, Doc.LineLength(pos.Line - 1)});
    }
    const int64_t begin = std::max<int64_t>(0, pos.Column - WordReach);
    const std::u16string line = Doc.LineSlice(pos.Line, begin, pos.Column);
    const auto classBefore = [&](size_t index, size_t& start) {
        start = PreviousCodePointStart(line, index);
        size_t units = 0;
        return CharClassOf(CodePointAt(line, start, units));
    };
    size_t index = line.size();
    size_t before = 0;
    while (index > 0 && classBefore(index, before) == TCharClass::Space) {
        index = before;
    }
    if (index > 0) {
        const TCharClass kind = classBefore(index, before);
        while (index > 0 && classBefore(index, before) == kind) {
            index = before;
        }
    }
    return Text.OffsetOf({pos.Line, begin + static_cast<int64_t>(index)});
}

// ---- the element ----

// The control's element. The window keeps one from the first request until it goes; each
// call finds the control again through the window, so that nothing is answered once it
// has gone.
class TListAutomation final : public IRawElementProviderSimple, public ITextProvider {
public:
    explicit TListAutomation(HWND window) : Window(window) {}

    TListMemo* Memo() const {
        return Connected && IsWindow(Window) ? TListMemo::Of(Window) : nullptr;
    }
    HWND Handle() const { return Window; }
    void Disconnect() { Connected = false; }

    // Work on the control, or UIA_E_ELEMENTNOTAVAILABLE once it has gone.
    template <typename TWork> HRESULT WithMemo(TWork work) const {
        TListMemo* memo = Memo();
        if (memo == nullptr) {
            return ElementNotAvailable;
        }
        return Answer([&] { return work(*memo); });
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&References));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&References);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(enum ProviderOptions* options) override;
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** result) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE
    get_HostRawElementProvider(IRawElementProviderSimple** result) override;

    // ITextProvider
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                             ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE RangeFromPoint(struct UiaPoint point,
                                             ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE
    get_SupportedTextSelection(enum SupportedTextSelection* result) override;

private:
    ~TListAutomation() = default;

    HWND Window;
    bool Connected = true;
    LONG References = 1;
};

// Identifies the ranges of this provider among those a client hands back.
constexpr GUID ListTextRangeId = {
    0x6f1d2a3c, 0x8b4e, 0x4c7a, {0x9e, 0x21, 0x5d, 0x3f, 0x70, 0xa8, 0x14, 0xc6}};

// A range of the control's text: the offsets Start..End of its accessible text, kept in
// the text as it is when asked.
class TListTextRange final : public ITextRangeProvider {
public:
    TListTextRange(TListAutomation* element, int start, int end)
        : Element(element), Start(start), End(end) {
        Element->AddRef();
    }

    // A new range as a result (null when out of memory).
    static HRESULT Make(TListAutomation* element, int start, int end, ITextRangeProvider** result) {
        *result = new (std::nothrow) TListTextRange(element, start, end);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (id == IID_IUnknown || id == __uuidof(ITextRangeProvider) || id == ListTextRangeId) {
            *object = static_cast<ITextRangeProvider*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&References));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&References);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // ITextRangeProvider
    HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* result) override;
    HRESULT STDMETHODCALLTYPE CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                               ITextRangeProvider* target,
                                               enum TextPatternRangeEndpoint targetEndpoint,
                                               int* result) override;
    HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(enum TextUnit unit) override;
    HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attribute, VARIANT value, BOOL backward,
                                            ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                       ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute,
                                                VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) override;
    HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE Move(enum TextUnit unit, int count, int* result) override;
    HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint,
                                                 enum TextUnit unit, int count,
                                                 int* result) override;
    HRESULT STDMETHODCALLTYPE
    MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint, ITextRangeProvider* target,
                        enum TextPatternRangeEndpoint targetEndpoint) override;
    HRESULT STDMETHODCALLTYPE Select() override;
    HRESULT STDMETHODCALLTYPE AddToSelection() override;
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override;
    HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) override;
    HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) override;

private:
    ~TListTextRange() { Element->Release(); }

    // Work on the control with the range kept inside its text as it is now.
    template <typename TWork> HRESULT WithText(TWork work) {
        return Element->WithMemo([&](TListMemo& memo) {
            const TAccessibleText text(memo.Editor());
            Start = std::clamp(Start, 0, text.Length());
            End = std::clamp(End, Start, text.Length());
            return work(memo, text);
        });
    }
    // A range of the same control handed back by a client, or null.
    TListTextRange* Same(ITextRangeProvider* range) const;
    int& EndpointOf(TextPatternRangeEndpoint endpoint) {
        return endpoint == TextPatternRangeEndpoint_Start ? Start : End;
    }

    TListAutomation* Element;
    int Start;
    int End;
    LONG References = 1;
};

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

// ---- TListAutomation ----

HRESULT TListAutomation::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (id == IID_IUnknown || id == __uuidof(IRawElementProviderSimple)) {
        *object = static_cast<IRawElementProviderSimple*>(this);
    } else if (id == __uuidof(ITextProvider)) {
        *object = static_cast<ITextProvider*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT TListAutomation::get_ProviderOptions(enum ProviderOptions* options) {
    if (options == nullptr) {
        return E_INVALIDARG;
    }
    // COM's threading only where the window's thread is in a single-threaded apartment:
    // elsewhere it would let calls come on other threads, and the control has no locks.
    APTTYPE apartment = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    const bool singleThreaded = SUCCEEDED(CoGetApartmentType(&apartment, &qualifier)) &&
                                (apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA);
    *options =
        static_cast<enum ProviderOptions>(ProviderOptions_ServerSideProvider |
                                          (singleThreaded ? ProviderOptions_UseComThreading : 0));
    return S_OK;
}

HRESULT TListAutomation::GetPatternProvider(PATTERNID pattern, IUnknown** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithMemo([&](TListMemo&) {
        if (pattern == UIA_TextPatternId) {
            *result = static_cast<ITextProvider*>(this);
            AddRef();
        }
        return S_OK;
    });
}

HRESULT TListAutomation::GetPropertyValue(PROPERTYID property, VARIANT* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    VariantInit(result);
    return WithMemo([&](TListMemo&) {
        switch (property) {
        case UIA_ControlTypePropertyId:
            result->vt = VT_I4;
            result->lVal = EditControlTypeId;
            break;
        case UIA_IsKeyboardFocusablePropertyId:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            break;
        case UIA_HasKeyboardFocusPropertyId:
            result->vt = VT_BOOL;
            result->boolVal = GetFocus() == Window ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        default:
            // The rest (the name among them) is the window's, from the host provider.
            break;
        }
        return S_OK;
    });
}

HRESULT TListAutomation::get_HostRawElementProvider(IRawElementProviderSimple** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithMemo([&](TListMemo&) {
        const TAutomationCore& core = AutomationCore();
        return core.HostProviderFromHwnd != nullptr ? core.HostProviderFromHwnd(Window, result)
                                                    : E_FAIL;
    });
}

HRESULT TListAutomation::GetSelection(SAFEARRAY** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithMemo([&](TListMemo& memo) {
        const TAccessibleText text(memo.Editor());
        // With nothing selected, the caret's place.
        return OneRange(this, text.OffsetOf(memo.Editor().SelectionStart()),
                        text.OffsetOf(memo.Editor().SelectionEnd()), result);
    });
}

HRESULT TListAutomation::GetVisibleRanges(SAFEARRAY** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithMemo([&](TListMemo& memo) {
        const TListEditor& editor = memo.Editor();
        const TAccessibleText text(editor);
        const int start = text.OffsetOf(editor.PosAt(0, 0));
        const auto shown = static_cast<int64_t>(editor.ShownText().size());
        return OneRange(this, start,
                        static_cast<int>(std::min<int64_t>(start + shown, text.Length())), result);
    });
}

HRESULT TListAutomation::RangeFromChild(IRawElementProviderSimple*, ITextRangeProvider** result) {
    // The text has no embedded elements.
    if (result != nullptr) {
        *result = nullptr;
    }
    return E_INVALIDARG;
}

HRESULT TListAutomation::RangeFromPoint(struct UiaPoint point, ITextRangeProvider** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithMemo([&](TListMemo& memo) {
        POINT at{static_cast<LONG>(point.x), static_cast<LONG>(point.y)};
        ScreenToClient(Window, &at);
        const TAccessibleText text(memo.Editor());
        const int offset = text.OffsetOf(memo.Editor().PosAt(at.x - TListMemo::TextMargin, at.y));
        return TListTextRange::Make(this, offset, offset, result);
    });
}

HRESULT TListAutomation::get_DocumentRange(ITextRangeProvider** result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = nullptr;
    return WithMemo([&](TListMemo& memo) {
        return TListTextRange::Make(this, 0, TAccessibleText(memo.Editor()).Length(), result);
    });
}

HRESULT TListAutomation::get_SupportedTextSelection(enum SupportedTextSelection* result) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = SupportedTextSelection_Single;
    return Memo() != nullptr ? S_OK : ElementNotAvailable;
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

// ---- the window's element ----

TListAutomation* ProviderOf(HWND window) {
    return static_cast<TListAutomation*>(GetPropW(window, ProviderProperty));
}

} // namespace

IRawElementProviderSimple* ListMemoAutomationProvider(HWND window) {
    if (AutomationCore().ReturnRawElementProvider == nullptr || TListMemo::Of(window) == nullptr) {
        return nullptr;
    }
    TListAutomation* provider = ProviderOf(window);
    if (provider == nullptr) {
        provider = new (std::nothrow) TListAutomation(window);
        if (provider == nullptr || !SetPropW(window, ProviderProperty, provider)) {
            if (provider != nullptr) {
                provider->Release();
            }
            return nullptr;
        }
    }
    return provider;
}

LRESULT ListMemoAutomationObject(HWND window, WPARAM wParam, LPARAM lParam) {
    IRawElementProviderSimple* provider = ListMemoAutomationProvider(window);
    return provider != nullptr
               ? AutomationCore().ReturnRawElementProvider(window, wParam, lParam, provider)
               : 0;
}

void RaiseListMemoAutomationEvent(HWND window, TListMemoAutomationEvent event) {
    // Only an element that a client has asked for can have listeners.
    TListAutomation* provider = ProviderOf(window);
    const TAutomationCore& core = AutomationCore();
    if (provider == nullptr || core.RaiseAutomationEvent == nullptr ||
        core.ClientsAreListening == nullptr || !core.ClientsAreListening()) {
        return;
    }
    core.RaiseAutomationEvent(provider, event == TListMemoAutomationEvent::TextChanged
                                            ? TextChangedEventId
                                            : TextSelectionChangedEventId);
}

void DisconnectListMemoAutomation(HWND window) {
    TListAutomation* provider = ProviderOf(window);
    if (provider == nullptr) {
        return;
    }
    RemovePropW(window, ProviderProperty);
    provider->Disconnect();
    const TAutomationCore& core = AutomationCore();
    // UI Automation lets go of the window's providers, and of this one wherever it is held.
    core.ReturnRawElementProvider(window, 0, 0, nullptr);
    if (core.DisconnectProvider != nullptr) {
        core.DisconnectProvider(provider);
    }
    provider->Release();
}
