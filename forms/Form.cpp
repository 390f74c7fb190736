#include "forms/Form.h"

#include "app/Application.h"
#include "app/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

QChar AcceleratorOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') {
            continue;
        }
        if (caption[i + 1] != u'&') {
            return caption[i + 1].toLower();
        }
        ++i;
    }
    return {};
}

namespace {

Qt::WindowFlags FlagsOf(TForm::TBorder border) {
    const Qt::WindowFlags common = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (border == TForm::TBorder::Single) {
        return Qt::Window | common | Qt::WindowMinimizeButtonHint;
    }
    return Qt::Dialog | common;
}

// Makes the font size that `widget` was given its pixel height (see Form.h).
void ConvertFontSizeToPixels(QWidget* widget) {
    if (!widget->testAttribute(Qt::WA_SetFont)) {
        return;
    }
    QFont font = widget->font();
    if (font.pointSize() > 0) {
        font.setPixelSize(font.pointSize());
        widget->setFont(font);
    }
}

bool IsUsable(const QWidget* widget) {
    return widget->isVisible() && widget->isEnabled();
}

} // namespace

TForm::TForm(TBorder border) : QMainWindow(nullptr, FlagsOf(border)) {}

TForm::~TForm() = default;

void TForm::BuildOnFirstShow(std::function<void()> build) {
    PutOffBuilding = std::move(build);
}

void TForm::Build() {
    if (PutOffBuilding) {
        const std::function<void()> build = std::move(PutOffBuilding);
        PutOffBuilding = nullptr;
        build();
    }
}

QFont TForm::DesktopFont(const char* className) {
    QFont font = QApplication::font(className);
    // Without a second family the text's Chinese would wait for the desktop's list of
    // stand-ins, which can try many Western fonts before one with Chinese characters.
    // The first is the family that the desktop's font name stands for ("Sans Serif"
    // names none).
    font.setFamilies({QFontInfo(font).family(), QStringLiteral("宋体")});
    return font;
}

void TForm::SetupForm() {
    ConvertFontSizesToPixels();
    FixClientSize();
    PrepareButtons();
}

void TForm::ConvertFontSizesToPixels() {
    // Parents come before their children here, so a child that sets only a family
    // inherits its parent's pixel size before its own turn.
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.prepend(this);
    for (QWidget* widget : widgets) {
        ConvertFontSizeToPixels(widget);
    }
    if (QWidget* menu = menuWidget()) {
        // Menus use the desktop's menu font, not the window's.
        menu->setFont(DesktopFont("QMenuBar"));
    }
}

void TForm::FixClientSize() {
    // The .ui geometry is the client area; a menu bar sits above it.
    QSize client = size();
    if (QWidget* menu = menuWidget()) {
        client.rheight() += menu->sizeHint().height();
    }
    setFixedSize(client);
}

void TForm::PrepareButtons() {
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            // Enter presses a focused button. Qt takes the default state away from an
            // auto-default button of a plain window when it loses the focus, so the
            // default button gets Enter from being the default instead.
            push->setAutoDefault(!push->isDefault());
        }
        // Accelerator letters typed on a focused button (see HandleButtonKey).
        button->installEventFilter(this);
        if (AcceleratorOf(button->text()) == u' ') {
            // Qt would make Alt+Space the mnemonic; Alt+Space belongs to the window menu.
            button->setShortcut(QKeySequence());
        }
        const QString result = button->property("modalResult").toString();
        if (result == QLatin1String("ok")) {
            connect(button, &QAbstractButton::clicked, this,
                    [this] { SetModalResult(TModalResult::Ok); });
        } else if (result == QLatin1String("cancel")) {
            connect(button, &QAbstractButton::clicked, this,
                    [this] { SetModalResult(TModalResult::Cancel); });
        }
        if (button->property("closesWindow").toBool()) {
            connect(button, &QAbstractButton::clicked, this, &TForm::Close);
        }
    }
}

void TForm::ShowCloseGlyphs() {
    // The glyph comes from the desktop's icon theme: a lookup that windows created hidden
    // at start-up leave until they first show.
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->property("closeGlyph").toBool() && button->icon().isNull()) {
            button->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
        }
    }
}

void TForm::changeEvent(QEvent* event) {
    // A window's description sets its own font before it makes its controls. Given in
    // pixels at once, the controls lay out their texts only at the size they show.
    if (event->type() == QEvent::FontChange) {
        ConvertFontSizeToPixels(this);
    }
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        BringBackMinimisedModal();
    }
}

void TForm::showEvent(QShowEvent* event) {
    ShowCloseGlyphs();
    QMainWindow::showEvent(event);
}

void TForm::setVisible(bool visible) {
    if (visible == isVisible()) {
        QMainWindow::setVisible(visible);
        return;
    }
    if (visible) {
        Build();
        FitAutoSizeLabels();
        if (!Placed) {
            PlaceOnScreen();
            FocusFirstControl();
            Placed = true;
        } else {
            move(LastPosition);
            if (LastFocus != nullptr) {
                LastFocus->setFocus();
            }
        }
    } else {
        LastPosition = pos();
        LastFocus = focusWidget();
    }
    QMainWindow::setVisible(visible);
    if (!visible && windowHandle() != nullptr) {
        // Owned only while shown: the next showing names its owner afresh.
        windowHandle()->setTransientParent(nullptr);
    }
}

void TForm::FitAutoSizeLabels() {
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->property("autoSize").toBool()) {
            label->adjustSize();
        }
    }
}

void TForm::PlaceOnScreen() {
    MoveToScreenCentre(this);
    if (!FrameMargins(this).isNull()) {
        return;
    }
    // The first window shown: its frame is known only once the window manager has put
    // it round the window, a moment after the showing. Centred again then, unless the
    // user moved it meanwhile.
    const QPoint placed = pos();
    auto* watch = new QTimer(this);
    watch->setInterval(10);
    connect(watch, &QTimer::timeout, this, [this, watch, placed, ticks = 0]() mutable {
        const bool framed = !FrameMargins(this).isNull();
        if (framed && pos() == placed) {
            MoveToScreenCentre(this);
        }
        if (framed || ++ticks == 100) {
            watch->deleteLater();
        }
    });
    watch->start();
}

void TForm::FocusFirstControl() {
    for (QWidget* widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(this) &&
            widget->isEnabled()) {
            widget->setFocus();
            return;
        }
    }
}

void TForm::ShowModal() {
    ReturningActivation([this] {
        ModalResult = TModalResult::None;
        BelongTo(OwnerWindow());
        setWindowModality(Qt::ApplicationModal);
        show();
        raise();
        activateWindow();
        QEventLoop loop;
        ModalLoop = &loop;
        if (ModalResult == TModalResult::None) {
            loop.exec(QEventLoop::DialogExec);
        }
        ModalLoop = nullptr;
        hide();
        setWindowModality(Qt::NonModal);
        return true;
    });
}

void TForm::BelongTo(QWidget* owner) {
    // The window manager keeps a dialog above the window it belongs to, out of the
    // taskbar, and offers no minimise or maximise for it.
    if (owner == nullptr || owner == this || owner->windowHandle() == nullptr) {
        return;
    }
    create();
    windowHandle()->setTransientParent(owner->windowHandle());
}

void TForm::BringBackMinimisedModal() {
    // A window manager that minimised a modal window anyway gives no way back to it but
    // this: activating a window that the modal one blocks brings it back.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this && modal->isMinimized()) {
        modal->showNormal();
        modal->raise();
        modal->activateWindow();
    }
}

void TForm::SetModalResult(TModalResult result) {
    ModalResult = result;
    if (ModalLoop != nullptr && result != TModalResult::None) {
        ModalLoop->quit();
    }
}

void TForm::Close() {
    close();
}

void TForm::closeEvent(QCloseEvent* event) {
    if (ModalLoop != nullptr) {
        SetModalResult(TModalResult::Cancel);
    } else if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
    }
    event->accept();
}

void TForm::keyPressEvent(QKeyEvent* event) {
    // Enter that no control used presses the default button, if the window has one.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && IsUsable(button)) {
                button->click();
                return;
            }
        }
    }
    QMainWindow::keyPressEvent(event);
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (focused == nullptr || watched != focused) {
        return false;
    }
    return HandleButtonKey(static_cast<QKeyEvent*>(event));
}

bool TForm::HandleButtonKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space) {
        // Qt would press the focused button on Space with any modifier. A Windows dialog sees
        // a typed space with Shift or Ctrl too, and takes it as the space's accelerator;
        // with Alt it is the window menu's key.
        if ((modifiers & (Qt::AltModifier | Qt::MetaModifier)) != Qt::NoModifier) {
            return true;
        }
        if (QAbstractButton* spaceButton = ButtonWithAccelerator(u' ')) {
            spaceButton->click();
            return true;
        }
        return false;
    }
    const QString text = event->text();
    if (text.size() != 1 || (modifiers & ~Qt::ShiftModifier) != Qt::NoModifier ||
        !text[0].isPrint()) {
        return false;
    }
    if (QAbstractButton* button = ButtonWithAccelerator(text[0].toLower())) {
        button->click();
        return true;
    }
    return false;
}

QAbstractButton* TForm::ButtonWithAccelerator(QChar accelerator) const {
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (IsUsable(button) && AcceleratorOf(button->text()) == accelerator) {
            return button;
        }
    }
    return nullptr;
}
