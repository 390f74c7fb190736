#include "settings/FileReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <memory>

namespace {

const std::string_view TempMark = ".~";
constexpr std::size_t RandomLength = 6;
const std::string_view Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string TempPrefix(const std::string& name) {
    return "." + name + std::string(TempMark);
}

std::string NewTempName(const std::string& name) {
    unsigned char random[RandomLength];
    if (getentropy(random, sizeof random) != 0) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const auto seed =
            static_cast<unsigned long>(now.tv_nsec) ^ static_cast<unsigned long>(getpid());
        for (std::size_t i = 0; i < RandomLength; ++i) {
            random[i] = static_cast<unsigned char>(seed >> (i * 5));
        }
    }
    std::string temp = TempPrefix(name);
    for (const unsigned char byte : random) {
        temp += Letters[byte % Letters.size()];
    }
    return temp;
}

bool IsTempName(std::string_view candidate, const std::string& prefix) {
    return candidate.size() == prefix.size() + RandomLength &&
           candidate.substr(0, prefix.size()) == prefix &&
           candidate.substr(prefix.size()).find_first_not_of(Letters) == std::string_view::npos;
}

// An unnamed file can be given a name only through /proc (without extra privileges).
bool CanNameUnnamedFiles() {
    return access("/proc/self/fd", X_OK) == 0;
}

bool WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies [offset, to) in the kernel; Unsupported where the kernel or the file system
// cannot, with `offset` where the copy stopped.
enum class TCopy { Done, Failed, Unsupported };

TCopy CopyInKernel(int from, off_t& offset, std::uint64_t to, int into) {
    while (static_cast<std::uint64_t>(offset) < to) {
        const std::uint64_t left = to - static_cast<std::uint64_t>(offset);
        const ssize_t copied =
            copy_file_range(from, &offset, into, nullptr,
                            static_cast<std::size_t>(std::min<std::uint64_t>(left, 1u << 30)), 0);
        if (copied > 0) {
            continue;
        }
        if (copied == 0) {
            return to == TFileReplacement::ToTheEnd ? TCopy::Done : TCopy::Failed;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP
                   ? TCopy::Unsupported
                   : TCopy::Failed;
    }
    return TCopy::Done;
}

bool CopyThroughBuffer(int from, off_t offset, std::uint64_t to, int into) {
    constexpr std::size_t BufferSize = 64 * 1024;
    const std::unique_ptr<char[]> buffer(new char[BufferSize]);
    while (static_cast<std::uint64_t>(offset) < to) {
        const std::uint64_t left = to - static_cast<std::uint64_t>(offset);
        const ssize_t got =
            pread(from, buffer.get(),
                  static_cast<std::size_t>(std::min<std::uint64_t>(left, BufferSize)), offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return to == TFileReplacement::ToTheEnd;
        }
        if (!WriteAll(into, buffer.get(), static_cast<std::size_t>(got))) {
            return false;
        }
        offset += got;
    }
    return true;
}

} // namespace

TFileReplacement::TFileReplacement(int folderFd, std::string name)
    : FolderFd(folderFd), FileName(std::move(name)) {}

TFileReplacement::~TFileReplacement() {
    if (Fd >= 0) {
        close(Fd);
    }
    if (!TempName.empty()) {
        unlinkat(FolderFd, TempName.c_str(), 0);
    }
}

bool TFileReplacement::Begin(const struct stat* old) {
    // Until it has the old file's permissions, only its owner may open the new file.
    const mode_t mode = old != nullptr ? 0600 : 0666;
    if (CanNameUnnamedFiles()) {
        Fd = openat(FolderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (Fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return false;
        }
    }
    for (int attempt = 0; Fd < 0 && attempt < 100; ++attempt) {
        const std::string candidate = NewTempName(FileName);
        Fd = openat(FolderFd, candidate.c_str(),
                    O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, mode);
        if (Fd >= 0) {
            TempName = candidate;
        } else if (errno != EEXIST) {
            return false;
        }
    }
    if (Fd < 0) {
        return false;
    }
    flock(Fd, LOCK_EX | LOCK_NB); // where locks are not kept, stale files are simply kept
    if (old == nullptr) {
        return true;
    }
    struct stat now {};
    return fstat(Fd, &now) == 0 &&
           (now.st_gid == old->st_gid || fchown(Fd, static_cast<uid_t>(-1), old->st_gid) == 0) &&
           fchmod(Fd, old->st_mode & 07777) == 0;
}

bool TFileReplacement::Write(std::string_view bytes) {
    return WriteAll(Fd, bytes.data(), bytes.size());
}

bool TFileReplacement::CopyFrom(int from, std::uint64_t begin, std::uint64_t to) {
    off_t offset = static_cast<off_t>(begin);
    switch (CopyInKernel(from, offset, to, Fd)) {
    case TCopy::Done:
        return true;
    case TCopy::Failed:
        return false;
    case TCopy::Unsupported:
        break;
    }
    return CopyThroughBuffer(from, offset, to, Fd);
}

bool TFileReplacement::GiveName() {
    if (!TempName.empty()) {
        return true;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(Fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = NewTempName(FileName);
        if (linkat(AT_FDCWD, self.c_str(), FolderFd, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            TempName = candidate;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool TFileReplacement::Commit() {
    // The file stays open, and so locked, until it has its final FileName.
    if (fsync(Fd) != 0 || !GiveName() ||
        renameat(FolderFd, TempName.c_str(), FolderFd, FileName.c_str()) != 0) {
        return false;
    }
    TempName.clear();
    close(Fd);
    Fd = -1;
    // Make the rename itself last through a crash. The file is already replaced, so a
    // failure here changes nothing that could be reported.
    fsync(FolderFd);
    return true;
}

void RemoveStaleReplacements(int folderFd, const std::string& name) {
    const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) {
        return;
    }
    DIR* const folder = fdopendir(listFd);
    if (folder == nullptr) {
        close(listFd);
        return;
    }
    const std::string prefix = TempPrefix(name);
    while (const dirent* entry = readdir(folder)) {
        if (!IsTempName(entry->d_name, prefix)) {
            continue;
        }
        const int stale =
            openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (stale < 0) {
            continue;
        }
        struct stat held {};
        struct stat named {};
        // Ours, held by no process, and still the file of that name once we hold it.
        if (fstat(stale, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == geteuid() &&
            flock(stale, LOCK_EX | LOCK_NB) == 0 &&
            fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            unlinkat(folderFd, entry->d_name, 0);
        }
        close(stale);
    }
    closedir(folder);
}
