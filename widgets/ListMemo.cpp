#include "widgets/ListMemo.h"

#include "core/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <string_view>

namespace {

// How far (in lines) the caret may be from the shown lines and still be given to
// screen readers together with them.
constexpr int64_t AccessibleReach = 100;
// Layouts kept between paints and edits.
constexpr size_t KeptLayouts = 256;
// How far word moves and double-clicks look along a line.
constexpr int64_t WordReach = 65536;
// Text removed by an edit is told to screen readers up to this many characters.
constexpr int64_t AccessibleRemovedChars = 1 << 20;

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
    TextReplaced();
}

void TListMemo::SetGeneratedLines(int64_t count) {
    Doc.SetGeneratedLines(count);
    TextReplaced();
}

QString TListMemo::LineText(int64_t line) const {
    return QString::fromStdU16String(Doc.LineText(line));
}

QString TListMemo::Text() const {
    return QString::fromStdU16String(Doc.Text({0, 0}, Doc.End()));
}

// ---- layout ----

QTextLayout& TListMemo::LayoutOf(int64_t line, int64_t chunk) const {
    std::unique_ptr<QTextLayout>& kept = Layouts.Use(line, chunk);
    if (kept) {
        return *kept;
    }
    const int64_t start = Chunks.Start(line, chunk);
    kept = std::make_unique<QTextLayout>(Slice(line, start, Chunks.Start(line, chunk + 1)), font());
    QTextLayout& layout = *kept;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    if (line == Caret.Line && chunk == Chunks.Of(Caret) && !Preedit.isEmpty()) {
        const int column = static_cast<int>(Caret.Column - start);
        layout.setPreeditArea(column, Preedit);
        QTextLayout::FormatRange underline;
        underline.start = column;
        underline.length = static_cast<int>(Preedit.size());
        underline.format.setFontUnderline(true);
        layout.setFormats({underline});
    }
    const qreal width = std::max(1, viewport()->width() - 2 * Margin);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        row.setPosition({0, y});
        y += row.height();
    }
    layout.endLayout();
    return layout;
}

void TListMemo::ForgetLayouts() {
    Layouts.Clear();
}

void TListMemo::ForgetChangedLines(const TLineChange& change) {
    Layouts.ForgetChangedLines(change);
}

void TListMemo::TrimLayouts() {
    Layouts.Trim(KeptLayouts);
}

int TListMemo::CharClass(QChar c) {
    if (c.isSpace()) {
        return 0;
    }
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_') ? 1 : 2;
}

QString TListMemo::Slice(int64_t line, int64_t begin, int64_t end) const {
    return QString::fromStdU16String(Doc.LineSlice(line, begin, end));
}

int TListMemo::RowCount(int64_t line, int64_t chunk) const {
    return std::max(1, LayoutOf(line, chunk).lineCount());
}

TChunkRow TListMemo::RowOf(TTextPos pos) const {
    const int64_t chunk = Chunks.Of(pos);
    const QTextLine row =
        LayoutOf(pos.Line, chunk)
            .lineForTextPosition(static_cast<int>(pos.Column - Chunks.Start(pos.Line, chunk)));
    return {pos.Line, chunk, row.isValid() ? row.lineNumber() : RowCount(pos.Line, chunk) - 1};
}

QTextLine TListMemo::LineOf(TChunkRow row) const {
    return LayoutOf(row.Line, row.Chunk).lineAt(row.Index);
}

int TListMemo::InnerHeight() const {
    return std::max(1, viewport()->height() - 2 * Margin);
}

int TListMemo::PageRows() const {
    return std::max(1, InnerHeight() / std::max(1, fontMetrics().lineSpacing()));
}

bool TListMemo::RowTop(TChunkRow row, qreal& y) const {
    const TChunkRow top{TopLine, TopChunk, TopRow};
    const int reach = static_cast<int>(2 * AccessibleReach);
    y = Margin;
    TChunkRow at = top;
    for (int step = 0; step < reach && at < row; ++step) {
        y += LineOf(at).height();
        if (!Chunks.Step(at, true)) {
            break;
        }
    }
    if (at == row) {
        return true;
    }
    y = Margin;
    at = top;
    for (int step = 0; step < reach && row < at && Chunks.Step(at, false); ++step) {
        y -= LineOf(at).height();
    }
    return at == row;
}

TChunkRow TListMemo::LastVisibleRow() const {
    TChunkRow row{TopLine, TopChunk, TopRow};
    for (qreal y = Margin + LineOf(row).height();
         y < viewport()->height() && Chunks.Step(row, true); y += LineOf(row).height()) {
    }
    return row;
}

int64_t TListMemo::LastVisibleLine() const {
    return LastVisibleRow().Line;
}

// ---- scrolling ----

TChunkRow TListMemo::HighestTopShowing(TChunkRow bottom) const {
    // Walk up from the bottom row while the rows still fit.
    TChunkRow top = bottom;
    qreal height = LineOf(bottom).height();
    for (TChunkRow up = top;
         Chunks.Step(up, false) && height + LineOf(up).height() <= InnerHeight(); top = up) {
        height += LineOf(up).height();
    }
    return top;
}

int64_t TListMemo::MaxTopLine() const {
    const TChunkRow top = HighestTopShowing(Chunks.LastRow());
    return top.Index == 0 && top.Chunk == 0 ? top.Line
                                            : std::min(top.Line + 1, Doc.LineCount() - 1);
}

void TListMemo::ClampTop() {
    const int64_t maxTop = MaxTopLine();
    if (TopLine > maxTop) {
        TopLine = maxTop;
        TopChunk = 0;
        TopRow = 0;
    }
    TopLine = std::max<int64_t>(TopLine, 0);
    TopChunk = std::clamp<int64_t>(TopChunk, 0, Chunks.Count(TopLine) - 1);
    TopRow = std::clamp(TopRow, 0, RowCount(TopLine, TopChunk) - 1);
}

void TListMemo::EnsureCaretVisible() {
    const TChunkRow caret = RowOf(Caret);
    const TChunkRow current{TopLine, TopChunk, TopRow};
    TChunkRow top = current;
    if (caret < current) {
        top = caret;
    } else {
        const TChunkRow highest = HighestTopShowing(caret);
        if (current < highest) {
            top = highest;
        }
    }
    TopLine = top.Line;
    TopChunk = top.Chunk;
    TopRow = top.Index;
    UpdateScrollBar();
    viewport()->update();
}

void TListMemo::ScrollRows(int rows) {
    TChunkRow top{TopLine, TopChunk, TopRow};
    for (; rows > 0 && Chunks.Step(top, true); --rows) {
    }
    for (; rows < 0 && Chunks.Step(top, false); ++rows) {
    }
    TopLine = top.Line;
    TopChunk = top.Chunk;
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
    TopChunk = 0;
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
    TChunkRow row = RowOf(pos);
    if (WantedX < 0) {
        WantedX =
            LineOf(row).cursorToX(static_cast<int>(pos.Column - Chunks.Start(pos.Line, row.Chunk)));
    }
    for (; rows > 0 && Chunks.Step(row, true); --rows) {
    }
    for (; rows < 0 && Chunks.Step(row, false); ++rows) {
    }
    return {row.Line, Chunks.Start(row.Line, row.Chunk) + LineOf(row).xToCursor(WantedX)};
}

TTextPos TListMemo::NextChar(TTextPos pos) const {
    if (pos.Column < Doc.LineLength(pos.Line)) {
        const int64_t chunk = Chunks.Of(pos);
        const int64_t start = Chunks.Start(pos.Line, chunk);
        return {
            pos.Line,
            start +
                LayoutOf(pos.Line, chunk).nextCursorPosition(static_cast<int>(pos.Column - start))};
    }
    return pos.Line + 1 < Doc.LineCount() ? TTextPos{pos.Line + 1, 0} : pos;
}

TTextPos TListMemo::PreviousChar(TTextPos pos) const {
    if (pos.Column > 0) {
        const int64_t chunk = Chunks.Of({pos.Line, pos.Column - 1});
        const int64_t start = Chunks.Start(pos.Line, chunk);
        return {pos.Line,
                start + LayoutOf(pos.Line, chunk)
                            .previousCursorPosition(static_cast<int>(pos.Column - start))};
    }
    return pos.Line > 0 ? TTextPos{pos.Line - 1, Doc.LineLength(pos.Line - 1)} : pos;
}

TTextPos TListMemo::NextWord(TTextPos pos) const {
    // A word longer than the read-ahead ends where it stops.
    const QString text = Slice(pos.Line, pos.Column, pos.Column + WordReach);
    if (text.isEmpty()) {
        return NextChar(pos);
    }
    int column = 0;
    const int kind = CharClass(text[column]);
    while (kind != 0 && column < text.size() && CharClass(text[column]) == kind) {
        ++column;
    }
    while (column < text.size() && CharClass(text[column]) == 0) {
        ++column;
    }
    return {pos.Line, pos.Column + column};
}

TTextPos TListMemo::PreviousWord(TTextPos pos) const {
    if (pos.Column == 0) {
        return PreviousChar(pos);
    }
    const int64_t begin = std::max<int64_t>(0, pos.Column - WordReach);
    const QString text = Slice(pos.Line, begin, pos.Column);
    auto column = static_cast<int>(text.size());
    while (column > 0 && CharClass(text[column - 1]) == 0) {
        --column;
    }
    const int kind = column > 0 ? CharClass(text[column - 1]) : 0;
    while (column > 0 && CharClass(text[column - 1]) == kind) {
        --column;
    }
    return {pos.Line, begin + column};
}

TTextPos TListMemo::RowStart(TTextPos pos) const {
    const TChunkRow row = RowOf(pos);
    return {pos.Line, Chunks.Start(pos.Line, row.Chunk) + LineOf(row).textStart()};
}

TTextPos TListMemo::RowEnd(TTextPos pos) const {
    const TChunkRow row = RowOf(pos);
    const QTextLine line = LineOf(row);
    const int64_t start = Chunks.Start(pos.Line, row.Chunk);
    int64_t end = start + line.textStart() + line.textLength();
    // A wrapped row ends before the space at which it was broken.
    if (row.Index + 1 < RowCount(pos.Line, row.Chunk) && line.textLength() > 0 &&
        Slice(pos.Line, end - 1, end).front().isSpace()) {
        --end;
    }
    return {pos.Line, end};
}

TTextPos TListMemo::PosAt(QPoint point) const {
    TChunkRow row{TopLine, TopChunk, TopRow};
    for (qreal y = Margin + LineOf(row).height(); point.y() >= y;) {
        TChunkRow next = row;
        if (!Chunks.Step(next, true)) {
            break;
        }
        row = next;
        y += LineOf(row).height();
    }
    const int column = LineOf(row).xToCursor(point.x() - Margin);
    return Doc.Clamp({row.Line, Chunks.Start(row.Line, row.Chunk) + column});
}

QRect TListMemo::CharacterRect(TTextPos pos) const {
    pos = Doc.Clamp(pos);
    const TChunkRow row = RowOf(pos);
    qreal y = 0;
    if (!RowTop(row, y)) {
        // Rows far from the view are placed just outside it.
        y = row < TChunkRow{TopLine, TopChunk, TopRow} ? -LineOf(row).height()
                                                       : viewport()->height();
    }
    const QTextLine line = LineOf(row);
    const int column = static_cast<int>(pos.Column - Chunks.Start(pos.Line, row.Chunk));
    const qreal x = line.cursorToX(column);
    const qreal next = pos.Column < Doc.LineLength(pos.Line) ? line.cursorToX(column + 1) : x + 1;
    const QRectF rect(Margin + x, y, std::max<qreal>(next - x, 1), line.height());
    return QRect(viewport()->mapToGlobal(rect.topLeft().toPoint()), rect.size().toSize());
}

TListMemo::TTextSpan TListMemo::AccessibleSpan() const {
    if (Doc.CharCount() <= INT_MAX) {
        return {0, Doc.CharCount()};
    }
    int64_t first = TopLine;
    int64_t last = LastVisibleLine();
    if (Caret.Line < first - AccessibleReach || Caret.Line > last + AccessibleReach) {
        first = last = Caret.Line;
    }
    first = std::min(first, Caret.Line);
    last = std::max(last, Caret.Line);
    const int64_t start = Doc.OffsetOf({first, 0});
    const int64_t end = Doc.OffsetOf({last, Doc.LineLength(last)});
    return {start, std::min<int64_t>(end - start, INT_MAX)};
}

int TListMemo::AccessibleLength() const {
    return static_cast<int>(AccessibleSpan().Length);
}

QString TListMemo::AccessibleText(int start, int end) const {
    const TTextSpan span = AccessibleSpan();
    const int64_t from = std::clamp<int64_t>(start, 0, span.Length);
    const int64_t to = std::clamp<int64_t>(end, from, span.Length);
    return QString::fromStdU16String(Doc.TextAt(span.Start + from, span.Start + to));
}

int TListMemo::AccessibleOffset(TTextPos pos) const {
    const TTextSpan span = AccessibleSpan();
    return static_cast<int>(std::clamp<int64_t>(Doc.OffsetOf(pos) - span.Start, 0, span.Length));
}

TTextPos TListMemo::AccessiblePos(int offset) const {
    const TTextSpan span = AccessibleSpan();
    return Doc.PosOf(span.Start + std::clamp<int64_t>(offset, 0, span.Length));
}

QString TListMemo::ShownText() const {
    const TChunkRow last = LastVisibleRow();
    const QTextLine top = LineOf({TopLine, TopChunk, TopRow});
    const QTextLine bottom = LineOf(last);
    const TTextPos from{TopLine, Chunks.Start(TopLine, TopChunk) + top.textStart()};
    const TTextPos to{last.Line, Chunks.Start(last.Line, last.Chunk) + bottom.textStart() +
                                     bottom.textLength()};
    return QString::fromStdU16String(Doc.Text(from, to));
}

// ---- editing ----

void TListMemo::ReplaceSelection(const QString& text, bool typed) {
    if (text.isEmpty() && !HasSelection()) {
        return;
    }
    const std::u16string_view chars(QStringView(text).utf16(), static_cast<size_t>(text.size()));
    ReplaceSelectionWith(
        [&] { return Doc.Replace(SelectionStart(), SelectionEnd(), chars, typed); },
        [&text] { return text; });
}

template <typename Replace, typename Inserted>
void TListMemo::ReplaceSelectionWith(Replace replace, Inserted inserted) {
    const bool tell = QAccessible::isActive();
    const int offset = tell ? AccessibleOffset(SelectionStart()) : 0;
    const QString removed =
        tell && Doc.OffsetOf(SelectionEnd()) - Doc.OffsetOf(SelectionStart()) <=
                    AccessibleRemovedChars
            ? QString::fromStdU16String(Doc.Text(SelectionStart(), SelectionEnd()))
            : QString();
    Caret = Anchor = replace();
    WantedX = -1;
    TextChanged(Doc.LastChange());
    if (tell) {
        QAccessibleTextUpdateEvent event(this, offset, removed, inserted());
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
    const std::string text = Desktop().ClipboardText();
    if (text.empty() && !HasSelection()) {
        return;
    }
    ReplaceSelectionWith([&] { return Doc.ReplaceUtf8(SelectionStart(), SelectionEnd(), text); },
                         [&text] { return QString::fromStdString(text); });
}

void TListMemo::Undo() {
    if (Doc.CanUndo()) {
        Caret = Anchor = Doc.Undo();
        TextChanged(Doc.LastChange());
    }
}

void TListMemo::Redo() {
    if (Doc.CanRedo()) {
        Caret = Anchor = Doc.Redo();
        TextChanged(Doc.LastChange());
    }
}

void TListMemo::TextReplaced() {
    Caret = Anchor = {};
    TopLine = 0;
    TopChunk = 0;
    TopRow = 0;
    ForgetLayouts();
    TextChanged({});
}

void TListMemo::TextChanged(const TLineChange& change) {
    Caret = Doc.Clamp(Caret);
    Anchor = Doc.Clamp(Anchor);
    ForgetChangedLines(change);
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
    CaretRect = {};
    const int period = QApplication::cursorFlashTime() / 2;
    if (hasFocus() && period > 0) {
        Blink.start(period, this);
    } else {
        Blink.stop();
    }
    viewport()->update();
}
