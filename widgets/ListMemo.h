#pragma once

#include "editor/ListEditor.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <cstdint>

class QKeyEvent;

// The multi-line edit of the list readout: the shared list editor (TListEditor) drawn and
// driven by Qt. It lays out only the rows it shows, so that filling it with any count of
// lines costs the same, and its memory does not grow with the count.
//
// What is Qt's here: measuring and drawing text in the widget's font, the key table that
// maps Qt's standard keys to the editor's commands, input methods, the mouse and the
// wheel, the context menu, the caret's blinking, the scroll bar and screen readers
// (ListMemoAccessible). Copied text has "\n" line breaks, as on the Linux desktop.
class TListMemo : public QAbstractScrollArea, private TEditorView {
    Q_OBJECT

public:
    explicit TListMemo(QWidget* parent = nullptr);
    ~TListMemo() override;

    // Replaces the whole text; the caret goes to its start and the history is cleared.
    void SetText(const QString& text);
    // Shows the list lines of the positions 0..count-1, each followed by a line break
    // (nothing for a count of 0 or below).
    void SetGeneratedLines(int64_t count);

    const TListEditor& Editor() const { return Edit; }
    TListEditor& Editor() { return Edit; }
    QString LineText(int64_t line) const;
    // The whole text; only sensible for a small document.
    QString Text() const;

    // A place of the text area in screen coordinates.
    QRect ScreenRect(const TTextRect& rect) const;
    // The point of the text area's origin within the viewport.
    QPoint TextOrigin() const { return {Margin, Margin}; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // A copy was refused because the selection is larger than TListEditor::MaxCopyBytes.
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

    // The editor's view: Qt's text engine, painting, scroll bar and reports.
    void MeasureText(std::u16string_view text, std::vector<int>& extents) const override;
    void Invalidate() override;
    void ScrollBarChanged() override;
    void CaretMoved() override;
    void TextEdited(const TTextEdit& edit) override;
    bool WantsEditTexts() const override;
    void ReportCopyRefused() override { emit CopyRefused(); }
    TDesktop& ClipboardDesktop() override { return Desktop(); }

    // Tells the editor the text area's size and the font's row height.
    void UpdateViewport();
    void RestartBlink();

    TListEditor Edit{*this, "\n"};
    bool CaretShown = true;
    bool SyncingBar = false;
    QBasicTimer Blink;
    // Where the caret was last drawn, so that blinking repaints only that.
    QRect CaretRect;
};
