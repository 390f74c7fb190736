#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

// The new version of a file, written beside it and put in its place in one rename, so
// that a reader sees the old file or the new one and never a part.
//
// It is written as an unnamed file where the file system has them, and named
// ".<name>.~XXXXXX" only just before the rename; elsewhere it carries that name from the
// start. Either way it is locked while it is ours, so that a later write can tell one
// left behind by a killed process (RemoveStaleReplacements) from one being written.
class TFileReplacement {
public:
    // For the file `name` in the open folder `folderFd`.
    TFileReplacement(int folderFd, std::string name);
    // Leaves nothing behind unless Commit succeeded.
    ~TFileReplacement();

    TFileReplacement(const TFileReplacement&) = delete;
    TFileReplacement& operator=(const TFileReplacement&) = delete;

    // Creates the new file. When `old` is given, the new file gets its group and
    // permissions; otherwise the permissions that the process's umask leaves of 0666.
    bool Begin(const struct stat* old);
    bool Write(std::string_view bytes);
    // Appends the bytes of `fd` in [from, to); to the end of the file when `to` is
    // ToTheEnd. Fails when the file ends before `to`.
    static constexpr std::uint64_t ToTheEnd = UINT64_MAX;
    bool CopyFrom(int fd, std::uint64_t from, std::uint64_t to);
    // Flushes the new file to disk and renames it over the old one.
    bool Commit();

private:
    bool GiveName();

    int FolderFd;
    std::string FileName;
    int Fd = -1;
    std::string TempName; // set while the new file has a name of its own
};

// Removes the files named ".<name>.~XXXXXX" in the folder that belong to the running user
// and that no process holds: replacements left behind by a killed process.
void RemoveStaleReplacements(int folderFd, const std::string& name);
