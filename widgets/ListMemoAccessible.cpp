#include "ListMemoAccessible.h"

#include "ListMemo.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

class ListMemoAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ListMemoAccessible(TListMemo* memo)
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
        return kind == QAccessible::Value ? AccessibleText(Memo()) : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            const auto [from, to] = std::minmax(Memo().AnchorPos(), Memo().CaretPos());
            *start = AccessibleOffset(Memo(), from);
            *end = AccessibleOffset(Memo(), to);
        }
    }

    int selectionCount() const override { return Memo().AnchorPos() != Memo().CaretPos() ? 1 : 0; }

    void addSelection(int start, int end) override { setSelection(0, start, end); }

    void removeSelection(int) override {
        Memo().SetSelection(Memo().CaretPos(), Memo().CaretPos());
    }

    void setSelection(int, int start, int end) override {
        Memo().SetSelection(AccessiblePos(Memo(), start), AccessiblePos(Memo(), end));
    }

    int cursorPosition() const override { return AccessibleOffset(Memo(), Memo().CaretPos()); }

    void setCursorPosition(int position) override {
        const TextPos pos = AccessiblePos(Memo(), position);
        Memo().SetSelection(pos, pos);
    }

    QString text(int start, int end) const override {
        const QString all = AccessibleText(Memo());
        start = std::clamp(start, 0, static_cast<int>(all.size()));
        end = std::clamp(end, start, static_cast<int>(all.size()));
        return all.mid(start, end - start);
    }

    int characterCount() const override { return static_cast<int>(AccessibleText(Memo()).size()); }

    QRect characterRect(int offset) const override {
        return Memo().CharacterRect(AccessiblePos(Memo(), offset));
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Memo().viewport()->mapFromGlobal(point);
        if (!Memo().viewport()->rect().contains(local)) {
            return -1;
        }
        return AccessibleOffset(Memo(), Memo().PosAt(local));
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

} // namespace

QString AccessibleText(const TListMemo& memo) {
    const TListMemo::TextWindow window = memo.AccessibleWindow();
    QString text;
    for (int64_t line = window.First; line <= window.Last; ++line) {
        if (line > window.First) {
            text += QLatin1Char('\n');
        }
        text += memo.LineText(line);
    }
    return text;
}

int AccessibleOffset(const TListMemo& memo, TextPos pos) {
    const TListMemo::TextWindow window = memo.AccessibleWindow();
    if (pos.Line < window.First) {
        return 0;
    }
    int64_t offset = 0;
    for (int64_t line = window.First; line < std::min(pos.Line, window.Last + 1); ++line) {
        offset += memo.Document().LineLength(line) + 1;
    }
    if (pos.Line > window.Last) {
        return static_cast<int>(offset - 1);
    }
    return static_cast<int>(offset + pos.Column);
}

TextPos AccessiblePos(const TListMemo& memo, int offset) {
    const TListMemo::TextWindow window = memo.AccessibleWindow();
    int64_t rest = std::max(offset, 0);
    for (int64_t line = window.First; line < window.Last; ++line) {
        const int64_t length = memo.Document().LineLength(line);
        if (rest <= length) {
            return {line, rest};
        }
        rest -= length + 1;
    }
    return memo.Document().Clamp({window.Last, rest});
}

QAccessibleInterface* ListMemoAccessibleFactory(const QString&, QObject* object) {
    if (auto* memo = qobject_cast<TListMemo*>(object)) {
        return new ListMemoAccessible(memo);
    }
    return nullptr;
}
