#pragma once

// What the settings fuzz targets share: how an input becomes a settings file and an entry
// to write, what a write must keep, and the reading rules read the plainest way, to hold
// the profile reader and writer against.

#include "fuzz/Require.h"
#include "settings/Profile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A settings file and one entry to write into it, and the size of the pieces in which
// the file's bytes are handed to the reader.
struct TWriteCase {
    std::string Before;
    TProfileEntry Entry;
    std::size_t Piece = 0;
};

// The input's last bytes choose the entry, the rest is the file. Section, key and value
// are taken from the file's own lines or from a few fixed names, so that existing
// sections and keys are met often, and are then made into what a well-formed entry line
// holds; only for such names does reading find what was written:
//  - no line break (CR, LF) in section, key or value;
//  - no blank (space, tab) at either end of the section or the key (reading drops them);
//  - no "]" in the section (it ends the name), no "=" in the key (it ends the key);
//  - a key does not start with "[" or ";" (the line would be a section or a comment).
// The value may be any other text: blanks, quotes and its length play their part when
// it is read back.
TWriteCase ConsumeWriteCase(const uint8_t* data, std::size_t size);

// What reading delivers for a written value: blanks around it dropped, one matching pair
// of outer quotes removed, cut to the limit.
std::string ReadBack(std::string_view value);

// Every line of the old file is still there, in order and byte for byte, except the key's
// own line when the key was there; what is new is the key's line and, when the section
// was missing, its header line, both ending like the file's first line does; a last line
// that had no line break may have gained one.
void RequireOtherLinesKept(std::string_view before, std::string_view after,
                           const TProfileEntry& entry, std::initializer_list<TShown> shown);

// The reading rules applied line by line to the whole text, the plainest way.
std::string PlainRead(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view fallback);
