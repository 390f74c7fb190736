#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// One line as the document holds it: the generated line of a list position, or text.
struct TLineRef {
    bool Generated = false;
    int64_t Position = 0;
    std::u16string Text;

    static TLineRef OfText(std::u16string text) { return {false, 0, std::move(text)}; }
    static TLineRef OfPosition(int64_t position) { return {true, position, {}}; }
};

// A run of lines: either the generated lines of `Count` consecutive positions from
// `First`, or stored text lines.
struct TLineRun {
    bool Generated = false;
    int64_t First = 0;
    int64_t Count = 0;
    std::vector<std::u16string> Lines;

    int64_t LineCount() const { return Generated ? Count : static_cast<int64_t>(Lines.size()); }
};

// A sequence of lines kept as a short sequence of runs. Every operation works on
// runs: cutting or inserting a range of lines costs the same for two lines as for two
// billion, and generated lines are never expanded. Neighbouring runs that can be one
// run are merged, so edits that are undone leave the runs as they were.
class TLineRuns {
public:
    TLineRuns() = default;

    static TLineRuns Generated(int64_t first, int64_t count);
    static TLineRuns Stored(std::vector<std::u16string> lines);
    static TLineRuns Single(TLineRef line);

    int64_t LineCount() const { return Total; }
    const std::vector<TLineRun>& Runs() const { return Items; }

    TLineRef Line(int64_t index) const;

    // Removes `count` lines from `first` and returns them.
    TLineRuns Cut(int64_t first, int64_t count);

    // A copy of `count` lines from `first`.
    TLineRuns Slice(int64_t first, int64_t count) const;

    // Inserts `lines` before the line `at` (at == LineCount() appends).
    void Insert(int64_t at, TLineRuns lines);

    // Replaces one line; a generated run is split around it.
    void SetLine(int64_t index, TLineRef line);

    // Calls `visit(run, offset, count)` for the part of each run that lies within
    // `count` lines from `first`: `count` lines from line `offset` of `run`.
    template <typename Visit> void ForEachPart(int64_t first, int64_t count, Visit visit) const {
        size_t run = RunOf(first);
        int64_t offset = first - Starts[run];
        while (count > 0 && run < Items.size()) {
            const int64_t part = std::min(count, Items[run].LineCount() - offset);
            visit(Items[run], offset, part);
            count -= part;
            offset = 0;
            ++run;
        }
    }

private:
    // The index of the run that holds a line (lines past the end: Items.size()).
    size_t RunOf(int64_t line) const;
    // Makes a run start at `line` and returns that run's index.
    size_t SplitAt(int64_t line);
    // Drops empty runs, merges neighbours that can be one run, recounts.
    void Normalise();

    std::vector<TLineRun> Items;
    std::vector<int64_t> Starts;
    int64_t Total = 0;
};
