#pragma once

#include "app/Application.h"

// Wraps an event handler so that no exception ever leaves it into Qt's event loop:
// an Exception ends the handler and is shown by the application; any other failure
// is shown as an error with an empty message. The program then goes on.
//   connect(button, &QPushButton::clicked, this, Guarded(this, &TFrmMain::ButtonClick));
template <class Form> auto Guarded(Form* form, void (Form::*handler)()) {
    return [form, handler]() {
        try {
            (form->*handler)();
        } catch (const Exception& error) {
            Application->HandleException(error);
        } catch (...) {
            Application->HandleException(Exception(""));
        }
    };
}
