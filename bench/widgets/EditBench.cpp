#include "bench/widgets/EditBench.h"

#include "bench/widgets/BenchSupport.h"
#include "widgets/ListMemo.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

// A peer case that runs longer than this is stopped; what it measured so far is shown.
constexpr int PeerLimitMs = 150000;

struct TEditCase {
    const char* Name;
    const char* Title;
    std::string (*Text)();
};

std::string OneLine(size_t size) {
    return std::string(size, 'x');
}

// Short numbered lines, ten bytes each.
std::string ShortLines(size_t size) {
    std::string text;
    text.reserve(size + 16);
    char line[16];
    for (int i = 0; text.size() < size; ++i) {
        std::snprintf(line, sizeof line, "%9d\n", i);
        text += line;
    }
    return text;
}

const TEditCase Cases[] = {
    {"line1m", "1 MiB single line", [] { return OneLine(size_t{1} << 20); }},
    {"line16m", "16 MiB single line", [] { return OneLine(size_t{16} << 20); }},
    {"lines50m", "50 MB short lines", [] { return ShortLines(50000000); }},
};

void Print(const char* name, double value) {
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

// Milliseconds from a key until the list has painted (or has nothing to paint).
double Key(TPaintWatch& watch, QWidget& list, QKeyCombination key) {
    return UntilPainted(watch, [&] { QTest::keyClick(&list, key.key(), key.keyboardModifiers()); });
}

} // namespace

int RunEditCase(const QString& kind, const QString& name) {
    const auto found = std::find_if(std::begin(Cases), std::end(Cases),
                                    [&name](const TEditCase& c) { return name == c.Name; });
    if (found == std::end(Cases)) {
        return 1;
    }
    TBenchDesktop desktop;
    SetDesktop(&desktop);
    desktop.Clipboard = found->Text();
    if (kind != QLatin1String("memo")) {
        QApplication::clipboard()->setText(QString::fromStdString(desktop.Clipboard));
    }

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    QAbstractScrollArea* list = nullptr;
    // Each list starts as the main window's does, with its first text shown.
    if (kind == QLatin1String("memo")) {
        auto* memo = new TListMemo;
        memo->SetText(QStringLiteral("--\n"));
        list = memo;
    } else {
        auto* plain = new QPlainTextEdit;
        plain->setPlainText(QStringLiteral("--\n"));
        list = plain;
    }
    layout->addWidget(list);
    window.resize(385, 200);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    list->setFocus();
    TPaintWatch watch(list->viewport());
    UntilPainted(watch, [list] { list->viewport()->update(); });

    Print("textKiB", static_cast<double>(desktop.Clipboard.size()) / 1024);
    const long before = ResidentKiB();
    Print("paste", Key(watch, *list, Qt::CTRL | Qt::Key_V));
    Print("pasteKiB", static_cast<double>(ResidentKiB() - before));
    Print("home", Key(watch, *list, Qt::CTRL | Qt::Key_Home));
    Print("typeStart", Key(watch, *list, Qt::Key_A));
    Print("down", Key(watch, *list, Qt::Key_Down));
    Print("end", Key(watch, *list, Qt::CTRL | Qt::Key_End));
    Print("typeEnd", Key(watch, *list, Qt::Key_B));
    // Undo the two keys and the paste, then redo them: the slowest of each.
    double undo = 0;
    double redo = 0;
    for (int i = 0; i < 3; ++i) {
        undo = std::max(undo, Key(watch, *list, Qt::CTRL | Qt::Key_Z));
    }
    for (int i = 0; i < 3; ++i) {
        redo = std::max(redo, Key(watch, *list, Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    }
    Print("undo", undo);
    Print("redo", redo);
    Print("historyKiB", static_cast<double>(ResidentKiB() - before));
    QElapsedTimer timer;
    timer.start();
    list->viewport()->repaint();
    Print("repaint", timer.nsecsElapsed() / 1e6);
    return 0;
}

namespace {

using TMeasures = std::map<std::string, double>;

TMeasures RunChild(const QString& program, const QString& kind, const char* name, int limitMs) {
    QProcess child;
    child.start(program, {QStringLiteral("edit"), kind, QString::fromLatin1(name)});
    if (!child.waitForFinished(limitMs)) {
        child.kill();
        child.waitForFinished(-1);
    }
    TMeasures measures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 2) {
            measures[fields[0].toStdString()] = fields[1].toDouble();
        }
    }
    return measures;
}

std::string Cell(const TMeasures& measures, const char* name, const char* format, double scale) {
    const auto found = measures.find(name);
    if (found == measures.end()) {
        // Not reached before the case was stopped.
        return std::string(name) == "paste" ? "> " + std::to_string(PeerLimitMs / 1000) + " s"
                                            : "-";
    }
    char cell[32];
    std::snprintf(cell, sizeof cell, format, found->second * scale);
    return cell;
}

} // namespace

void PrintEditTable(const QString& program) {
    std::printf("\nEditing (targets: paste <= 500 ms, every other step <= 16 ms, resident "
                "growth after paste <= 2x and after undo and redo <= 2.5x the text; the "
                "peer is stopped after %d s)\n\n",
                PeerLimitMs / 1000);
    const char* const steps[][2] = {
        {"paste", "paste ms"}, {"home", "Ctrl+Home"}, {"typeStart", "key@start"},
        {"down", "Down"},      {"end", "Ctrl+End"},   {"typeEnd", "key@end"},
        {"undo", "undo max"},  {"redo", "redo max"},  {"repaint", "repaint"},
    };
    std::printf("%-20s %-6s", "case", "edit");
    for (const auto& step : steps) {
        std::printf(" %10s", step[1]);
    }
    std::printf(" %12s %12s\n", "paste mem", "+undo/redo");
    for (const TEditCase& c : Cases) {
        for (const char* kind : {"memo", "plain"}) {
            const TMeasures measures = RunChild(program, QString::fromLatin1(kind), c.Name,
                                                kind[0] == 'm' ? -1 : PeerLimitMs);
            std::printf("%-20s %-6s", c.Title, kind);
            for (const auto& step : steps) {
                std::printf(" %10s", Cell(measures, step[0], "%.2f", 1).c_str());
            }
            const auto text = measures.find("textKiB");
            const double size = text == measures.end() ? 0 : text->second;
            std::printf(" %12s %12s\n", Cell(measures, "pasteKiB", "%.2fx", 1 / size).c_str(),
                        Cell(measures, "historyKiB", "%.2fx", 1 / size).c_str());
            std::fflush(stdout);
        }
    }
}
