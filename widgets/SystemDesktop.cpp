#include "widgets/SystemDesktop.h"

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
};

} // namespace

TDesktop& SystemDesktop() {
    static TQtDesktop desktop;
    return desktop;
}
