#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

// What a test saw of a message box that an action opened.
struct TSeenBox {
    bool Shown = false;
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

using TModalStep = std::function<void(QWidget* modal)>;

// Runs `action`. Each time another modal window becomes the active window, the next
// step is called with it (queued, so a step may open a further modal window). A modal
// window left open for five seconds after the last step fails the test and is closed,
// so that a failing test never hangs.
void RunWithModals(const std::function<void()>& action, std::vector<TModalStep> steps);

// A step that records a message box and closes it with `closeKey`.
TModalStep CloseBox(TSeenBox& seen, int closeKey = Qt::Key_Return);

// Runs `action`; if it opens a message box, records it and closes it with `closeKey`.
TSeenBox RunClosingBox(const std::function<void()>& action, int closeKey = Qt::Key_Return);
