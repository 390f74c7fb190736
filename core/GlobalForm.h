#pragma once

#include <new>

// Constructs a T whose global already names it while its constructor runs, as handlers of
// other windows may reach a window through its global during construction. The storage is
// taken first; if construction fails, it is released, the global is reset to null and the
// error goes on.
template <class T> T* ConstructIntoGlobal(T*& global) {
    void* storage = ::operator new(sizeof(T));
    global = static_cast<T*>(storage);
    try {
        new (storage) T();
    } catch (...) {
        ::operator delete(storage);
        global = nullptr;
        throw;
    }
    return global;
}
