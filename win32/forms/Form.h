#pragma once

#include "win32/app/ApplicationWindow.h"
#include "win32/forms/Layout.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

enum class TModalResult { None, Ok, Cancel };

// The base of every window of the program. Constructing it builds the window from the
// layout table, hidden, scaled from 96 dots per inch to the system's; its controls are
// made from the table when it first shows or first hands one out (Control), and then set
// up by ControlsMade.
// The keyboard is the dialog keyboard of IsDialogMessageW (Tab order, accelerators,
// Enter on the focused button or the default one); a form adds what that lacks in
// PreTranslate. Handlers run through RunGuarded.
class TForm : public TApplicationWindow {
public:
    enum class TBorder { Single, Dialog };
    // A control's id (GetDlgItem) is this plus its index in the layout table.
    static constexpr int FirstControlId = 100;
    // A menu item's command id (WM_COMMAND) is this plus its index in the menu table.
    static constexpr int FirstMenuCommand = 1000;

    TForm(const TFormLayout& layout, TBorder border);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Shows the window modally: the program's other windows take no input until the
    // modal result is set; then the window hides and the window that was active
    // before becomes active again. Centred on its first showing, later where it was.
    TModalResult ShowModal();
    // Shows the window (the main window, by the application's Run).
    void Show(int showState) override;
    // A modal showing ends with Cancel; the main window ends the run; others hide.
    void Close();
    void SetModalResult(TModalResult result);
    bool IsModal() const { return InModalLoop; }

    HWND Handle() const override { return Window; }
    HWND Control(int index) const;
    HMENU MenuItemOwner(int menuIndex) const;
    int MenuCommand(int menuIndex) const;
    std::wstring ControlText(int index) const;
    void SetControlText(int index, const std::wstring& text);
    // Places a picture in an image (a label of the layout); the form keeps it.
    void ShowPicture(int index, HBITMAP picture);
    // Pixels at 96 dots per inch to the system's.
    static int Scale(int pixels);

    // The message hook of the application's loop: true when the form handled the
    // message itself, so that neither IsDialogMessageW nor the window sees it.
    bool PreTranslate(MSG& message) override;

protected:
    void OnClick(int control, std::function<void()> handler);
    void OnMenu(int menuIndex, std::function<void()> handler);
    // Runs when a control reports `code` to the window (WM_COMMAND).
    void OnNotify(int control, WORD code, std::function<void()> handler);
    // Runs when the menu's drop-down opens.
    void OnMenuOpen(int menuIndex, std::function<void()> handler);
    // Colours of an edit or memo (both CLR_INVALID: the system's).
    void SetControlColours(int control, COLORREF text, COLORREF background);
    // Called once, as soon as the controls are made: a form's own setup of them.
    virtual void ControlsMade() {}
    // Called before every showing.
    virtual void BeforeShow() {}

    const TFormLayout& Layout;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void MakeControls() const;
    void CreateControls();
    bool IsControl(int index, HWND window) const;
    void CreateMenuBar();
    HFONT FontFor(const TFontEntry& font);
    void FitClientSize();
    void CentreOnScreen();
    void Command(int id, int code, HWND control);
    void PressButton(int control);
    LRESULT DefaultButtonId();
    void Activated(bool active);
    bool ColourControl(HWND control, HDC dc, LRESULT& brush);

    HWND Window = nullptr;
    mutable std::vector<HWND> Controls;
    std::vector<HMENU> MenuHandles; // per menu entry: its drop-down, or null
    std::vector<HMENU> MenuOwners;  // per menu entry: the menu that holds it
    std::vector<HFONT> Fonts;
    std::vector<HBITMAP> Pictures;
    std::map<int, std::function<void()>> ClickHandlers;
    std::map<int, std::function<void()>> MenuHandlers;
    std::map<int, std::function<void()>> MenuOpenHandlers;
    std::map<std::pair<int, WORD>, std::function<void()>> NotifyHandlers;
    struct TColours {
        COLORREF Text;
        COLORREF Background;
        HBRUSH Brush;
    };
    std::map<int, TColours> Colours;
    TModalResult ModalResult = TModalResult::None;
    bool InModalLoop = false;
    bool Placed = false;
    HWND LastFocus = nullptr;
};

// The window of a control or form, found by its class and position: for tests.
TForm* FormOfWindow(HWND window);
