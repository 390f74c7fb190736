// The memo's painting and its keyboard, input-method, mouse and menu handling.

#include "ListMemo.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTextLayout>

namespace {

// Editing keys that the memo takes before any shortcut of its window.
const QKeySequence::StandardKey EditingKeys[] = {
    QKeySequence::Undo,
    QKeySequence::Redo,
    QKeySequence::Copy,
    QKeySequence::Cut,
    QKeySequence::Paste,
    QKeySequence::SelectAll,
    QKeySequence::Delete,
    QKeySequence::DeleteStartOfWord,
    QKeySequence::DeleteEndOfWord,
    QKeySequence::MoveToNextChar,
    QKeySequence::MoveToPreviousChar,
    QKeySequence::MoveToNextWord,
    QKeySequence::MoveToPreviousWord,
    QKeySequence::MoveToNextLine,
    QKeySequence::MoveToPreviousLine,
    QKeySequence::MoveToNextPage,
    QKeySequence::MoveToPreviousPage,
    QKeySequence::MoveToStartOfLine,
    QKeySequence::MoveToEndOfLine,
    QKeySequence::MoveToStartOfDocument,
    QKeySequence::MoveToEndOfDocument,
    QKeySequence::SelectNextChar,
    QKeySequence::SelectPreviousChar,
    QKeySequence::SelectNextWord,
    QKeySequence::SelectPreviousWord,
    QKeySequence::SelectNextLine,
    QKeySequence::SelectPreviousLine,
    QKeySequence::SelectNextPage,
    QKeySequence::SelectPreviousPage,
    QKeySequence::SelectStartOfLine,
    QKeySequence::SelectEndOfLine,
    QKeySequence::SelectStartOfDocument,
    QKeySequence::SelectEndOfDocument,
    QKeySequence::InsertParagraphSeparator,
    QKeySequence::InsertLineSeparator,
};

// Backspace, also with Shift as a plain text edit takes it.
bool IsBackspace(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return event->key() == Qt::Key_Backspace &&
           (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier);
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
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool editing =
            IsRedoKey(key) || IsBackspace(key) || IsTypedText(key) ||
            std::any_of(std::begin(EditingKeys), std::end(EditingKeys),
                        [key](QKeySequence::StandardKey k) { return key->matches(k); });
        if (editing) {
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
    const TextPos from = SelectionStart();
    const TextPos to = SelectionEnd();
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

bool TListMemo::HandleStandardKey(QKeyEvent* event) {
    const auto is = [event](QKeySequence::StandardKey key) { return event->matches(key); };
    const auto moveTo = [this](TextPos pos, bool select, bool keepX = false) {
        MoveCaret(pos, select, keepX);
    };
    if (is(QKeySequence::Undo)) {
        Undo();
    } else if (IsRedoKey(event)) {
        Redo();
    } else if (is(QKeySequence::Copy)) {
        Copy();
    } else if (is(QKeySequence::Cut)) {
        Cut();
    } else if (is(QKeySequence::Paste)) {
        Paste();
    } else if (is(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (is(QKeySequence::Delete)) {
        DeleteTo(NextChar(Caret));
    } else if (is(QKeySequence::DeleteStartOfWord)) {
        DeleteTo(PreviousWord(Caret));
    } else if (IsBackspace(event)) {
        DeleteTo(PreviousChar(Caret));
    } else if (is(QKeySequence::DeleteEndOfWord)) {
        DeleteTo(NextWord(Caret));
    } else if (is(QKeySequence::InsertParagraphSeparator) ||
               is(QKeySequence::InsertLineSeparator)) {
        ReplaceSelection(QStringLiteral("\n"), false);
    } else if (is(QKeySequence::MoveToNextChar)) {
        moveTo(HasSelection() ? SelectionEnd() : NextChar(Caret), false);
    } else if (is(QKeySequence::MoveToPreviousChar)) {
        moveTo(HasSelection() ? SelectionStart() : PreviousChar(Caret), false);
    } else if (is(QKeySequence::SelectNextChar)) {
        moveTo(NextChar(Caret), true);
    } else if (is(QKeySequence::SelectPreviousChar)) {
        moveTo(PreviousChar(Caret), true);
    } else if (is(QKeySequence::MoveToNextWord) || is(QKeySequence::SelectNextWord)) {
        moveTo(NextWord(Caret), is(QKeySequence::SelectNextWord));
    } else if (is(QKeySequence::MoveToPreviousWord) || is(QKeySequence::SelectPreviousWord)) {
        moveTo(PreviousWord(Caret), is(QKeySequence::SelectPreviousWord));
    } else if (is(QKeySequence::MoveToNextLine) || is(QKeySequence::SelectNextLine)) {
        moveTo(ByRows(Caret, 1), is(QKeySequence::SelectNextLine), true);
    } else if (is(QKeySequence::MoveToPreviousLine) || is(QKeySequence::SelectPreviousLine)) {
        moveTo(ByRows(Caret, -1), is(QKeySequence::SelectPreviousLine), true);
    } else if (is(QKeySequence::MoveToNextPage) || is(QKeySequence::SelectNextPage)) {
        ScrollRows(PageRows());
        moveTo(ByRows(Caret, PageRows()), is(QKeySequence::SelectNextPage), true);
    } else if (is(QKeySequence::MoveToPreviousPage) || is(QKeySequence::SelectPreviousPage)) {
        ScrollRows(-PageRows());
        moveTo(ByRows(Caret, -PageRows()), is(QKeySequence::SelectPreviousPage), true);
    } else if (is(QKeySequence::MoveToStartOfLine) || is(QKeySequence::SelectStartOfLine)) {
        moveTo(RowStart(Caret), is(QKeySequence::SelectStartOfLine));
    } else if (is(QKeySequence::MoveToEndOfLine) || is(QKeySequence::SelectEndOfLine)) {
        moveTo(RowEnd(Caret), is(QKeySequence::SelectEndOfLine));
    } else if (is(QKeySequence::MoveToStartOfDocument) || is(QKeySequence::SelectStartOfDocument)) {
        moveTo({0, 0}, is(QKeySequence::SelectStartOfDocument));
    } else if (is(QKeySequence::MoveToEndOfDocument) || is(QKeySequence::SelectEndOfDocument)) {
        moveTo(Doc.End(), is(QKeySequence::SelectEndOfDocument));
    } else {
        return false;
    }
    return true;
}

void TListMemo::keyPressEvent(QKeyEvent* event) {
    TrimLayouts();
    if (HandleStandardKey(event)) {
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
    const TextPos at = PosAt(event->position().toPoint());
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
