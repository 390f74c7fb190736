#include "app/Dialogs.h"

#include "app/Application.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <QTextLayout>
#include <QWindow>

namespace {

// The room that a message box needs beside its text and below it: title bar, icon,
// button row and margins.
constexpr int RoomBesideText = 160;
constexpr int RoomBelowText = 200;

// The text cut where its wrapped lines would no longer fit `height` at `width`, with an
// ellipsis at the cut; the whole text when it fits.
QString FittedText(const QString& text, const QFont& font, int width, int height) {
    QString laidOut = text;
    laidOut.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(laidOut, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal used = 0;
    int cut = -1;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        used += line.height();
        if (used > height) {
            cut = line.textStart();
            break;
        }
    }
    layout.endLayout();
    if (cut < 0) {
        return text;
    }
    // The last line that fits gives up a little room for the ellipsis.
    return text.left(qMax(0, cut - 2)).trimmed() + QChar(0x2026);
}

// A message box owned by the window that it belongs to, and at least as wide as its
// caption in the title bar; it comes up in the middle of the screen.
class TMessageBox : public QMessageBox {
public:
    TMessageBox(Icon icon, const QString& caption, const QString& text, QWidget* owner)
        : QMessageBox(icon, caption, QString(), Ok, owner) {
        const QRect available = ScreenOf(owner)->availableGeometry();
        const int width = qMin(available.width() / 2, 500) - RoomBesideText;
        setText(FittedText(text, font(), qMax(width, 100), available.height() - RoomBelowText));
        setDefaultButton(Ok);
        setEscapeButton(Ok);
        // No caption icon: not the owner's, which the box would take over otherwise.
        setWindowIcon(QIcon());
        KeepCaptionVisible(caption);
    }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        MoveToScreenCentre(this);
    }

private:
    static QScreen* ScreenOf(const QWidget* owner) {
        return owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    }

    // The title bar shows the caption beside its buttons; the box is made wide enough.
    void KeepCaptionVisible(const QString& caption) {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (grid == nullptr) {
            return;
        }
        const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        const int buttons = 4 * style()->pixelMetric(QStyle::PM_TitleBarHeight);
        const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + buttons;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
};

} // namespace

QWidget* OwnerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return Application != nullptr ? Application->MainForm() : nullptr;
}

QMargins FrameMargins(const QWidget* window) {
    const QWidget* main = Application != nullptr ? Application->MainForm() : nullptr;
    for (const QWidget* candidate : {window, main}) {
        if (candidate != nullptr && candidate->windowHandle() != nullptr) {
            const QMargins margins = candidate->windowHandle()->frameMargins();
            if (!margins.isNull()) {
                return margins;
            }
        }
    }
    return {};
}

void MoveToScreenCentre(QWidget* window) {
    const QRect available = window->screen()->availableGeometry();
    const QMargins frame = FrameMargins(window);
    const QSize whole = window->size().grownBy(frame);
    const QPoint frameTopLeft = available.center() - QPoint(whole.width() / 2, whole.height() / 2);
    // A window whose frame Qt knows is placed by its frame, one shown for the first time
    // by its client area.
    const bool frameKnown = window->frameGeometry() != window->geometry();
    window->move(frameKnown ? frameTopLeft : frameTopLeft + QPoint(frame.left(), frame.top()));
}

void ShowMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    ReturningActivation([&] {
        TMessageBox box(icon, caption, text, OwnerWindow());
        return box.exec();
    });
}

void ShowPlainMessage(const QString& text) {
    ShowMessageBox(QMessageBox::NoIcon, Application->Title, text);
}

void ShowErrorBox(const QString& text) {
    ShowMessageBox(QMessageBox::Critical, Application->Title, text);
}
