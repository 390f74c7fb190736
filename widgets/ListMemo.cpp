#include "widgets/ListMemo.h"

#include "core/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTextLayout>

#include <climits>

namespace {

// How far (in lines) the caret may be from the shown lines and still be given to
// screen readers together with them.
constexpr int64_t AccessibleReach = 100;
// Layouts kept between paints.
constexpr size_t KeptLayouts = 256;

bool RowBefore(int64_t lineA, int rowA, int64_t lineB, int rowB) {
    return lineA < lineB || (lineA == lineB && rowA < rowB);
}

// The scroll bar counts lines in an int; a longer document is scaled onto it, which
// keeps one step per line up to 2147483647 lines and stays monotonic beyond.
int ToBar(int64_t line, int64_t maxTop) {
    if (maxTop <= INT_MAX) {
        return static_cast<int>(line);
    }
    return static_cast<int>(static_cast<long double>(line) * INT_MAX / maxTop);
}

int64_t FromBar(int value, int64_t maxTop) {
    if (maxTop <= INT_MAX) {
        return value;
    }
    return value >= INT_MAX
               ? maxTop
               : static_cast<int64_t>(static_cast<long double>(value) * maxTop / INT_MAX);
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
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TListMemo::ScrollBarMoved);
    UpdateScrollBar();
}

TListMemo::~TListMemo() = default;

void TListMemo::SetText(const QString& text) {
    Doc.SetText(text.toStdU16String());
    Caret = Anchor = {};
    TopLine = 0;
    TopRow = 0;
    TextChanged();
}

void TListMemo::SetGeneratedLines(int64_t count) {
    Doc.SetGeneratedLines(count);
    Caret = Anchor = {};
    TopLine = 0;
    TopRow = 0;
    TextChanged();
}

QString TListMemo::LineText(int64_t line) const {
    return QString::fromStdU16String(Doc.LineText(line));
}

QString TListMemo::Text() const {
    return QString::fromStdU16String(Doc.Text({0, 0}, Doc.End()));
}

// ---- layout ----

QTextLayout& TListMemo::LayoutOf(int64_t line) const {
    auto& slot = Layouts[line];
    if (slot) {
        return *slot;
    }
    slot = std::make_unique<QTextLayout>(LineText(line), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    slot->setTextOption(option);
    slot->setCacheEnabled(true);
    if (line == Caret.Line && !Preedit.isEmpty()) {
        slot->setPreeditArea(static_cast<int>(Caret.Column), Preedit);
        QTextLayout::FormatRange underline;
        underline.start = static_cast<int>(Caret.Column);
        underline.length = static_cast<int>(Preedit.size());
        underline.format.setFontUnderline(true);
        slot->setFormats({underline});
    }
    const qreal width = std::max(1, viewport()->width() - 2 * Margin);
    qreal y = 0;
    slot->beginLayout();
    for (QTextLine row = slot->createLine(); row.isValid(); row = slot->createLine()) {
        row.setLineWidth(width);
        row.setPosition({0, y});
        y += row.height();
    }
    slot->endLayout();
    return *slot;
}

void TListMemo::ForgetLayouts() {
    Layouts.clear();
}

void TListMemo::TrimLayouts() {
    if (Layouts.size() > KeptLayouts) {
        ForgetLayouts();
    }
}

int TListMemo::CharClass(QChar c) {
    if (c.isSpace()) {
        return 0;
    }
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_') ? 1 : 2;
}

int TListMemo::RowCount(int64_t line) const {
    return std::max(1, LayoutOf(line).lineCount());
}

int TListMemo::RowOf(TTextPos pos) const {
    const QTextLine row = LayoutOf(pos.Line).lineForTextPosition(static_cast<int>(pos.Column));
    return row.isValid() ? row.lineNumber() : RowCount(pos.Line) - 1;
}

qreal TListMemo::RowHeight(TRow row) const {
    return LayoutOf(row.Line).lineAt(row.Index).height();
}

bool TListMemo::StepRow(TRow& row, bool down) const {
    if (down) {
        if (row.Index + 1 < RowCount(row.Line)) {
            ++row.Index;
        } else if (row.Line + 1 < Doc.LineCount()) {
            row = {row.Line + 1, 0};
        } else {
            return false;
        }
    } else if (row.Index > 0) {
        --row.Index;
    } else if (row.Line > 0) {
        row = {row.Line - 1, RowCount(row.Line - 1) - 1};
    } else {
        return false;
    }
    return true;
}

int TListMemo::InnerHeight() const {
    return std::max(1, viewport()->height() - 2 * Margin);
}

qreal TListMemo::TopY() const {
    return Margin - LayoutOf(TopLine).lineAt(std::min(TopRow, RowCount(TopLine) - 1)).y();
}

int TListMemo::PageRows() const {
    return std::max(1, InnerHeight() / std::max(1, fontMetrics().lineSpacing()));
}

int64_t TListMemo::LastVisibleLine() const {
    qreal y = TopY();
    int64_t line = TopLine;
    for (; line + 1 < Doc.LineCount(); ++line) {
        y += LayoutOf(line).boundingRect().height();
        if (y >= viewport()->height()) {
            break;
        }
    }
    return line;
}

// ---- scrolling ----

TListMemo::TRow TListMemo::HighestTopShowing(TRow bottom) const {
    // Walk up from the bottom row while the rows still fit.
    TRow top = bottom;
    qreal height = RowHeight(bottom);
    for (TRow up = top; StepRow(up, false) && height + RowHeight(up) <= InnerHeight(); top = up) {
        height += RowHeight(up);
    }
    return top;
}

int64_t TListMemo::MaxTopLine() const {
    const TRow top = HighestTopShowing({Doc.LineCount() - 1, RowCount(Doc.LineCount() - 1) - 1});
    return top.Index == 0 ? top.Line : std::min(top.Line + 1, Doc.LineCount() - 1);
}

void TListMemo::ClampTop() {
    const int64_t maxTop = MaxTopLine();
    if (TopLine > maxTop) {
        TopLine = maxTop;
        TopRow = 0;
    }
    TopLine = std::max<int64_t>(TopLine, 0);
    TopRow = std::clamp(TopRow, 0, RowCount(TopLine) - 1);
}

void TListMemo::EnsureCaretVisible() {
    const TRow caret{Caret.Line, RowOf(Caret)};
    if (RowBefore(caret.Line, caret.Index, TopLine, TopRow)) {
        TopLine = caret.Line;
        TopRow = caret.Index;
    } else {
        const TRow top = HighestTopShowing(caret);
        if (RowBefore(TopLine, TopRow, top.Line, top.Index)) {
            TopLine = top.Line;
            TopRow = top.Index;
        }
    }
    UpdateScrollBar();
    viewport()->update();
}

void TListMemo::ScrollRows(int rows) {
    TRow top{TopLine, TopRow};
    for (; rows > 0 && StepRow(top, true); --rows) {
    }
    for (; rows < 0 && StepRow(top, false); ++rows) {
    }
    TopLine = top.Line;
    TopRow = top.Index;
    ClampTop();
    UpdateScrollBar();
    viewport()->update();
}

void TListMemo::UpdateScrollBar() {
    const int64_t maxTop = MaxTopLine();
    SyncingBar = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, ToBar(maxTop, maxTop));
    bar->setPageStep(PageRows());
    bar->setSingleStep(1);
    bar->setValue(ToBar(TopLine, maxTop));
    SyncingBar = false;
}

void TListMemo::ScrollBarMoved(int value) {
    if (SyncingBar) {
        return;
    }
    TopLine = FromBar(value, MaxTopLine());
    TopRow = 0;
    viewport()->update();
}

// ---- caret ----

void TListMemo::MoveCaret(TTextPos pos, bool select, bool keepX) {
    Caret = Doc.Clamp(pos);
    if (!select) {
        Anchor = Caret;
    }
    if (!keepX) {
        WantedX = -1;
    }
    EnsureCaretVisible();
    RestartBlink();
    CaretMoved();
}

void TListMemo::SetSelection(TTextPos anchor, TTextPos caret) {
    Anchor = Doc.Clamp(anchor);
    MoveCaret(caret, true);
}

void TListMemo::SelectAll() {
    Anchor = {0, 0};
    Caret = Doc.End();
    CaretMoved();
    viewport()->update();
}

TTextPos TListMemo::ByRows(TTextPos pos, int rows) {
    TRow row{pos.Line, RowOf(pos)};
    if (WantedX < 0) {
        WantedX = LayoutOf(pos.Line).lineAt(row.Index).cursorToX(static_cast<int>(pos.Column));
    }
    for (; rows > 0 && StepRow(row, true); --rows) {
    }
    for (; rows < 0 && StepRow(row, false); ++rows) {
    }
    return {row.Line, LayoutOf(row.Line).lineAt(row.Index).xToCursor(WantedX)};
}

TTextPos TListMemo::NextChar(TTextPos pos) const {
    if (pos.Column < Doc.LineLength(pos.Line)) {
        return {pos.Line, LayoutOf(pos.Line).nextCursorPosition(static_cast<int>(pos.Column))};
    }
    return pos.Line + 1 < Doc.LineCount() ? TTextPos{pos.Line + 1, 0} : pos;
}

TTextPos TListMemo::PreviousChar(TTextPos pos) const {
    if (pos.Column > 0) {
        return {pos.Line, LayoutOf(pos.Line).previousCursorPosition(static_cast<int>(pos.Column))};
    }
    return pos.Line > 0 ? TTextPos{pos.Line - 1, Doc.LineLength(pos.Line - 1)} : pos;
}

TTextPos TListMemo::NextWord(TTextPos pos) const {
    const QString text = LineText(pos.Line);
    int column = static_cast<int>(pos.Column);
    if (column >= text.size()) {
        return NextChar(pos);
    }
    const int kind = CharClass(text[column]);
    while (kind != 0 && column < text.size() && CharClass(text[column]) == kind) {
        ++column;
    }
    while (column < text.size() && CharClass(text[column]) == 0) {
        ++column;
    }
    return {pos.Line, column};
}

TTextPos TListMemo::PreviousWord(TTextPos pos) const {
    const QString text = LineText(pos.Line);
    int column = static_cast<int>(pos.Column);
    if (column == 0) {
        return PreviousChar(pos);
    }
    while (column > 0 && CharClass(text[column - 1]) == 0) {
        --column;
    }
    const int kind = column > 0 ? CharClass(text[column - 1]) : 0;
    while (column > 0 && CharClass(text[column - 1]) == kind) {
        --column;
    }
    return {pos.Line, column};
}

TTextPos TListMemo::RowStart(TTextPos pos) const {
    return {pos.Line, LayoutOf(pos.Line).lineAt(RowOf(pos)).textStart()};
}

TTextPos TListMemo::RowEnd(TTextPos pos) const {
    const int index = RowOf(pos);
    const QTextLine row = LayoutOf(pos.Line).lineAt(index);
    int end = row.textStart() + row.textLength();
    // A wrapped row ends before the space at which it was broken.
    if (index + 1 < RowCount(pos.Line) && end > row.textStart() &&
        LineText(pos.Line)[end - 1].isSpace()) {
        --end;
    }
    return {pos.Line, end};
}

TTextPos TListMemo::PosAt(QPoint point) const {
    qreal y = TopY();
    int64_t line = TopLine;
    for (; line + 1 < Doc.LineCount(); ++line) {
        const qreal height = LayoutOf(line).boundingRect().height();
        if (point.y() < y + height) {
            break;
        }
        y += height;
    }
    const QTextLayout& layout = LayoutOf(line);
    int index = point.y() < Margin ? TopRow : 0;
    while (index + 1 < layout.lineCount() &&
           point.y() >= y + layout.lineAt(index).y() + layout.lineAt(index).height()) {
        ++index;
    }
    return Doc.Clamp({line, layout.lineAt(index).xToCursor(point.x() - Margin)});
}

QRect TListMemo::CharacterRect(TTextPos pos) const {
    pos = Doc.Clamp(pos);
    qreal y = TopY();
    // Lines far from the view are placed just outside it.
    const int64_t reach = 2 * AccessibleReach;
    for (int64_t line = TopLine; line < pos.Line && line < TopLine + reach; ++line) {
        y += LayoutOf(line).boundingRect().height();
    }
    for (int64_t line = TopLine - 1; line >= pos.Line && line > TopLine - reach; --line) {
        y -= LayoutOf(line).boundingRect().height();
    }
    const QTextLine row = LayoutOf(pos.Line).lineAt(RowOf(pos));
    const int column = static_cast<int>(pos.Column);
    const qreal x = row.cursorToX(column);
    const qreal next = column < Doc.LineLength(pos.Line) ? row.cursorToX(column + 1) : x + 1;
    const QRectF rect(Margin + x, y + row.y(), std::max<qreal>(next - x, 1), row.height());
    return QRect(viewport()->mapToGlobal(rect.topLeft().toPoint()), rect.size().toSize());
}

TListMemo::TTextWindow TListMemo::AccessibleWindow() const {
    TTextWindow window{TopLine, LastVisibleLine()};
    if (Caret.Line < window.First - AccessibleReach || Caret.Line > window.Last + AccessibleReach) {
        return {Caret.Line, Caret.Line};
    }
    return {std::min(window.First, Caret.Line), std::max(window.Last, Caret.Line)};
}

QString TListMemo::AccessibleText() const {
    const TTextWindow window = AccessibleWindow();
    QString text;
    for (int64_t line = window.First; line <= window.Last; ++line) {
        if (line > window.First) {
            text += QLatin1Char('\n');
        }
        text += LineText(line);
    }
    return text;
}

int TListMemo::AccessibleOffset(TTextPos pos) const {
    const TTextWindow window = AccessibleWindow();
    if (pos.Line < window.First) {
        return 0;
    }
    int64_t offset = 0;
    for (int64_t line = window.First; line < std::min(pos.Line, window.Last + 1); ++line) {
        offset += Doc.LineLength(line) + 1;
    }
    if (pos.Line > window.Last) {
        return static_cast<int>(offset - 1);
    }
    return static_cast<int>(offset + pos.Column);
}

TTextPos TListMemo::AccessiblePos(int offset) const {
    const TTextWindow window = AccessibleWindow();
    int64_t rest = std::max(offset, 0);
    for (int64_t line = window.First; line < window.Last; ++line) {
        const int64_t length = Doc.LineLength(line);
        if (rest <= length) {
            return {line, rest};
        }
        rest -= length + 1;
    }
    return Doc.Clamp({window.Last, rest});
}

// ---- editing ----

void TListMemo::ReplaceSelection(const QString& text, bool typed) {
    if (text.isEmpty() && !HasSelection()) {
        return;
    }
    const QString before = QAccessible::isActive() ? AccessibleText() : QString();
    Caret = Anchor = Doc.Replace(SelectionStart(), SelectionEnd(), text.toStdU16String(), typed);
    WantedX = -1;
    TextChanged();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, AccessibleText());
        QAccessible::updateAccessibility(&event);
    }
}

void TListMemo::DeleteTo(TTextPos pos) {
    if (!HasSelection()) {
        Anchor = pos;
    }
    ReplaceSelection({}, false);
}

bool TListMemo::Copy() {
    if (!HasSelection()) {
        return false;
    }
    if (Doc.TextSize(SelectionStart(), SelectionEnd()) > MaxCopyBytes) {
        emit CopyRefused();
        return false;
    }
    return Desktop().SetClipboardText(
        QString::fromStdU16String(Doc.Text(SelectionStart(), SelectionEnd())).toStdString());
}

void TListMemo::Cut() {
    if (Copy()) {
        DeleteSelection();
    }
}

void TListMemo::DeleteSelection() {
    ReplaceSelection({}, false);
}

void TListMemo::Paste() {
    ReplaceSelection(QString::fromStdString(Desktop().ClipboardText()), false);
}

void TListMemo::Undo() {
    if (Doc.CanUndo()) {
        Caret = Anchor = Doc.Undo();
        TextChanged();
    }
}

void TListMemo::Redo() {
    if (Doc.CanRedo()) {
        Caret = Anchor = Doc.Redo();
        TextChanged();
    }
}

void TListMemo::TextChanged() {
    Caret = Doc.Clamp(Caret);
    Anchor = Doc.Clamp(Anchor);
    ForgetLayouts();
    ClampTop();
    EnsureCaretVisible();
    RestartBlink();
    CaretMoved();
}

void TListMemo::CaretMoved() {
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, AccessibleOffset(Caret));
        QAccessible::updateAccessibility(&event);
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
    viewport()->update();
}
