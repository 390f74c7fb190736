#pragma once

#include "forms/Form.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// Finds a control of a window by its object name, making the window's controls first if
// it has put them off to its first showing; fails the test when it is missing.
template <class T> T* Control(const QWidget* window, const char* name) {
    if (auto* form = qobject_cast<TForm*>(const_cast<QWidget*>(window))) {
        form->Build();
    }
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
