#include "app/Dialogs.h"

#include "app/Application.h"

void ShowMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    ReturningActivation([&] {
        QMessageBox box(icon, caption, text, QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        return box.exec();
    });
}

void ShowPlainMessage(const QString& text) {
    ShowMessageBox(QMessageBox::NoIcon, Application->Title, text);
}

void ShowErrorBox(const QString& text) {
    ShowMessageBox(QMessageBox::Critical, Application->Title, text);
}
