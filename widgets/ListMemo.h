#pragma once

#include "document/ChunkLayoutCache.h"
#include "document/LineChunks.h"
#include "document/ListDocument.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTextLayout>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

class QKeyEvent;

// The multi-line edit of the list readout. It edits a TListDocument, whose lines may be
// billions of generated list lines, and lays out only the lines it shows: filling it
// with any count of lines costs the same, and its memory does not grow with the count.
// A line is laid out in chunks (TLineChunks), each wrapped on its own, so a line of
// millions of characters costs only the chunks on screen; layouts are kept across edits
// for the lines that the edit did not touch.
//
// It behaves like a plain multi-line edit: a caret, typing (input methods included),
// selection with keys and mouse, the clipboard, undo and redo, a context menu, long
// lines wrapped at the right edge, a vertical scroll bar with one step per line, and
// Tab moving the focus on.
class TListMemo : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Selections larger than this (in UTF-8 bytes) are not copied.
    static constexpr int64_t MaxCopyBytes = int64_t{64} * 1024 * 1024;

    explicit TListMemo(QWidget* parent = nullptr);
    ~TListMemo() override;

    // Replaces the whole text; the caret goes to its start and the history is cleared.
    void SetText(const QString& text);
    // Shows the list lines of the positions 0..count-1, each followed by a line break
    // (nothing for a count of 0 or below).
    void SetGeneratedLines(int64_t count);

    const TListDocument& Document() const { return Doc; }
    int64_t LineCount() const { return Doc.LineCount(); }
    QString LineText(int64_t line) const;
    // The whole text; only sensible for a small document.
    QString Text() const;
    TTextPos CaretPos() const { return Caret; }
    TTextPos AnchorPos() const { return Anchor; }
    // The last line of which a part is shown.
    int64_t LastVisibleLine() const;

    void SelectAll();
    void SetSelection(TTextPos anchor, TTextPos caret);
    // Copies the selection to the desktop's clipboard; a selection over MaxCopyBytes is
    // refused with CopyRefused and the clipboard is left as it was. Returns whether the
    // text was copied.
    bool Copy();
    void Cut();
    void Paste();
    void DeleteSelection();
    void Undo();
    void Redo();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // Screen readers see the whole text, computed from the document on demand, whenever
    // its length fits an int; a longer text is seen through a window: the shown lines
    // and the caret's line. Offsets count UTF-16 code units within what is seen.
    int AccessibleLength() const;
    QString AccessibleText(int start, int end) const;
    int AccessibleOffset(TTextPos pos) const;
    TTextPos AccessiblePos(int offset) const;
    // The text of the shown rows: the accessible value.
    QString ShownText() const;
    // The place of a character in screen coordinates.
    QRect CharacterRect(TTextPos pos) const;
    // The place under a point of the viewport (clamped to the text).
    TTextPos PosAt(QPoint point) const;

signals:
    // A copy was refused because the selection is larger than MaxCopyBytes.
    void CopyRefused();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Space between the text and the viewport's edges, as a plain text edit leaves it.
    static constexpr int Margin = 4;

    // Word characters (1), spaces (0) and other characters (2), for word moves and
    // double-clicks.
    static int CharClass(QChar c);

    // An editing key: which key events it takes and what it does.
    struct TEditingKey {
        bool (*Matches)(const QKeyEvent* event);
        void (*Run)(TListMemo& memo);
    };
    static const std::vector<TEditingKey>& EditingKeys();
    // The characters given to screen readers (see AccessibleText): from `Start`,
    // `Length` of them.
    struct TTextSpan {
        int64_t Start = 0;
        int64_t Length = 0;
    };
    TTextSpan AccessibleSpan() const;

    // A chunk's layout, made when first asked for.
    QTextLayout& LayoutOf(int64_t line, int64_t chunk) const;
    void ForgetLayouts();
    // Forgets the layouts of the lines that an edit changed and renumbers the ones after.
    void ForgetChangedLines(const TLineChange& change);
    // Drops the least recently used layouts when there are many; called where no layout
    // is in use.
    void TrimLayouts();
    int RowCount(int64_t line, int64_t chunk) const;
    TChunkRow RowOf(TTextPos pos) const;
    QTextLine LineOf(TChunkRow row) const;
    TChunkRow LastVisibleRow() const;
    int InnerHeight() const;
    int PageRows() const;
    // Where a row is on screen: its top in viewport coordinates, if it is within reach
    // of the shown rows.
    bool RowTop(TChunkRow row, qreal& y) const;
    QString Slice(int64_t line, int64_t begin, int64_t end) const;

    bool HasSelection() const { return Anchor != Caret; }
    TTextPos SelectionStart() const { return std::min(Anchor, Caret); }
    TTextPos SelectionEnd() const { return std::max(Anchor, Caret); }

    // Moves the caret; with `select` the anchor stays.
    void MoveCaret(TTextPos pos, bool select, bool keepX = false);
    TTextPos ByRows(TTextPos pos, int rows);
    TTextPos NextChar(TTextPos pos) const;
    TTextPos PreviousChar(TTextPos pos) const;
    TTextPos NextWord(TTextPos pos) const;
    TTextPos PreviousWord(TTextPos pos) const;
    TTextPos RowStart(TTextPos pos) const;
    TTextPos RowEnd(TTextPos pos) const;

    void ReplaceSelection(const QString& text, bool typed);
    // Replaces the selection by `replace()` on the document, which returns where the
    // caret goes; `inserted()` gives screen readers the new text.
    template <typename Replace, typename Inserted>
    void ReplaceSelectionWith(Replace replace, Inserted inserted);
    void DeleteTo(TTextPos pos);
    void CopySelection() { Copy(); }

    // The highest row from which the rows down to `bottom` still fit the viewport.
    TChunkRow HighestTopShowing(TChunkRow bottom) const;
    int64_t MaxTopLine() const;
    void ClampTop();
    void EnsureCaretVisible();
    void ScrollRows(int rows);
    // Page Up/Down: scrolls by pages of rows and moves the caret as far.
    void PageBy(int pages, bool select);
    void UpdateScrollBar();
    void ScrollBarMoved(int value);
    void TextChanged(const TLineChange& change);
    void TextReplaced();
    void CaretMoved();
    void RestartBlink();

    TListDocument Doc;
    TLineChunks Chunks{Doc, [this](int64_t line, int64_t chunk) { return RowCount(line, chunk); }};
    TTextPos Caret;
    TTextPos Anchor;
    qreal WantedX = -1;
    int64_t TopLine = 0;
    int64_t TopChunk = 0;
    int TopRow = 0;
    QString Preedit;
    int PreeditCursor = 0;
    bool CaretShown = true;
    bool SyncingBar = false;
    QBasicTimer Blink;
    // Where the caret was last drawn, so that blinking repaints only that.
    QRect CaretRect;
    mutable TChunkLayoutCache<std::unique_ptr<QTextLayout>> Layouts;
};
