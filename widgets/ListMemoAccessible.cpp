#include "widgets/ListMemoAccessible.h"

#include "editor/AccessibleText.h"
#include "widgets/ListMemo.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

// The memo through Qt's text interface: the editor's accessible text (TAccessibleText),
// the shown rows as the value.
class TListMemoAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TListMemoAccessible(TListMemo* memo)
        : QAccessibleWidget(memo, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? QString::fromStdU16String(Editor().ShownText())
                                          : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            const TAccessibleText text(Editor());
            *start = text.OffsetOf(Editor().SelectionStart());
            *end = text.OffsetOf(Editor().SelectionEnd());
        }
    }

    int selectionCount() const override { return Editor().HasSelection() ? 1 : 0; }

    void addSelection(int start, int end) override { setSelection(0, start, end); }

    void removeSelection(int) override {
        Memo().Editor().SetSelection(Editor().Caret(), Editor().Caret());
    }

    void setSelection(int, int start, int end) override {
        const TAccessibleText text(Editor());
        Memo().Editor().SetSelection(text.PosOf(start), text.PosOf(end));
    }

    int cursorPosition() const override {
        return TAccessibleText(Editor()).OffsetOf(Editor().Caret());
    }

    void setCursorPosition(int position) override {
        const TTextPos pos = TAccessibleText(Editor()).PosOf(position);
        Memo().Editor().SetSelection(pos, pos);
    }

    QString text(int start, int end) const override {
        return QString::fromStdU16String(TAccessibleText(Editor()).Text(start, end));
    }

    int characterCount() const override { return TAccessibleText(Editor()).Length(); }

    QRect characterRect(int offset) const override {
        return Memo().CharacterRect(TAccessibleText(Editor()).PosOf(offset));
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Memo().viewport()->mapFromGlobal(point);
        if (!Memo().viewport()->rect().contains(local)) {
            return -1;
        }
        return TAccessibleText(Editor()).OffsetOf(Memo().PosAt(local));
    }

    void scrollToSubstring(int start, int) override { setCursorPosition(start); }

    QString attributes(int offset, int* start, int* end) const override {
        *start = 0;
        *end = std::max(offset, characterCount());
        return {};
    }

private:
    TListMemo& Memo() const { return *static_cast<TListMemo*>(widget()); }
    const TListEditor& Editor() const { return Memo().Editor(); }
};

QAccessibleInterface* ListMemoAccessibleFactory(const QString&, QObject* object) {
    if (auto* memo = qobject_cast<TListMemo*>(object)) {
        return new TListMemoAccessible(memo);
    }
    return nullptr;
}

} // namespace

void InstallListMemoAccessibility() {
    QAccessible::installFactory(&ListMemoAccessibleFactory);
}
