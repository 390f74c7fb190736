#pragma once

#include "core/Desktop.h"

#include <windows.h>

#include <string>

// The Windows desktop: files and web addresses are opened by the shell with their default
// handler, text goes to and comes from the Windows clipboard (Windows offers it to other
// programs in the ANSI and OEM formats too). Texts are UTF-8. Both are asked for by the
// owner window: the shell's windows and messages belong to it, and it owns the clipboard
// once it has put text there.
class TSystemDesktop : public TDesktop {
public:
    explicit TSystemDesktop(HWND owner) : Owner(owner) {}

    // Asks the shell to open a file or a web address ("open" verb, normal window); the
    // outcome is not reported.
    void Open(const std::string& fileOrAddress) override;
    // Makes `text` the clipboard's whole content; false when the clipboard could not be
    // opened or taken (it then does not hold the text).
    bool SetClipboardText(const std::string& text) override;
    // The clipboard's text; empty when it holds none or cannot be opened.
    std::string ClipboardText() override;

private:
    HWND Owner;
};
