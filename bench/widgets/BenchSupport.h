#pragma once

// What the list benchmarks share: resident memory, waiting for a painted frame and a
// clipboard to paste from.

#include "core/Desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>

#include <string>

// Resident memory of this process in KiB.
inline long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

// Notes when the list's viewport has painted: events are handled to their end before
// processEvents returns, so once the flag is seen the frame is drawn.
class TPaintWatch : public QObject {
public:
    explicit TPaintWatch(QWidget* viewport) { viewport->installEventFilter(this); }
    bool Painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Painted = true;
        }
        return false;
    }
};

// Milliseconds from calling `act` until the list has painted.
template <typename Act> double UntilPainted(TPaintWatch& watch, Act act) {
    watch.Painted = false;
    QElapsedTimer timer;
    timer.start();
    act();
    while (!watch.Painted) {
        QApplication::processEvents(QEventLoop::AllEvents);
    }
    return timer.nsecsElapsed() / 1e6;
}

// The clipboard as the memo reaches it, holding the pasted text.
class TBenchDesktop : public TDesktop {
public:
    std::string Clipboard;
    void Open(const std::string&) override {}
    bool SetClipboardText(const std::string& text) override {
        Clipboard = text;
        return true;
    }
    std::string ClipboardText() override { return Clipboard; }
};
