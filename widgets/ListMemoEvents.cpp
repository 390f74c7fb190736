// The memo's painting and its keyboard, input-method, mouse and menu handling.

#include "widgets/ListMemo.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTextLayout>

namespace {

// How much of the caret's line input methods see on each side of the caret.
constexpr int64_t SurroundingChars = 1024;
// How far a double-click looks for the ends of a word.
constexpr int64_t WordChars = 4096;

// Backspace, also with Shift as a plain text edit takes it.
bool IsBackspace(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return event->key() == Qt::Key_Backspace &&
           (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier);
}

template <QKeySequence::StandardKey Key> bool Is(const QKeyEvent* event) {
    return event->matches(Key);
}

bool IsLineBreak(const QKeyEvent* event) {
    return event->matches(QKeySequence::InsertParagraphSeparator) ||
           event->matches(QKeySequence::InsertLineSeparator);
}

bool IsRedoKey(const QKeyEvent* event) {
    return event->matches(QKeySequence::Redo) ||
           (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier);
}

// Text that a key types: printable characters, without Ctrl unless with Alt (AltGr).
bool IsTypedText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() ||
        (event->modifiers() & Qt::ControlModifier && !(event->modifiers() & Qt::AltModifier))) {
        return false;
    }
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.isPrint() || c.isSurrogate(); });
}

QString MenuText(const char* text, QKeySequence::StandardKey key) {
    QString caption = QCoreApplication::translate("QWidgetTextControl", text);
    const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
    return shortcut.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcut;
}

} // namespace

bool TListMemo::event(QEvent* event) {
    // Editing keys go to the memo before any shortcut of its window.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto& keys = EditingKeys();
        if (IsTypedText(key) || std::any_of(keys.begin(), keys.end(), [key](const TEditingKey& k) {
                return k.Matches(key);
            })) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TListMemo::paintEvent(QPaintEvent* event) {
    TrimLayouts();
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const TTextPos from = SelectionStart();
    const TTextPos to = SelectionEnd();
    const qreal breakWidth = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    const QRect dirty = event->rect();

    // Chunk by chunk from the top row down; each chunk's layout is drawn whole, clipped.
    TChunkRow chunk{TopLine, TopChunk, 0};
    qreal y = Margin - LineOf({TopLine, TopChunk, TopRow}).y();
    for (bool more = true; more && y < viewport()->height();) {
        QTextLayout& layout = LayoutOf(chunk.Line, chunk.Chunk);
        const qreal height = layout.boundingRect().height();
        const int64_t start = Chunks.Start(chunk.Line, chunk.Chunk);
        const int64_t end = start + layout.text().size();
        const bool lastChunk = chunk.Chunk + 1 == Chunks.Count(chunk.Line);
        if (y + height >= dirty.top() && y <= dirty.bottom()) {
            QList<QTextLayout::FormatRange> selections;
            if (HasSelection() &&
                (from.Line < chunk.Line ||
                 (from.Line == chunk.Line && from.Column < end + lastChunk)) &&
                (chunk.Line < to.Line || (chunk.Line == to.Line && to.Column > start))) {
                const int64_t selStart =
                    from.Line == chunk.Line ? std::max(from.Column, start) : start;
                const int64_t selEnd = to.Line == chunk.Line ? std::min(to.Column, end) : end;
                if (selEnd > selStart) {
                    selections.push_back({static_cast<int>(selStart - start),
                                          static_cast<int>(selEnd - selStart), selected});
                }
                if (lastChunk && chunk.Line < to.Line) {
                    // The selected line break shows as a space's width after the line.
                    const QTextLine last = layout.lineAt(layout.lineCount() - 1);
                    painter.fillRect(QRectF(Margin + last.naturalTextWidth(), y + last.y(),
                                            breakWidth, last.height()),
                                     selected.background());
                }
            }
            layout.draw(&painter, QPointF(Margin, y), selections);
            if (chunk.Line == Caret.Line && chunk.Chunk == Chunks.Of(Caret) && hasFocus()) {
                const int column = static_cast<int>(Caret.Column - start) +
                                   (Preedit.isEmpty() ? 0 : PreeditCursor);
                const QTextLine row = layout.lineForTextPosition(column);
                if (row.isValid()) {
                    const qreal x = Margin + row.cursorToX(column);
                    CaretRect = QRectF(x - 1, y + row.y(), 3, row.height()).toAlignedRect();
                }
                if (CaretShown) {
                    layout.drawCursor(&painter, QPointF(Margin, y), column, 1);
                }
            }
        }
        y += height;
        chunk.Index = RowCount(chunk.Line, chunk.Chunk) - 1;
        more = Chunks.Step(chunk, true);
    }
}

void TListMemo::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ForgetLayouts();
    ClampTop();
    UpdateScrollBar();
}

void TListMemo::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ForgetLayouts();
        ClampTop();
        UpdateScrollBar();
        viewport()->update();
    }
}

const std::vector<TListMemo::TEditingKey>& TListMemo::EditingKeys() {
    using K = QKeySequence;
    // Checked in this order; the first key that matches runs. A Select variant keeps the
    // anchor where it is.
    static const std::vector<TEditingKey> Keys = {
        {Is<K::Undo>, [](TListMemo& m) { m.Undo(); }},
        {IsRedoKey, [](TListMemo& m) { m.Redo(); }},
        {Is<K::Copy>, [](TListMemo& m) { m.Copy(); }},
        {Is<K::Cut>, [](TListMemo& m) { m.Cut(); }},
        {Is<K::Paste>, [](TListMemo& m) { m.Paste(); }},
        {Is<K::SelectAll>, [](TListMemo& m) { m.SelectAll(); }},
        {Is<K::Delete>, [](TListMemo& m) { m.DeleteTo(m.NextChar(m.Caret)); }},
        {Is<K::DeleteStartOfWord>, [](TListMemo& m) { m.DeleteTo(m.PreviousWord(m.Caret)); }},
        {IsBackspace, [](TListMemo& m) { m.DeleteTo(m.PreviousChar(m.Caret)); }},
        {Is<K::DeleteEndOfWord>, [](TListMemo& m) { m.DeleteTo(m.NextWord(m.Caret)); }},
        {IsLineBreak, [](TListMemo& m) { m.ReplaceSelection(QStringLiteral("\n"), false); }},
        {Is<K::MoveToNextChar>,
         [](TListMemo& m) {
             m.MoveCaret(m.HasSelection() ? m.SelectionEnd() : m.NextChar(m.Caret), false);
         }},
        {Is<K::MoveToPreviousChar>,
         [](TListMemo& m) {
             m.MoveCaret(m.HasSelection() ? m.SelectionStart() : m.PreviousChar(m.Caret), false);
         }},
        {Is<K::SelectNextChar>, [](TListMemo& m) { m.MoveCaret(m.NextChar(m.Caret), true); }},
        {Is<K::SelectPreviousChar>,
         [](TListMemo& m) { m.MoveCaret(m.PreviousChar(m.Caret), true); }},
        {Is<K::MoveToNextWord>, [](TListMemo& m) { m.MoveCaret(m.NextWord(m.Caret), false); }},
        {Is<K::SelectNextWord>, [](TListMemo& m) { m.MoveCaret(m.NextWord(m.Caret), true); }},
        {Is<K::MoveToPreviousWord>,
         [](TListMemo& m) { m.MoveCaret(m.PreviousWord(m.Caret), false); }},
        {Is<K::SelectPreviousWord>,
         [](TListMemo& m) { m.MoveCaret(m.PreviousWord(m.Caret), true); }},
        {Is<K::MoveToNextLine>,
         [](TListMemo& m) { m.MoveCaret(m.ByRows(m.Caret, 1), false, true); }},
        {Is<K::SelectNextLine>,
         [](TListMemo& m) { m.MoveCaret(m.ByRows(m.Caret, 1), true, true); }},
        {Is<K::MoveToPreviousLine>,
         [](TListMemo& m) { m.MoveCaret(m.ByRows(m.Caret, -1), false, true); }},
        {Is<K::SelectPreviousLine>,
         [](TListMemo& m) { m.MoveCaret(m.ByRows(m.Caret, -1), true, true); }},
        {Is<K::MoveToNextPage>, [](TListMemo& m) { m.PageBy(1, false); }},
        {Is<K::SelectNextPage>, [](TListMemo& m) { m.PageBy(1, true); }},
        {Is<K::MoveToPreviousPage>, [](TListMemo& m) { m.PageBy(-1, false); }},
        {Is<K::SelectPreviousPage>, [](TListMemo& m) { m.PageBy(-1, true); }},
        {Is<K::MoveToStartOfLine>, [](TListMemo& m) { m.MoveCaret(m.RowStart(m.Caret), false); }},
        {Is<K::SelectStartOfLine>, [](TListMemo& m) { m.MoveCaret(m.RowStart(m.Caret), true); }},
        {Is<K::MoveToEndOfLine>, [](TListMemo& m) { m.MoveCaret(m.RowEnd(m.Caret), false); }},
        {Is<K::SelectEndOfLine>, [](TListMemo& m) { m.MoveCaret(m.RowEnd(m.Caret), true); }},
        {Is<K::MoveToStartOfDocument>,
         [](TListMemo& m) {
             m.MoveCaret({0, 0}, false);
         }},
        {Is<K::SelectStartOfDocument>,
         [](TListMemo& m) {
             m.MoveCaret({0, 0}, true);
         }},
        {Is<K::MoveToEndOfDocument>, [](TListMemo& m) { m.MoveCaret(m.Doc.End(), false); }},
        {Is<K::SelectEndOfDocument>, [](TListMemo& m) { m.MoveCaret(m.Doc.End(), true); }},
    };
    return Keys;
}

void TListMemo::PageBy(int pages, bool select) {
    ScrollRows(pages * PageRows());
    MoveCaret(ByRows(Caret, pages * PageRows()), select, true);
}

void TListMemo::keyPressEvent(QKeyEvent* event) {
    TrimLayouts();
    const auto& keys = EditingKeys();
    const auto key = std::find_if(keys.begin(), keys.end(),
                                  [event](const TEditingKey& k) { return k.Matches(event); });
    if (key != keys.end()) {
        key->Run(*this);
        event->accept();
    } else if (IsTypedText(event)) {
        ReplaceSelection(event->text(), true);
        event->accept();
    } else {
        event->ignore();
    }
}

void TListMemo::inputMethodEvent(QInputMethodEvent* event) {
    if (event->replacementLength() > 0) {
        const int64_t start = std::max<int64_t>(Caret.Column + event->replacementStart(), 0);
        Anchor = Doc.Clamp({Caret.Line, start});
        Caret = Doc.Clamp({Caret.Line, start + event->replacementLength()});
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0 ||
        (HasSelection() && !event->preeditString().isEmpty())) {
        ReplaceSelection(event->commitString(), true);
    }
    Preedit = event->preeditString();
    PreeditCursor = static_cast<int>(Preedit.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            PreeditCursor = attribute.start;
        }
    }
    ForgetChangedLines({Caret.Line, 0, 0});
    ClampTop();
    EnsureCaretVisible();
    event->accept();
}

QVariant TListMemo::inputMethodQuery(Qt::InputMethodQuery query) const {
    // Input methods see the caret's line, or a stretch of it around the caret.
    const int64_t begin = std::max<int64_t>(0, Caret.Column - SurroundingChars);
    const QString line = Slice(Caret.Line, begin, Caret.Column + SurroundingChars);
    const int column = static_cast<int>(Caret.Column - begin);
    const int anchor = static_cast<int>(std::clamp<int64_t>(Anchor.Column - begin, 0, line.size()));
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorRectangle: {
        const QRect global = CharacterRect(Caret);
        return QRect(mapFromGlobal(global.topLeft()), QSize(1, global.height()));
    }
    case Qt::ImCursorPosition:
    case Qt::ImAbsolutePosition:
        return column;
    case Qt::ImAnchorPosition:
        return Anchor.Line == Caret.Line ? anchor : column;
    case Qt::ImSurroundingText:
        return line;
    case Qt::ImCurrentSelection:
        return Anchor.Line == Caret.Line
                   ? line.mid(std::min(anchor, column), std::abs(anchor - column))
                   : QString();
    case Qt::ImTextBeforeCursor:
        return line.left(column);
    case Qt::ImTextAfterCursor:
        return line.mid(column);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TListMemo::mousePressEvent(QMouseEvent* event) {
    if (!Preedit.isEmpty()) {
        QGuiApplication::inputMethod()->commit();
    }
    if (event->button() == Qt::LeftButton) {
        MoveCaret(PosAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    }
}

void TListMemo::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        // Dragging above the text scrolls it down row by row; below, the caret's own
        // scrolling follows the pointer.
        if (event->position().y() < 0) {
            ScrollRows(-1);
        }
        MoveCaret(PosAt(event->position().toPoint()), true);
    }
}

void TListMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const TTextPos at = PosAt(event->position().toPoint());
    const int64_t begin = std::max<int64_t>(0, at.Column - WordChars);
    const QString text = Slice(at.Line, begin, at.Column + WordChars);
    if (text.isEmpty()) {
        MoveCaret(at, false);
        return;
    }
    // The run of characters of one kind under the pointer.
    int start = static_cast<int>(std::min<int64_t>(at.Column - begin, text.size() - 1));
    const int wanted = CharClass(text[start]);
    int end = start + 1;
    while (start > 0 && CharClass(text[start - 1]) == wanted) {
        --start;
    }
    while (end < text.size() && CharClass(text[end]) == wanted) {
        ++end;
    }
    SetSelection({at.Line, begin + start}, {at.Line, begin + end});
}

void TListMemo::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    const int rows = -delta * QApplication::wheelScrollLines() / 120;
    ScrollRows(rows != 0 ? rows : (delta > 0 ? -1 : 1));
    event->accept();
}

void TListMemo::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
}

void TListMemo::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    Blink.stop();
    viewport()->update();
}

void TListMemo::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const auto add = [&](const char* text, QKeySequence::StandardKey key, bool enabled,
                         void (TListMemo::*slot)()) {
        QAction* action = menu.addAction(MenuText(text, key));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    add("&Undo", QKeySequence::Undo, Doc.CanUndo(), &TListMemo::Undo);
    add("&Redo", QKeySequence::Redo, Doc.CanRedo(), &TListMemo::Redo);
    menu.addSeparator();
    add("Cu&t", QKeySequence::Cut, HasSelection(), &TListMemo::Cut);
    add("&Copy", QKeySequence::Copy, HasSelection(), &TListMemo::CopySelection);
    add("&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(),
        &TListMemo::Paste);
    add("Delete", QKeySequence::UnknownKey, HasSelection(), &TListMemo::DeleteSelection);
    menu.addSeparator();
    add("Select All", QKeySequence::SelectAll, true, &TListMemo::SelectAll);
    menu.exec(event->globalPos());
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
