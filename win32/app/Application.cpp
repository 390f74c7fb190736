#include "win32/app/Application.h"

#include "core/HandlerGuard.h"
#include "core/WideText.h"
#include "win32/app/Dialogs.h"

#include <commctrl.h>

TApplication* Application = nullptr;

namespace {

constexpr wchar_t ApplicationClassName[] = L"QuorvinApplication";

} // namespace

TApplication::TApplication() {
    Application = this;
    SetErrorReport([this](const Exception& error) { HandleException(error); });
}

TApplication::~TApplication() {
    Forms.Clear();
    if (Window != nullptr) {
        DestroyWindow(Window);
    }
    SetErrorReport(nullptr);
    Application = nullptr;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    windowClass.lpszClassName = ApplicationClassName;
    RegisterClassExW(&windowClass);
    Window = CreateWindowExW(0, ApplicationClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
}

void TApplication::SetTitle(const std::wstring& title) {
    TitleText = title;
    SetWindowTextW(Window, title.c_str());
}

void TApplication::Adopt(TApplicationWindow* form) {
    Forms.Add(std::unique_ptr<TApplicationWindow>(form));
}

void TApplication::Run(int showState) {
    if (MainForm() == nullptr) {
        return;
    }
    MainForm()->Show(showState);
    ProcessMessagesUntil([] { return false; });
}

void TApplication::Terminate() {
    if (!IsTerminated) {
        IsTerminated = true;
        PostQuitMessage(0);
    }
}

void TApplication::ProcessMessagesUntil(const std::function<bool()>& done) {
    MSG message;
    ++LoopDepth;
    while (!done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The run ends: a modal loop passes the quit on to the loop around it.
            IsTerminated = true;
            if (LoopDepth > 1) {
                PostQuitMessage(0);
            }
            break;
        }
        Dispatch(message);
    }
    --LoopDepth;
}

void TApplication::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            IsTerminated = true;
            return;
        }
        Dispatch(message);
    }
}

void TApplication::Dispatch(MSG& message) {
    TApplicationWindow* form = message.hwnd != nullptr ? WindowOf(message.hwnd) : nullptr;
    if (form != nullptr &&
        (form->PreTranslate(message) || IsDialogMessageW(form->Handle(), &message))) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

TApplicationWindow* TApplication::WindowOf(HWND window) const {
    HWND root = GetAncestor(window, GA_ROOT);
    for (const auto& form : Forms.All()) {
        if (form->Handle() == root) {
            return form.get();
        }
    }
    return nullptr;
}

void TApplication::HandleException(const Exception& error) {
    ReleaseCapture();
    ShowException(error);
}

void TApplication::ShowException(const Exception& error) {
    ShowErrorBox(Utf8ToWide(ErrorBoxText(error.Message)));
}
