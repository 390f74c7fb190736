#pragma once

#include "settings/ProfileText.h"

// The bytes of an open file, read at any offset; the file stays open while it is read.
class TFileSource final : public TProfileSource {
public:
    explicit TFileSource(int fd) : Fd(fd) {}
    std::ptrdiff_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override;

private:
    int Fd;
};
