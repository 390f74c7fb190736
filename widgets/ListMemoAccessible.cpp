#include "widgets/ListMemoAccessible.h"

#include "editor/AccessibleText.h"
#include "widgets/ListMemo.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

TTextUnit UnitOf(QAccessible::TextBoundaryType boundary) {
    switch (boundary) {
    case QAccessible::CharBoundary:
        return TTextUnit::Character;
    case QAccessible::WordBoundary:
        return TTextUnit::Word;
    case QAccessible::LineBoundary:
        return TTextUnit::Row;
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
        return TTextUnit::Line;
    case QAccessible::NoBoundary:
        break;
    }
    return TTextUnit::Document;
}

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// The memo through Qt's text interface, every answer the editor's (TAccessibleText); the
// shown rows as the value.
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
        return kind == QAccessible::Value ? ToQString(Editor().ShownText())
                                          : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            const TTextSpan selected = Text().Selection();
            *start = selected.Start;
            *end = selected.End;
        }
    }

    int selectionCount() const override { return Editor().HasSelection() ? 1 : 0; }

    void addSelection(int start, int end) override { setSelection(0, start, end); }

    void removeSelection(int) override {
        Memo().Editor().SetSelection(Editor().Caret(), Editor().Caret());
    }

    void setSelection(int, int start, int end) override {
        const TAccessibleText text = Text();
        Memo().Editor().SetSelection(text.PosOf(start), text.PosOf(end));
    }

    int cursorPosition() const override { return Text().Caret(); }

    void setCursorPosition(int position) override {
        const TTextPos pos = Text().PosOf(position);
        Memo().Editor().SetSelection(pos, pos);
    }

    QString text(int start, int end) const override { return ToQString(Text().Text(start, end)); }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        const TAccessibleText text = Text();
        return Answer(text, text.UnitBefore(offset, UnitOf(boundary)), start, end);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        const TAccessibleText text = Text();
        return Answer(text, text.UnitAfter(offset, UnitOf(boundary)), start, end);
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        const TAccessibleText text = Text();
        return Answer(text, text.UnitAt(offset, UnitOf(boundary)), start, end);
    }

    int characterCount() const override { return Text().Length(); }

    QRect characterRect(int offset) const override {
        return Memo().ScreenRect(Text().CharacterRect(offset));
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Memo().viewport()->mapFromGlobal(point);
        if (!Memo().viewport()->rect().contains(local)) {
            return -1;
        }
        const QPoint inText = local - Memo().TextOrigin();
        return Text().OffsetAt(inText.x(), inText.y());
    }

    void scrollToSubstring(int start, int) override { setCursorPosition(start); }

    QString attributes(int offset, int* start, int* end) const override {
        *start = 0;
        *end = std::max(offset, characterCount());
        return {};
    }

private:
    static QString Answer(const TAccessibleText& text, TTextSpan span, int* start, int* end) {
        *start = span.Start;
        *end = span.End;
        return ToQString(text.Text(span));
    }

    TListMemo& Memo() const { return *static_cast<TListMemo*>(widget()); }
    const TListEditor& Editor() const { return Memo().Editor(); }
    TAccessibleText Text() const { return TAccessibleText(Editor()); }
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
