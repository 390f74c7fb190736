#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// Finds a control of a window by its object name; fails the test when it is missing.
template <class T> T* Control(const QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << "no control " << name;
    return control;
}

// Shows a window and waits until it is the active window, as a user would see it.
inline void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

// Sends a key to whatever has the focus.
inline void TypeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
}
