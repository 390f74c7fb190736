#pragma once

// The parts of the list control's UI Automation provider (ListMemoAutomation.h) that its
// element (ListMemoAutomation.cpp) and its text ranges (ListMemoTextRange.cpp) share.

#include "editor/AccessibleText.h"
#include "win32/widgets/ComObject.h"
#include "win32/widgets/ListMemo.h"
#include "win32/widgets/UiaTextProvider.h"

#include <windows.h>

#include <string>
#include <vector>

inline constexpr HRESULT ElementNotAvailable =
    static_cast<HRESULT>(0x80040201); // UIA_E_ELEMENTNOTAVAILABLE
inline constexpr HRESULT InvalidOperation =
    static_cast<HRESULT>(0x80131509); // UIA_E_INVALIDOPERATION

// UIAutomationCore.dll's functions, taken from the system folder when first needed; all
// null where it or one of the libraries below is missing.
struct TAutomationCore {
    LRESULT(WINAPI* ReturnRawElementProvider)
    (HWND, WPARAM, LPARAM, IRawElementProviderSimple*) = nullptr;
    HRESULT(WINAPI* HostProviderFromHwnd)(HWND, IRawElementProviderSimple**) = nullptr;
    HRESULT(WINAPI* RaiseAutomationEvent)(IRawElementProviderSimple*, EVENTID) = nullptr;
    BOOL(WINAPI* ClientsAreListening)() = nullptr;
    HRESULT(WINAPI* DisconnectProvider)(IRawElementProviderSimple*) = nullptr;
    HRESULT(WINAPI* GetReservedNotSupportedValue)(IUnknown**) = nullptr;
    // OLE Automation's strings and arrays and COM's apartment type, which the answers use,
    // from OLEAUT32.dll and ole32.dll (loaded with it, not at start).
    decltype(&SysAllocStringLen) AllocateString = nullptr;
    decltype(&SysStringLen) StringLength = nullptr;
    decltype(&SafeArrayCreateVector) CreateVector = nullptr;
    decltype(&SafeArrayPutElement) PutElement = nullptr;
    decltype(&SafeArrayDestroy) DestroyArray = nullptr;
    decltype(&CoGetApartmentType) ApartmentType = nullptr;
};

const TAutomationCore& AutomationCore();

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

HRESULT ReturnText(const std::u16string& text, BSTR* result);

// The control's element. The window keeps one from the first request until it goes; each
// call finds the control again through the window, so that nothing is answered once it
// has gone.
class TListAutomation final : public TComObject<IRawElementProviderSimple, ITextProvider> {
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
    template <typename TOut, typename TWork> HRESULT FillingWithMemo(TOut* result, TWork work) {
        return Filling(result, [&] { return WithMemo(work); });
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;

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
    HWND Window;
    bool Connected = true;
};

// Identifies the ranges of this provider among those a client hands back.
inline constexpr GUID ListTextRangeId = {
    0x6f1d2a3c, 0x8b4e, 0x4c7a, {0x9e, 0x21, 0x5d, 0x3f, 0x70, 0xa8, 0x14, 0xc6}};

// A range of the control's text: the offsets Start..End of its accessible text, kept in
// the text as it is when asked.
class TListTextRange final : public TComObject<ITextRangeProvider> {
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
    ~TListTextRange() override { Element->Release(); }

    // Work on the control with the range kept inside its text as it is now.
    template <typename TWork> HRESULT WithText(TWork work) {
        return Element->WithMemo([&](TListMemo& memo) {
            const TAccessibleText text(memo.Editor());
            Start = std::clamp(Start, 0, text.Length());
            End = std::clamp(End, Start, text.Length());
            return work(memo, text);
        });
    }
    template <typename TOut, typename TWork> HRESULT Filling(TOut* result, TWork work) {
        return ::Filling(result, [&] { return WithText(work); });
    }
    void MoveEndpointTo(TextPatternRangeEndpoint endpoint, int at);
    // A range of the same control handed back by a client, or null.
    TListTextRange* Same(ITextRangeProvider* range) const;
    int& EndpointOf(TextPatternRangeEndpoint endpoint) {
        return endpoint == TextPatternRangeEndpoint_Start ? Start : End;
    }

    TListAutomation* Element;
    int Start;
    int End;
};

// Ranges as the array of ranges that GetSelection and GetVisibleRanges give; the array
// takes them over.
HRESULT RangeArray(const std::vector<ITextRangeProvider*>& ranges, SAFEARRAY** result);
HRESULT OneRange(TListAutomation* element, int start, int end, SAFEARRAY** result);
