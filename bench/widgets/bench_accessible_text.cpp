// What a screen reader asks of the list: Qt's accessible text interface of the list memo,
// filled with N list lines or with one pasted 16 MiB line, against a QPlainTextEdit's
// given 1000000 lines.
//
// Each case runs in a process of its own ("bench_accessible_text memo 200000000",
// "bench_accessible_text memo line16m", "bench_accessible_text plain 1000000"); each
// query is asked three times, and the slowest answer is shown, with the growth of
// resident memory over all the queries. Run without arguments for the table.

#include "bench/widgets/BenchSupport.h"
#include "widgets/ListMemo.h"
#include "widgets/ListMemoAccessible.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using TQuery = std::function<void(QAccessibleTextInterface&)>;

struct TNamedQuery {
    const char* Name;
    TQuery Ask;
};

void TextAt(QAccessibleTextInterface& text, int offset, QAccessible::TextBoundaryType type) {
    int start = 0;
    int end = 0;
    text.textAtOffset(offset, type, &start, &end);
}

// The middle of the text: far from both ends and from the shown rows.
int Middle(QAccessibleTextInterface& text) {
    return text.characterCount() / 2;
}

const TNamedQuery Queries[] = {
    {"count", [](QAccessibleTextInterface& t) { t.characterCount(); }},
    {"text 0..20", [](QAccessibleTextInterface& t) { t.text(0, 20); }},
    {"word @3", [](QAccessibleTextInterface& t) { TextAt(t, 3, QAccessible::WordBoundary); }},
    {"line @3", [](QAccessibleTextInterface& t) { TextAt(t, 3, QAccessible::LineBoundary); }},
    {"para @mid",
     [](QAccessibleTextInterface& t) { TextAt(t, Middle(t), QAccessible::ParagraphBoundary); }},
    {"line before",
     [](QAccessibleTextInterface& t) {
         int start = 0;
         int end = 0;
         t.textBeforeOffset(Middle(t), QAccessible::LineBoundary, &start, &end);
     }},
    {"word after",
     [](QAccessibleTextInterface& t) {
         int start = 0;
         int end = 0;
         t.textAfterOffset(Middle(t), QAccessible::WordBoundary, &start, &end);
     }},
    {"all", [](QAccessibleTextInterface& t) { TextAt(t, 3, QAccessible::NoBoundary); }},
    {"caret+sel",
     [](QAccessibleTextInterface& t) {
         int start = 0;
         int end = 0;
         t.cursorPosition();
         t.selection(0, &start, &end);
     }},
    {"rect", [](QAccessibleTextInterface& t) { t.characterRect(3); }},
    {"at point", [](QAccessibleTextInterface& t) { t.offsetAtPoint(t.characterRect(3).center()); }},
};
constexpr int Repeats = 3;

// The widget measured: the list memo filled, or the plain text edit.
QAbstractScrollArea* MakeList(const QString& kind, const QString& what, TBenchDesktop& desktop) {
    if (kind == QLatin1String("plain")) {
        QString text;
        for (int i = 0; i < what.toInt(); ++i) {
            text += QStringLiteral("%1\n").arg(i & 0xff, 2, 16, QLatin1Char('0'));
        }
        return new QPlainTextEdit(text);
    }
    auto* memo = new TListMemo;
    if (what == QLatin1String("line16m")) {
        desktop.Clipboard.assign(size_t{16} << 20, 'x');
        memo->SetText(QStringLiteral("--\n"));
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    } else {
        memo->SetGeneratedLines(what.toLongLong());
    }
    return memo;
}

// One case: prints "milliseconds..." for each query, then the memory growth in KiB.
int RunCase(const QString& kind, const QString& what) {
    TBenchDesktop desktop;
    SetDesktop(&desktop);
    QAbstractScrollArea* list = MakeList(kind, what, desktop);
    list->resize(385, 200);
    list->show();
    if (!QTest::qWaitForWindowExposed(list)) {
        return 1;
    }
    list->setFocus();
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(list)->textInterface();
    if (text == nullptr) {
        return 1;
    }
    const long before = ResidentKiB();
    for (const TNamedQuery& query : Queries) {
        double slowest = 0;
        for (int i = 0; i < Repeats; ++i) {
            QElapsedTimer timer;
            timer.start();
            query.Ask(*text);
            slowest = std::max(slowest, timer.nsecsElapsed() / 1e6);
        }
        std::printf("%.3f ", slowest);
    }
    std::printf("%ld\n", ResidentKiB() - before);
    delete list;
    return 0;
}

// Runs one case in a child process and prints its row.
void PrintRow(const QString& program, const char* title, const QString& kind, const QString& what) {
    QProcess child;
    child.start(program, {kind, what});
    const bool ran = child.waitForFinished(-1) && child.exitCode() == 0;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (!ran || fields.size() != static_cast<int>(std::size(Queries)) + 1) {
        std::printf("%-24s | the case failed\n", title);
        return;
    }
    double slowest = 0;
    std::printf("%-24s |", title);
    for (int i = 0; i < static_cast<int>(std::size(Queries)); ++i) {
        slowest = std::max(slowest, fields[i].toDouble());
        std::printf(" %11.3f", fields[i].toDouble());
    }
    std::printf(" | %8.3f | %8ld\n", slowest, fields.back().toLong());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    InstallListMemoAccessibility();
    const QStringList args = QApplication::arguments();
    if (args.size() == 3) {
        return RunCase(args[1], args[2]);
    }
    std::printf("Screen readers' queries, slowest of %d, in ms (targets: every query <= 1 ms, "
                "memory growth <= 2048 KiB)\n\n%-24s |",
                Repeats, "list");
    for (const TNamedQuery& query : Queries) {
        std::printf(" %11s", query.Name);
    }
    std::printf(" | %8s | %8s\n", "slowest", "KiB");
    PrintRow(args[0], "QPlainTextEdit 1000000", QStringLiteral("plain"), QStringLiteral("1000000"));
    for (const char* count : {"10", "1000000", "200000000", "2147483647"}) {
        PrintRow(args[0], qPrintable(QStringLiteral("memo %1").arg(QLatin1String(count))),
                 QStringLiteral("memo"), QLatin1String(count));
    }
    PrintRow(args[0], "memo, pasted 16 MiB line", QStringLiteral("memo"),
             QStringLiteral("line16m"));
    return 0;
}
