#pragma once

#include <cstddef>
#include <string>

// The profile reader and writer: reading and writing one entry of a Windows-style INI
// file, treating a hand-edited file the way Windows' private-profile functions do.
// These two functions are all that the INI access object needs; a Windows build can
// put GetPrivateProfileStringA and WritePrivateProfileStringA behind them.
//
// File layout: "[section]" lines open sections, "key=value" lines are entries, lines
// whose first non-blank character is ';' are comments. Section and key names match
// without regard to ASCII case; CR LF, LF and a lone CR all end a line.

// The most characters a read delivers (the platform reader's buffer holds 2048 with the
// terminating zero).
constexpr std::size_t ProfileValueLimit = 2047;

// The value of `key` in the first section named `section` of the file at `path`:
// blanks around it dropped, then one pair of matching outer quotes (" or ') removed,
// then cut to ProfileValueLimit characters. `fallback`, without its trailing spaces and
// cut likewise, when the file, the section or the key is missing or the file cannot be
// read. Never fails, never blocks: anything but a regular file reads as missing. Reads
// only as far as the entry, through a buffer of fixed size, whatever the file's size.
std::string ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& fallback);

// One entry to store.
struct TProfileEntry {
    std::string Section;
    std::string Key;
    std::string Value;
};

// Stores `entry` in the file at `path`, changing nothing else: an existing key's line
// becomes "key=value" (the key spelled as in the file), a missing key is added after the
// last entry of its section, a missing section at the end of the file, a missing file is
// created. New lines end like the file's first line break (LF in a new file), except that
// a new line is never ended with a lone CR right before an LF: it then ends like the line
// before it, so that the two cannot run together. The value is written as given.
//
// The file is replaced as a whole: the old file streams through with the one change into
// a new file in the same folder, which is flushed to disk, given the old file's group and
// permissions and renamed over it, so a reader sees the old or the new file and never a
// part, and a killed write leaves no file behind. Memory does not grow with the file.
//
// Only the running user's own files are written: a symbolic link is followed when it
// belongs to the user, and the file it names (or the file itself) must belong to the user
// too; its owner and permissions stay as they are.
//
// Returns false, leaving the file as it was, when the folder is missing or not writable,
// a directory or other non-file is in the way, the file cannot be read, the file or a
// link to it belongs to another user, the file may not be written (no write permission
// for the user, or none for anybody, which holds for root too), or the disk is full or
// the file-size limit is reached (with SIGXFSZ ignored).
//
// On Windows the system's profile writer does the write (ProfileWin32.cpp), and its
// cached copy of the file is flushed to the file before this returns.
bool ProfileWrite(const std::string& path, const TProfileEntry& entry);
