#include "settings/FileSource.h"

#include <unistd.h>

#include <cerrno>

std::ptrdiff_t TFileSource::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = pread(Fd, buffer, size, static_cast<off_t>(offset));
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}
