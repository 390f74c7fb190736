#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

// The program's message boxes. Each is modal for the whole application, centred on
// the screen, has one OK button that Enter and Esc both press, and afterwards gives
// the activation back to the window that was active before it.

// A plain box: the application title as caption, no icon.
void ShowPlainMessage(const QString& text);
// An error box: the application title as caption, the error icon.
void ShowErrorBox(const QString& text);
// A box with its own caption and icon.
void ShowMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text);

// Runs `showModal` and afterwards activates the window that was active before, so
// that the focus returns to the control that had it (Qt leaves this to the window
// manager, which may not do it).
template <class ShowModal> auto ReturningActivation(ShowModal showModal) {
    QPointer<QWidget> previous = QApplication::activeWindow();
    auto result = showModal();
    if (previous != nullptr && previous->isVisible()) {
        previous->activateWindow();
    }
    return result;
}
