#pragma once

#include "core/Exception.h"
#include "core/GlobalForm.h"
#include "core/OwnedWindows.h"
#include "win32/app/ApplicationWindow.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The application object: a hidden top-level window that owns the program's windows
// and its message boxes, the message loop, and the reporting of every error that
// escapes a handler.
class TApplication {
public:
    TApplication();
    // Destroys the windows in the reverse of their creation order, the main window last.
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Registers the window classes and makes the hidden window; called first.
    void Initialize();
    // Sets the title: the hidden window's caption and the caption of the message boxes.
    void SetTitle(const std::wstring& title);
    const std::wstring& Title() const { return TitleText; }

    // Creates one window of class T, hidden. `global` names the window already while
    // it is being constructed and is reset if construction fails. The first window
    // created is the main window.
    template <class T> void CreateForm(T*& global);

    // Shows the main window with the show state the program was started with and
    // dispatches messages until it closes.
    void Run(int showState);
    // Ends the run: the effect of closing the main window.
    void Terminate();
    // Dispatches messages until `done` answers true or the run ends; the modal loops.
    void ProcessMessagesUntil(const std::function<bool()>& done);
    // Dispatches the messages that are waiting, then returns.
    void ProcessMessages();
    bool Terminated() const { return IsTerminated; }

    // Ends any mouse capture and shows the error box.
    void HandleException(const Exception& error);
    // One error box with the message of `error`, a full stop added by ErrorBoxText.
    void ShowException(const Exception& error);

    HWND Handle() const { return Window; }
    TApplicationWindow* MainForm() const { return Forms.First(); }

private:
    void Adopt(TApplicationWindow* form);
    // The program's window that a message is for, if any.
    TApplicationWindow* WindowOf(HWND window) const;
    void Dispatch(MSG& message);

    HWND Window = nullptr;
    std::wstring TitleText;
    TOwnedWindows<TApplicationWindow> Forms;
    bool IsTerminated = false;
    int LoopDepth = 0;
};

extern TApplication* Application;

template <class T> void TApplication::CreateForm(T*& global) {
    Adopt(ConstructIntoGlobal(global));
}
