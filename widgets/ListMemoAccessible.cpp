#include "widgets/ListMemoAccessible.h"

#include "widgets/ListMemo.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

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
        return kind == QAccessible::Value ? Memo().ShownText() : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            const auto [from, to] = std::minmax(Memo().AnchorPos(), Memo().CaretPos());
            *start = Memo().AccessibleOffset(from);
            *end = Memo().AccessibleOffset(to);
        }
    }

    int selectionCount() const override { return Memo().AnchorPos() != Memo().CaretPos() ? 1 : 0; }

    void addSelection(int start, int end) override { setSelection(0, start, end); }

    void removeSelection(int) override {
        Memo().SetSelection(Memo().CaretPos(), Memo().CaretPos());
    }

    void setSelection(int, int start, int end) override {
        Memo().SetSelection(Memo().AccessiblePos(start), Memo().AccessiblePos(end));
    }

    int cursorPosition() const override { return Memo().AccessibleOffset(Memo().CaretPos()); }

    void setCursorPosition(int position) override {
        const TTextPos pos = Memo().AccessiblePos(position);
        Memo().SetSelection(pos, pos);
    }

    QString text(int start, int end) const override { return Memo().AccessibleText(start, end); }

    int characterCount() const override { return Memo().AccessibleLength(); }

    QRect characterRect(int offset) const override {
        return Memo().CharacterRect(Memo().AccessiblePos(offset));
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Memo().viewport()->mapFromGlobal(point);
        if (!Memo().viewport()->rect().contains(local)) {
            return -1;
        }
        return Memo().AccessibleOffset(Memo().PosAt(local));
    }

    void scrollToSubstring(int start, int) override { setCursorPosition(start); }

    QString attributes(int offset, int* start, int* end) const override {
        *start = 0;
        *end = std::max(offset, characterCount());
        return {};
    }

private:
    TListMemo& Memo() const { return *static_cast<TListMemo*>(widget()); }
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
