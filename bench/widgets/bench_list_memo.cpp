// Filling the list readout: the list memo against a QPlainTextEdit filled in one call.
//
// For each count N it measures, in a fresh process per case, the time from the press of
// the main window's list button (for the baseline: from the one-call fill) to the first
// painted frame of the list and the growth of resident memory, then the time of Ctrl+End
// to the last line. Then the editing cases of EditBench.h. Run without arguments; it
// starts itself once per case ("bench_list_memo memo 1000000", "bench_list_memo edit memo
// line1m") and prints the tables; "bench_list_memo edit" prints only the editing table.

#include "bench/widgets/BenchSupport.h"
#include "bench/widgets/EditBench.h"
#include "core/Paths.h"
#include "forms/UMain.h"
#include "readout/ByteReadout.h"
#include "widgets/ListMemo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>

#include <cstdio>
#include <optional>
#include <string>

namespace {

const int64_t Counts[] = {10, 100000, 1000000, 2147483647};
// The plain text edit is not measured above this count: it would need gigabytes.
constexpr int64_t LargestPlainCount = 1000000;

struct TResult {
    double FirstFrameMs = 0;
    long GrowthKiB = 0;
    double CtrlEndMs = 0;
    std::string LastLines;
};

// Measures `fill` on the list inside the shown `window`: first frame, memory growth,
// then Ctrl+End.
template <typename Fill, typename Describe>
TResult Measure(QWidget& window, QAbstractScrollArea& list, Fill fill, Describe lastLines) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
    }
    TPaintWatch watch(list.viewport());
    UntilPainted(watch, [&list] { list.viewport()->update(); });

    TResult result;
    const long before = ResidentKiB();
    result.FirstFrameMs = UntilPainted(watch, fill);
    result.GrowthKiB = ResidentKiB() - before;
    list.setFocus();
    result.CtrlEndMs =
        UntilPainted(watch, [&list] { QTest::keyClick(&list, Qt::Key_End, Qt::ControlModifier); });
    result.LastLines = lastLines();
    return result;
}

// The program's main window: the count typed, then the list button pressed.
TResult RunMemoCase(int64_t count) {
    const QTemporaryDir folder;
    OverrideExecutablePath(folder.filePath(QStringLiteral("quorvin")).toStdString());
    TFrmMain window;
    auto* list = window.findChild<TListMemo*>(QStringLiteral("MemoMemoryList"));
    auto* button = window.findChild<QPushButton*>(QStringLiteral("BtnGerMemoryValueList"));
    window.findChild<QLineEdit*>(QStringLiteral("EditMemoryCounter"))
        ->setText(QString::number(count));
    return Measure(
        window, *list, [button] { QTest::mouseClick(button, Qt::LeftButton); },
        [list] {
            const int64_t last = list->Editor().LastVisibleLine();
            return (list->LineText(last - 1) + QLatin1Char('|') + list->LineText(last))
                .toStdString();
        });
}

// The baseline: a plain text edit of the list's size, filled with the whole text in one call.
TResult RunPlainCase(int64_t count) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QPlainTextEdit(QStringLiteral("--\n"));
    layout->addWidget(edit);
    window.resize(385, 129);
    return Measure(
        window, *edit,
        [edit, count] {
            QString text;
            for (int64_t i = 0; i < count; ++i) {
                text += QString::fromStdString(ListLine(
                            static_cast<int8_t>(ByteOfPosition(static_cast<int32_t>(i))))) +
                        QLatin1Char('\n');
            }
            edit->setPlainText(text);
        },
        [edit] {
            QTextCursor cursor = edit->textCursor();
            return (cursor.block().previous().text() + QLatin1Char('|') + cursor.block().text())
                .toStdString();
        });
}

TResult RunCase(const QString& kind, int64_t count) {
    return kind == QLatin1String("memo") ? RunMemoCase(count) : RunPlainCase(count);
}

// Runs one case in a child process and reads its result line.
std::optional<TResult> RunChild(const QString& program, const QString& kind, int64_t count) {
    QProcess child;
    child.start(program, {kind, QString::number(count)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() < 4) {
        return std::nullopt;
    }
    return TResult{fields[0].toDouble(), fields[1].toLong(), fields[2].toDouble(),
                   fields[3].toStdString()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("edit")) {
        return RunEditCase(args[2], args[3]);
    }
    if (args.size() == 2 && args[1] == QLatin1String("edit")) {
        PrintEditTable(args[0]);
        return 0;
    }
    if (args.size() == 3) {
        const TResult r = RunCase(args[1], args[2].toLongLong());
        std::printf("%.3f %ld %.3f %s\n", r.FirstFrameMs, r.GrowthKiB, r.CtrlEndMs,
                    r.LastLines.c_str());
        return 0;
    }

    std::printf("Filling the list and painting the first frame (targets: memo first frame "
                "<= 16 ms, growth < 2048 KiB, Ctrl+End <= 16 ms, 100x faster at 1000000)\n\n");
    std::printf("%12s | %10s %10s %10s | %10s %12s %10s | %8s | %s\n", "N", "memo ms", "memo KiB",
                "Ctrl+End", "plain ms", "plain KiB", "Ctrl+End", "ratio",
                "memo's last lines after Ctrl+End");
    for (const int64_t count : Counts) {
        const auto memo = RunChild(args[0], QStringLiteral("memo"), count);
        const auto plain = count <= LargestPlainCount
                               ? RunChild(args[0], QStringLiteral("plain"), count)
                               : std::nullopt;
        if (!memo) {
            std::printf("%12lld | the memo case failed\n", static_cast<long long>(count));
            continue;
        }
        char plainColumns[64] = "         -            -          -";
        char ratio[16] = "-";
        if (plain) {
            std::snprintf(plainColumns, sizeof plainColumns, "%10.2f %12ld %10.2f",
                          plain->FirstFrameMs, plain->GrowthKiB, plain->CtrlEndMs);
            std::snprintf(ratio, sizeof ratio, "%.0fx", plain->FirstFrameMs / memo->FirstFrameMs);
        }
        std::printf("%12lld | %10.2f %10ld %10.2f | %s | %8s | %s\n", static_cast<long long>(count),
                    memo->FirstFrameMs, memo->GrowthKiB, memo->CtrlEndMs, plainColumns, ratio,
                    memo->LastLines.c_str());
    }
    PrintEditTable(args[0]);
    return 0;
}
