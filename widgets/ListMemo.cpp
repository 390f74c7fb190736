// The memo as the editor's view: measuring, painting, the scroll bar and what screen
// readers are told.

#include "widgets/ListMemo.h"

#include "core/HandlerGuard.h"
#include "editor/AccessibleText.h"
#include "editor/TextUnits.h"

#include <QAccessible>
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>

namespace {

// How many characters are laid out together to measure them.
constexpr size_t MeasuredPiece = 64;

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

} // namespace

TListMemo::TListMemo(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!SyncingBar) {
            RunGuarded([this, value] { Edit.ScrollToBar(value); });
        }
    });
    UpdateViewport();
}

TListMemo::~TListMemo() = default;

void TListMemo::SetText(const QString& text) {
    Edit.SetText(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                     static_cast<size_t>(text.size())));
}

void TListMemo::SetGeneratedLines(int64_t count) {
    Edit.SetGeneratedLines(count);
}

QString TListMemo::LineText(int64_t line) const {
    return QString::fromStdU16String(Edit.LineText(line));
}

QString TListMemo::Text() const {
    const TAccessibleText text(Edit);
    return QString::fromStdU16String(text.Text(0, text.Length()));
}

QRect TListMemo::ScreenRect(const TTextRect& rect) const {
    const QPoint topLeft = viewport()->mapToGlobal(TextOrigin() + QPoint(rect.X, rect.Y));
    return {topLeft, QSize(rect.Width, rect.Height)};
}

void TListMemo::UpdateViewport() {
    Edit.SetViewport(viewport()->width() - 2 * Margin, viewport()->height() - 2 * Margin,
                     fontMetrics().lineSpacing());
}

// ---- the editor's view ----

void TListMemo::MeasureText(std::u16string_view text, std::vector<int>& extents) const {
    // Laid out in pieces, since finding a place's x walks the line from its start: a piece
    // ends at a code point's end, so that no character is shaped in two pieces.
    qreal pieceStart = 0;
    for (size_t begin = 0; begin < text.size();) {
        size_t end = std::min(text.size(), begin + MeasuredPiece);
        if (end < text.size() && IsHighSurrogate(text[end - 1])) {
            ++end;
        }
        QTextLayout layout(ToQString(text.substr(begin, end - begin)), font());
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        for (size_t index = begin; index < end; ++index) {
            extents[index] =
                qRound(pieceStart + line.cursorToX(static_cast<int>(index + 1 - begin)));
        }
        pieceStart += line.naturalTextWidth();
        begin = end;
    }
}

void TListMemo::Invalidate() {
    viewport()->update();
}

void TListMemo::ScrollBarChanged() {
    const TScrollBar& bar = Edit.ScrollBar();
    SyncingBar = true;
    verticalScrollBar()->setRange(0, bar.Maximum);
    verticalScrollBar()->setPageStep(bar.Page);
    verticalScrollBar()->setValue(bar.Value);
    SyncingBar = false;
}

void TListMemo::CaretMoved() {
    RestartBlink();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, TAccessibleText(Edit).OffsetOf(Edit.Caret()));
        QAccessible::updateAccessibility(&event);
    }
}

bool TListMemo::WantsEditTexts() const {
    return QAccessible::isActive();
}

void TListMemo::TextEdited(const TTextEdit& edit) {
    if (QAccessible::isActive() && !(edit.Removed.empty() && edit.Inserted.empty())) {
        QAccessibleTextUpdateEvent event(this, static_cast<int>(edit.Offset),
                                         QString::fromStdU16String(edit.Removed),
                                         QString::fromStdU16String(edit.Inserted));
        QAccessible::updateAccessibility(&event);
    }
}

// ---- painting ----

void TListMemo::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const QFontMetrics metrics = fontMetrics();
    const int breakWidth = metrics.horizontalAdvance(QLatin1Char(' '));
    const QRect dirty = event->rect();
    QFont composedFont = font();
    composedFont.setUnderline(true);
    for (const TShownRow& row : Edit.ShownRows()) {
        const int top = Margin + row.Y;
        if (top > dirty.bottom() || top + Edit.RowHeight() < dirty.top()) {
            continue;
        }
        const int baseline = top + metrics.ascent();
        for (const TRowRun& run : row.Runs) {
            const bool selected = run.Kind == TRowRun::TKind::Selected;
            if (selected) {
                painter.fillRect(Margin + run.X, top, run.Width, Edit.RowHeight(),
                                 colours.brush(QPalette::Highlight));
            }
            painter.setFont(run.Kind == TRowRun::TKind::Composed ? composedFont : font());
            painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(QPoint(Margin + run.X, baseline), ToQString(run.Text));
        }
        if (row.BreakX >= 0) {
            // The selected line break shows as a space's width after the line.
            painter.fillRect(Margin + row.BreakX, top, breakWidth, Edit.RowHeight(),
                             colours.brush(QPalette::Highlight));
        }
    }
    const TTextRect caret = Edit.CaretRect();
    CaretRect = QRect();
    if (hasFocus() && caret.Width > 0) {
        CaretRect = QRect(Margin + caret.X - 1, Margin + caret.Y, 3, caret.Height);
        if (CaretShown) {
            painter.fillRect(Margin + caret.X, Margin + caret.Y, 1, caret.Height,
                             colours.color(QPalette::Text));
        }
    }
}

void TListMemo::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateViewport();
}

void TListMemo::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Edit.Remeasure();
        UpdateViewport();
    }
}

void TListMemo::RestartBlink() {
    CaretShown = true;
    const int period = QApplication::cursorFlashTime() / 2;
    if (hasFocus() && period > 0) {
        Blink.start(period, this);
    } else {
        Blink.stop();
    }
}

void TListMemo::timerEvent(QTimerEvent* event) {
    if (event->timerId() == Blink.timerId()) {
        // Only the caret is drawn again: blinking lays nothing out.
        CaretShown = !CaretShown;
        if (!CaretRect.isEmpty()) {
            viewport()->update(CaretRect);
        }
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void TListMemo::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
    viewport()->update();
}

void TListMemo::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    Blink.stop();
    viewport()->update();
}
