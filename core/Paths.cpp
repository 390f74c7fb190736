#include "Paths.h"

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const auto mark = path.find_last_of("./");
    if (mark != std::string::npos && path[mark] == '.') {
        return path.substr(0, mark) + extension;
    }
    return path + extension;
}
