#include "win32/Desktop.h"

#include "core/Exception.h"

namespace {

TDesktop* CurrentDesktop = nullptr;

} // namespace

TDesktop& Desktop() {
    if (CurrentDesktop == nullptr) {
        throw Exception("No desktop to hand the request to");
    }
    return *CurrentDesktop;
}

TDesktop* SetDesktop(TDesktop* desktop) {
    TDesktop* previous = CurrentDesktop;
    CurrentDesktop = desktop;
    return previous;
}
