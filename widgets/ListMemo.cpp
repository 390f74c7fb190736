#include "widgets/ListMemo.h"

#include "core/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <string_view>
#include <tuple>

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
    const int64_t start = ChunkStart(line, chunk);
    kept = std::make_unique<QTextLayout>(Slice(line, start, ChunkStart(line, chunk + 1)), font());
    QTextLayout& layout = *kept;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    if (line == Caret.Line && chunk == ChunkOf(Caret) && !Preedit.isEmpty()) {
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

int64_t TListMemo::ChunkCount(int64_t line) const {
    const int64_t length = Doc.LineLength(line);
    return std::max<int64_t>(1, (length + ChunkChars - 1) / ChunkChars);
}

int64_t TListMemo::ChunkStart(int64_t line, int64_t chunk) const {
    if (chunk <= 0) {
        return 0;
    }
    if (chunk >= ChunkCount(line)) {
        return Doc.LineLength(line);
    }
    // A chunk never starts between the two halves of a surrogate pair.
    const int64_t start = chunk * ChunkChars;
    const QString before = Slice(line, start - 1, start);
    return !before.isEmpty() && before[0].isHighSurrogate() ? start - 1 : start;
}

int64_t TListMemo::ChunkOf(TTextPos pos) const {
    // A chunk starts at a multiple of ChunkChars or one before it.
    const int64_t count = ChunkCount(pos.Line);
    const int64_t chunk = std::min(pos.Column / ChunkChars, count - 1);
    return chunk + 1 < count && pos.Column >= ChunkStart(pos.Line, chunk + 1) ? chunk + 1 : chunk;
}

int TListMemo::RowCount(int64_t line, int64_t chunk) const {
    return std::max(1, LayoutOf(line, chunk).lineCount());
}

TListMemo::TRow TListMemo::RowOf(TTextPos pos) const {
    const int64_t chunk = ChunkOf(pos);
    const QTextLine row =
        LayoutOf(pos.Line, chunk)
            .lineForTextPosition(static_cast<int>(pos.Column - ChunkStart(pos.Line, chunk)));
    return {pos.Line, chunk, row.isValid() ? row.lineNumber() : RowCount(pos.Line, chunk) - 1};
}

QTextLine TListMemo::LineOf(TRow row) const {
    return LayoutOf(row.Line, row.Chunk).lineAt(row.Index);
}

TListMemo::TRow TListMemo::LastRow() const {
    const int64_t line = Doc.LineCount() - 1;
    const int64_t chunk = ChunkCount(line) - 1;
    return {line, chunk, RowCount(line, chunk) - 1};
}

bool TListMemo::RowBefore(const TRow& a, const TRow& b) {
    return std::tie(a.Line, a.Chunk, a.Index) < std::tie(b.Line, b.Chunk, b.Index);
}

bool TListMemo::StepRow(TRow& row, bool down) const {
    if (down) {
        if (row.Index + 1 < RowCount(row.Line, row.Chunk)) {
            ++row.Index;
        } else if (row.Chunk + 1 < ChunkCount(row.Line)) {
            row = {row.Line, row.Chunk + 1, 0};
        } else if (row.Line + 1 < Doc.LineCount()) {
            row = {row.Line + 1, 0, 0};
        } else {
            return false;
        }
    } else if (row.Index > 0) {
        --row.Index;
    } else if (row.Chunk > 0) {
        row = {row.Line, row.Chunk - 1, RowCount(row.Line, row.Chunk - 1) - 1};
    } else if (row.Line > 0) {
        const int64_t chunk = ChunkCount(row.Line - 1) - 1;
        row = {row.Line - 1, chunk, RowCount(row.Line - 1, chunk) - 1};
    } else {
        return false;
    }
    return true;
}

int TListMemo::InnerHeight() const {
    return std::max(1, viewport()->height() - 2 * Margin);
}

int TListMemo::PageRows() const {
    return std::max(1, InnerHeight() / std::max(1, fontMetrics().lineSpacing()));
}

bool TListMemo::RowTop(TRow row, qreal& y) const {
    const TRow top{TopLine, TopChunk, TopRow};
    const int reach = static_cast<int>(2 * AccessibleReach);
    y = Margin;
    TRow at = top;
    for (int step = 0; step < reach && RowBefore(at, row); ++step) {
        y += LineOf(at).height();
        if (!StepRow(at, true)) {
            break;
        }
    }
    if (!RowBefore(at, row) && !RowBefore(row, at)) {
        return true;
    }
    y = Margin;
    at = top;
    for (int step = 0; step < reach && RowBefore(row, at) && StepRow(at, false); ++step) {
        y -= LineOf(at).height();
    }
    return !RowBefore(at, row) && !RowBefore(row, at);
}

TListMemo::TRow TListMemo::LastVisibleRow() const {
    TRow row{TopLine, TopChunk, TopRow};
    for (qreal y = Margin + LineOf(row).height(); y < viewport()->height() && StepRow(row, true);
         y += LineOf(row).height()) {
    }
    return row;
}

int64_t TListMemo::LastVisibleLine() const {
    return LastVisibleRow().Line;
}

// ---- scrolling ----

TListMemo::TRow TListMemo::HighestTopShowing(TRow bottom) const {
    // Walk up from the bottom row while the rows still fit.
    TRow top = bottom;
    qreal height = LineOf(bottom).height();
    for (TRow up = top; StepRow(up, false) && height + LineOf(up).height() <= InnerHeight();
         top = up) {
        height += LineOf(up).height();
    }
    return top;
}

int64_t TListMemo::MaxTopLine() const {
    const TRow top = HighestTopShowing(LastRow());
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
    TopChunk = std::clamp<int64_t>(TopChunk, 0, ChunkCount(TopLine) - 1);
    TopRow = std::clamp(TopRow, 0, RowCount(TopLine, TopChunk) - 1);
}

void TListMemo::EnsureCaretVisible() {
    const TRow caret = RowOf(Caret);
    const TRow current{TopLine, TopChunk, TopRow};
    TRow top = current;
    if (RowBefore(caret, current)) {
        top = caret;
    } else {
        const TRow highest = HighestTopShowing(caret);
        if (RowBefore(current, highest)) {
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
    TRow top{TopLine, TopChunk, TopRow};
    for (; rows > 0 && StepRow(top, true); --rows) {
    }
    for (; rows < 0 && StepRow(top, false); ++rows) {
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
    TRow row = RowOf(pos);
    if (WantedX < 0) {
        WantedX =
            LineOf(row).cursorToX(static_cast<int>(pos.Column - ChunkStart(pos.Line, row.Chunk)));
    }
    for (; rows > 0 && StepRow(row, true); --rows) {
    }
    for (; rows < 0 && StepRow(row, false); ++rows) {
    }
    return {row.Line, ChunkStart(row.Line, row.Chunk) + LineOf(row).xToCursor(WantedX)};
}

TTextPos TListMemo::NextChar(TTextPos pos) const {
    if (pos.Column < Doc.LineLength(pos.Line)) {
        const int64_t chunk = ChunkOf(pos);
        const int64_t start = ChunkStart(pos.Line, chunk);
        return {
            pos.Line,
            start +
                LayoutOf(pos.Line, chunk).nextCursorPosition(static_cast<int>(pos.Column - start))};
    }
    return pos.Line + 1 < Doc.LineCount() ? TTextPos{pos.Line + 1, 0} : pos;
}

TTextPos TListMemo::PreviousChar(TTextPos pos) const {
    if (pos.Column > 0) {
        const int64_t chunk = ChunkOf({pos.Line, pos.Column - 1});
        const int64_t start = ChunkStart(pos.Line, chunk);
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
    const TRow row = RowOf(pos);
    return {pos.Line, ChunkStart(pos.Line, row.Chunk) + LineOf(row).textStart()};
}

TTextPos TListMemo::RowEnd(TTextPos pos) const {
    const TRow row = RowOf(pos);
    const QTextLine line = LineOf(row);
    const int64_t start = ChunkStart(pos.Line, row.Chunk);
    int64_t end = start + line.textStart() + line.textLength();
    // A wrapped row ends before the space at which it was broken.
    if (row.Index + 1 < RowCount(pos.Line, row.Chunk) && line.textLength() > 0 &&
        Slice(pos.Line, end - 1, end).front().isSpace()) {
        --end;
    }
    return {pos.Line, end};
}

TTextPos TListMemo::PosAt(QPoint point) const {
    TRow row{TopLine, TopChunk, TopRow};
    for (qreal y = Margin + LineOf(row).height(); point.y() >= y;) {
        TRow next = row;
        if (!StepRow(next, true)) {
            break;
        }
        row = next;
        y += LineOf(row).height();
    }
    const int column = LineOf(row).xToCursor(point.x() - Margin);
    return Doc.Clamp({row.Line, ChunkStart(row.Line, row.Chunk) + column});
}

QRect TListMemo::CharacterRect(TTextPos pos) const {
    pos = Doc.Clamp(pos);
    const TRow row = RowOf(pos);
    qreal y = 0;
    if (!RowTop(row, y)) {
        // Rows far from the view are placed just outside it.
        y = RowBefore(row, {TopLine, TopChunk, TopRow}) ? -LineOf(row).height()
                                                        : viewport()->height();
    }
    const QTextLine line = LineOf(row);
    const int column = static_cast<int>(pos.Column - ChunkStart(pos.Line, row.Chunk));
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
    const TRow last = LastVisibleRow();
    const QTextLine top = LineOf({TopLine, TopChunk, TopRow});
    const QTextLine bottom = LineOf(last);
    const TTextPos from{TopLine, ChunkStart(TopLine, TopChunk) + top.textStart()};
    const TTextPos to{last.Line,
                      ChunkStart(last.Line, last.Chunk) + bottom.textStart() + bottom.textLength()};
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
