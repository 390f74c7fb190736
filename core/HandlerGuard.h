#pragma once

#include "core/Exception.h"

#include <functional>

// Every event handler of the program, in any window or control, runs through RunGuarded:
// an Exception that escapes it ends the handler and is reported; any other failure is
// reported as an Exception with an empty message. The program then goes on. The
// application object puts its report (the error box) in place when it starts; until then
// the message goes to the standard error stream.
using TErrorReport = std::function<void(const Exception& error)>;
void SetErrorReport(TErrorReport report);
void RunGuarded(const std::function<void()>& handler);

// A handler of a window, guarded, to connect to an event:
//   connect(button, &QPushButton::clicked, this, Guarded(this, &TFrmMain::ButtonClick));
template <class Form> auto Guarded(Form* form, void (Form::*handler)()) {
    return [form, handler]() { RunGuarded([form, handler] { (form->*handler)(); }); };
}
