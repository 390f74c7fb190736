#include "ModalBoxes.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace {

// Polls for an active modal window and hands it to `onShown` once; a window still
// open after two seconds is closed so that a failing test never hangs.
void WhenModalActive(const std::function<void()>& action,
                     const std::function<void(QWidget*)>& onShown) {
    QTimer poll;
    poll.setInterval(5);
    int ticks = 0;
    bool handled = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ++ticks;
        if (modal == nullptr) {
            return;
        }
        if (!handled && QApplication::activeWindow() == modal) {
            handled = true;
            onShown(modal);
        } else if (ticks > 400) {
            modal->close();
        }
    });
    poll.start();
    action();
    poll.stop();
}

} // namespace

TSeenBox RunClosingBox(const std::function<void()>& action, int closeKey) {
    TSeenBox seen;
    WhenModalActive(action, [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return;
        }
        seen.shown = true;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        QTest::keyClick(box, static_cast<Qt::Key>(closeKey));
    });
    return seen;
}

void RunWithModal(const std::function<void()>& action,
                  const std::function<void(QWidget* modal)>& whileShown) {
    WhenModalActive(action, whileShown);
}
