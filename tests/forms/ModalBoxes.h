#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// What a test saw of a message box that an action opened.
struct TSeenBox {
    bool shown = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs `action`; if it opens a message box, records it and closes it with `closeKey`
// once the box is the active window. Returns what was seen.
TSeenBox RunClosingBox(const std::function<void()>& action, int closeKey = Qt::Key_Return);

// Runs `action`, which shows a modal window; `whileShown` is called once the window
// is active and must close it.
void RunWithModal(const std::function<void()>& action,
                  const std::function<void(QWidget* modal)>& whileShown);
