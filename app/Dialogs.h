#pragma once

#include <QApplication>
#include <QMargins>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

// The program's message boxes. Each is modal for the whole application, a dialog of the
// window it belongs to (the window manager keeps it above that window and out of the
// taskbar), centred on the screen and never larger than it (a text too long is cut with
// an ellipsis), at least as wide as its caption, with one OK button that Enter and Esc
// both press; afterwards the window that was active before gets the activation back.

// A plain box: the application title as caption, no icon.
void ShowPlainMessage(const QString& text);
// An error box: the application title as caption, the error icon.
void ShowErrorBox(const QString& text);
// A box with its own caption and icon.
void ShowMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text);

// The window that a box or dialog opened now belongs to: the modal window showing, else
// the active window, else the main window.
QWidget* OwnerWindow();
// The window manager's frame around `window`, as far as it is known yet (that of the main
// window while `window` has not been shown).
QMargins FrameMargins(const QWidget* window);
// Moves a top-level window so that it, frame included, sits in the middle of its screen's
// available area.
void MoveToScreenCentre(QWidget* window);

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
