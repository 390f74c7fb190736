#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QEventLoop;

enum class TModalResult { None, Ok, Cancel };

// The base of every window of the program. A derived window builds its controls from
// its .ui description, then calls SetupForm(), which gives every window the same
// classic keyboard behaviour. A dialog may hand that building to BuildOnFirstShow: its
// controls are then made when it is first shown (or Build is called), not at start.
// The keyboard:
//  - Enter presses the focused button, and the default button (a QPushButton whose
//    "default" property is set) when the focus is on a control that does not use Enter;
//    Enter in an edit presses nothing else.
//  - A button's accelerator ("&" in its caption) presses it with Alt from anywhere in
//    the window, and also typed alone while a button has the focus. A space as
//    accelerator is pressed by the space bar while a button has the focus.
//  - Alt+Space is never an accelerator, and Esc presses nothing: no window of the
//    program has a cancel button.
// Window descriptions give font sizes in pixels: the .ui "pointsize" of a font is
// its pixel height, as on a 96 dpi screen.
// Buttons can carry a dynamic property in the .ui: "modalResult" ("ok" or "cancel")
// ends a modal showing with that result; "closesWindow" (true) closes the window;
// "closeGlyph" (true) shows the close glyph, from the window's first showing on. A label
// with the property "autoSize" (true) takes the size of its text each time the window is
// shown; its top-left corner stays.
class TForm : public QMainWindow {
    Q_OBJECT

public:
    enum class TBorder { Single, Dialog };

    explicit TForm(TBorder border);
    ~TForm() override;

    // Shows the window modally: the program's other windows take no input until the
    // modal result is set; then the window hides and the activation goes back to the
    // window that was active before. No caller needs the result, so none is returned.
    void ShowModal();
    // Closes the window: a modal showing ends with the result Cancel; the main window
    // ends the run; any other window hides.
    void Close();

    void SetModalResult(TModalResult result);

    void setVisible(bool visible) override;
    // The desktop's font for a kind of control (a class name, as QApplication::font
    // takes), with its Chinese characters in the Song font, as a Chinese desktop shows
    // them in its menus and status bars.
    static QFont DesktopFont(const char* className);
    // Makes the controls now, if the window put them off (BuildOnFirstShow).
    void Build();

protected:
    void SetupForm();
    // `build` makes the controls and sets them up, on the first showing or Build.
    void BuildOnFirstShow(std::function<void()> build);

    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConvertFontSizesToPixels();
    void FixClientSize();
    void PrepareButtons();
    void ShowCloseGlyphs();
    void FitAutoSizeLabels();
    void PlaceOnScreen();
    void BelongTo(QWidget* owner);
    void BringBackMinimisedModal();
    void FocusFirstControl();
    bool HandleButtonKey(QKeyEvent* event);
    QAbstractButton* ButtonWithAccelerator(QChar accelerator) const;

    TModalResult ModalResult = TModalResult::None;
    QEventLoop* ModalLoop = nullptr;
    bool Placed = false;
    std::function<void()> PutOffBuilding;
    QPoint LastPosition;
    QPointer<QWidget> LastFocus;
};

// The accelerator of a caption: the character after the first single "&" ("&&" is a
// shown "&"), lower-cased; a null QChar when there is none.
QChar AcceleratorOf(const QString& caption);
