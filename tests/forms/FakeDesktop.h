#pragma once

#include "core/Desktop.h"

#include <string>
#include <vector>

// Stands in for the desktop while a test runs: records what would have been opened
// and what the clipboard would hold.
class TFakeDesktop : public TDesktop {
public:
    TFakeDesktop() : Previous(SetDesktop(this)) {}
    ~TFakeDesktop() override { SetDesktop(Previous); }

    void Open(const std::string& fileOrAddress) override { Opened.push_back(fileOrAddress); }
    bool SetClipboardText(const std::string& text) override {
        if (!ClipboardAvailable) {
            return false;
        }
        Clipboard = text;
        return true;
    }
    std::string ClipboardText() override { return Clipboard; }

    std::vector<std::string> Opened;
    std::string Clipboard = "earlier content";
    bool ClipboardAvailable = true;

private:
    TDesktop* Previous;
};
