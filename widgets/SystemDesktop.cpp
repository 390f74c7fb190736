#include "widgets/SystemDesktop.h"

#include "widgets/ClipboardKeeper.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace {

class TQtDesktop : public TDesktop {
public:
    void Open(const std::string& fileOrAddress) override {
        const QString target = QString::fromStdString(fileOrAddress);
        const QUrl url = QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target)
                                                        : QUrl(target, QUrl::StrictMode);
        QDesktopServices::openUrl(url);
    }

    bool SetClipboardText(const std::string& text) override {
        const QString wanted = QString::fromStdString(text);
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(wanted);
        return clipboard->text() == wanted;
    }

    std::string ClipboardText() override {
        return QGuiApplication::clipboard()->text().toStdString();
    }

    // On X11 the clipboard's content lives in the program that copied it. Where a
    // clipboard manager runs, Qt hands the text to it as the application ends; where
    // none runs, a keeper process of ours holds it.
    void HandOverClipboard() override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            !clipboard->ownsClipboard()) {
            return;
        }
        KeepClipboardText(clipboard->text().toStdString());
    }
};

} // namespace

TDesktop& SystemDesktop() {
    static TQtDesktop desktop;
    return desktop;
}
