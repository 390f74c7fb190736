#include "win32/widgets/ListMemoAccessible.h"

#include "core/SystemFunction.h"
#include "editor/AccessibleText.h"
#include "win32/widgets/ComObject.h"
#include "win32/widgets/ListMemo.h"

#include <oleacc.h>

#include <string>

namespace {

// OLEACC.dll's two functions and OLEAUT32.dll's strings, taken from the system folder when
// first needed: null where they are missing, and then MSAA answers nothing.
struct TOleacc {
    decltype(&CreateStdAccessibleObject) CreateStandard =
        SystemFunction<decltype(&CreateStdAccessibleObject)>(L"oleacc.dll",
                                                             "CreateStdAccessibleObject");
    decltype(&LresultFromObject) ResultFromObject =
        SystemFunction<decltype(&LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    decltype(&SysAllocStringLen) AllocateString =
        SystemFunction<decltype(&SysAllocStringLen)>(L"oleaut32.dll", "SysAllocStringLen");

    bool Loaded() const {
        return CreateStandard != nullptr && ResultFromObject != nullptr &&
               AllocateString != nullptr;
    }
};

const TOleacc& Oleacc() {
    static const TOleacc Loaded;
    return Loaded;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object of the window, with the role and value of a text.
class TListMemoAccessible final : public TComObject<IAccessible> {
public:
    TListMemoAccessible(HWND window, IAccessible* standard) : Window(window), Standard(standard) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return Standard->QueryInterface(id, object);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return Standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return Standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return Standard->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return Standard->Invoke(member, id, locale, flags, parameters, result, exception, argument);
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!IsSelf(child)) {
            return Standard->get_accValue(child, value);
        }
        const TListMemo* memo = IsWindow(Window) ? TListMemo::Of(Window) : nullptr;
        if (memo == nullptr) {
            return E_FAIL;
        }
        const TListEditor& editor = memo->Editor();
        const std::u16string line =
            editor.LineText(editor.Caret().Line, 0, TAccessibleText::MaxAnswer);
        *value = Oleacc().AllocateString(reinterpret_cast<const OLECHAR*>(line.data()),
                                         static_cast<UINT>(line.size()));
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) {
            return Standard->get_accRole(child, role);
        }
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_TEXT;
        return S_OK;
    }

    // Everything else is the system's answer for the window.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return Standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
        return Standard->get_accChild(child, result);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return Standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return Standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return Standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return Standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return Standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return Standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return Standard->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return Standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return Standard->put_accValue(child, value);
    }

private:
    ~TListMemoAccessible() override { Standard->Release(); }

    HWND Window;
    IAccessible* Standard;
};

} // namespace

LRESULT ListMemoAccessibleObject(HWND window, WPARAM flags) {
    const TOleacc& oleacc = Oleacc();
    IAccessible* standard = nullptr;
    if (!oleacc.Loaded() ||
        FAILED(oleacc.CreateStandard(window, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&standard)))) {
        return 0;
    }
    auto* accessible = new TListMemoAccessible(window, standard);
    const LRESULT result = oleacc.ResultFromObject(__uuidof(IAccessible), flags, accessible);
    accessible->Release();
    return result;
}
