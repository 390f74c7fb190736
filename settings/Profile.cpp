#include "settings/Profile.h"

#include "settings/FileReplacement.h"
#include "settings/FileSource.h"
#include "settings/ProfileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

// Closes a file descriptor when it goes out of scope.
class TFd {
public:
    explicit TFd(int fd) : Fd(fd) {}
    ~TFd() {
        if (Fd >= 0) {
            close(Fd);
        }
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    const int Fd;
};

// The file that `path` names once symbolic links are followed; it need not exist. Only
// links that belong to the running user are followed: a link that someone else made
// could point the write anywhere. Nothing for such a link, an empty path or links that
// go round in a circle.
std::optional<std::string> FollowOwnLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0) {
            return errno == ENOENT ? std::optional<std::string>(path) : std::nullopt;
        }
        if (!S_ISLNK(status.st_mode)) {
            return path;
        }
        if (status.st_uid != geteuid()) {
            return std::nullopt;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) {
            return std::nullopt;
        }
        const std::string targetPath(target, static_cast<std::size_t>(length));
        path = targetPath.front() == '/' ? targetPath
                                         : path.substr(0, path.rfind('/') + 1) + targetPath;
    }
    return std::nullopt;
}

// The folder that holds `path`, open; -1 when it cannot be opened.
int OpenFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be written but not listed is still a place to write.
    return fd >= 0 || errno != EACCES ? fd : open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// Whether the running user may replace the file: a regular file of theirs that they may
// write. A file with no write permission at all is kept as it is also by root, as the
// read-only attribute is on Windows.
bool MayReplace(const struct stat& file) {
    const mode_t writable = geteuid() == 0 ? S_IWUSR | S_IWGRP | S_IWOTH : S_IWUSR;
    return S_ISREG(file.st_mode) && file.st_uid == geteuid() && (file.st_mode & writable) != 0;
}

} // namespace

std::string ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& fallback) {
    // Opening does not wait (a FIFO named like the file would otherwise block), and
    // anything but a regular file reads as missing.
    const TFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Fd >= 0 && fstat(file.Fd, &status) == 0 && S_ISREG(status.st_mode)) {
        TFileSource source(file.Fd);
        if (std::optional<std::string> value = FindProfileValue(source, section, key)) {
            return *value;
        }
    }
    return ProfileFallback(fallback);
}

bool ProfileWrite(const std::string& path, const TProfileEntry& entry) {
    const std::optional<std::string> target = FollowOwnLinks(path);
    if (!target || target->empty() || target->back() == '/') {
        return false;
    }
    const std::string name = target->substr(target->rfind('/') + 1);
    const TFd folder(OpenFolderOf(*target));
    if (folder.Fd < 0) {
        return false;
    }
    // The name is opened without following a link: one put there since it was looked at
    // makes the write fail.
    const TFd old(openat(folder.Fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat oldStatus {};
    if (old.Fd < 0 ? errno != ENOENT : fstat(old.Fd, &oldStatus) != 0 || !MayReplace(oldStatus)) {
        return false;
    }
    TTextSource nothing("");
    TFileSource oldBytes(old.Fd);
    const std::optional<TProfileEdit> edit =
        PlanProfileEdit(old.Fd >= 0 ? static_cast<TProfileSource&>(oldBytes) : nothing, entry);
    if (!edit) {
        return false;
    }
    TFileReplacement replacement(folder.Fd, name);
    bool written = replacement.Begin(old.Fd >= 0 ? &oldStatus : nullptr);
    if (old.Fd >= 0) {
        written = written && replacement.CopyFrom(old.Fd, 0, edit->KeepBefore) &&
                  replacement.Write(edit->Insert) &&
                  replacement.CopyFrom(old.Fd, edit->ResumeAt, TFileReplacement::ToTheEnd);
    } else {
        written = written && replacement.Write(edit->Insert);
    }
    written = written && replacement.Commit();
    RemoveStaleReplacements(folder.Fd, name);
    return written;
}
