#include "Desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace {

class TSystemDesktop : public TDesktop {
public:
    void Open(const QString& fileOrAddress) override {
        const QUrl url = QFileInfo(fileOrAddress).isAbsolute()
                             ? QUrl::fromLocalFile(fileOrAddress)
                             : QUrl(fileOrAddress, QUrl::StrictMode);
        QDesktopServices::openUrl(url);
    }

    bool SetClipboardText(const QString& text) override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(text);
        return clipboard->text() == text;
    }
};

TSystemDesktop systemDesktop;
TDesktop* current = &systemDesktop;

} // namespace

TDesktop& Desktop() {
    return *current;
}

void SetDesktop(TDesktop* desktop) {
    current = desktop != nullptr ? desktop : &systemDesktop;
}
