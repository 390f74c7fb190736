#pragma once

#include <windows.h>

// IUnknown's reference counting for an object that implements COM interfaces: it starts
// held once, by whoever made it, and goes with its last reference. QueryInterface is each
// object's own.
template <typename... TInterfaces> class TComObject : public TInterfaces... {
public:
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

protected:
    TComObject() = default;
    virtual ~TComObject() = default;

private:
    LONG References = 1;
};

// A method's out parameter checked and emptied before its work fills it.
template <typename TOut, typename TWork> HRESULT Filling(TOut* result, TWork work) {
    if (result == nullptr) {
        return E_INVALIDARG;
    }
    *result = TOut{};
    return work();
}
