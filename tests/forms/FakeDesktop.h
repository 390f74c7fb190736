#pragma once

#include "Desktop.h"

#include <QStringList>

// Stands in for the desktop while a test runs: records what would have been opened
// and what the clipboard would hold.
class TFakeDesktop : public TDesktop {
public:
    TFakeDesktop() { SetDesktop(this); }
    ~TFakeDesktop() override { SetDesktop(nullptr); }

    void Open(const QString& fileOrAddress) override { opened << fileOrAddress; }
    bool SetClipboardText(const QString& text) override {
        if (!clipboardAvailable) {
            return false;
        }
        clipboard = text;
        return true;
    }

    QStringList opened;
    QString clipboard = QStringLiteral("earlier content");
    bool clipboardAvailable = true;
};
