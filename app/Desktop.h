#pragma once

#include <QString>

// Everything the program hands to the rest of the desktop: documents and web pages
// opened with their default handler, and clipboard text. Tests put their own
// implementation in place with SetDesktop, so that nothing leaves the test process.
class TDesktop {
public:
    virtual ~TDesktop() = default;

    // Opens a local file or a web address with the desktop's default handler; the
    // outcome is not reported.
    virtual void Open(const QString& fileOrAddress) = 0;
    // Makes `text` the clipboard's whole content; false when the program could not
    // take the clipboard (it does not hold the text afterwards).
    virtual bool SetClipboardText(const QString& text) = 0;
};

// The desktop in use: the real one unless a test replaced it.
TDesktop& Desktop();
// Replaces the desktop; nullptr puts the real one back.
void SetDesktop(TDesktop* desktop);
