#include "tests/forms/ModalBoxes.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

void RunWithModals(const std::function<void()>& action, std::vector<TModalStep> steps) {
    QTimer poll;
    poll.setInterval(5);
    size_t next = 0;
    int ticks = 0;
    QPointer<QWidget> handled;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || QApplication::activeWindow() != modal) {
            return;
        }
        if (modal != handled && next < steps.size()) {
            handled = modal;
            ticks = 0;
            QTimer::singleShot(0, modal, [step = steps[next], modal] { step(modal); });
            ++next;
        } else if (++ticks > 1000) {
            ADD_FAILURE() << "a modal window was left open: " << modal->windowTitle().toStdString();
            modal->close();
        }
    });
    poll.start();
    action();
    poll.stop();
}

TModalStep CloseBox(TSeenBox& seen, int closeKey) {
    return [&seen, closeKey](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            modal->close();
            return;
        }
        seen.Shown = true;
        seen.Caption = box->windowTitle();
        seen.Text = box->text();
        seen.Icon = box->icon();
        QTest::keyClick(box, static_cast<Qt::Key>(closeKey));
    };
}

TSeenBox RunClosingBox(const std::function<void()>& action, int closeKey) {
    TSeenBox seen;
    RunWithModals(action, {CloseBox(seen, closeKey)});
    return seen;
}
