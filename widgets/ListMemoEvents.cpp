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

void TListMemo::paintEvent(QPaintEvent*) {
    TrimLayouts();
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const TTextPos from = SelectionStart();
    const TTextPos to = SelectionEnd();
    const qreal breakWidth = fontMetrics().horizontalAdvance(QLatin1Char(' '));

    qreal y = TopY();
    for (int64_t line = TopLine; line < Doc.LineCount() && y < viewport()->height(); ++line) {
        QTextLayout& layout = LayoutOf(line);
        QList<QTextLayout::FormatRange> selections;
        if (HasSelection() && from.Line <= line && line <= to.Line) {
            const int start = line == from.Line ? static_cast<int>(from.Column) : 0;
            const int end = line == to.Line ? static_cast<int>(to.Column)
                                            : static_cast<int>(layout.text().size());
            if (end > start) {
                selections.push_back({start, end - start, selected});
            }
            if (line < to.Line) {
                // The selected line break shows as a space's width after the line.
                const QTextLine last = layout.lineAt(layout.lineCount() - 1);
                painter.fillRect(QRectF(Margin + last.naturalTextWidth(), y + last.y(), breakWidth,
                                        last.height()),
                                 selected.background());
            }
        }
        layout.draw(&painter, QPointF(Margin, y), selections);
        if (line == Caret.Line && hasFocus() && CaretShown) {
            const int column =
                static_cast<int>(Caret.Column) + (Preedit.isEmpty() ? 0 : PreeditCursor);
            layout.drawCursor(&painter, QPointF(Margin, y), column, 1);
        }
        y += layout.boundingRect().height();
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
    ForgetLayouts();
    ClampTop();
    EnsureCaretVisible();
    event->accept();
}

QVariant TListMemo::inputMethodQuery(Qt::InputMethodQuery query) const {
    const QString line = LineText(Caret.Line);
    const int column = static_cast<int>(Caret.Column);
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
        return Anchor.Line == Caret.Line ? static_cast<int>(Anchor.Column) : column;
    case Qt::ImSurroundingText:
        return line;
    case Qt::ImCurrentSelection:
        return Anchor.Line == Caret.Line
                   ? line.mid(static_cast<int>(std::min(Anchor.Column, Caret.Column)),
                              static_cast<int>(std::abs(Anchor.Column - Caret.Column)))
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
    const QString text = LineText(at.Line);
    if (text.isEmpty()) {
        MoveCaret(at, false);
        return;
    }
    // The run of characters of one kind under the pointer.
    int start = static_cast<int>(std::min<int64_t>(at.Column, text.size() - 1));
    const int wanted = CharClass(text[start]);
    int end = start + 1;
    while (start > 0 && CharClass(text[start - 1]) == wanted) {
        --start;
    }
    while (end < text.size() && CharClass(text[end]) == wanted) {
        ++end;
    }
    SetSelection({at.Line, start}, {at.Line, end});
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
        CaretShown = !CaretShown;
        viewport()->update();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}
