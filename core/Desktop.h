#pragma once

#include <string>

// Everything the program hands to the rest of the desktop: documents and web pages
// opened with their default handler, and clipboard text. Each front end puts its
// implementation in place at start-up; tests put their own in place, so that nothing
// leaves the test process. Texts are UTF-8.
class TDesktop {
public:
    virtual ~TDesktop() = default;

    // Opens a local file (an absolute path) or a web address with the desktop's default
    // handler; the outcome is not reported.
    virtual void Open(const std::string& fileOrAddress) = 0;
    // Makes `text` the clipboard's whole content; false when the program could not
    // take the clipboard (it does not hold the text afterwards).
    virtual bool SetClipboardText(const std::string& text) = 0;
    // The clipboard's text; empty when it holds none.
    virtual std::string ClipboardText() = 0;
    // Whether the clipboard holds text (to offer Paste).
    virtual bool HasClipboardText() { return !ClipboardText().empty(); }
    // Called once as the program ends: text that the program put on the clipboard stays
    // pasteable after the program has gone. Nothing to do where the clipboard keeps its
    // content by itself.
    virtual void HandOverClipboard() {}
};

// The desktop in use. Raises Exception when no desktop was put in place.
TDesktop& Desktop();
// Puts `desktop` in place (nullptr for none) and returns the one it replaces.
TDesktop* SetDesktop(TDesktop* desktop);
