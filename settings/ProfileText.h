#pragma once

#include "settings/Profile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The settings file's rules as pure functions over its bytes, apart from any file system:
// the profile reader and writer of Profile.h are these, applied to a file.
//
// The bytes are read front to back through a buffer of fixed size, never held whole, so
// that reading and rewriting a file of any size take the same memory.

// Where the bytes come from: read at any offset, in pieces of any size.
class TProfileSource {
public:
    virtual ~TProfileSource() = default;
    // Copies up to `size` bytes from `offset` on into `buffer`; returns how many were
    // copied (0 at the end), or -1 when the bytes cannot be read.
    virtual std::ptrdiff_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) = 0;
};

// Bytes held in memory, handed out at most `piece` bytes at a time.
class TTextSource final : public TProfileSource {
public:
    explicit TTextSource(std::string_view text, std::size_t piece = SIZE_MAX)
        : Text(text), Piece(piece == 0 ? 1 : piece) {}
    std::ptrdiff_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override;

private:
    std::string_view Text;
    std::size_t Piece;
};

// The value of the key as a read delivers it (ProfileRead's rules); nothing when the
// section or the key is missing or the bytes cannot be read.
std::optional<std::string> FindProfileValue(TProfileSource& source, std::string_view section,
                                            std::string_view key);

// What a read delivers when there is no value: the fallback without its trailing spaces,
// cut to ProfileValueLimit.
std::string ProfileFallback(std::string_view fallback);

// A change of the file: its new bytes are the old ones before KeepBefore, then Insert,
// then the old ones from ResumeAt to the end.
struct TProfileEdit {
    std::uint64_t KeepBefore = 0;
    std::string Insert;
    std::uint64_t ResumeAt = 0;
};

// The one change that stores `entry` (ProfileWrite's rules); nothing when the bytes
// cannot be read.
std::optional<TProfileEdit> PlanProfileEdit(TProfileSource& source, const TProfileEntry& entry);

// ProfileRead and ProfileWrite on a file's bytes in memory.
std::string ReadProfileText(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view fallback);
std::string RewriteProfileText(std::string_view text, const TProfileEntry& entry);
