#include "document/LineRuns.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

TLineRuns TLineRuns::Generated(int64_t first, int64_t count) {
    TLineRuns runs;
    runs.Items.push_back({true, first, count, {}});
    runs.Normalise();
    return runs;
}

TLineRuns TLineRuns::Stored(std::vector<std::u16string> lines) {
    TLineRuns runs;
    runs.Items.push_back({false, 0, 0, std::move(lines)});
    runs.Normalise();
    return runs;
}

TLineRuns TLineRuns::Single(TLineRef line) {
    if (line.Generated) {
        return Generated(line.Position, 1);
    }
    std::vector<std::u16string> lines;
    lines.push_back(std::move(line.Text));
    return Stored(std::move(lines));
}

TLineRef TLineRuns::Line(int64_t index) const {
    const size_t at = RunOf(index);
    const TLineRun& run = Items.at(at);
    const int64_t offset = index - Starts[at];
    if (run.Generated) {
        return TLineRef::OfPosition(run.First + offset);
    }
    return TLineRef::OfText(run.Lines[static_cast<size_t>(offset)]);
}

TLineRuns TLineRuns::Cut(int64_t first, int64_t count) {
    const size_t begin = SplitAt(first);
    const size_t end = SplitAt(first + count);
    TLineRuns cut;
    cut.Items.assign(std::make_move_iterator(Items.begin() + static_cast<ptrdiff_t>(begin)),
                     std::make_move_iterator(Items.begin() + static_cast<ptrdiff_t>(end)));
    Items.erase(Items.begin() + static_cast<ptrdiff_t>(begin),
                Items.begin() + static_cast<ptrdiff_t>(end));
    Normalise();
    cut.Normalise();
    return cut;
}

TLineRuns TLineRuns::Slice(int64_t first, int64_t count) const {
    TLineRuns slice;
    ForEachPart(first, count, [&slice](const TLineRun& run, int64_t offset, int64_t part) {
        if (run.Generated) {
            slice.Items.push_back({true, run.First + offset, part, {}});
            return;
        }
        const auto begin = run.Lines.begin() + offset;
        slice.Items.push_back({false, 0, 0, {begin, begin + part}});
    });
    slice.Normalise();
    return slice;
}

void TLineRuns::Insert(int64_t at, TLineRuns lines) {
    const size_t index = SplitAt(at);
    Items.insert(Items.begin() + static_cast<ptrdiff_t>(index),
                 std::make_move_iterator(lines.Items.begin()),
                 std::make_move_iterator(lines.Items.end()));
    Normalise();
}

void TLineRuns::SetLine(int64_t index, TLineRef line) {
    const size_t run = RunOf(index);
    if (!line.Generated && !Items.at(run).Generated) {
        Items[run].Lines[static_cast<size_t>(index - Starts[run])] = std::move(line.Text);
        return;
    }
    Cut(index, 1);
    Insert(index, Single(std::move(line)));
}

size_t TLineRuns::RunOf(int64_t line) const {
    // The last run whose start is at or before the line.
    const auto after = std::upper_bound(Starts.begin(), Starts.end(), line);
    if (line >= Total || after == Starts.begin()) {
        return Items.size();
    }
    return static_cast<size_t>(after - Starts.begin() - 1);
}

size_t TLineRuns::SplitAt(int64_t line) {
    const size_t run = RunOf(line);
    if (run == Items.size() || Starts[run] == line) {
        return run;
    }
    const int64_t offset = line - Starts[run];
    TLineRun tail;
    tail.Generated = Items[run].Generated;
    if (tail.Generated) {
        tail.First = Items[run].First + offset;
        tail.Count = Items[run].Count - offset;
        Items[run].Count = offset;
    } else {
        auto& lines = Items[run].Lines;
        tail.Lines.assign(std::make_move_iterator(lines.begin() + offset),
                          std::make_move_iterator(lines.end()));
        lines.erase(lines.begin() + offset, lines.end());
    }
    Items.insert(Items.begin() + static_cast<ptrdiff_t>(run) + 1, std::move(tail));
    Starts.insert(Starts.begin() + static_cast<ptrdiff_t>(run) + 1, line);
    return run + 1;
}

void TLineRuns::Normalise() {
    std::vector<TLineRun> merged;
    merged.reserve(Items.size());
    for (TLineRun& run : Items) {
        if (run.LineCount() <= 0) {
            continue;
        }
        if (!merged.empty() && merged.back().Generated == run.Generated) {
            TLineRun& last = merged.back();
            if (!run.Generated) {
                last.Lines.insert(last.Lines.end(), std::make_move_iterator(run.Lines.begin()),
                                  std::make_move_iterator(run.Lines.end()));
                continue;
            }
            if (last.First + last.Count == run.First) {
                last.Count += run.Count;
                continue;
            }
        }
        merged.push_back(std::move(run));
    }
    Items = std::move(merged);
    Starts.clear();
    Total = 0;
    for (const TLineRun& run : Items) {
        Starts.push_back(Total);
        Total += run.LineCount();
    }
}
