// Times reading one value from a 100 MB settings file against just reading the file's
// bytes into memory, in the same run. Reading must stay well under a second.

#include "settings/Profile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t FileSize = 100u * 1024 * 1024;
constexpr int Rounds = 5;

// "[Setting]" holding ~100 MB of entries, the wanted key near the end.
std::string MakeFile() {
    char name[] = "/tmp/bench_ini_read-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        std::perror("mkstemp");
        std::exit(1);
    }
    std::string text = ";settings\n[Setting]\n";
    for (unsigned line = 0; text.size() < FileSize; ++line) {
        text += "key" + std::to_string(line) + " = value " + std::to_string(line * 7u) + "\n";
    }
    text += "bChinese=0\nlast=1\n";
    if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) ||
        close(fd) != 0) {
        std::perror("write");
        std::exit(1);
    }
    return name;
}

// Reads the whole file the plainest way; what any reader has to pay at least.
std::size_t ReadBytes(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    const off_t size = lseek(fd, 0, SEEK_END);
    lseek(fd, 0, SEEK_SET);
    const std::unique_ptr<char[]> data(new char[static_cast<std::size_t>(size)]);
    std::size_t done = 0;
    for (ssize_t got = 1; got > 0 && done < static_cast<std::size_t>(size); done += got) {
        got = read(fd, data.get() + done, static_cast<std::size_t>(size) - done);
    }
    close(fd);
    return done;
}

// The fastest of several rounds, in milliseconds.
double BestMs(const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

struct TRow {
    const char* Name;
    std::function<void()> Work;
};

} // namespace

int main() {
    const std::string path = MakeFile();
    std::size_t sink = ReadBytes(path); // warm the page cache
    bool right = true;
    const std::vector<TRow> rows = {
        {"read the bytes only (baseline)", [&] { sink += ReadBytes(path); }},
        {"key near the end",
         [&] { right = ProfileRead(path, "Setting", "bChinese", "1") == "0" && right; }},
        {"no such key (whole section)",
         [&] { right = ProfileRead(path, "Setting", "none", "d") == "d" && right; }},
        {"no such section",
         [&] { right = ProfileRead(path, "Other", "bChinese", "d") == "d" && right; }},
    };

    std::printf("ReadString on a %zu MB file, best of %d rounds\n\n", FileSize >> 20, Rounds);
    std::printf("%-32s %10s %8s %10s\n", "case", "ms", "ratio", "< 1000 ms");
    double baseline = 0;
    bool fast = true;
    for (const TRow& row : rows) {
        const double ms = BestMs(row.Work);
        baseline = baseline == 0 ? ms : baseline;
        fast = fast && ms < 1000;
        std::printf("%-32s %10.1f %8.2f %10s\n", row.Name, ms, ms / baseline,
                    ms < 1000 ? "yes" : "NO");
    }
    unlink(path.c_str());
    if (!right) {
        std::printf("\nwrong value read\n");
    }
    return right && fast && sink > 0 ? 0 : 1;
}
