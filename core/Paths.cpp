#include "core/Paths.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/stat.h>

namespace {

std::string& ExecutablePathOverride() {
    static std::string path;
    return path;
}

} // namespace

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const auto mark = path.find_last_of("./");
    if (mark != std::string::npos && path[mark] == '.') {
        return path.substr(0, mark) + extension;
    }
    return path + extension;
}

std::string ExecutablePath() {
    if (!ExecutablePathOverride().empty()) {
        return ExecutablePathOverride();
    }
    // The kernel's link names the executable's file; resolving it also fails when that
    // file no longer exists (the link then ends in " (deleted)").
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath("/proc/self/exe", nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

void OverrideExecutablePath(const std::string& path) {
    ExecutablePathOverride() = path;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    struct tm local {};
    if (localtime_r(&info.st_mtime, &local) == nullptr) {
        return false;
    }
    const int year = local.tm_year + 1900;
    return year >= 1980 && year <= 2107;
}
