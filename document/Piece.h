#pragma once

#include <cstdint>

// A stretch of the document's text. A text piece is `Chars` code units of one block of
// the text store from `Start`; a generated piece is the list lines of the `Breaks`
// positions from `Start`, each followed by a line break. Pieces only point at text, so
// copying one (for undo and redo) never copies the text.
struct TPiece {
    bool Generated = false;
    uint32_t Block = 0;
    int64_t Start = 0;
    int64_t Chars = 0;
    int64_t Breaks = 0;
};
