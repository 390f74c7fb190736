// The memo's keyboard, input-method, mouse and menu handling: Qt's events turned into the
// editor's commands.

#include "widgets/ListMemo.h"

#include "core/HandlerGuard.h"

#include <QApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <iterator>

namespace {

// How much of the caret's line input methods see on each side of the caret.
constexpr int64_t SurroundingChars = 1024;

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

// Text that a key types: printable characters, never with Ctrl, Alt or Meta, which make
// the key a command, a menu's or a button's accelerator (AltGr is a key of its own on X11).
bool IsTypedText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.isPrint() || c.isSurrogate(); });
}

// Qt's keys and the editor's commands, checked in this order; the first key that
// matches runs.
struct TKeyBinding {
    bool (*Matches)(const QKeyEvent* event);
    TEditCommand Command;
};

using K = QKeySequence;
using C = TEditCommand;
const TKeyBinding KeyTable[] = {
    {Is<K::Undo>, C::Undo},
    {IsRedoKey, C::Redo},
    {Is<K::Copy>, C::Copy},
    {Is<K::Cut>, C::Cut},
    {Is<K::Paste>, C::Paste},
    {Is<K::SelectAll>, C::SelectAll},
    {Is<K::Delete>, C::DeleteForward},
    {Is<K::DeleteStartOfWord>, C::DeleteWordBack},
    {IsBackspace, C::DeleteBack},
    {Is<K::DeleteEndOfWord>, C::DeleteWordForward},
    {IsLineBreak, C::NewLine},
    {Is<K::MoveToNextChar>, C::CharRight},
    {Is<K::MoveToPreviousChar>, C::CharLeft},
    {Is<K::SelectNextChar>, C::CharRightExtend},
    {Is<K::SelectPreviousChar>, C::CharLeftExtend},
    {Is<K::MoveToNextWord>, C::WordRight},
    {Is<K::SelectNextWord>, C::WordRightExtend},
    {Is<K::MoveToPreviousWord>, C::WordLeft},
    {Is<K::SelectPreviousWord>, C::WordLeftExtend},
    {Is<K::MoveToNextLine>, C::RowDown},
    {Is<K::SelectNextLine>, C::RowDownExtend},
    {Is<K::MoveToPreviousLine>, C::RowUp},
    {Is<K::SelectPreviousLine>, C::RowUpExtend},
    {Is<K::MoveToNextPage>, C::PageDown},
    {Is<K::SelectNextPage>, C::PageDownExtend},
    {Is<K::MoveToPreviousPage>, C::PageUp},
    {Is<K::SelectPreviousPage>, C::PageUpExtend},
    {Is<K::MoveToStartOfLine>, C::RowHome},
    {Is<K::SelectStartOfLine>, C::RowHomeExtend},
    {Is<K::MoveToEndOfLine>, C::RowEnd},
    {Is<K::SelectEndOfLine>, C::RowEndExtend},
    {Is<K::MoveToStartOfDocument>, C::DocumentStart},
    {Is<K::SelectStartOfDocument>, C::DocumentStartExtend},
    {Is<K::MoveToEndOfDocument>, C::DocumentEnd},
    {Is<K::SelectEndOfDocument>, C::DocumentEndExtend},
};

const TKeyBinding* BindingOf(const QKeyEvent* event) {
    const auto binding = std::find_if(std::begin(KeyTable), std::end(KeyTable),
                                      [event](const TKeyBinding& b) { return b.Matches(event); });
    return binding != std::end(KeyTable) ? binding : nullptr;
}

// The context menu: Qt's own captions of a text edit's menu, with their keys.
struct TMenuEntry {
    const char* Caption;
    QKeySequence::StandardKey Key;
    TEditCommand Command;
    bool SeparatorBefore;
};

const TMenuEntry MenuEntries[] = {
    {"&Undo", K::Undo, C::Undo, false},
    {"&Redo", K::Redo, C::Redo, false},
    {"Cu&t", K::Cut, C::Cut, true},
    {"&Copy", K::Copy, C::Copy, false},
    {"&Paste", K::Paste, C::Paste, false},
    {"Delete", K::UnknownKey, C::Clear, false},
    {"Select All", K::SelectAll, C::SelectAll, true},
};

QString MenuText(const TMenuEntry& entry) {
    QString caption = QCoreApplication::translate("QWidgetTextControl", entry.Caption);
    const QString shortcut = QKeySequence(entry.Key).toString(QKeySequence::NativeText);
    return shortcut.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcut;
}

std::u16string ToU16(const QString& text) {
    return text.toStdU16String();
}

} // namespace

bool TListMemo::event(QEvent* event) {
    // Editing keys go to the memo before any shortcut of its window.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsTypedText(key) || BindingOf(key) != nullptr) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TListMemo::keyPressEvent(QKeyEvent* event) {
    if (const TKeyBinding* binding = BindingOf(event)) {
        RunGuarded([this, binding] { Edit.Execute(binding->Command); });
        event->accept();
    } else if (IsTypedText(event)) {
        RunGuarded([this, event] { Edit.Type(ToU16(event->text())); });
        event->accept();
    } else {
        event->ignore();
    }
}

void TListMemo::inputMethodEvent(QInputMethodEvent* event) {
    RunGuarded([this, event] {
        const TTextPos caret = Edit.Caret();
        if (event->replacementLength() > 0) {
            const int64_t start = std::max<int64_t>(caret.Column + event->replacementStart(), 0);
            Edit.SetSelection({caret.Line, start},
                              {caret.Line, start + event->replacementLength()});
        }
        if (!event->commitString().isEmpty() || event->replacementLength() > 0 ||
            (Edit.HasSelection() && !event->preeditString().isEmpty())) {
            Edit.Type(ToU16(event->commitString()));
        }
        int cursor = static_cast<int>(event->preeditString().size());
        for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
            if (attribute.type == QInputMethodEvent::Cursor) {
                cursor = attribute.start;
            }
        }
        Edit.SetComposition(ToU16(event->preeditString()), cursor);
    });
    event->accept();
}

QVariant TListMemo::inputMethodQuery(Qt::InputMethodQuery query) const {
    // Input methods see the caret's line, or a stretch of it around the caret.
    const TTextPos caret = Edit.Caret();
    const TTextPos anchor = Edit.Anchor();
    const int64_t begin = std::max<int64_t>(0, caret.Column - SurroundingChars);
    const QString line = QString::fromStdU16String(
        Edit.LineText(caret.Line, begin, caret.Column + SurroundingChars));
    const int column = static_cast<int>(caret.Column - begin);
    const int anchorColumn =
        static_cast<int>(std::clamp<int64_t>(anchor.Column - begin, 0, line.size()));
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorRectangle: {
        const TTextRect rect = Edit.CharacterRect(caret);
        return QRect(viewport()->mapTo(this, TextOrigin() + QPoint(rect.X, rect.Y)),
                     QSize(1, rect.Height));
    }
    case Qt::ImCursorPosition:
    case Qt::ImAbsolutePosition:
        return column;
    case Qt::ImAnchorPosition:
        return anchor.Line == caret.Line ? anchorColumn : column;
    case Qt::ImSurroundingText:
        return line;
    case Qt::ImCurrentSelection:
        return anchor.Line == caret.Line
                   ? line.mid(std::min(anchorColumn, column), std::abs(anchorColumn - column))
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
    if (Edit.IsComposing()) {
        QGuiApplication::inputMethod()->commit();
    }
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint() - TextOrigin();
        RunGuarded([this, at, event] {
            Edit.Click(at.x(), at.y(), event->modifiers() & Qt::ShiftModifier);
        });
    }
}

void TListMemo::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        const QPoint at = event->position().toPoint() - TextOrigin();
        RunGuarded([this, at] { Edit.DragTo(at.x(), at.y()); });
    }
}

void TListMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint() - TextOrigin();
        RunGuarded([this, at] { Edit.SelectWordAt(at.x(), at.y()); });
    }
}

void TListMemo::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    RunGuarded([this, delta] { Edit.Wheel(delta, QApplication::wheelScrollLines()); });
    event->accept();
}

void TListMemo::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    for (const TMenuEntry& entry : MenuEntries) {
        if (entry.SeparatorBefore) {
            menu.addSeparator();
        }
        QAction* action = menu.addAction(MenuText(entry));
        action->setEnabled(Edit.CanExecute(entry.Command));
        connect(action, &QAction::triggered, this,
                [this, &entry] { RunGuarded([this, &entry] { Edit.Execute(entry.Command); }); });
    }
    menu.exec(event->globalPos());
}
