#pragma once

#include "core/Exception.h"
#include "core/GlobalForm.h"
#include "core/OwnedWindows.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class QWidget;

// The application object: creates the program's windows, runs the event loop until
// the main window closes, and reports every error that escapes a handler.
class TApplication {
public:
    // The program reads no command line: Qt is given the program's name and nothing of
    // the user's, so that none of Qt's own options (-reverse, -qwindowtitle, ...) takes
    // effect. Without a display the program ends here (see StartQtOrExit).
    explicit TApplication(const char* programName);
    // Destroys the windows in the reverse of their creation order, the main window last.
    ~TApplication();

    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Prepares fonts and quitting; called first.
    void Initialize();

    // Creates one window of class T, hidden, owned by the application. `global` holds
    // the window while it is being constructed and is reset if construction fails.
    // The first window created becomes the main window.
    template <class T> void CreateForm(T*& global);

    // Shows the main window and dispatches events until it is closed.
    void Run();
    // Ends the run; the effect of closing the main window.
    void Terminate();

    // Called for every error that escapes a handler: ends any mouse capture and shows
    // the error box.
    void HandleException(const Exception& error);
    // Shows one error box with the message of `error` (see ErrorBoxText).
    void ShowException(const Exception& error);

    QWidget* MainForm() const { return Forms.First(); }

    QString Title;

private:
    void Adopt(QWidget* form);

    // The command line that Qt sees (see QtArguments); it must outlive the QApplication.
    std::vector<std::string> Arguments;
    std::vector<char*> ArgumentPointers;
    int ArgumentCount = 0;
    std::unique_ptr<QApplication> QtApplication;
    TOwnedWindows<QWidget> Forms;
};

extern TApplication* Application;

template <class T> void TApplication::CreateForm(T*& global) {
    Adopt(ConstructIntoGlobal(global));
}
