// The list control's UI Automation provider: an Edit element with the Text pattern. Its
// ranges are in ListMemoTextRange.cpp.

#include "win32/widgets/ListMemoAutomation.h"

#include "core/SystemFunction.h"
#include "win32/widgets/ListMemoAutomationParts.h"

#include <algorithm>
#include <new>

namespace {

constexpr wchar_t ProviderProperty[] = L"QuorvinListAutomation";

// A function of a system library into `function` (null where it is missing).
template <typename TFunction>
void Take(TFunction& function, const wchar_t* library, const char* name) {
    function = SystemFunction<TFunction>(library, name);
}

TAutomationCore LoadAutomationCore() {
    TAutomationCore core;
    constexpr wchar_t Uia[] = L"uiautomationcore.dll";
    Take(core.ReturnRawElementProvider, Uia, "UiaReturnRawElementProvider");
    Take(core.HostProviderFromHwnd, Uia, "UiaHostProviderFromHwnd");
    Take(core.RaiseAutomationEvent, Uia, "UiaRaiseAutomationEvent");
    Take(core.ClientsAreListening, Uia, "UiaClientsAreListening");
    Take(core.DisconnectProvider, Uia, "UiaDisconnectProvider");
    Take(core.GetReservedNotSupportedValue, Uia, "UiaGetReservedNotSupportedValue");
    Take(core.AllocateString, L"oleaut32.dll", "SysAllocStringLen");
    Take(core.StringLength, L"oleaut32.dll", "SysStringLen");
    Take(core.CreateVector, L"oleaut32.dll", "SafeArrayCreateVector");
    Take(core.PutElement, L"oleaut32.dll", "SafeArrayPutElement");
    Take(core.DestroyArray, L"oleaut32.dll", "SafeArrayDestroy");
    Take(core.ApartmentType, L"ole32.dll", "CoGetApartmentType");
    if (core.ReturnRawElementProvider == nullptr || core.HostProviderFromHwnd == nullptr ||
        core.AllocateString == nullptr || core.StringLength == nullptr ||
        core.CreateVector == nullptr || core.PutElement == nullptr ||
        core.DestroyArray == nullptr || core.ApartmentType == nullptr) {
        // Without these there is no provider to hand out; the libraries stay loaded.
        return TAutomationCore{};
    }
    return core;
}

} // namespace

const TAutomationCore& AutomationCore() {
    static const TAutomationCore Loaded = LoadAutomationCore();
    return Loaded;
}

HRESULT ReturnText(const std::u16string& text, BSTR* result) {
    *result = AutomationCore().AllocateString(reinterpret_cast<const OLECHAR*>(text.data()),
                                              static_cast<UINT>(text.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
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
    const bool singleThreaded = SUCCEEDED(AutomationCore().ApartmentType(&apartment, &qualifier)) &&
                                (apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA);
    *options =
        static_cast<enum ProviderOptions>(ProviderOptions_ServerSideProvider |
                                          (singleThreaded ? ProviderOptions_UseComThreading : 0));
    return S_OK;
}

HRESULT TListAutomation::GetPatternProvider(PATTERNID pattern, IUnknown** result) {
    return FillingWithMemo(result, [&](TListMemo&) {
        if (pattern == UIA_TextPatternId) {
            *result = static_cast<ITextProvider*>(this);
            AddRef();
        }
        return S_OK;
    });
}

HRESULT TListAutomation::GetPropertyValue(PROPERTYID property, VARIANT* result) {
    return FillingWithMemo(result, [&](TListMemo&) {
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
    return FillingWithMemo(result, [&](TListMemo&) {
        const TAutomationCore& core = AutomationCore();
        return core.HostProviderFromHwnd != nullptr ? core.HostProviderFromHwnd(Window, result)
                                                    : E_FAIL;
    });
}

HRESULT TListAutomation::GetSelection(SAFEARRAY** result) {
    return FillingWithMemo(result, [&](TListMemo& memo) {
        // With nothing selected, the caret's place.
        const TTextSpan selected = TAccessibleText(memo.Editor()).Selection();
        return OneRange(this, selected.Start, selected.End, result);
    });
}

HRESULT TListAutomation::GetVisibleRanges(SAFEARRAY** result) {
    return FillingWithMemo(result, [&](TListMemo& memo) {
        const TTextSpan shown = TAccessibleText(memo.Editor()).Visible();
        return OneRange(this, shown.Start, shown.End, result);
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
    return FillingWithMemo(result, [&](TListMemo& memo) {
        POINT at{static_cast<LONG>(point.x), static_cast<LONG>(point.y)};
        ScreenToClient(Window, &at);
        const int offset =
            TAccessibleText(memo.Editor()).OffsetAt(at.x - TListMemo::TextMargin, at.y);
        return TListTextRange::Make(this, offset, offset, result);
    });
}

HRESULT TListAutomation::get_DocumentRange(ITextRangeProvider** result) {
    return FillingWithMemo(result, [&](TListMemo& memo) {
        return TListTextRange::Make(this, 0, TAccessibleText(memo.Editor()).Length(), result);
    });
}

HRESULT TListAutomation::get_SupportedTextSelection(enum SupportedTextSelection* result) {
    return FillingWithMemo(result, [&](TListMemo&) {
        *result = SupportedTextSelection_Single;
        return S_OK;
    });
}

namespace {

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
    if (provider == nullptr) {
        return; // nor is the library loaded for a list that no client has asked for
    }
    const TAutomationCore& core = AutomationCore();
    if (core.RaiseAutomationEvent == nullptr || core.ClientsAreListening == nullptr ||
        !core.ClientsAreListening()) {
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
